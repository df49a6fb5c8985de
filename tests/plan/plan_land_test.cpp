// The land under the plan's picture: filled where the mask says land, inside the chart area,
// drawn first in the SVG; and a picture at a pole or over the antimeridian still gets its land.
#include "plan_land.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../core/test_support.h"
#include "angulos.h"
#include "plan_svg.h"

namespace {

using vestrand::GeoPoint;
using vestrand::PatternKind;
using vestrand::PatternParams;
using vestrand::PixelPoint;
using vestrand::PlanFigure;

std::shared_ptr<const vestrand::land::LandMask> intermediate() {
  static const vestrand::land::Atlas atlas({VESTRAND_GSHHG_TEST_DIR});
  return atlas.mask(vestrand::land::Resolution::Intermediate);
}

PlanFigure landFigure(const PatternParams& p) {
  vestrand::PatternNames names;
  EXPECT_TRUE(vestrand::composePatternNames(p, "20121225143000", names));
  PlanFigure f = vestrand::drawPlanFigure(p, names, vestrand::kSvgPictureSize);
  vestrand::addLandLayer(f, {p.lat, p.lon}, *intermediate());
  return f;
}

// Inside an odd number of the rings.
bool filled(const PlanFigure& f, PixelPoint p) {
  bool inside = false;
  for (const auto& ring : f.land.rings) {
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      if ((ring[i].y > p.y) != (ring[j].y > p.y) &&
          p.x < ring[j].x + (ring[i].x - ring[j].x) * (p.y - ring[j].y) / (ring[i].y - ring[j].y)) {
        inside = !inside;
      }
    }
  }
  return inside;
}

double pixelsToShore(const PlanFigure& f, PixelPoint p) {
  double best = 1e9;
  for (const auto& line : f.land.shores) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      const PixelPoint a = line[i], b = line[i + 1];
      const double dx = b.x - a.x, dy = b.y - a.y, d2 = dx * dx + dy * dy;
      const double t =
          d2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / d2, 0.0, 1.0) : 0;
      best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
  }
  return best;
}

TEST(PlanLand, FilledWhereTheMaskSaysLandAndDrawnUnderThePattern) {
  // A creeping line off Santander: the coast and Cabo Mayor in the picture's south.
  const PatternParams p{PatternKind::CreepingLine, 43.5, -3.75, 0.0, 1.0, 4.0, 1};
  const PlanFigure f = landFigure(p);
  ASSERT_FALSE(f.land.rings.empty());
  ASSERT_FALSE(f.land.shores.empty());
  const vestrand::PixelBox& area = f.frame.chartArea;
  for (const auto& ring : f.land.rings) {
    for (const PixelPoint& q : ring) ASSERT_TRUE(area.contains(q));
  }
  // Every tenth pixel of the chart area, away from the shoreline, back to a position.
  const vestrand::FigureFrame& fr = f.frame;
  int land = 0, checked = 0;
  for (double y = area.top + 0.5; y < area.bottom; y += 10) {
    for (double x = area.left + 0.5; x < area.right; x += 10) {
      if (pixelsToShore(f, {x, y}) < 1.5) continue;
      const double north = fr.centre.y - (y - (area.top + area.bottom) / 2) / fr.scale;
      const double east = fr.centre.x + (x - (area.left + area.right) / 2) / fr.scale;
      const double lat = p.lat + north / 60;
      const double lon = p.lon + east / (60 * std::cos((p.lat + lat) / 2 * kPi / 180));
      const bool onLand = intermediate()->onLand({lat, lon});
      EXPECT_EQ(filled(f, {x, y}), onLand) << lat << " " << lon;
      land += onLand;
      ++checked;
    }
  }
  EXPECT_GT(land, 100);
  EXPECT_LT(land, checked - 100);

  vestrand::testing::ScratchDir dir;
  std::string error;
  ASSERT_TRUE(vestrand::writePlanSvg(f, "plan.svg", error)) << error;
  EXPECT_TRUE(vestrand::testing::wellFormedXml("plan.svg"));
  const std::string svg = vestrand::testing::readFile("plan.svg");
  const auto group = svg.find(
      "<g id=\"land\"><title>GSHHG 2.3.7, intermediate resolution shorelines</title>\n"
      "<path class=\"land\" fill=\"#f2e6c4\" fill-rule=\"evenodd\" d=\"M");
  ASSERT_NE(group, std::string::npos);
  EXPECT_NE(svg.find("<path class=\"land shoreline\" fill=\"none\" stroke=\"#8a764a\""),
            std::string::npos);
  EXPECT_LT(group, svg.find("<polyline"));
}

TEST(PlanLand, PolesAndTheAntimeridian) {
  // A square at Taveuni, across the antimeridian, shows the island; one at the North Pole and one
  // beside the South Pole's ice cap draw without fault.
  const PlanFigure taveuni =
      landFigure({PatternKind::ExpandingSquare, -16.85, 179.99, 0.0, 2.0, 0.0, 3});
  EXPECT_FALSE(taveuni.land.rings.empty());
  const PlanFigure north = landFigure({PatternKind::ExpandingSquare, 89.9, 0.0, 0.0, 1.0, 0.0, 2});
  EXPECT_TRUE(north.land.rings.empty());  // the Arctic Ocean
  const PlanFigure south = landFigure({PatternKind::Sector, -89.0, 30.0, 0.0, 0.0, 5.0, 0});
  const vestrand::PixelBox& cap = south.frame.chartArea;  // the whole picture is the ice cap
  for (double y = cap.top + 1; y < cap.bottom; y += 20) {
    for (double x = cap.left + 1; x < cap.right; x += 20) EXPECT_TRUE(filled(south, {x, y}));
  }
  for (const auto* f : {&taveuni, &north, &south}) {
    for (const auto& ring : f->land.rings) {
      for (const PixelPoint& q : ring) ASSERT_TRUE(f->frame.chartArea.contains(q));
    }
  }
}

TEST(PlanLand, LegsAcrossLandAndTurningPointsOnLandAreNamed) {
  // A creeping line of 60 NM legs run east from 49.5 N 2.3 W meets the Cotentin's west coast at
  // 1.848 W (full resolution), turns on land and runs back out to sea.
  const PatternParams p{PatternKind::CreepingLine, 49.5, -2.3, 90.0, 1.0, 60.0, 1};
  vestrand::PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(p, "20121225143000", names));
  vestrand::LandCheckSink check(*intermediate());
  vestrand::sailPattern(p, names, check);
  const auto& found = check.warnings();
  ASSERT_GE(found.size(), 4u);
  EXPECT_EQ(found[0].kind, vestrand::LandWarning::Kind::Leg);
  EXPECT_EQ(found[0].route, "20121225143000 - CS 90.0");
  EXPECT_EQ(found[0].number, 1u);
  EXPECT_NEAR((found[0].at.lon + 1.848) * 60 * std::cos(49.5 * kPi / 180), 0.0,
              vestrand::land::resolutionToleranceNm(vestrand::land::Resolution::Intermediate));
  EXPECT_NEAR(found[0].landNm, (-1.53 + 1.848) * 60 * std::cos(49.5 * kPi / 180), 0.6);
  EXPECT_EQ(found[1].kind, vestrand::LandWarning::Kind::TurningPoint);
  EXPECT_EQ(found[1].number, 2u);
  const std::vector<std::string> texts = vestrand::landWarningTexts(found, 1);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(
      texts[0].rfind("leg 1 of 20121225143000 - CS 90.0 crosses land at N49º 30.00' W001º 5", 0),
      0u)
      << texts[0];
  EXPECT_EQ(texts[1], std::to_string(found.size() - 1) + " more turning points and legs on land");

  // A sector well at sea has none.
  const PatternParams sea{PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0};
  ASSERT_TRUE(vestrand::composePatternNames(sea, "20121225143000", names));
  vestrand::LandCheckSink none(*intermediate());
  vestrand::sailPattern(sea, names, none);
  EXPECT_TRUE(none.warnings().empty());
}

}  // namespace
