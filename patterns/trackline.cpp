#include "trackline.h"

#include <cmath>
#include <cstdio>

#include "Derrota.h"
#include "angulos.h"

namespace vestrand {
namespace {

constexpr double kCoincident = 1e-8;  // nautical miles, as RumboDistanciaLox counts them

struct Leg {
  double course = 0.0;  // degrees
  double length = 0.0;  // nautical miles
};

std::vector<Leg> legsOf(const std::vector<TrackPoint>& route) {
  std::vector<Leg> legs;
  for (std::size_t i = 1; i < route.size(); ++i) {
    Leg leg;
    RumboDistanciaLox(route[i - 1].lat, route[i - 1].lon, route[i].lat, route[i].lon, &leg.course,
                      &leg.length);
    legs.push_back(leg);
  }
  return legs;
}

// The turn from one leg to the next, degrees, positive to starboard, in -180..180.
double turnBetween(const Leg& from, const Leg& to) {
  return ang_180(to.course - from.course);
}

// A short move square to the track. Plane sailing, as the patterns sail: the rhumb-line formula
// multiplies a vanishing difference of meridional parts by tan(course), which for a course a
// hair off 90 or 270 degrees turns rounding into degrees of longitude.
TrackPoint moved(const TrackPoint& p, double course, double distance) {
  TrackPoint q;
  PosicionLlegada(p.lat, p.lon, 1.0, course, distance, &q.lat, &q.lon);
  return q;
}

std::string number(double value, const char* format) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

double tracklineCourse(const std::vector<TrackPoint>& route) {
  if (route.size() < 2) return 0.0;
  const double course = legsOf({route[0], route[1]}).front().course;
  return course >= 360.0 ? 0.0 : course;
}

double tracklineReach(double spacing, bool returning, int units) {
  const double n = static_cast<double>(units);
  return returning ? n * spacing - spacing / 2.0 : (n - 1.0) * spacing / 2.0;
}

std::string tracklineFault(const std::vector<TrackPoint>& route, double spacing, bool returning,
                           int units) {
  if (route.size() < 2) return "a trackline search needs at least 2 route points";
  if (route.size() > kMaxTracklinePoints) {
    return "a trackline search takes at most " + std::to_string(kMaxTracklinePoints) +
           " route points";
  }
  if (units < 1 || units > kMaxTracklineUnits) {
    return "a trackline search takes 1 to " + std::to_string(kMaxTracklineUnits) + " units";
  }
  for (std::size_t i = 0; i < route.size(); ++i) {
    if (!std::isfinite(route[i].lat) || !std::isfinite(route[i].lon) ||
        std::fabs(route[i].lat) > 90.0) {
      return "route point " + std::to_string(i + 1) + " is no position";
    }
  }
  const std::vector<Leg> legs = legsOf(route);
  for (std::size_t i = 0; i < legs.size(); ++i) {
    if (!(legs[i].length >= kCoincident)) {
      return "route points " + std::to_string(i + 1) + " and " + std::to_string(i + 2) +
             " coincide";
    }
  }
  // How far a corner pulls the inner track's end back along each leg: reach * tan(turn / 2).
  const double reach = tracklineReach(spacing, returning, units);
  std::vector<double> pullBack(route.size(), 0.0);
  for (std::size_t k = 1; k + 1 < route.size(); ++k) {
    const double turn = turnBetween(legs[k - 1], legs[k]);
    if (std::fabs(turn) > kMaxTracklineTurn) {
      return "the route turns " + number(std::fabs(turn), "%.0f") + " degrees at route point " +
             std::to_string(k + 1) + ", more than the " + number(kMaxTracklineTurn, "%.0f") +
             " an offset track can follow";
    }
    pullBack[k] = reach * std::tan(std::fabs(turn) / 2.0 * kPi / 180.0);
  }
  for (std::size_t i = 0; i < legs.size(); ++i) {
    if (pullBack[i] + pullBack[i + 1] >= legs[i].length) {
      return "leg " + std::to_string(i + 1) + " (" + number(legs[i].length, "%.2f") +
             " NM) is too short for tracks " + number(reach, "%.2f") +
             " NM off the route to turn its corners";
    }
  }
  return {};
}

std::vector<TrackPoint> offsetTrack(const std::vector<TrackPoint>& route, double offset) {
  if (route.size() < 2) return route;  // no leg to be square to
  const std::vector<Leg> legs = legsOf(route);
  std::vector<TrackPoint> track;
  track.reserve(route.size());
  for (std::size_t k = 0; k < route.size(); ++k) {
    if (k == 0 || k + 1 == route.size()) {
      const Leg& leg = k == 0 ? legs.front() : legs.back();
      track.push_back(moved(route[k], leg.course + 90.0, offset));
      continue;
    }
    const double half = turnBetween(legs[k - 1], legs[k]) / 2.0;
    track.push_back(
        moved(route[k], legs[k - 1].course + half + 90.0, offset / std::cos(half * kPi / 180.0)));
  }
  return track;
}

std::vector<std::vector<TrackPoint>> tracklineRoutes(const std::vector<TrackPoint>& route,
                                                     double spacing, bool returning, int units,
                                                     bool port) {
  // Tracks from port to starboard; port mirrors them about the route.
  const double side = port ? -1.0 : 1.0;
  const int tracks = returning ? 2 * units : units;
  const auto offsetOf = [&](int i) {
    return side * (static_cast<double>(i) - static_cast<double>(tracks - 1) / 2.0) * spacing;
  };
  std::vector<std::vector<TrackPoint>> routes;
  for (int unit = 0; unit < units; ++unit) {
    if (!returning) {
      routes.push_back(offsetTrack(route, offsetOf(unit)));
      continue;
    }
    std::vector<TrackPoint> out = offsetTrack(route, offsetOf(2 * unit));
    const std::vector<TrackPoint> back = offsetTrack(route, offsetOf(2 * unit + 1));
    out.insert(out.end(), back.rbegin(), back.rend());
    routes.push_back(std::move(out));
  }
  return routes;
}

}  // namespace vestrand
