// A search pattern laid in drifting water: the rule that moves each turning point with the water
// for the time the unit takes to reach it.
//
// An object in the water drifts with it; a pattern fixed to the ground would have the unit
// search water the object has left. The unit sails the pattern's legs through the water at its
// search speed, so it reaches turning point k after t_k hours, the sum of the legs up to k over
// the speed. Meanwhile the water has moved: the compensated turning point k is the ground
// pattern's point k sailed by plane sailing (PosicionLlegada) toward the drift's set, at the
// drift's speed, for t_k hours. A route on the plotter through the compensated points leads over
// the ground to where each point of the pattern lies when the unit gets there.
//
// The clock starts at 0 at each unit's first point (the commence search point); a unit that sails
// several routes in turn (a sector of two passes) keeps its clock running, and the step between
// its routes is no leg, as in the leg table. Leg lengths are the plane-sailing distances between
// the ground pattern's consecutive points (RumboDistancia), the legs the summary counts.
//
// Units: positions in decimal degrees, directions in degrees true toward which the water moves,
// speeds in knots, times in hours, distances in nautical miles.
#pragma once

#include <string>

namespace vestrand {

struct WaterDrift {
  double set = 0.0;    // degrees true, the direction the water moves toward; any value
  double speed = 0.0;  // knots; 0 for water at rest
};

// Why a unit searching at `searchSpeed` cannot keep a pattern in this drift, or the empty text:
// a drift or speed that is not a finite number, a negative one, and a drift of half the search
// speed or more, which bends the pattern out of the shape the crew expects. Values are named:
// "a drift of 4 kn is half the search speed of 8 kn or more; ...".
std::string driftFault(const WaterDrift& drift, double searchSpeed);

// The marks a compensated pattern's names gain, so that its file never replaces the ground
// pattern's and its routes say for which drift they are laid: the set rounded to whole degrees in
// three digits, the speed to one decimal.
// " drift 090 1.5kn", put before the file's ".gpx"
std::string driftFileMark(const WaterDrift& drift);
// " compensated for drift 090 at 1.5 kn", put after each route's name
std::string driftRouteMark(const WaterDrift& drift);

// The rule, applied point by point in sailing order; nothing is kept per point.
class DriftLayout {
 public:
  // @param[in] searchSpeed knots through the water, above 0
  DriftLayout(const WaterDrift& drift, double searchSpeed);

  // A route of a new unit: the clock starts again.
  void startUnit();
  // A further route of the same unit: the clock runs on, the step to its first point is no leg.
  void continueUnit();
  // Takes the ground pattern's next point; returns where it lies when the unit reaches it.
  void place(double lat, double lon, double& placedLat, double& placedLon);
  // Hours from the unit's start to the point placed last.
  double hours() const { return hours_; }

 private:
  WaterDrift drift_;
  double speed_;
  double sailed_ = 0.0;  // nautical miles through the water since the unit's start
  double hours_ = 0.0;
  bool first_ = true;  // no leg leads to the next point
  double prevLat_ = 0.0, prevLon_ = 0.0;
};

}  // namespace vestrand
