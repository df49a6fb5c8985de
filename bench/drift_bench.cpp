// How fast the probability map is drifted and scored, beside a NumPy version of the same model.
//
// The case (the same in drift_numpy.py): a deep-ballast life raft 1 NM about 43.5N 3.75W, a wind
// of 20 kn from 270, a current of 0.5 kn setting 045 with a 0.2 kn error, jibes at 4 % an hour,
// 48 hours in 10-minute steps; 10,000, 100,000 and 1,000,000 particles on every core. The
// counter `ns_per_step` is the wall time per particle-step. Then a search of 200 legs scored
// against 100,000 particles. At the end the NumPy version runs on the same case (Debian's
// /usr/bin/python3 with python3-numpy) and the ratios are printed.
//
//   build/bench/drift_bench [--benchmark_counters_tabular=true]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "drift_forcing.h"
#include "drift_run.h"
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

std::map<long, double>& bestNs() {
  static std::map<long, double> best;
  return best;
}

void BM_Drift(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const DriftModel model = benchModel();
  DriftRun run;
  run.endSeconds = kEpoch + kHours * 3600.0;
  const ParticleCloud seeded = seedCloud(model, n, 1);
  std::size_t steps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ParticleCloud cloud = seeded;
    state.ResumeTiming();
    steps = runDrift(cloud, model, benchForcing(), run, 1).steps;
    benchmark::DoNotOptimize(cloud.dLat.data());
  }
  const double particleSteps = static_cast<double>(n) * static_cast<double>(steps);
  state.counters["particle_steps_per_s"] =
      benchmark::Counter(particleSteps, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ns_per_step"] =
      benchmark::Counter(particleSteps * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
  state.counters["bytes_per_particle"] = 40;
}
BENCHMARK(BM_Drift)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A creeping line of 200 legs of 2 NM, 0.2 NM apart, over the cloud's middle at hour 24-74 of a
// drift run to hour 80 at 8 kn: the time of the run with the search less the time without.
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
  for (auto _ : state) {
    state.PauseTiming();
    ParticleCloud cloud = seeded;
    state.ResumeTiming();
    const DriftOutcome out = runDrift(cloud, model, benchForcing(), scored, 1);
    benchmark::DoNotOptimize(out.cumulativePos);
    state.counters["pos"] = out.searches.at(0).pos;
    state.counters["legs"] = static_cast<double>(vestrand::drift::timedLegs(search, kEpoch).size());
  }
}
BENCHMARK(BM_Score200Legs)->Unit(benchmark::kMillisecond)->UseRealTime();

// The best time per particle-step of the C++ runs, by particle count.
class Collect : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const auto it = r.counters.find("ns_per_step");
      if (it == r.counters.end() || r.run_type != Run::RT_Iteration) continue;
      const long n = std::stol(r.run_name.args);
      auto& best = bestNs()[n];
      best = best == 0.0 ? it->second.value : std::min(best, it->second.value);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

double numpyNs(long n) {
  const std::string command = std::string("/usr/bin/python3 ") + VESTRAND_DRIFT_NUMPY + " " +
                              std::to_string(n) + (n >= 1000000 ? " 1" : " 3");
  std::FILE* p = ::popen(command.c_str(), "r");
  if (!p) return 0.0;
  double ns = 0.0;
  if (std::fscanf(p, "ns_per_particle_step %lf", &ns) != 1) ns = 0.0;
  ::pclose(p);
  return ns;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Collect reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-10s %16s %16s %8s\n", "particles", "C++ ns/step", "NumPy ns/step", "ratio");
  for (const auto& [n, ns] : bestNs()) {
    const double np = numpyNs(n);
    if (np > 0.0) {
      std::printf("%-10ld %16.3f %16.3f %7.1fx\n", n, ns, np, np / ns);
    } else {
      std::printf("%-10ld %16.3f %16s %8s\n", n, ns, "(no numpy)", "-");
    }
  }
  benchmark::Shutdown();
  return 0;
}
