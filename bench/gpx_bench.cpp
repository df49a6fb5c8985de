// How fast a pattern reaches the disk, beside how fast the system writes the same bytes from
// memory and flushes them to the disk. The target: an expanding square of a million route points
// takes at most 1.25 times the plain write (the counter `ratio`), with the writer's memory flat
// and under 16 MiB whatever the count (`writerRSS_KiB`).
//
//   build/bench/gpx_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gpx.h"
#include "pattern_files.h"
#include "vestrand.gpx.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The benchmark writes into a scratch folder of its own, removed at exit.
const fs::path& scratch() {
  static const fs::path dir = [] {
    std::string pattern = (fs::temp_directory_path() / "vestrand-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(scratch(), ignored);
    });
    return fs::path(pattern);
  }();
  return dir;
}

// Small enough that a million points stay within some fifty miles of the datum, so the
// coordinates are the kind a real search writes. The datum lies on the equator and the course
// is north: elsewhere plane sailing's east and west legs, sailed at different latitudes, do not
// cancel, and half a million rings would walk the square round the globe.
constexpr double kSpacing = 0.0001;

long maxResidentKiB() {
  struct rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// The same bytes, already in memory, written to a new file, flushed to the disk and renamed into
// place, the folder synced after: the least any safe writer must do.
bool writePlain(const std::string& bytes) {
  const std::string part = (scratch() / "plain.part").string();
  const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) return false;
  std::size_t done = 0;
  // In pieces of 256 KiB: the fastest way for this machine, faster than one huge write.
  constexpr std::size_t kPiece = 256 * 1024;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(kPiece, bytes.size() - done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool synced = ::fsync(fd) == 0;
  if (::close(fd) != 0 || !synced || done != bytes.size() ||
      std::rename(part.c_str(), (scratch() / "plain.gpx").c_str()) != 0) {
    return false;
  }
  const int folder = ::open(scratch().c_str(), O_RDONLY | O_DIRECTORY);
  const bool folderSynced = folder >= 0 && ::fsync(folder) == 0;
  if (folder >= 0) ::close(folder);
  return folderSynced;
}

bool writePattern(int pairs, std::string& error) {
  std::vector<std::string> written;
  const vestrand::PatternParams p{
      vestrand::PatternKind::ExpandingSquare, 0.0, -3.75, 0.0, kSpacing, 0.0, pairs};
  return vestrand::writePatternFiles(p, "bench", scratch().string(), {}, written, error);
}

// Each iteration writes the pattern, then the same bytes plainly; the reported time is the
// pattern's, `plain_ms` the plain write's and `ratio` the quotient of the sums.
void ExpandingSquareAgainstPlainWrite(benchmark::State& state) {
  const long points = state.range(0);
  const int pairs = static_cast<int>((points - 2) / 2);  // 2n + 2 route points
  const fs::path file = scratch() / "bench SS 0.gpx";
  std::string error;
  if (!writePattern(pairs, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::string bytes;
  {
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const long residentBefore = maxResidentKiB();
  double pattern = 0, plain = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    if (!writePattern(pairs, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    const double one = seconds(start);
    state.SetIterationTime(one);
    pattern += one;
    start = Clock::now();
    if (!writePlain(bytes)) {
      state.SkipWithError("the plain write failed");
      break;
    }
    plain += seconds(start);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long>(bytes.size()));
  state.counters["plain_ms"] = 1000.0 * plain / static_cast<double>(state.iterations());
  state.counters["ratio"] = plain > 0 ? pattern / plain : 0.0;
  // The file's bytes are held once by the benchmark itself; the writer must add nothing per
  // point on top of that.
  state.counters["writerRSS_KiB"] = static_cast<double>(maxResidentKiB() - residentBefore);
}

// Coordinate formatting alone, the part that must not dominate, beside printf's cost.
void FormatCoordinates(benchmark::State& state) {
  char text[kCoordinateTextSize];
  double v = -179.123456789;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatCoordinate(v, text));
    v += 0.000123456789;
  }
}

void PrintfCoordinates(benchmark::State& state) {
  char text[kCoordinateTextSize];
  double v = -179.123456789;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.9lf", v));
    v += 0.000123456789;
  }
}

}  // namespace

BENCHMARK(ExpandingSquareAgainstPlainWrite)
    ->Arg(10000)
    ->Arg(1000000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FormatCoordinates);
BENCHMARK(PrintfCoordinates);

BENCHMARK_MAIN();
