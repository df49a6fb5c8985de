// The subcommands of vestrand-cli and their options, as CLI11 reads them. Every value is kept as
// the text given; the commands check it (arguments.h) so that each refusal names the option.
#pragma once

#include <vestrand.gpx.h>

#include <CLI/CLI.hpp>
#include <string>
#include <utility>
#include <vector>

#include "simulate_options.h"

namespace vestrand::cli {

// Everything the subcommands read; only the options of the chosen subcommand are filled in.
struct Options {
  std::string lat, lon, lat2, lon2;
  std::string course, spacing, leg, count, loops;
  std::string distance, speed, hours;
  std::string speedAlias;  // a pattern's --speed, the old spelling of --search-speed
  std::string stem, dir, method;
  std::string svg;
  std::string position;           // the text of the position subcommand
  std::string format, maxPoints;  // --format gpx|rtz|both, --max-points N
  bool json = false;
  bool summary = false;
  bool noGpx = false;
  // Search aids: the drifted datum, coverage, the sector's second pass and the leg table.
  std::string currentSet, currentDrift, leewayToward, leewaySpeed;
  std::string sweepWidth, coverage, passes, start;
  bool legs = false;
  // nmea: the GPX file, the route chosen and where the sentences go.
  std::string nmeaFile, route, talker, to, baud, pauseMs;
  // The first turn and the drift a pattern is laid in; the trackline's route, units and form.
  std::string firstTurn, driftSet, driftSpeed, trackUnits;
  std::vector<std::string> trackRoute;
  bool trackReturn = false;
  // fields: the forecast files, and --at LAT LON TIME.
  std::vector<std::string> files, at;
  // Search planning: the object class and the wind, the position errors, the units.
  std::string object, windFrom, windSpeed, xError, yError, conditions;
  std::vector<std::string> units;
  // drift and plan through forecast files: the files, the time of the last known position, the
  // step and what to do outside the files.
  std::vector<std::string> windFiles, currentFiles;
  std::string time, stepMinutes, outside;
  SimulateOptions simulate;
  std::string land;  // --land: a GSHHG resolution, or none
};

struct Subcommands {
  // One per search pattern, in the pattern table's order (vestrand.gpx.h).
  std::vector<std::pair<PatternKind, CLI::App*>> patterns;
  CLI::App* line;
  CLI::App* course;
  CLI::App* arrive;
  CLI::App* drift;
  CLI::App* coverage;
  CLI::App* position;
  CLI::App* fields;
  CLI::App* objects;
  CLI::App* leeway;
  CLI::App* plan;
  CLI::App* nmea;
  CLI::App* trackline;
  CLI::App* simulate;
  CLI::App* land;

  std::vector<CLI::App*> all() const {
    std::vector<CLI::App*> subs;
    for (const auto& pattern : patterns) subs.push_back(pattern.second);
    for (CLI::App* sub : {line, course, arrive, drift, coverage, position, fields, objects, leeway,
                          plan, nmea, trackline, simulate, land}) {
      subs.push_back(sub);
    }
    return subs;
  }
};

// The option of each value a search pattern takes: the subcommands offer it and the command
// reads it from `value`.
struct PatternOption {
  const char* name;  // "--spacing"
  const char* help;
  const char* type;
  std::string Options::*value;
  bool required;
};
const PatternOption& patternOption(PatternParam param);

// Declares the subcommands and their options on `app`, filling `o` when parsed.
Subcommands addSubcommands(CLI::App& app, Options& o);

// Declares the fields subcommand (fields_command.cpp).
CLI::App* addFieldsSubcommand(CLI::App& app, Options& o);

// The search planning subcommands (objects, leeway, plan) and drift's object class and wind;
// called by addSubcommands, defined beside the commands (search_commands.cpp).
void addSearchSubcommands(CLI::App& app, Options& o, Subcommands& s);

// --stem and --dir of the subcommands that write files.
void addDestination(CLI::App* app, Options& o);
// --format, and with `split` --max-points, the plotters' limit of points a route.
void addFormats(CLI::App* app, Options& o, bool split);

// The subcommands and options that live in files of their own (nmea_command.cpp,
// trackline_command.cpp, pattern_motion.cpp).
CLI::App* addNmeaSubcommand(CLI::App& app, Options& o);
CLI::App* addTracklineSubcommand(CLI::App& app, Options& o);
void addTurnAndDriftOptions(CLI::App* sub, Options& o);
// The options every pattern subcommand shares: where the files go, their formats, the plan;
// `tracks` adds the sweep width of patterns with a track spacing.
void addPatternOutputOptions(CLI::App* sub, Options& o, bool tracks);
// Declares simulate and its options (simulate_command.cpp).
CLI::App* addSimulateSubcommand(CLI::App& app, SimulateOptions& o);

// The land subcommand and the --land option of the commands that check land (land_command.cpp).
CLI::App* addLandSubcommand(CLI::App& app, Options& o);
CLI::Option* addLandOption(CLI::App* app, Options& o);
CLI::Option* addLandOption(CLI::App* app, std::string& land);

// True when the option `name` of `sub` was given.
bool given(const CLI::App* sub, const char* name);

// What CLI11 would say unclearly, said plainly before it parses: an unknown subcommand or option,
// or an option whose value is missing because the next word is another option ("--lat --lon 0"
// would take "--lon" as the latitude). @return the message, or the empty text when all is well
std::string checkCommandLine(int argc, char** argv, const Subcommands& subcommands);

// A refusal of CLI11's parser in our own words: a missing option ("sector needs --leg"), one given
// twice, two that exclude each other, a value for a switch, words left over. `subcommand` is the
// one chosen, or empty.
std::string parseErrorText(const CLI::ParseError& error, const std::string& subcommand,
                           const Subcommands& subcommands);

}  // namespace vestrand::cli
