// vestrand-cli: the search patterns and the sailing computations from a terminal or a script.
//
// It adds no pattern logic of its own: it reads and checks the options, calls the libraries and
// reports. Exit status 0 on success, 1 when a file cannot be written, 2 for bad input.
#include <safe_file.h>

#include <CLI/CLI.hpp>
#include <exception>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "options.h"
#include "simulate_command.h"

using namespace vestrand::cli;

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
  const Subcommands sub = addSubcommands(app, o);

  if (const std::string problem = checkCommandLine(argc, argv, sub); !problem.empty()) {
    printMessage(problem);
    return kExitUsage;
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
    printMessage(parseErrorText(e, argc > 1 && argv[1][0] != '-' ? argv[1] : "", sub));
    return kExitUsage;
  }

  try {
    for (const auto& [kind, pattern] : sub.patterns) {
      if (pattern->parsed()) return runPattern(kind, o, *pattern);
    }
    if (sub.line->parsed()) return runLine(o, *sub.line);
    if (sub.course->parsed()) return runCourse(o);
    if (sub.arrive->parsed()) return runArrive(o, *sub.arrive);
    if (sub.drift->parsed()) return runDrift(o, *sub.drift);
    if (sub.coverage->parsed()) return runCoverage(o, *sub.coverage);
    if (sub.position->parsed()) return runPosition(o);
    if (sub.nmea->parsed()) return runNmea(o, *sub.nmea);
    if (sub.trackline->parsed()) return runTrackline(o, *sub.trackline);
    if (sub.fields->parsed()) return runFields(o);
    if (sub.objects->parsed()) return runObjects(o);
    if (sub.leeway->parsed()) return runLeeway(o, *sub.leeway);
    if (sub.plan->parsed()) return runPlan(o, *sub.plan);
    if (sub.simulate->parsed()) return runSimulate(o.simulate, *sub.simulate);
    if (sub.land->parsed()) return runLand(o, *sub.land);
    printMessage("no subcommand was chosen");
    return kExitUsage;
  } catch (const UsageError& e) {
    printMessage(e.what());
    return kExitUsage;
  } catch (const WriteFailure& e) {
    printMessage(e.message);
    return kExitWriteFailure;
  } catch (const std::exception& e) {
    printMessage(e.what());
    return kExitWriteFailure;
  }
}
