#include "coverage.h"

namespace vestrand {

Coverage coverageOfSpacing(double sweepWidth, double spacing) {
  // The given spacing is kept as given: W / (W / S) need not give back S to the last digit.
  Coverage c = coverageOfFactor(sweepWidth, sweepWidth / spacing);
  c.spacing = spacing;
  return c;
}

Coverage coverageOfFactor(double sweepWidth, double factor) {
  Coverage c;
  c.sweepWidth = sweepWidth;
  c.factor = factor;
  c.spacing = sweepWidth / factor;
  c.podInverseCube = podInverseCube(factor);
  c.podExponential = podExponential(factor);
  return c;
}

}  // namespace vestrand
