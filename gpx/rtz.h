// RTZ 1.0 route files, the route exchange format that ECDIS units load: one route a file.
//
// An RtzWriter writes the blocks of one file into a SafeFile that the caller opened and commits,
// as GpxWriter does: the route's name when it is made, then the waypoints in sailing order, then
// finish(). Every leg is a rhumb line, as every leg of the patterns is sailed: the default
// waypoint says geometryType "Loxodrome" once for all of them.
//
// Positions carry the nine decimals of the GPX files. RTZ allows only -180 <= lon < 180, while a
// pattern that crosses the antimeridian is sailed (and written to GPX) past 180: the longitude is
// brought into range by whole turns taken on its nine-decimal value, so the text is the GPX one
// less (or plus) 360 and never rounds up to 180.
//
// Waypoint ids are 1, 2, ... in order, so they are unique. Names are escaped by appendXmlText.
// A waypoint that is not a finite number or lies beyond 90 degrees of latitude fails the file, as
// does a route of fewer than two waypoints, which the schema does not allow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "safe_file.h"

namespace vestrand {

// Some ECDIS units refuse route files larger than this (400 KB of 1024 bytes).
inline constexpr std::uint64_t kRtzSizeWarning = 400 * 1024;

// Formats a finite longitude with nine decimals in -180 <= lon < 180 into `out` (at least
// kCoordinateTextSize bytes of gpx.h). A longitude already in range gives the GPX text itself.
// @return the number of characters written, without the terminator
std::size_t formatRtzLongitude(double lon, char* out);

class RtzWriter {
 public:
  // Writes the header and the route's name.
  RtzWriter(SafeFile& file, std::string_view routeName);
  RtzWriter(const RtzWriter&) = delete;
  RtzWriter& operator=(const RtzWriter&) = delete;

  void waypoint(double lat, double lon, std::string_view name);
  // Writes the footer and hands the last bytes to the file.
  // @return false when the file failed, a position was refused or the route has fewer than two
  //   waypoints; the file says why
  bool finish();

 private:
  void flush();

  SafeFile& file_;
  std::string routeName_;
  std::string block_;  // reused, so that a waypoint allocates nothing once it has grown
  std::size_t count_ = 0;
};

}  // namespace vestrand
