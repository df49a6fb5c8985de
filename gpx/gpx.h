// GPX 1.1 route files with the OpenCPN extension elements that make a chart plotter show every
// point and its name. The extensions are bound to OpenCPN's namespace, http://www.opencpn.org,
// so that namespace-aware readers find them where plotters look for them.
//
// Waypoints follow the routes in every file, as they always have; GPX 1.1's schema lists them
// first, but every reader tried accepts them after, and stored files rely on this order.
//
// A GpxWriter writes the blocks of one file into a SafeFile (safe_file.h), which the caller
// commits: a file is never half-written under its final name. The historical stream functions
// (OpenGPX ... CloseGPX, GPXLastError) are in compat/gpx_stream.h.
//
// The last guard before a plotter: a route point or waypoint that is not a finite number, or whose
// latitude lies beyond 90 degrees, fails the file with a message naming the value.
//
// Coordinates are written as "%.9lf" (nine decimals, full stop whatever the locale). Names are
// escaped for XML (& < > " '), so no caller can break the file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "safe_file.h"

// Capacity of the name texts that the generators compose (99 characters and the terminator).
inline constexpr std::size_t kGpxNameCapacity = 100;

// Formats `value` exactly as printf("%.9lf") does, into `out` (at least kCoordinateTextSize
// bytes). Returns the number of characters written, without the terminator.
inline constexpr std::size_t kCoordinateTextSize = 330;
std::size_t FormatCoordinate(double value, char* out);

namespace vestrand {

// The blocks of one GPX file, written into a SafeFile that the caller opened and commits. Any
// number of these may be open at once; the stream functions above use one of them.
class GpxWriter {
 public:
  // Writes the header.
  explicit GpxWriter(SafeFile& file);
  GpxWriter(const GpxWriter&) = delete;
  GpxWriter& operator=(const GpxWriter&) = delete;

  void startRoute(const char* name);
  void routePoint(double lat, double lon, const char* name);
  void endRoute();
  void waypoint(double lat, double lon, const char* name);
  // A whole two-point route: the first point with the empty name, the second named with the
  // route name itself.
  void line(double lat1, double lon1, double lat2, double lon2, const char* name);
  // Writes the footer and hands the last bytes to the file.
  // @return false when the file failed (or a position was refused); the file says why
  bool finish();

 private:
  void flush();
  void blockDone();
  bool plausible(double lat, double lon);
  void appendCoordinate(double value);
  void appendPoint(const char* open, double lat, double lon, const char* name,
                   const char* nameIndent);

  SafeFile& file_;
  std::string block_;  // reused, so that a point allocates nothing once it has grown
};

// The names of a two-point line: its file "<stem> RL.gpx", its route "<stem> - P1P2" and its
// waypoints "P1" and "P2", as every file of a line names them.
struct LineNames {
  std::string file;
  std::string route;
  static constexpr const char* kFirst = "P1";
  static constexpr const char* kSecond = "P2";
};
// @return false, leaving `names` unspecified, when a name would pass 99 characters; error says so
bool composeLineNames(const char* stem, LineNames& names, std::string& error);

// Writes the file of a two-point line into `folder` (empty: the current one): the route of
// GpxWriter::line and the two waypoints.
// @param[out] path the file's path, folder included
// @return true when the whole file is in place; otherwise error names the file and the reason
bool writeRhumbLine(double lat1, double lon1, double lat2, double lon2, const char* stem,
                    const std::string& folder, std::string& path, std::string& error);

}  // namespace vestrand

namespace gpx_testing {
// The writer's one path to the stream, replaceable so that tests can inject write failures.
// The function has fwrite's contract and must set errno when it writes short.
using WriteFunction = std::size_t (*)(const void* data, std::size_t size, std::size_t count,
                                      std::FILE* stream);
void SetWriteFunction(WriteFunction function);  // null restores the real one
}  // namespace gpx_testing
