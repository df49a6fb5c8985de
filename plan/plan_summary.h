// The summary of a search plan: what a coordinator reads before sending a pattern to a boat.
//
// The summary is gathered from the pattern's own geometry as sailPattern hands it to a sink,
// leg by leg; nothing is kept per point, so a pattern of a million legs costs no more memory than
// one of seven.
//
// Units: positions in decimal degrees (north and east positive), distances in nautical miles,
// areas in square nautical miles, speeds in knots, times in hours. Texts are UTF-8.
//
// What is counted:
//  - A leg is the run between two consecutive route points of one route; a route of n points has
//    n - 1 legs. The parallel sweep's run-in from the datum to each commence search point is no
//    part of its route and is not counted, neither as a leg nor in the track length.
//  - The track length of a route is the sum of the plane-sailing distances (RumboDistancia)
//    between its consecutive route points.
//  - Each route is one search unit; the units sail at the same time, so the time to complete the
//    search is that of the longest route. A sector of two passes is the exception: one unit sails
//    both routes, one after the other, so its time is that of both.
//  - The area covered is the standard measure of search planning, the one the coverage C = Z / A
//    uses: the track length times the track spacing S; for the sector, which has no spacing, the
//    circle of its leg length, pi R^2.
//  - The box is the smallest rectangle aligned with the search course that holds every route
//    point of every route: its length runs along the course, its width across it. It is measured
//    with the legs' own sailing: each route's first point lies where plane sailing from the datum
//    puts it, and every leg adds its plane-sailing course and distance, so a creeping line of legs
//    L and spacing S has a box of L by its spacings at any latitude. It holds the tracks, not the
//    swept margin of half a track spacing beyond the outer tracks; for the parallel sweep it
//    includes the closing cross legs. It is not the area covered: squares and creeping lines
//    cover more than their box, the parallel sweep less.
#pragma once

#include <array>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "vestrand.gpx.h"

namespace vestrand {

// One route, that is one search unit.
struct RouteSummary {
  std::string name;          // the route's name as the file carries it
  long long points = 0;      // route points
  long long legs = 0;        // points - 1, or 0 for an empty route
  double trackLength = 0.0;  // nautical miles
};

// A named waypoint of the file: the datum or a commence search point.
struct PlanMark {
  std::string name;     // as in the file: "Datum", "CSP", "CSP/Datum", "CSP1", ...
  double lat = 0.0;     // degrees
  double lon = 0.0;     // degrees
  std::string latText;  // "N43º 30.00'" (UTF-8, from DegToLat)
  std::string lonText;  // "W003º 45.00'" (UTF-8, from DegToLon)
};

struct PlanSummary {
  PatternKind kind = PatternKind::Sector;
  double course = 0.0;               // search course, degrees true
  std::vector<RouteSummary> routes;  // in the file's order; the parallel sweep has two
  std::vector<PlanMark> marks;       // in the file's order
  long long legs = 0;                // over all routes
  double trackLength = 0.0;          // over all routes, nautical miles
  double boxLength = 0.0;            // along the course, nautical miles
  double boxWidth = 0.0;             // across the course, nautical miles
  int passes = 1;                    // routes one unit sails in turn (a sector's second pass)
  double spacing = 0.0;              // track spacing S, nautical miles; 0 for the sector
  double radius = 0.0;               // the sector's leg length R, nautical miles; 0 for the others
  // The routes' length over the ground, nautical miles: trackLength, except for a pattern laid in
  // drifting water, whose turning points the water carries (see summarizePattern).
  double groundTrack = 0.0;

  // Length times width of the box, square nautical miles.
  double boxArea() const { return boxLength * boxWidth; }
  // The area covered: track length times S, or pi R^2 for the sector; square nautical miles.
  double coveredArea() const;
  // The longest route's track length, nautical miles: what decides the time to complete.
  double longestTrack() const;
  // The track that decides the time to complete: both passes of one unit, else the longest.
  double trackToComplete() const { return passes > 1 ? trackLength : longestTrack(); }
};

// A PatternSink that gathers the summary while the pattern is sailed.
class PlanSummarySink final : public PatternSink {
 public:
  // @param[in] params the pattern being sailed: its kind, datum and course
  explicit PlanSummarySink(const PatternParams& params);

  void startRoute(const char* name) override;
  void routePoint(double lat, double lon, const char* name) override;
  void endRoute() override;
  void waypoint(double lat, double lon, const char* name) override;

  const PlanSummary& summary() const { return summary_; }

 private:
  PlanSummary summary_;
  double datumLat_;
  double datumLon_;
  double prevLat_ = 0.0;
  double prevLon_ = 0.0;
  double east_ = 0.0;  // the last point's place on the legs' own chart, nautical miles
  double north_ = 0.0;
  double minAlong_, maxAlong_, minAcross_, maxAcross_;
};

// Sails the pattern once and returns its summary. A pattern laid in drifting water is summarised
// as the unit sails it through the water, which decides the time and the area searched around
// the object: legs, track, box and per-unit figures are those of the pattern without the drift,
// under the routes' names of the compensated file, with the file's (compensated) marks and the
// compensated routes' length over the ground as groundTrack.
PlanSummary summarizePattern(const PatternParams& params, const PatternNames& names);

// Hands every call to two sinks, so that one sailing feeds both a summary and a drawing.
class TeeSink final : public PatternSink {
 public:
  TeeSink(PatternSink& first, PatternSink& second) : first_(first), second_(second) {}
  void startRoute(const char* name) override;
  void routePoint(double lat, double lon, const char* name) override;
  void endRoute() override;
  void waypoint(double lat, double lon, const char* name) override;

 private:
  PatternSink& first_;
  PatternSink& second_;
};

// Time to run a track at a speed.
// @param[in] length nautical miles
// @param[in] speed knots
// @return hours; not-a-number when the speed is not a finite number above 0
double hoursAtSpeed(double length, double speed);

// Hours as "h:mm", rounded to the whole minute: 2.25 gives "2:15", 0.999 gives "1:00",
// 123.5 gives "123:30". Not-a-number, infinities and negative hours give "-".
std::string hoursMinutesText(double hours);

// Every word of the summary rows, in English by default: the command line prints these, the window
// fills them from its language table. In the values, %1, %2, ... stand for the numbers and names
// in the order given beside each; a translation may move them.
struct SummaryTexts {
  // Row labels.
  std::string pattern = "pattern";
  std::string legs = "legs";
  std::string track = "track";
  std::string speed = "speed";
  std::string time = "time";
  std::string box = "box";
  std::string covered = "covered";
  std::array<std::string, 2> unitLabels = {"unit 1", "unit 2"};
  std::string otherUnitLabel = "unit %1";  // %1: the unit's number, from 3 (no pattern has one)
  std::string passLabel = "pass %1";       // %1: the pass's number, for one unit's passes
  // Pattern titles by kind; a pattern not listed goes by its name in the pattern table.
  std::map<PatternKind, std::string> patternTitles;
  // Values.
  std::string patternValue = "%1 (%2), %3";  // title, code, the number of units below
  std::string oneUnit = "1 unit";
  std::string units = "%1 units";                // count
  std::string unitPasses = "1 unit, %1 passes";  // count of passes
  std::string length = "%1 NM";                  // nautical miles
  std::string speedValue = "%1 kn";              // knots
  std::string duration = "%1 (%2 h)";            // "h:mm", hours
  std::string boxValue =
      "%1 NM along the course x %2 NM across, %3 NM\xC2\xB2";  // length, width, area
  std::string coveredValue = "%1 NM\xC2\xB2";                  // the area covered
  std::string unitValue = "%1: %2 legs, %3 NM, %4";            // route name, legs, track, duration
  std::string position = "%1  %2";                             // latitude text, longitude text
  std::string noValue = "-";  // a time at a speed that is no number above 0
  // A route longer than plotters keep: %1 the route's name, %2 its points, %3 the limit.
  std::string warning = "warning";
  std::string longRoute =
      "%1 has %2 points, more than the %3 many plotters keep; split it with "
      "--max-points %3";
};

// Many plotters keep at most this many points a route and drop the rest without a word.
inline constexpr long long kPlotterRoutePoints = 250;

// One text (texts.longRoute) for each route of more than kPlotterRoutePoints points, in route
// order: a search whose last legs a plotter drops is never finished.
std::vector<std::string> longRouteWarnings(const PlanSummary& summary,
                                           const SummaryTexts& texts = {});

// One line of the summary: a label and its value, UTF-8.
struct SummaryRow {
  std::string label;
  std::string value;
};

// The summary at a search speed as rows, in this order: pattern, legs, track length, speed, time
// to complete (the longest unit's, or both passes'), box, area covered, one row per unit or pass
// (route name, legs, track, time) and one per named position (the mark's name as the label).
// Lengths and the box to 2 decimals, times as "h:mm" and hours to 2 decimals, the speed as its
// shortest text; then, for routes written whole (maxPoints 0), one warning row per route too long
// for a plotter.
// @param[in] speed knots
// @param[in] maxPoints the points a route is split at; 0 for routes written whole
std::vector<SummaryRow> summaryRows(const PlanSummary& summary, double speed,
                                    const SummaryTexts& texts = {}, int maxPoints = 0);
// The same rows with one warning row for each of `warnings`, the run's own list, in its order.
std::vector<SummaryRow> summaryRows(const PlanSummary& summary, double speed,
                                    const SummaryTexts& texts,
                                    const std::vector<std::string>& warnings);

}  // namespace vestrand
