// The plan's picture laid out in pixels, once for every painter: the SVG writer and the window's
// preview only render a PlanFigure, so both show the same things in the same places.
//
// Pixels run right (x) and down (y) from the picture's top-left corner. The chart is north up
// with one scale on both axes, the pattern centred in the chart area, which leaves a margin all
// round, room for the legend above and for the scale bar below. Text positions are baselines;
// text sizes are font sizes in pixels. Where texts must not cover one another (turning point
// numbers, names of marks close together) the layout measures them with approximate metrics:
// each character 0.6 of the font size wide, a line 1.25 of it high. Texts are UTF-8, unescaped.
//
// A figure is laid out in two steps so that a pattern of millions of points never has them all
// in memory: an outline (counts, bounds and marks, nothing per point) decides the frame, then the
// points are fed one by one and only those on a pixel the route has not yet reached are kept.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plan_chart.h"
#include "vestrand.gpx.h"

namespace vestrand {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The two units of the parallel sweep (the single unit of the others is the first), and the ink
// of marks, the scale bar and the north arrow.
inline constexpr Rgb kUnitColours[2] = {{0x1f, 0x5f, 0xbf}, {0xc8, 0x10, 0x2e}};
inline constexpr Rgb kInk{0x20, 0x20, 0x20};

// The units 3 to 8 of a search plan, after the two above: told apart from them and from each
// other on a white ground.
inline constexpr Rgb kMoreUnitColours[6] = {{0x2e, 0x8b, 0x3a}, {0xe0, 0x7b, 0x00},
                                            {0x7b, 0x3f, 0xa0}, {0x00, 0x83, 0x8f},
                                            {0x8d, 0x55, 0x24}, {0xc2, 0x18, 0x5b}};

// The colour of unit 0 to 7; any other unit is drawn as the first.
Rgb unitColour(int unit);

struct PixelPoint {
  double x = 0.0;
  double y = 0.0;
};

struct PixelBox {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  // Boxes that only touch do not overlap.
  bool overlaps(const PixelBox& other) const;
  bool contains(PixelPoint p) const;
};

// The picture's size in pixels, each side from 16 to 4096 (others are brought into that range).
// A height of 0 asks for the height that suits the pattern's shape at that width.
struct PictureSize {
  double width = 800.0;
  double height = 0.0;
};

enum class TextAnchor { Start, Middle };

struct FigureText {
  std::string text;
  PixelPoint at;       // on the baseline, where the text starts or its middle (anchor)
  double size = 12.0;  // font size, pixels
  bool bold = false;
  Rgb colour = kInk;
  TextAnchor anchor = TextAnchor::Start;

  // Where the text lies by the approximate metrics above.
  PixelBox box() const;
};

// Chart miles to picture pixels.
struct FigureFrame {
  double scale = 1.0;  // pixels per nautical mile, on both axes
  ChartPoint centre;   // chart point at the middle of the chart area
  PixelBox chartArea;  // where the pattern is drawn

  PixelPoint toPixels(ChartPoint p) const;
};

// A kept point of a route's line.
struct FigureVertex {
  PixelPoint at;
  std::size_t number = 0;  // the turning point's number, 1 for the route's first
};

// A turning point with a dot: every labelStride-th point of the route and its last. Its number
// is shown where it covers nothing (placeLabels).
struct FigureTurningPoint {
  PixelPoint at;
  std::size_t number = 0;
  bool numberShown = false;
  FigureText label;  // the number, beside the dot; meaningful when shown
};

struct FigureRoute {
  std::string name;
  int unit = 0;
  Rgb colour;
  double lineWidth = 1.5;          // pixels; thinner when the tracks crowd
  std::size_t sailedPoints = 0;    // turning points the route has
  std::vector<FigureVertex> line;  // the kept points, in sailing order
  std::vector<FigureTurningPoint> turningPoints;
};

// A line other than a route (a drift line from a last known position to the datum, say).
struct FigureLine {
  std::vector<PixelPoint> points;
  Rgb colour = kInk;
  double width = 1.5;  // pixels
  bool dashed = false;
};

struct FigureMark {
  MarkShape shape = MarkShape::Square;
  PixelPoint at;
  double size = 6.0;      // pixels from the centre to the shape's edge
  FigureText name;        // beside the mark where it covers neither the track nor another text
  bool nameShown = true;  // false when no place beside the mark was free
};

// A bar of a round length (roundScaleLength) at the chart area's lower left.
struct FigureScaleBar {
  double length = 1.0;  // nautical miles
  PixelPoint from, to;  // the bar's ends; ticks rise `tick` pixels at both
  double tick = 6.0;
  FigureText label;  // "%g NM"
};

struct FigureNorthArrow {
  std::array<PixelPoint, 4> outline;  // the tip first; a filled arrowhead
  FigureText letter;                  // "N" below it
};

// A cell of a probability map, shaded by its probability, drawn under everything else.
struct FigureCell {
  PixelBox box;
  Rgb colour;
};

// The shade of a probability map's cell: pale yellow for the least probable through orange to
// dark red for the most. @param[in] shade 0 to 1, the cell's probability over the largest
Rgb cellColour(double shade);

// Land under the plan (plan_land.h): rings filled by the even-odd rule, land inside an odd number
// of them, and the shorelines stroked over them; every point inside the chart area.
inline constexpr Rgb kLandFill{0xf2, 0xe6, 0xc4};
inline constexpr Rgb kShoreInk{0x8a, 0x76, 0x4a};
struct FigureLand {
  std::string source;  // what the shorelines are ("GSHHG 2.3.7, intermediate resolution"); empty
                       // when the figure has no land layer
  std::vector<std::vector<PixelPoint>> rings;
  std::vector<std::vector<PixelPoint>> shores;
  double shoreWidth = 0.8;  // pixels
};

struct PlanFigure {
  PictureSize size;   // as laid out, the height decided
  std::string title;  // the first route's name
  FigureFrame frame;
  std::vector<FigureRoute> routes;
  std::vector<FigureLine> lines;  // drawn over the routes, under the marks
  std::vector<FigureMark> marks;
  double dotRadius = 2.5;        // of the turning points, pixels
  std::size_t numberStride = 1;  // labelStride of the turning points with dots
  FigureScaleBar scaleBar;
  FigureNorthArrow north;
  std::vector<FigureText> legend;  // one route name per line in its unit's colour
  FigureLand land;                 // drawn first, under everything else
  std::vector<FigureCell> cells;   // a probability map under the routes, when there is one

  std::size_t lineVertexCount() const;  // kept points over all routes
};

// Marks and lines to draw beside the pattern; they count for the frame like the pattern does.
struct ExtraMark {
  std::string name;
  GeoPoint at;
  MarkShape shape = MarkShape::Triangle;
};
struct ExtraLine {
  std::vector<GeoPoint> points;
  Rgb colour = kInk;
  double width = 1.5;  // pixels
  bool dashed = true;
};
// A square cell of a probability map on its own local plane, placed by its centre.
struct ExtraCell {
  GeoPoint centre;
  double side = 0.0;   // nautical miles
  double shade = 0.0;  // 0 to 1, see cellColour
};
struct PlanExtras {
  std::vector<ExtraMark> marks;
  std::vector<ExtraLine> lines;
  std::vector<ExtraCell> cells;
  // The scale bar's text, %1 the length: the window writes it in its language ("%1 sm").
  std::string lengthFormat = "%1 NM";
};

// A route in an outline: no points, only their count.
struct RouteOutline {
  std::string name;
  int unit = 0;
  std::size_t points = 0;
};

// An extra line on the chart.
struct ChartLine {
  std::vector<ChartPoint> points;
  Rgb colour = kInk;
  double width = 1.5;
  bool dashed = true;
};

// A probability map's cell on the chart.
struct ChartCell {
  ChartPoint centre;
  double side = 0.0;  // nautical miles
  double shade = 0.0;
};

// What the frame needs of a plan: its routes counted, its marks and extra lines, its bounds.
struct PlanOutline {
  std::vector<RouteOutline> routes;
  std::vector<ChartMark> marks;  // the file's waypoints, then the extra marks
  std::vector<ChartLine> lines;
  std::vector<ChartCell> cells;
  ChartBounds bounds;                  // of every drawable route point, mark and line
  std::string lengthFormat = "%1 NM";  // the scale bar's text, %1 the length

  std::size_t pointCount() const;
  // Adds the extras, placed on the chart of the datum.
  void add(const PlanExtras& extras, const LocalChart& chart);
};

// The first step: a PatternSink that counts and bounds the pattern, keeping nothing per point.
class PlanOutlineSink final : public PatternSink {
 public:
  explicit PlanOutlineSink(const PatternParams& params) : chart_(params.lat, params.lon) {}

  void startRoute(const char* name) override;
  void routePoint(double lat, double lon, const char* name) override;
  void endRoute() override {}
  void waypoint(double lat, double lon, const char* name) override;

  PlanOutline& outline() { return outline_; }

 private:
  LocalChart chart_;
  PlanOutline outline_;
};

// Lays out the frame, marks, scale bar, north arrow and legend; the routes are named and coloured
// but hold no points yet.
PlanFigure layoutFigure(const PlanOutline& outline, PictureSize size);

// The second step: takes the points of each route in order, keeps those that fall on a pixel
// the route's kept points have not yet taken, always its first and last, and places the turning
// points and their numbers. Routes come in the outline's order. Undrawable points keep their
// numbers but are not drawn. A route keeps at most one point per pixel and its last; the dots
// stay within the figure's numberStride.
class FigureRouteBuilder {
 public:
  explicit FigureRouteBuilder(PlanFigure& figure);
  void startRoute();
  void point(ChartPoint p);
  void endRoute();

 private:
  std::size_t pixelOf(PixelPoint at) const;
  void addTurningPoint(PixelPoint at, std::size_t number);

  PlanFigure& figure_;
  std::size_t stride_;
  std::size_t route_ = 0;  // one past the route being built
  std::size_t number_ = 0;
  std::vector<std::uint64_t> taken_;  // one bit per pixel of the picture, for the current route
  std::size_t columns_, rows_;
  bool pending_ = false;  // the last point was left out and may be the route's last
  FigureVertex last_;
  bool lastWasTurningPoint_ = false;
};

// The second step as a PatternSink, for the pattern that the outline came from.
class PlanFigureSink final : public PatternSink {
 public:
  PlanFigureSink(PlanFigure& figure, const PatternParams& params)
      : chart_(params.lat, params.lon), builder_(figure) {}

  void startRoute(const char*) override { builder_.startRoute(); }
  void routePoint(double lat, double lon, const char*) override;
  void endRoute() override { builder_.endRoute(); }
  void waypoint(double, double, const char*) override {}

 private:
  LocalChart chart_;
  FigureRouteBuilder builder_;
};

// Places the marks' names and the turning points' numbers where they cover neither a route, an
// extra line, a mark, the legend, the north arrow, the scale bar nor another text: beside the
// point, right or left, below or above. A text with no free place is left out (nameShown,
// numberShown false); a point keeps its number all the same. drawPlanFigure and
// layoutPlanFigure call it.
void placeLabels(PlanFigure& figure);

// The lines that show what a pattern is laid along, to draw beside its routes: for a pattern laid
// in drifting water its routes as they would lie without the drift, faint (they hold every point
// of the pattern); for a trackline search the intended route, dashed. Others have none.
inline constexpr Rgb kGroundPatternColour{0xb4, 0xb4, 0xb4};
PlanExtras patternGuideLines(const PatternParams& params, const PatternNames& names);

// Sails the pattern twice, for the outline and for the points: memory bounded by the picture's
// pixels whatever the count.
PlanFigure drawPlanFigure(const PatternParams& params, const PatternNames& names, PictureSize size,
                          const PlanExtras& extras = {});

// The figure of a drawing held in memory (the window's preview, a drawing built by hand).
PlanFigure layoutPlanFigure(const PlanDrawing& drawing, PictureSize size,
                            const PlanExtras& extras = {});

}  // namespace vestrand
