#include "drift_random.h"

#include <cmath>

namespace vestrand::drift {

double uniformOpen(std::uint64_t seed, std::uint64_t stream, std::uint64_t counter) {
  // Half a unit of the last place above zero, so the logarithm of Box and Muller stays finite.
  return (static_cast<double>(randomBits(seed, stream, counter) >> 11) + 0.5) * 0x1.0p-53;
}

NormalPair normalPair(std::uint64_t seed, std::uint64_t stream, std::uint64_t counter) {
  constexpr double kTwoPi = 6.283185307179586;
  const double radius = std::sqrt(-2.0 * std::log(uniformOpen(seed, stream, counter)));
  const double angle = kTwoPi * uniformOpen(seed, stream, counter + 1);
  return {radius * std::cos(angle), radius * std::sin(angle)};
}

}  // namespace vestrand::drift
