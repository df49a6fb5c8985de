// The commands that compute without writing files: course and distance, arrival position, the
// drifted datum and the coverage of a track spacing.
#include <Derrota.h>
#include <course_distance.h>
#include <coverage.h>
#include <drift.h>

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

[[noreturn]] void refuse(const std::string& option, const std::string& text,
                         const std::string& reason) {
  throw UsageError(option + " '" + text + "' refused: " + reason);
}

}  // namespace

DriftVector driftPart(const CLI::App& sub, const char* directionOption,
                      const std::string& direction, const char* speedOption,
                      const std::string& speed) {
  const bool hasDirection = given(&sub, directionOption);
  const bool hasSpeed = given(&sub, speedOption);
  if (hasDirection && !hasSpeed) {
    refuse(directionOption, direction, std::string("a direction needs its speed, ") + speedOption);
  }
  if (hasSpeed && !hasDirection) {
    refuse(speedOption, speed, std::string("a speed needs its direction, ") + directionOption);
  }
  if (!hasDirection) return DriftVector{};
  return DriftVector{
      checkBounded(directionOption, direction, -kMaxDriftDirection, kMaxDriftDirection, "degrees"),
      checkBounded(speedOption, speed, 0.0, kMaxDriftSpeed, "knots")};
}

double checkPositiveUpTo(const std::string& option, const std::string& text, double high,
                         const char* unit) {
  const double value = checkFinite(option, text);
  if (!(value > 0.0 && value <= high)) {
    refuse(option, text, "must be greater than 0 and at most " + shortestNumber(high) + unit);
  }
  return value;
}

void checkCoverageFactor(const std::string& option, const std::string& text, const Coverage& c) {
  if (!(c.factor <= kMaxSweepWidth)) {
    refuse(option, text,
           "the coverage W / S of a sweep width of " + shortestNumber(c.sweepWidth) +
               " over a track spacing of " + shortestNumber(c.spacing) +
               " nautical miles would exceed 100");
  }
}

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

int runDrift(const Options& o, const CLI::App& sub) {
  for (const char* option :
       {"--object", "--wind-file", "--current-file", "--time", "--step-minutes", "--outside"}) {
    if (given(&sub, option)) return runSearchDrift(o, sub);
  }
  const double lat = checkCoordinate("--lat", o.lat, Axis::Latitude);
  const double lon = checkCoordinate("--lon", o.lon, Axis::Longitude);
  const double hours = checkBounded("--hours", o.hours, 0.0, kMaxDriftHours, "hours");
  const DriftVector current =
      driftPart(sub, "--current-set", o.currentSet, "--current-drift", o.currentDrift);
  const DriftVector leeway =
      driftPart(sub, "--leeway-toward", o.leewayToward, "--leeway-speed", o.leewaySpeed);
  const DriftedDatum datum = driftedDatum(lat, lon, hours, current, leeway);
  // Plane sailing has no meaning past a pole, as for arrive.
  if (!std::isfinite(datum.lat) || !std::isfinite(datum.lon)) {
    refuse("--hours", o.hours, "the drifted datum is not a finite number");
  }
  if (std::fabs(datum.lat) > 90.0) {
    refuse("--hours", o.hours,
           "the drift would pass a pole (latitude " + shortestNumber(datum.lat) + ")");
  }
  return printResult(
      driftOverLand(o, sub, datum, lat, lon, o.json ? driftJson(datum) : driftText(datum)));
}

int runPosition(const Options& o) {
  double lat = 0.0;
  double lon = 0.0;
  std::string error;
  if (!parsePosition(o.position, lat, lon, error)) refuse("position", o.position, error);
  return printResult(o.json ? positionFormsJson(lat, lon) : positionFormsText(lat, lon));
}

int runCoverage(const Options& o, const CLI::App& sub) {
  const double width =
      checkPositiveUpTo("--sweep-width", o.sweepWidth, kMaxSweepWidth, " nautical miles");
  const bool bySpacing = given(&sub, "--spacing");
  const bool byFactor = given(&sub, "--coverage");
  if (bySpacing && byFactor) {
    refuse("--coverage", o.coverage,
           "--spacing '" + o.spacing + "' is given too; give one, the other follows from it");
  }
  if (!bySpacing && !byFactor) {
    throw UsageError("coverage needs --spacing S or --coverage C");
  }
  const Coverage c =
      bySpacing ? coverageOfSpacing(width, checkPositiveUpTo("--spacing", o.spacing, kMaxSweepWidth,
                                                             " nautical miles"))
                : coverageOfFactor(width,
                                   checkPositiveUpTo("--coverage", o.coverage, kMaxSweepWidth, ""));
  // The one that follows keeps the bound of the one given: a spacing of 1e-300 would give a
  // coverage of 300 digits, as a coverage of 1e-300 a spacing of as many.
  if (bySpacing) checkCoverageFactor("--spacing", o.spacing, c);
  if (!(c.spacing <= kMaxSweepWidth)) {
    refuse("--coverage", o.coverage,
           "with --sweep-width " + o.sweepWidth +
               " the track spacing W / C would exceed 100 nautical miles");
  }
  return printResult(o.json ? coverageJson(c) : coverageText(c));
}

}  // namespace vestrand::cli
