#include "plan_figure.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "number_text.h"
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

// Room round the chart area for the texts at its edges; the pattern itself takes all the rest.
double marginFor(double width) {
  return std::clamp(0.04 * width, 14.0, 32.0);
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
  lengthFormat = extras.lengthFormat;
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
  for (const ExtraCell& extra : extras.cells) {
    const ChartCell cell{chart.project(extra.centre.lat, extra.centre.lon), extra.side,
                         extra.shade};
    bounds.add({cell.centre.x - cell.side / 2.0, cell.centre.y - cell.side / 2.0});
    bounds.add({cell.centre.x + cell.side / 2.0, cell.centre.y + cell.side / 2.0});
    cells.push_back(cell);
  }
}

Rgb cellColour(double shade) {
  const double s = std::clamp(shade, 0.0, 1.0);
  auto channel = [s](double pale, double dark) {
    return static_cast<std::uint8_t>(std::lround(pale + (dark - pale) * s));
  };
  return {channel(255, 170), channel(245, 0), channel(190, 30)};
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

  for (const ChartCell& c : outline.cells) {
    const PixelPoint low = f.frame.toPixels({c.centre.x - c.side / 2.0, c.centre.y - c.side / 2.0});
    const PixelPoint high =
        f.frame.toPixels({c.centre.x + c.side / 2.0, c.centre.y + c.side / 2.0});
    if (!drawable(c.centre)) continue;
    f.cells.push_back({{low.x, high.y, high.x, low.y}, cellColour(c.shade)});
  }
  for (const ChartLine& l : outline.lines) {
    FigureLine line{{}, l.colour, l.width, l.dashed};
    for (const ChartPoint& p : l.points) {
      if (drawable(p)) line.points.push_back(f.frame.toPixels(p));
    }
    f.lines.push_back(std::move(line));
  }

  // Marks; their names are placed with the numbers once the routes are drawn (placeLabels).
  for (const ChartMark& m : outline.marks) {
    if (!drawable(m.at)) continue;
    FigureMark mark;
    mark.shape = m.shape;
    mark.at = f.frame.toPixels(m.at);
    mark.size = m.shape == MarkShape::Cross ? 8.0 : m.shape == MarkShape::Square ? 5.0 : 6.0;
    mark.name = {m.name,    {mark.at.x + 10.0, mark.at.y + kLineHeight * kTextSize},
                 kTextSize, true,
                 kInk,      TextAnchor::Start};
    f.marks.push_back(std::move(mark));
  }

  // The scale bar at most a third of the chart area wide, its text beside its right end.
  FigureScaleBar& bar = f.scaleBar;
  bar.length = roundScaleLength(areaWidth / 3.0 / f.frame.scale);
  const double barY = height - margin / 2.0;
  bar.from = {area.left, barY};
  bar.to = {area.left + bar.length * f.frame.scale, barY};
  bar.label = {fillIn(outline.lengthFormat, {generalText(bar.length)}),
               {bar.to.x + 6.0, barY + 4.0},
               kTextSize};

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
  route.turningPoints.push_back(std::move(t));
}

void PlanFigureSink::routePoint(double lat, double lon, const char*) {
  builder_.point(chart_.project(lat, lon));
}

namespace {

// Where a label may not go: the lines of the routes and the extra lines as segments, in a grid of
// cells so that a label looks only at the segments near it; the boxes of the marks' shapes, the
// legend, the north arrow, the scale bar and the labels placed so far.
class Obstacles {
 public:
  explicit Obstacles(const PlanFigure& f)
      : columns_(cellsOf(f.size.width)), rows_(cellsOf(f.size.height)), cells_(columns_ * rows_) {
    for (const FigureRoute& route : f.routes) {
      for (std::size_t i = 1; i < route.line.size(); ++i) {
        addSegment(route.line[i - 1].at, route.line[i].at);
      }
    }
    for (const FigureLine& line : f.lines) {
      for (std::size_t i = 1; i < line.points.size(); ++i) {
        addSegment(line.points[i - 1], line.points[i]);
      }
    }
    for (const FigureMark& m : f.marks) {
      boxes_.push_back({m.at.x - m.size, m.at.y - m.size, m.at.x + m.size, m.at.y + m.size});
    }
    for (const FigureText& t : f.legend) boxes_.push_back(t.box());
    PixelBox north{f.north.letter.box()};
    for (const PixelPoint& p : f.north.outline) {
      north = {std::min(north.left, p.x), std::min(north.top, p.y), std::max(north.right, p.x),
               std::max(north.bottom, p.y)};
    }
    boxes_.push_back(north);
    const FigureScaleBar& bar = f.scaleBar;
    boxes_.push_back({bar.from.x, bar.from.y - bar.tick, bar.to.x, bar.from.y + 1.0});
    boxes_.push_back(bar.label.box());
  }

  // Whether a box is free: inside the picture and clear of every segment and box.
  bool free(const PixelBox& box, const PlanFigure& f) const {
    if (box.left < 0.0 || box.top < 0.0 || box.right > f.size.width || box.bottom > f.size.height) {
      return false;
    }
    for (const PixelBox& b : boxes_) {
      if (b.overlaps(box)) return false;
    }
    for (std::size_t row = cellOf(box.top); row <= cellOf(box.bottom) && row < rows_; ++row) {
      for (std::size_t column = cellOf(box.left); column <= cellOf(box.right) && column < columns_;
           ++column) {
        for (std::size_t s : cells_[row * columns_ + column]) {
          if (crosses(segments_[s], box)) return false;
        }
      }
    }
    return true;
  }

  void take(const PixelBox& box) { boxes_.push_back(box); }

 private:
  struct Segment {
    PixelPoint a, b;
  };
  static constexpr double kCell = 32.0;  // pixels

  static std::size_t cellsOf(double pixels) {
    return static_cast<std::size_t>(std::ceil(std::max(pixels, 1.0) / kCell));
  }
  std::size_t cellOf(double pixels) const {
    return static_cast<std::size_t>(std::max(pixels, 0.0) / kCell);
  }

  void addSegment(PixelPoint a, PixelPoint b) {
    const std::size_t s = segments_.size();
    segments_.push_back({a, b});
    const std::size_t lastRow = std::min(cellOf(std::max(a.y, b.y)), rows_ - 1);
    const std::size_t lastColumn = std::min(cellOf(std::max(a.x, b.x)), columns_ - 1);
    for (std::size_t row = std::min(cellOf(std::min(a.y, b.y)), rows_ - 1); row <= lastRow; ++row) {
      for (std::size_t column = std::min(cellOf(std::min(a.x, b.x)), columns_ - 1);
           column <= lastColumn; ++column) {
        cells_[row * columns_ + column].push_back(s);
      }
    }
  }

  // Whether a segment passes through a box (Liang and Barsky's clipping).
  static bool crosses(const Segment& s, const PixelBox& box) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = s.b.x - s.a.x;
    const double dy = s.b.y - s.a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {s.a.x - box.left, box.right - s.a.x, s.a.y - box.top, box.bottom - s.a.y};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0.0) {
        if (q[i] < 0.0) return false;
        continue;
      }
      const double t = q[i] / p[i];
      if (p[i] < 0.0) {
        t0 = std::max(t0, t);
      } else {
        t1 = std::min(t1, t);
      }
      if (t0 > t1) return false;
    }
    return true;
  }

  std::size_t columns_, rows_;
  std::vector<std::vector<std::size_t>> cells_;
  std::vector<Segment> segments_;
  std::vector<PixelBox> boxes_;
};

// Puts a text at the first free place around `at`, `gap` pixels clear of it or, where the tracks
// crowd the point, a little farther out: the right and the left before above and below.
// @return false when every place is taken
bool place(FigureText& text, PixelPoint at, double gap, Obstacles& obstacles, const PlanFigure& f) {
  const double width = text.box().right - text.box().left;
  const double up = text.size;                          // baseline below the box's top
  const double down = (kLineHeight - 1.0) * text.size;  // box below the baseline
  text.anchor = TextAnchor::Start;
  for (const double d : {gap, gap + 8.0, gap + 20.0}) {
    const PixelPoint places[] = {
        {at.x + d, at.y + d + up},
        {at.x + d, at.y - d - down},
        {at.x - d - width, at.y + d + up},
        {at.x - d - width, at.y - d - down},
        {at.x + d, at.y + up / 2.0},
        {at.x - d - width, at.y + up / 2.0},
        {at.x - width / 2.0, at.y - d - down},
        {at.x - width / 2.0, at.y + d + up},
    };
    for (const PixelPoint& p : places) {
      text.at = p;
      const PixelBox box = text.box();
      if (obstacles.free(box, f)) {
        obstacles.take(box);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

void placeLabels(PlanFigure& f) {
  Obstacles obstacles(f);
  // The marks' names first: a datum or a commence search point matters more than a number.
  for (FigureMark& m : f.marks) m.nameShown = place(m.name, m.at, m.size + 3.0, obstacles, f);
  for (FigureRoute& route : f.routes) {
    for (FigureTurningPoint& t : route.turningPoints) {
      t.numberShown = place(t.label, t.at, f.dotRadius + 2.0, obstacles, f);
    }
  }
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
  placeLabels(figure);
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
  placeLabels(figure);
  return figure;
}

}  // namespace vestrand
