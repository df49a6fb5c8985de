// Searches that found nothing, as timed legs, and the chance that a leg would have seen an object.
//
// A search unit sails the routes of a plan one after the other from its start time, every leg
// straight at its search speed. Between the end of one route and the start of the next it is on
// passage at the same speed and is not counted as searching. A leg is placed on its own local
// plane: nautical miles east and north of its start, the east scaled by the cosine of the leg's
// mean latitude, as plane sailing does.
//
// The detection law is the inverse-cube lateral range curve: an object passed at a closest
// distance x is seen with probability p(x) = 1 - exp(-W^2 / (4 pi x^2)), whose integral over all
// lateral ranges is the sweep width W.
//
// Units: positions in degrees; times in hours after a given epoch unless said otherwise;
// distances in nautical miles; speeds in knots.
#pragma once

#include <string>
#include <vector>

namespace vestrand::drift {

// One search: the routes sailed, from when, how fast, and how well the unit sees.
struct SearchEffort {
  struct Point {
    double lat = 0.0, lon = 0.0;  // degrees
  };
  std::string name;                        // for the reports: the file the routes came from
  double startSeconds = 0.0;               // seconds since the epoch of 1970
  double speedKn = 1.0;                    // above 0
  double sweepWidthNm = 1.0;               // above 0
  std::vector<std::vector<Point>> routes;  // each of two points or more; fewer are passed by
};

// One leg of a search, timed and placed on its plane.
struct TimedLeg {
  double lat = 0.0, lon = 0.0;     // the leg's start, degrees
  double cosLat = 1.0;             // cosine of the leg's mean latitude
  double east = 0.0, north = 0.0;  // the leg's end from its start, nautical miles
  double startHours = 0.0, endHours = 0.0;
};

// The legs of a search in sailing order, their times counted in hours after `epochSeconds`.
// Legs of no length (a repeated point) take no time and are left out.
std::vector<TimedLeg> timedLegs(const SearchEffort& search, double epochSeconds);

// The hours at which the unit finishes its last route, after `epochSeconds`; the start when
// there is no leg.
double searchEndHours(const SearchEffort& search, double epochSeconds);

// p(x) = 1 - exp(-W^2 / (4 pi x^2)); 1 at x = 0.
// @param[in] x closest distance, nautical miles, 0 or more
// @param[in] w sweep width, nautical miles, above 0
double lateralRangeDetection(double x, double w);

}  // namespace vestrand::drift
