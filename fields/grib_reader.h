// Winds and currents from GRIB files (editions 2 and 1), read with ecCodes.
//
// What is read: the 10 m wind (short names 10u and 10v, or u and v at 10 m height above ground)
// and the sea water current (ucurr and vcurr; of several levels the one nearest the surface), on
// regular latitude-longitude grids, at every time the file gives (the message's validity date
// and time, UTC). Every other message is passed over. Messages may come in any order; a file may
// hold several grids, each becoming a Field of its own. Values a bitmap marks missing become NaN.
#pragma once

#include <string>
#include <vector>

#include "field.h"

namespace vestrand::fields {

// Reads every wind and current of one GRIB file, the file read once.
// @param[in] path the file, named in every message
// @return the fields, winds first, each with at least one time
// @throw FieldFileError naming the file and the reason: it cannot be opened or is no GRIB file,
//   a message is broken or cut short, a wind or current is on another grid than a regular
//   latitude-longitude one or on a grid that disagrees with its values, a component comes
//   without its partner or twice for one time, the grids hold more than kMaxFileValues values,
//   every value is missing, a value lies beyond any wind or current, or the file holds neither
std::vector<Field> readGribFile(const std::string& path);

}  // namespace vestrand::fields
