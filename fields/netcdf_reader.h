// Sea water currents from NetCDF files following the CF conventions, read with netCDF-C (the
// classic formats and netCDF-4).
//
// What is read:
//  - the current's components, found by their CF standard_name (eastward_sea_water_velocity and
//    northward_sea_water_velocity, or their surface_ forms), failing that by the common names
//    uo/vo, u/v, water_u/water_v;
//  - laid out as (time, [depth,] latitude, longitude), each a dimension with its coordinate
//    variable; of the depths the one nearest the surface (a depth axis without coordinates only
//    when it has one level);
//  - scale_factor and add_offset applied; _FillValue (or, without it, netCDF's default fill of
//    the type), missing_value and valid_min/valid_max/valid_range mark missing values;
//  - units m/s (m s-1, m/s, ...), cm/s or knots, converted to m/s once (no units: m/s);
//  - times from the CF units "<seconds|minutes|hours|days> since <date>" in the standard
//    (Gregorian) calendar; latitudes and longitudes in either order, longitudes in 0..360 or
//    -180..180.
#pragma once

#include <string>
#include <vector>

#include "field.h"

namespace vestrand::fields {

// Reads the surface current of one NetCDF file, the file read once. A netCDF-4 file is read by
// HDF5, which a hostile file can send round in circles or make write over its memory: such a
// file is read in a child process, and refused when that does not answer within
// kNetcdf4Seconds or ends without an answer.
// @param[in] path the file, named in every message
// @return one current field
// @throw FieldFileError naming the file and the reason: it cannot be opened or is no NetCDF
//   file, holds no current, lays it out otherwise, its axes are not in order (times out of
//   order included), its time units or calendar are not read, it holds more than
//   kMaxFileValues values a component, every value is missing or one lies beyond any current
std::vector<Field> readNetcdfFile(const std::string& path);

inline constexpr double kNetcdf4Seconds = 60.0;

// readNetcdfFile in this process whatever the format (the fuzz target's way).
std::vector<Field> readNetcdfFileHere(const std::string& path);
// readNetcdfFile in a child process given `seconds` to answer, whatever the format.
std::vector<Field> readNetcdfFileApart(const std::string& path, double seconds);

}  // namespace vestrand::fields
