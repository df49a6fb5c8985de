#include "forecast_drift.h"

#include <cmath>

#include "Derrota.h"
#include "angulos.h"

namespace vestrand {
namespace {

using fields::Source;

constexpr double kKnotInMetresPerSecond = fields::kMetresPerSecondInKnots;

bool hasValue(Source s) {
  return s == Source::Field || s == Source::Constant;
}

// East and north components of a motion toward `degrees` at `knots`, with the short pi of the
// sailings, as totalDrift takes them.
void components(double degrees, double knots, double& east, double& north) {
  const double a = degrees * kPi / 180.0;
  east = knots * std::sin(a);
  north = knots * std::cos(a);
}

// One plane-sailing step of `hours` at east and north knots, as PosicionLlegada sails.
void sail(double& lat, double& lon, double east, double north, double hours) {
  const double lat2 = lat + north * hours / 60.0;
  const double meanLat = (lat + lat2) / 2.0;
  lon += east * hours / 60.0 / std::cos(meanLat * kPi / 180.0);
  lat = lat2;
}

// One datum on its way.
struct Walker {
  LeewayPart part;
  double lat, lon;
  Stranding* stranding;
};

}  // namespace

DriftMotion driftMotion(const fields::Forcing& forcing, const DriftObject& object, LeewayPart part,
                        double lat, double lon, double time) {
  const fields::ForcingSample s = forcing.sample(lat, lon, time);
  DriftMotion m;
  m.current = s.currentSource;
  if (s.hasCurrent) {
    m.east = s.curU / kKnotInMetresPerSecond;
    m.north = s.curV / kKnotInMetresPerSecond;
  }
  double le = 0.0, ln = 0.0;
  if (object.objectClass == nullptr) {
    components(object.leeway.toward, object.leeway.speed, le, ln);
  } else {
    m.wind = s.windSource;
    if (!s.hasWind) {
      m.east = m.north = 0.0;
      return m;
    }
    m.windKnots = std::hypot(s.windU, s.windV) * kKnotsPerMetrePerSecond;
    const Leeway l =
        leewayOf(*object.objectClass, fields::fromDegrees(s.windU, s.windV), m.windKnots);
    m.downwindClamped = l.downwindClamped;
    switch (part) {
      case LeewayPart::Downwind:
        components(l.downwindCourse, l.downwind, le, ln);
        break;
      case LeewayPart::Left:
        components(l.left.course, l.left.speed, le, ln);
        break;
      case LeewayPart::Right:
        components(l.right.course, l.right.speed, le, ln);
        break;
    }
  }
  m.east += le;
  m.north += ln;
  return m;
}

void windComponents(double fromDegrees, double knots, double& u, double& v) {
  // The wind blows toward from + 180: minus the components of "from".
  components(fromDegrees, knots / kKnotsPerMetrePerSecond, u, v);
  u = -u;
  v = -v;
}

void currentComponents(const DriftVector& current, double& u, double& v) {
  components(current.toward, current.speed * kKnotInMetresPerSecond, u, v);
}

ForecastDatums forecastDatums(const fields::Forcing& forcing, const ForecastDriftInput& in) {
  ForecastDatums r;
  r.stepMinutes = in.stepMinutes;
  r.from = in.time;
  r.to = in.time + in.hours * 3600.0;
  if (!(std::isfinite(in.lat) && std::fabs(in.lat) <= 90.0 && std::isfinite(in.lon) &&
        std::isfinite(in.time) && in.hours >= 0.0 && in.hours <= kMaxForecastDriftHours &&
        in.stepMinutes >= kMinDriftStepMinutes && in.stepMinutes <= kMaxDriftStepMinutes)) {
    r.fault = DriftFault::BadInput;
    return r;
  }
  const double step = in.stepMinutes / 60.0;
  // A last step shorter than a millionth of a step is rounding of hours, not a step.
  r.steps = static_cast<int>(std::ceil(in.hours / step - 1e-6));
  if (r.steps < 0) r.steps = 0;

  Walker walkers[3] = {{LeewayPart::Downwind, in.lat, in.lon, &r.downwind},
                       {LeewayPart::Left, in.lat, in.lon, &r.left},
                       {LeewayPart::Right, in.lat, in.lon, &r.right}};
  const int count = in.object.objectClass == nullptr ? 1 : 3;

  // Records a fault at a datum's position; false to stop.
  const auto fail = [&r](DriftFault fault, const Walker& w, fields::Quantity q, double lat,
                         double lon, double time) {
    r.fault = fault;
    r.faultDatum = w.part;
    r.faultQuantity = q;
    r.faultLat = lat;
    r.faultLon = lon;
    r.faultTime = time;
    return false;
  };
  // A motion to sail by, or why not: a fault, or the coast.
  enum class Use { Sail, Strand, Stop };
  const auto check = [&](const DriftMotion& m, const Walker& w, double lat, double lon,
                         double time) {
    ++r.samples;
    if (m.downwindClamped) {
      ++r.clampedSamples;
      if (m.windKnots > r.clampedWindKnots) r.clampedWindKnots = m.windKnots;
    }
    if (m.wind == Source::Outside) {
      fail(DriftFault::Outside, w, fields::Quantity::Wind, lat, lon, time);
      return Use::Stop;
    }
    if (m.current == Source::Outside) {
      fail(DriftFault::Outside, w, fields::Quantity::Current, lat, lon, time);
      return Use::Stop;
    }
    if (in.object.objectClass != nullptr && !hasValue(m.wind)) {
      fail(DriftFault::NoWind, w, fields::Quantity::Wind, lat, lon, time);
      return Use::Stop;
    }
    return m.current == Source::Missing ? Use::Strand : Use::Sail;
  };
  const auto inBounds = [&](const Walker& w, double lat, double lon, double time) {
    if (!std::isfinite(lat) || !std::isfinite(lon)) {
      return fail(DriftFault::NotFinite, w, fields::Quantity::Current, lat, lon, time);
    }
    if (std::fabs(lat) > 90.0) {
      return fail(DriftFault::PastPole, w, fields::Quantity::Current, lat, lon, time);
    }
    return true;
  };

  for (int k = 0; k < r.steps; ++k) {
    const double t0 = in.time + k * step * 3600.0;
    const double h = k + 1 == r.steps ? in.hours - k * step : step;
    const double t1 = k + 1 == r.steps ? r.to : t0 + h * 3600.0;
    for (int i = 0; i < count; ++i) {
      Walker& w = walkers[i];
      if (w.stranding->stranded) continue;
      const DriftMotion m0 = driftMotion(forcing, in.object, w.part, w.lat, w.lon, t0);
      Use use = check(m0, w, w.lat, w.lon, t0);
      if (use == Use::Sail) {
        double lat1 = w.lat, lon1 = w.lon;
        sail(lat1, lon1, m0.east, m0.north, h);
        if (!inBounds(w, lat1, lon1, t1)) return r;
        const DriftMotion m1 = driftMotion(forcing, in.object, w.part, lat1, lon1, t1);
        use = check(m1, w, lat1, lon1, t1);
        if (use == Use::Sail) {
          sail(w.lat, w.lon, (m0.east + m1.east) / 2.0, (m0.north + m1.north) / 2.0, h);
          if (!inBounds(w, w.lat, w.lon, t1)) return r;
        }
      }
      if (use == Use::Stop) return r;
      if (use == Use::Strand) *w.stranding = Stranding{true, w.lat, w.lon, t0};
    }
  }

  // The datums as the one-vector drift gives them: course, speed and distance of the straight
  // line from the last known position.
  DriftedDatum* datums[3] = {&r.datums.downwind, &r.datums.left, &r.datums.right};
  for (int i = 0; i < 3; ++i) {
    const Walker& w = walkers[i < count ? i : 0];
    DriftedDatum& d = *datums[i];
    d.lat = w.lat;
    d.lon = w.lon;
    double course = 0.0;
    RumboDistancia(in.lat, in.lon, d.lat, d.lon, &course, &d.distance);
    d.course = course >= 360.0 ? 0.0 : course;
    d.speed = in.hours > 0.0 ? d.distance / in.hours : 0.0;
  }
  if (count == 1) {
    r.left = r.right = r.downwind;
  }
  r.datums.lastKnownLat = in.lat;
  r.datums.lastKnownLon = in.lon;
  r.datums.hours = in.hours;
  double course = 0.0;
  if (count == 3) {
    RumboDistancia(r.datums.left.lat, r.datums.left.lon, r.datums.right.lat, r.datums.right.lon,
                   &course, &r.datums.divergence);
  }
  return r;
}

}  // namespace vestrand
