// The subcommands of vestrand-cli. Each checks its options, does its work through the libraries
// and prints its result; bad input throws UsageError, a file that cannot be written WriteFailure.
#pragma once

#include <drift.h>
#include <land_mask.h>

#include <memory>
#include <string>

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
// drift: the datum drifted by current and leeway from the last known position.
int runDrift(const Options& o, const CLI::App& sub);
// coverage: coverage factor and probability of detection for a sweep width and spacing.
int runCoverage(const Options& o, const CLI::App& sub);

// position: a position read from one text, printed in every form.
int runPosition(const Options& o);

// land: whether a position is on land and how far the nearest shore lies.
int runLand(const Options& o, const CLI::App& sub);

// The shorelines a command checks land with; no mask when --land is none or, by default, when
// none are installed or readable (a note on standard error says so).
struct LandChoice {
  std::shared_ptr<const land::LandMask> mask;
};
// Chooses by --land: the resolution named (refused when not installed), none, or by default the
// one fit for `detailNm` (land::Atlas::choose) among those installed. `required` refuses none
// and a missing or unreadable file instead of going without land.
LandChoice chooseLand(const Options& o, const CLI::App& sub, double detailNm, bool required);
// The drift's report (text or JSON, by --json) with what the straight drift from the last known
// position (lat, lon) to the datum meets of land, when it meets any: where it first reaches land,
// after how many miles, and whether the datum lies on land.
std::string driftOverLand(const Options& o, const CLI::App& sub, const DriftedDatum& datum,
                          double lat, double lon, std::string report);
// "GSHHG 2.3.7, intermediate resolution (within 0.54 NM): /usr/share/gmt-gshhg/binned_GSHHS_i.nc"
std::string landDataText(const land::LandMask& mask);

// Sweep widths, spacings and coverage factors of the search aids: above 0, at most 100.
inline constexpr double kMaxSweepWidth = 100.0;  // nautical miles; also the spacing and the factor

// A number above 0 and at most `high`, `unit` (" nautical miles", or "") for the message.
double checkPositiveUpTo(const std::string& option, const std::string& text, double high,
                         const char* unit);

}  // namespace vestrand::cli
