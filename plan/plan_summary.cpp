#include "plan_summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Derrota.h"
#include "angulos.h"
#include "plan_chart.h"

namespace vestrand {

double PlanSummary::longestTrack() const {
  double longest = 0.0;
  for (const RouteSummary& route : routes) longest = std::max(longest, route.trackLength);
  return longest;
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
}

void PlanSummarySink::startRoute(const char* name) {
  RouteSummary route;
  route.name = name;
  summary_.routes.push_back(std::move(route));
}

void PlanSummarySink::routePoint(double lat, double lon, const char*) {
  if (summary_.routes.empty()) startRoute("");
  RouteSummary& route = summary_.routes.back();
  if (route.points > 0) {
    double course = 0.0;
    double distance = 0.0;
    // A status of -1 (points less than 1e-8 miles apart) still gives the small distance.
    RumboDistancia(prevLat_, prevLon_, lat, lon, &course, &distance);
    route.trackLength += distance;
    summary_.trackLength += distance;
    ++route.legs;
    ++summary_.legs;
  }
  ++route.points;
  prevLat_ = lat;
  prevLon_ = lon;

  // The box is aligned with the search course: turn the chart by the course so that its axes run
  // along the course and to its right.
  const ChartPoint p = LocalChart(datumLat_, datumLon_).project(lat, lon);
  const double c = summary_.course * kPi / 180.0;
  const double along = p.x * std::sin(c) + p.y * std::cos(c);
  const double across = p.x * std::cos(c) - p.y * std::sin(c);
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
  mark.latText = latitudeTextUtf8(lat);
  mark.lonText = longitudeTextUtf8(lon);
  summary_.marks.push_back(std::move(mark));
}

PlanSummary summarizePattern(const PatternParams& params, const PatternNames& names) {
  PlanSummarySink sink(params);
  sailPattern(params, names, sink);
  return sink.summary();
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

std::string windows1252ToUtf8(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      out += *p;
    } else if (byte >= 0xA0) {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    } else {
      out += '?';
    }
  }
  return out;
}

std::string latitudeTextUtf8(double lat) {
  char text[kSexagesimalTextSize];
  DegToLat(lat, text);
  return windows1252ToUtf8(text);
}

std::string longitudeTextUtf8(double lon) {
  char text[kSexagesimalTextSize];
  DegToLon(lon, text);
  return windows1252ToUtf8(text);
}

}  // namespace vestrand
