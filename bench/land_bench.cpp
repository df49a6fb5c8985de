// How fast land answers, at each installed GSHHG resolution. The targets: "is this particle on
// land" for a million particles well within a second per step on one core (`onLand`), and the
// land layer of a picture built in well under 50 ms at any zoom once its bins are read
// (`landLayer`, warm), so that a preview redraws with land at interactive speed. The cold runs
// show the cost of the first reading of an area's bins.
//
//   build/bench/land_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "land_atlas.h"
#include "land_mask.h"
#include "plan_land.h"
#include "vestrand.gpx.h"

namespace {

using vestrand::land::Atlas;
using vestrand::land::LatLon;
using vestrand::land::Resolution;

// The coast of Cantabria and the Bay of Biscay: 2 by 2 degrees, 45% land.
constexpr vestrand::land::GeoBox kCoast{42.5, -5.0, 44.5, -3.0};

std::vector<LatLon> randomPositions(std::size_t n, const vestrand::land::GeoBox& box) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> lat(box.south, box.north), lon(box.west, box.east);
  std::vector<LatLon> points(n);
  for (LatLon& p : points) p = {lat(random), lon(random)};
  return points;
}

void onLand(benchmark::State& state) {
  const auto resolution = static_cast<Resolution>(state.range(0));
  const auto mask = Atlas::standard().mask(resolution);
  mask->prepare(kCoast);
  const std::vector<LatLon> particles = randomPositions(1000000, kCoast);
  std::size_t land = 0;
  for (auto _ : state) {
    for (const LatLon& p : particles) land += mask->onLand(p);
  }
  benchmark::DoNotOptimize(land);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * particles.size()));
  state.SetLabel(vestrand::land::resolutionName(resolution));
}

// A particle's step of about a tenth of a mile: where it first meets land.
void particleStep(benchmark::State& state) {
  const auto resolution = static_cast<Resolution>(state.range(0));
  const auto mask = Atlas::standard().mask(resolution);
  mask->prepare(kCoast);
  const std::vector<LatLon> from = randomPositions(100000, kCoast);
  std::size_t stranded = 0;
  for (auto _ : state) {
    for (const LatLon& p : from) {
      stranded += mask->wayOverLand(p, {p.lat + 0.001, p.lon + 0.001}, false).crossesLand();
    }
  }
  benchmark::DoNotOptimize(stranded);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * from.size()));
  state.SetLabel(vestrand::land::resolutionName(resolution));
}

// A search leg of ten miles by plane sailing.
void leg(benchmark::State& state) {
  const auto resolution = static_cast<Resolution>(state.range(0));
  const auto mask = Atlas::standard().mask(resolution);
  mask->prepare(kCoast);
  const std::vector<LatLon> from = randomPositions(10000, {42.6, -4.9, 44.3, -3.3});
  std::size_t crossing = 0;
  for (auto _ : state) {
    for (const LatLon& p : from) {
      crossing += mask->wayOverLand(p, {p.lat + 0.1, p.lon + 0.15}, true).crossesLand();
    }
  }
  benchmark::DoNotOptimize(crossing);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * from.size()));
  state.SetLabel(vestrand::land::resolutionName(resolution));
}

void nearestShore(benchmark::State& state) {
  const auto resolution = static_cast<Resolution>(state.range(0));
  const auto mask = Atlas::standard().mask(resolution);
  const std::vector<LatLon> points = randomPositions(1000, kCoast);
  double sum = 0;
  for (auto _ : state) {
    for (const LatLon& p : points) sum += mask->nearestShore(p).nm;
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * points.size()));
  state.SetLabel(vestrand::land::resolutionName(resolution));
}

// The land layer of an expanding square's picture off Santander, the picture `range(0)` miles
// wide, at the resolution chosen for its scale. Warm: the bins were read by an earlier build;
// cold: a fresh atlas reads them.
void landLayer(benchmark::State& state, bool cold) {
  const double spacing = static_cast<double>(state.range(0)) / 8.0;
  const vestrand::PatternParams p{
      vestrand::PatternKind::ExpandingSquare, 43.5, -3.75, 0.0, spacing, 0.0, 3};
  vestrand::PatternNames names;
  vestrand::composePatternNames(p, "20121225143000", names);
  vestrand::PlanFigure figure = vestrand::drawPlanFigure(p, names, {800.0, 600.0});
  const auto resolution = Atlas::standard().choose(vestrand::landDetailNm(figure));
  if (!resolution) {
    state.SkipWithError("no GSHHG shorelines installed");
    return;
  }
  std::size_t points = 0;
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      const Atlas fresh(Atlas::standardFolders());
      const auto mask = fresh.mask(*resolution);
      state.ResumeTiming();
      vestrand::addLandLayer(figure, {p.lat, p.lon}, *mask);
    } else {
      vestrand::addLandLayer(figure, {p.lat, p.lon}, *Atlas::standard().mask(*resolution));
    }
    points = 0;
    for (const auto& ring : figure.land.rings) points += ring.size();
    for (const auto& shore : figure.land.shores) points += shore.size();
  }
  state.counters["points"] = static_cast<double>(points);
  state.SetLabel(vestrand::land::resolutionName(*resolution));
}

void registerAll() {
  for (Resolution r : Atlas::standard().installedResolutions()) {
    const auto level = static_cast<std::int64_t>(r);
    benchmark::RegisterBenchmark("onLand/1M", onLand)->Arg(level)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("particleStep/100k", particleStep)
        ->Arg(level)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("leg10NM/10k", leg)->Arg(level)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("nearestShore/1k", nearestShore)
        ->Arg(level)
        ->Unit(benchmark::kMillisecond);
  }
  for (const std::int64_t miles : {2, 20, 200, 2000, 20000}) {
    benchmark::RegisterBenchmark("landLayer/warm", landLayer, false)
        ->Arg(miles)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("landLayer/cold", landLayer, true)
        ->Arg(miles)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
