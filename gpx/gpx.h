// GPX 1.1 route files with the OpenCPN extension elements that make a chart plotter show every
// point and its name. The extensions are bound to OpenCPN's namespace, http://www.opencpn.org,
// so that namespace-aware readers find them where plotters look for them.
//
// Waypoints follow the routes in every file, as they always have; GPX 1.1's schema lists them
// first, but every reader tried accepts them after, and stored files rely on this order.
//
// One file at a time goes through the stream GPXfp: OpenGPX, then route blocks (StartRouteGPX,
// RouteGPX..., EndRouteGPX) and waypoints (WayPointGPX) in the caller's order, then CloseGPX.
//
// A file is never half-written under its final name: the writer goes through a SafeFile
// (safe_file.h), which puts the file in place, synced to the disk, only when CloseGPX finds every
// byte written. On any failure nothing replaces an earlier file of that name, CloseGPX returns
// false and GPXLastError() says which file and why. After a failed open the block operations do
// nothing.
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

// The stream of the file being written, or null when none is open (or its open failed).
extern std::FILE* GPXfp;

// Opens `path` for writing and writes the two header lines. A bare name lands in the current
// directory. A target that is not a regular file, or is write-protected, is refused.
// @return false when the file cannot be created; GPXLastError() tells why.
bool OpenGPX(const char* path);

void StartRouteGPX(const char* name);
void RouteGPX(double lat, double lon, const char* name);
void EndRouteGPX();
void WayPointGPX(double lat, double lon, const char* name);

// Writes the footer, closes the stream and puts the file in place.
// @return true only when the whole file was written, closed and renamed to its final name.
bool CloseGPX();

// Abandons the file being written: the temporary file is removed, nothing replaces the target.
void AbortGPX(const char* reason);

// A whole two-point route: the first point with the empty name, the second named with the route
// name itself. Needs an open file.
void gpxLine(double lat1, double lon1, double lat2, double lon2, const char* name);

// A whole file "<stem> RL.gpx": the route "<stem> - P1P2" from gpxLine and the waypoints "P1"
// and "P2". A stem whose names would exceed 99 characters writes nothing.
// @return true only when the whole file was written and closed.
bool gpxRhumbLine(double lat1, double lon1, double lat2, double lon2, const char* stem);

// A named temporary file of the process, or the empty text (an unnamed file needs no removal).
// Reading it is async-signal-safe; installInterruptCleanup() of safe_file.h does the removal.
const char* GPXTemporaryFile();

// Why the last file failed, naming the file and the reason; empty after a success.
const char* GPXLastError();
// Records a failure found by a caller before any file was opened (an over-long name).
void GPXSetLastError(const char* message);

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

// Writes the file of gpxRhumbLine into `folder` (empty: the current one).
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
