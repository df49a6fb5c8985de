// The plan's SVG picture: the figure rendered well-formed, one polyline per route through its kept
// points, names escaped, the text handed on in large pieces. Failed writes are the safe writer's.
#include "plan_svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "../core/test_support.h"
#include "plan_chart.h"
#include "plan_figure.h"
#include "vestrand.gpx.h"

namespace {

using vestrand::PatternKind;
using vestrand::PatternParams;
using vestrand::testing::readFile;
using vestrand::testing::wellFormedXml;

// The number of points in each polyline, in the file's order. Searched by hand: a regular
// expression over a points list of thousands recurses past the stack.
std::vector<std::size_t> polylinePoints(const std::string& svg) {
  std::vector<std::size_t> counts;
  const std::string attribute = " points=\"";
  for (auto at = svg.find("<polyline"); at != std::string::npos;
       at = svg.find("<polyline", at + 1)) {
    const auto begin = svg.find(attribute, at) + attribute.size();
    const auto end = svg.find('"', begin);
    counts.push_back(std::count(svg.begin() + begin, svg.begin() + end, ' ') + (end > begin));
  }
  return counts;
}

class PlanSvg : public ::testing::Test {
 protected:
  vestrand::testing::ScratchDir dir_;
};

TEST_F(PlanSvg, EachRouteIsOnePolylineThroughItsKeptPoints) {
  // One unit, two, and two thinned.
  for (const PatternParams& p :
       {PatternParams{PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0},
        PatternParams{PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 2},
        PatternParams{PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 1000}}) {
    SCOPED_TRACE(p.count);
    vestrand::PatternNames names;
    ASSERT_TRUE(vestrand::composePatternNames(p, "20121225143000", names));
    const vestrand::PlanFigure f = vestrand::drawPlanFigure(p, names, {800, 0});
    std::string error;
    ASSERT_TRUE(vestrand::writePlanSvg(p, names, "plan.svg", error)) << error;
    EXPECT_TRUE(wellFormedXml("plan.svg"));
    const std::string svg = readFile("plan.svg");
    std::vector<std::size_t> kept;
    std::size_t dots = 0;
    for (const auto& route : f.routes) {
      kept.push_back(route.line.size());
      dots += route.turningPoints.size();
    }
    EXPECT_EQ(polylinePoints(svg), kept);
    for (const auto& mark : f.marks) dots += mark.shape == vestrand::MarkShape::Cross;  // a ring
    EXPECT_EQ(vestrand::testing::occurrences(svg, "<circle"), dots);
    EXPECT_NE(svg.find("class=\"unit1\" stroke=\"#1f5fbf\""), std::string::npos);
    EXPECT_EQ(svg.find("class=\"unit2\" stroke=\"#c8102e\"") != std::string::npos,
              f.routes.size() == 2);
    EXPECT_NE(svg.find(">" + f.scaleBar.label.text + "</text>"), std::string::npos);
    EXPECT_NE(svg.find(">N</text>"), std::string::npos);
  }
}

TEST_F(PlanSvg, TextGoesOutInLargePiecesAndStopsWhenRefused) {
  // A random walk keeps most of its points: a big document.
  vestrand::PlanDrawing d;
  d.routes.push_back({"walk", 0, {}});
  unsigned seed = 1;
  for (int i = 0; i < 50000; ++i) {
    seed = seed * 1103515245u + 12345u;
    d.routes[0].points.push_back({(seed >> 8) % 1000 / 10.0, (seed >> 18) % 1000 / 10.0});
  }
  const vestrand::PlanFigure f = vestrand::layoutPlanFigure(d, {800, 800});
  std::vector<std::size_t> pieces;
  std::string whole;
  ASSERT_TRUE(vestrand::renderPlanSvg(f, [&](std::string_view piece) {
    pieces.push_back(piece.size());
    whole += piece;
    return true;
  }));
  ASSERT_GT(pieces.size(), 2u);
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_GE(pieces[i], 65536u);
  EXPECT_EQ(polylinePoints(whole), std::vector<std::size_t>{f.routes[0].line.size()});
  int calls = 0;
  EXPECT_FALSE(vestrand::renderPlanSvg(f, [&calls](std::string_view) { return ++calls, false; }));
  EXPECT_EQ(calls, 1);
}

TEST_F(PlanSvg, NamesAreEscaped) {
  vestrand::PlanDrawing d;
  d.routes.push_back({"a<b & \"c\"", 0, {{0, 0}, {1, 1}}});
  d.marks.push_back({"Dat'um>", 0, 0, {0, 0}});
  std::string error;
  ASSERT_TRUE(vestrand::writePlanSvg(d, "plan.svg", error)) << error;
  EXPECT_TRUE(wellFormedXml("plan.svg"));
  const std::string svg = readFile("plan.svg");
  EXPECT_NE(svg.find("a&lt;b &amp; &quot;c&quot;"), std::string::npos);
  EXPECT_NE(svg.find("Dat&apos;um&gt;"), std::string::npos);
}

}  // namespace
