// How fast the probability map is drifted and scored, beside a NumPy version of the same model.
//
// The case (the same in drift_numpy.py): a deep-ballast life raft 1 NM about 43.5N 3.75W, a wind
// of 20 kn from 270, a current of 0.5 kn setting 045 with a 0.2 kn error, jibes at 4 % an hour,
// 48 hours in 10-minute steps; 10,000, 100,000 and 1,000,000 particles on every core. The
// counter `ns_per_step` is the wall time per particle-step. Then a search of 200 legs scored
// against 100,000 particles: the run with the search less the same run without. At the end the
// NumPy version runs on the same case (Debian's /usr/bin/python3 with python3-numpy) and the
// ratios are printed, of the wall-clock times and of the processor times (all threads): on a
// machine shared with other work the second still says how much work each does.
//
// The gridded case drifts the same cloud through forecast fields made in memory that hold the same
// wind and current as the constants: a wind on a 0.25 degree grid every 3 hours and a current on
// a 1/12 degree grid every hour (the sizes of global and regional forecasts), with land in the
// current's south-west corner, far from the cloud. Its processor time over the constant case's is
// printed too; it is to stay below 3.
//
//   build/bench/drift_bench [--benchmark_counters_tabular=true]
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <string>

#include "drift_forcing.h"
#include "drift_run.h"
#include "field_forcing.h"
#include "land_atlas.h"
#include "land_grid.h"
#include "particle_cloud.h"

#ifndef VESTRAND_DRIFT_NUMPY
#define VESTRAND_DRIFT_NUMPY "drift_numpy.py"
#endif

namespace {

using namespace vestrand::drift;

constexpr double kEpoch = 1.8e9;  // 2027-01-15T08:00:00Z
constexpr double kHours = 48.0;

DriftModel benchModel() {
  DriftModel m;
  m.lat = 43.5;
  m.lon = -3.75;
  m.seconds = kEpoch;
  m.positionError = 1.0;
  m.leeway = DriftModel::Leeway::Class;
  m.leewayClass = *vestrand::leewayClassByKey("LIFE-RAFT-DB-10");
  m.jibeRate = 0.04;
  m.currentError = 0.2;
  return m;
}

const UniformForcing& benchForcing() {
  static const UniformForcing forcing({{kEpoch, 270.0, 20.0}}, 45.0, 0.5);
  return forcing;
}

// A field of one quantity on an even grid, the same (u, v) everywhere and at every time, except
// missing values south of `landLat` and west of `landLon`.
vestrand::fields::Field steadyField(vestrand::fields::Quantity quantity, double step, double hours,
                                    double u, double v, double landLat, double landLon) {
  using namespace vestrand::fields;
  Field f;
  f.quantity = quantity;
  f.format = "memory";
  f.files = {quantity == Quantity::Wind ? "bench wind" : "bench current"};
  std::vector<double> lats, lons;
  for (double lat = 40.0; lat <= 48.0 + 1e-9; lat += step) lats.push_back(lat);
  for (double lon = -10.0; lon <= 4.0 + 1e-9; lon += step) lons.push_back(lon);
  bool latReversed = false, lonReversed = false;
  f.grid = makeGrid("bench", lats, lons, latReversed, lonReversed);
  for (double t = 0.0; t <= kHours + 3.0 * hours; t += hours)
    f.times.push_back(kEpoch + t * 3600.0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (std::size_t k = 0; k < f.times.size(); ++k) {
    for (const double lat : lats) {
      for (const double lon : lons) {
        const bool land = lat < landLat && lon < landLon;
        f.u.push_back(land ? nan : static_cast<float>(u));
        f.v.push_back(land ? nan : static_cast<float>(v));
      }
    }
  }
  return f;
}

// The bench's wind and current from fields, read once for every run.
const FieldForcing& griddedForcing() {
  using namespace vestrand::fields;
  static const Forcing fields = [] {
    Forcing f;
    const vestrand::drift::ForcingSample s = benchForcing().sample(43.5, -3.75, kEpoch);
    f.add(steadyField(Quantity::Wind, 0.25, 3.0, s.windU, s.windV, 0.0, 0.0));
    f.add(steadyField(Quantity::Current, 1.0 / 12.0, 1.0, s.curU, s.curV, 41.0, -8.0));
    return f;
  }();
  static const FieldForcing forcing(fields);
  return forcing;
}

struct Figures {
  double wall = 0.0, cpu = 0.0;  // ns per particle-step, the best run
};
std::map<long, Figures>& best() {
  static std::map<long, Figures> figures;
  return figures;
}
std::map<long, Figures>& bestGridded() {
  static std::map<long, Figures> figures;
  return figures;
}

double processSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs the drift once from a fresh copy of the cloud. @return wall and processor seconds
std::pair<double, double> timedRun(const ParticleCloud& seeded, const DriftModel& model,
                                   const DriftRun& run, DriftOutcome* outcome = nullptr,
                                   const DriftForcing& forcing = benchForcing()) {
  ParticleCloud cloud = seeded;
  const auto start = std::chrono::steady_clock::now();
  const double cpu = processSeconds();
  const DriftOutcome out = runDrift(cloud, model, forcing, run, 1);
  const double cpuSeconds = processSeconds() - cpu;
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  benchmark::DoNotOptimize(cloud.dLat.data());
  if (outcome) *outcome = out;
  return {wall.count(), cpuSeconds};
}

template <bool kGridded>
void BM_Drift(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const DriftModel model = benchModel();
  DriftRun run;
  run.endSeconds = kEpoch + kHours * 3600.0;
  const ParticleCloud seeded = seedCloud(model, n, 1);
  const double particleSteps = static_cast<double>(n) * kHours * 6.0;
  Figures f{1e300, 1e300};
  for (auto _ : state) {
    DriftOutcome out;
    const auto [wall, cpu] =
        timedRun(seeded, model, run, &out,
                 kGridded ? static_cast<const DriftForcing&>(griddedForcing()) : benchForcing());
    if (out.fault.kind != ForcingFault::Kind::None) state.SkipWithError("left the fields");
    state.SetIterationTime(wall);
    f.wall = std::min(f.wall, wall * 1e9 / particleSteps);
    f.cpu = std::min(f.cpu, cpu * 1e9 / particleSteps);
  }
  state.counters["wall_ns_per_step"] = f.wall;
  state.counters["cpu_ns_per_step"] = f.cpu;
  state.counters["bytes_per_particle"] = 40;
  (kGridded ? bestGridded() : best())[static_cast<long>(n)] = f;
}
BENCHMARK(BM_Drift<false>)
    ->Name("BM_Drift")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_Drift<true>)
    ->Name("BM_DriftGridded")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The same drift with land: each particle is looked up on a grid of the land over the cloud's
// reach after every step, the mask asked only in the coast's cells. Laying the grid (bins read
// and prepared) is timed apart, once.
void BM_DriftOnLand(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const DriftModel model = benchModel();
  DriftRun run;
  run.endSeconds = kEpoch + kHours * 3600.0;
  const ParticleCloud seeded = seedCloud(model, n, 1);
  const vestrand::land::Atlas& atlas = vestrand::land::Atlas::standard();
  const auto resolution = atlas.choose(vestrand::land::detailForExtent(100.0));
  if (!resolution) {
    state.SkipWithError("no GSHHG shorelines installed");
    return;
  }
  const auto mask = atlas.mask(*resolution);
  static const UniformForcing forcing({{kEpoch, 270.0, 20.0}}, 45.0, 0.5);
  const auto laying = std::chrono::steady_clock::now();
  const vestrand::land::LandGrid grid(*mask, driftReach(seeded, model, forcing, run));
  const std::chrono::duration<double> laid = std::chrono::steady_clock::now() - laying;
  run.land = &grid;
  const double particleSteps = static_cast<double>(n) * kHours * 6.0;
  Figures f{1e300, 1e300};
  DriftOutcome out;
  for (auto _ : state) {
    const auto [wall, cpu] = timedRun(seeded, model, run);
    state.SetIterationTime(wall);
    f.wall = std::min(f.wall, wall * 1e9 / particleSteps);
    f.cpu = std::min(f.cpu, cpu * 1e9 / particleSteps);
  }
  state.counters["wall_ns_per_step"] = f.wall;
  state.counters["cpu_ns_per_step"] = f.cpu;
  state.counters["grid_ms"] = laid.count() * 1e3;
  state.counters["coast_cells"] = grid.shoreShare();
}
BENCHMARK(BM_DriftOnLand)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime();

// A creeping line of 200 legs over the cloud from hour 24, at 8 kn: the time of the run with the
// search less the time of the same run without it.
void BM_Score200Legs(benchmark::State& state) {
  const std::size_t n = 100000;
  const DriftModel model = benchModel();
  SearchEffort search;
  search.name = "bench.gpx";
  search.startSeconds = kEpoch + 24.0 * 3600.0;
  search.speedKn = 8.0;
  search.sweepWidthNm = 0.5;
  std::vector<SearchEffort::Point> route;
  for (int leg = 0; leg <= 100; ++leg) {
    const double lat = 43.75 + (leg - 50) * 0.2 / 60.0;
    route.push_back({lat, leg % 2 ? -3.15 : -3.20});
    route.push_back({lat, leg % 2 ? -3.20 : -3.15});
  }
  route.pop_back();
  search.routes.push_back(route);
  DriftRun plain;
  plain.endSeconds = kEpoch + 80.0 * 3600.0;
  DriftRun scored = plain;
  scored.searches.push_back(search);
  const ParticleCloud seeded = seedCloud(model, n, 1);
  double wallExtra = 1e300, cpuExtra = 1e300;
  for (auto _ : state) {
    DriftOutcome out;
    const auto with = timedRun(seeded, model, scored, &out);
    const auto without = timedRun(seeded, model, plain);
    state.SetIterationTime(std::max(0.0, with.first - without.first));
    wallExtra = std::min(wallExtra, with.first - without.first);
    cpuExtra = std::min(cpuExtra, with.second - without.second);
    state.counters["pos"] = out.searches.at(0).pos;
  }
  state.counters["legs"] = static_cast<double>(timedLegs(search, kEpoch).size());
  state.counters["scoring_wall_ms"] = wallExtra * 1e3;
  state.counters["scoring_cpu_ms"] = cpuExtra * 1e3;
}
BENCHMARK(BM_Score200Legs)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

bool numpyNs(long n, Figures& f) {
  const std::string command = std::string("/usr/bin/python3 ") + VESTRAND_DRIFT_NUMPY + " " +
                              std::to_string(n) + (n >= 1000000 ? " 1" : " 3");
  std::FILE* p = ::popen(command.c_str(), "r");
  if (!p) return false;
  const bool read = std::fscanf(p, "ns_per_particle_step %lf %lf", &f.wall, &f.cpu) == 2;
  ::pclose(p);
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\nns per particle-step, C++ (every core) against NumPy (one core)\n");
  std::printf("%-10s %10s %10s %8s %10s %10s %8s\n", "particles", "C++ wall", "NumPy wall", "ratio",
              "C++ cpu", "NumPy cpu", "ratio");
  for (const auto& [n, c] : best()) {
    Figures np;
    if (!numpyNs(n, np)) {
      std::printf("%-10ld %10.3f %10s %8s %10.3f\n", n, c.wall, "no numpy", "-", c.cpu);
      continue;
    }
    std::printf("%-10ld %10.3f %10.3f %7.1fx %10.3f %10.3f %7.1fx\n", n, c.wall, np.wall,
                np.wall / c.wall, c.cpu, np.cpu, np.cpu / c.cpu);
  }
  std::printf("\nns per particle-step through gridded fields against constants (processor time)\n");
  std::printf("%-10s %10s %10s %8s\n", "particles", "constant", "gridded", "factor");
  for (const auto& [n, g] : bestGridded()) {
    const auto c = best().find(n);
    if (c == best().end()) continue;
    std::printf("%-10ld %10.3f %10.3f %7.2fx\n", n, c->second.cpu, g.cpu, g.cpu / c->second.cpu);
  }
  benchmark::Shutdown();
  return 0;
}
