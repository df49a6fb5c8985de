// trackline: the search of an overdue vessel's intended route, return (TSR) or non-return (TSN).
#include <position_text.h>
#include <trackline.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"

namespace vestrand::cli {
namespace {

// "LAT,LON" with the comma between the coordinates, each in any form of a coordinate; or a whole
// position in any form the position reader takes.
TrackPoint checkRoutePoint(const std::string& text) {
  const std::string option = "--route";
  TrackPoint point;
  std::string error;
  if (std::count(text.begin(), text.end(), ',') == 1) {
    const std::size_t comma = text.find(',');
    if (parseCoordinate(std::string_view(text).substr(0, comma), Axis::Latitude, point.lat,
                        error) &&
        parseCoordinate(std::string_view(text).substr(comma + 1), Axis::Longitude, point.lon,
                        error)) {
      return point;
    }
    error.clear();
  }
  if (!parsePosition(text, point.lat, point.lon, error)) {
    throw UsageError(option + " '" + text + "' refused: " + error);
  }
  return point;
}

}  // namespace

int runTrackline(const Options& o, const CLI::App& sub) {
  std::vector<TrackPoint> route;
  for (const std::string& text : o.trackRoute) route.push_back(checkRoutePoint(text));
  if (route.size() < 2) {
    throw UsageError(
        "trackline needs the route's points, at least two: --route LAT,LON --route "
        "LAT,LON ...");
  }
  const double spacing = checkDistance("--spacing", o.spacing);
  int units = 1;
  if (given(&sub, "--units")) {
    const double value = checkBounded("--units", o.trackUnits, 1.0, kMaxTracklineUnits, "units");
    if (value != std::trunc(value)) {
      throw UsageError("--units '" + o.trackUnits + "' refused: not a whole number");
    }
    units = static_cast<int>(value);
  }
  if (const std::string fault = tracklineFault(route, spacing, o.trackReturn, units);
      !fault.empty()) {
    throw UsageError("--route refused: " + fault);
  }
  return runPlannedPattern(tracklineParams(route, spacing, o.trackReturn, units), o, sub);
}

CLI::App* addTracklineSubcommand(CLI::App& app, Options& o) {
  CLI::App* sub = app.add_subcommand(
      "trackline", "trackline search of a vessel's intended route: write a GPX file");
  sub->add_option("--route", o.trackRoute,
                  "a point of the intended route, in order, at least two: LAT,LON (43.5,-3.75 or "
                  "43:30N,003:45W; one starting with '-' as --route=-33.9,151.2), or any "
                  "position form of the position subcommand; legs are rhumb lines")
      ->required()
      ->allow_extra_args(false)
      ->type_name("LAT,LON");
  sub->add_option("--spacing", o.spacing,
                  "track spacing S, nautical miles, above 0 and at most 500")
      ->required()
      ->type_name("S");
  sub->add_flag("--return", o.trackReturn,
                "return search (TSR): out on one side of the route, S/2 off, and back on the "
                "other; without it non-return (TSN), each unit sailing its track once");
  sub->add_option("--units", o.trackUnits,
                  "search units, 1 (default) to 20, on tracks S apart centred on the route")
      ->type_name("N");
  sub->add_option("--first-turn", o.firstTurn,
                  "starboard (default) or port: port mirrors the search about the route (a "
                  "return search then goes out on the starboard side)")
      ->type_name("SIDE");
  addPatternOutputOptions(sub, o, true);
  return sub;
}

}  // namespace vestrand::cli
