// The SVG picture of a pattern of a million turning points, drawn in bounded memory: the process's
// peak resident size must stay under 32 MiB, whatever the count. Reports the time, the points
// kept in the picture and the peak; exits with 1 when the peak is over the limit.
//
//   build/bench/svg_bench [leg pairs]     (default 499999: 1,000,000 turning points)
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "plan_figure.h"
#include "plan_svg.h"
#include "vestrand.gpx.h"

namespace {

namespace fs = std::filesystem;

constexpr long kLimitKiB = 32 * 1024;

long peakResidentKiB() {
  struct rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int pairs = argc > 1 ? std::atoi(argv[1]) : 499999;
  std::string folder = (fs::temp_directory_path() / "vestrand-svg-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror("svg_bench: no scratch folder");
    return 2;
  }
  // Spacing small enough that the square stays some hundred miles across, as a real one might.
  const vestrand::PatternParams params{
      vestrand::PatternKind::ExpandingSquare, 43.5, -3.75, 30.0, 0.0001, 0.0, pairs};
  vestrand::PatternNames names;
  if (!vestrand::composePatternNames(params, "bench", names)) return 2;
  const std::string path = folder + "/bench.svg";

  const long before = peakResidentKiB();
  const auto start = std::chrono::steady_clock::now();
  const vestrand::PlanFigure figure =
      vestrand::drawPlanFigure(params, names, vestrand::kSvgPictureSize);
  std::string error;
  const bool written = vestrand::writePlanSvg(figure, path, error);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long peak = peakResidentKiB();
  std::error_code ignored;
  const auto bytes = fs::file_size(path, ignored);
  fs::remove_all(folder, ignored);
  if (!written) {
    std::fprintf(stderr, "svg_bench: %s\n", error.c_str());
    return 2;
  }

  std::printf("turning points   %zu\n", figure.routes.front().sailedPoints);
  std::printf("points kept      %zu\n", figure.lineVertexCount());
  std::printf("file             %ju bytes\n", static_cast<std::uintmax_t>(bytes));
  std::printf("time             %.2f s (two sailings and the write)\n", seconds);
  std::printf("peak RSS         %ld KiB (%ld KiB before drawing; limit %ld KiB)\n", peak, before,
              kLimitKiB);
  if (peak > kLimitKiB) {
    std::printf("FAILED: the picture took more than 32 MiB\n");
    return 1;
  }
  return 0;
}
