// A search plan: from the datums, the probable error and the units at hand, the search area that
// gives the best probability of success, each unit's strip of it and the parallel sweep that
// searches the strip.
//
// The steps, in order:
//  1. E, the total probable error (search_area.h), from X, Y and the drift to the downwind datum.
//  2. The effort Z = sum of V T W over the units (speed, time on scene, sweep width), and the
//     relative effort Zr = Z / E^2.
//  3. The optimum radius R (optimalRadius) and its area: 2R + DD along the axis from the left to
//     the right datum, 2R across, centred between them; the search factor fs = R / E.
//  4. Each unit's track spacing S = W A / Z, rounded down to a multiple of 0.1 NM (at least 0.1).
//     The units then cover A' = sum of V T S: the rectangle is scaled by sqrt(A' / A) about its
//     centre, and POC, coverage, POD and POS are worked for it.
//  5. The planned area is cut across its long axis into one strip per unit, in the units' order
//     from the end nearer the left datum, each strip's length in proportion to the unit's effort,
//     so that every unit gives its strip the same coverage.
//  6. Each unit searches its strip by a parallel sweep: legs along the strip's longer side, S
//     apart, the first ½ S inside an edge, each ending ½ S inside the strip's ends; the commence
//     search point (CSP) ½ S inside a corner from both sides (the corner nearest the unit's start
//     when it gives one, otherwise the rear left one); as many legs as fit. A strip narrower than
//     S both ways gets one leg down its middle from edge to edge. When the route is longer than
//     the unit's V T, the last leg pair is dropped until it fits.
//
// Geometry: the area is laid out on the plane of the centre, every point placed from the centre by
// plane sailing (PosicionLlegada) at its course and distance; distances of routes and arrivals
// are plane-sailing distances (RumboDistancia). Longitudes are not wrapped at the antimeridian.
//
// With land (SearchPlanInput::land) the plan leaves it out, the area itself chosen as without:
//  - POCs count water only, divided by the share of the object's distribution that lies on water
//    (it cannot be on land, so that share holds all of it); the coverage, W / S on the water
//    searched, is as without land;
//  - the strips are cut so that each holds water in proportion to its unit's effort;
//  - every leg and turn of a route is cut to its water pieces, each ending ½ S off the land as at
//    a strip's edge; consecutive pieces are joined straight where the join stays on water,
//    otherwise both ends are pulled back ½ S at a time (at most kMostPullBacks times) until it
//    does; a join that still crosses land is kept and reported as a transit round it.
// An area with no land in it, and legs that meet none, come out exactly as without land.
//
// Units: positions in decimal degrees (north and east positive), courses in degrees true,
// distances in nautical miles, areas and efforts in square nautical miles, speeds in knots,
// times in hours.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datums.h"
#include "search_area.h"
#include "vestrand.gpx.h"

namespace vestrand {

namespace land {
class LandMask;
}

struct LatLon {
  double lat = 0.0;
  double lon = 0.0;
};

// Where a unit sets out from, to reach its commence search point.
struct UnitStart {
  LatLon at;
  double transitSpeed = 0.0;  // knots, above 0
};

struct SearchUnit {
  std::string name;         // 1 to 20 letters, digits, '-' or '_' (the caller checks)
  double speed = 0.0;       // search speed V, knots, above 0
  double hours = 0.0;       // time on scene T, hours, above 0
  double sweepWidth = 0.0;  // W, nautical miles, above 0
  std::optional<UnitStart> start;

  double effort() const { return speed * hours * sweepWidth; }  // Z = V T W
};

inline constexpr std::size_t kMaxSearchUnits = 8;
// Track spacings are rounded down to a multiple of this, nautical miles.
inline constexpr double kSpacingStep = 0.1;

struct SearchPlanInput {
  Datums datums;
  double x = 0.0;  // initial position error of the object, nautical miles, 0 or more
  double y = 0.0;  // navigation error of the search units, nautical miles, 0 or more
  SearchConditions conditions = SearchConditions::Normal;
  std::vector<SearchUnit> units;  // 1 to kMaxSearchUnits
  // The shorelines to leave land out with; none: the plan as if all were water. Kept by the
  // caller while the plan is made.
  const land::LandMask* land = nullptr;
};

// How often a join across land pulls its ends back before it is kept as a transit.
inline constexpr int kMostPullBacks = 8;

// A rectangle of the plan: the whole area or one unit's strip.
struct PlanRectangle {
  LatLon centre;
  double axisCourse = 0.0;  // of its long axis (the area's), degrees true in [0, 360)
  double length = 0.0;      // along the axis
  double width = 0.0;       // across it
  // Rear left, front left, front right, rear right: "Area 1" to "Area 4" of the file. Rear is
  // the end the axis starts from; right is to the right looking along the axis.
  std::array<LatLon, 4> corners;

  double area() const { return length * width; }
};

// How far a unit is from its commence search point and when it gets there.
struct Arrival {
  double course = 0.0;    // from the start to the CSP, degrees true in [0, 360)
  double distance = 0.0;  // nautical miles
  double hours = 0.0;     // at the transit speed, from setting out
  // Setting out at the time of the last known position, the unit reaches its CSP after the
  // datum time (the datums' hours): the object will have drifted on.
  bool late = false;
};

// A join of a route's water pieces that crosses land: the unit must go round.
struct LandTransit {
  LatLon from, to;      // the ends of the join, on water
  double landNm = 0.0;  // of the join on land
};

struct UnitPlan {
  std::string name;
  double effort = 0.0;          // V T W
  double optimumSpacing = 0.0;  // W A / Z, before rounding
  double spacing = 0.0;         // S, rounded down to kSpacingStep
  PlanRectangle strip;          // corners "rear" to "front" along the area's axis
  int legs = 0;                 // search legs of the route (the turns between them not counted)
  int droppedLegs = 0;          // legs left out so that the route fits V T (pairs)
  std::vector<LatLon> route;    // turning points, the CSP first
  double track = 0.0;           // the route's length, nautical miles
  double hours = 0.0;           // track / V
  // The route is longer than V T even after dropping what could be dropped (a strip of one
  // or two legs): the unit cannot finish it.
  bool overEndurance = false;
  std::optional<Arrival> arrival;
  // With land: the share of the strip on land (0 to 1), the legs and turns cut at land, and the
  // joins that cross it.
  double landShare = 0.0;
  int cutLegs = 0;
  std::vector<LandTransit> transits;

  const LatLon& csp() const { return route.front(); }
};

struct SearchPlan {
  Datums datums;
  SearchConditions conditions = SearchConditions::Normal;
  ProbableError error;
  double effort = 0.0;          // Z
  double relativeEffort = 0.0;  // Zr = Z / E^2
  double radius = 0.0;          // R, the optimum
  double searchFactor = 0.0;    // fs = R / E
  PlanRectangle optimumArea;    // 2R + DD by 2R
  AreaFigures optimum;          // for the optimum area, before the spacings are rounded
  PlanRectangle area;           // scaled to what the rounded spacings cover
  AreaFigures planned;
  std::vector<UnitPlan> units;
  // With land: the share of the planned and of the optimum area on land, and the share of the
  // object's distribution on water, which divides the POCs (1 over a cloud, whose POC the caller
  // gives).
  bool landChecked = false;
  double areaLandShare = 0.0;
  double optimumLandShare = 0.0;
  double afloat = 1.0;
};

// Why no plan could be made.
enum class PlanFault {
  None,
  NoUnits,    // no unit, or more than kMaxSearchUnits
  NoEffort,   // a unit whose speed, time or sweep width is not a finite number above 0
  NoError,    // X, Y or the drift error not finite or negative, or E = 0: nothing to search
  NotFinite,  // a position of the plan is not a finite number
  PastPole,   // a point of the plan would lie beyond 90 degrees of latitude
  OnLand,     // with land: the object's distribution, or the planned area, lies wholly on land
};

// Makes the plan.
// @param[out] plan the plan; unspecified when a fault is returned
// @return PlanFault::None, or why there is no plan
PlanFault planSearch(const SearchPlanInput& input, SearchPlan& plan);

// The POC of a rectangle about the area's centre: `length` along its axis, `width` across it,
// nautical miles; 0 to 1.
using AreaPoc = std::function<double(double length, double width)>;

// The plan over an area chosen by other means (a simulated cloud's, drift/cloud_area.h): the
// optimum rectangle's centre, long axis (degrees true) and sides are given, and `poc` gives the
// POC of any rectangle about that centre (with land, of its water); steps 4 to 6 as above. E comes
// from X, Y and the datums as for planSearch; the radius R is half the width and fs = R / E.
PlanFault planSearchOver(const SearchPlanInput& input, LatLon centre, double axisCourse,
                         double length, double width, const AreaPoc& poc, SearchPlan& plan);

// The names of the plan's file: "<stem> PLAN.gpx", and each unit's route "<stem> - <unit>".
std::string searchPlanFileName(std::string_view stem);
std::string searchPlanRouteName(std::string_view stem, std::string_view unit);

// Hands the plan to a sink as its file holds it: one route per unit, named as above; then the
// waypoints: "Datum" (or "Datum L", "Datum R" and "Datum DW" when the datums diverge), the area's
// corners "Area 1" to "Area 4", and "CSP <unit>" for each unit. Route points are unnamed.
void sailSearchPlan(const SearchPlan& plan, std::string_view stem, PatternSink& sink);

}  // namespace vestrand
