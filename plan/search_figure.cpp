#include "search_figure.h"

#include <cstring>

namespace vestrand {
namespace {

// The plan's file as sailed, without the corners of the area: its outline says more.
class WithoutCorners final : public PatternSink {
 public:
  explicit WithoutCorners(PatternSink& next) : next_(next) {}
  void startRoute(const char* name) override { next_.startRoute(name); }
  void routePoint(double lat, double lon, const char* name) override {
    next_.routePoint(lat, lon, name);
  }
  void endRoute() override { next_.endRoute(); }
  void waypoint(double lat, double lon, const char* name) override {
    if (std::strncmp(name, "Area ", 5) != 0) next_.waypoint(lat, lon, name);
  }

 private:
  PatternSink& next_;
};

ExtraLine outline(const PlanRectangle& r, Rgb colour, double width) {
  ExtraLine line;
  for (const LatLon& c : r.corners) line.points.push_back({c.lat, c.lon});
  line.points.push_back(line.points.front());
  line.colour = colour;
  line.width = width;
  line.dashed = false;
  return line;
}

}  // namespace

PlanDrawing drawSearchPlan(const SearchPlan& plan, std::string_view stem) {
  PatternParams chart;
  chart.kind = PatternKind::ParallelSweep;
  chart.lat = plan.area.centre.lat;
  chart.lon = plan.area.centre.lon;
  PlanDrawingSink sink(chart);
  WithoutCorners filter(sink);
  sailSearchPlan(plan, stem, filter);
  return sink.take();
}

PlanExtras searchPlanExtras(const SearchPlan& plan) {
  PlanExtras extras;
  for (std::size_t i = 0; i < plan.units.size(); ++i) {
    extras.lines.push_back(outline(plan.units[i].strip, unitColour(static_cast<int>(i)), 1.0));
  }
  // Over the strips, so that the area's edge reads as one line.
  extras.lines.push_back(outline(plan.area, kInk, 1.5));
  const Datums& d = plan.datums;
  if (d.downwind.distance > 0.0) {
    const GeoPoint lastKnown{d.lastKnownLat, d.lastKnownLon};
    extras.marks.push_back({"LKP", lastKnown, MarkShape::Triangle});
    extras.lines.push_back({{lastKnown, {d.downwind.lat, d.downwind.lon}}, kInk, 1.0, true});
  }
  return extras;
}

PlanFigure searchPlanFigure(const SearchPlan& plan, std::string_view stem, PictureSize size) {
  return layoutPlanFigure(drawSearchPlan(plan, stem), size, searchPlanExtras(plan));
}

}  // namespace vestrand
