// The subcommands of vestrand-cli. Each checks its options, does its work through the libraries
// and prints its result; bad input throws UsageError, a file that cannot be written WriteFailure.
#pragma once

#include "options.h"
#include "vestrand.gpx.h"

namespace vestrand::cli {

// square, sector, creeping, parallel: the pattern's files, and its plan when asked.
int runPattern(PatternKind kind, const Options& o, const CLI::App& sub);
// line: the two-point route file.
int runLine(const Options& o, const CLI::App& sub);
// course: course and distance between two positions.
int runCourse(const Options& o);
// arrive: the position reached after a course and a run.
int runArrive(const Options& o, const CLI::App& sub);

}  // namespace vestrand::cli
