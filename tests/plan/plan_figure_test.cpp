// The picture's layout: the frame, the numbers and names that must not cover one another, the
// scale bar, the units' colours, extras, and the thinning that bounds a huge pattern's points.
#include "plan_figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "plan_chart.h"
#include "vestrand.gpx.h"

namespace {

using vestrand::PatternKind;
using vestrand::PatternParams;
using vestrand::PictureSize;
using vestrand::PixelBox;
using vestrand::PixelPoint;
using vestrand::PlanFigure;

constexpr double kPixelTolerance = 1e-9;

const PatternParams kSector{PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0};
const PatternParams kSquare{PatternKind::ExpandingSquare, 40.0, -10.0, 0.0, 1.0, 0.0, 2};
const PatternParams kCreeping{PatternKind::CreepingLine, 43.5, -3.75, 0.0, 1.0, 4.0, 1};
const PatternParams kParallel{PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 1};

class PlanFigureTest : public ::testing::Test {
 protected:
  static vestrand::PatternNames names(const PatternParams& p) {
    vestrand::PatternNames n;
    EXPECT_TRUE(vestrand::composePatternNames(p, "20121225143000", n));
    return n;
  }
  static PlanFigure figure(const PatternParams& p, PictureSize size = {800.0, 0.0},
                           const vestrand::PlanExtras& extras = {}) {
    return vestrand::drawPlanFigure(p, names(p), size, extras);
  }
  static bool inside(const PixelBox& box, PixelPoint p) {
    return p.x >= box.left - kPixelTolerance && p.x <= box.right + kPixelTolerance &&
           p.y >= box.top - kPixelTolerance && p.y <= box.bottom + kPixelTolerance;
  }
  static void expectApart(const std::vector<PixelBox>& boxes, const char* what) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        EXPECT_FALSE(boxes[i].overlaps(boxes[j])) << what << " " << j << " and " << i;
      }
    }
  }
};

TEST_F(PlanFigureTest, PatternFitsCentredAtOneScaleTheHeightFollowingTheShape) {
  PatternParams eastward = kCreeping;  // points due east, no spacing: a third as high as wide
  eastward.course = 90.0;
  eastward.spacing = 0.0;
  struct Case {
    PatternParams params;
    PictureSize size;
    double aspect;  // of the chart area when the height is left to the shape; 0: not checked
  } const cases[] = {
      {kSector, {800, 0}, 0},          {kParallel, {240, 600}, 0}, {kParallel, {900, 200}, 0},
      {kSector, {5000, 1}, 0},         {kSquare, {800, 0}, 1.5},  // 2 miles wide, 3 high
      {eastward, {800, 0}, 1.0 / 3.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.params.kind) << " " << c.size.width);
    const PlanFigure f = figure(c.params, c.size);
    const PixelBox& area = f.frame.chartArea;
    EXPECT_TRUE(area.left >= 0.0 && area.right <= f.size.width && area.bottom <= f.size.height);
    if (c.aspect > 0) {
      EXPECT_NEAR((area.bottom - area.top) / (area.right - area.left), c.aspect, 1e-3);
    }
    const vestrand::PlanDrawing d = vestrand::drawPattern(c.params, names(c.params));
    const auto& b = d.bounds;
    const PixelPoint middle = f.frame.toPixels({(b.minX + b.maxX) / 2.0, (b.minY + b.maxY) / 2.0});
    EXPECT_NEAR(middle.x, (area.left + area.right) / 2.0, 1e-6);
    EXPECT_NEAR(middle.y, (area.top + area.bottom) / 2.0, 1e-6);
    // The pattern fills the area along its tighter axis.
    EXPECT_NEAR(std::max(b.width() * f.frame.scale / (area.right - area.left),
                         b.height() * f.frame.scale / (area.bottom - area.top)),
                1.0, 1e-9);
    for (std::size_t r = 0; r < d.routes.size(); ++r) {
      const auto& line = f.routes[r].line;
      for (std::size_t i = 0; i < line.size(); ++i) {
        EXPECT_TRUE(inside(area, line[i].at)) << i;
        if (i == 0) continue;
        // One scale both ways: legs at any course keep their lengths in proportion.
        const auto& p = d.routes[r].points[line[i - 1].number - 1];
        const auto& q = d.routes[r].points[line[i].number - 1];
        EXPECT_NEAR(std::hypot(line[i].at.x - line[i - 1].at.x, line[i].at.y - line[i - 1].at.y),
                    std::hypot(q.x - p.x, q.y - p.y) * f.frame.scale, 1e-6);
      }
    }
    for (const auto& mark : f.marks) EXPECT_TRUE(inside(area, mark.at));
  }
}

TEST_F(PlanFigureTest, NumbersNeverCoverOneAnother) {
  PatternParams dense = kParallel;
  dense.count = 1000;
  for (const PictureSize size : {PictureSize{420, 360}, PictureSize{800, 0}, PictureSize{40, 40}}) {
    const PlanFigure f = figure(dense, size);
    std::vector<PixelBox> shown;
    std::size_t hidden = 0;
    for (const auto& route : f.routes) {
      for (const auto& t : route.turningPoints) {
        if (t.numberShown) {
          shown.push_back(t.label.box());
          EXPECT_EQ(t.label.text, std::to_string(t.number));
        } else {
          ++hidden;
        }
        // Round steps of the stride, and each route's last point.
        EXPECT_TRUE((t.number - 1) % f.numberStride == 0 || t.number == route.sailedPoints)
            << t.number;
      }
      EXPECT_EQ(route.turningPoints.back().number, route.sailedPoints);
    }
    expectApart(shown, "numbers");
    if (size.width < 100) {
      EXPECT_GT(hidden, 0u) << "a picture too small for its numbers";
    }
  }
}

// Names and numbers cover neither a track nor one another, however close the marks or dense the
// legs: a last known position's long name once sat on a parallel sweep's legs. A text with no
// free place is left out.
TEST_F(PlanFigureTest, LabelsCoverNeitherTheTracksNorOneAnother) {
  PatternParams close = kParallel;  // the start points and the datum within pixels of each other
  close.count = 0;
  close.leg = 0.001;
  close.spacing = 0.001;
  PatternParams dense = kParallel;
  dense.count = 40;
  vestrand::PlanExtras extras;
  const vestrand::GeoPoint lkp{43.5 - 1.0 / 60.0, -3.75};
  extras.marks.push_back({"Letzte bekannte Position", lkp, vestrand::MarkShape::Triangle});
  extras.lines.push_back({{lkp, {43.5, -3.75}}, vestrand::kInk, 1.5, true});
  for (const PatternParams& p : {kSector, kSquare, kParallel, close, dense}) {
    for (const PictureSize size :
         {PictureSize{420, 360}, PictureSize{800, 0}, PictureSize{240, 200}}) {
      SCOPED_TRACE(testing::Message()
                   << static_cast<int>(p.kind) << " " << p.count << " " << size.width);
      const PlanFigure f = figure(p, size, extras);
      std::vector<PixelBox> shown;
      for (const auto& m : f.marks) {
        if (m.nameShown) shown.push_back(m.name.box());
      }
      for (const auto& route : f.routes) {
        for (const auto& t : route.turningPoints) {
          if (t.numberShown) shown.push_back(t.label.box());
        }
      }
      EXPECT_FALSE(shown.empty());
      expectApart(shown, "texts");
      // Every track, sampled each pixel along its legs, stays outside every text.
      for (const auto& route : f.routes) {
        for (std::size_t i = 1; i < route.line.size(); ++i) {
          const PixelPoint a = route.line[i - 1].at, b = route.line[i].at;
          const int steps = 1 + static_cast<int>(std::hypot(b.x - a.x, b.y - a.y));
          for (int k = 0; k <= steps; ++k) {
            const double t = static_cast<double>(k) / steps;
            const PixelPoint on{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
            for (const PixelBox& box : shown) {
              const PixelBox inner{box.left + 0.01, box.top + 0.01, box.right - 0.01,
                                   box.bottom - 0.01};
              ASSERT_FALSE(inner.contains(on)) << route.name << " leg " << i;
            }
          }
        }
      }
    }
  }
  // Where there is room, the datum keeps its name.
  EXPECT_TRUE(figure(kSector, {800, 0}).marks.front().nameShown);
}

TEST_F(PlanFigureTest, ScaleBarIsARoundLengthAtTheChartScale) {
  struct Case {
    PatternParams params;
    double length;
    const char* text;
  } const cases[] = {
      {kSector, 1.0, "1 NM"},
      {{PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 0.05, 0}, 0.02, "0.02 NM"},
  };
  for (const Case& c : cases) {
    const PlanFigure f = figure(c.params);
    const auto& bar = f.scaleBar;
    EXPECT_NEAR(bar.length, c.length, 1e-12);
    EXPECT_EQ(bar.label.text, c.text);
    EXPECT_NEAR(bar.to.x - bar.from.x, bar.length * f.frame.scale, kPixelTolerance);
    const double areaWidth = f.frame.chartArea.right - f.frame.chartArea.left;
    EXPECT_LE(bar.to.x - bar.from.x, areaWidth / 3.0 + kPixelTolerance);
    EXPECT_GT(bar.to.x - bar.from.x, areaWidth / 3.0 / 2.5);
  }
}

TEST_F(PlanFigureTest, TwoUnitsInTwoColoursWithTheirLegend) {
  // The routes' own colours are checked in the picture.
  const vestrand::Rgb red{0xc8, 0x10, 0x2e};
  const PlanFigure two = figure(kParallel);
  ASSERT_EQ(two.legend.size(), 2u);
  EXPECT_EQ(two.legend[0].text, "20121225143000 - PS-left 0.0");
  EXPECT_EQ(two.legend[1].colour, red);
  EXPECT_EQ(two.routes[1].turningPoints.front().label.colour, red);
}

TEST_F(PlanFigureTest, HugePatternKeepsFewPointsEndsAndNumbers) {
  PatternParams huge{PatternKind::ExpandingSquare, 43.5, -3.75, 30.0, 0.001, 0.0, 100000};
  const PlanFigure f = figure(huge);
  ASSERT_EQ(f.routes.size(), 1u);
  const auto& route = f.routes[0];
  EXPECT_EQ(route.sailedPoints, 200002u);
  // The corners of the loops lie on four diagonals: a few pixels' worth each.
  EXPECT_LT(route.line.size(), 4000u);
  EXPECT_EQ(route.line.front().number, 1u);
  EXPECT_EQ(route.line.back().number, 200002u);
  std::set<std::pair<long, long>> pixels;
  for (std::size_t i = 0; i < route.line.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(route.line[i - 1].number, route.line[i].number);
    }
    if (i + 1 < route.line.size()) {
      EXPECT_TRUE(pixels
                      .insert({std::lround(std::floor(route.line[i].at.x)),
                               std::lround(std::floor(route.line[i].at.y))})
                      .second)
          << "two kept points on one pixel";
    }
  }
  EXPECT_LE(route.turningPoints.size(), 61u);
}

TEST_F(PlanFigureTest, ExtraMarkAndDashedLineCountForTheFrame) {
  // A last known position ten miles north of the datum, far outside the sector.
  const vestrand::GeoPoint lkp{40.0 + 10.0 / 60.0, -10.0};
  vestrand::PlanExtras extras;
  extras.marks.push_back({"LKP", lkp, vestrand::MarkShape::Triangle});
  extras.lines.push_back({{lkp, {40.0, -10.0}}, vestrand::kInk, 1.5, true});
  const PlanFigure f = figure(kSector, {420, 360}, extras);
  ASSERT_EQ(f.marks.size(), 3u);
  EXPECT_EQ(f.marks[2].name.text, "LKP");
  EXPECT_NEAR(f.marks[2].at.y, f.frame.chartArea.top, kPixelTolerance);
  ASSERT_EQ(f.lines.size(), 1u);
  ASSERT_EQ(f.lines[0].points.size(), 2u);
  EXPECT_TRUE(f.lines[0].dashed);
  EXPECT_NEAR(f.lines[0].points[1].x, f.marks[0].at.x, kPixelTolerance);  // ends at the datum
  EXPECT_NEAR(f.lines[0].points[1].y, f.marks[0].at.y, kPixelTolerance);
}

TEST_F(PlanFigureTest, PointsBeyondTheChartKeepTheirNumbersButAreNotDrawn) {
  vestrand::PlanDrawing d;
  d.routes.push_back({"r", 0, {{0, 0}, {1e300, 0}, {NAN, 1}, {1, 1}, {2, 0}, {1, 1e300}}});
  const PlanFigure f = vestrand::layoutPlanFigure(d, {420, 360});
  std::vector<std::size_t> numbers;
  for (const auto& v : f.routes[0].line) {
    numbers.push_back(v.number);
    EXPECT_TRUE(std::isfinite(v.at.x) && std::isfinite(v.at.y));
  }
  EXPECT_EQ(numbers, (std::vector<std::size_t>{1, 4, 5}));
  EXPECT_EQ(f.routes[0].sailedPoints, 6u);
  EXPECT_TRUE(std::isfinite(f.frame.scale) && f.frame.scale > 0.0);
}

}  // namespace
