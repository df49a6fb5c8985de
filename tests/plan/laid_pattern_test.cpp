// A pattern laid in drifting water as the plan shows it: the leg table's legs are the compensated
// ones over the ground, timed by the unit's way through the water; the summary is the pattern
// sailed through the water under the compensated file's names and marks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "leg_table.h"
#include "plan_figure.h"
#include "plan_summary.h"

namespace {

using vestrand::PatternKind;
using vestrand::PatternParams;

TEST(LaidPattern, LegTableTimesTheWayThroughTheWater) {
  const PatternParams ground{PatternKind::CreepingLine, 43.5, -3.75, 0, 1, 4, 1};
  PatternParams laid = ground;
  laid.drift = {90.0, 2.0};
  laid.searchSpeed = 8.0;
  vestrand::PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(laid, "S", names));
  std::vector<vestrand::LegRow> rows;
  vestrand::sailLegTable(laid, names, 8.0, [&](const vestrand::LegRow& r) { rows.push_back(r); });
  // Legs 2, 1, 4, 1, 4 miles through the water at 8 knots.
  const double hours[] = {0.25, 0.375, 0.875, 1.0, 1.5};
  ASSERT_EQ(rows.size(), 5u);
  double total = 0.0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_NEAR(rows[i].hours, hours[i], 1e-12) << i;
    total += rows[i].distance;
  }
  // The first leg runs 2 miles north through water that moves 0.5 miles east meanwhile: over the
  // ground atan(0.5 / 2) east of north and hypot(2, 0.5) long, on a flat chart (the sailings'
  // mean latitudes move the departure in the fourth digit).
  EXPECT_NEAR(rows[0].course, 14.036243467926479, 5e-3);
  EXPECT_NEAR(rows[0].distance, 2.0615528128088303, 5e-5);

  const vestrand::PlanSummary summary = vestrand::summarizePattern(laid, names);
  const vestrand::PlanSummary inWater = vestrand::summarizePattern(ground, names);
  EXPECT_DOUBLE_EQ(summary.trackLength, inWater.trackLength);  // the time is the water's
  EXPECT_DOUBLE_EQ(summary.boxLength, inWater.boxLength);
  EXPECT_NEAR(summary.groundTrack, total, 1e-12);
  EXPECT_EQ(summary.routes[0].name, "S - CS 0.0 compensated for drift 090 at 2.0 kn");
  // The faint ground pattern under the compensated one.
  const vestrand::PlanExtras guides = vestrand::patternGuideLines(laid, names);
  ASSERT_EQ(guides.lines.size(), 1u);
  EXPECT_EQ(guides.lines[0].points.size(), 6u);
  EXPECT_TRUE(vestrand::patternGuideLines(ground, names).lines.empty());
}

}  // namespace
