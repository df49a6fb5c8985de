// The picture of a search plan: a colour of its own for each of eight units, the strips and the
// area outlined, the marks of the file without the area's corners.
#include "search_figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vestrand {
namespace {

TEST(SearchFigure, EachOfEightUnitsHasItsOwnColourAndStrip) {
  SearchPlanInput in;
  in.datums = manualDatums(43.5, -3.75, 3.0, {90.0, 1.0}, {});
  in.x = 1.0;
  for (const char* name : {"A", "B", "C", "D", "E", "F", "G", "H"}) {
    in.units.push_back({name, 10.0, 2.0, 1.0, {}});
  }
  SearchPlan plan;
  ASSERT_EQ(planSearch(in, plan), PlanFault::None);
  const PlanFigure f = searchPlanFigure(plan, "S", {800.0, 0.0});
  ASSERT_EQ(f.routes.size(), 8u);
  EXPECT_EQ(f.routes[0].colour, kUnitColours[0]);  // as the patterns' two units
  EXPECT_EQ(f.routes[1].colour, kUnitColours[1]);
  for (std::size_t i = 0; i < 8; ++i) {
    for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(f.routes[i].colour == f.routes[j].colour);
    EXPECT_EQ(f.lines[i].colour, f.routes[i].colour);  // the strip in its unit's colour
    EXPECT_EQ(f.lines[i].points.size(), 5u);
  }
  // Then the area in ink and the dashed drift from the last known position.
  ASSERT_EQ(f.lines.size(), 10u);
  EXPECT_EQ(f.lines[8].colour, kInk);
  EXPECT_TRUE(f.lines[9].dashed);
  std::vector<std::string> marks;
  for (const FigureMark& m : f.marks) marks.push_back(m.name.text);
  EXPECT_EQ(std::count(marks.begin(), marks.end(), "Datum"), 1);
  EXPECT_EQ(std::count(marks.begin(), marks.end(), "LKP"), 1);
  EXPECT_EQ(std::count(marks.begin(), marks.end(), "CSP H"), 1);
  EXPECT_EQ(std::count_if(marks.begin(), marks.end(),
                          [](const std::string& m) { return m.starts_with("Area"); }),
            0);
}

}  // namespace
}  // namespace vestrand
