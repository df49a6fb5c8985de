// The historical generators (compat/gpx_generators.h) on the one writing path.
#include "gpx_generators.h"

#include <string>
#include <vector>

#include "gpx_stream.h"
#include "pattern_files.h"

namespace {

using vestrand::PatternKind;
using vestrand::PatternParams;

// Writes the pattern's GPX file in the current directory; the historical error text says why not.
bool WriteInCurrentFolder(const PatternParams& params, const char* stem) {
  std::vector<std::string> written;
  std::string error;
  const bool ok =
      vestrand::writePatternFiles(params, stem, "", vestrand::PatternFiles{}, written, error);
  GPXSetLastError(ok ? "" : error.c_str());
  return ok;
}

}  // namespace

bool gpxExpandingSquareSearchPattern(double lat, double lon, double course, double spacing,
                                     int count, const char* stem) {
  return WriteInCurrentFolder(
      PatternParams{PatternKind::ExpandingSquare, lat, lon, course, spacing, 0.0, count}, stem);
}

bool gpxSectorSearchPattern(double lat, double lon, double course, double leg, const char* stem) {
  return WriteInCurrentFolder(PatternParams{PatternKind::Sector, lat, lon, course, 0.0, leg, 0},
                              stem);
}

bool gpxCreepingLineSingleunit(double lat, double lon, double course, double spacing, double leg,
                               int loops, const char* stem) {
  return WriteInCurrentFolder(
      PatternParams{PatternKind::CreepingLine, lat, lon, course, spacing, leg, loops}, stem);
}

bool gpxParallelSearchPattern2ships(double lat, double lon, double course, double spacing,
                                    double leg, int loops, const char* stem) {
  return WriteInCurrentFolder(
      PatternParams{PatternKind::ParallelSweep, lat, lon, course, spacing, leg, loops}, stem);
}
