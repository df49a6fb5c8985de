// Particles strand on the shore: a current sets the cloud south onto the coast west of Santander
// (the shorelines of gmt-gshhg-low).
#include <gtest/gtest.h>

#include "drift_run.h"
#include "land_atlas.h"
#include "land_grid.h"

namespace {

using namespace vestrand::drift;

const vestrand::land::LandMask& intermediate() {
  static const vestrand::land::Atlas atlas({VESTRAND_GSHHG_TEST_DIR});
  static const auto mask = atlas.mask(vestrand::land::Resolution::Intermediate);
  return *mask;
}

struct Shore {
  ParticleCloud cloud;
  DriftOutcome outcome;
};

Shore drift(double hours) {
  DriftModel m;
  m.lat = 43.55;
  m.lon = -3.75;
  m.positionError = 1.0;
  const UniformForcing south({}, 180.0, 1.0);
  Shore s{seedCloud(m, 4000, 5), {}};
  DriftRun run{hours * 3600.0, 10.0, {}};
  const vestrand::land::LandGrid grid(intermediate(), driftReach(s.cloud, m, south, run));
  run.land = &grid;
  s.outcome = runDrift(s.cloud, m, south, run, 5);
  return s;
}

// Those that reached the coast in 6 h stay where they stranded, at the shore and with their
// weight, through 2 h more; the rest are at sea.
TEST(DriftLand, StrandedParticlesStop) {
  const Shore early = drift(6.0), late = drift(8.0);
  const auto& mask = intermediate();
  std::size_t count = 0;
  for (std::size_t i = 0; i < early.cloud.size(); ++i) {
    if (!stranded(early.cloud, i)) {
      EXPECT_FALSE(mask.onLand({early.cloud.lat(i), early.cloud.lon(i)})) << i;
      continue;
    }
    ++count;
    ASSERT_TRUE(stranded(late.cloud, i));
    EXPECT_EQ(late.cloud.dLat[i], early.cloud.dLat[i]);
    EXPECT_EQ(late.cloud.dLon[i], early.cloud.dLon[i]);
    EXPECT_EQ(late.cloud.weight[i], 1.0f);
    // The shore point, held in floats about the origin: within 2 m of the shoreline's data (one
    // in 25 asked: the nearest shore is a slow question).
    if (count % 25 == 0) {
      EXPECT_LT(mask.nearestShore({early.cloud.lat(i), early.cloud.lon(i)}).nm, 0.002) << i;
    }
  }
  // The coast lies 4.4 to 5.8 NM south of the cloud's centre, whose sigma is 0.85 NM: after 6 NM
  // of drift most, not all, have met it.
  EXPECT_GT(count, early.cloud.size() / 2);
  EXPECT_LT(count, early.cloud.size());
  const Stranding s = strandingOf(early.cloud);
  EXPECT_EQ(s.particles, count);
  EXPECT_DOUBLE_EQ(s.weight, static_cast<double>(count));
  EXPECT_NEAR(s.lat, 43.46, 0.03);
}

// The grid answers as the mask does, at the coast and away from it.
TEST(DriftLand, GridAgreesWithMask) {
  const auto& mask = intermediate();
  const vestrand::land::GeoBox box{43.3, -4.0, 43.7, -3.5};
  const vestrand::land::LandGrid grid(mask, box, 256);
  EXPECT_GT(grid.shoreShare(), 0.0);
  EXPECT_LT(grid.shoreShare(), 0.5);
  for (int i = 0; i <= 200; ++i) {
    for (int j = 0; j <= 200; ++j) {
      const double lat = 43.25 + 0.5 * i / 200.0, lon = -4.05 + 0.6 * j / 200.0;
      ASSERT_EQ(grid.onLand(lat, lon), mask.onLand({lat, lon})) << lat << " " << lon;
    }
  }
}

}  // namespace
