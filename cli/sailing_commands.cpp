// The commands that compute without writing files: course and distance, arrival position.
#include <Derrota.h>
#include <course_distance.h>

#include <cmath>
#include <optional>
#include <string>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "report.h"

namespace vestrand::cli {
namespace {

std::string checkMethod(const std::string& method, bool greatCircleAllowed) {
  if (method == "plane" || method == "rhumb" || (greatCircleAllowed && method == "great-circle")) {
    return method;
  }
  throw UsageError("--method '" + method + "' refused: expected " +
                   (greatCircleAllowed ? "plane, rhumb or great-circle" : "plane or rhumb"));
}

}  // namespace

int runCourse(const Options& o) {
  const double lat1 = checkCoordinate("--lat", o.lat, Axis::Latitude);
  const double lon1 = checkCoordinate("--lon", o.lon, Axis::Longitude);
  const double lat2 = checkCoordinate("--lat2", o.lat2, Axis::Latitude);
  const double lon2 = checkCoordinate("--lon2", o.lon2, Axis::Longitude);
  const std::string method = checkMethod(o.method, true);
  // The historical status goes into the JSON as it always did; whether a course exists is the
  // wrappers' plain answer.
  double course = 0.0;
  double distance = 0.0;
  int status = 0;
  CourseDistance result{};
  const char* name = nullptr;
  if (method == "plane") {
    status = RumboDistancia(lat1, lon1, lat2, lon2, &course, &distance);
    result = planeCourseDistance(lat1, lon1, lat2, lon2);
    name = "plane sailing";
  } else if (method == "rhumb") {
    status = RumboDistanciaLox(lat1, lon1, lat2, lon2, &course, &distance);
    result = rhumbCourseDistance(lat1, lon1, lat2, lon2);
    name = "rhumb line (Mercator sailing)";
  } else {
    status = RumboDistanciaOrtodromica(lat1, lon1, lat2, lon2, &course, &distance);
    result = greatCircleCourseDistance(lat1, lon1, lat2, lon2);
    name = "great circle (initial course)";
  }
  return printResult(o.json ? courseJson(status, result) : courseText(result, name));
}

int runArrive(const Options& o, const CLI::App& sub) {
  const double lat = checkCoordinate("--lat", o.lat, Axis::Latitude);
  const double lon = checkCoordinate("--lon", o.lon, Axis::Longitude);
  const double course = checkCourse("--course", o.course);
  double speed = 1.0;
  double hours = 0.0;
  if (given(&sub, "--distance")) {
    // A distance is run at speed 1 for that many hours, as the generators sail their legs.
    hours = checkBounded("--distance", o.distance, 0.0, kMaxRunDistance, "nautical miles");
  } else if (given(&sub, "--speed") && given(&sub, "--hours")) {
    speed = checkSpeed("--speed", o.speed);
    hours = checkBounded("--hours", o.hours, 0.0, kMaxHours, "hours");
  } else {
    throw UsageError("arrive needs --distance NM, or --speed KN together with --hours H");
  }
  const std::string method = checkMethod(o.method, false);
  double toLat = 0.0;
  double toLon = 0.0;
  std::optional<int> status;
  const char* name = nullptr;
  if (method == "plane") {
    PosicionLlegada(lat, lon, speed, course, hours, &toLat, &toLon);
    name = "plane sailing";
  } else {
    status = PosicionLlegadaLox(lat, lon, speed, course, hours, &toLat, &toLon);
    name = "rhumb line (Mercator sailing)";
  }
  const std::string run = given(&sub, "--distance")
                              ? "--distance '" + o.distance + "'"
                              : "--speed '" + o.speed + "' --hours '" + o.hours + "'";
  if (!std::isfinite(toLat) || !std::isfinite(toLon)) {
    throw UsageError(run + " refused: the arrival position is not a finite number");
  }
  // Neither sailing has a meaning past a pole.
  if (std::fabs(toLat) > 90.0) {
    throw UsageError(run + " refused: the run would pass a pole (latitude " +
                     shortestNumber(toLat) + ")");
  }
  return printResult(o.json ? positionJson(status, toLat, toLon)
                            : positionText(toLat, toLon, name));
}

}  // namespace vestrand::cli
