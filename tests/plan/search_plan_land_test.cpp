// A search plan against the coast, on the shorelines of gmt-gshhg-low: land left out of the
// routes, the strips and the POC.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "datums.h"
#include "land_atlas.h"
#include "search_plan.h"

namespace {

using vestrand::LatLon;
using vestrand::SearchPlan;
using vestrand::SearchPlanInput;

const vestrand::land::LandMask& intermediate() {
  static const vestrand::land::Atlas atlas({VESTRAND_GSHHG_TEST_DIR});
  static const auto mask = atlas.mask(vestrand::land::Resolution::Intermediate);
  return *mask;
}

struct CoastCase {
  const char* name;
  double lat, lon, hours;  // the datum, drifted by nothing
  std::size_t transits;    // joins round land the routes must keep
};

SearchPlanInput coastInput(const CoastCase& c, bool land) {
  SearchPlanInput in;
  in.datums = vestrand::manualDatums(c.lat, c.lon, c.hours, {}, {});
  in.x = 1.0;
  in.y = 0.1;
  in.units = {{"A", 10.0, 3.0, 0.5, {}}, {"B", 15.0, 2.0, 0.5, {}}};
  if (land) in.land = &intermediate();
  return in;
}

const CoastCase kCoasts[] = {
    {"santander_bay", 43.50, -3.70, 2.0, 0},
    {"west_of_cabo_mayor", 43.49, -3.90, 2.0, 0},
};

class SearchPlanLand : public ::testing::TestWithParam<CoastCase> {};

// Every turning point on water, every leg on water but the transits reported, and the land
// stated; without the mask the same case crosses land.
TEST_P(SearchPlanLand, RoutesStayOnWater) {
  const CoastCase& c = GetParam();
  SearchPlan plan, bare;
  ASSERT_EQ(vestrand::planSearch(coastInput(c, true), plan), vestrand::PlanFault::None);
  ASSERT_EQ(vestrand::planSearch(coastInput(c, false), bare), vestrand::PlanFault::None);
  const auto& mask = intermediate();
  EXPECT_TRUE(plan.landChecked);
  EXPECT_GT(plan.areaLandShare, 0.0);
  std::size_t transits = 0, bareCrossings = 0;
  for (const auto& u : bare.units) {
    for (std::size_t i = 0; i + 1 < u.route.size(); ++i) {
      bareCrossings += mask.wayOverLand({u.route[i].lat, u.route[i].lon},
                                        {u.route[i + 1].lat, u.route[i + 1].lon}, true)
                           .crossesLand();
    }
  }
  EXPECT_GT(bareCrossings, 0u);
  for (const auto& u : plan.units) {
    transits += u.transits.size();
    for (const LatLon& p : u.route) EXPECT_FALSE(mask.onLand({p.lat, p.lon})) << u.name;
    for (std::size_t i = 0; i + 1 < u.route.size(); ++i) {
      const bool crosses = mask.wayOverLand({u.route[i].lat, u.route[i].lon},
                                            {u.route[i + 1].lat, u.route[i + 1].lon}, true)
                               .crossesLand();
      bool reported = false;
      for (const auto& t : u.transits) {
        reported = reported || (t.from.lat == u.route[i].lat && t.to.lat == u.route[i + 1].lat);
      }
      EXPECT_TRUE(!crosses || reported) << u.name << " leg " << i + 1;
    }
  }
  EXPECT_EQ(transits, c.transits);
}

// Each strip holds water in proportion to its unit's effort.
TEST_P(SearchPlanLand, StripsShareWater) {
  SearchPlan plan;
  ASSERT_EQ(vestrand::planSearch(coastInput(GetParam(), true), plan), vestrand::PlanFault::None);
  double water = 0.0;
  for (const auto& u : plan.units) water += u.strip.area() * (1.0 - u.landShare);
  for (const auto& u : plan.units) {
    EXPECT_NEAR(u.strip.area() * (1.0 - u.landShare) / water, u.effort / plan.effort, 0.01)
        << u.name;
  }
}

// The POC against the object's distribution sampled, the draws on land left out: the share of
// those afloat that fall in the area. 200,000 draws: a standard error below 0.0012.
TEST_P(SearchPlanLand, PocCountsWaterOnly) {
  SearchPlan plan;
  ASSERT_EQ(vestrand::planSearch(coastInput(GetParam(), true), plan), vestrand::PlanFault::None);
  const auto& mask = intermediate();
  std::mt19937_64 random(7);
  std::normal_distribution<double> normal(0.0, plan.error.sigma);
  const double kRadian = 3.14159265358979323846 / 180.0;
  const LatLon centre = plan.area.centre;
  const double axis = plan.area.axisCourse * kRadian;
  int afloat = 0, inside = 0;
  for (int k = 0; k < 200000; ++k) {
    const double north = normal(random), east = normal(random);
    const double lat = plan.datums.downwind.lat + north / 60.0;
    const double lon =
        plan.datums.downwind.lon + east / (60.0 * std::cos(plan.datums.downwind.lat * kRadian));
    if (mask.onLand({lat, lon})) continue;
    ++afloat;
    const double dn = (lat - centre.lat) * 60.0;
    const double de = (lon - centre.lon) * 60.0 * std::cos(centre.lat * kRadian);
    const double u = dn * std::cos(axis) + de * std::sin(axis);
    const double v = -dn * std::sin(axis) + de * std::cos(axis);
    inside += std::fabs(u) <= plan.area.length / 2.0 && std::fabs(v) <= plan.area.width / 2.0;
  }
  EXPECT_NEAR(plan.planned.poc, static_cast<double>(inside) / afloat, 0.006);
  EXPECT_NEAR(plan.afloat, static_cast<double>(afloat) / 200000.0, 0.006);
}

INSTANTIATE_TEST_SUITE_P(Coasts, SearchPlanLand, ::testing::ValuesIn(kCoasts),
                         [](const auto& param) { return std::string(param.param.name); });

// At open sea the plan with the mask is the plan without it, route for route.
TEST(SearchPlanLandOpenSea, SameAsWithoutLand) {
  const CoastCase sea{"sea", 45.0, -8.0, 2.0, 0};
  SearchPlan plan, bare;
  ASSERT_EQ(vestrand::planSearch(coastInput(sea, true), plan), vestrand::PlanFault::None);
  ASSERT_EQ(vestrand::planSearch(coastInput(sea, false), bare), vestrand::PlanFault::None);
  EXPECT_EQ(plan.areaLandShare, 0.0);
  ASSERT_EQ(plan.units.size(), bare.units.size());
  for (std::size_t i = 0; i < plan.units.size(); ++i) {
    ASSERT_EQ(plan.units[i].route.size(), bare.units[i].route.size());
    for (std::size_t k = 0; k < plan.units[i].route.size(); ++k) {
      EXPECT_EQ(plan.units[i].route[k].lat, bare.units[i].route[k].lat);
      EXPECT_EQ(plan.units[i].route[k].lon, bare.units[i].route[k].lon);
    }
  }
  EXPECT_EQ(plan.planned.poc, bare.planned.poc);
}

// An object whose distribution lies wholly on land has no plan.
TEST(SearchPlanLandInland, Refused) {
  SearchPlan plan;
  const CoastCase madrid{"madrid", 40.4, -3.7, 1.0, 0};
  EXPECT_EQ(vestrand::planSearch(coastInput(madrid, true), plan), vestrand::PlanFault::OnLand);
}

}  // namespace
