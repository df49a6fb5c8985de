#include "options.h"

#include <cstring>

namespace vestrand::cli {
namespace {

const char* const kLatHelp =
    "latitude: decimal degrees, north positive (43.5), or 43:30N, "
    "43:30:15.5N, 43°30'15.5\"N";
const char* const kLonHelp =
    "longitude: decimal degrees, east positive (-3.75), or 003:45W, "
    "3°45'W";
const char* const kCourseHelp = "course of the first leg, degrees true, -360 to 360";
const char* const kSpacingHelp = "track spacing, nautical miles, above 0 and at most 500";
const char* const kLegHelp = "leg length, nautical miles, above 0 and at most 500";

CLI::Option* addRequired(CLI::App* app, const std::string& name, std::string& value,
                         const std::string& help, const std::string& type) {
  return app->add_option(name, value, help)->required()->type_name(type);
}

void addPositions(CLI::App* app, Options& o, const std::string& first, const std::string& second) {
  addRequired(app, "--lat", o.lat, first + " " + kLatHelp, "LAT");
  addRequired(app, "--lon", o.lon, first + " " + kLonHelp, "LON");
  if (second.empty()) return;
  addRequired(app, "--lat2", o.lat2, second + " " + kLatHelp, "LAT");
  addRequired(app, "--lon2", o.lon2, second + " " + kLonHelp, "LON");
}

}  // namespace

void addDestination(CLI::App* app, Options& o) {
  app->add_option("--stem", o.stem,
                  "file-name stem, up to 40 letters, digits, '-' or '_', not starting with '-' "
                  "(default: the local date and time, YYYYMMDDhhmmss)")
      ->type_name("STEM");
  app->add_option("--dir", o.dir, "folder to write into (default: the current folder)")
      ->type_name("DIR");
}

namespace {

// The plan options of the four pattern subcommands.
void addPlan(CLI::App* app, Options& o) {
  CLI::Option* summary = app->add_flag(
      "--summary", o.summary,
      "also print the plan: legs, track length, time at --search-speed, area covered, box, "
      "positions");
  // Without ->needs: --legs uses the speed too, which the command checks.
  app->add_option("--search-speed", o.speed,
                  "search speed for the times of the summary and the leg table, knots, 0.1 to "
                  "100 (default 8)")
      ->type_name("KN");
  // The old spelling, kept for scripts but not offered: arrive's --speed is the speed run.
  app->add_option("--speed", o.speedAlias)->group("");
  app->add_flag("--json", o.json, "print the summary as one JSON object on one line")
      ->needs(summary);
  app->add_option("--svg", o.svg,
                  "also write the plan's picture as an SVG file at this path (not inside --dir)")
      ->type_name("FILE");
  app->add_flag("--no-gpx", o.noGpx,
                "write no GPX file: only print the summary or write the picture");
}

}  // namespace

// The formats of the files written; `split` adds the plotters' limit of points a route.
void addFormats(CLI::App* app, Options& o, bool split) {
  app->add_option("--format", o.format,
                  "files to write: gpx (default), rtz (one RTZ 1.0 route file per route, for "
                  "ECDIS) or both")
      ->type_name("FORMAT");
  if (!split) return;
  app->add_option("--max-points", o.maxPoints,
                  "split every route into parts of at most N points (2 to 100000), each "
                  "starting at the point where the one before ended; parts are named "
                  "\"<route> (2/3)\" in GPX and \"<route> (2 of 3)\" as RTZ files")
      ->type_name("N");
}

namespace {

// The search aids of the pattern subcommands: the leg table and the coverage of the tracks.
void addPlanAids(CLI::App* app, Options& o, bool tracks) {
  CLI::Option* legs = app->add_flag(
      "--legs", o.legs,
      "also print the leg table: course, distance, running total and time of every leg");
  app->add_option("--start", o.start,
                  "start of the search for the leg table's times at the turning points: "
                  "YYYY-MM-DDTHH:MM, or HH:MM today, with its offset from UTC (+01:00, Z) or "
                  "without for the local time")
      ->type_name("TIME")
      ->needs(legs);
  // The sector has no track spacing for a sweep width to cover.
  if (!tracks) return;
  app->add_option("--sweep-width", o.sweepWidth,
                  "sweep width, nautical miles, above 0 and at most 100: adds the coverage and "
                  "the probability of detection to the summary")
      ->type_name("W")
      ->needs(app->get_option("--summary"));
}

void addPattern(CLI::App* app, Options& o) {
  addPositions(app, o, "datum", "");
  addRequired(app, "--course", o.course, kCourseHelp, "C");
}

}  // namespace

const PatternOption& patternOption(PatternParam param) {
  static const PatternOption kSpacing{"--spacing", kSpacingHelp, "S", &Options::spacing, true};
  static const PatternOption kLeg{"--leg", kLegHelp, "L", &Options::leg, true};
  static const PatternOption kRadius{
      "--leg", "leg length (the sector's radius), nautical miles, above 0 and at most 500", "D",
      &Options::leg, true};
  static const PatternOption kLegPairs{"--count", "leg pairs before the closing leg, 0 to 1000000",
                                       "N", &Options::count, true};
  static const PatternOption kLoops{"--loops", "loops of four legs, 0 to 1000000", "N",
                                    &Options::loops, true};
  static const PatternOption kPasses{
      "--passes", "1 (default) or 2: search the sector a second time, turned 30 degrees", "N",
      &Options::passes, false};
  switch (param) {
    case PatternParam::Spacing:
      return kSpacing;
    case PatternParam::Leg:
      return kLeg;
    case PatternParam::Radius:
      return kRadius;
    case PatternParam::LegPairs:
      return kLegPairs;
    case PatternParam::Loops:
      return kLoops;
    case PatternParam::Passes:
      return kPasses;
  }
  return kSpacing;
}

void addPatternOutputOptions(CLI::App* sub, Options& o, bool tracks) {
  addDestination(sub, o);
  addPlan(sub, o);
  addFormats(sub, o, true);
  addPlanAids(sub, o, tracks);
}

bool given(const CLI::App* sub, const char* name) {
  return sub->get_option(name)->count() > 0;
}

Subcommands addSubcommands(CLI::App& app, Options& o) {
  Subcommands s{};
  for (const PatternInfo& info : patternTable()) {
    if (info.command == nullptr) continue;  // a subcommand of its own, below
    CLI::App* sub = app.add_subcommand(info.command, info.about);
    addPattern(sub, o);
    for (PatternParam param : info.params) {
      const PatternOption& option = patternOption(param);
      if (option.required) addRequired(sub, option.name, o.*option.value, option.help, option.type);
    }
    s.patterns.push_back({info.kind, sub});
  }
  for (const auto& [kind, sub] : s.patterns) {
    addPatternOutputOptions(sub, o, takes(kind, PatternParam::Spacing));
    for (PatternParam param : patternInfo(kind).params) {
      const PatternOption& option = patternOption(param);
      if (!option.required)
        sub->add_option(option.name, o.*option.value, option.help)->type_name(option.type);
    }
    addTurnAndDriftOptions(sub, o);
    addLandOption(sub, o);
  }

  s.line = app.add_subcommand("line", "two-point line: write a GPX file");
  addPositions(s.line, o, "first", "second");
  addDestination(s.line, o);
  addFormats(s.line, o, false);

  s.course = app.add_subcommand("course", "course and distance from one position to another");
  addPositions(s.course, o, "from", "to");
  s.course->add_option("--method", o.method, "plane (default), rhumb or great-circle")
      ->type_name("METHOD");
  s.course->add_flag("--json", o.json, "print one JSON object on one line");

  s.arrive = app.add_subcommand("arrive", "arrival position after a course and a run");
  addPositions(s.arrive, o, "start", "");
  addRequired(s.arrive, "--course", o.course, "course, degrees true, -360 to 360", "C");
  CLI::Option* distance =
      s.arrive->add_option("--distance", o.distance, "distance to run, nautical miles, 0 to 21600")
          ->type_name("NM");
  CLI::Option* speed =
      s.arrive->add_option("--speed", o.speed, "speed, knots, 0.1 to 100")->type_name("KN");
  CLI::Option* hours =
      s.arrive->add_option("--hours", o.hours, "time underway, hours, 0 to 8760")->type_name("H");
  distance->excludes(speed)->excludes(hours);
  s.arrive->add_option("--method", o.method, "plane (default) or rhumb")->type_name("METHOD");
  s.arrive->add_flag("--json", o.json, "print one JSON object on one line");

  s.drift = app.add_subcommand("drift",
                               "datum at the search's start, drifted from the last known position");
  addPositions(s.drift, o, "last known", "");
  addRequired(s.drift, "--hours", o.hours, "hours since the last known position, 0 to 240", "H");
  s.drift
      ->add_option("--current-set", o.currentSet,
                   "direction the current flows toward, degrees true, -360 to 360")
      ->type_name("DEG");
  s.drift->add_option("--current-drift", o.currentDrift, "speed of the current, knots, 0 to 20")
      ->type_name("KN");
  s.drift
      ->add_option("--leeway-toward", o.leewayToward,
                   "direction the wind pushes the object toward, degrees true, -360 to 360")
      ->type_name("DEG");
  s.drift->add_option("--leeway-speed", o.leewaySpeed, "speed of the leeway, knots, 0 to 20")
      ->type_name("KN");
  s.drift->add_flag("--json", o.json, "print one JSON object on one line");
  addLandOption(s.drift, o);

  s.coverage = app.add_subcommand("coverage",
                                  "coverage and probability of detection of tracks at a spacing");
  addRequired(s.coverage, "--sweep-width", o.sweepWidth,
              "sweep width, nautical miles, above 0 and at most 100", "W");
  s.coverage
      ->add_option("--spacing", o.spacing, "track spacing, nautical miles, above 0 and at most 100")
      ->type_name("S");
  s.coverage
      ->add_option("--coverage", o.coverage,
                   "coverage factor W / S, above 0 and at most 100 (instead of --spacing)")
      ->type_name("C");
  s.coverage->add_flag("--json", o.json, "print one JSON object on one line");

  s.position = app.add_subcommand(
      "position", "a position read from text, shown in degrees, degrees and minutes, and DMS");
  s.position
      ->add_option("text", o.position,
                   "latitude then longitude: 43.5083 -3.7533, 43 30.5N 3 45.2W, "
                   "43°30'30\"N 3°45'12\"W, N43.5083 W3.7533 (one argument: quote it)")
      ->required()
      ->type_name("TEXT");
  s.position->add_flag("--json", o.json, "print one JSON object on one line");

  s.fields = addFieldsSubcommand(app, o);
  addSearchSubcommands(app, o, s);
  s.nmea = addNmeaSubcommand(app, o);
  s.trackline = addTracklineSubcommand(app, o);
  s.simulate = addSimulateSubcommand(app, o.simulate);
  s.land = addLandSubcommand(app, o);

  o.method = "plane";
  return s;
}

std::string checkCommandLine(int argc, char** argv, const Subcommands& subcommands) {
  if (argc < 2 || argv[1][0] == '-') return {};
  const CLI::App* chosen = nullptr;
  std::string names;
  for (const CLI::App* sub : subcommands.all()) {
    if (sub->get_name() == argv[1]) chosen = sub;
    names += (names.empty() ? "" : ", ") + sub->get_name();
  }
  if (chosen == nullptr) {
    return std::string("unknown subcommand '") + argv[1] + "'; expected " + names;
  }
  const std::string help = "; run 'vestrand-cli " + chosen->get_name() + " --help' for its options";
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    if (!word.starts_with("--")) continue;
    const std::string name = word.substr(0, word.find('='));
    const CLI::Option* option = chosen->get_option_no_throw(name);
    if (option == nullptr) {
      if (name == "--help") continue;
      return chosen->get_name() + " has no option " + name + help;
    }
    if (name != word || option->get_expected_min() == 0 || i + 1 == argc) continue;
    const std::string next = argv[i + 1];
    if (next.starts_with("--") &&
        chosen->get_option_no_throw(next.substr(0, next.find('='))) != nullptr) {
      return word + " has no value: the next word, '" + next + "', is an option of its own";
    }
    ++i;  // the value, whatever it looks like
  }
  return {};
}

std::string parseErrorText(const CLI::ParseError& error, const std::string& subcommand,
                           const Subcommands& subcommands) {
  const std::string what = error.what();
  const std::string help =
      "; run 'vestrand-cli " + (subcommand.empty() ? "" : subcommand + " ") + "--help'";
  // The name CLI11 puts before `marker` in its message, or the empty text.
  const auto nameBefore = [&what](const std::string& marker) {
    const std::size_t at = what.find(marker);
    return at == std::string::npos ? std::string() : what.substr(0, at);
  };
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (what.starts_with("A subcommand")) {
      std::string names;
      for (const CLI::App* sub : subcommands.all()) {
        names += (names.empty() ? "" : ", ") + sub->get_name();
      }
      return "no subcommand given; expected one of " + names;
    }
    const std::string name = nameBefore(" is required");
    if (name == "text") return subcommand + " needs the text of a position: 43 30.5N 3 45.2W";
    if (!name.empty()) return subcommand + " needs " + name;
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    if (const std::string name = nameBefore(": At Most "); !name.empty()) {
      return name + " is given more than once; give it once";
    }
    const std::size_t to = what.find(" arguments to ");
    if (to != std::string::npos) {
      const std::size_t from = to + std::string(" arguments to ").size();
      return what.substr(from, what.find(',', from) - from) + " has no value";
    }
    if (const std::string name = nameBefore(": "); !name.empty()) return name + " has no value";
  }
  if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr) {
    const std::string first = nameBefore(" excludes ");
    if (!first.empty()) {
      return first + " and " + what.substr(first.size() + std::string(" excludes ").size()) +
             " cannot be given together; give one of them";
    }
  }
  if (dynamic_cast<const CLI::RequiresError*>(&error) != nullptr) {
    return what;  // "--json requires --summary", in the words of our own checks
  }
  if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
    if (const std::string name = nameBefore(": "); name.starts_with("--")) {
      return name + " is a switch and takes no value";
    }
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    return "unexpected words on the command line (" + what.substr(what.find(": ") + 2) + ")" + help;
  }
  return "the command line could not be read (" + what + ")" + help;
}

}  // namespace vestrand::cli
