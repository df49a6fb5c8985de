// The probability of detecting the object, from the coverage of its area.
//
// The coverage C of an area is the effort spent on it (speed x time x sweep width of the units)
// over its size; for evenly spaced tracks it is the sweep width W over the track spacing S. The
// search conditions decide which law turns it into a probability of detection (POD):
//  - ideal conditions, a careful search along evenly spaced tracks (the inverse-cube law):
//    POD = erf(sqrt(pi) / 2 * C);
//  - normal conditions, where navigation and detection are less than perfect (the exponential,
//    or random search, law): POD = 1 - e^(-C).
// Both lie in [0, 1) for C >= 0 and grow with C; at equal coverage the ideal law gives the
// higher value.
#pragma once

namespace vestrand {

// POD by the inverse-cube law for the coverage factor C (a plain number, 0 or more).
double podInverseCube(double coverage);
// POD by the exponential (random search) law for the coverage factor C.
double podExponential(double coverage);

enum class SearchConditions { Ideal, Normal };

// POD for the coverage under the conditions: podInverseCube for Ideal, podExponential for Normal.
double podFor(SearchConditions conditions, double coverage);

}  // namespace vestrand
