// nmea: a GPX file's routes sent to a chart plotter as NMEA 0183 WPL and RTE sentences.
#include <gpx_reader.h>
#include <nmea.h>
#include <nmea_link.h>

#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "console.h"

namespace vestrand::cli {
namespace {

constexpr int kMaxPauseMs = 10000;

int checkWhole(const std::string& option, const std::string& text, double low, double high,
               const char* unit) {
  const double value = checkBounded(option, text, low, high, unit);
  if (value != std::trunc(value)) {
    throw UsageError(option + " '" + text + "' refused: not a whole number");
  }
  return static_cast<int>(value);
}

// The routes to send, numbered as in the whole file so that a route sent alone keeps its names.
std::vector<NmeaRoute> chooseRoutes(const GpxDocument& doc, const std::string& path,
                                    const Options& o, const CLI::App& sub,
                                    std::size_t& lastNumber) {
  std::vector<NmeaRoute> routes;
  std::size_t next = 1;
  std::string names;
  for (const GpxRoute& route : doc.routes) {
    names += (names.empty() ? "'" : ", '") + route.name + "'";
    if (!given(&sub, "--route") || route.name == o.route) {
      NmeaRoute chosen{route.name, {}, next};
      for (const GpxPoint& p : route.points) chosen.points.push_back({p.lat, p.lon});
      routes.push_back(std::move(chosen));
    }
    next += route.points.size();
  }
  lastNumber = next - 1;
  if (doc.routes.empty()) {
    throw UsageError("'" + path + "' holds no route" +
                     (doc.tracks.empty() ? std::string()
                                         : " (only tracks, which plotters keep "
                                           "apart from routes)"));
  }
  if (routes.empty()) {
    throw UsageError("--route '" + o.route + "' refused: '" + path + "' holds the routes " + names);
  }
  return routes;
}

}  // namespace

int runNmea(const Options& o, const CLI::App& sub) {
  const std::string& path = checkPath("FILE", o.nmeaFile, "a GPX file");
  const std::string talker = given(&sub, "--talker") ? o.talker : "GP";
  if (!validNmeaTalker(talker)) {
    throw UsageError("--talker '" + talker + "' refused: a talker is two capital letters (GP)");
  }
  NmeaTarget target;
  std::string error;
  const std::string to = given(&sub, "--to") ? o.to : "-";
  if (!parseNmeaTarget(to, target, error)) throw UsageError("--to '" + to + "' refused: " + error);
  NmeaSendOptions send;
  if (given(&sub, "--baud")) {
    if (target.kind != NmeaTarget::Kind::Serial) {
      throw UsageError("--baud refused: --to '" + to + "' is no serial port");
    }
    send.baud = checkWhole("--baud", o.baud, 1200, 115200, "baud");
    if (!validNmeaBaud(send.baud)) {
      throw UsageError("--baud '" + o.baud +
                       "' refused: expected 1200, 2400, 4800, 9600, 19200, 38400, 57600 or "
                       "115200");
    }
  }
  if (given(&sub, "--pause-ms")) {
    send.pauseMs = checkWhole("--pause-ms", o.pauseMs, 0, kMaxPauseMs, "milliseconds");
  }

  GpxDocument doc;
  if (!readGpxFile(path, doc, error)) throw UsageError(error);
  std::size_t lastNumber = 0;
  const std::vector<NmeaRoute> routes = chooseRoutes(doc, path, o, sub, lastNumber);
  NmeaUpload upload;
  if (!makeNmeaUpload(routes, talker, lastNumber, upload, error)) {
    throw UsageError("'" + path + "' cannot be sent: " + error);
  }
  if (target.kind == NmeaTarget::Kind::StandardOutput) std::cout.flush();
  if (!sendNmeaSentences(upload.sentences, target, send, error)) throw WriteFailure{error};
  if (target.kind == NmeaTarget::Kind::StandardOutput) return 0;
  // Where the sentences did not go to standard output, it says what was sent.
  std::string text;
  std::size_t first = 0;
  for (const NmeaRoute& route : routes) {
    const std::size_t last = first + route.points.size() - 1;
    text += "sent      " + route.name + ": " + std::to_string(route.points.size()) + " waypoints " +
            upload.names[first] + " to " + upload.names[last] + "\n";
    first = last + 1;
  }
  text += "to        " + nmeaTargetText(target, send.baud) + ", " +
          std::to_string(upload.sentences.size()) + " sentences\n";
  return printResult(text);
}

CLI::App* addNmeaSubcommand(CLI::App& app, Options& o) {
  CLI::App* sub = app.add_subcommand(
      "nmea", "send a GPX file's routes to a plotter as NMEA 0183 WPL and RTE sentences");
  sub->add_option("file", o.nmeaFile, "the GPX file")->required()->type_name("FILE.gpx");
  sub->add_option("--route", o.route,
                  "the route to send, by its name in the file (default: every route)")
      ->type_name("NAME");
  sub->add_option("--talker", o.talker, "talker of the sentences, two capital letters (default GP)")
      ->type_name("XX");
  sub->add_option("--to", o.to,
                  "- (standard output, the default), a serial device (/dev/ttyUSB0), "
                  "udp:HOST:PORT or tcp:HOST:PORT")
      ->type_name("TARGET");
  sub->add_option("--baud", o.baud,
                  "serial port speed: 1200 to 115200 in the standard steps (default 4800), 8N1")
      ->type_name("N");
  sub->add_option("--pause-ms", o.pauseMs,
                  "pause between sentences, milliseconds, 0 to 10000 (default 100)")
      ->type_name("MS");
  return sub;
}

}  // namespace vestrand::cli
