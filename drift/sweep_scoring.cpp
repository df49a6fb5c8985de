#include "sweep_scoring.h"

#include <cmath>

namespace vestrand::drift {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr double kPi = 3.14159265358979323846;

// Sails the routes in order and hands every leg and passage to `visit`.
template <typename Visit>
double sail(const SearchEffort& search, double epochSeconds, Visit visit) {
  double hours = (search.startSeconds - epochSeconds) / 3600.0;
  bool havePosition = false;
  SearchEffort::Point at;
  for (const auto& route : search.routes) {
    if (route.size() < 2) continue;
    for (std::size_t i = 0; i < route.size(); ++i) {
      const SearchEffort::Point& to = route[i];
      if (havePosition) {
        const double cosLat = std::cos((at.lat + to.lat) / 2.0 * kRadiansPerDegree);
        const double east = (to.lon - at.lon) * 60.0 * cosLat;
        const double north = (to.lat - at.lat) * 60.0;
        const double length = std::hypot(east, north);
        if (length > 0.0) {
          const double end = hours + length / search.speedKn;
          // The first point of a route ends the passage to it.
          if (i > 0) visit(TimedLeg{at.lat, at.lon, cosLat, east, north, hours, end});
          hours = end;
        }
      }
      at = to;
      havePosition = true;
    }
  }
  return hours;
}

}  // namespace

std::vector<TimedLeg> timedLegs(const SearchEffort& search, double epochSeconds) {
  std::vector<TimedLeg> legs;
  sail(search, epochSeconds, [&](const TimedLeg& leg) { legs.push_back(leg); });
  return legs;
}

double searchEndHours(const SearchEffort& search, double epochSeconds) {
  return sail(search, epochSeconds, [](const TimedLeg&) {});
}

double lateralRangeDetection(double x, double w) {
  if (x <= 0.0) return 1.0;
  return -std::expm1(-w * w / (4.0 * kPi * x * x));
}

}  // namespace vestrand::drift
