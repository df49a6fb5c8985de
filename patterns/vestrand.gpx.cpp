#include "vestrand.gpx.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "Derrota.h"

namespace vestrand {
namespace {

constexpr double kSpeed = 1.0;  // so that the time argument of a leg is its length in miles

// The pattern being sailed: its sink and the current position, advanced in place by each leg.
class Track {
 public:
  Track(double lat, double lon, PatternSink& sink) : lat_(lat), lon_(lon), sink_(sink) {}

  void moveTo(double lat, double lon) {
    lat_ = lat;
    lon_ = lon;
  }
  // Sails one leg without marking its end.
  void run(double course, double length) {
    PosicionLlegada(lat_, lon_, kSpeed, course, length, &lat_, &lon_);
  }
  // Sails one leg and writes its end as an unnamed route point.
  void leg(double course, double length) {
    run(course, length);
    mark();
  }
  void mark() { sink_.routePoint(lat_, lon_, ""); }
  double lat() const { return lat_; }
  double lon() const { return lon_; }

 private:
  double lat_;
  double lon_;
  PatternSink& sink_;
};

// +1 for a first turn to starboard, -1 to port: every turn is the course plus m times its angle.
// Multiplying by 1 is exact, so the starboard patterns keep every bit they always had.
double mirror(const PatternParams& p) {
  return p.firstTurn == Turn::Port ? -1.0 : 1.0;
}

void sailExpandingSquare(const PatternParams& p, const PatternNames& names, PatternSink& sink) {
  const double c = p.course;
  const double m = mirror(p);
  const double s = p.spacing;
  Track track(p.lat, p.lon, sink);
  sink.startRoute(names.routes[0]);
  track.mark();
  // A 64-bit counter: the closing leg uses the value the loop leaves, which for a count of
  // INT_MAX would overflow a 32-bit one.
  long long i = 1;
  for (; i <= p.count; ++i) {
    track.leg(c + m * (90.0 * static_cast<double>(2 * i - 2)), static_cast<double>(i) * s);
    track.leg(c + m * (90.0 * static_cast<double>(2 * i - 1)), static_cast<double>(i) * s);
  }
  track.leg(c + m * (90.0 * static_cast<double>(2 * i - 2)), static_cast<double>(i) * s);
  sink.endRoute();
  sink.waypoint(p.lat, p.lon, "CSP/Datum");
}

// One pass of the sector from the datum; returns its commence search point.
void sailSectorPass(const PatternParams& p, double c, const char* routeName, PatternSink& sink,
                    double& cspLat, double& cspLon) {
  const double d = p.leg;
  const double m = mirror(p);
  Track track(p.lat, p.lon, sink);
  sink.startRoute(routeName);
  track.mark();
  track.leg(c, d);
  track.leg(c + m * 120.0, d);
  track.leg(c + m * (2.0 * 120.0), 2.0 * d);
  track.leg(c, d);
  track.leg(c + m * 120.0, 2.0 * d);
  track.leg(c + m * (2.0 * 120.0), d);
  cspLat = track.lat();
  cspLon = track.lon();
  track.leg(c, d);
  sink.endRoute();
}

void sailSector(const PatternParams& p, const PatternNames& names, PatternSink& sink) {
  double cspLat, cspLon, csp2Lat = 0.0, csp2Lon = 0.0;
  sailSectorPass(p, p.course, names.routes[0], sink, cspLat, cspLon);
  // The second pass is the one-pass route of the turned course, sum left unreduced as always.
  const bool twice = p.passes == 2;
  if (twice) {
    sailSectorPass(p, p.course + mirror(p) * kSecondPassTurn, names.routes[1], sink, csp2Lat,
                   csp2Lon);
  }
  sink.waypoint(p.lat, p.lon, "Datum");
  sink.waypoint(cspLat, cspLon, "CSP");
  if (twice) sink.waypoint(csp2Lat, csp2Lon, "CSP2");
}

void sailCreepingLine(const PatternParams& p, const PatternNames& names, PatternSink& sink) {
  const double c = p.course;
  const double m = mirror(p);
  Track track(p.lat, p.lon, sink);
  sink.startRoute(names.routes[0]);
  track.mark();
  track.leg(c, p.leg / 2.0);
  for (int i = 1; i <= p.count; ++i) {
    track.leg(c + m * 90.0, p.spacing);
    track.leg(c + m * 180.0, p.leg);
    track.leg(c + m * 90.0, p.spacing);
    track.leg(c, p.leg);
  }
  sink.endRoute();
  sink.waypoint(p.lat, p.lon, "Datum/CSP");
}

// One unit of the parallel sweep; `side` is -1 for the unit left of the course, +1 for the right.
// Returns its commence search point through cspLat and cspLon.
void sailSweepUnit(const PatternParams& p, const char* routeName, double side, PatternSink& sink,
                   double& cspLat, double& cspLon) {
  const double c = p.course;
  // The run-in lies on the course line, which the mirror leaves in place.
  side *= mirror(p);
  // Courses are the plain sums c - 90, c - 180 for the left unit and c + 90, c + 180 for the
  // right one, exactly as they were always written.
  const double outward = side < 0 ? c - 90.0 : c + 90.0;
  const double back = side < 0 ? c - 180.0 : c + 180.0;
  Track track(p.lat, p.lon, sink);
  sink.startRoute(routeName);
  track.run(c + 180.0, p.leg / 2.0);
  track.leg(outward, p.spacing / 2.0);
  cspLat = track.lat();
  cspLon = track.lon();
  for (int i = 1; i <= p.count; ++i) {
    track.leg(c, p.leg);
    track.leg(outward, p.spacing);
    track.leg(back, p.leg);
    track.leg(outward, p.spacing);
  }
  sink.endRoute();
}

void sailTrackline(const PatternParams& p, const PatternNames& names, PatternSink& sink) {
  const std::vector<std::vector<TrackPoint>> routes =
      tracklineRoutes(p.track, p.spacing, p.trackReturn, p.trackUnits, p.firstTurn == Turn::Port);
  for (std::size_t u = 0; u < routes.size(); ++u) {
    const std::string name = routes.size() == 1
                                 ? std::string(names.routes[0])
                                 : std::string(names.routes[0]) + " unit " + std::to_string(u + 1);
    sink.startRoute(name.c_str());
    for (const TrackPoint& point : routes[u]) sink.routePoint(point.lat, point.lon, "");
    sink.endRoute();
  }
  if (p.track.empty()) return;
  sink.waypoint(p.track.front().lat, p.track.front().lon, "Start");
  sink.waypoint(p.track.back().lat, p.track.back().lon, "End");
  for (std::size_t u = 0; u < routes.size(); ++u) {
    if (routes[u].empty()) continue;
    const std::string name = routes.size() == 1 ? "CSP" : "CSP" + std::to_string(u + 1);
    sink.waypoint(routes[u].front().lat, routes[u].front().lon, name.c_str());
  }
}

void sailParallelSweep(const PatternParams& p, const PatternNames& names, PatternSink& sink) {
  double csp1Lat, csp1Lon, csp2Lat, csp2Lon;
  sailSweepUnit(p, names.routes[0], -1.0, sink, csp1Lat, csp1Lon);
  sailSweepUnit(p, names.routes[1], +1.0, sink, csp2Lat, csp2Lon);
  sink.waypoint(p.lat, p.lon, "Datum");
  sink.waypoint(csp1Lat, csp1Lon, "CSP1");
  sink.waypoint(csp2Lat, csp2Lon, "CSP2");
}

// The course as a name shows it to `decimals` places: a course that rounds to zero from below
// (-0, -0.4) is named 0, not -0, which would be a second name for the same course.
double namedCourse(double course, int decimals) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, course);
  return std::strspn(text, "-0.") == std::strlen(text) ? 0.0 : course;
}

// Formats into a name text; false when the text would not fit.
bool composeName(char (&name)[kNameCapacity], const char* format, const char* stem, double course) {
  const bool whole = std::strstr(format, "%.0lf") != nullptr;
  const int length =
      std::snprintf(name, kNameCapacity, format, stem, namedCourse(course, whole ? 0 : 1));
  return length >= 0 && static_cast<std::size_t>(length) < kNameCapacity;
}

// Appends `mark` to a name, before `before` when the name ends in it; false when it would not fit.
bool appendMark(char (&name)[kNameCapacity], const std::string& mark, const char* before = "") {
  std::string text = name;
  const std::string tail = before;
  const bool ends = text.size() >= tail.size() && text.ends_with(tail);
  text = ends ? text.substr(0, text.size() - tail.size()) + mark + tail : text + mark;
  if (text.size() >= kNameCapacity) return false;
  std::snprintf(name, kNameCapacity, "%s", text.c_str());
  return true;
}

bool composeGroundNames(const PatternParams& params, const char* stem, PatternNames& names);

void sailOnGround(const PatternParams& params, const PatternNames& names, PatternSink& sink);

// A waypoint of the pattern, and where it goes when the route point it lies on is moved.
struct LaidMark {
  double lat, lon;
  bool placed = false;
  double placedLat = 0.0, placedLon = 0.0;
};

class WaypointSurvey final : public PatternSink {
 public:
  void startRoute(const char*) override {}
  void routePoint(double, double, const char*) override {}
  void endRoute() override {}
  void waypoint(double lat, double lon, const char*) override { marks.push_back({lat, lon}); }
  std::vector<LaidMark> marks;
};

// Lays the pattern's points in the drifting water (or leaves them, `move` false), timing each;
// a waypoint that lies on a route point goes where the first such point goes.
class LaidSink final : public PatternSink {
 public:
  LaidSink(PatternSink& next, const PatternParams& p, std::vector<LaidMark> marks, bool move,
           const std::function<void(double)>* onHours)
      : next_(next),
        layout_(p.drift, p.searchSpeed),
        oneUnit_(p.passes == 2 && takes(p.kind, PatternParam::Passes)),
        timed_(p.searchSpeed > 0.0),
        move_(move),
        marks_(std::move(marks)),
        onHours_(onHours) {}
  void startRoute(const char* name) override {
    if (oneUnit_ && routes_ > 0) {
      layout_.continueUnit();
    } else {
      layout_.startUnit();
    }
    ++routes_;
    next_.startRoute(name);
  }
  void routePoint(double lat, double lon, const char* name) override {
    double placedLat = lat, placedLon = lon;
    layout_.place(lat, lon, placedLat, placedLon);
    if (!move_) {
      placedLat = lat;
      placedLon = lon;
    }
    for (LaidMark& mark : marks_) {
      if (mark.placed || mark.lat != lat || mark.lon != lon) continue;
      mark.placed = true;
      mark.placedLat = placedLat;
      mark.placedLon = placedLon;
    }
    if (onHours_ != nullptr && *onHours_) {
      (*onHours_)(timed_ ? layout_.hours() : std::numeric_limits<double>::quiet_NaN());
    }
    next_.routePoint(placedLat, placedLon, name);
  }
  void endRoute() override { next_.endRoute(); }
  void waypoint(double lat, double lon, const char* name) override {
    const LaidMark* mark = waypoint_ < marks_.size() ? &marks_[waypoint_] : nullptr;
    ++waypoint_;
    if (mark != nullptr && mark->placed) {
      next_.waypoint(mark->placedLat, mark->placedLon, name);
    } else {
      next_.waypoint(lat, lon, name);
    }
  }

 private:
  PatternSink& next_;
  DriftLayout layout_;
  const bool oneUnit_;
  const bool timed_;
  const bool move_;
  std::vector<LaidMark> marks_;
  const std::function<void(double)>* onHours_;
  int routes_ = 0;
  std::size_t waypoint_ = 0;
};

void sailLaid(const PatternParams& params, const PatternNames& names, PatternSink& sink,
              const std::function<void(double)>* onHours) {
  const bool move = params.drift.speed > 0.0;
  std::vector<LaidMark> marks;
  if (move) {
    WaypointSurvey survey;
    sailOnGround(params, names, survey);
    marks = std::move(survey.marks);
  }
  LaidSink laid(sink, params, std::move(marks), move, onHours);
  sailOnGround(params, names, laid);
}

}  // namespace

PatternParams tracklineParams(const std::vector<TrackPoint>& route, double spacing, bool returning,
                              int units) {
  PatternParams p;
  p.kind = PatternKind::Trackline;
  if (!route.empty()) {
    p.lat = route.front().lat;
    p.lon = route.front().lon;
  }
  p.course = tracklineCourse(route);
  p.spacing = spacing;
  p.track = route;
  p.trackReturn = returning;
  p.trackUnits = units;
  return p;
}

namespace {

bool composeTracklineNames(const PatternParams& params, const char* stem, PatternNames& names) {
  const double c = params.course;
  names.routeCount = 1;
  // Several units' routes are named at sailing, " unit <n>" after this name.
  return composeName(names.file, "%s TS %.0lf.gpx", stem, c) &&
         composeName(names.routes[0], params.trackReturn ? "%s - TSR %.1lf" : "%s - TSN %.1lf",
                     stem, c) &&
         (params.trackUnits <= 1 ||
          std::strlen(names.routes[0]) + 6 + std::to_string(params.trackUnits).size() <
              kNameCapacity);
}

constexpr PatternParam kSquareParams[] = {PatternParam::Spacing, PatternParam::LegPairs};
constexpr PatternParam kSectorParams[] = {PatternParam::Radius, PatternParam::Passes};
constexpr PatternParam kLineParams[] = {PatternParam::Spacing, PatternParam::Leg,
                                        PatternParam::Loops};
constexpr PatternParam kTracklineParams[] = {PatternParam::Spacing};
constexpr const char* kSquareRoutes[] = {"SS"};
constexpr const char* kSectorRoutes[] = {"VS"};
constexpr const char* kCreepingRoutes[] = {"CS"};
constexpr const char* kParallelRoutes[] = {"PS-left", "PS-right"};
constexpr const char* kTracklineRoutes[] = {"TSN"};

constexpr PatternInfo kPatterns[] = {
    {PatternKind::ExpandingSquare, "SS", "expanding square", "square",
     "expanding square search: write a GPX file", kSquareParams, kSquareRoutes, sailExpandingSquare,
     nullptr},
    {PatternKind::Sector, "VS", "sector", "sector", "sector search: write a GPX file",
     kSectorParams, kSectorRoutes, sailSector, nullptr},
    {PatternKind::CreepingLine, "CS", "creeping line", "creeping",
     "creeping line search: write a GPX file", kLineParams, kCreepingRoutes, sailCreepingLine,
     nullptr},
    {PatternKind::ParallelSweep, "PS_PM", "parallel sweep", "parallel",
     "parallel sweep for two units: write a GPX file", kLineParams, kParallelRoutes,
     sailParallelSweep, nullptr},
    {PatternKind::Trackline, "TS", "trackline search", nullptr,
     "trackline search along a vessel's intended route: write a GPX file", kTracklineParams,
     kTracklineRoutes, sailTrackline, composeTracklineNames},
};

bool composeGroundNames(const PatternParams& params, const char* stem, PatternNames& names) {
  if (stem == nullptr) stem = "";
  const PatternInfo& info = patternInfo(params.kind);
  if (info.names != nullptr) return info.names(params, stem, names);
  const double c = params.course;
  // A second pass is its own file ("VS2") holding the one-pass route of the turned course.
  const bool twice = params.passes == 2 && takes(params.kind, PatternParam::Passes);
  char file[kNameCapacity];
  std::snprintf(file, sizeof file, "%%s %s%s %%.0lf.gpx", info.code, twice ? "2" : "");
  if (!composeName(names.file, file, stem, c)) return false;
  // Routes are named by the side they search: mirrored, the first unit takes the right.
  const bool swap = params.firstTurn == Turn::Port;
  const std::size_t count = info.routes.size();
  names.routeCount = 0;
  for (std::size_t pass = 0; pass < (twice ? 2u : 1u); ++pass) {
    for (std::size_t r = 0; r < count; ++r) {
      if (names.routeCount == 2) return false;
      char format[kNameCapacity];
      std::snprintf(format, sizeof format, "%%s - %s %%.1lf",
                    info.routes[swap ? count - 1 - r : r]);
      if (!composeName(names.routes[names.routeCount++], format, stem,
                       c + (pass == 1 ? mirror(params) * kSecondPassTurn : 0.0))) {
        return false;
      }
    }
  }
  return true;
}

void sailOnGround(const PatternParams& params, const PatternNames& names, PatternSink& sink) {
  patternInfo(params.kind).sail(params, names, sink);
}

}  // namespace

std::span<const PatternInfo> patternTable() {
  return kPatterns;
}

const PatternInfo& patternInfo(PatternKind kind) {
  for (const PatternInfo& info : kPatterns) {
    if (info.kind == kind) return info;
  }
  return kPatterns[0];  // unreachable: every kind has its entry
}

bool takes(PatternKind kind, PatternParam param) {
  for (PatternParam p : patternInfo(kind).params) {
    if (p == param) return true;
  }
  return false;
}

double paramValue(const PatternParams& params, PatternParam param) {
  switch (param) {
    case PatternParam::Spacing:
      return params.spacing;
    case PatternParam::Leg:
    case PatternParam::Radius:
      return params.leg;
    case PatternParam::LegPairs:
    case PatternParam::Loops:
      return params.count;
    case PatternParam::Passes:
      return params.passes;
  }
  return 0.0;
}

const char* patternCode(PatternKind kind) {
  return patternInfo(kind).code;
}

bool composePatternNames(const PatternParams& params, const char* stem, PatternNames& names) {
  if (!composeGroundNames(params, stem, names)) return false;
  if (!(params.drift.speed > 0.0)) return true;
  if (!appendMark(names.file, driftFileMark(params.drift), ".gpx")) return false;
  for (int r = 0; r < names.routeCount; ++r) {
    if (!appendMark(names.routes[r], driftRouteMark(params.drift))) return false;
  }
  return true;
}

bool composeRtzRouteNames(const PatternParams& params, const char* stem, PatternNames& names) {
  if (!composePatternNames(params, stem, names)) return false;
  if (params.passes != 2 || !takes(params.kind, PatternParam::Passes)) return true;
  if (stem == nullptr) stem = "";
  char format[kNameCapacity];
  for (int pass = 1; pass <= 2; ++pass) {
    std::snprintf(format, sizeof format, "%%s - %s2 %%.1lf pass %d", patternCode(params.kind),
                  pass);
    if (!composeName(names.routes[pass - 1], format, stem, params.course)) return false;
    if (params.drift.speed > 0.0 &&
        !appendMark(names.routes[pass - 1], driftRouteMark(params.drift))) {
      return false;
    }
  }
  return true;
}

void sailPattern(const PatternParams& params, const PatternNames& names, PatternSink& sink) {
  if (params.drift.speed > 0.0) {
    sailLaid(params, names, sink, nullptr);
  } else {
    sailOnGround(params, names, sink);
  }
}

void sailPatternTimed(const PatternParams& params, const PatternNames& names, PatternSink& sink,
                      const std::function<void(double hours)>& onHours) {
  sailLaid(params, names, sink, &onHours);
}

}  // namespace vestrand
