#include "drift_forcing.h"

#include <algorithm>
#include <cmath>

namespace vestrand::drift {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

}  // namespace

UniformForcing::UniformForcing(std::vector<WindEntry> wind, double currentSetDeg,
                               double currentDriftKn) {
  std::stable_sort(wind.begin(), wind.end(),
                   [](const WindEntry& a, const WindEntry& b) { return a.seconds < b.seconds; });
  for (const WindEntry& w : wind) {
    // The wind moves toward its direction + 180 degrees.
    const double speed = w.speedKn * kMetresPerSecondPerKnot;
    const double toward = (w.fromDeg + 180.0) * kRadiansPerDegree;
    wind_.push_back({w.seconds, speed * std::sin(toward), speed * std::cos(toward)});
  }
  const double drift = currentDriftKn * kMetresPerSecondPerKnot;
  currentEast_ = drift * std::sin(currentSetDeg * kRadiansPerDegree);
  currentNorth_ = drift * std::cos(currentSetDeg * kRadiansPerDegree);
}

ForcingSample UniformForcing::sample(double, double, double seconds) const {
  ForcingSample s;
  s.curU = currentEast_;
  s.curV = currentNorth_;
  if (wind_.empty()) return s;
  const auto after = std::upper_bound(wind_.begin(), wind_.end(), seconds,
                                      [](double t, const Vector& v) { return t < v.seconds; });
  if (after == wind_.begin() || after == wind_.end()) {
    const Vector& end = after == wind_.begin() ? wind_.front() : wind_.back();
    s.windU = end.east;
    s.windV = end.north;
    return s;
  }
  const Vector& a = *(after - 1);
  const Vector& b = *after;
  const double f = (seconds - a.seconds) / (b.seconds - a.seconds);
  s.windU = a.east + f * (b.east - a.east);
  s.windV = a.north + f * (b.north - a.north);
  return s;
}

void DriftForcing::sampleBlock(double originLat, double originLon, const float* dLat,
                               const float* dLon, std::size_t n, double seconds,
                               const ForcingBlock& out) const {
  for (std::size_t i = 0; i < n; ++i) {
    const ForcingSample s = sample(originLat + dLat[i], originLon + dLon[i], seconds);
    out.windU[i] = static_cast<float>(s.windU);
    out.windV[i] = static_cast<float>(s.windV);
    out.curU[i] = static_cast<float>(s.curU);
    out.curV[i] = static_cast<float>(s.curV);
    out.flags[i] = 0;
  }
}

}  // namespace vestrand::drift
