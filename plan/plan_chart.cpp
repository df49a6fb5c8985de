#include "plan_chart.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "angulos.h"

namespace vestrand {

ChartPoint LocalChart::project(double lat, double lon) const {
  // The same radians and mean latitude as PosicionLlegada, so that a leg run due east by d miles
  // lands d miles east on the chart.
  const double meanLat = (lat0_ + lat) / 2.0;
  return {(lon - lon0_) * 60.0 * std::cos(meanLat * kPi / 180.0), (lat - lat0_) * 60.0};
}

bool drawable(ChartPoint p) {
  return std::fabs(p.x) <= kChartLimit && std::fabs(p.y) <= kChartLimit;
}

void ChartBounds::add(ChartPoint p) {
  if (!drawable(p)) return;
  if (empty) {
    minX = maxX = p.x;
    minY = maxY = p.y;
    empty = false;
    return;
  }
  minX = std::min(minX, p.x);
  maxX = std::max(maxX, p.x);
  minY = std::min(minY, p.y);
  maxY = std::max(maxY, p.y);
}

std::size_t PlanDrawing::pointCount() const {
  std::size_t n = 0;
  for (const ChartRoute& route : routes) n += route.points.size();
  return n;
}

PlanDrawingSink::PlanDrawingSink(const PatternParams& params) : chart_(params.lat, params.lon) {
  drawing_.kind = params.kind;
  drawing_.datumLat = params.lat;
  drawing_.datumLon = params.lon;
}

void PlanDrawingSink::startRoute(const char* name) {
  ChartRoute route;
  route.name = name;
  route.unit = static_cast<int>(drawing_.routes.size());
  drawing_.routes.push_back(std::move(route));
}

void PlanDrawingSink::routePoint(double lat, double lon, const char*) {
  if (drawing_.routes.empty()) startRoute("");
  const ChartPoint p = chart_.project(lat, lon);
  drawing_.routes.back().points.push_back(p);
  drawing_.bounds.add(p);
}

ChartMark chartMark(const LocalChart& chart, double lat, double lon, const char* name) {
  ChartMark mark;
  mark.name = name;
  mark.lat = lat;
  mark.lon = lon;
  mark.at = chart.project(lat, lon);
  mark.shape = std::strstr(name, "Datum") != nullptr ? MarkShape::Cross : MarkShape::Square;
  return mark;
}

void PlanDrawingSink::waypoint(double lat, double lon, const char* name) {
  drawing_.marks.push_back(chartMark(chart_, lat, lon, name));
  drawing_.bounds.add(drawing_.marks.back().at);
}

PlanDrawing drawPattern(const PatternParams& params, const PatternNames& names) {
  PlanDrawingSink sink(params);
  sailPattern(params, names, sink);
  return sink.take();
}

std::size_t labelStride(std::size_t points, std::size_t maxLabels) {
  if (maxLabels == 0) maxLabels = 1;
  std::size_t stride = 1;
  // 1, 2, 5, 10, 20, 50, ... so that the numbers shown are round ones.
  static constexpr std::size_t kSteps[] = {2, 5, 10};
  for (std::size_t decade = 1; points / stride > maxLabels; decade *= 10) {
    for (const std::size_t step : kSteps) {
      stride = step * decade;
      if (points / stride <= maxLabels) break;
    }
  }
  return stride;
}

double roundScaleLength(double longest) {
  if (!(longest > 0.0) || !std::isfinite(longest)) return 1.0;
  const double decade = std::pow(10.0, std::floor(std::log10(longest)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * decade <= longest) return step * decade;
  }
  return decade;
}

}  // namespace vestrand
