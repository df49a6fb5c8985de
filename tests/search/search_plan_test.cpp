// The search plan against closed forms: the POC of a rectangle against numeric integration, the
// planned POS against the bound of the best possible allocation of effort, the strips against
// the units' efforts, the routes against their strips and endurance.
#include "search_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Derrota.h"
#include "angulos.h"

namespace vestrand {
namespace {

// The mixture of circular normals about `datums` (x along, y across) integrated over the
// rectangle by Simpson's rule on an n x n grid.
double integratedPoc(double length, double width,
                     const std::vector<std::pair<double, double>>& datums, double sigma,
                     int n = 400) {
  const double hx = length / n;
  const double hy = width / n;
  auto weight = [n](int i) { return i == 0 || i == n ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0); };
  double sum = 0.0;
  for (int i = 0; i <= n; ++i) {
    const double x = -length / 2.0 + i * hx;
    for (int j = 0; j <= n; ++j) {
      const double y = -width / 2.0 + j * hy;
      double density = 0.0;
      for (const auto& [dx, dy] : datums) {
        density += std::exp(-((x - dx) * (x - dx) + (y - dy) * (y - dy)) / (2.0 * sigma * sigma));
      }
      sum += weight(i) * weight(j) * density;
    }
  }
  const double norm = 2.0 * std::numbers::pi * sigma * sigma * static_cast<double>(datums.size());
  return sum * hx * hy / 9.0 / norm;
}

TEST(SearchArea, PocOfARectangleIsTheIntegralOfTheDistribution) {
  // Two datums 3 NM apart on the long axis, and one datum off the centre on both axes.
  EXPECT_NEAR(searchAreaPoc(10.0, 6.0, 3.0, 2.0),
              integratedPoc(10.0, 6.0, {{-1.5, 0.0}, {1.5, 0.0}}, 2.0), 1e-9);
  EXPECT_NEAR(rectanglePoc(4.0, 1.5, 1.0, -0.7, 1.3), integratedPoc(8.0, 3.0, {{1.0, -0.7}}, 1.3),
              1e-9);
  // A datum 20 sigma off still gives its tail (8.5e-81 lies within 19 to 21 sigma), not the
  // difference of two numbers that both round to 1.
  EXPECT_NEAR(rectanglePoc(1.0, 1.0, 20.0, 0.0, 1.0) / (0.6826894921370859 * 8.527223952631352e-81),
              1.0, 1e-9);
}

TEST(SearchArea, ProbableErrorAndFixes) {
  const ProbableError e = probableError(3.0, 4.0, 0.0);
  EXPECT_DOUBLE_EQ(e.total, 5.0);
  EXPECT_NEAR(e.sigma, 5.0 / 1.1774100225154747, 1e-12);
  EXPECT_DOUBLE_EQ(probableError(0.0, 0.0, 10.0).drift, 3.0);
  EXPECT_DOUBLE_EQ(findFixError("GNSS")->error, 0.1);
  EXPECT_DOUBLE_EQ(findFixError("celestial")->error, 2.0);
  EXPECT_DOUBLE_EQ(findFixError("Beacon")->error, 4.0);
  EXPECT_EQ(findFixError("loran"), nullptr);
}

SearchPlan planOf(const SearchPlanInput& input) {
  SearchPlan plan;
  EXPECT_EQ(planSearch(input, plan), PlanFault::None);
  return plan;
}

// For exponential detection and the best allocation of effort over a circular normal, the
// probability of success is POS* = 1 - (1 + u) e^-u, u = sqrt(Z / (pi sigma^2)). A uniform
// rectangle can only come near it.
TEST(SearchPlan, PosStaysUnderTheBoundOfTheBestAllocationAndComesNearIt) {
  for (const double zr : {1.0, 2.0, 3.0, 5.0, 8.0, 12.0, 20.0}) {
    SearchPlanInput in;
    in.datums = manualDatums(43.5, -3.75, 0.0, {}, {});
    in.x = 3.0;  // E = 3 NM
    const double z = zr * 9.0;
    in.units = {{"A", 10.0, z / 20.0, 2.0, {}}};
    const SearchPlan p = planOf(in);
    const double u = std::sqrt(p.effort / (std::numbers::pi * p.error.sigma * p.error.sigma));
    const double bound = 1.0 - (1.0 + u) * std::exp(-u);
    SCOPED_TRACE(zr);
    EXPECT_NEAR(p.relativeEffort, zr, 1e-12);
    EXPECT_LE(p.optimum.pos, bound);
    EXPECT_LE(p.planned.pos, p.optimum.pos);
    EXPECT_GT(p.planned.pos, 0.94 * bound);
    // The radius is the optimum to 0.1 %: neither side of it does better.
    for (const double f : {0.998, 1.002}) {
      const double r = p.radius * f;
      EXPECT_LE(areaFigures(2 * r, 2 * r, 0.0, p.error.sigma, p.effort, in.conditions).pos,
                p.optimum.pos + 1e-12);
    }
  }
}

// A point of the plan in the plane of the area's centre: along the axis and to its right.
std::pair<double, double> onPlane(const SearchPlan& plan, const LatLon& p) {
  double course = 0.0;
  double distance = 0.0;
  RumboDistancia(plan.area.centre.lat, plan.area.centre.lon, p.lat, p.lon, &course, &distance);
  const double a = (course - plan.area.axisCourse) * kPi / 180.0;
  return {distance * std::cos(a), distance * std::sin(a)};
}

// Three units of different speed, endurance and sweep width, about two diverging datums.
SearchPlanInput threeUnits() {
  SearchPlanInput in;
  const Leeway leeway = leewayOf(*leewayClassByKey("PIW-1"), 300.0, 25.0);
  in.datums = leewayDatums(43.5, -3.75, 6.0, {70.0, 0.8}, leeway);
  in.x = 1.0;
  in.y = 0.1;
  in.units = {{"Helo", 90.0, 1.5, 1.2, {}},
              {"Salvamar", 18.0, 4.0, 0.9, UnitStart{{43.6, -3.9}, 20.0}},
              {"Fisher_2", 8.0, 6.0, 0.6, {}}};
  return in;
}

TEST(SearchPlan, StripsShareTheAreaInProportionToEffort) {
  const SearchPlanInput in = threeUnits();
  const SearchPlan p = planOf(in);
  ASSERT_EQ(p.units.size(), 3u);
  double total = 0.0;
  double covered = 0.0;
  for (std::size_t i = 0; i < p.units.size(); ++i) {
    const UnitPlan& u = p.units[i];
    total += u.strip.area();
    covered += in.units[i].speed * in.units[i].hours * u.spacing;
    EXPECT_NEAR(u.strip.area() / p.area.area(), u.effort / p.effort, 1e-12) << u.name;
    EXPECT_DOUBLE_EQ(u.strip.width, p.area.width);
    // Rounded down to a tenth of a mile, never up.
    EXPECT_NEAR(u.spacing * 10.0, std::round(u.spacing * 10.0), 1e-9) << u.name;
    EXPECT_LE(u.spacing, u.optimumSpacing);
    EXPECT_GT(u.spacing, u.optimumSpacing - kSpacingStep);
  }
  EXPECT_NEAR(total, p.area.area(), 1e-9);
  EXPECT_NEAR(p.area.area(), covered, 1e-9);
  EXPECT_NEAR(p.area.length / p.area.width, p.optimumArea.length / p.optimumArea.width, 1e-12);
  EXPECT_NEAR(p.planned.coverage, p.effort / covered, 1e-12);
}

TEST(SearchPlan, RoutesLieInsideTheirStripsAndWithinTheirEndurance) {
  const SearchPlanInput in = threeUnits();
  const SearchPlan p = planOf(in);
  constexpr double kMiles = 1e-6;
  double u0 = -p.area.length / 2.0;
  for (std::size_t i = 0; i < p.units.size(); ++i) {
    const UnitPlan& u = p.units[i];
    const double u1 = u0 + u.strip.length;
    SCOPED_TRACE(u.name);
    EXPECT_LE(u.track, in.units[i].speed * in.units[i].hours);
    EXPECT_EQ(u.route.size(), 2u * static_cast<std::size_t>(u.legs));
    for (const LatLon& point : u.route) {
      const auto [x, y] = onPlane(p, point);
      // ½ S inside the strip on every side.
      EXPECT_GE(x, u0 + u.spacing / 2.0 - kMiles);
      EXPECT_LE(x, u1 - u.spacing / 2.0 + kMiles);
      EXPECT_GE(y, -p.area.width / 2.0 + u.spacing / 2.0 - kMiles);
      EXPECT_LE(y, p.area.width / 2.0 - u.spacing / 2.0 + kMiles);
    }
    // As many legs as fit: one more would leave the strip.
    const double across = std::min(u.strip.length, u.strip.width);
    EXPECT_LE((u.legs + u.droppedLegs) * u.spacing, across + kMiles);
    EXPECT_GT((u.legs + u.droppedLegs + 1) * u.spacing, across);
    u0 = u1;
  }
  // The smallest unit's spacing, 0.174 NM, was rounded down to 0.1: its strip would take nine
  // legs, more track than it has, and two leg pairs are dropped.
  EXPECT_EQ(p.units[2].droppedLegs, 4);
  EXPECT_EQ(p.units[2].legs, 5);
}

TEST(SearchPlan, DatumsDivergeAcrossTheWindAndSetTheAxis) {
  // PIW-1 at 20 kn from the north: 0.108 kn to either side of south for 10 h, no current.
  const Leeway l = leewayOf(*leewayClassByKey("PIW-1"), 0.0, 20.0);
  const Datums d = leewayDatums(0.0, 0.0, 10.0, {}, l);
  EXPECT_TRUE(d.diverges());
  EXPECT_NEAR(d.divergence, 2.0 * 1.0800024960057686, 1e-6);
  EXPECT_NEAR(d.downwind.distance, 1.9200044373435884, 1e-12);
  EXPECT_LT(d.right.lon, 0.0);  // west: the right of a southward drift
  EXPECT_GT(d.left.lon, 0.0);
  SearchPlanInput in;
  in.datums = d;
  in.x = 1.0;
  in.units = {{"A", 10.0, 4.0, 1.0, {}}};
  const SearchPlan p = planOf(in);
  EXPECT_NEAR(p.area.axisCourse, 270.0, 1e-9);  // from the left datum to the right one
  EXPECT_NEAR(p.error.drift, 0.3 * 1.9200044373435884, 1e-9);
  EXPECT_NEAR(p.optimumArea.length - p.optimumArea.width, d.divergence, 1e-9);
  EXPECT_NEAR(p.area.centre.lat, d.downwind.lat, 1e-9);
}

TEST(SearchPlan, ArrivalIsMeasuredToTheNearestCspAndLateAfterTheDatumTime) {
  SearchPlanInput in = threeUnits();
  const SearchPlan p = planOf(in);
  const UnitPlan& u = p.units[1];
  ASSERT_TRUE(u.arrival.has_value());
  double course = 0.0;
  double distance = 0.0;
  RumboDistancia(43.6, -3.9, u.csp().lat, u.csp().lon, &course, &distance);
  EXPECT_NEAR(u.arrival->distance, distance, 1e-12);
  EXPECT_NEAR(u.arrival->hours, distance / 20.0, 1e-12);
  EXPECT_EQ(u.arrival->late, distance / 20.0 > 6.0);
  EXPECT_FALSE(p.units[0].arrival.has_value());
  in.units[1].start->transitSpeed = 1.0;  // far too slow
  EXPECT_TRUE(planOf(in).units[1].arrival->late);
}

// One unit about one datum without drift: a square area whose long axis runs north.
SearchPlanInput oneUnit(std::optional<UnitStart> start, double hours = 3.0) {
  SearchPlanInput in;
  in.datums = manualDatums(43.5, -3.75, 2.0, {}, {});
  in.x = 2.0;
  in.units = {{"A", 5.0, hours, 0.5, start}};
  return in;
}

TEST(SearchPlan, SweepBeginsHalfASpacingInsideTheCornerNearestTheStart) {
  const SearchPlan south = planOf(oneUnit({}));
  ASSERT_DOUBLE_EQ(south.area.axisCourse, 0.0);
  const UnitPlan& u = south.units[0];
  const double s = u.spacing;
  // Without a start, the rear left corner: south-west.
  auto [x, y] = onPlane(south, u.csp());
  EXPECT_NEAR(x, -south.area.length / 2.0 + s / 2.0, 1e-6);
  EXPECT_NEAR(y, -south.area.width / 2.0 + s / 2.0, 1e-6);
  double course = 0.0;
  double distance = 0.0;
  RumboDistancia(u.route[0].lat, u.route[0].lon, u.route[1].lat, u.route[1].lon, &course,
                 &distance);
  // The first leg runs north, the long way (to the convergence of the meridians on the plane of
  // the centre).
  EXPECT_NEAR(ang_180(course), 0.0, 0.05);
  EXPECT_NEAR(distance, south.area.length - s, 1e-4);
  // A unit coming from the north-east starts in the north-east corner.
  const SearchPlan ne = planOf(oneUnit(UnitStart{{44.0, -3.0}, 20.0}));
  std::tie(x, y) = onPlane(ne, ne.units[0].csp());
  EXPECT_NEAR(x, ne.area.length / 2.0 - s / 2.0, 1e-6);
  EXPECT_NEAR(y, ne.area.width / 2.0 - s / 2.0, 1e-6);
}

// A unit whose track is shorter than the area's side: S = A / (V T) is wider than the area, and
// its one leg runs down the middle from edge to edge.
TEST(SearchPlan, StripNarrowerThanTheSpacingGetsOneLegDownItsMiddle) {
  const SearchPlan p = planOf(oneUnit({}, 0.2));
  const UnitPlan& u = p.units[0];
  ASSERT_GT(u.spacing, p.area.length);
  EXPECT_EQ(u.legs, 1);
  const auto [x0, y0] = onPlane(p, u.route[0]);
  const auto [x1, y1] = onPlane(p, u.route[1]);
  EXPECT_NEAR(x0, -p.area.length / 2.0, 1e-6);
  EXPECT_NEAR(x1, p.area.length / 2.0, 1e-6);
  EXPECT_NEAR(y0, 0.0, 1e-6);
  EXPECT_NEAR(y1, 0.0, 1e-6);
  // Longer than the unit's one mile of track: said, as nothing can be dropped.
  EXPECT_TRUE(u.overEndurance);
}

class Recorder final : public PatternSink {
 public:
  void startRoute(const char* name) override { routes.push_back(name); }
  void routePoint(double, double, const char*) override {}
  void endRoute() override {}
  void waypoint(double, double, const char* name) override { marks.push_back(name); }
  std::vector<std::string> routes, marks;
};

TEST(SearchPlan, FileHoldsARoutePerUnitAndTheNamedMarks) {
  Recorder r;
  sailSearchPlan(planOf(threeUnits()), "S", r);
  EXPECT_EQ(r.routes, (std::vector<std::string>{"S - Helo", "S - Salvamar", "S - Fisher_2"}));
  EXPECT_EQ(r.marks, (std::vector<std::string>{"Datum L", "Datum R", "Datum DW", "Area 1", "Area 2",
                                               "Area 3", "Area 4", "CSP Helo", "CSP Salvamar",
                                               "CSP Fisher_2"}));
}

TEST(SearchPlan, RefusesWhatCannotBePlanned) {
  SearchPlanInput in = threeUnits();
  SearchPlan p;
  in.units[2].sweepWidth = 0.0;
  EXPECT_EQ(planSearch(in, p), PlanFault::NoEffort);
  in = threeUnits();
  in.datums = manualDatums(10.0, 0.0, 0.0, {}, {});
  in.x = 0.0;
  in.y = 0.0;
  EXPECT_EQ(planSearch(in, p), PlanFault::NoError);
  in = threeUnits();
  in.datums = manualDatums(89.99, 0.0, 0.0, {}, {});
  EXPECT_EQ(planSearch(in, p), PlanFault::PastPole);
}

}  // namespace
}  // namespace vestrand
