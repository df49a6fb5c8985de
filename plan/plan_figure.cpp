#include "plan_figure.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "plan_summary.h"

namespace vestrand {
namespace {

constexpr double kMinSide = 16.0;    // pixels
constexpr double kMaxSide = 4096.0;  // pixels; bounds the pixel map of the kept points
constexpr double kMinSpan = 0.1;     // nautical miles; a pattern of one point still gets a scale
constexpr double kCharWidth = 0.6;   // of the font size, the approximate metrics
constexpr double kLineHeight = 1.25;
constexpr double kNumberSize = 11.0;
constexpr double kTextSize = 12.0;
constexpr double kLegendLine = 16.0;
constexpr double kBarRoom = 12.0;    // below the chart area, above the scale bar
constexpr double kArrowRoom = 34.0;  // the north arrow's strip at the right
constexpr std::size_t kMinNumbers = 8;
constexpr std::size_t kMaxNumbers = 60;  // beyond this numbers crowd each other out

double marginFor(double width) {
  return std::clamp(0.075 * width, 24.0, 60.0);
}

double side(double pixels) {
  return std::isfinite(pixels) ? std::clamp(pixels, kMinSide, kMaxSide) : kMinSide;
}

double legendBottom(std::size_t routes) {
  return 6.0 + kLegendLine * static_cast<double>(routes);
}

double chartTop(double margin, std::size_t routes) {
  return std::max(margin, legendBottom(routes) + margin / 2.0);
}

// The height at which the pattern fills the chart area's width; a long thin pattern keeps its
// shape but the chart area stays between a third and twice as high as wide.
double fittedHeight(const ChartBounds& b, double width, std::size_t routes) {
  const double margin = marginFor(width);
  double spanX = std::max(b.width(), kMinSpan);
  double spanY = std::max(b.height(), kMinSpan);
  spanY = std::max(spanY, spanX / 3.0);
  spanX = std::max(spanX, spanY / 2.0);
  const double areaWidth = width - margin - std::max(margin, kArrowRoom);
  return chartTop(margin, routes) + spanY * (areaWidth / spanX) + margin + kBarRoom;
}

std::size_t codePoints(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

Rgb unitColour(int unit) {
  if (unit >= 2 && unit < 8) return kMoreUnitColours[unit - 2];
  return kUnitColours[unit == 1 ? 1 : 0];
}

bool PixelBox::overlaps(const PixelBox& o) const {
  return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
}

bool PixelBox::contains(PixelPoint p) const {
  return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

PixelBox FigureText::box() const {
  const double width = kCharWidth * size * static_cast<double>(codePoints(text));
  const double left = anchor == TextAnchor::Middle ? at.x - width / 2.0 : at.x;
  return {left, at.y - size, left + width, at.y + (kLineHeight - 1.0) * size};
}

PixelPoint FigureFrame::toPixels(ChartPoint p) const {
  const double middleX = (chartArea.left + chartArea.right) / 2.0;
  const double middleY = (chartArea.top + chartArea.bottom) / 2.0;
  return {middleX + (p.x - centre.x) * scale, middleY - (p.y - centre.y) * scale};
}

std::size_t PlanFigure::lineVertexCount() const {
  std::size_t n = 0;
  for (const FigureRoute& route : routes) n += route.line.size();
  return n;
}

std::size_t PlanOutline::pointCount() const {
  std::size_t n = 0;
  for (const RouteOutline& route : routes) n += route.points;
  return n;
}

void PlanOutline::add(const PlanExtras& extras, const LocalChart& chart) {
  for (const ExtraMark& extra : extras.marks) {
    ChartMark mark = chartMark(chart, extra.at.lat, extra.at.lon, extra.name.c_str());
    mark.shape = extra.shape;
    bounds.add(mark.at);
    marks.push_back(std::move(mark));
  }
  for (const ExtraLine& extra : extras.lines) {
    ChartLine line{{}, extra.colour, extra.width, extra.dashed};
    for (const GeoPoint& g : extra.points) {
      line.points.push_back(chart.project(g.lat, g.lon));
      bounds.add(line.points.back());
    }
    lines.push_back(std::move(line));
  }
}

void PlanOutlineSink::startRoute(const char* name) {
  outline_.routes.push_back({name, static_cast<int>(outline_.routes.size()), 0});
}

void PlanOutlineSink::routePoint(double lat, double lon, const char*) {
  if (outline_.routes.empty()) startRoute("");
  ++outline_.routes.back().points;
  outline_.bounds.add(chart_.project(lat, lon));
}

void PlanOutlineSink::waypoint(double lat, double lon, const char* name) {
  outline_.marks.push_back(chartMark(chart_, lat, lon, name));
  outline_.bounds.add(outline_.marks.back().at);
}

PlanFigure layoutFigure(const PlanOutline& outline, PictureSize size) {
  PlanFigure f;
  const std::size_t routeCount = outline.routes.size();
  f.size.width = side(size.width);
  f.size.height = side(size.height > 0.0 ? size.height
                                         : fittedHeight(outline.bounds, f.size.width, routeCount));
  const double width = f.size.width;
  const double height = f.size.height;
  const double margin = marginFor(width);

  // The frame: the pattern centred in the chart area at the largest scale that fits both ways.
  // A picture too small for the margins still gets a chart area of a pixel, inside it.
  const double left = std::min(margin, width / 2.0 - 0.5);
  const double top = std::min(chartTop(margin, routeCount), height / 2.0 - 0.5);
  PixelBox& area = f.frame.chartArea;
  area = {left, top, std::max(left + 1.0, width - std::max(margin, kArrowRoom)),
          std::max(top + 1.0, height - margin - kBarRoom)};
  const ChartBounds& b = outline.bounds;
  const double areaWidth = area.right - area.left;
  const double areaHeight = area.bottom - area.top;
  f.frame.scale = std::min(areaWidth / std::max(b.width(), kMinSpan),
                           areaHeight / std::max(b.height(), kMinSpan));
  if (!b.empty) f.frame.centre = {b.minX / 2.0 + b.maxX / 2.0, b.minY / 2.0 + b.maxY / 2.0};

  // Routes, their colours and how many turning points get a dot.
  const std::size_t points = outline.pointCount();
  const double lineWidth = points > 400 ? 1.0 : points > 60 ? 1.5 : 2.5;
  for (const RouteOutline& r : outline.routes) {
    f.routes.push_back({r.name, r.unit, unitColour(r.unit), lineWidth, r.points, {}, {}});
  }
  if (!outline.routes.empty()) f.title = outline.routes.front().name;
  const auto room = static_cast<std::size_t>(areaWidth * areaHeight / 2500.0);
  f.numberStride = labelStride(points, std::clamp(room, kMinNumbers, kMaxNumbers));

  for (const ChartLine& l : outline.lines) {
    FigureLine line{{}, l.colour, l.width, l.dashed};
    for (const ChartPoint& p : l.points) {
      if (drawable(p)) line.points.push_back(f.frame.toPixels(p));
    }
    f.lines.push_back(std::move(line));
  }

  // Marks; a name that would cover an earlier one goes on the next free line below it.
  for (const ChartMark& m : outline.marks) {
    if (!drawable(m.at)) continue;
    FigureMark mark;
    mark.shape = m.shape;
    mark.at = f.frame.toPixels(m.at);
    mark.size = m.shape == MarkShape::Cross ? 8.0 : m.shape == MarkShape::Square ? 5.0 : 6.0;
    mark.name = {m.name, {}, kTextSize, true, kInk, TextAnchor::Start};
    for (std::size_t line = 0;; ++line) {
      mark.name.at = {mark.at.x + 10.0,
                      mark.at.y + kLineHeight * kTextSize * (1.0 + static_cast<double>(line))};
      const PixelBox box = mark.name.box();
      const bool covers = std::any_of(f.marks.begin(), f.marks.end(), [&box](const FigureMark& o) {
        return o.name.box().overlaps(box);
      });
      if (!covers) break;
    }
    f.marks.push_back(std::move(mark));
  }

  // The scale bar at most a third of the chart area wide, its text beside its right end.
  FigureScaleBar& bar = f.scaleBar;
  bar.length = roundScaleLength(areaWidth / 3.0 / f.frame.scale);
  const double barY = height - margin / 2.0;
  bar.from = {area.left, barY};
  bar.to = {area.left + bar.length * f.frame.scale, barY};
  bar.label = {generalText(bar.length) + " NM", {bar.to.x + 6.0, barY + 4.0}, kTextSize};

  const PixelPoint tip{width - 22.0, 10.0};
  f.north.outline = {tip, PixelPoint{tip.x + 8.0, tip.y + 26.0}, PixelPoint{tip.x, tip.y + 19.0},
                     PixelPoint{tip.x - 8.0, tip.y + 26.0}};
  f.north.letter = {"N", {tip.x, tip.y + 40.0}, kTextSize, true, kInk, TextAnchor::Middle};

  for (std::size_t i = 0; i < outline.routes.size(); ++i) {
    f.legend.push_back({outline.routes[i].name,
                        {10.0, 18.0 + kLegendLine * static_cast<double>(i)},
                        kTextSize,
                        true,
                        unitColour(outline.routes[i].unit),
                        TextAnchor::Start});
  }
  return f;
}

FigureRouteBuilder::FigureRouteBuilder(PlanFigure& figure)
    : figure_(figure),
      stride_(std::max<std::size_t>(figure.numberStride, 1)),
      columns_(static_cast<std::size_t>(std::ceil(figure.size.width))),
      rows_(static_cast<std::size_t>(std::ceil(figure.size.height))) {}

std::size_t FigureRouteBuilder::pixelOf(PixelPoint at) const {
  const auto column =
      static_cast<std::size_t>(std::clamp(at.x, 0.0, static_cast<double>(columns_ - 1)));
  const auto row = static_cast<std::size_t>(std::clamp(at.y, 0.0, static_cast<double>(rows_ - 1)));
  return row * columns_ + column;
}

void FigureRouteBuilder::startRoute() {
  if (route_ >= figure_.routes.size()) {
    const int unit = static_cast<int>(figure_.routes.size());
    figure_.routes.push_back({"", unit, unitColour(unit), 1.5, 0, {}, {}});
  }
  // Only the kept points set bits: clearing theirs is cheaper than clearing the map.
  if (route_ > 0 && !taken_.empty()) {
    for (const FigureVertex& v : figure_.routes[route_ - 1].line) taken_[pixelOf(v.at) / 64] = 0;
  }
  ++route_;
  number_ = 0;
  pending_ = false;
  lastWasTurningPoint_ = true;  // nothing to add at the end of a route without points
}

void FigureRouteBuilder::point(ChartPoint p) {
  if (route_ == 0) startRoute();
  ++number_;
  if (!drawable(p)) return;
  const PixelPoint at = figure_.frame.toPixels(p);
  lastWasTurningPoint_ = (number_ - 1) % stride_ == 0;
  if (lastWasTurningPoint_) addTurningPoint(at, number_);

  if (taken_.empty()) taken_.resize((columns_ * rows_ + 63) / 64);
  const std::size_t pixel = pixelOf(at);
  const std::uint64_t bit = std::uint64_t{1} << (pixel % 64);
  FigureRoute& route = figure_.routes[route_ - 1];
  if (route.line.empty() || (taken_[pixel / 64] & bit) == 0) {
    taken_[pixel / 64] |= bit;
    route.line.push_back({at, number_});
    pending_ = false;
  } else {
    pending_ = true;
  }
  last_ = {at, number_};
}

void FigureRouteBuilder::endRoute() {
  if (route_ == 0) return;
  if (pending_) figure_.routes[route_ - 1].line.push_back(last_);
  if (!lastWasTurningPoint_) addTurningPoint(last_.at, last_.number);
  pending_ = false;
  lastWasTurningPoint_ = true;
}

void FigureRouteBuilder::addTurningPoint(PixelPoint at, std::size_t number) {
  FigureRoute& route = figure_.routes[route_ - 1];
  FigureTurningPoint t{at, number, false, {}};
  t.label = {std::to_string(number), {at.x + 4.0, at.y - 4.0}, kNumberSize, false,
             route.colour,           TextAnchor::Start};
  // A number that would cover one already placed is left out: on a dense pattern the thinned
  // points still crowd where the tracks turn close together.
  const PixelBox box = t.label.box();
  t.numberShown = std::none_of(numbers_.begin(), numbers_.end(),
                               [&box](const PixelBox& o) { return o.overlaps(box); });
  if (t.numberShown) numbers_.push_back(box);
  route.turningPoints.push_back(std::move(t));
}

void PlanFigureSink::routePoint(double lat, double lon, const char*) {
  builder_.point(chart_.project(lat, lon));
}

PlanExtras patternGuideLines(const PatternParams& params, const PatternNames& names) {
  PlanExtras extras;
  if (params.kind == PatternKind::Trackline) {
    ExtraLine route;
    for (const TrackPoint& p : params.track) route.points.push_back({p.lat, p.lon});
    extras.lines.push_back(std::move(route));
  }
  if (!(params.drift.speed > 0.0)) return extras;
  struct Lines final : PatternSink {
    explicit Lines(PlanExtras& e) : extras(e) {}
    void startRoute(const char*) override {
      extras.lines.push_back({{}, kGroundPatternColour, 1.0, false});
    }
    void routePoint(double lat, double lon, const char*) override {
      if (extras.lines.empty()) startRoute("");
      extras.lines.back().points.push_back({lat, lon});
    }
    void endRoute() override {}
    void waypoint(double, double, const char*) override {}
    PlanExtras& extras;
  } lines(extras);
  PatternParams ground = params;
  ground.drift = WaterDrift{};
  sailPattern(ground, names, lines);
  return extras;
}

PlanFigure drawPlanFigure(const PatternParams& params, const PatternNames& names, PictureSize size,
                          const PlanExtras& extras) {
  PlanOutlineSink outline(params);
  sailPattern(params, names, outline);
  outline.outline().add(extras, LocalChart(params.lat, params.lon));
  PlanFigure figure = layoutFigure(outline.outline(), size);
  PlanFigureSink points(figure, params);
  sailPattern(params, names, points);
  return figure;
}

PlanFigure layoutPlanFigure(const PlanDrawing& drawing, PictureSize size,
                            const PlanExtras& extras) {
  PlanOutline outline;
  for (const ChartRoute& route : drawing.routes) {
    outline.routes.push_back({route.name, route.unit, route.points.size()});
    for (const ChartPoint& p : route.points) outline.bounds.add(p);
  }
  outline.marks = drawing.marks;
  for (const ChartMark& mark : drawing.marks) outline.bounds.add(mark.at);
  outline.add(extras, LocalChart(drawing.datumLat, drawing.datumLon));
  PlanFigure figure = layoutFigure(outline, size);
  FigureRouteBuilder builder(figure);
  for (const ChartRoute& route : drawing.routes) {
    builder.startRoute();
    for (const ChartPoint& p : route.points) builder.point(p);
    builder.endRoute();
  }
  return figure;
}

}  // namespace vestrand
