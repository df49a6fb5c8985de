#include "detection.h"

#include <cmath>
#include <numbers>

namespace vestrand {

double podInverseCube(double coverage) {
  // The law's own pi, not the navigation library's short one: no angle is converted here.
  return std::erf(std::sqrt(std::numbers::pi) / 2.0 * coverage);
}

double podExponential(double coverage) {
  // expm1 keeps the digits of a small coverage that 1 - exp(-C) would cancel away.
  return -std::expm1(-coverage);
}

double podFor(SearchConditions conditions, double coverage) {
  return conditions == SearchConditions::Ideal ? podInverseCube(coverage)
                                               : podExponential(coverage);
}

}  // namespace vestrand
