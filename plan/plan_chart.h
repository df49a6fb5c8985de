// The flat local chart of a search and the drawing of a pattern on it: its routes with every
// turning point and its named marks, in nautical miles. plan_figure.h lays it out in pixels.
//
// The chart is north up, in nautical miles east and north of the datum. A position is placed by
// plane sailing's scaling: its northing is the difference of latitude times 60, its easting the
// difference of longitude times 60 times the cosine of the mean of the datum's and the position's
// latitudes. Longitudes are taken as the generators write them, unwrapped, so a pattern across
// the antimeridian stays in one piece.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vestrand.gpx.h"

namespace vestrand {

// A point on the local chart, nautical miles east (x) and north (y) of the datum.
struct ChartPoint {
  double x = 0.0;
  double y = 0.0;
};

class LocalChart {
 public:
  // @param[in] lat0, lon0 the datum, degrees
  LocalChart(double lat0, double lon0) : lat0_(lat0), lon0_(lon0) {}
  // @param[in] lat, lon a position, degrees
  // @return its place on the chart, nautical miles
  ChartPoint project(double lat, double lon) const;

 private:
  double lat0_;
  double lon0_;
};

// A position, degrees, north and east positive.
struct GeoPoint {
  double lat = 0.0;
  double lon = 0.0;
};

// Chart points farther than this from the datum (nautical miles; the earth is 21,600 round) or not
// finite are not drawn: they come only from absurd input, and would overflow the picture's sums.
inline constexpr double kChartLimit = 1e12;

// True when `p` can be drawn: both coordinates finite and within kChartLimit.
bool drawable(ChartPoint p);

// The smallest north-up rectangle holding some chart points; empty until the first one. Points
// that are not drawable are left out.
struct ChartBounds {
  double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
  bool empty = true;

  void add(ChartPoint p);
  double width() const { return empty ? 0.0 : maxX - minX; }   // nautical miles
  double height() const { return empty ? 0.0 : maxY - minY; }  // nautical miles
};

// One route as a polyline, its turning points in sailing order: points[i] is turning point i + 1.
struct ChartRoute {
  std::string name;  // as in the file
  int unit = 0;      // 0 for the first (or only) unit, 1 for the parallel sweep's second
  std::vector<ChartPoint> points;
};

// How a mark is drawn: the datum a cross in a ring, a commence search point a square, any other
// position (a last known position, say) a triangle.
enum class MarkShape { Cross, Square, Triangle };

// A named position on the chart: a waypoint of the file, or an extra mark of the picture.
struct ChartMark {
  std::string name;  // as in the file
  double lat = 0.0;  // degrees
  double lon = 0.0;  // degrees
  ChartPoint at;
  MarkShape shape = MarkShape::Square;  // Cross when the name holds "Datum" ("CSP/Datum" is both)
};

// A waypoint placed on `chart`, its shape from its name.
ChartMark chartMark(const LocalChart& chart, double lat, double lon, const char* name);

// Everything a picture of the plan needs. Holds two doubles per turning point.
struct PlanDrawing {
  PatternKind kind = PatternKind::Sector;
  double datumLat = 0.0;  // degrees
  double datumLon = 0.0;  // degrees
  std::vector<ChartRoute> routes;
  std::vector<ChartMark> marks;
  ChartBounds bounds;  // of every route point and every mark

  std::size_t pointCount() const;  // over all routes
};

// A PatternSink that builds the drawing while the pattern is sailed.
class PlanDrawingSink final : public PatternSink {
 public:
  explicit PlanDrawingSink(const PatternParams& params);

  void startRoute(const char* name) override;
  void routePoint(double lat, double lon, const char* name) override;
  void endRoute() override {}
  void waypoint(double lat, double lon, const char* name) override;

  const PlanDrawing& drawing() const { return drawing_; }
  PlanDrawing take() { return std::move(drawing_); }

 private:
  LocalChart chart_;
  PlanDrawing drawing_;
};

// Sails the pattern once and returns its drawing.
PlanDrawing drawPattern(const PatternParams& params, const PatternNames& names);

// Which turning points carry their number so that at most about `maxLabels` numbers are shown:
// every point when there are few, otherwise every 2nd, 5th, 10th, 20th, 50th, ... point.
// @return the stride, 1 or more; number point i (0-based) when i % stride == 0 or it is the
//   route's last point
std::size_t labelStride(std::size_t points, std::size_t maxLabels);

// A round length for a scale bar, 1, 2 or 5 times a power of ten, at most `longest`.
// @param[in] longest nautical miles, above 0; anything else gives 1
// @return nautical miles
double roundScaleLength(double longest);

}  // namespace vestrand
