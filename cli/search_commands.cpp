// The search planning subcommands: objects, leeway, drift with an object class, and plan.
#include <field_time.h>
#include <forcing.h>
#include <forecast_drift.h>
#include <land_atlas.h>
#include <leeway.h>
#include <leg_table.h>
#include <number_text.h>
#include <pattern_files.h>
#include <plan_land.h>
#include <plan_summary.h>
#include <plan_svg.h>
#include <position_text.h>
#include <safe_file.h>
#include <search_figure.h>
#include <search_plan.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "report.h"
#include "search_report.h"
#include "simulate_command.h"

namespace vestrand::cli {
namespace {

constexpr double kMaxWindSpeed = 100.0;             // knots: beyond any wind a search is flown in
constexpr double kMaxTimeOnScene = kMaxDriftHours;  // a unit searches no longer than a drift
constexpr double kMaxUnitSpeed = 300.0;             // knots: search aircraft as well as vessels
constexpr std::size_t kMaxUnitName = 20;            // characters

const char* const kUnitForm = "NAME:SPEED:HOURS:SWEEPWIDTH[:LAT:LON:TRANSITSPEED]";

[[noreturn]] void refuse(const std::string& option, const std::string& text,
                         const std::string& reason) {
  throw UsageError(option + " '" + text + "' refused: " + reason);
}

const LeewayClass& checkObject(const std::string& option, const std::string& text) {
  const LeewayClass* c = findLeewayClass(text);
  if (c == nullptr) {
    refuse(option, text,
           "no object class has that number or key ('vestrand-cli objects' lists them)");
  }
  return *c;
}

Leeway checkLeeway(const Options& o, const CLI::App& sub) {
  const LeewayClass& c = checkObject("--object", o.object);
  if (!given(&sub, "--wind-from") || !given(&sub, "--wind-speed")) {
    refuse("--object", o.object, "a class needs the wind: --wind-from DEG and --wind-speed KN");
  }
  const double from = checkBounded("--wind-from", o.windFrom, -kMaxCourse, kMaxCourse, "degrees");
  const double speed = checkBounded("--wind-speed", o.windSpeed, 0.0, kMaxWindSpeed, "knots");
  return leewayOf(c, from, speed);
}

// The last known position, the hours, the current and the leeway (a class or by hand) of drift
// and plan, and the datums they give: with one vector, or through forecast files.
struct DriftInputs {
  const LeewayClass* objectClass = nullptr;  // none for a leeway by hand
  Leeway leeway;                             // of the constant wind; none with wind files
  Datums datums;
  std::optional<ForcingReport> forcing;  // when forecast files were given
  std::optional<fields::Forcing> files;  // and what they hold, read once, with the constants
  std::vector<std::string> warnings;
};

// Each file once, in the order first named.
std::vector<std::string> onceEach(const std::vector<std::string>& files) {
  std::vector<std::string> once;
  for (const std::string& file : files) {
    if (std::find(once.begin(), once.end(), file) == once.end()) once.push_back(file);
  }
  return once;
}

// One quantity's files and the constant that may stand in for them outside.
struct ConstantOptions {
  const char* quantity;  // "wind", "current"
  const std::vector<std::string>& files;
  const char* fileOption;
  const char* first;
  const std::string& firstText;
  const char* second;
  const std::string& secondText;
};

}  // namespace

ForcingReport checkForcingOptions(const ForcingTexts& t, const CLI::App& sub, bool hasClass) {
  ForcingReport f;
  f.windFiles = onceEach(t.windFiles);
  f.currentFiles = onceEach(t.currentFiles);
  f.byHand = !hasClass;
  if (given(&sub, "--outside")) {
    if (t.outside != "refuse" && t.outside != "constant") {
      refuse("--outside", t.outside, "expected refuse or constant");
    }
    f.outsideConstant = t.outside == "constant";
  }
  // A constant beside its files is taken only outside them; given otherwise, it would be lost.
  for (const ConstantOptions& c :
       {ConstantOptions{"wind", f.windFiles, "--wind-file", "--wind-from", t.windFrom,
                        "--wind-speed", t.windSpeed},
        ConstantOptions{"current", f.currentFiles, "--current-file", "--current-set", t.currentSet,
                        "--current-drift", t.currentDrift}}) {
    if (c.files.empty()) continue;
    const bool first = given(&sub, c.first);
    if ((first || given(&sub, c.second)) && !f.outsideConstant) {
      refuse(first ? c.first : c.second, first ? c.firstText : c.secondText,
             std::string(c.fileOption) + " gives the " + c.quantity +
                 "; a constant is taken only outside the files, with --outside constant");
    }
    if (f.outsideConstant && !(first && given(&sub, c.second))) {
      refuse("--outside", t.outside,
             std::string("outside the ") + c.quantity +
                 " files it takes the constant given on the command line: give " + c.first +
                 " and " + c.second);
    }
  }
  f.hasWindConstant = given(&sub, "--wind-from") && given(&sub, "--wind-speed");
  if (f.hasWindConstant) {
    f.windFrom = checkBounded("--wind-from", t.windFrom, -kMaxCourse, kMaxCourse, "degrees");
    f.windKnots = checkBounded("--wind-speed", t.windSpeed, 0.0, kMaxWindSpeed, "knots");
  }
  f.hasCurrentConstant = given(&sub, "--current-set");
  f.current = driftPart(sub, "--current-set", t.currentSet, "--current-drift", t.currentDrift);
  return f;
}

fields::Forcing forcingOf(const ForcingReport& f) {
  fields::Forcing forcing;
  try {
    forcing = fields::readForcing(f.windFiles, f.currentFiles);
  } catch (const fields::FieldFileError& e) {
    throw UsageError(e.what());
  }
  double u = 0.0, v = 0.0;
  if (f.hasWindConstant) {
    windComponents(f.windFrom, f.windKnots, u, v);
    forcing.setConstantWind(u, v);
  }
  if (f.hasCurrentConstant) {
    currentComponents(f.current, u, v);
    forcing.setConstantCurrent(u, v);
  }
  forcing.setOutsidePolicy(f.outsideConstant ? fields::OutsidePolicy::Constant
                                             : fields::OutsidePolicy::Refuse);
  return forcing;
}

std::string outsideRefusal(const std::string& what, const fields::Forcing& forcing,
                           fields::Quantity quantity, double lat, double lon, double time,
                           const char* taker) {
  return what + ": " + forcing.outsideText(quantity, lat, lon, time) +
         "; with --outside constant the " + taker + " takes " +
         (quantity == fields::Quantity::Wind ? "--wind-from and --wind-speed"
                                             : "--current-set and --current-drift") +
         " there";
}

namespace {

// What a drift through forecast files needs beyond the options of the one-vector drift, checked
// before any file is read.
ForcingReport checkForcing(const Options& o, const CLI::App& sub, bool hasClass,
                           ForecastDriftInput& input) {
  if (!given(&sub, "--time")) {
    const bool wind = !o.windFiles.empty();
    refuse(wind ? "--wind-file" : "--current-file",
           wind ? o.windFiles.front() : o.currentFiles.front(),
           "a forecast file needs --time, the time of the last known position (ISO 8601 UTC, "
           "e.g. 2024-01-15T06:00Z)");
  }
  std::string error;
  if (!fields::parseIsoTime(o.time, input.time, error)) refuse("--time", o.time, error);
  if (given(&sub, "--step-minutes")) {
    input.stepMinutes = checkBounded("--step-minutes", o.stepMinutes, kMinDriftStepMinutes,
                                     kMaxDriftStepMinutes, "minutes");
  }
  return checkForcingOptions({o.windFiles, o.currentFiles, o.outside, o.windFrom, o.windSpeed,
                              o.currentSet, o.currentDrift},
                             sub, hasClass);
}

const char* datumName(LeewayPart part, bool byHand) {
  if (byHand) return "the datum";
  return part == LeewayPart::Left ? "datum L" : part == LeewayPart::Right ? "datum R" : "datum DW";
}

// The datums through the forcing, or the refusal that names where and when they left it.
Datums forecastDrift(const Options& o, const fields::Forcing& forcing,
                     const ForecastDriftInput& input, ForcingReport& f) {
  f.drift = forecastDatums(forcing, input);
  const ForecastDatums& r = f.drift;
  const std::string datum = datumName(r.faultDatum, f.byHand);
  const std::string quantity = fields::quantityName(r.faultQuantity);
  switch (r.fault) {
    case DriftFault::None:
      break;
    case DriftFault::Outside: {
      const bool start =
          r.faultTime == input.time && r.faultLat == input.lat && r.faultLon == input.lon;
      throw UsageError(
          outsideRefusal(start ? "the last known position lies outside the " + quantity + " files"
                               : datum + " drifts out of the " + quantity + " files",
                         forcing, r.faultQuantity, r.faultLat, r.faultLon, r.faultTime, "drift"));
    }
    case DriftFault::NoWind:
      throw UsageError(datum + " drifts to where the wind files give no wind: at " +
                       vestrand::positionText(r.faultLat, r.faultLon) + " at " +
                       fields::isoTimeText(r.faultTime) + " every grid value around is missing");
    case DriftFault::PastPole:
      refuse("--hours", o.hours,
             "the drift would pass a pole (latitude " + shortestNumber(r.faultLat) + ")");
    case DriftFault::NotFinite:
    case DriftFault::BadInput:
      refuse("--hours", o.hours, "a drifted datum is not a finite number");
  }
  return r.datums;
}

DriftInputs checkDrift(const Options& o, const CLI::App& sub) {
  const double lat = checkCoordinate("--lat", o.lat, Axis::Latitude);
  const double lon = checkCoordinate("--lon", o.lon, Axis::Longitude);
  const double hours = checkBounded("--hours", o.hours, 0.0, kMaxDriftHours, "hours");
  const DriftVector current =
      driftPart(sub, "--current-set", o.currentSet, "--current-drift", o.currentDrift);
  const bool files = !o.windFiles.empty() || !o.currentFiles.empty();
  // The plan's cloud of particles starts at the time of the last known position too.
  const bool particles =
      sub.get_option_no_throw("--particles") != nullptr && given(&sub, "--particles");
  if (!files) {
    for (const auto& [option, text] : {std::pair<const char*, const std::string&>{"--time", o.time},
                                       {"--step-minutes", o.stepMinutes},
                                       {"--outside", o.outside}}) {
      if (particles && std::string_view(option) == "--time") continue;
      if (given(&sub, option)) {
        refuse(option, text,
               "it serves the forecast files; give --wind-file or --current-file, or leave it out");
      }
    }
  }
  DriftInputs in;
  ForecastDriftInput forecast{lat, lon, 0.0, hours, kDefaultDriftStepMinutes, {}};
  if (given(&sub, "--object")) {
    if (given(&sub, "--leeway-toward") || given(&sub, "--leeway-speed")) {
      refuse("--object", o.object,
             "--leeway-toward and --leeway-speed give the leeway by hand; give either the "
             "class and the wind or the leeway, not both");
    }
    in.objectClass = &checkObject("--object", o.object);
    if (o.windFiles.empty()) in.leeway = checkLeeway(o, sub);
    forecast.object.objectClass = in.objectClass;
  } else {
    forecast.object.leeway =
        driftPart(sub, "--leeway-toward", o.leewayToward, "--leeway-speed", o.leewaySpeed);
  }
  if (files) {
    in.forcing = checkForcing(o, sub, in.objectClass != nullptr, forecast);
    in.files = forcingOf(*in.forcing);
    in.datums = forecastDrift(o, *in.files, forecast, *in.forcing);
    in.warnings = forcingWarnings(*in.forcing, in.objectClass);
  } else if (in.objectClass != nullptr) {
    in.datums = leewayDatums(lat, lon, hours, current, in.leeway);
  } else {
    in.datums = manualDatums(lat, lon, hours, current, forecast.object.leeway);
  }
  if (in.objectClass != nullptr && o.windFiles.empty()) {
    if (const std::string w = leewayWarning(*in.objectClass, in.leeway); !w.empty()) {
      in.warnings.insert(in.warnings.begin(), w);
    }
  }
  // Plane sailing has no meaning past a pole, as for drift.
  for (const DriftedDatum* d : {&in.datums.downwind, &in.datums.left, &in.datums.right}) {
    if (!std::isfinite(d->lat) || !std::isfinite(d->lon)) {
      refuse("--hours", o.hours, "a drifted datum is not a finite number");
    }
    if (std::fabs(d->lat) > 90.0) {
      refuse("--hours", o.hours,
             "the drift would pass a pole (latitude " + shortestNumber(d->lat) + ")");
    }
  }
  return in;
}

// A position error: nautical miles, or the name of the fix it came from.
double checkError(const std::string& option, const std::string& text) {
  if (const FixError* fix = findFixError(text)) return fix->error;
  double value = 0.0;
  std::string error;
  if (!parseNumber(text, value, error)) {
    std::string fixes;
    for (const FixError& f : fixErrors())
      fixes += (fixes.empty() ? "" : ", ") + std::string(f.name);
    refuse(option, text, "neither a number of nautical miles nor a fix (" + fixes + ")");
  }
  if (!(value >= 0.0)) refuse(option, text, "a position error must not be negative");
  if (value > kMaxDistance)
    refuse(option, text, "a position error must be at most 500 nautical miles");
  return value;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::string joined(const std::vector<std::string>& parts, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to; ++i) text += (i > from ? ":" : "") + parts[i];
  return text;
}

double unitNumber(const std::string& unit, const std::string& text, const char* what, double high,
                  const char* measure) {
  double value = 0.0;
  std::string error;
  if (!parseNumber(text, value, error)) {
    refuse("--unit", unit,
           std::string("the ") + what + " '" + text + "': " + error + "; expected " + kUnitForm);
  }
  if (!(value > 0.0 && value <= high)) {
    refuse("--unit", unit,
           std::string("the ") + what + " '" + text + "' must be greater than 0 and at most " +
               shortestNumber(high) + " " + measure);
  }
  return value;
}

// NAME:SPEED:HOURS:SWEEPWIDTH[:LAT:LON:TRANSITSPEED]. The position's own forms may hold colons
// (43:30N), so the fields between the sweep width and the transit speed are split where both
// halves read as a latitude and a longitude.
SearchUnit checkUnit(const std::string& text) {
  const std::vector<std::string> f = split(text, ':');
  if (f.size() != 4 && f.size() < 7) {
    refuse("--unit", text, std::string("expected ") + kUnitForm);
  }
  SearchUnit u;
  u.name = f[0];
  bool nameFits = !u.name.empty() && u.name.size() <= kMaxUnitName;
  for (const char c : u.name) {
    nameFits = nameFits && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '_');
  }
  if (!nameFits) {
    refuse("--unit", text, "a unit's name must be 1 to 20 letters, digits, '-' or '_'");
  }
  u.speed = unitNumber(text, f[1], "speed", kMaxUnitSpeed, "knots");
  u.hours = unitNumber(text, f[2], "time on scene", kMaxTimeOnScene, "hours");
  u.sweepWidth = unitNumber(text, f[3], "sweep width", kMaxSweepWidth, "nautical miles");
  if (f.size() == 4) return u;
  UnitStart start;
  int readings = 0;
  std::string why = "no split of '" + joined(f, 4, f.size() - 1) + "' reads as LAT:LON";
  for (std::size_t cut = 5; cut < f.size() - 1; ++cut) {
    double lat = 0.0;
    double lon = 0.0;
    std::string error;
    if (parseCoordinate(joined(f, 4, cut), Axis::Latitude, lat, error) &&
        parseCoordinate(joined(f, cut, f.size() - 1), Axis::Longitude, lon, error)) {
      start.at = {lat, lon};
      ++readings;
    } else if (f.size() == 7) {
      why = "the start position: " + error;
    }
  }
  if (readings != 1) {
    refuse("--unit", text, readings == 0 ? why : "the start position reads more than one way");
  }
  start.transitSpeed = unitNumber(text, f.back(), "transit speed", kMaxUnitSpeed, "knots");
  u.start = start;
  return u;
}

std::vector<SearchUnit> checkUnits(const std::vector<std::string>& texts) {
  if (texts.size() > kMaxSearchUnits) {
    refuse("--unit", texts[kMaxSearchUnits],
           "a plan takes at most " + std::to_string(kMaxSearchUnits) + " units; " +
               std::to_string(texts.size()) + " were given");
  }
  std::vector<SearchUnit> units;
  for (const std::string& text : texts) {
    units.push_back(checkUnit(text));
    for (std::size_t i = 0; i + 1 < units.size(); ++i) {
      // Unit names name RTZ files, which a folder that ignores case would mix up.
      const std::string& a = units[i].name;
      const std::string& b = units.back().name;
      bool same = a.size() == b.size();
      for (std::size_t k = 0; same && k < a.size(); ++k) {
        same = (a[k] | 0x20) == (b[k] | 0x20);
      }
      if (same) refuse("--unit", text, "the name '" + b + "' is given twice");
    }
  }
  return units;
}

SearchConditions checkConditions(const Options& o, const CLI::App& sub) {
  if (!given(&sub, "--conditions") || o.conditions == "normal") return SearchConditions::Normal;
  if (o.conditions == "ideal") return SearchConditions::Ideal;
  refuse("--conditions", o.conditions, "expected ideal or normal");
}

// The leg table of every unit, each at its own speed, numbered in the units' order.
std::string legTable(const SearchPlan& plan, const std::vector<SearchUnit>& units, bool json) {
  std::string out = json ? "" : legTableHeading(false);
  PatternParams separateUnits;
  separateUnits.kind = PatternKind::ParallelSweep;
  for (std::size_t i = 0; i < plan.units.size(); ++i) {
    LegTableSink sink(separateUnits, units[i].speed, [&](const LegRow& r) {
      LegRow numbered = r;
      numbered.unit = static_cast<int>(i) + 1;
      if (json) {
        out += (out.empty() ? "" : ",") + legRowJson(numbered, false, {});
      } else {
        out += legRowText(numbered, false, {});
      }
    });
    sink.startRoute("");
    for (const LatLon& p : plan.units[i].route) sink.routePoint(p.lat, p.lon, "");
    sink.endRoute();
  }
  return out;
}

}  // namespace

void addSearchSubcommands(CLI::App& app, Options& o, Subcommands& s) {
  const char* const objectHelp =
      "object class: its number or key ('vestrand-cli objects' lists them; keys in any case)";
  const char* const windFromHelp = "direction the wind blows from, degrees true, -360 to 360";
  const char* const windSpeedHelp = "wind speed 10 m above the sea, knots, 0 to 100";

  s.objects = app.add_subcommand("objects", "the leeway classes of search objects");
  s.objects->add_flag("--json", o.json, "print one JSON array on one line");

  s.leeway = app.add_subcommand("leeway", "leeway of an object class for a wind, both sides");
  s.leeway->add_option("--object", o.object, objectHelp)->required()->type_name("ID|KEY");
  s.leeway->add_option("--wind-from", o.windFrom, windFromHelp)->required()->type_name("DEG");
  s.leeway->add_option("--wind-speed", o.windSpeed, windSpeedHelp)->required()->type_name("KN");
  s.leeway->add_flag("--json", o.json, "print one JSON object on one line");

  s.plan = app.add_subcommand(
      "plan", "search plan: area, spacing and a parallel sweep per unit; write a GPX file");
  s.plan->add_option("--lat", o.lat, "last known latitude (as for the patterns)")
      ->required()
      ->type_name("LAT");
  s.plan->add_option("--lon", o.lon, "last known longitude (as for the patterns)")
      ->required()
      ->type_name("LON");
  s.plan
      ->add_option("--hours", o.hours,
                   "hours from the last known position to the datum time, 0 to 240")
      ->required()
      ->type_name("H");
  s.plan
      ->add_option("--current-set", o.currentSet,
                   "direction the current flows toward, degrees true, -360 to 360")
      ->type_name("DEG");
  s.plan->add_option("--current-drift", o.currentDrift, "speed of the current, knots, 0 to 20")
      ->type_name("KN");
  s.plan
      ->add_option("--leeway-toward", o.leewayToward,
                   "leeway by hand: direction the wind pushes the object toward, degrees true")
      ->type_name("DEG");
  s.plan->add_option("--leeway-speed", o.leewaySpeed, "leeway by hand: speed, knots, 0 to 20")
      ->type_name("KN");

  for (CLI::App* sub : {s.drift, s.plan}) {
    CLI::Option* object = sub->add_option("--object", o.object,
                                          std::string(objectHelp) +
                                              "; gives the left, right and downwind datums "
                                              "(instead of --leeway-toward/--leeway-speed)")
                              ->type_name("ID|KEY");
    sub->add_option("--wind-from", o.windFrom, windFromHelp)->type_name("DEG")->needs(object);
    sub->add_option("--wind-speed", o.windSpeed, windSpeedHelp)->type_name("KN")->needs(object);
    sub->add_option("--wind-file", o.windFiles,
                    "GRIB file of the 10 m wind, instead of --wind-from/--wind-speed; repeat for "
                    "more files (steps, areas); needs --object and --time")
        ->needs(object)
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->type_name("FILE");
    sub->add_option("--current-file", o.currentFiles,
                    "NetCDF (or GRIB) file of the surface current, instead of "
                    "--current-set/--current-drift; repeat for more files; needs --time")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->type_name("FILE");
    sub->add_option("--time", o.time,
                    "time of the last known position for the forecast files, ISO 8601 UTC "
                    "(2024-01-15T06:00Z)")
        ->type_name("TIME");
    sub->add_option("--step-minutes", o.stepMinutes,
                    "step of the drift through the forecast files, minutes, 1 to 60 (default 10)")
        ->type_name("MIN");
    sub->add_option("--outside", o.outside,
                    "outside the forecast files' extent or times: refuse (default), or constant: "
                    "take --wind-from/--wind-speed and --current-set/--current-drift there")
        ->type_name("refuse|constant");
  }

  s.plan
      ->add_option("--x-error", o.xError,
                   "initial position error of the object: nautical miles, or the fix it came "
                   "from: gnss 0.1, radar 1, visual 1, celestial 2, beacon 4")
      ->required()
      ->type_name("X|FIX");
  s.plan
      ->add_option("--y-error", o.yError,
                   "navigation error of the search units, as --x-error (default gnss)")
      ->type_name("Y|FIX");
  s.plan
      ->add_option("--unit", o.units,
                   "a search unit: name (1 to 20 letters, digits, '-', '_'), search speed kn (up "
                   "to 300), time on scene h (up to 240), sweep width NM (up to 100), and "
                   "optionally its start position and transit speed kn (up to 300); repeat "
                   "for each unit, up to 8")
      ->required()
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->type_name(kUnitForm);
  s.plan
      ->add_option("--conditions", o.conditions,
                   "search conditions for the probability of detection: normal (default, "
                   "1 - e^-C) or ideal (erf(sqrt(pi)/2 C))")
      ->type_name("ideal|normal");
  addDestination(s.plan, o);
  addFormats(s.plan, o, true);
  s.plan->add_option("--svg", o.svg, "also write the plan's picture as an SVG file at this path")
      ->type_name("FILE");
  s.plan->add_flag("--no-gpx", o.noGpx, "write no GPX file: only print or draw the plan");
  s.plan->add_flag("--summary", o.summary, "also print the plan's figures and each unit's route");
  s.plan->add_flag("--legs", o.legs, "also print the leg table of every unit at its speed");
  s.plan->add_flag("--json", o.json, "print the plan as one JSON object on one line");
  addPlanParticles(s.plan, o.simulate);
  addLandOption(s.plan, o);
}

int runObjects(const Options& o) {
  return printResult(o.json ? objectsJson() : objectsText());
}

int runLeeway(const Options& o, const CLI::App& sub) {
  const Leeway leeway = checkLeeway(o, sub);
  const LeewayClass& c = checkObject("--object", o.object);
  if (const std::string warning = leewayWarning(c, leeway); !warning.empty()) {
    printWarnings({warning});
  }
  return printResult(o.json ? leewayJson(c, leeway) : leewayText(c, leeway));
}

// A warning for each datum whose straight drift from the last known position meets land.
std::vector<std::string> datumsOverLand(const Options& o, const CLI::App& sub, const Datums& d,
                                        bool byHand) {
  std::vector<std::string> warnings;
  const double lat = d.lastKnownLat, lon = d.lastKnownLon;
  const LandChoice choice =
      chooseLand(o, sub, land::detailForExtent(std::max(d.downwind.distance, d.divergence)), false);
  if (!choice.mask) return warnings;
  const std::pair<LeewayPart, const DriftedDatum*> datums[] = {{LeewayPart::Left, &d.left},
                                                               {LeewayPart::Right, &d.right},
                                                               {LeewayPart::Downwind, &d.downwind}};
  for (const auto& [part, datum] : datums) {
    if (byHand && part != LeewayPart::Downwind) continue;
    const land::WayOverLand way =
        choice.mask->wayOverLand({lat, lon}, {datum->lat, datum->lon}, true);
    if (!way.crossesLand()) continue;
    const land::LandStretch& first = way.stretches.front();
    warnings.push_back(std::string(datumName(part, byHand)) + ": the drift reaches land at " +
                       vestrand::positionText(first.start.lat, first.start.lon) + " after " +
                       fixedText(first.from * way.lengthNm, 2) + " NM" +
                       (way.endsOnLand() ? "; the datum lies on land" : "") + " (GSHHG " +
                       land::resolutionName(choice.mask->resolution()) + ")");
  }
  return warnings;
}

int runSearchDrift(const Options& o, const CLI::App& sub) {
  const DriftInputs in = checkDrift(o, sub);
  printWarnings(in.warnings);
  printWarnings(datumsOverLand(o, sub, in.datums, in.objectClass == nullptr));
  const ForcingReport* forcing = in.forcing ? &*in.forcing : nullptr;
  if (in.objectClass == nullptr) {
    // A leeway by hand through current files: drift's own keys and rows, and the files'.
    std::string json = driftJson(in.datums.downwind);
    json.insert(json.size() - 2, forcingJson(*forcing));
    return printResult(o.json ? json
                              : forcingText(*forcing) +
                                    driftText(in.datums.downwind, forcingMethod(*forcing)));
  }
  return printResult(o.json ? objectDriftJson(in.datums, forcing)
                            : objectDriftText(*in.objectClass, in.leeway, in.datums, forcing));
}

int runPlan(const Options& o, const CLI::App& sub) {
  const DriftInputs drift = checkDrift(o, sub);
  SearchPlanInput input;
  input.datums = drift.datums;
  input.x = checkError("--x-error", o.xError);
  input.y =
      given(&sub, "--y-error") ? checkError("--y-error", o.yError) : findFixError("gnss")->error;
  input.conditions = checkConditions(o, sub);
  input.units = checkUnits(o.units);
  const bool svg = given(&sub, "--svg");
  if (svg) checkPath("--svg", o.svg, "a file");
  PatternFiles files = outputFiles(o, sub, true);
  if (o.noGpx && files.gpx && given(&sub, "--format")) {
    throw UsageError("--no-gpx refused: --format " + o.format + " asks for the GPX file");
  }
  if (o.noGpx) files.gpx = false;
  if (o.noGpx && !files.rtz && !o.summary && !o.json && !svg && !o.legs) {
    throw UsageError(
        "--no-gpx refused: without --summary, --json, --svg or --legs there would be nothing to "
        "do");
  }

  SearchPlan plan;
  // The area without land says which shorelines fit its extent; the plan is then made again with
  // them.
  LandChoice land;
  PlanFault fault = planSearch(input, plan);
  if (fault == PlanFault::None) {
    land = chooseLand(
        o, sub, land::detailForExtent(std::max(plan.optimumArea.length, plan.area.length)), false);
    if (land.mask) {
      input.land = land.mask.get();
      fault = planSearch(input, plan);
    }
  }
  switch (fault) {
    case PlanFault::None:
      break;
    case PlanFault::OnLand:
      refuse("--lat", o.lat,
             "the object's distribution or the search area lies wholly on land (" +
                 landDataText(*land.mask) + ")");
    case PlanFault::NoError:
      refuse("--x-error", o.xError,
             "with X, Y and the drift all 0 the position is certain and there is no area to "
             "search");
    case PlanFault::PastPole:
      refuse("--lat", o.lat,
             "the plan's area would reach beyond a pole; plane sailing has no meaning there");
    case PlanFault::NotFinite:
    case PlanFault::NoUnits:
    case PlanFault::NoEffort:
      refuse("--lat", o.lat, "the plan's positions are not finite numbers");
  }

  // Over a simulated cloud instead, when asked; both plans' POS are reported.
  const double normalPos = plan.planned.pos;
  const bool particles =
      planOverParticles(o, sub, input, drift.files ? &*drift.files : nullptr, plan);

  const Destination d = destination(o, sub);
  const RouteSource source{searchPlanFileName(d.stem),
                           [&plan, &d](PatternSink& sink) { sailSearchPlan(plan, d.stem, sink); },
                           {}};
  std::vector<std::string> paths;
  std::string refusal;
  if (!routeFilePaths(source, d.dir, files, paths, refusal)) {
    const bool split = given(&sub, "--max-points");
    throw UsageError((split ? "--max-points '" + o.maxPoints + "' refused: " : "") + refusal);
  }
  for (const std::string& path : paths) {
    if (svg && sameFile(path, o.svg)) {
      throw UsageError("--svg '" + o.svg + "' refused: it names the file '" + path +
                       "' that the plan is written to");
    }
  }

  // Every file of the run is complete before any is put in place.
  FileBatch batch;
  std::string error;
  std::vector<std::string> warnings;
  if (!addRouteFiles(batch, source, d.dir, files, error, &warnings)) throw WriteFailure{error};
  if (svg) {
    SafeFile* picture = batch.create(o.svg);
    PlanFigure figure = searchPlanFigure(plan, d.stem, kSvgPictureSize);
    if (land.mask) addLandLayer(figure, {plan.area.centre.lat, plan.area.centre.lon}, *land.mask);
    if (picture == nullptr || !renderPlanSvg(figure, *picture)) {
      throw WriteFailure{picture == nullptr ? batch.error() : picture->error()};
    }
  }
  if (!batch.commit()) throw WriteFailure{batch.error()};
  const std::vector<std::string> planned = planWarnings(plan, d.stem, files.maxPoints);
  warnings.insert(warnings.begin(), planned.begin(), planned.end());
  warnings.insert(warnings.begin(), drift.warnings.begin(), drift.warnings.end());
  printWarnings(warnings);

  if (o.json) {
    PlanPaths written;
    if (files.gpx) written.gpx = paths.front();
    written.rtzWritten = files.rtz;
    written.rtz.assign(paths.begin() + (files.gpx ? 1 : 0), paths.end());
    if (svg) written.svg = o.svg;
    std::string json = planJson(plan, written, o.legs ? legTable(plan, input.units, true) : "");
    json.insert(json.rfind('}'), landJsonMembers(land));
    if (drift.forcing) json.insert(json.size() - 2, forcingJson(*drift.forcing));
    if (particles) json.insert(json.rfind('}'), particlePlanJson(plan, normalPos));
    return printResult(json);
  }
  std::string text;
  for (const std::string& path : paths) text += path + "\n";
  if (svg) text += o.svg + "\n";
  if (o.summary && drift.forcing) text += forcingText(*drift.forcing);
  if (o.summary) text += planText(plan);
  if (o.summary && particles) text += particlePlanText(plan, normalPos);
  if (o.summary) text += landSummaryText(land);
  if (o.legs) text += legTable(plan, input.units, false);
  return printResult(text);
}

}  // namespace vestrand::cli
