#include "coverage.h"

#include "number_text.h"
#include "plan_summary.h"

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

std::string podText(double pod) {
  const std::string text = fixedText(pod * 100.0, 1);
  if (text == "-") return text;
  if (text == "100.0" || pod >= 1.0) return "> 99.9%";
  if (text == "0.0" && pod > 0.0) return "< 0.1%";
  return text + "%";
}

}  // namespace vestrand
