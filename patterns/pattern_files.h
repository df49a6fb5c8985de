// The one writing path of the search patterns: a described pattern into a given folder, as the
// files both programs write. The generators of vestrand.gpx.h are thin wrappers over it that
// write into the current folder.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "safe_file.h"
#include "vestrand.gpx.h"

namespace vestrand {

// Which files a pattern is written as.
//
// RTZ (rtz.h) takes one file per route, after the GPX file and in route order, named after the
// route: "<route name>.rtz" ("20121225143000 - PS-left 0.0.rtz"), its routeName that same name,
// as ECDIS checkers demand; a sector of two passes names its routes by composeRtzRouteNames
// ("20121225143000 - VS2 30.0 pass 2.rtz"). Its waypoints are named with the point's number in the
// file, 1, 2, ..., and where one or more of the GPX waypoints lie at that point (their nine-decimal
// texts equal), the number, a blank and their names joined by ", " ("1 Datum", "7 CSP"). A route of
// fewer than two points cannot be an RTZ route, so the run is refused and writes no file at all.
//
// maxPoints splits every longer route into consecutive parts of at most that many points, each
// starting at the point where the one before ended (so each part after the first adds
// maxPoints - 1 points). Part k of n is named "<route name> (k/n)" in the GPX file, which keeps
// the parts as its routes and its waypoints unchanged, and "<route name> (k of n)" as an RTZ file
// and its routeName, since a file name cannot hold '/'. A route that fits keeps its name.
struct PatternFiles {
  bool gpx = true;
  bool rtz = false;
  int maxPoints = 0;  // 0: routes of any length; otherwise at least 2
};

// More RTZ files than this in one run are refused: no plotter wants them, and a typo in
// maxPoints would fill the folder.
inline constexpr std::size_t kMaxRtzFiles = 1000;

// Where a pattern reaches: the smallest and largest latitude and longitude of its points.
struct PatternExtent {
  double minLat = 0.0, maxLat = 0.0, minLon = 0.0, maxLon = 0.0;
  bool finite = true;      // false when a point is not a finite number
  double widestLeg = 0.0;  // degrees of longitude between the ends of the widest leg
};

// A leg may span at most this many degrees of longitude. Beyond it, every reader of the route
// (a plotter, the course and distance of plane sailing) takes the short way round between its
// turning points, against the way the leg was sailed: near a pole a 400-mile leg steered 090
// would be steered 270.
inline constexpr double kMaxLegLongitude = 180.0;

// Sails the pattern once and returns its extent (route points and waypoints).
PatternExtent patternExtent(const PatternParams& params);

// What is wrong with a pattern's extent, if anything: the rule of checkPatternExtent, for callers
// that word the refusal themselves (the window, in its language).
enum class ExtentFault { None, NotFinite, PastPole, RoundTheGlobe, WideLeg };
ExtentFault extentFault(const PatternExtent& extent);

// Plane sailing has no meaning past a pole: a pattern any of whose points would lie beyond 90
// degrees of latitude, or whose longitudes would leave -540..540 (once round the globe either
// way), is refused, and so is one with a leg spanning more than kMaxLegLongitude. Longitudes that
// pass 180 by crossing the antimeridian are kept as sailed.
// @param[out] error on refusal, the pattern and its extent, e.g. "the sector reaches latitudes
//   80.12 to 98.32 degrees, beyond the pole at 90"
// @return true when the pattern may be written
bool checkPatternExtent(const PatternParams& params, std::string& error);

// `name` inside `folder`; an empty folder is the current one and adds nothing to the name.
std::string pathInFolder(const std::string& folder, const std::string& name);

// The paths the pattern's files would take, in the order they are written (GPX first, then the
// RTZ files in route order).
// @return false when a name would not fit in 99 characters, an RTZ file could not take a route's
//   name (one holding '/'), maxPoints is below 2, or the run would write more than kMaxRtzFiles
//   RTZ files; error says which, with the number of files
bool patternFilePaths(const PatternParams& params, const char* stem, const std::string& folder,
                      const PatternFiles& files, std::vector<std::string>& paths,
                      std::string& error);

// Adds the pattern's files to a run, which the caller commits together with its own files.
// @param[out] warnings when not null, receives what the user should know of files written all
//   the same (an RTZ file larger than kRtzSizeWarning of rtz.h, which some ECDIS units refuse)
// @return false when the pattern is refused or a file cannot be written; error says why, and the
//   whole run is abandoned
bool addPatternFiles(FileBatch& batch, const PatternParams& params, const char* stem,
                     const std::string& folder, const PatternFiles& files, std::string& error,
                     std::vector<std::string>* warnings = nullptr);

// Writes the pattern's files into `folder` as one run of their own.
// @param[out] written the paths put in place, in order
// @return true only when every file is in place; otherwise error names the file and the reason
bool writePatternFiles(const PatternParams& params, const char* stem, const std::string& folder,
                       const PatternFiles& files, std::vector<std::string>& written,
                       std::string& error, std::vector<std::string>* warnings = nullptr);

// Any routes and waypoints that sail themselves into a sink as a pattern does (a search plan,
// say): the GPX file's name and the sailing, which may be repeated and must give the same every
// time. Their files are written by the same path as a pattern's, split and named alike.
struct RouteSource {
  std::string gpxName;  // "<stem> PLAN.gpx"
  std::function<void(PatternSink&)> sail;
  // The same routes under the names their RTZ files take, where those differ from the GPX
  // file's (a two-pass sector); empty: as `sail`.
  std::function<void(PatternSink&)> sailRtz = {};

  const std::function<void(PatternSink&)>& rtz() const { return sailRtz ? sailRtz : sail; }
};

// The paths of the source's files, as patternFilePaths gives a pattern's.
// @return false when an RTZ file could not take a route's name (one holding '/'), maxPoints is
//   below 2, or the run would write more than kMaxRtzFiles RTZ files; error says which
bool routeFilePaths(const RouteSource& source, const std::string& folder, const PatternFiles& files,
                    std::vector<std::string>& paths, std::string& error);

// Adds the source's files to a run as addPatternFiles adds a pattern's.
// @return false when a file is refused or cannot be written; error says why, and the whole run
//   is abandoned
bool addRouteFiles(FileBatch& batch, const RouteSource& source, const std::string& folder,
                   const PatternFiles& files, std::string& error,
                   std::vector<std::string>* warnings = nullptr);

// The two ends of the rhumb line of writeRhumbLine (gpx.h).
struct LinePoints {
  double lat1 = 0.0, lon1 = 0.0, lat2 = 0.0, lon2 = 0.0;
};

// Adds the line's files to a run as addPatternFiles does: the GPX file of writeRhumbLine, byte
// for byte ("<stem> RL.gpx"), and the RTZ file "<stem> - P1P2.rtz" with the waypoints "1 P1" and
// "2 P2". Only files.gpx and files.rtz apply: two points always fit.
bool addLineFiles(FileBatch& batch, const LinePoints& line, const char* stem,
                  const std::string& folder, const PatternFiles& files, std::string& error,
                  std::vector<std::string>* warnings = nullptr);

}  // namespace vestrand
