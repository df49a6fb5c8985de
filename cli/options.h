// The subcommands of vestrand-cli and their options, as CLI11 reads them. Every value is kept as
// the text given; the commands check it (arguments.h) so that each refusal names the option.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace vestrand::cli {

// Everything the subcommands read; only the options of the chosen subcommand are filled in.
struct Options {
  std::string lat, lon, lat2, lon2;
  std::string course, spacing, leg, count, loops;
  std::string distance, speed, hours;
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
  std::string firstTurn, driftSet, driftSpeed, units;
  std::vector<std::string> trackRoute;
  bool trackReturn = false;
};

struct Subcommands {
  CLI::App* square;
  CLI::App* sector;
  CLI::App* creeping;
  CLI::App* parallel;
  CLI::App* line;
  CLI::App* course;
  CLI::App* arrive;
  CLI::App* drift;
  CLI::App* coverage;
  CLI::App* position;
  CLI::App* nmea;
  CLI::App* trackline;

  std::vector<CLI::App*> all() const {
    return {square, sector, creeping, parallel, line, course,
            arrive, drift,  coverage, position, nmea, trackline};
  }
};

// Declares the subcommands and their options on `app`, filling `o` when parsed.
Subcommands addSubcommands(CLI::App& app, Options& o);

// The subcommands and options that live in files of their own (nmea_command.cpp,
// trackline_command.cpp, pattern_motion.cpp).
CLI::App* addNmeaSubcommand(CLI::App& app, Options& o);
CLI::App* addTracklineSubcommand(CLI::App& app, Options& o);
void addTurnAndDriftOptions(CLI::App* sub, Options& o);
// The options every pattern subcommand shares: where the files go, their formats, the plan.
void addPatternOutputOptions(CLI::App* sub, Options& o);

// True when the option `name` of `sub` was given.
bool given(const CLI::App* sub, const char* name);

// What CLI11 would say unclearly, said plainly before it parses: an unknown subcommand, or an
// option whose value is missing because the next word is another option ("--lat --lon 0" would
// take "--lon" as the latitude). @return the message, or the empty text when all is well
std::string checkCommandLine(int argc, char** argv, const Subcommands& subcommands);

}  // namespace vestrand::cli
