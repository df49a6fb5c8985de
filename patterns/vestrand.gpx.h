// The search patterns: expanding square, sector, creeping line (one unit), parallel sweep (two
// units) and trackline (the search of a vessel's intended route, trackline.h).
//
// Each pattern's geometry is produced once, by sailPattern, and handed leg by leg to a
// PatternSink: the GPX writer is one sink, a drawing or a plan summary are others. Nothing is
// held per point. Every leg is sailed with PosicionLlegada at speed 1 with the leg length as the
// time, from the position the previous leg reached; leg courses are plain sums of the search
// course and the turns, never reduced to 0..360.
//
// Two choices apply to every pattern but the trackline's own geometry, which takes the first:
//  - The first turn: to starboard, as always, or to port, which mirrors the pattern about its
//    first leg (the course line through the datum): every turn goes the other way, the creeping
//    line creeps to the left, the sector's second pass turns 30 degrees to the left, and the
//    parallel sweep's first unit takes the right-hand half (its route is named PS-right).
//  - The drift: with a drift speed above 0 the pattern is laid in the drifting water
//    (drift_compensation.h), its turning points and the waypoints that lie on them moved by the
//    rule there, and its names marked with the drift. A drift speed of 0 changes nothing.
//
// Units: positions in decimal degrees (north and east positive), courses in degrees true,
// distances in nautical miles. Arguments are not range-checked: a negative spacing or leg length
// runs the leg the other way, a count of 0 or below gives the shortest form of the pattern.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "drift_compensation.h"
#include "trackline.h"

namespace vestrand {

enum class PatternKind { ExpandingSquare, Sector, CreepingLine, ParallelSweep, Trackline };

enum class Turn { Starboard, Port };

// Everything that decides a pattern's geometry. Fields a pattern does not use are ignored:
// the sector uses only `leg` (its radius); the expanding square only `spacing` and `count`.
struct PatternParams {
  PatternKind kind = PatternKind::Sector;
  double lat = 0.0;      // datum latitude
  double lon = 0.0;      // datum longitude
  double course = 0.0;   // course of the first leg
  double spacing = 0.0;  // track spacing S
  double leg = 0.0;      // leg length L (the sector's leg length d)
  int count = 0;         // leg pairs (expanding square) or loops (creeping line, parallel sweep)
  // Sector only: 2 searches the sector a second time, turned 30 degrees to the right so that its
  // legs fall between the first pass's; the file then holds both routes.
  int passes = 1;
  Turn firstTurn = Turn::Starboard;
  // The water the pattern is laid in (a speed of 0: on the ground), and the unit's speed through
  // the water, knots, which times the turning points when there is a drift.
  WaterDrift drift = {};
  double searchSpeed = 0.0;
  // Trackline only: the intended route (lat, lon and course above are its first point and the
  // course of its first leg, see tracklineParams), `spacing` the track spacing S.
  std::vector<TrackPoint> track = {};
  bool trackReturn = false;  // TSR: out on one side and back on the other; else TSN
  int trackUnits = 1;
};

// The parameters of a trackline search of `route`: its datum the route's first point, its course
// the first leg's.
PatternParams tracklineParams(const std::vector<TrackPoint>& route, double spacing, bool returning,
                              int units);

// The turn of a sector's second pass, degrees to the right of the first.
inline constexpr double kSecondPassTurn = 30.0;

inline constexpr std::size_t kNameCapacity = 100;  // 99 characters and the terminator

// The names a pattern's file carries, composed from the stem and the course.
struct PatternNames {
  char file[kNameCapacity] = {};  // "<stem> VS 30.gpx"
  // "<stem> - VS 30.0"; the parallel sweep has two, and so has a sector of two passes (the second
  // named as the one-pass route of its own course: "<stem> - VS 60.0").
  char routes[2][kNameCapacity] = {};
  int routeCount = 0;
};

// Receives a pattern as it is sailed: routes of turning points in sailing order, then the
// waypoints. Names are only valid during the call.
class PatternSink {
 public:
  virtual ~PatternSink() = default;
  virtual void startRoute(const char* name) = 0;
  virtual void routePoint(double lat, double lon, const char* name) = 0;
  virtual void endRoute() = 0;
  virtual void waypoint(double lat, double lon, const char* name) = 0;
};

// A value a pattern takes beside its datum and course, as the programs ask for it.
enum class PatternParam {
  Spacing,   // track spacing S, nautical miles (PatternParams::spacing)
  Leg,       // leg length L, nautical miles (leg)
  Radius,    // the sector's leg length d, its radius, nautical miles (leg)
  LegPairs,  // leg pairs before the closing leg (count)
  Loops,     // loops of four legs (count)
  Passes,    // 1, or 2 to search again turned kSecondPassTurn (passes); optional, 1 by default
};

// Everything the programs know of a pattern beside its geometry: one entry per pattern in
// patternTable(), in the order the programs list them. A new pattern is an entry there and its
// geometry; the command line, the summary, the picture and the files follow from the entry.
struct PatternInfo {
  PatternKind kind;
  const char* code;  // in file names: "<stem> <code> <course>.gpx"
  const char* name;  // what the summary and messages call it, in English: "expanding square"
  // The command line's subcommand, "square", taking the datum, the course and `params`; nullptr
  // for a pattern with a subcommand of its own (the trackline follows a route, not a datum).
  const char* command;
  const char* about;                     // the subcommand's line of help
  std::span<const PatternParam> params;  // in the order the command line lists them
  // After "<stem> - " in the route names, one per route sailed at once: {"SS"}, or the parallel
  // sweep's {"PS-left", "PS-right"} (swapped when it turns first to port).
  std::span<const char* const> routes;
  // The geometry: sails the pattern into the sink, routes first, then the waypoints.
  void (*sail)(const PatternParams& params, const PatternNames& names, PatternSink& sink);
  // Names composed otherwise than from `code` and `routes`, or nullptr (the trackline's routes
  // name its form and its units).
  bool (*names)(const PatternParams& params, const char* stem, PatternNames& names);
};

// Every pattern, in the order the programs list them.
std::span<const PatternInfo> patternTable();
// The entry of a pattern.
const PatternInfo& patternInfo(PatternKind kind);
// Whether a pattern takes a value.
bool takes(PatternKind kind, PatternParam param);
// The value of `param` that `params` holds.
double paramValue(const PatternParams& params, PatternParam param);

// The pattern's code in file and route names: "SS", "VS", "CS", "PS_PM" or "TS" (a sector of two
// passes names its file "<stem> VS2 <c>.gpx", so it never overwrites the one-pass file).
const char* patternCode(PatternKind kind);

// Composes the file and route names. Returns false, leaving `names` unspecified, when one of them
// would not fit in 99 characters: a cut name could overwrite another pattern's file.
//  - A trackline search: "<stem> TS <c>.gpx", its route "<stem> - TSR <c>" (return) or
//    "<stem> - TSN <c>" (non-return), the course that of the first leg; with several units the
//    routes are that name and " unit 1", " unit 2", ...
//  - A pattern laid in drifting water: the file "<stem> SS 0 drift 090 1.5kn.gpx", every route
//    "<name> compensated for drift 090 at 1.5 kn" (drift_compensation.h).
bool composePatternNames(const PatternParams& params, const char* stem, PatternNames& names);

// The names of the routes as RTZ files carry them (the file "<route name>.rtz" and its
// routeName): those of composePatternNames, except for a pattern of two passes, whose routes are
// "<stem> - VS2 <c> pass 1" and "<stem> - VS2 <c> pass 2" (c to one decimal), as its GPX file is
// "VS2": named as the one-pass routes, they would replace a one-pass sector's RTZ file of the
// same stem and course. Returns false, as composePatternNames, when a name would not fit.
bool composeRtzRouteNames(const PatternParams& params, const char* stem, PatternNames& names);

// Sails the pattern and hands every route, route point and waypoint to `sink`.
void sailPattern(const PatternParams& params, const PatternNames& names, PatternSink& sink);

// Sails the pattern as sailPattern does and, just before each route point, tells `onHours` the
// hours from the unit's start at which it reaches that point, sailing the legs through the water
// at params.searchSpeed (not-a-number without a search speed above 0). For a pattern laid in
// drifting water these are the times of the compensated legs, which their lengths over the ground
// do not give.
void sailPatternTimed(const PatternParams& params, const PatternNames& names, PatternSink& sink,
                      const std::function<void(double hours)>& onHours);

}  // namespace vestrand
