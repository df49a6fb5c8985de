// The subcommands of vestrand-cli. Each checks its options, does its work through the libraries
// and prints its result; bad input throws UsageError, a file that cannot be written WriteFailure.
#pragma once

#include <string>

#include "options.h"
#include "plan_summary.h"
#include "vestrand.gpx.h"

namespace vestrand::cli {

// square, sector, creeping, parallel: the pattern's files, and its plan when asked.
int runPattern(PatternKind kind, const Options& o, const CLI::App& sub);
// The files and plan of a pattern whose own options are read: the options every pattern shares.
int runPlannedPattern(PatternParams p, const Options& o, const CLI::App& sub);
// trackline: the search of a vessel's intended route.
int runTrackline(const Options& o, const CLI::App& sub);

// --first-turn, --drift-set and --drift-speed (pattern_motion.cpp), into the pattern's
// parameters; `speed` is the search speed through the water, knots.
void applyTurnAndDrift(PatternParams& p, const Options& o, const CLI::App& sub, double speed);
// What a pattern laid in drifting water adds to its summary, as text lines and JSON members.
std::string compensationText(const PatternParams& p, const PlanSummary& summary);
std::string compensationJsonMembers(const PatternParams& p, const PlanSummary& summary);
// line: the two-point route file.
int runLine(const Options& o, const CLI::App& sub);
// course: course and distance between two positions.
int runCourse(const Options& o);
// arrive: the position reached after a course and a run.
int runArrive(const Options& o, const CLI::App& sub);
// drift: the datum drifted by current and leeway from the last known position.
int runDrift(const Options& o, const CLI::App& sub);
// coverage: coverage factor and probability of detection for a sweep width and spacing.
int runCoverage(const Options& o, const CLI::App& sub);

// position: a position read from one text, printed in every form.
int runPosition(const Options& o);

// nmea: a GPX file's routes sent to a plotter as NMEA 0183 sentences.
int runNmea(const Options& o, const CLI::App& sub);

// Sweep widths, spacings and coverage factors of the search aids: above 0, at most 100.
inline constexpr double kMaxSweepWidth = 100.0;  // nautical miles; also the spacing and the factor

// A number above 0 and at most `high`, `unit` (" nautical miles", or "") for the message.
double checkPositiveUpTo(const std::string& option, const std::string& text, double high,
                         const char* unit);

}  // namespace vestrand::cli
