// Wind and current on a grid, varying in space and time, as read from forecast files, and the
// sampler that interpolates them.
//
// One Field holds one quantity (wind or current) on one regular latitude-longitude grid at one or
// more times: east and north components in m/s, NaN where the file has no value. Both readers
// (grib_reader, netcdf_reader) produce it, converting units once; sampling allocates nothing.
//
// Interpolation: bilinear in space between the four grid points around the position, then
// linear in time between the two times around the time. A grid point whose value is missing is
// left out and the weights of the others are renormalised; where every point that carries weight
// is missing (in space at both times, or the one time that carries weight) there is no value.
//
// Several files of one quantity combine in a FieldSet (see there).
//
// Units: latitudes and longitudes in degrees (north and east positive), times in seconds since
// 1970-01-01T00:00:00 UTC (field_time.h), components in m/s toward east and north.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace vestrand::fields {

// A forecast file that cannot be used; the message names the file and the reason.
class FieldFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Quantity { Wind, Current };

// "wind" or "current".
const char* quantityName(Quantity quantity);

// Values beyond these are no wind or current but a fill value the file did not declare; a file
// that holds one is refused. m/s.
inline constexpr double kMaxWindSpeed = 150.0;
inline constexpr double kMaxCurrentSpeed = 20.0;

// Memory bounds: one file may hold at most this many grid values per component (points times
// times; a 0.25 degree global grid at 32 times), kept as float, 256 MB for both components. All
// files of one quantity together may hold four times as many.
inline constexpr std::size_t kMaxFileValues = std::size_t{1} << 25;
inline constexpr std::size_t kMaxSetValues = kMaxFileValues * 4;

// A strictly increasing coordinate axis of at least two values, located in constant time when
// evenly spaced and by bisection otherwise.
class GridAxis {
 public:
  GridAxis() = default;
  // @param[in] values strictly increasing, finite, at least two; else std::invalid_argument
  explicit GridAxis(std::vector<double> values);

  const std::vector<double>& values() const { return values_; }
  std::size_t size() const { return values_.size(); }
  double front() const { return values_.front(); }
  double back() const { return values_.back(); }
  // The largest distance between neighbours.
  double largestStep() const { return largestStep_; }
  bool operator==(const GridAxis& other) const { return values_ == other.values_; }

  // Finds the cell that holds x: x = v[i] + f * (v[i+1] - v[i]).
  // @param[out] i cell index, 0 .. size() - 2
  // @param[out] f fraction within the cell, 0 .. 1
  // @return false when x lies outside [front(), back()] or is NaN
  bool locate(double x, std::size_t& i, double& f) const noexcept;

 private:
  std::vector<double> values_;
  bool even_ = false;
  double step_ = 0.0;
  double inverseStep_ = 0.0;
  double largestStep_ = 0.0;
};

// A regular latitude-longitude grid.
struct Grid {
  GridAxis lat;  // degrees north, increasing, within -90..90
  GridAxis lon;  // degrees east, increasing, lon.back() - lon.front() at most 360
  // The longitudes go round the globe: the last point and the first one 360 degrees on are
  // neighbours, so every longitude lies inside.
  bool wraps = false;

  bool operator==(const Grid& other) const { return lat == other.lat && lon == other.lon; }
};

// Makes a grid from axes read from a file, checking them; for the readers.
// @param[in] lats, lons any order but strictly monotonic; decreasing axes are reversed and the
//   caller reverses its values alike (see the flags)
// @param[out] latReversed, lonReversed whether the axis was reversed
// @throw FieldFileError naming `file` when an axis has fewer than two values, is not strictly
//   monotonic, not finite, a latitude lies beyond 90 degrees or the longitudes span more than 360
Grid makeGrid(const std::string& file, std::vector<double> lats, std::vector<double> lons,
              bool& latReversed, bool& lonReversed);

struct Field {
  Quantity quantity = Quantity::Wind;
  std::string format;              // "GRIB" or "NetCDF"
  std::string uName, vName;        // the variables in the file: "10u", "uo", ...
  std::vector<std::string> files;  // the files it comes from, as named
  std::vector<double> times;       // strictly increasing, at least one
  Grid grid;
  // Components in m/s, index (k * lat.size() + i) * lon.size() + j for time k, latitude i and
  // longitude j; NaN where missing, in both components alike.
  std::vector<float> u, v;

  std::size_t pointsPerTime() const { return grid.lat.size() * grid.lon.size(); }
};

// A value for a Field's components: beyond the range of float it is kept as +-1e30, which the
// bounds refuse, instead of overflowing.
inline float toFloat(double value) {
  if (value > 1e30) return 1e30f;
  if (value < -1e30) return -1e30f;
  return static_cast<float>(value);
}

// Checks a field a reader made and marks a grid value missing in both components when it is
// missing in one. @throw FieldFileError naming the file when a value lies beyond the quantity's
// bound (kMaxWindSpeed, kMaxCurrentSpeed), or when every value is missing
void finishField(Field& field);

// Where a sample found its value.
enum class Cover : unsigned char {
  Value,    // interpolated from the grid
  Missing,  // inside the grid and its times, but every grid value that counts is missing
  Outside,  // outside the grid or before the first or after the last time
};

// Interpolates a field. @param[out] u, v the components, m/s, set only with Cover::Value
Cover sampleField(const Field& field, double lat, double lon, double time, double& u,
                  double& v) noexcept;

// Where the values of a field are missing.
struct MissingSummary {
  std::size_t count = 0;        // grid values missing, over all times
  std::size_t total = 0;        // grid values, over all times
  std::size_t times = 0;        // times with at least one missing value
  double south = 0, north = 0;  // degrees: the box around the missing grid points
  double west = 0, east = 0;    // degrees, as the grid's longitudes run
};
MissingSummary missingOf(const Field& field);

// A box for people: "latitudes 30S to 60N, longitudes 20W to 10E" (degrees to four decimals).
std::string boxText(double south, double north, double west, double east);
// A grid's box, with " (round the globe)" after a grid that wraps.
std::string extentText(const Grid& grid);
// "2024-01-15T00:00:00Z to 2024-01-17T00:00:00Z (9 times)" or "2024-01-15T00:00:00Z only".
std::string timesText(const std::vector<double>& times);

// The fields of one quantity from every file given for it.
//
// How files combine: fields on the same grid (the same latitudes and longitudes) are one area
// whose times are the union of theirs, so one file per forecast step, or consecutive forecasts,
// make one series; where two files give the same time, the one added later replaces the other.
// Fields on different grids are separate areas (adjacent regions, or a fine regional grid inside
// a coarse global one); a sample takes the first area, in the order added, that holds the
// position and the time.
class FieldSet {
 public:
  // @throw FieldFileError when the set would hold more than kMaxSetValues values, or when the
  //   field is of another quantity than the fields already in the set
  void add(Field field);

  bool empty() const { return areas_.empty(); }
  const std::vector<Field>& areas() const { return areas_; }

  // @param[out] u, v m/s, set only with Cover::Value
  Cover sample(double lat, double lon, double time, double& u, double& v) const noexcept {
    for (const Field& area : areas_) {
      const Cover cover = sampleField(area, lat, lon, time, u, v);
      if (cover != Cover::Outside) return cover;
    }
    return Cover::Outside;
  }

  // Why a position and time lie outside: names each file, its extent and times, and the time.
  std::string outsideText(double lat, double lon, double time) const;

 private:
  std::vector<Field> areas_;
  std::size_t values_ = 0;
};

}  // namespace vestrand::fields
