// The geometry of a trackline search: the search of a vessel's intended route, for a vessel
// overdue on a known route.
//
// The route is a line of points joined by rhumb lines. The searched tracks run parallel to it,
// to the side: an offset track is made of the route's points each moved square to its legs, at a
// corner along the bisector of the turn and farther, by 1 / cos(half the turn), so that the
// track keeps its distance from both legs (a mitred corner); the track's ends move square to the
// first and the last leg. Offsets are positive to starboard of the direction of travel.
//
//  - Non-return (TSN): each unit sails the track once, forward. One unit sails the route itself;
//    several take tracks one track spacing S apart, centred on the route, the first unit on the
//    port side (with the first turn to port, on the starboard side).
//  - Return (TSR): a unit searches along one side of the route, offset S / 2, turns across it at
//    the end and comes back along the other side. With the first turn to starboard (the
//    default) it goes out on the port side; to port, out on the starboard side. Several units
//    each take such a pair of tracks, the pairs side by side, S apart, centred on the route.
//
// Units: positions in decimal degrees (north and east positive), distances in nautical miles,
// courses and turns in degrees true. The moves square to the route are plane sailings, as the
// patterns' legs are; longitudes are kept as sailed, not wrapped at the antimeridian.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vestrand {

struct TrackPoint {
  double lat = 0.0;  // degrees
  double lon = 0.0;  // degrees
};

// The sharpest turn an offset track follows: beyond it the mitred corner reaches four times the
// offset out, where no crew would look.
inline constexpr double kMaxTracklineTurn = 150.0;  // degrees
// Route points and units a trackline search takes.
inline constexpr std::size_t kMaxTracklinePoints = 1000;
inline constexpr int kMaxTracklineUnits = 20;

// The rhumb-line course of the route's first leg, degrees in [0, 360); 0 for fewer than two
// points.
double tracklineCourse(const std::vector<TrackPoint>& route);

// The largest distance from the route that the search's tracks take, nautical miles:
// (units - 1) S / 2 for the non-return search, units S - S / 2 for the return.
double tracklineReach(double spacing, bool returning, int units);

// What keeps a route from being searched, or the empty text: fewer than 2 or more than
// kMaxTracklinePoints points, a position that is not finite or lies beyond 90 degrees, two
// consecutive points less than 1e-8 NM apart, a turn sharper than kMaxTracklineTurn, a leg too
// short for the corners of the outermost track (its ends would pass each other), units outside
// 1..kMaxTracklineUnits. Points are numbered from 1 in the message.
std::string tracklineFault(const std::vector<TrackPoint>& route, double spacing, bool returning,
                           int units);

// The route moved `offset` nautical miles to the side (positive to starboard), corners mitred.
// @param[in] route at least two points, as tracklineFault accepts them
std::vector<TrackPoint> offsetTrack(const std::vector<TrackPoint>& route, double offset);

// The searched routes, one per unit in order, each in sailing order (see above).
// @param[in] port true when the first turn is to port, which mirrors the search about the route
std::vector<std::vector<TrackPoint>> tracklineRoutes(const std::vector<TrackPoint>& route,
                                                     double spacing, bool returning, int units,
                                                     bool port);

}  // namespace vestrand
