// The simulation through gridded fields: the adapter against fields::Forcing's own samples, steady
// fields against the constants they hold, the coast, and the places the fields do not cover.
#include "field_forcing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "drift_forcing.h"
#include "drift_run.h"
#include "particle_cloud.h"
#include "probability_map.h"

namespace vestrand::drift {
namespace {

using fields::Field;
using fields::Quantity;

constexpr double kEpoch = 1.8e9;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// A field on an even grid of `step` degrees over lat0..lat1, lon0..lon1 at the given hours after
// the epoch, its value at each point and time from `value` (NaN for missing).
template <typename F>
Field gridField(Quantity q, double lat0, double lat1, double lon0, double lon1, double step,
                std::vector<double> hours, F value) {
  Field f;
  f.quantity = q;
  f.format = "memory";
  f.files = {q == Quantity::Wind ? "wind.grib2" : "current.nc"};
  std::vector<double> lats, lons;
  for (double x = lat0; x <= lat1 + 1e-9; x += step) lats.push_back(x);
  for (double x = lon0; x <= lon1 + 1e-9; x += step) lons.push_back(x);
  bool latReversed = false, lonReversed = false;
  f.grid = fields::makeGrid("memory", lats, lons, latReversed, lonReversed);
  for (const double h : hours) {
    f.times.push_back(kEpoch + h * 3600.0);
    for (const double lat : lats) {
      for (const double lon : lons) {
        double u = 0.0, v = 0.0;
        value(lat, lon, h, u, v);
        f.u.push_back(static_cast<float>(u));
        f.v.push_back(static_cast<float>(std::isnan(u) ? kNan : v));
      }
    }
  }
  return f;
}

// A steady wind and current over the Bay of Biscay, as the bench's constants hold them.
fields::Forcing steady(const UniformForcing& constant, double hours) {
  const ForcingSample s = constant.sample(43.5, -3.75, kEpoch);
  fields::Forcing f;
  f.add(gridField(Quantity::Wind, 40, 48, -10, 4, 0.25, {0, hours},
                  [&](auto, auto, auto, double& u, double& v) {
                    u = s.windU;
                    v = s.windV;
                  }));
  f.add(gridField(Quantity::Current, 41, 46, -8, 0, 1.0 / 12, {0, hours / 2, hours},
                  [&](auto, auto, auto, double& u, double& v) {
                    u = s.curU;
                    v = s.curV;
                  }));
  return f;
}

DriftModel model(DriftModel::Leeway leeway) {
  DriftModel m;
  m.lat = 43.5;
  m.lon = -3.75;
  m.seconds = kEpoch;
  m.positionError = 1.0;
  m.currentError = 0.2;
  m.leeway = leeway;
  m.leewayClass = *leewayClassByKey("PIW-1");
  m.leewayTowardDeg = 120.0;
  m.leewaySpeedKn = 0.4;
  return m;
}

DriftRun hoursRun(double hours) {
  DriftRun r;
  r.endSeconds = kEpoch + hours * 3600.0;
  return r;
}

TEST(FieldForcing, SteadyFieldsGiveTheCloudOfTheConstants) {
  const UniformForcing constant({{kEpoch, 300.0, 20.0}}, 70.0, 0.6);
  const fields::Forcing files = steady(constant, 24.0);
  const FieldForcing gridded(files);
  ASSERT_FALSE(gridded.uniform());
  for (const auto leeway :
       {DriftModel::Leeway::Class, DriftModel::Leeway::Manual, DriftModel::Leeway::None}) {
    const DriftModel m = model(leeway);
    const std::size_t n = 4000;
    ParticleCloud a = seedCloud(m, n, 11), b = a;
    runDrift(a, m, constant, hoursRun(24.0), 11);
    const DriftOutcome out = runDrift(b, m, gridded, hoursRun(24.0), 11);
    EXPECT_EQ(out.fault.kind, ForcingFault::Kind::None);
    EXPECT_EQ(out.stranded, 0u);
    const CloudSummary sa = summarizeCloud(a), sb = summarizeCloud(b);
    // The same particles in the same wind and current: the means agree to far less than the
    // standard error of a mean of n particles (sd / sqrt(n), degrees).
    const double se = sa.sdAlong / 60.0 / std::sqrt(static_cast<double>(n));
    EXPECT_NEAR(sb.lat, sa.lat, 0.01 * se) << static_cast<int>(leeway);
    EXPECT_NEAR(sb.lon, sa.lon, 0.01 * se / std::cos(sa.lat * 3.14159265358979 / 180.0));
    EXPECT_NEAR(sb.sdAlong, sa.sdAlong,
                0.01 * sa.sdAlong / std::sqrt(2.0 * static_cast<double>(n)));
    EXPECT_NEAR(sb.sdAcross, sa.sdAcross,
                0.01 * sa.sdAcross / std::sqrt(2.0 * static_cast<double>(n)));
    EXPECT_EQ(sb.right, sa.right);
  }
}

// Each way of sampling a block against fields::Forcing at every particle.
TEST(FieldForcing, BlocksAgreeWithTheFieldsSamples) {
  const auto wavy = [](double lat, double lon, double h, double& u, double& v) {
    u = 3.0 + std::sin(lat) * 4.0 + h * 0.1;
    v = std::cos(lon) * 5.0 - h * 0.2;
  };
  struct Case {
    const char* name;
    double lat, lon;  // the block's origin
    double spread;    // degrees about it
    bool globe;       // a global wind instead of a fine area inside a coarse one
    double hours;     // the time sampled
  };
  const Case cases[] = {
      {"inside one area, between two times", 43.5, -3.75, 0.5, false, 1.3},
      {"at a file's time", 43.5, -3.75, 0.5, false, 2.0},
      // Boxes of at most 16, 32 and 64 grid values, which fast processors hold in registers.
      {"a box of a few grid values", 43.51, -3.74, 0.06, false, 1.3},
      {"a box of some thirty grid values", 43.5, -3.75, 0.13, false, 1.3},
      {"a box of some sixty grid values", 43.5, -3.75, 0.22, false, 1.3},
      {"across the edge of a fine area in a coarse one", 45.9, -3.75, 0.4, false, 1.3},
      {"round the globe's seam", 10.0, 359.9, 0.6, true, 0.7},
      {"past the globe's seam, west of it", 10.0, -0.2, 0.3, true, 0.7},
  };
  for (const Case& c : cases) {
    fields::Forcing files;
    if (c.globe) {
      files.add(gridField(Quantity::Wind, -80, 80, 0, 357.5, 2.5, {0, 2, 4}, wavy));
    } else {
      files.add(gridField(Quantity::Wind, 40, 46, -8, 0, 0.25, {0, 2, 4}, wavy));
      files.add(gridField(Quantity::Wind, 30, 50, -20, 10, 1.0, {0, 2, 4}, wavy));
    }
    files.add(gridField(Quantity::Current, 40, 46, -8, 0, 1.0 / 12, {0, 2, 4}, wavy));
    files.setConstantCurrent(0.1, 0.2);
    files.setOutsidePolicy(fields::OutsidePolicy::Constant);
    const FieldForcing gridded(files);
    const std::size_t n = 500;
    std::vector<float> dLat(n), dLon(n), wu(n), wv(n), cu(n), cv(n), work;
    std::vector<unsigned char> flags(n);
    for (std::size_t i = 0; i < n; ++i) {
      dLat[i] = static_cast<float>(c.spread * std::sin(static_cast<double>(i) * 1.7));
      dLon[i] = static_cast<float>(c.spread * std::cos(static_cast<double>(i) * 2.3));
    }
    const double t = kEpoch + c.hours * 3600.0;
    gridded.sampleBlock(c.lat, c.lon, dLat.data(), dLon.data(), n, t,
                        {wu.data(), wv.data(), cu.data(), cv.data(), flags.data(), &work});
    for (std::size_t i = 0; i < n; ++i) {
      const fields::ForcingSample s = files.sample(c.lat + dLat[i], c.lon + dLon[i], t);
      ASSERT_TRUE(s.hasWind) << c.name;
      // Floats against doubles: a few parts in ten million of values up to 10 m/s.
      EXPECT_NEAR(wu[i], s.windU, 1e-5) << c.name << " " << i;
      EXPECT_NEAR(wv[i], s.windV, 1e-5) << c.name << " " << i;
      EXPECT_NEAR(cu[i], s.hasCurrent ? s.curU : 0.0, 1e-5) << c.name << " " << i;
      EXPECT_NEAR(cv[i], s.hasCurrent ? s.curV : 0.0, 1e-5) << c.name << " " << i;
      EXPECT_EQ(flags[i], 0) << c.name;
    }
  }
}

// A current flowing south at 1 m/s onto land south of 43N: every particle strands on the coast,
// where the interpolation first finds no grid value with weight, and stays there.
TEST(FieldForcing, ParticlesStrandOnACurrentFilesLand) {
  fields::Forcing files;
  files.add(gridField(Quantity::Current, 41, 46, -8, 0, 0.5, {0, 24},
                      [](double lat, auto, auto, double& u, double& v) {
                        u = lat <= 43.0 ? kNan : 0.0;
                        v = -1.0;
                      }));
  const FieldForcing gridded(files);
  DriftModel m = model(DriftModel::Leeway::None);
  m.currentError = 0.0;
  ParticleCloud c = seedCloud(m, 3000, 5);
  const DriftOutcome out = runDrift(c, m, gridded, hoursRun(24.0), 5);
  EXPECT_EQ(out.fault.kind, ForcingFault::Kind::None);
  EXPECT_EQ(out.stranded, c.size());
  EXPECT_DOUBLE_EQ(out.strandedWeight, static_cast<double>(c.size()));
  // A step of 10 minutes at 1 m/s is 600 m, 0.0054 degrees.
  for (std::size_t i = 0; i < c.size(); ++i) {
    ASSERT_LE(c.lat(i), 43.0) << i;
    ASSERT_GE(c.lat(i), 43.0 - 0.006) << i;
  }
}

// Where the files stop, the run stops, and names the same particle on one thread or two.
TEST(FieldForcing, OutsideTheFilesOrWithoutWindTheRunStops) {
  struct Case {
    const char* name;
    double currentHours;  // the current file's last time
    bool windMissing;     // the wind file holds no value east of 3.5W
    ForcingFault::Kind kind;
    bool wind;
  };
  const Case cases[] = {
      {"the current ends at 12:00", 12.0, false, ForcingFault::Kind::Outside, false},
      {"no wind east of 3.5W", 48.0, true, ForcingFault::Kind::NoWind, true},
  };
  for (const Case& k : cases) {
    fields::Forcing files;
    files.add(gridField(Quantity::Current, 41, 46, -8, 0, 0.5, {0, k.currentHours},
                        [](auto, auto, auto, double& u, double& v) {
                          u = 1.0;
                          v = 0.0;
                        }));
    files.add(gridField(Quantity::Wind, 41, 46, -8, 0, 0.5, {0, 48},
                        [&](auto, double lon, auto, double& u, double& v) {
                          u = k.windMissing && lon > -3.5 ? kNan : 10.0;
                          v = 0.0;
                        }));
    const FieldForcing gridded(files);
    const DriftModel m = model(DriftModel::Leeway::Class);
    ParticleCloud one = seedCloud(m, 6000, 3), two = one;
    DriftControl c1, c2;
    c1.threads = 1;
    c2.threads = 2;
    const DriftOutcome a = runDrift(one, m, gridded, hoursRun(24.0), 3, c1);
    const DriftOutcome b = runDrift(two, m, gridded, hoursRun(24.0), 3, c2);
    EXPECT_EQ(a.fault.kind, k.kind) << k.name;
    EXPECT_EQ(a.fault.wind, k.wind) << k.name;
    EXPECT_GT(a.fault.step, 0u) << k.name;
    EXPECT_EQ(a.fault.step, b.fault.step) << k.name;
    EXPECT_EQ(a.fault.particle, b.fault.particle) << k.name;
    EXPECT_EQ(a.fault.lat, b.fault.lat) << k.name;
    if (k.kind == ForcingFault::Kind::Outside) {
      EXPECT_GT(a.fault.seconds, kEpoch + k.currentHours * 3600.0) << k.name;
    } else {
      // The first grid column without wind that carries weight: 3W.
      EXPECT_GE(a.fault.lon, -3.0001) << k.name;
    }
  }
}

}  // namespace
}  // namespace vestrand::drift
