// The commands that write files: the four patterns and the two-point line.
#include <calendar.h>
#include <coverage.h>
#include <gpx.h>
#include <leg_table.h>
#include <pattern_files.h>
#include <plan_figure.h>
#include <plan_land.h>
#include <plan_summary.h>
#include <plan_svg.h>
#include <safe_file.h>

#include <cmath>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "report.h"

namespace vestrand::cli {
namespace {

// The window stamps its files with the local date and time; so does the command line.
std::string clockStem() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) {
    throw WriteFailure{"cannot read the local date and time for the file name; give --stem"};
  }
  return timeStem(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec);
}

}  // namespace

Destination destination(const Options& o, const CLI::App& sub) {
  Destination d;
  d.stem = given(&sub, "--stem") ? checkStem("--stem", o.stem) : clockStem();
  if (given(&sub, "--dir")) d.dir = checkPath("--dir", o.dir, "a folder");
  return d;
}

PatternFiles outputFiles(const Options& o, const CLI::App& sub, bool split) {
  PatternFiles files;
  if (given(&sub, "--format")) {
    if (o.format == "rtz" || o.format == "both") {
      files.rtz = true;
      files.gpx = o.format == "both";
    } else if (o.format != "gpx") {
      throw UsageError("--format '" + o.format + "' refused: expected gpx, rtz or both");
    }
  }
  if (split && given(&sub, "--max-points")) {
    const double most = checkFinite("--max-points", o.maxPoints);
    const std::string refused = "--max-points '" + o.maxPoints + "' refused: ";
    if (most != std::trunc(most)) throw UsageError(refused + "not a whole number");
    if (most < 2 || most > 100000) throw UsageError(refused + "must lie from 2 to 100000 points");
    files.maxPoints = static_cast<int>(most);
  }
  return files;
}

void printWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) printMessage(warning, "warning");
}

namespace {

int checkPasses(const std::string& option, const std::string& text) {
  const double value = checkFinite(option, text);
  if (value != 1.0 && value != 2.0) {
    throw UsageError(option + " '" + text + "' refused: a sector is searched in 1 or 2 passes");
  }
  return static_cast<int>(value);
}

// The search's start for the leg table; a bare "HH:MM" is today, by the local calendar.
ClockTime checkStart(const std::string& option, const std::string& text) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) {
    throw WriteFailure{"cannot read the local date for " + option + "; give the date too"};
  }
  ClockTime today;
  today.year = local.tm_year + 1900LL;
  today.month = local.tm_mon + 1;
  today.day = local.tm_mday;
  ClockTime start;
  std::string error;
  if (!parseClockTime(text, today, start, error)) {
    throw UsageError(option + " '" + text + "' refused: " + error);
  }
  if (!start.offset) {
    // A time without an offset is the local clock's, at that date: summer or winter time.
    std::tm wall{};
    wall.tm_year = static_cast<int>(start.year - 1900);
    wall.tm_mon = start.month - 1;
    wall.tm_mday = start.day;
    wall.tm_hour = start.hour;
    wall.tm_min = start.minute;
    wall.tm_isdst = -1;
    if (std::mktime(&wall) == static_cast<std::time_t>(-1)) {
      throw UsageError(option + " '" + text +
                       "' refused: the local offset from UTC at that time is unknown; give it, "
                       "e.g. " +
                       text + "+01:00");
    }
    start.offset = static_cast<int>(wall.tm_gmtoff / 60);
  }
  return start;
}

// Standard output in pieces, so that a table of a million legs never sits whole in memory.
class Printer {
 public:
  void add(const std::string& text) {
    if (status_ != 0) return;
    buffer_ += text;
    if (buffer_.size() >= kPiece) flush();
  }
  int finish() {
    flush();
    return status_;
  }

 private:
  static constexpr std::size_t kPiece = 1 << 20;
  void flush() {
    if (status_ == 0 && !buffer_.empty()) status_ = printResult(buffer_);
    buffer_.clear();
  }
  std::string buffer_;
  int status_ = 0;
};

// Sails the pattern once more and prints its leg table, a row at a time, its points numbered as
// the files split the routes.
void printLegTable(const PatternParams& p, const PatternNames& names, double speed,
                   const std::optional<ClockTime>& start, const RouteSplit& split, bool json,
                   Printer& out) {
  bool first = true;
  if (!json) {
    out.add(legTableHeading(start.has_value(), split.maxPoints != 0,
                            start && start->offset ? offsetText(*start->offset) : ""));
  }
  sailLegTable(
      p, names, speed,
      [&](const LegRow& row) {
        const std::optional<ClockTime> eta =
            start ? clockAfter(*start, row.hours) : std::optional<ClockTime>{};
        if (json) {
          out.add((first ? "" : ",") + legRowJson(row, start.has_value(), eta));
        } else {
          out.add(legRowText(row, start.has_value(), eta));
        }
        first = false;
      },
      split);
}

}  // namespace

int runPattern(PatternKind kind, const Options& o, const CLI::App& sub) {
  PatternParams p;
  p.kind = kind;
  p.lat = checkCoordinate("--lat", o.lat, Axis::Latitude);
  p.lon = checkCoordinate("--lon", o.lon, Axis::Longitude);
  p.course = checkCourse("--course", o.course);
  for (PatternParam param : patternInfo(kind).params) {
    const PatternOption& option = patternOption(param);
    const std::string& text = o.*option.value;
    switch (param) {
      case PatternParam::Spacing:
        p.spacing = checkDistance(option.name, text);
        break;
      case PatternParam::Leg:
      case PatternParam::Radius:
        p.leg = checkDistance(option.name, text);
        break;
      case PatternParam::LegPairs:
      case PatternParam::Loops:
        p.count = checkCount(option.name, text);
        break;
      case PatternParam::Passes:
        if (given(&sub, option.name)) p.passes = checkPasses(option.name, text);
        break;
    }
  }
  return runPlannedPattern(p, o, sub);
}

int runPlannedPattern(PatternParams p, const Options& o, const CLI::App& sub) {
  const PatternKind kind = p.kind;
  // --speed is the old spelling of --search-speed, kept for scripts.
  const bool oldSpeed = given(&sub, "--speed");
  const bool hasSpeed = oldSpeed || given(&sub, "--search-speed");
  const std::string speedOption = oldSpeed ? "--speed" : "--search-speed";
  if (oldSpeed && given(&sub, "--search-speed")) {
    throw UsageError("--speed and --search-speed cannot be given together; give --search-speed");
  }
  const double speed =
      hasSpeed ? checkSpeed(speedOption, oldSpeed ? o.speedAlias : o.speed) : kDefaultSearchSpeed;
  applyTurnAndDrift(p, o, sub, speed);
  const bool drifting =
      sub.get_option_no_throw("--drift-set") != nullptr && given(&sub, "--drift-set");
  if (hasSpeed && !o.summary && !o.legs && !drifting) {
    throw UsageError(speedOption +
                     " requires --summary or --legs (or a drift to lay the pattern in)");
  }
  std::optional<Coverage> coverage;
  if (takes(kind, PatternParam::Spacing) && given(&sub, "--sweep-width")) {
    coverage = coverageOfSpacing(
        checkPositiveUpTo("--sweep-width", o.sweepWidth, kMaxSweepWidth, " nautical miles"),
        p.spacing);
    checkCoverageFactor("--sweep-width", o.sweepWidth, *coverage);
  }
  std::optional<ClockTime> start;
  if (given(&sub, "--start")) start = checkStart("--start", o.start);
  const bool svg = given(&sub, "--svg");
  if (svg) checkPath("--svg", o.svg, "a file");
  PatternFiles files = outputFiles(o, sub, true);
  if (o.noGpx && files.gpx && given(&sub, "--format")) {
    throw UsageError("--no-gpx refused: --format " + o.format + " asks for the GPX file");
  }
  if (o.noGpx) files.gpx = false;
  if (o.noGpx && !files.rtz && !o.summary && !svg && !o.legs) {
    throw UsageError(
        "--no-gpx refused: without --summary or --svg (or --legs) there would be nothing to do");
  }
  std::string refusal;
  if (!checkPatternExtent(p, refusal)) throw UsageError(refusal + "; nothing was written");
  const Destination d = destination(o, sub);

  PatternNames names;
  std::vector<std::string> paths;
  if (!composePatternNames(p, d.stem.c_str(), names)) {
    // Cannot happen within the bounds of stem and course; kept so that a change of bounds fails
    // loudly instead of writing a cut name.
    throw UsageError("--stem '" + d.stem + "' refused: the file name would be too long");
  }
  if (!patternFilePaths(p, d.stem.c_str(), d.dir, files, paths, refusal)) {
    // With the names fitting, only the number of RTZ files can be refused, which --max-points
    // alone makes large.
    const bool split = given(&sub, "--max-points");
    throw UsageError((split ? "--max-points '" + o.maxPoints + "' refused: " : "") + refusal);
  }
  for (const std::string& path : paths) {
    if (svg && sameFile(path, o.svg)) {
      throw UsageError("--svg '" + o.svg + "' refused: it names the file '" + path +
                       "' that the pattern is written to");
    }
  }

  // Sailed whatever is printed: the warnings and the leg table's parts need the routes' points.
  const PlanSummary summary = summarizePattern(p, names);

  // What the user should know of the run's files, written all the same: one list that every
  // source adds to, printed on standard error and carried by the summary.
  std::vector<std::string> warnings;
  if (files.maxPoints == 0) warnings = longRouteWarnings(summary);
  const LandChoice land = checkPatternLand(o, sub, p, names, summary, warnings);

  // Every file of the run is complete before any is put in place.
  FileBatch batch;
  std::string error;
  if (!addPatternFiles(batch, p, d.stem.c_str(), d.dir, files, error, &warnings)) {
    throw WriteFailure{error};
  }
  if (svg) {
    // Laid out from two sailings of the pattern, so that a million points are never all held.
    SafeFile* picture = batch.create(o.svg);
    PlanFigure figure = drawPlanFigure(p, names, kSvgPictureSize, patternGuideLines(p, names));
    if (land.mask) addLandLayer(figure, {p.lat, p.lon}, *land.mask);
    if (picture == nullptr || !renderPlanSvg(figure, *picture)) {
      throw WriteFailure{picture == nullptr ? batch.error() : picture->error()};
    }
  }
  if (!batch.commit()) throw WriteFailure{batch.error()};
  printWarnings(warnings);

  const std::string gpxPath = files.gpx ? paths.front() : std::string();
  // The RTZ files' paths, after the GPX file's, in the order written.
  std::string extraMembers;
  if (files.rtz) {
    extraMembers = ",\"rtz\":[";
    for (std::size_t i = files.gpx ? 1 : 0; i < paths.size(); ++i) {
      extraMembers += (extraMembers.back() == '[' ? "" : ",") + jsonString(paths[i]);
    }
    extraMembers += "]";
  }
  if (coverage) extraMembers += coverageJsonMembers(*coverage);
  if (p.drift.speed > 0.0) extraMembers += compensationJsonMembers(p, summary);
  extraMembers += landJsonMembers(land);
  if (o.summary && o.json && !o.legs) {
    return printResult(
        summaryJson(summary, speed, gpxPath, svg ? o.svg : "", extraMembers, warnings));
  }
  RouteSplit split;
  if (files.maxPoints != 0) {
    split.maxPoints = files.maxPoints;
    for (const RouteSummary& route : summary.routes) split.points.push_back(route.points);
  }
  Printer out;
  if (o.summary && o.json) {
    // The table is the last member of the summary's one line: the line is printed up to where
    // the table begins, the rows follow as they are sailed, then the line is closed.
    std::string head = summaryJson(summary, speed, gpxPath, svg ? o.svg : "",
                                   extraMembers + ",\"leg_table\":[", warnings);
    head.resize(head.size() - std::string("}\n").size());
    out.add(head);
    printLegTable(p, names, speed, start, split, true, out);
    out.add("]}\n");
    return out.finish();
  }
  std::string text;
  for (const std::string& path : paths) text += path + "\n";
  if (svg) text += o.svg + "\n";
  if (o.summary) text += summaryText(summary, speed, warnings) + landSummaryText(land);
  if (o.summary && p.drift.speed > 0.0) text += compensationText(p, summary);
  if (coverage) text += coverageText(*coverage);
  if (!o.legs) return printResult(text);
  out.add(text);
  printLegTable(p, names, speed, start, split, false, out);
  return out.finish();
}

int runLine(const Options& o, const CLI::App& sub) {
  const double lat1 = checkCoordinate("--lat", o.lat, Axis::Latitude);
  const double lon1 = checkCoordinate("--lon", o.lon, Axis::Longitude);
  const double lat2 = checkCoordinate("--lat2", o.lat2, Axis::Latitude);
  const double lon2 = checkCoordinate("--lon2", o.lon2, Axis::Longitude);
  const PatternFiles files = outputFiles(o, sub, false);
  const Destination d = destination(o, sub);
  FileBatch batch;
  std::string error;
  std::vector<std::string> warnings;
  if (!addLineFiles(batch, {lat1, lon1, lat2, lon2}, d.stem.c_str(), d.dir, files, error,
                    &warnings)) {
    throw WriteFailure{error};
  }
  if (!batch.commit()) throw WriteFailure{batch.error()};
  printWarnings(warnings);
  std::string text;
  for (const std::string& path : batch.written()) text += path + "\n";
  return printResult(text);
}

}  // namespace vestrand::cli
