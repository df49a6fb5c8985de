// The one writing path of the search patterns: a described pattern into a given folder, as the
// files both programs write. The generators of vestrand.gpx.h are thin wrappers over it that
// write into the current folder.
#pragma once

#include <string>
#include <vector>

#include "safe_file.h"
#include "vestrand.gpx.h"

namespace vestrand {

// Which files a pattern is written as.
struct PatternFiles {
  bool gpx = true;
};

// Where a pattern reaches: the smallest and largest latitude and longitude of its points.
struct PatternExtent {
  double minLat = 0.0, maxLat = 0.0, minLon = 0.0, maxLon = 0.0;
  bool finite = true;  // false when a point is not a finite number
};

// Sails the pattern once and returns its extent (route points and waypoints).
PatternExtent patternExtent(const PatternParams& params);

// Plane sailing has no meaning past a pole: a pattern any of whose points would lie beyond 90
// degrees of latitude, or whose longitudes would leave -540..540 (once round the globe either
// way), is refused. Longitudes that pass 180 by crossing the antimeridian are kept as sailed.
// @param[out] error on refusal, the pattern and its extent, e.g. "the sector reaches latitudes
//   80.12 to 98.32 degrees, beyond the pole at 90"
// @return true when the pattern may be written
bool checkPatternExtent(const PatternParams& params, std::string& error);

// `name` inside `folder`; an empty folder is the current one and adds nothing to the name.
std::string pathInFolder(const std::string& folder, const std::string& name);

// The paths the pattern's files would take, in the order they are written (GPX first).
// @return false when a name would not fit in 99 characters (error says so)
bool patternFilePaths(const PatternParams& params, const char* stem, const std::string& folder,
                      const PatternFiles& files, std::vector<std::string>& paths,
                      std::string& error);

// Adds the pattern's files to a run, which the caller commits together with its own files.
// @return false when the pattern is refused or a file cannot be written; error says why
bool addPatternFiles(FileBatch& batch, const PatternParams& params, const char* stem,
                     const std::string& folder, const PatternFiles& files, std::string& error);

// Writes the pattern's files into `folder` as one run of their own.
// @param[out] written the paths put in place, in order
// @return true only when every file is in place; otherwise error names the file and the reason
bool writePatternFiles(const PatternParams& params, const char* stem, const std::string& folder,
                       const PatternFiles& files, std::vector<std::string>& written,
                       std::string& error);

}  // namespace vestrand
