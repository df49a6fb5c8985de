#include "datums.h"

#include <cmath>

#include "Derrota.h"
#include "angulos.h"

namespace vestrand {
namespace {

// The sum of two equal and opposite vectors is not exactly zero, because sin and cos of the
// short pi's right angles are a few 1e-15 off; below this share of the parts' speeds the sum is
// that noise, not a drift, and its direction would be meaningless.
constexpr double kCancelledShare = 1e-12;

}  // namespace

DriftVector totalDrift(const DriftVector& current, const DriftVector& leeway) {
  const double c = current.toward * kPi / 180.0;
  const double w = leeway.toward * kPi / 180.0;
  const double east = current.speed * std::sin(c) + leeway.speed * std::sin(w);
  const double north = current.speed * std::cos(c) + leeway.speed * std::cos(w);
  DriftVector total;
  total.speed = std::hypot(east, north);
  if (total.speed <= kCancelledShare * (std::fabs(current.speed) + std::fabs(leeway.speed))) {
    return DriftVector{};
  }
  total.toward = std::atan2(east, north) * 180.0 / kPi;
  if (total.toward < 0.0) total.toward += 360.0;
  // A direction a hair west of north can round up to 360 after the turn is added.
  if (total.toward >= 360.0) total.toward = 0.0;
  return total;
}

DriftedDatum driftedDatum(double lat, double lon, double hours, const DriftVector& current,
                          const DriftVector& leeway) {
  const DriftVector total = totalDrift(current, leeway);
  DriftedDatum d;
  d.course = total.toward;
  d.speed = total.speed;
  d.distance = total.speed * hours;
  PosicionLlegada(lat, lon, total.speed, total.toward, hours, &d.lat, &d.lon);
  return d;
}

Datums leewayDatums(double lat, double lon, double hours, const DriftVector& current,
                    const Leeway& leeway) {
  Datums d;
  d.lastKnownLat = lat;
  d.lastKnownLon = lon;
  d.hours = hours;
  d.downwind = driftedDatum(lat, lon, hours, current, {leeway.downwindCourse, leeway.downwind});
  d.right = driftedDatum(lat, lon, hours, current, {leeway.right.course, leeway.right.speed});
  d.left = driftedDatum(lat, lon, hours, current, {leeway.left.course, leeway.left.speed});
  double course = 0.0;
  // Points closer than 1e-8 miles give status -1 and their tiny distance, which diverges() treats
  // as none.
  RumboDistancia(d.left.lat, d.left.lon, d.right.lat, d.right.lon, &course, &d.divergence);
  return d;
}

Datums manualDatums(double lat, double lon, double hours, const DriftVector& current,
                    const DriftVector& leeway) {
  Datums d;
  d.lastKnownLat = lat;
  d.lastKnownLon = lon;
  d.hours = hours;
  d.downwind = driftedDatum(lat, lon, hours, current, leeway);
  d.left = d.downwind;
  d.right = d.downwind;
  return d;
}

}  // namespace vestrand
