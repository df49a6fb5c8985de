#include "course_distance.h"

#include <cmath>
#include <limits>

#include "Derrota.h"

namespace vestrand {
namespace {

constexpr double kTolerance = 1e-8;     // nautical miles, as the historical functions use it
constexpr double kHalfRound = 10800.0;  // nautical miles from a point to its antipode

bool atPole(double lat) {
  return std::fabs(lat) == 90.0;
}

CourseDistance answer(bool found, double lat1, double course, double distance) {
  found = found && !atPole(lat1) && std::isfinite(course);
  return {found, found ? course : std::numeric_limits<double>::quiet_NaN(), distance};
}

}  // namespace

CourseDistance planeCourseDistance(double lat1, double lon1, double lat2, double lon2) {
  double course = 0.0, distance = 0.0;
  const int status = RumboDistancia(lat1, lon1, lat2, lon2, &course, &distance);
  return answer(status == 1 && !atPole(lat2), lat1, course, distance);
}

CourseDistance rhumbCourseDistance(double lat1, double lon1, double lat2, double lon2) {
  double course = 0.0, distance = 0.0;
  const int status = RumboDistanciaLox(lat1, lon1, lat2, lon2, &course, &distance);
  if (atPole(lat2) && !atPole(lat1)) {
    return {true, lat2 > 0.0 ? 0.0 : 180.0, 60.0 * std::fabs(lat2 - lat1)};
  }
  if (atPole(lat1) && lat1 == lat2 && std::isnan(distance)) distance = 0.0;
  return answer(status == 0, lat1, course, distance);
}

CourseDistance greatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2) {
  double course = 0.0, distance = 0.0;
  RumboDistanciaOrtodromica(lat1, lon1, lat2, lon2, &course, &distance);
  const bool found = distance >= kTolerance && distance <= kHalfRound - kTolerance;
  return answer(found, lat1, course, distance);
}

}  // namespace vestrand
