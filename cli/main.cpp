// vestrand-cli: the search patterns and the sailing computations from a terminal or a script.
//
// It adds no pattern logic of its own: it reads and checks the options, calls the generators and
// the sailing functions, and reports. Exit status 0 on success, 1 when a file cannot be written,
// 2 for bad input.
#include <Derrota.h>
#include <gpx.h>
#include <plan_chart.h>
#include <plan_summary.h>
#include <plan_svg.h>
#include <safe_file.h>
#include <unistd.h>
#include <vestrand.gpx.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>

#include "arguments.h"
#include "report.h"

namespace {

using vestrand::cli::Axis;
using vestrand::cli::UsageError;

constexpr int kExitWriteFailure = 1;
constexpr int kExitUsage = 2;

// Everything the subcommands read; only the options of the chosen subcommand are filled in.
struct Options {
  std::string lat, lon, lat2, lon2;
  std::string course, spacing, leg, count, loops;
  std::string distance, speed, hours;
  std::string stem, dir, method;
  std::string svg;
  bool json = false;
  bool summary = false;
  bool noGpx = false;
};

// What the pattern subcommands were asked for beyond their values.
struct PlanRequest {
  bool stemGiven = false;
  bool dirGiven = false;
  bool speedGiven = false;
  bool svgGiven = false;
};

// A write failure: the message is printed and the program exits with status 1.
struct WriteFailure {
  std::string message;
};

const char* const kLatHelp =
    "latitude: decimal degrees, north positive (43.5), or 43:30N, "
    "43:30:15.5N, 43°30'15.5\"N";
const char* const kLonHelp =
    "longitude: decimal degrees, east positive (-3.75), or 003:45W, "
    "3°45'W";

// The window stamps its files with the local date and time; so does the command line.
std::string clockStem() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[32];
  if (localtime_r(&now, &local) == nullptr ||
      std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local) != 14) {
    throw WriteFailure{"cannot read the local date and time for the file name; give --stem"};
  }
  return text;
}

// Prints one line and makes sure it reached its reader: a script that gets no path must not see
// success.
int printResult(const std::string& text) {
  std::cout << text << std::flush;
  if (!std::cout) {
    std::cerr << "vestrand-cli: cannot write to standard output\n";
    return kExitWriteFailure;
  }
  return 0;
}

struct Position {
  double lat;
  double lon;
};

Position datum(const Options& o) {
  return {vestrand::cli::checkCoordinate("--lat", o.lat, Axis::Latitude),
          vestrand::cli::checkCoordinate("--lon", o.lon, Axis::Longitude)};
}

Position secondPosition(const Options& o) {
  return {vestrand::cli::checkCoordinate("--lat2", o.lat2, Axis::Latitude),
          vestrand::cli::checkCoordinate("--lon2", o.lon2, Axis::Longitude)};
}

// Checks --stem and --dir; `dirGiven` tells whether the path to report carries the folder.
struct Destination {
  std::string stem;
  std::string dir;
  bool dirGiven = false;

  std::string pathOf(const std::string& name) const {
    if (!dirGiven) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
  }
};

Destination destination(const Options& o, bool stemGiven, bool dirGiven) {
  Destination d;
  d.stem = stemGiven ? vestrand::cli::checkStem("--stem", o.stem) : clockStem();
  d.dirGiven = dirGiven;
  d.dir = o.dir;
  if (dirGiven && d.dir.empty()) throw UsageError("--dir '' refused: a folder must have a name");
  return d;
}

// The generators write into the current directory, so the folder is entered first.
void enterFolder(const Destination& d, const std::string& path) {
  if (d.dirGiven && ::chdir(d.dir.c_str()) != 0) {
    const int error = errno;
    throw WriteFailure{"cannot write '" + path + "': cannot enter the folder '" + d.dir +
                       "': " + std::strerror(error)};
  }
}

// Runs a generator; returns the path of the file it wrote.
template <typename Generator>
std::string writeGpx(const Destination& d, const std::string& name, Generator generate) {
  const std::string path = d.pathOf(name);
  enterFolder(d, path);
  if (!generate(d.stem.c_str())) {
    // The writer names the bare file ("cannot create 'X': reason"); say its reason once, after
    // the path the operator asked for.
    std::string reason = GPXLastError();
    const std::string quoted = "'" + name + "': ";
    const std::size_t at = reason.find(quoted);
    if (at != std::string::npos) reason.erase(0, at + quoted.size());
    throw WriteFailure{"cannot write '" + path + "': " + reason};
  }
  return path;
}

// Runs a generator and reports the file it wrote.
template <typename Generator>
int writeFile(const Destination& d, const std::string& name, Generator generate) {
  return printResult(writeGpx(d, name, generate) + "\n");
}

int runPattern(vestrand::PatternKind kind, const Options& o, const PlanRequest& r) {
  using vestrand::PatternKind;
  vestrand::PatternParams p;
  p.kind = kind;
  const Position position = datum(o);
  p.lat = position.lat;
  p.lon = position.lon;
  p.course = vestrand::cli::checkCourse("--course", o.course);
  switch (kind) {
    case PatternKind::ExpandingSquare:
      p.spacing = vestrand::cli::checkDistance("--spacing", o.spacing);
      p.count = vestrand::cli::checkCount("--count", o.count);
      break;
    case PatternKind::Sector:
      p.leg = vestrand::cli::checkDistance("--leg", o.leg);
      break;
    case PatternKind::CreepingLine:
    case PatternKind::ParallelSweep:
      p.spacing = vestrand::cli::checkDistance("--spacing", o.spacing);
      p.leg = vestrand::cli::checkDistance("--leg", o.leg);
      p.count = vestrand::cli::checkCount("--loops", o.loops);
      break;
  }
  const double speed = r.speedGiven ? vestrand::cli::checkSpeed("--speed", o.speed)
                                    : vestrand::cli::kDefaultSearchSpeed;
  if (r.svgGiven && o.svg.empty()) throw UsageError("--svg '' refused: a file must have a name");
  if (o.noGpx && !o.summary && !r.svgGiven) {
    throw UsageError("--no-gpx refused: without --summary or --svg there would be nothing to do");
  }
  const Destination d = destination(o, r.stemGiven, r.dirGiven);

  vestrand::PatternNames names;
  if (!vestrand::composePatternNames(p, d.stem.c_str(), names)) {
    // Cannot happen within the bounds of stem and course; kept so that a change of bounds fails
    // loudly instead of writing a cut name.
    throw UsageError("--stem '" + d.stem + "' refused: the file name would be too long");
  }

  // The summary and the picture come from one sailing of the pattern, before any file is written.
  vestrand::PlanSummarySink summarySink(p);
  vestrand::PlanDrawingSink drawingSink(p);
  if (r.svgGiven) {
    vestrand::TeeSink both(summarySink, drawingSink);
    vestrand::sailPattern(p, names, both);
  } else if (o.summary) {
    vestrand::sailPattern(p, names, summarySink);
  }
  // The picture goes first: its path is taken from the folder the program started in, and the
  // GPX writer then enters --dir.
  if (r.svgGiven) {
    std::string error;
    if (!vestrand::writePlanSvg(drawingSink.drawing(), o.svg, error)) throw WriteFailure{error};
  }
  std::string gpxPath;
  if (!o.noGpx)
    gpxPath = writeGpx(d, names.file, [&p, kind](const char* stem) {
      switch (kind) {
        case PatternKind::ExpandingSquare:
          return gpxExpandingSquareSearchPattern(p.lat, p.lon, p.course, p.spacing, p.count, stem);
        case PatternKind::Sector:
          return gpxSectorSearchPattern(p.lat, p.lon, p.course, p.leg, stem);
        case PatternKind::CreepingLine:
          return gpxCreepingLineSingleunit(p.lat, p.lon, p.course, p.spacing, p.leg, p.count, stem);
        case PatternKind::ParallelSweep:
          return gpxParallelSearchPattern2ships(p.lat, p.lon, p.course, p.spacing, p.leg, p.count,
                                                stem);
      }
      return false;
    });

  if (o.summary && o.json) {
    return printResult(vestrand::cli::summaryJson(summarySink.summary(), speed, gpxPath,
                                                  r.svgGiven ? o.svg : std::string()));
  }
  std::string text;
  if (!gpxPath.empty()) text += gpxPath + "\n";
  if (r.svgGiven) text += o.svg + "\n";
  if (o.summary) text += vestrand::cli::summaryText(summarySink.summary(), speed);
  return printResult(text);
}

int runLine(const Options& o, bool stemGiven, bool dirGiven) {
  const Position from = datum(o);
  const Position to = secondPosition(o);
  const Destination d = destination(o, stemGiven, dirGiven);
  // The same name that gpxRhumbLine composes; the stem's bounds keep it far below 99 characters.
  return writeFile(d, d.stem + " RL.gpx", [&from, &to](const char* stem) {
    return gpxRhumbLine(from.lat, from.lon, to.lat, to.lon, stem);
  });
}

std::string checkMethod(const std::string& method, bool greatCircleAllowed) {
  if (method == "plane" || method == "rhumb" || (greatCircleAllowed && method == "great-circle")) {
    return method;
  }
  throw UsageError("--method '" + method + "' refused: expected " +
                   (greatCircleAllowed ? "plane, rhumb or great-circle" : "plane or rhumb"));
}

int runCourse(const Options& o) {
  const Position from = datum(o);
  const Position to = secondPosition(o);
  const std::string method = checkMethod(o.method, true);
  double course = 0.0;
  double distance = 0.0;
  int status = 0;
  bool found = true;
  const char* name = nullptr;
  if (method == "plane") {
    status = RumboDistancia(from.lat, from.lon, to.lat, to.lon, &course, &distance);
    found = status == 1;
    name = "plane sailing";
  } else if (method == "rhumb") {
    status = RumboDistanciaLox(from.lat, from.lon, to.lat, to.lon, &course, &distance);
    found = status == 0;
    name = "rhumb line (Mercator sailing)";
  } else {
    status = RumboDistanciaOrtodromica(from.lat, from.lon, to.lat, to.lon, &course, &distance);
    name = "great circle (initial course)";
  }
  return printResult(o.json ? vestrand::cli::courseJson(status, course, distance)
                            : vestrand::cli::courseText(found, course, distance, name));
}

int runArrive(const Options& o, bool distanceGiven, bool speedGiven, bool hoursGiven) {
  const Position from = datum(o);
  const double course = vestrand::cli::checkCourse("--course", o.course);
  double speed = 1.0;
  double hours = 0.0;
  if (distanceGiven) {
    // A distance is run at speed 1 for that many hours, as the generators sail their legs.
    hours = vestrand::cli::checkFinite("--distance", o.distance);
  } else if (speedGiven && hoursGiven) {
    speed = vestrand::cli::checkFinite("--speed", o.speed);
    hours = vestrand::cli::checkFinite("--hours", o.hours);
  } else {
    throw UsageError("arrive needs --distance NM, or --speed KN together with --hours H");
  }
  const std::string method = checkMethod(o.method, false);
  double lat = 0.0;
  double lon = 0.0;
  std::optional<int> status;
  const char* name = nullptr;
  if (method == "plane") {
    PosicionLlegada(from.lat, from.lon, speed, course, hours, &lat, &lon);
    name = "plane sailing";
  } else {
    status = PosicionLlegadaLox(from.lat, from.lon, speed, course, hours, &lat, &lon);
    name = "rhumb line (Mercator sailing)";
  }
  if (!std::isfinite(lat) || !std::isfinite(lon)) {
    const std::string run = distanceGiven ? "--distance '" + o.distance + "'"
                                          : "--speed '" + o.speed + "' --hours '" + o.hours + "'";
    throw UsageError(run + " refused: the arrival position is not a finite number");
  }
  return printResult(o.json ? vestrand::cli::positionJson(status, lat, lon)
                            : vestrand::cli::positionText(lat, lon, name));
}

CLI::Option* addRequired(CLI::App* app, const std::string& name, std::string& value,
                         const std::string& help, const std::string& type) {
  return app->add_option(name, value, help)->required()->type_name(type);
}

void addDestination(CLI::App* app, Options& o) {
  app->add_option("--stem", o.stem,
                  "file-name stem, up to 40 letters, digits, '-' or '_' (default: the local date "
                  "and time, YYYYMMDDhhmmss)")
      ->type_name("STEM");
  app->add_option("--dir", o.dir, "folder to write into (default: the current folder)")
      ->type_name("DIR");
}

// The plan options of the four pattern subcommands.
void addPlan(CLI::App* app, Options& o) {
  CLI::Option* summary = app->add_flag(
      "--summary", o.summary,
      "also print the plan: legs, track length, time at --speed, searched box, positions");
  app->add_option("--speed", o.speed,
                  "search speed for the time in the summary, knots, above 0 and at most 100 "
                  "(default 8)")
      ->type_name("KN")
      ->needs(summary);
  app->add_flag("--json", o.json, "print the summary as one JSON object on one line")
      ->needs(summary);
  app->add_option("--svg", o.svg,
                  "also write the plan's picture as an SVG file at this path (not inside --dir)")
      ->type_name("FILE");
  app->add_flag("--no-gpx", o.noGpx,
                "write no GPX file: only print the summary or write the picture");
}

void addDatum(CLI::App* app, Options& o) {
  addRequired(app, "--lat", o.lat, "datum " + std::string(kLatHelp), "LAT");
  addRequired(app, "--lon", o.lon, "datum " + std::string(kLonHelp), "LON");
}

}  // namespace

int main(int argc, char** argv) {
  // An interrupt leaves no temporary file, and a file size limit ends as a write error that
  // names the file, like a full disk.
  vestrand::installInterruptCleanup();
  Options o;
  CLI::App app{"Vestrand search patterns as GPX files, and the sailing computations.",
               "vestrand-cli"};
  app.set_version_flag("--version", VESTRAND_VERSION, "print the version and exit");
  app.require_subcommand(1);
  app.footer(
      "Exit status: 0 success, 1 a file could not be written, 2 bad input.\n"
      "The pattern subcommands write the GPX file and print its path; --summary adds the plan\n"
      "(after the path; with --json one JSON line holding the path), --svg FILE a picture,\n"
      "--no-gpx leaves the GPX file out.\n"
      "Example: vestrand-cli sector --lat 40 --lon 10W --course 30 --leg 2");

  const char* const kCourseHelp = "course of the first leg, degrees true, -360 to 360";
  const char* const kSpacingHelp = "track spacing, nautical miles, above 0 and at most 500";
  const char* const kLegHelp = "leg length, nautical miles, above 0 and at most 500";

  CLI::App* square = app.add_subcommand("square", "expanding square search: write a GPX file");
  addDatum(square, o);
  addRequired(square, "--course", o.course, kCourseHelp, "C");
  addRequired(square, "--spacing", o.spacing, kSpacingHelp, "S");
  addRequired(square, "--count", o.count, "leg pairs before the closing leg, 0 to 1000000", "N");
  addDestination(square, o);
  addPlan(square, o);

  CLI::App* sector = app.add_subcommand("sector", "sector search: write a GPX file");
  addDatum(sector, o);
  addRequired(sector, "--course", o.course, kCourseHelp, "C");
  addRequired(sector, "--leg", o.leg,
              "leg length (the sector's radius), nautical miles, above 0 "
              "and at most 500",
              "D");
  addDestination(sector, o);
  addPlan(sector, o);

  CLI::App* creeping = app.add_subcommand("creeping", "creeping line search: write a GPX file");
  CLI::App* parallel =
      app.add_subcommand("parallel", "parallel sweep for two units: write a GPX file");
  for (CLI::App* sub : {creeping, parallel}) {
    addDatum(sub, o);
    addRequired(sub, "--course", o.course, kCourseHelp, "C");
    addRequired(sub, "--spacing", o.spacing, kSpacingHelp, "S");
    addRequired(sub, "--leg", o.leg, kLegHelp, "L");
    addRequired(sub, "--loops", o.loops, "loops of four legs, 0 to 1000000", "N");
    addDestination(sub, o);
    addPlan(sub, o);
  }

  CLI::App* line = app.add_subcommand("line", "two-point line: write a GPX file");
  addRequired(line, "--lat", o.lat, "first " + std::string(kLatHelp), "LAT");
  addRequired(line, "--lon", o.lon, "first " + std::string(kLonHelp), "LON");
  addRequired(line, "--lat2", o.lat2, "second " + std::string(kLatHelp), "LAT");
  addRequired(line, "--lon2", o.lon2, "second " + std::string(kLonHelp), "LON");
  addDestination(line, o);

  CLI::App* course =
      app.add_subcommand("course", "course and distance from one position to another");
  addRequired(course, "--lat", o.lat, "from " + std::string(kLatHelp), "LAT");
  addRequired(course, "--lon", o.lon, "from " + std::string(kLonHelp), "LON");
  addRequired(course, "--lat2", o.lat2, "to " + std::string(kLatHelp), "LAT");
  addRequired(course, "--lon2", o.lon2, "to " + std::string(kLonHelp), "LON");
  course->add_option("--method", o.method, "plane (default), rhumb or great-circle")
      ->type_name("METHOD");
  course->add_flag("--json", o.json, "print one JSON object on one line");

  CLI::App* arrive = app.add_subcommand("arrive", "arrival position after a course and a run");
  addRequired(arrive, "--lat", o.lat, "start " + std::string(kLatHelp), "LAT");
  addRequired(arrive, "--lon", o.lon, "start " + std::string(kLonHelp), "LON");
  addRequired(arrive, "--course", o.course, "course, degrees true, -360 to 360", "C");
  CLI::Option* distance =
      arrive->add_option("--distance", o.distance, "distance to run, nautical miles")
          ->type_name("NM");
  CLI::Option* speed = arrive->add_option("--speed", o.speed, "speed, knots")->type_name("KN");
  CLI::Option* hours =
      arrive->add_option("--hours", o.hours, "time underway, hours")->type_name("H");
  distance->excludes(speed)->excludes(hours);
  arrive->add_option("--method", o.method, "plane (default) or rhumb")->type_name("METHOD");
  arrive->add_flag("--json", o.json, "print one JSON object on one line");

  o.method = "plane";

  // CLI11 would only say that a subcommand is required; name the word it did not know.
  if (argc >= 2 && argv[1][0] != '-') {
    bool known = false;
    for (const CLI::App* sub : {square, sector, creeping, parallel, line, course, arrive}) {
      known = known || sub->get_name() == argv[1];
    }
    if (!known) {
      std::cerr << "vestrand-cli: unknown subcommand '" << argv[1]
                << "'; expected square, sector, creeping, parallel, line, course or arrive\n";
      return kExitUsage;
    }
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "vestrand-cli: " << e.what() << "\nRun 'vestrand-cli --help' for the options.\n";
    return kExitUsage;
  }

  try {
    const auto given = [](const CLI::App* sub, const char* name) {
      return sub->get_option(name)->count() > 0;
    };
    const auto request = [&given](const CLI::App* sub) {
      return PlanRequest{given(sub, "--stem"), given(sub, "--dir"), given(sub, "--speed"),
                         given(sub, "--svg")};
    };
    using vestrand::PatternKind;
    if (square->parsed()) return runPattern(PatternKind::ExpandingSquare, o, request(square));
    if (sector->parsed()) return runPattern(PatternKind::Sector, o, request(sector));
    if (creeping->parsed()) return runPattern(PatternKind::CreepingLine, o, request(creeping));
    if (parallel->parsed()) return runPattern(PatternKind::ParallelSweep, o, request(parallel));
    if (line->parsed()) return runLine(o, given(line, "--stem"), given(line, "--dir"));
    if (course->parsed()) return runCourse(o);
    if (arrive->parsed()) {
      return runArrive(o, distance->count() > 0, speed->count() > 0, hours->count() > 0);
    }
    std::cerr << "vestrand-cli: no subcommand was chosen\n";
    return kExitUsage;
  } catch (const UsageError& e) {
    std::cerr << "vestrand-cli: " << e.what() << '\n';
    return kExitUsage;
  } catch (const WriteFailure& e) {
    std::cerr << "vestrand-cli: " << e.message << '\n';
    return kExitWriteFailure;
  } catch (const std::exception& e) {
    std::cerr << "vestrand-cli: " << e.what() << '\n';
    return kExitWriteFailure;
  }
}
