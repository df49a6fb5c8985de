// The plan summary of the worked examples: legs, track length, time, area and position texts, and
// the rows both programs show.
#include "plan_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "plan_chart.h"
#include "vestrand.gpx.h"

namespace {

using vestrand::PatternKind;
using vestrand::PatternNames;
using vestrand::PatternParams;
using vestrand::PlanSummary;

// Plane sailing between the turning points gives back the leg lengths to rounding.
constexpr double kMilesTolerance = 1e-9;
// The chart is flat and the legs are not: a few metres over a few miles.
constexpr double kChartTolerance = 1e-3;

PlanSummary summarize(const PatternParams& p) {
  PatternNames names;
  EXPECT_TRUE(vestrand::composePatternNames(p, "20121225143000", names));
  return vestrand::summarizePattern(p, names);
}

const PatternParams kSector{PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0};
const PatternParams kSquare{PatternKind::ExpandingSquare, 40.0, -10.0, 0.0, 1.0, 0.0, 2};
const PatternParams kCreeping{PatternKind::CreepingLine, 43.5, -3.75, 0.0, 1.0, 4.0, 1};
const PatternParams kParallel{PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 1};

TEST(PlanSummary, WorkedExamples) {
  PatternParams creeping45 = kCreeping, parallel0 = kParallel;
  creeping45.course = 45.0;  // the box follows the search course
  parallel0.count = 0;       // the shortest form: no legs, the start points one spacing apart
  const struct {
    PatternParams params;
    int legs;
    double track, boxLength, boxWidth;
    std::vector<std::string> marks;
    std::string latText, lonText;  // of the first mark
  } rows[] = {
      // The sector spans one radius each way along the course, two triangles' height across.
      {kSector, 7, 18, 4, 4 * std::sin(M_PI / 3), {"Datum", "CSP"}, "N40º  0.00'", "W010º  0.00'"},
      {kSquare, 5, 9, 3, 2, {"CSP/Datum"}, "N40º  0.00'", "W010º  0.00'"},
      {kCreeping, 5, 12, 4, 2, {"Datum/CSP"}, "N43º 30.00'", "W003º 45.00'"},
      {creeping45, 5, 12, 4, 2, {"Datum/CSP"}, "N43º 30.00'", "W003º 45.00'"},
      // From 2.5 miles left to 2.5 right, the closing cross legs included; no run-in.
      {kParallel, 8, 20, 4, 5, {"Datum", "CSP1", "CSP2"}, "N43º 30.00'", "W003º 45.00'"},
      {parallel0, 0, 0, 0, 1, {"Datum", "CSP1", "CSP2"}, "N43º 30.00'", "W003º 45.00'"},
  };
  for (const auto& row : rows) {
    const PlanSummary s = summarize(row.params);
    SCOPED_TRACE(s.routes.at(0).name);
    EXPECT_EQ(s.legs, row.legs);
    EXPECT_NEAR(s.trackLength, row.track, kMilesTolerance);
    EXPECT_NEAR(s.boxLength, row.boxLength, kChartTolerance);
    EXPECT_NEAR(s.boxWidth, row.boxWidth, kChartTolerance);
    std::vector<std::string> marks;
    for (const auto& m : s.marks) marks.push_back(m.name);
    EXPECT_EQ(marks, row.marks);
    EXPECT_EQ(s.marks.at(0).latText, row.latText);
    EXPECT_EQ(s.marks.at(0).lonText, row.lonText);
  }
  EXPECT_NEAR(summarize(kSquare).boxArea(), 6.0, 10 * kChartTolerance);
  EXPECT_EQ(summarize(kSector).routes.at(0).points, 8);
}

// The area covered is the track times the spacing (the sector: its circle), not the box: the box
// is smaller for the square and the creeping line, larger for the parallel sweep. The box is
// measured with the legs' own sailing, so it keeps its size at any latitude (a flat chart of the
// datum once made it 0.8% off at 65N and 2.6% at 75N).
TEST(PlanSummary, AreaCoveredBesideTheBoxOfTheLegsOwnSailing) {
  const auto at = [](PatternParams p, double lat, double course) {
    p.lat = lat;
    p.course = course;
    return p;
  };
  // The parallel sweep's run-in to its commence search points is no leg: the box places them by
  // one plane sailing from the datum, a few metres from where the two runs put them.
  constexpr double kRunIn = 2e-3;
  const struct {
    PatternParams params;
    double covered, boxLength, boxWidth, tolerance;
  } rows[] = {
      {kSector, M_PI * 4, 4, 4 * std::sin(M_PI / 3), kMilesTolerance},
      {kSquare, 9, 3, 2, kMilesTolerance},
      {kCreeping, 12, 4, 2, kMilesTolerance},
      {kParallel, 20, 4, 5, kRunIn},
      {at(kCreeping, 65, 0), 12, 4, 2, kMilesTolerance},
      {at(kCreeping, 75, 0), 12, 4, 2, kMilesTolerance},
      {at(kCreeping, 75, 45), 12, 4, 2, kMilesTolerance},
      {at(kSquare, 75, 90), 9, 3, 2, kMilesTolerance},
      {at(kParallel, -75, 270), 20, 4, 5, kRunIn},
  };
  for (const auto& row : rows) {
    const PlanSummary s = summarize(row.params);
    SCOPED_TRACE(s.routes.at(0).name + " at " + std::to_string(row.params.lat));
    EXPECT_NEAR(s.coveredArea(), row.covered, 1e-8);
    EXPECT_NEAR(s.boxLength, row.boxLength, row.tolerance);
    EXPECT_NEAR(s.boxWidth, row.boxWidth, row.tolerance);
  }
  const std::vector<vestrand::SummaryRow> rows2 = vestrand::summaryRows(summarize(kSquare), 8.0);
  ASSERT_GE(rows2.size(), 7u);
  EXPECT_EQ(rows2[5].label, "box");
  EXPECT_EQ(rows2[6].label, "covered");
  EXPECT_EQ(rows2[6].value, "9.00 NM\xC2\xB2");
}

TEST(PlanTime, HoursAtSpeedAndTheirText) {
  EXPECT_EQ(vestrand::hoursAtSpeed(18.0, 8.0), 2.25);
  for (double speed : {0.0, -1.0, double(NAN)}) {
    EXPECT_TRUE(std::isnan(vestrand::hoursAtSpeed(18.0, speed))) << speed;
  }
  const std::pair<double, const char*> texts[] = {
      {2.25, "2:15"},    {0.0, "0:00"}, {0.999, "1:00"}, {5.0 / 60, "0:05"},
      {123.5, "123:30"}, {NAN, "-"},    {INFINITY, "-"}, {-1.0, "-"}};
  for (const auto& [hours, text] : texts) EXPECT_EQ(vestrand::hoursMinutesText(hours), text);
}

using Rows = std::vector<vestrand::SummaryRow>;

// Each unit its own row; the time is the longer unit's.
TEST(PlanRows, TranslatedWordsMayMoveTheValues) {
  vestrand::SummaryTexts t;
  t.patternTitles[PatternKind::ParallelSweep] = "barrido paralelo";
  t.units = "%1 unidades";
  t.unitLabels = {"1. unitatea", "2. unitatea"};
  t.unitValue = "%2 Schenkel, %3 sm, %4 (%1)";
  t.duration = "%2 h = %1";
  const PlanSummary s = summarize(kParallel);
  const Rows rows = vestrand::summaryRows(s, 0.5, t);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[0].value, "barrido paralelo (PS_PM), 2 unidades");
  EXPECT_EQ(rows[4].value, "20.00 h = 20:00");
  EXPECT_EQ(rows[7].value, "4 Schenkel, 10.00 sm, 20.00 h = 20:00 (20121225143000 - PS-left 0.0)");
  EXPECT_EQ(rows[8].label, "2. unitatea");
  EXPECT_EQ(rows[8].value, "4 Schenkel, 10.00 sm, 20.00 h = 20:00 (20121225143000 - PS-right 0.0)");
}

TEST(PlanRows, NoSpeedGivesNoTime) {
  const Rows rows = vestrand::summaryRows(summarize(kSector), 0.0);
  EXPECT_EQ(rows[4].value, "-");
  EXPECT_EQ(rows[7].value, "20121225143000 - VS 30.0: 7 legs, 18.00 NM, -");
}

// The bounds and points are checked against the figure drawn from them.
TEST(PlanDrawing, RoutesOfTheirUnitsAndMarksOfTheirShapes) {
  PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(kParallel, "x", names));
  const vestrand::PlanDrawing d = vestrand::drawPattern(kParallel, names);
  ASSERT_EQ(d.routes.size(), 2u);
  EXPECT_EQ(d.routes[0].unit, 0);
  EXPECT_EQ(d.routes[1].unit, 1);
  ASSERT_EQ(d.marks.size(), 3u);
  EXPECT_EQ(d.marks[0].shape, vestrand::MarkShape::Cross);
  EXPECT_EQ(d.marks[1].shape, vestrand::MarkShape::Square);
}

TEST(PlanDrawing, RoundStridesAndScaleLengths) {
  const std::pair<std::size_t, std::size_t> strides[] = {{8, 1},   {60, 1},    {61, 2},
                                                         {250, 5}, {2002, 50}, {4000004, 100000}};
  for (const auto& [points, stride] : strides) EXPECT_EQ(vestrand::labelStride(points, 60), stride);
  const std::pair<double, double> lengths[] = {{1.0, 1.0},     {1.9, 1.0}, {4.5, 2.0}, {7.0, 5.0},
                                               {130.0, 100.0}, {0.3, 0.2}, {0.0, 1.0}};
  for (const auto& [span, length] : lengths) {
    EXPECT_NEAR(vestrand::roundScaleLength(span), length, 1e-15) << span;
  }
}

// One unit sails both passes of a sector in turn: the time is that of both, each pass its row.
TEST(PlanRows, SectorPassesAddUpForOneUnit) {
  PatternParams twoPasses = kSector;
  twoPasses.passes = 2;
  const Rows rows = vestrand::summaryRows(summarize(twoPasses), 8.0);
  EXPECT_EQ(rows[0].value, "sector (VS), 1 unit, 2 passes");
  EXPECT_EQ(rows[4].value, "4:30 (4.50 h)");
  EXPECT_EQ(rows[7].label, "pass 1");
  EXPECT_EQ(rows[8].label, "pass 2");
  EXPECT_EQ(rows[8].value, "20121225143000 - VS 60.0: 7 legs, 18.00 NM, 2:15 (2.25 h)");
}

}  // namespace

// A route longer than many plotters keep is named with its points, unless the routes are split.
TEST(PlanRows, LongRouteWarnsUnlessSplit) {
  for (const auto& [count, maxPoints, warned] :
       {std::tuple{124, 0, false}, {125, 0, true}, {125, 250, false}}) {
    PatternParams square = kSquare;
    square.count = count;  // 2 * count + 2 points
    const Rows rows = vestrand::summaryRows(summarize(square), 8.0, {}, maxPoints);
    EXPECT_EQ(rows.back().label == "warning", warned) << count << " " << maxPoints;
    if (warned) {
      EXPECT_EQ(rows.back().value,
                "20121225143000 - SS 0.0 has 252 points, more than the 250 many plotters keep; "
                "split it with --max-points 250");
    }
  }
}
