// The simulation's statistics against the model's expectations. Every case has a fixed seed and
// a tolerance of four standard errors of its sample, so a correct model fails about once in
// fifteen thousand seeds, and a fault of a few standard errors shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "drift_forcing.h"
#include "drift_run.h"
#include "particle_cloud.h"
#include "probability_map.h"
#include "sweep_scoring.h"

namespace vestrand::drift {
namespace {

constexpr double kEpoch = 1.8e9;
constexpr double kPi = 3.14159265358979323846;
constexpr double kZ = 4.0;  // standard errors of tolerance
// The first person-in-water class of the table, and the survival suit (not a mirror image).
const LeewayClass& kPiw1 = *leewayClassByKey("PIW-1");
const LeewayClass& kPiw4 = *leewayClassByKey("PIW-4");

DriftModel still(double x = 0.0) {
  DriftModel m;
  m.lat = 43.5;
  m.lon = -3.75;
  m.seconds = kEpoch;
  m.positionError = x;
  return m;
}

DriftRun hoursRun(double hours, double stepMinutes = 10.0) {
  DriftRun r;
  r.endSeconds = kEpoch + hours * 3600.0;
  r.stepMinutes = stepMinutes;
  return r;
}

struct Sample {
  double mean = 0.0, spread = 0.0, n = 0.0;
  double se() const { return spread / std::sqrt(n); }
};
Sample sample(const std::vector<double>& v) {
  Sample s;
  s.n = static_cast<double>(v.size());
  s.mean = std::accumulate(v.begin(), v.end(), 0.0) / s.n;
  for (const double x : v) s.spread += (x - s.mean) * (x - s.mean);
  s.spread = std::sqrt(s.spread / (s.n - 1.0));
  return s;
}

TEST(DriftModel, WithoutForcingEveryParticleStaysAtItsSeed) {
  const DriftModel m = still(2.0);
  const ParticleCloud seeded = seedCloud(m, 5000, 7);
  ParticleCloud cloud = seeded;
  const UniformForcing none({}, 0.0, 0.0);
  runDrift(cloud, m, none, hoursRun(48.0), 7);
  EXPECT_EQ(cloud.dLat, seeded.dLat);
  EXPECT_EQ(cloud.dLon, seeded.dLon);
}

TEST(DriftModel, PositionErrorAloneGivesItsSigmaAboutTheLastKnownPosition) {
  const double x = 3.0, sigma = x * kSigmaPerProbableError;
  const ParticleCloud c = seedCloud(still(x), 40000, 11);
  std::vector<double> north, east;
  for (std::size_t i = 0; i < c.size(); ++i) {
    north.push_back(c.dLat[i] * 60.0);
    east.push_back(c.dLon[i] * 60.0 * std::cos(c.lat(i) * kPi / 180.0));
  }
  for (const Sample& s : {sample(north), sample(east)}) {
    EXPECT_NEAR(s.mean, 0.0, kZ * sigma / std::sqrt(s.n));
    // The standard error of a normal sample's standard deviation is sigma / sqrt(2 (n - 1)).
    EXPECT_NEAR(s.spread, sigma, kZ * sigma / std::sqrt(2.0 * (s.n - 1.0)));
  }
}

// Mean of a normal error of standard deviation sd kept only at or above `low`.
double truncatedMean(double sd, double low) {
  const double a = low / sd;
  const double density = std::exp(-a * a / 2.0) / std::sqrt(2.0 * kPi);
  return sd * density / (0.5 * std::erfc(a / std::sqrt(2.0)));
}

TEST(DriftModel, SteadyWindGivesTheClassMeanLeewayOnEachSide) {
  // One hour of a 20 kn wind from north: downwind is south, right of downwind is west. No jibes,
  // so each half keeps its side and its mean crosswind leeway is that side's line.
  DriftModel m = still();
  m.leeway = DriftModel::Leeway::Class;
  m.leewayClass = kPiw4;
  m.jibeRate = 0.0;
  const double u10 = 20.0 * kMetresPerSecondPerKnot;
  const UniformForcing wind({{kEpoch, 0.0, 20.0}}, 0.0, 0.0);
  ParticleCloud c = seedCloud(m, 40000, 3);
  runDrift(c, m, wind, hoursRun(1.0), 3);
  std::vector<double> down, right, left;
  const double cmsPerKnot = 100.0 * kMetresPerSecondPerKnot;
  for (std::size_t i = 0; i < c.size(); ++i) {
    const double south = -c.dLat[i] * 60.0 * cmsPerKnot;  // cm/s over the hour
    const double west = -c.dLon[i] * 60.0 * std::cos(43.5 * kPi / 180.0) * cmsPerKnot;
    down.push_back(south);
    (c.side[i] == kRight ? right : left).push_back(west);
  }
  const LeewayLine& d = kPiw4.downwind;
  const double meanEps = truncatedMean(d.sdCms, -20.0 * d.slopePct);
  const Sample sd = sample(down), sr = sample(right), sl = sample(left);
  EXPECT_NEAR(sd.mean, d.slopePct * u10 + d.offsetCms + meanEps * (u10 / 20.0 + 0.5), kZ * sd.se());
  EXPECT_NEAR(sr.mean, kPiw4.right.slopePct * u10 + kPiw4.right.offsetCms, kZ * sr.se());
  EXPECT_NEAR(sl.mean, kPiw4.left.slopePct * u10 + kPiw4.left.offsetCms, kZ * sl.se());
  // The error at U10 is (U10 / 20 + 1/2) times the line's: at 10 m/s the table's own.
  EXPECT_NEAR(sr.spread, kPiw4.right.sdCms * (u10 / 20.0 + 0.5),
              kZ * sr.spread / std::sqrt(2.0 * sr.n));
  EXPECT_EQ(sr.n, sl.n);
}

TEST(DriftModel, JibesKeepHalfOnEachSideAndMixEachHalf) {
  DriftModel m = still();
  m.leeway = DriftModel::Leeway::Class;
  m.leewayClass = kPiw1;
  const UniformForcing wind({{kEpoch, 270.0, 15.0}}, 0.0, 0.0);
  const std::size_t n = 40000;
  // At p = 1 an hour every step jibes: the two halves swap in step, and the weight stays half on
  // each side. At p = 0.5 an hour the chance of a jibe a step is 11 %, and after a day a particle
  // has forgotten its first side.
  for (const double p : {1.0, 0.5}) {
    m.jibeRate = p;
    ParticleCloud c = seedCloud(m, n, 5);
    runDrift(c, m, wind, hoursRun(24.0), 5);
    const CloudSummary s = summarizeCloud(c);
    const double se = std::sqrt(0.25 / static_cast<double>(n));
    EXPECT_NEAR(s.right, 0.5, p == 1.0 ? 1e-12 : kZ * se) << p;
    std::size_t stayed = 0;
    for (std::size_t i = 0; i < n; i += 2) stayed += c.side[i] == kRight;
    const double fraction = static_cast<double>(stayed) / static_cast<double>(n / 2);
    if (p == 0.5) {
      EXPECT_NEAR(fraction, 0.5, kZ * std::sqrt(0.25 / static_cast<double>(n / 2)));
    }
  }
}

TEST(DriftModel, TrackSeedingSpreadsTimesAndPlacesAlongTheTrack) {
  DriftModel m = still();
  m.track = true;
  m.lat2 = 43.5;
  m.lon2 = -3.75 + 10.0 / (60.0 * std::cos(43.5 * kPi / 180.0));  // 10 NM east
  m.seconds2 = kEpoch + 4.0 * 3600.0;
  const ParticleCloud c = seedCloud(m, 20000, 9);
  std::vector<double> release, east;
  for (std::size_t i = 0; i < c.size(); ++i) {
    release.push_back(c.release[i]);
    // Plane sailing runs the fraction of the distance that the time is of the whole.
    east.push_back(c.dLon[i] * 60.0 * std::cos(43.5 * kPi / 180.0) - 2.5 * c.release[i]);
  }
  const Sample r = sample(release);
  EXPECT_NEAR(r.mean, 2.0, kZ * (4.0 / std::sqrt(12.0)) / std::sqrt(r.n));
  EXPECT_NEAR(r.spread, 4.0 / std::sqrt(12.0), 0.02);
  for (const double e : east) ASSERT_NEAR(e, 0.0, 1e-3);
}

// The chance of a still object at (x, y) NM being seen by the legs, by the lateral range curve of
// the closest distance to each leg.
double chance(double x, double y, const std::vector<std::array<double, 4>>& legs, double w) {
  double miss = 1.0;
  for (const auto& l : legs) {
    const double dx = l[2] - l[0], dy = l[3] - l[1];
    const double t =
        std::clamp(((x - l[0]) * dx + (y - l[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    miss *= 1.0 - lateralRangeDetection(std::hypot(x - l[0] - t * dx, y - l[1] - t * dy), w);
  }
  return 1.0 - miss;
}

TEST(DriftScoring, SearchOverAStillCloudMatchesNumericIntegration) {
  const double x = 2.0, sigma = x * kSigmaPerProbableError, w = 1.5;
  const DriftModel m = still(x);
  // Two legs on the local plane in NM from the last known position: 4 NM north through the
  // middle, then 3 NM east.
  const std::vector<std::array<double, 4>> legs = {{0.5, -2.0, 0.5, 2.0}, {0.5, 2.0, 3.5, 2.0}};
  const double cosLat = std::cos(43.5 * kPi / 180.0);
  auto at = [&](double e, double nth) {
    return SearchEffort::Point{43.5 + nth / 60.0, -3.75 + e / (60.0 * cosLat)};
  };
  SearchEffort search{
      "two legs", kEpoch + 3600.0, 10.0, w, {{at(0.5, -2.0), at(0.5, 2.0), at(3.5, 2.0)}}};
  DriftRun run = hoursRun(3.0);
  run.searches.push_back(search);
  const std::size_t n = 40000;
  ParticleCloud c = seedCloud(m, n, 21);
  const UniformForcing none({}, 0.0, 0.0);
  const DriftOutcome out = runDrift(c, m, none, run, 21);
  ASSERT_EQ(out.searches.size(), 1u);

  // The same POS by the midpoint rule over +-6 sigma on a 0.01 sigma grid.
  double expected = 0.0;
  const double h = 0.01 * sigma;
  for (double yy = -6.0 * sigma + h / 2; yy < 6.0 * sigma; yy += h) {
    for (double xx = -6.0 * sigma + h / 2; xx < 6.0 * sigma; xx += h) {
      const double density =
          std::exp(-(xx * xx + yy * yy) / (2.0 * sigma * sigma)) / (2.0 * kPi * sigma * sigma);
      expected += density * chance(xx, yy, legs, w) * h * h;
    }
  }
  std::vector<double> seen;
  for (std::size_t i = 0; i < n; ++i) seen.push_back(1.0 - c.weight[i]);
  const Sample s = sample(seen);
  EXPECT_NEAR(out.searches[0].pos, expected, kZ * s.se() + 1e-4);
  EXPECT_NEAR(s.mean, out.searches[0].pos, 1e-6);
  // Bayes: what is left of the weight is 1 - POS.
  double left = 0.0;
  for (const float wgt : c.weight) left += wgt;
  EXPECT_NEAR(left / static_cast<double>(n), 1.0 - out.searches[0].pos, 1e-6);
  EXPECT_NEAR(out.cumulativePos, out.searches[0].pos, 1e-12);
}

TEST(DriftScoring, ClosestApproachFollowsBothMotions) {
  // One particle drifting east at 1 kn from the origin; a unit sails north along the line 1 NM
  // east from 1 NM south, at 1 kn, starting at the epoch: they meet after an hour.
  DriftModel m = still();
  m.leeway = DriftModel::Leeway::Manual;
  m.leewayTowardDeg = 90.0;
  m.leewaySpeedKn = 1.0;
  const double cosLat = std::cos(43.5 * kPi / 180.0);
  const SearchEffort::Point a{43.5 - 1.0 / 60.0, -3.75 + 1.0 / (60.0 * cosLat)};
  const SearchEffort::Point b{43.5 + 1.0 / 60.0, -3.75 + 1.0 / (60.0 * cosLat)};
  DriftRun run = hoursRun(2.0);
  run.searches.push_back({"meet", kEpoch, 1.0, 0.5, {{a, b}}});
  ParticleCloud c = seedCloud(m, 1, 1);
  const UniformForcing none({}, 0.0, 0.0);
  const DriftOutcome out = runDrift(c, m, none, run, 1);
  EXPECT_GT(out.searches[0].pos, 0.999);
  // An hour later: with s the hours since the unit's start, the two are (s, 1 - s) apart,
  // closest at s = 0.5, sqrt(0.5) NM.
  run.searches[0].startSeconds = kEpoch + 3600.0;
  run.endSeconds = kEpoch + 3.0 * 3600.0;
  c = seedCloud(m, 1, 1);
  EXPECT_NEAR(runDrift(c, m, none, run, 1).searches[0].pos,
              lateralRangeDetection(std::sqrt(0.5), 0.5), 1e-4);
}

TEST(DriftRun, TheSameSeedGivesTheSameBitsOnOneAndTwoThreads) {
  DriftModel m = still(1.0);
  m.leeway = DriftModel::Leeway::Class;
  m.leewayClass = kPiw4;
  m.currentError = 0.3;
  m.jibeRate = 0.2;
  const UniformForcing forcing({{kEpoch, 200.0, 18.0}, {kEpoch + 6 * 3600.0, 250.0, 25.0}}, 45.0,
                               0.4);
  DriftRun run = hoursRun(12.0);
  run.searches.push_back(
      {"s", kEpoch + 4 * 3600.0, 10.0, 1.0, {{{43.52, -3.70}, {43.60, -3.70}, {43.60, -3.65}}}});
  ParticleCloud one = seedCloud(m, 9000, 42), two = one;
  DriftControl c1, c2;
  c1.threads = 1;
  c2.threads = 2;
  const DriftOutcome o1 = runDrift(one, m, forcing, run, 42, c1);
  const DriftOutcome o2 = runDrift(two, m, forcing, run, 42, c2);
  EXPECT_EQ(0, std::memcmp(one.dLat.data(), two.dLat.data(), one.size() * sizeof(float)));
  EXPECT_EQ(0, std::memcmp(one.dLon.data(), two.dLon.data(), one.size() * sizeof(float)));
  EXPECT_EQ(0, std::memcmp(one.weight.data(), two.weight.data(), one.size() * sizeof(float)));
  EXPECT_EQ(one.side, two.side);
  EXPECT_EQ(o1.searches[0].pos, o2.searches[0].pos);
  EXPECT_GT(o1.searches[0].pos, 0.0);
}

TEST(DriftRun, CancelStopsAndProgressReachesTheEnd) {
  const DriftModel m = still(1.0);
  const UniformForcing none({}, 0.0, 0.0);
  ParticleCloud c = seedCloud(m, 10000, 1);
  std::atomic<bool> cancel{true};
  DriftControl control;
  control.cancel = &cancel;
  EXPECT_TRUE(runDrift(c, m, none, hoursRun(1.0), 1, control).cancelled);
  cancel = false;
  double last = 0.0;
  control.progress = [&](double f) { last = f; };
  EXPECT_FALSE(runDrift(c, m, none, hoursRun(1.0), 1, control).cancelled);
  EXPECT_EQ(last, 1.0);
}

TEST(DriftRun, CosineIsCloseToTheLibrarys) {
  for (double lat = -89.0; lat <= 89.0; lat += 0.5) {
    EXPECT_NEAR(cosDegrees(static_cast<float>(lat)), std::cos(lat * kPi / 180.0), 2e-7) << lat;
  }
}

}  // namespace
}  // namespace vestrand::drift
