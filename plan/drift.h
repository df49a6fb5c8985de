// The datum of a search corrected for drift: where the object is when the search starts.
//
// The object drifts with the water (the current's set and drift) and with the wind (its
// leeway). The two add as vectors into one total drift, and the datum is the last known position
// sailed by plane sailing along the total drift for the hours since.
//
// Units: positions in decimal degrees (north and east positive), directions in degrees true
// toward which the water or the object moves (a current "setting 090" flows east), speeds in
// knots, times in hours, distances in nautical miles. Degrees become radians as everywhere in
// the navigation library: angle * kPi / 180 with its short pi.
#pragma once

namespace vestrand {

// One motion of the water or the object: the direction it moves toward and its speed.
// A speed of 0 stands for a motion that is absent; its direction is then of no account.
struct DriftVector {
  double toward = 0.0;  // degrees true, any value (not reduced)
  double speed = 0.0;   // knots
};

struct DriftedDatum {
  double lat = 0.0;       // degrees; not folded at a pole (the caller refuses one past it)
  double lon = 0.0;       // degrees; not wrapped at the antimeridian
  double course = 0.0;    // direction of the total drift, degrees true in [0, 360); 0 for none
  double speed = 0.0;     // knots
  double distance = 0.0;  // nautical miles drifted: speed * hours
};

// The vector sum of the water current and the leeway, as east and north components.
// @return the total drift, its direction in [0, 360). When the two cancel (opposite and equal,
//   to the rounding of the short pi) the drift is exactly zero, with direction 0.
DriftVector totalDrift(const DriftVector& current, const DriftVector& leeway);

// The last known position carried by the total drift for `hours`.
// @param[in] lat, lon last known position, degrees
// @param[in] hours time since, hours; 0 gives the last known position itself
DriftedDatum driftedDatum(double lat, double lon, double hours, const DriftVector& current,
                          const DriftVector& leeway);

}  // namespace vestrand
