#include "search_area.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vestrand {
namespace {

constexpr FixError kFixErrors[] = {
    {"gnss", 0.1}, {"radar", 1.0}, {"visual", 1.0}, {"celestial", 2.0}, {"beacon", 4.0}};

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The chance that a standard normal variable lies between lo and hi (lo <= hi). In a tail the
// complements are subtracted, so that two values near 1 do not cancel each other's digits.
double normalBetween(double lo, double hi) {
  const double a = lo / std::numbers::sqrt2;
  const double b = hi / std::numbers::sqrt2;
  if (a >= 0.0) return 0.5 * (std::erfc(a) - std::erfc(b));
  if (b <= 0.0) return 0.5 * (std::erfc(-b) - std::erfc(-a));
  return 0.5 * (std::erf(b) - std::erf(a));
}

double posAtRadius(double radius, double divergence, double sigma, double effort,
                   SearchConditions conditions) {
  return areaFigures(2.0 * radius + divergence, 2.0 * radius, divergence, sigma, effort, conditions)
      .pos;
}

// Steps of the first scan: radii 2 % apart, so the golden sections start from a bracket of 4 %.
constexpr double kScanRatio = 1.02;
// The bracket's final width, a share of the radius.
constexpr double kRadiusTolerance = 0.001;

}  // namespace

std::span<const FixError> fixErrors() {
  return kFixErrors;
}

const FixError* findFixError(std::string_view name) {
  for (const FixError& f : kFixErrors) {
    if (std::ranges::equal(f.name, name, [](char a, char b) { return a == lower(b); })) return &f;
  }
  return nullptr;
}

ProbableError probableError(double x, double y, double driftDistance) {
  ProbableError e;
  e.x = x;
  e.y = y;
  e.drift = kDriftErrorShare * driftDistance;
  e.total = std::sqrt(x * x + y * y + e.drift * e.drift);
  e.sigma = e.total / std::sqrt(2.0 * std::numbers::ln2);
  return e;
}

double rectanglePoc(double halfLength, double halfWidth, double along, double across,
                    double sigma) {
  return normalBetween((-halfLength - along) / sigma, (halfLength - along) / sigma) *
         normalBetween((-halfWidth - across) / sigma, (halfWidth - across) / sigma);
}

double searchAreaPoc(double length, double width, double divergence, double sigma) {
  const double a = length / 2.0;
  const double b = width / 2.0;
  const double d = divergence / 2.0;
  return 0.5 * (rectanglePoc(a, b, -d, 0.0, sigma) + rectanglePoc(a, b, d, 0.0, sigma));
}

AreaFigures areaFigures(double length, double width, double divergence, double sigma, double effort,
                        SearchConditions conditions) {
  AreaFigures f;
  f.poc = searchAreaPoc(length, width, divergence, sigma);
  f.coverage = effort / (length * width);
  f.pod = podFor(conditions, f.coverage);
  f.pos = f.poc * f.pod;
  return f;
}

double optimalRadius(double divergence, double sigma, double effort, SearchConditions conditions) {
  if (!(sigma > 0.0) || !(effort > 0.0) || !std::isfinite(sigma) || !std::isfinite(effort)) {
    return std::nan("");
  }
  // Beyond ten sigma the area holds the object all but surely, and beyond the square root of the
  // effort the coverage falls below 1/4: past both, a larger radius only thins the effort.
  const double scale = sigma + std::sqrt(effort);
  const double highest = 10.0 * sigma + 2.0 * std::sqrt(effort) + divergence;
  double best = 1e-3 * scale;
  double bestPos = posAtRadius(best, divergence, sigma, effort, conditions);
  for (double r = best * kScanRatio; r <= highest; r *= kScanRatio) {
    const double pos = posAtRadius(r, divergence, sigma, effort, conditions);
    if (pos > bestPos) {
      best = r;
      bestPos = pos;
    }
  }
  double lo = best / kScanRatio;
  double hi = best * kScanRatio;
  const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
  double m1 = hi - golden * (hi - lo);
  double m2 = lo + golden * (hi - lo);
  double p1 = posAtRadius(m1, divergence, sigma, effort, conditions);
  double p2 = posAtRadius(m2, divergence, sigma, effort, conditions);
  while (hi - lo > kRadiusTolerance * lo) {
    if (p1 >= p2) {
      hi = m2;
      m2 = m1;
      p2 = p1;
      m1 = hi - golden * (hi - lo);
      p1 = posAtRadius(m1, divergence, sigma, effort, conditions);
    } else {
      lo = m1;
      m1 = m2;
      p1 = p2;
      m2 = lo + golden * (hi - lo);
      p2 = posAtRadius(m2, divergence, sigma, effort, conditions);
    }
  }
  return (lo + hi) / 2.0;
}

}  // namespace vestrand
