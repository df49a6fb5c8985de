#include "Derrota.h"

#include <cmath>

#include "angulos.h"

namespace {

// Quadrant constants derived from the short pi; the course tables were computed with them.
constexpr double kHalfPi = 1.570796326794895;
constexpr double kThreeHalvesPi = 4.712388980384685;
constexpr double kTwoPi = 6.28318530717958;

constexpr double kTolerance = 1e-8;

// WGS-84 flattening, 1 / 298.257223563.
constexpr double kFlattening = 0.0033528106647474805;
// Minutes of arc in one radian, 10800 / kPi.
constexpr double kMinutesPerRadian = 3437.746770784943;

double rad(double degrees) {
  return degrees * kPi / 180.0;
}
double deg(double radians) {
  return radians * 180.0 / kPi;
}

// Course in radians from a northing dn and an easting de, used by both the plane and the
// Mercator sailings. Due east or west when |dn| is within the tolerance.
double quadrantCourse(double dn, double de) {
  if (std::fabs(dn) <= kTolerance) {
    if (de > 0) return kHalfPi;
    if (de < 0) return kThreeHalvesPi;
    // Same meridian, a hair apart: steer along the meridian towards the second point.
    return dn >= 0 ? 0.0 : kPi;
  }
  double theta = std::atan(de / dn);
  if (dn < 0) {
    theta += kPi;
  } else if (de < 0) {
    theta += kTwoPi;
  }
  return theta;
}

}  // namespace

void PosicionLlegada(double lat1, double lon1, double speed, double course, double time,
                     double* lat2, double* lon2) {
  const double m = speed * (time / 60.0);
  *lat2 = lat1 + std::cos(rad(course)) * m;
  const double meanLat = (lat1 + *lat2) / 2.0;
  const double departure = std::sin(rad(course)) * m;
  *lon2 = lon1 + departure / std::cos(rad(meanLat));
}

int RumboDistancia(double lat1, double lon1, double lat2, double lon2, double* course,
                   double* distance) {
  const double dLat = lat2 - lat1;
  const double dLon = ang_180(lon2 - lon1);
  const double meanLat = (lat1 + lat2) / 2.0;
  const double departure = dLon * std::cos(rad(meanLat));
  const double d = 60.0 * std::sqrt(dLat * dLat + departure * departure);
  *distance = d;
  if (d < kTolerance) {
    *course = 0.0;
    return -1;
  }
  *course = deg(quadrantCourse(dLat, departure));
  return 1;
}

int RumboDistanciaOrtodromica(double lat1, double lon1, double lat2, double lon2, double* course,
                              double* distance) {
  const double dLon = ang_180(lon2 - lon1);
  const double sin1 = std::sin(rad(lat1));
  const double sin2 = std::sin(rad(lat2));
  const double cos1 = std::cos(rad(lat1));
  double cosD = sin1 * sin2 + cos1 * std::cos(rad(lat2)) * std::cos(rad(dLon));
  // Rounding can carry the cosine a hair past +-1 for nearly coincident or nearly antipodal
  // points, where acos would give not-a-number.
  if (cosD > 1.0) {
    cosD = 1.0;
  } else if (cosD < -1.0) {
    cosD = -1.0;
  }
  const double arc = deg(std::acos(cosD));
  *distance = arc;

  double k = (sin2 - sin1 * std::cos(rad(arc))) / (cos1 * std::sin(rad(arc)));
  // Also catches 0/0 (not-a-number) for coincident points.
  if (!(k <= 1.0)) {
    k = 1.0;
  } else if (k < -1.0) {
    k = -1.0;
  }
  double c = deg(std::acos(k));
  if (dLon < 0) c = 360.0 - c;
  *course = ang_0_360(c);
  *distance = 60.0 * arc;
  return 1;
}

double ParteMeridional(double lat) {
  const double e = std::sqrt(2.0 * kFlattening - kFlattening * kFlattening);
  const double t = std::tan(rad(lat / 2.0 + 45.0));
  const double s = std::sin(rad(lat));
  const double q = std::pow((1.0 + e * s) / (1.0 - e * s), e / 2.0);
  return kMinutesPerRadian * std::log(t / q);
}

int RumboDistanciaLox(double lat1, double lon1, double lat2, double lon2, double* course,
                      double* distance) {
  const double dLat = lat2 - lat1;
  const double dLon = ang_180(lon2 - lon1);
  const double dMer = (ParteMeridional(lat2) - ParteMeridional(lat1)) / 60.0;
  const double theta = quadrantCourse(dMer, dLon);
  double d;
  if (theta == kHalfPi || theta == kThreeHalvesPi) {
    d = std::fabs(std::cos(rad(lat1)) * dLon);
  } else {
    d = dLat / std::cos(theta);
  }
  d = 60.0 * d;
  *distance = d;
  if (d < kTolerance) {
    *course = 0.0;
    return -1;
  }
  *course = deg(theta);
  return 0;
}

int PosicionLlegadaLox(double lat1, double lon1, double speed, double course, double time,
                       double* lat2, double* lon2) {
  const double m = speed * (time / 60.0);
  *lat2 = lat1 + std::cos(rad(course)) * m;
  const double arrivalLat = *lat2;
  double dLon;
  // Exact comparisons on purpose: only these two courses run along the parallel; 89.9999 or 450
  // take the meridional parts like any other course.
  if (course == 90.0 || course == 270.0) {
    dLon = std::sin(rad(course)) * m / std::cos(rad(arrivalLat));
  } else {
    dLon = std::tan(rad(course)) * (ParteMeridional(arrivalLat) - ParteMeridional(lat1)) / 60.0;
  }
  *lon2 = ang_180(lon1 + dLon);
  return 0;
}
