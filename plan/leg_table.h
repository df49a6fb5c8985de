// The leg table of a search: for every leg of every unit, the course to steer, its distance,
// the running total and the time at the search speed, and the clock that turns those times into
// the times at each turning point.
//
// The table is gathered from the pattern's own geometry as sailPattern hands it to a sink; rows
// go to a callback as they are made and nothing is kept per point, so a pattern of a million
// legs streams.
//
// What a row is:
//  - A leg is the run between two consecutive route points of one route, numbered from 1 within
//    its unit; `from` and `to` are the 1-based positions of its ends in their route, or, where the
//    routes are split into parts for small plotters (pattern_files.h), in the part of the route
//    that holds the leg, as the part's own file numbers them.
//  - Course and distance come by plane sailing (RumboDistancia) from one turning point to the
//    next; the course lies in [0, 360).
//  - Each route is a unit of its own with its own running total and clock, both from its first
//    point (the parallel sweep's run-in to the commence search point is no leg). A sector of two
//    passes is one unit sailing both routes: the second route's legs go on with the first's leg
//    numbers, running total and clock, and the step from the end of the first pass to the datum
//    where the second begins is no leg.
//  - The distances of all rows add up to the plan summary's track length.
//  - A pattern laid in drifting water: the rows are its compensated legs, course and distance
//    over the ground, and the hours are those at which the unit reaches each turning point
//    sailing the pattern through the water (sailLegTable hands them to the sink).
//
// Units: courses in degrees true, distances in nautical miles, speeds in knots, times in hours.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vestrand.gpx.h"

namespace vestrand {

struct LegRow {
  int unit = 0;           // 1-based search unit
  long long leg = 0;      // 1-based within the unit
  long long from = 0;     // 1-based position of the leg's start in its route (or its part)
  long long to = 0;       // 1-based position of the leg's end in its route (or its part)
  long long part = 0;     // 1-based part of the route that holds the leg; 0 when not split
  long long parts = 0;    // parts of that route; 0 when not split
  double course = 0.0;    // to steer, degrees true in [0, 360)
  double distance = 0.0;  // nautical miles
  double total = 0.0;     // nautical miles from the unit's start to the end of this leg
  double hours = 0.0;     // hours from the unit's start to the end of this leg, at the speed;
                          // not-a-number when the speed is not a finite number above 0
};

// How the routes are split into parts, as the files are written.
struct RouteSplit {
  int maxPoints = 0;              // points a part holds at most; 0: routes are whole
  std::vector<long long> points;  // every route's points, in sailing order
};

// A PatternSink that hands one LegRow per leg to a callback while the pattern is sailed.
class LegTableSink final : public PatternSink {
 public:
  using RowHandler = std::function<void(const LegRow&)>;

  // @param[in] params the pattern being sailed (its kind and passes decide the units)
  // @param[in] speed search speed, knots
  // @param[in] onRow called once per leg in sailing order; the row is only valid during the call
  // @param[in] split when routes are split into parts: the points a part holds at most (2 or more,
  //   as PatternFiles::maxPoints) and every route's points in sailing order (PlanSummary's
  //   routes); the rows then number the points by part. By default routes are whole.
  LegTableSink(const PatternParams& params, double speed, RowHandler onRow,
               const RouteSplit& split = {});

  void startRoute(const char* name) override;
  void routePoint(double lat, double lon, const char* name) override;
  void endRoute() override;
  void waypoint(double lat, double lon, const char* name) override;

  // The hours at the next route point, instead of the running total over the speed.
  void timeNextPoint(double hours) { nextHours_ = hours; }

 private:
  std::optional<double> nextHours_;
  bool oneUnit_;  // every route continues the first unit
  double speed_;
  RowHandler onRow_;
  RouteSplit split_;
  std::size_t route_ = 0;  // routes begun
  LegRow row_;
  long long point_ = 0;  // position of the last point in the current route
  double prevLat_ = 0.0;
  double prevLon_ = 0.0;
};

// Sails the pattern into a LegTableSink, timing the legs of a pattern laid in drifting water by
// the unit's way through the water (sailPatternTimed).
void sailLegTable(const PatternParams& params, const PatternNames& names, double speed,
                  LegTableSink::RowHandler onRow, const RouteSplit& split = {});

// A date and time on a wall clock, to the minute, in the proleptic Gregorian calendar, with the
// clock's offset from UTC when it is known.
struct ClockTime {
  long long year = 1970;
  int month = 1;              // 1..12
  int day = 1;                // 1..days of the month
  int hour = 0;               // 0..23
  int minute = 0;             // 0..59
  std::optional<int> offset;  // minutes east of UTC, -1439..1439
};

// Reads a start time: "YYYY-MM-DDTHH:MM", or "HH:MM" on the date of `today`, either followed by
// its offset from UTC as ISO 8601 writes it ("Z", "+01:00", "-03:30"); without one the time takes
// no offset (the caller supplies the local one).
// @param[out] time the time read; untouched on failure
// @param[out] error why the text was refused ("February 2023 has 28 days"); untouched on success
// @return true when the text is a real date and time
bool parseClockTime(std::string_view text, const ClockTime& today, ClockTime& time,
                    std::string& error);

// The time `hours` after `start`, rounded to the whole minute, on the same clock (the same offset):
// a change to or from summer time in between is not applied, so a search planned in zone time
// (which has none) or in UTC is exact. @return nothing when the hours are negative, not finite or
// beyond a million years
std::optional<ClockTime> clockAfter(const ClockTime& start, double hours);

// "YYYY-MM-DD HH:MM", with `separator` between the date and the time (' ' or 'T').
std::string clockText(const ClockTime& time, char separator);

// An offset from UTC as ISO 8601 writes it: 60 gives "+01:00", -210 "-03:30", 0 "+00:00".
std::string offsetText(int minutes);

// The time as ISO 8601 with its offset, "YYYY-MM-DDTHH:MM+01:00"; without a known offset the
// time alone.
std::string isoText(const ClockTime& time);

}  // namespace vestrand
