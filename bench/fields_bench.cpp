// Sampling speed of the forcing the drift asks for its wind and current: constant values against
// gridded fields (a regional grid of 1/12 degree at 25 hourly times, both quantities), sampled
// for particles spread over the grid as the simulation moves them, one time per step. The drift's
// budget is a factor of three over constant forcing for the whole step, of which sampling is a
// part. Also the time to read Debian's real GFS file.
#include <benchmark/benchmark.h>
#include <field.h>
#include <forcing.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace vestrand::fields;

constexpr double kStart = 1705276800.0;  // 2024-01-15T00:00:00Z

Field regionalField(Quantity quantity) {
  Field f;
  f.quantity = quantity;
  f.files = {"bench"};
  std::vector<double> lats(241), lons(361);
  for (std::size_t i = 0; i < lats.size(); ++i) lats[i] = 40.0 + static_cast<double>(i) / 12.0;
  for (std::size_t j = 0; j < lons.size(); ++j) lons[j] = -15.0 + static_cast<double>(j) / 12.0;
  bool latReversed = false, lonReversed = false;
  f.grid = makeGrid("bench", lats, lons, latReversed, lonReversed);
  for (int k = 0; k < 25; ++k) f.times.push_back(kStart + 3600.0 * k);
  const std::size_t n = f.times.size() * f.pointsPerTime();
  f.u.resize(n);
  f.v.resize(n);
  for (std::size_t p = 0; p < n; ++p) {
    f.u[p] = static_cast<float>(std::sin(0.001 * static_cast<double>(p)));
    f.v[p] = static_cast<float>(std::cos(0.001 * static_cast<double>(p)));
  }
  return f;
}

struct Particle {
  double lat, lon;
};

// Particles spread over the whole grid (the worst case for the caches), or a cloud of about 20 NM
// around a datum, as a search's particles are.
std::vector<Particle> particles(std::size_t n, bool spread) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> lat(40.5, 59.5), lon(-14.5, 14.5);
  std::normal_distribution<double> near(0.0, 0.15);
  std::vector<Particle> all(n);
  for (Particle& p : all) {
    p = spread ? Particle{lat(random), lon(random)} : Particle{50.0 + near(random), near(random)};
  }
  return all;
}

// One step of 10 000 particles: every particle sampled at the step's time.
void sampleAll(benchmark::State& state, const Forcing& forcing, bool spread) {
  const std::vector<Particle> all = particles(10000, spread);
  double time = kStart;
  for (auto _ : state) {
    double sum = 0.0;
    for (const Particle& p : all) {
      const ForcingSample s = forcing.sample(p.lat, p.lon, time);
      sum += s.windU + s.curV;
    }
    benchmark::DoNotOptimize(sum);
    time += 600.0;
    if (time > kStart + 24 * 3600.0) time = kStart;
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(all.size()));
}

void BM_SampleConstant(benchmark::State& state) {
  Forcing forcing;
  forcing.setConstantWind(5.0, -3.0);
  forcing.setConstantCurrent(0.3, 0.1);
  sampleAll(state, forcing, false);
}
BENCHMARK(BM_SampleConstant);

void BM_SampleFields(benchmark::State& state) {
  Forcing forcing;
  forcing.add(regionalField(Quantity::Wind));
  forcing.add(regionalField(Quantity::Current));
  sampleAll(state, forcing, state.range(0) != 0);
}
BENCHMARK(BM_SampleFields)->ArgName("spread")->Arg(0)->Arg(1);

void BM_ReadGfsFile(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        readFieldFile("/usr/share/doc/python-grib-doc/examples/gfs.t12z.pgrbf120.2p5deg.grib2"));
  }
}
BENCHMARK(BM_ReadGfsFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
