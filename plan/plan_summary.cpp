#include "plan_summary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

#include "Derrota.h"
#include "angulos.h"
#include "number_text.h"
#include "position_text.h"

namespace vestrand {

double PlanSummary::longestTrack() const {
  double longest = 0.0;
  for (const RouteSummary& route : routes) longest = std::max(longest, route.trackLength);
  return longest;
}

double PlanSummary::coveredArea() const {
  // The circle's own pi: no angle of the navigation library is converted here.
  if (takes(kind, PatternParam::Radius)) return std::numbers::pi * radius * radius;
  return trackLength * spacing;
}

PlanSummarySink::PlanSummarySink(const PatternParams& params)
    : datumLat_(params.lat),
      datumLon_(params.lon),
      minAlong_(std::numeric_limits<double>::infinity()),
      maxAlong_(-std::numeric_limits<double>::infinity()),
      minAcross_(std::numeric_limits<double>::infinity()),
      maxAcross_(-std::numeric_limits<double>::infinity()) {
  summary_.kind = params.kind;
  summary_.course = params.course;
  if (takes(params.kind, PatternParam::Radius)) {
    summary_.radius = params.leg;
    if (params.passes == 2) summary_.passes = 2;
  } else {
    summary_.spacing = params.spacing;
  }
}

void PlanSummarySink::startRoute(const char* name) {
  RouteSummary route;
  route.name = name;
  summary_.routes.push_back(std::move(route));
}

void PlanSummarySink::routePoint(double lat, double lon, const char*) {
  if (summary_.routes.empty()) startRoute("");
  RouteSummary& route = summary_.routes.back();
  double course = 0.0;
  double distance = 0.0;
  // A status of -1 (points less than 1e-8 miles apart) still gives the small distance.
  if (route.points > 0) {
    RumboDistancia(prevLat_, prevLon_, lat, lon, &course, &distance);
    route.trackLength += distance;
    summary_.trackLength += distance;
    ++route.legs;
    ++summary_.legs;
  } else {
    // A route begins where plane sailing from the datum puts it; its legs then add their own.
    RumboDistancia(datumLat_, datumLon_, lat, lon, &course, &distance);
    east_ = 0.0;
    north_ = 0.0;
  }
  ++route.points;
  prevLat_ = lat;
  prevLon_ = lon;
  east_ += distance * std::sin(course * kPi / 180.0);
  north_ += distance * std::cos(course * kPi / 180.0);

  // The box is aligned with the search course: turn the chart by the course so that its axes run
  // along the course and to its right.
  const double c = summary_.course * kPi / 180.0;
  const double along = east_ * std::sin(c) + north_ * std::cos(c);
  const double across = east_ * std::cos(c) - north_ * std::sin(c);
  minAlong_ = std::min(minAlong_, along);
  maxAlong_ = std::max(maxAlong_, along);
  minAcross_ = std::min(minAcross_, across);
  maxAcross_ = std::max(maxAcross_, across);
  summary_.boxLength = maxAlong_ - minAlong_;
  summary_.boxWidth = maxAcross_ - minAcross_;
}

void PlanSummarySink::endRoute() {}

void PlanSummarySink::waypoint(double lat, double lon, const char* name) {
  PlanMark mark;
  mark.name = name;
  mark.lat = lat;
  mark.lon = lon;
  mark.latText = coordinateText(lat, Axis::Latitude);
  mark.lonText = coordinateText(lon, Axis::Longitude);
  summary_.marks.push_back(std::move(mark));
}

PlanSummary summarizePattern(const PatternParams& params, const PatternNames& names) {
  PlanSummarySink sink(params);
  sailPattern(params, names, sink);
  if (!(params.drift.speed > 0.0)) {
    PlanSummary summary = sink.summary();
    summary.groundTrack = summary.trackLength;
    return summary;
  }
  PatternParams water = params;
  water.drift = WaterDrift{};
  PlanSummarySink inWater(water);
  sailPattern(water, names, inWater);
  PlanSummary summary = inWater.summary();
  summary.marks = sink.summary().marks;
  summary.groundTrack = sink.summary().trackLength;
  return summary;
}

void TeeSink::startRoute(const char* name) {
  first_.startRoute(name);
  second_.startRoute(name);
}
void TeeSink::routePoint(double lat, double lon, const char* name) {
  first_.routePoint(lat, lon, name);
  second_.routePoint(lat, lon, name);
}
void TeeSink::endRoute() {
  first_.endRoute();
  second_.endRoute();
}
void TeeSink::waypoint(double lat, double lon, const char* name) {
  first_.waypoint(lat, lon, name);
  second_.waypoint(lat, lon, name);
}

double hoursAtSpeed(double length, double speed) {
  if (!(speed > 0.0) || !std::isfinite(speed)) return std::numeric_limits<double>::quiet_NaN();
  return length / speed;
}

std::string hoursMinutesText(double hours) {
  // Beyond about 1.5e17 hours the minutes no longer fit a 64-bit count.
  if (!std::isfinite(hours) || hours < 0.0 || hours > 1e17) return "-";
  const long long minutes = std::llround(hours * 60.0);
  std::string text = std::to_string(minutes / 60) + ":";
  const long long mm = minutes % 60;
  if (mm < 10) text += '0';
  return text + std::to_string(mm);
}

namespace {

std::string patternTitle(PatternKind kind, const SummaryTexts& t) {
  const auto found = t.patternTitles.find(kind);
  return found != t.patternTitles.end() ? found->second : patternInfo(kind).name;
}

std::string durationText(double length, double speed, const SummaryTexts& t) {
  const double hours = hoursAtSpeed(length, speed);
  if (!std::isfinite(hours)) return t.noValue;
  return fillIn(t.duration, {hoursMinutesText(hours), fixedText(hours, 2)});
}

}  // namespace

std::vector<std::string> longRouteWarnings(const PlanSummary& s, const SummaryTexts& t) {
  std::vector<std::string> warnings;
  for (const RouteSummary& r : s.routes) {
    if (r.points <= kPlotterRoutePoints) continue;
    warnings.push_back(fillIn(
        t.longRoute, {r.name, std::to_string(r.points), std::to_string(kPlotterRoutePoints)}));
  }
  return warnings;
}

std::vector<SummaryRow> summaryRows(const PlanSummary& s, double speed, const SummaryTexts& t,
                                    int maxPoints) {
  return summaryRows(s, speed, t,
                     maxPoints == 0 ? longRouteWarnings(s, t) : std::vector<std::string>{});
}

std::vector<SummaryRow> summaryRows(const PlanSummary& s, double speed, const SummaryTexts& t,
                                    const std::vector<std::string>& warnings) {
  const bool passes = s.passes > 1;
  const std::string unitCount = passes ? fillIn(t.unitPasses, {std::to_string(s.passes)})
                                : s.routes.size() == 1
                                    ? t.oneUnit
                                    : fillIn(t.units, {std::to_string(s.routes.size())});
  std::vector<SummaryRow> rows = {
      {t.pattern,
       fillIn(t.patternValue, {patternTitle(s.kind, t), patternCode(s.kind), unitCount})},
      {t.legs, std::to_string(s.legs)},
      {t.track, fillIn(t.length, {fixedText(s.trackLength, 2)})},
      {t.speed, fillIn(t.speedValue, {shortestText(speed)})},
      {t.time, durationText(s.trackToComplete(), speed, t)},
      {t.box, fillIn(t.boxValue, {fixedText(s.boxLength, 2), fixedText(s.boxWidth, 2),
                                  fixedText(s.boxArea(), 2)})},
      {t.covered, fillIn(t.coveredValue, {fixedText(s.coveredArea(), 2)})},
  };
  for (std::size_t i = 0; i < s.routes.size(); ++i) {
    const RouteSummary& r = s.routes[i];
    rows.push_back(
        {passes                    ? fillIn(t.passLabel, {std::to_string(i + 1)})
         : i < t.unitLabels.size() ? t.unitLabels[i]
                                   : fillIn(t.otherUnitLabel, {std::to_string(i + 1)}),
         fillIn(t.unitValue, {r.name, std::to_string(r.legs), fixedText(r.trackLength, 2),
                              durationText(r.trackLength, speed, t)})});
  }
  for (const PlanMark& m : s.marks)
    rows.push_back({m.name, fillIn(t.position, {m.latText, m.lonText})});
  for (const std::string& warning : warnings) rows.push_back({t.warning, warning});
  return rows;
}

}  // namespace vestrand
