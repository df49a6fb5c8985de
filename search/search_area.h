// How uncertain the object's position is, how large the search area should be for the effort at
// hand, and the chances it gives: probable error, probability of containment (POC), coverage,
// probability of detection (POD) and of success (POS = POC x POD).
//
// The model: about each datum the object's position is circular normal with a standard deviation
// sigma = E / sqrt(2 ln 2) on both axes, E the total probable error (the radius of the circle that
// holds half the probability). With a left and a right datum the object is about either with
// equal chance, so its distribution is the equal mixture of the two.
//
// The search area is a rectangle centred on the midpoint of the left and right datums, its long
// axis along the line from the left datum to the right one: 2R + DD long and 2R wide, R the
// search radius and DD the divergence distance. In the rectangle's own axes each circular normal
// is the product of two independent normals, so its POC is a product of two differences of the
// normal distribution function: a closed form, no sampling.
//
// Units: distances, errors and radii in nautical miles, areas and efforts in square nautical
// miles; probabilities and coverage as plain numbers (0.5, not 50 %).
#pragma once

#include <span>
#include <string_view>

#include "detection.h"

namespace vestrand {

// The position error that typically comes with a kind of fix, nautical miles.
struct FixError {
  std::string_view name;  // "gnss", "radar", "visual", "celestial", "beacon"
  double error = 0.0;
};

// The fixes by name: gnss 0.1, radar 1, visual 1, celestial 2, beacon 4 NM.
std::span<const FixError> fixErrors();

// @param[in] name a fix's name, letters in any case
// @return the fix, or nullptr when none has that name
const FixError* findFixError(std::string_view name);

// The drift error is this share of the distance drifted from the last known position to the
// downwind datum.
inline constexpr double kDriftErrorShare = 0.3;

struct ProbableError {
  double x = 0.0;      // the initial position error of the object
  double y = 0.0;      // the navigation error of the search units
  double drift = 0.0;  // De = kDriftErrorShare x the drift distance
  double total = 0.0;  // E = sqrt(X^2 + Y^2 + De^2)
  double sigma = 0.0;  // E / sqrt(2 ln 2): the standard deviation on each axis
};

// @param[in] x, y the position errors, nautical miles, 0 or more
// @param[in] driftDistance from the last known position to the downwind datum, nautical miles
ProbableError probableError(double x, double y, double driftDistance);

// The POC of a rectangle for one circular normal distribution, in the rectangle's axes.
// @param[in] halfLength, halfWidth half the rectangle's sides, nautical miles, 0 or more
// @param[in] along, across the distribution's centre from the rectangle's centre, nautical miles
// @param[in] sigma the standard deviation, nautical miles, above 0
// @return the probability, 0..1
double rectanglePoc(double halfLength, double halfWidth, double along, double across, double sigma);

// The POC of a search area: the rectangle `length` x `width` centred between the two datums,
// which lie on its long axis `divergence` apart (0: one datum, at the centre).
double searchAreaPoc(double length, double width, double divergence, double sigma);

// The figures of one search area for the effort spent on it.
struct AreaFigures {
  double poc = 0.0;
  double coverage = 0.0;  // C = Z / A
  double pod = 0.0;       // from C by the conditions' law (detection.h)
  double pos = 0.0;       // POC x POD
};

// @param[in] length, width the rectangle, nautical miles, above 0
// @param[in] divergence the datums' distance, nautical miles
// @param[in] sigma nautical miles, above 0
// @param[in] effort Z, square nautical miles, above 0
AreaFigures areaFigures(double length, double width, double divergence, double sigma, double effort,
                        SearchConditions conditions);

// The search radius R whose area (2R + DD by 2R) gives the highest POS for the effort: found by
// a scan of radii a few per cent apart, then narrowed by golden sections until the bracket is
// within 0.1 % of R. No table: the POS is worked for every radius tried.
// @return R, nautical miles; not-a-number when sigma or the effort is not above 0
double optimalRadius(double divergence, double sigma, double effort, SearchConditions conditions);

}  // namespace vestrand
