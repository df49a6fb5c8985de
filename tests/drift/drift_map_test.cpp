// The map of a cloud: its mean and axis, the smallest sets of cells holding 50 % and 90 %, and
// their outlines, on clouds placed by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "cloud_area.h"
#include "particle_cloud.h"
#include "probability_map.h"
#include "search_area.h"

namespace vestrand::drift {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Particles at points given in NM east and north of 10N 20W, each with its weight.
struct Placed {
  double east, north;
  float weight;
};
ParticleCloud handCloud(const std::vector<Placed>& at) {
  ParticleCloud c;
  c.originLat = 10.0;
  c.originLon = -20.0;
  for (const Placed& p : at) {
    c.dLat.push_back(static_cast<float>(p.north / 60.0));
    c.dLon.push_back(static_cast<float>(p.east / (60.0 * std::cos(10.0 * kPi / 180.0))));
    c.weight.push_back(p.weight);
    c.side.push_back(c.side.size() % 3 == 0 ? kLeft : kRight);
  }
  return c;
}

TEST(DriftMap, MeanAxisAndSidesOfALine) {
  // Four particles on a line from south-west to north-east, the first and last on the left.
  const ParticleCloud c = handCloud({{-3, -3, 1}, {-1, -1, 1}, {1, 1, 1}, {3, 3, 1}});
  const CloudSummary s = summarizeCloud(c);
  EXPECT_NEAR(s.lat, 10.0, 1e-6);
  EXPECT_NEAR(s.lon, -20.0, 1e-6);
  EXPECT_NEAR(s.axisCourse, 45.0, 1e-3);
  EXPECT_NEAR(s.sdAlong, std::sqrt(2.0 * 5.0), 1e-3);  // distances sqrt(2) * 3 and sqrt(2) * 1
  EXPECT_NEAR(s.sdAcross, 0.0, 1e-3);
  EXPECT_DOUBLE_EQ(s.left, 0.5);
}

TEST(DriftMap, SmallestSetsOfCellsAndTheirOutline) {
  // Cells of 1 NM with a corner at the mean; the weights put 40 % in one cell, 20 % in each of
  // two beside it (an L) and 20 % in a cell that touches the L only at a corner.
  const ParticleCloud c = handCloud({{0.5, 0.5, 4}, {1.5, 0.5, 2}, {0.5, 1.5, 2}, {-0.5, -0.5, 2}});
  CloudSummary s = summarizeCloud(c);
  // Put the grid's corner at the origin, where the cells above were drawn.
  s.lat = 10.0;
  s.lon = -20.0;
  const ProbabilityMap map = buildMap(c, s, 1.0);
  ASSERT_EQ(map.cells.size(), 4u);
  EXPECT_DOUBLE_EQ(map.cells[0].p, 0.4);
  EXPECT_EQ(map.count50, 2u);  // 40 % then the first 20 % cell, south first: (-1, -1)
  EXPECT_EQ(map.count90, 4u);
  EXPECT_NEAR(map.area50, 2.0, 1e-9);
  EXPECT_NEAR(map.area90, 4.0, 1e-9);
  const std::vector<OutlineRing> rings = outlineRings(map, 4);
  ASSERT_EQ(rings.size(), 2u);  // the L, and the cell that touches it at a corner alone
  EXPECT_EQ(rings[0].areaCells, 3.0);
  EXPECT_EQ(rings[0].lat.size(), 7u);  // six corners and the first again
  EXPECT_FALSE(rings[0].hole);
  EXPECT_EQ(rings[1].areaCells, 1.0);
  EXPECT_DOUBLE_EQ(rings[0].lat.front(), rings[0].lat.back());
}

TEST(DriftMap, AHoleIsTracedClockwise) {
  std::vector<Placed> ring;
  for (int x = 0; x < 3; ++x) {
    for (int y = 0; y < 3; ++y) {
      if (x != 1 || y != 1) ring.push_back({x + 0.5, y + 0.5, 1});
    }
  }
  const ParticleCloud c = handCloud(ring);
  CloudSummary s = summarizeCloud(c);
  s.lat = 10.0;
  s.lon = -20.0;
  const ProbabilityMap map = buildMap(c, s, 1.0);
  const std::vector<OutlineRing> rings = outlineRings(map, map.cells.size());
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_EQ(rings[0].areaCells, 9.0);
  EXPECT_TRUE(rings[1].hole);
  EXPECT_EQ(rings[1].areaCells, 1.0);
}

TEST(DriftMap, DefaultCellSpansTheNinetyPerCentAreaInAboutFiftyCells) {
  // A disc of particles on a fine lattice, radius 10 NM.
  std::vector<Placed> disc;
  for (double x = -10; x <= 10; x += 0.1) {
    for (double y = -10; y <= 10; y += 0.1) {
      if (x * x + y * y <= 100.0) disc.push_back({x, y, 1});
    }
  }
  const ParticleCloud c = handCloud(disc);
  const ProbabilityMap map = buildMap(c, summarizeCloud(c));
  const double across = std::sqrt(map.area90) / map.cell;
  EXPECT_GT(across, 35.0);
  EXPECT_LT(across, 70.0);
}

}  // namespace
}  // namespace vestrand::drift

namespace vestrand::drift {
namespace {

TEST(DriftCloudArea, ACircularNormalCloudGetsTheClosedFormOptimum) {
  // A still cloud of X = 2 NM against the closed form of the same distribution: the best square
  // 2R x 2R for the effort, and its POS.
  DriftModel m;
  m.lat = 43.5;
  m.lon = -3.75;
  m.positionError = 2.0;
  const std::size_t n = 40000;
  const ParticleCloud c = seedCloud(m, n, 13);
  const CloudSummary s = summarizeCloud(c);
  const CloudPoc poc(c, s);
  const double sigma = 2.0 * kSigmaPerProbableError, effort = 60.0;
  const CloudRectangle r = optimalCloudRectangle(poc, s, effort, SearchConditions::Normal);
  const double radius = optimalRadius(0.0, sigma, effort, SearchConditions::Normal);
  const AreaFigures closed =
      areaFigures(2.0 * radius, 2.0 * radius, 0.0, sigma, effort, SearchConditions::Normal);
  // The POC of a fixed rectangle has a standard error of sqrt(p (1 - p) / n); the best of many
  // rectangles on one sample is biased up by about as much again.
  const double se = std::sqrt(closed.poc * (1.0 - closed.poc) / static_cast<double>(n));
  EXPECT_NEAR(r.pos, closed.pos, 2.0 * 4.0 * se * closed.pod);
  EXPECT_NEAR(r.length * r.width, 4.0 * radius * radius, 0.15 * 4.0 * radius * radius);
  EXPECT_NEAR(r.poc, poc(r.length, r.width), 1e-12);
  EXPECT_DOUBLE_EQ(r.pos, r.poc * r.pod);
}

}  // namespace
}  // namespace vestrand::drift
