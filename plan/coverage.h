// How well a pattern's tracks cover the ground: the coverage factor and the probability of
// detecting the object in one pass.
//
// The coverage factor C is the sweep width W (the width of the swath in which the search unit
// finds as many objects as it misses outside it) over the track spacing S. Two detection laws
// turn it into a probability of detection (POD):
//  - the inverse-cube law, for a careful search along evenly spaced tracks:
//    POD = erf(sqrt(pi) / 2 * C);
//  - the exponential law, for a random search of the same effort: POD = 1 - e^(-C).
// Both lie in [0, 1) for C >= 0 and grow with C; at equal coverage the inverse-cube law gives
// the higher value.
//
// Units: sweep width and track spacing in nautical miles; C, the PODs as plain numbers.
#pragma once

#include <string>

// The two laws themselves, podInverseCube and podExponential, are the search library's.
#include "detection.h"

namespace vestrand {

struct Coverage {
  double sweepWidth = 0.0;      // W, nautical miles
  double spacing = 0.0;         // S, nautical miles
  double factor = 0.0;          // C = W / S
  double podInverseCube = 0.0;  // 0..1
  double podExponential = 0.0;  // 0..1
};

// The coverage of tracks `spacing` apart by a unit of sweep width `sweepWidth`.
Coverage coverageOfSpacing(double sweepWidth, double spacing);
// The track spacing that gives the coverage factor `factor` (S = W / C), and its PODs.
Coverage coverageOfFactor(double sweepWidth, double factor);

// A POD for people, in per cent to one decimal ("98.8%"). A POD never reaches certainty, nor is
// any search's exactly nil: where one decimal would show 100.0 it reads "> 99.9%", where it
// would show 0.0 for a POD above 0 "< 0.1%". Not-a-number gives "-".
// @param[in] pod 0..1
std::string podText(double pod);

}  // namespace vestrand
