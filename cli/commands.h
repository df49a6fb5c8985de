// The subcommands of vestrand-cli. Each checks its options, does its work through the libraries
// and prints its result; bad input throws UsageError, a file that cannot be written WriteFailure.
#pragma once

#include <coverage.h>
#include <drift.h>
#include <land_mask.h>
#include <plan_summary.h>

#include <memory>
#include <string>
#include <vector>

#include "datums.h"
#include "forcing.h"
#include "options.h"
#include "pattern_files.h"
#include "plan_summary.h"
#include "search_report.h"
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

// fields: what forecast files hold, or the wind and current they give at one place and time.
int runFields(const Options& o);

// position: a position read from one text, printed in every form.
int runPosition(const Options& o);

// nmea: a GPX file's routes sent to a plotter as NMEA 0183 sentences.
int runNmea(const Options& o, const CLI::App& sub);

// objects: the leeway classes, one line each (or one JSON array).
int runObjects(const Options& o);
// leeway: the leeway of an object class for a wind, both sides.
int runLeeway(const Options& o, const CLI::App& sub);
// drift with --object, or through forecast files: the left, right and downwind datums of the
// class's leeway, or the one datum of a leeway by hand.
int runSearchDrift(const Options& o, const CLI::App& sub);
// plan: the search plan, its routes written as the pattern subcommands write theirs.
int runPlan(const Options& o, const CLI::App& sub);

// --- Shared by the subcommands that write files or drift a datum -----------------------------

// Where the files go: the stem that names them and the folder they are written into.
struct Destination {
  std::string stem;
  std::string dir;  // empty: the current folder
};
// --stem (by default the local date and time) and --dir, checked.
Destination destination(const Options& o, const CLI::App& sub);
// --format, and --max-points where `split` offers it, as the files to write.
PatternFiles outputFiles(const Options& o, const CLI::App& sub, bool split);
// The files are written all the same; the user should know before loading them: each warning on
// standard error.
void printWarnings(const std::vector<std::string>& warnings);

// One part of the drift, --current-set/--current-drift or --leeway-toward/--leeway-speed: a
// direction and a speed, given together or not at all. @return the vector; speed 0 when absent
DriftVector driftPart(const CLI::App& sub, const char* directionOption,
                      const std::string& direction, const char* speedOption,
                      const std::string& speed);

// The texts of the forecast files' options as drift, plan and simulate take them.
struct ForcingTexts {
  const std::vector<std::string>& windFiles;
  const std::vector<std::string>& currentFiles;
  const std::string& outside;
  const std::string& windFrom;
  const std::string& windSpeed;
  const std::string& currentSet;
  const std::string& currentDrift;
};
// Checks --outside and the constants beside the files, before any file is read: a constant beside
// its files only with --outside constant, which needs the constant of each quantity with files.
// @param[in] hasClass an object class (else a leeway by hand, one datum)
ForcingReport checkForcingOptions(const ForcingTexts& texts, const CLI::App& sub, bool hasClass);
// Reads the files, each once, and sets the constants and the outside policy.
// @throw UsageError naming a file the readers refuse
fields::Forcing forcingOf(const ForcingReport& report);
// The refusal of a place outside the files: "<what>: <the files, their extents and times>; with
// --outside constant the <taker> takes --wind-from and --wind-speed there".
std::string outsideRefusal(const std::string& what, const fields::Forcing& forcing,
                           fields::Quantity quantity, double lat, double lon, double time,
                           const char* taker);

// land: whether a position is on land and how far the nearest shore lies.
int runLand(const Options& o, const CLI::App& sub);

// The shorelines a command checks land with; no mask when --land is none or, by default, when
// none are installed or readable (a note on standard error says so).
struct LandChoice {
  std::shared_ptr<const land::LandMask> mask;
};
// Chooses by --land: the resolution named (refused when not installed), none, or by default the
// one fit for `detailNm` (land::Atlas::choose) among those installed; nothing for a subcommand
// without --land. `required` refuses none
// and a missing or unreadable file instead of going without land.
LandChoice chooseLand(const Options& o, const CLI::App& sub, double detailNm, bool required);
// The same for the text of --land (simulate keeps its options apart).
LandChoice chooseLand(const std::string& land, const CLI::App& sub, double detailNm, bool required);
// The land check of a pattern's run, by --land (by default at the resolution fit for the
// summary's box): a warning for each turning point on land and each leg across land, added to
// `warnings`. @return the shorelines used, for the picture and the summary
LandChoice checkPatternLand(const Options& o, const CLI::App& sub, const PatternParams& p,
                            const PatternNames& names, const PlanSummary& summary,
                            std::vector<std::string>& warnings);
// The summary's line naming the shorelines ("land      GSHHG 2.3.7, ..."), and the JSON
// members ,"land":{"resolution":...,"tolerance_nm":...,"file":...}; empty without shorelines.
std::string landSummaryText(const LandChoice& choice);
std::string landJsonMembers(const LandChoice& choice);
// The drift's report (text or JSON, by --json) with what the straight drift from the last known
// position (lat, lon) to the datum meets of land, when it meets any: where it first reaches land,
// after how many miles, and whether the datum lies on land.
std::string driftOverLand(const Options& o, const CLI::App& sub, const DriftedDatum& datum,
                          double lat, double lon, std::string report);
// "GSHHG 2.3.7, intermediate resolution (within 0.54 NM): /usr/share/gmt-gshhg/binned_GSHHS_i.nc"
std::string landDataText(const land::LandMask& mask);

// Sweep widths, spacings and coverage factors of the search aids: above 0, at most 100.
inline constexpr double kMaxSweepWidth = 100.0;  // nautical miles; also the spacing and the factor

// A coverage factor W / S above 100, refused in the name of `option` (the spacing or the sweep
// width that made it): its PODs say nothing, and its text would be as long as the number.
void checkCoverageFactor(const std::string& option, const std::string& text, const Coverage& c);

// A number above 0 and at most `high`, `unit` (" nautical miles", or "") for the message.
double checkPositiveUpTo(const std::string& option, const std::string& text, double high,
                         const char* unit);

}  // namespace vestrand::cli
