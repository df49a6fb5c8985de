// The datum of a search corrected for drift: where the object is when the search starts.
//
// The object drifts with the water (the current's set and drift) and with the wind (its
// leeway). The two add as vectors into one total drift, and the datum is the last known position
// sailed by plane sailing along the total drift for the hours since.
//
// With the leeway of an object class (leeway.h) the drift is worked three times: with the right
// side's leeway (the right datum), the left side's (the left datum) and the downwind part alone
// (the downwind datum). The object is near one of the first two, and the distance between them,
// the divergence distance, widens the search area.
//
// Units: positions in decimal degrees (north and east positive), directions in degrees true
// toward which the water or the object moves (a current "setting 090" flows east), speeds in
// knots, times in hours, distances in nautical miles. Degrees become radians as everywhere in
// the navigation library: angle * kPi / 180 with its short pi.
#pragma once

#include "leeway.h"

namespace vestrand {

// What a drift is worked for, wherever it is asked for (the window's drift group, the command
// line): the hours since the last known position, the speed of a current or a leeway, and its
// direction either way.
inline constexpr double kMaxDriftHours = 240.0;      // ten days: beyond that a datum is a guess
inline constexpr double kMaxDriftSpeed = 20.0;       // knots; faster than any current or leeway
inline constexpr double kMaxDriftDirection = 360.0;  // degrees true

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

// The datums of a search: one, or a left and a right one apart and the downwind one between.
struct Datums {
  DriftedDatum downwind;  // the one datum of a manual leeway; the current and downwind part else
  DriftedDatum left;      // the same as downwind when there is no divergence
  DriftedDatum right;
  double lastKnownLat = 0.0;  // the position they drifted from, degrees
  double lastKnownLon = 0.0;
  double hours = 0.0;       // since the last known position
  double divergence = 0.0;  // nautical miles from the left to the right datum (plane sailing)

  // True when the left and right datums lie apart (1e-8 nautical miles or more, the least
  // distance plane sailing gives a course for).
  bool diverges() const { return divergence >= 1e-8; }
};

// The three datums of an object class's leeway.
// @param[in] lat, lon last known position, degrees
// @param[in] hours time since, hours, 0 or more
// @param[in] current the total water current
// @param[in] leeway the class's leeway for the wind (leewayOf)
Datums leewayDatums(double lat, double lon, double hours, const DriftVector& current,
                    const Leeway& leeway);

// The one datum of a leeway given by hand (direction and speed), or of none: left, right and
// downwind are the same datum, with no divergence.
Datums manualDatums(double lat, double lon, double hours, const DriftVector& current,
                    const DriftVector& leeway);

}  // namespace vestrand
