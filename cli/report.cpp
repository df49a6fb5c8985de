#include "report.h"

#include <angulos.h>
#include <position_text.h>
#include <utf8.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vestrand::cli {
namespace {

std::string statusText(std::optional<int> status) {
  return status ? std::to_string(*status) : std::string("null");
}

// A number through printf, into a text as long as the number needs: "%.6f" of 1e60 takes 68
// characters, far more than any fixed buffer sized for sane values.
std::string format(const char* pattern, double value) {
  const int length = std::snprintf(nullptr, 0, pattern, value);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, value);
  text.resize(static_cast<std::size_t>(length));
  // Zero is printed as zero: -0 and -0.004 would otherwise show "-0.00".
  if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

std::string shortestNumber(double value) {
  if (!std::isfinite(value)) return "null";
  if (value == 0.0) return "0";  // -0 too: it reads back equal, and a minus would mislead
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string longitudeNumber(double lon) {
  return shortestNumber(displayLongitude(lon));
}

std::string courseJson(std::optional<int> status, const CourseDistance& result) {
  return "{\"status\":" + statusText(status) + ",\"course\":" +
         (result.courseFound ? shortestNumber(result.course) : std::string("null")) +
         ",\"distance_nm\":" + shortestNumber(result.distance) + "}\n";
}

std::string positionJson(std::optional<int> status, double lat, double lon) {
  return "{\"status\":" + statusText(status) + ",\"lat\":" + shortestNumber(lat) +
         ",\"lon\":" + longitudeNumber(lon) + "}\n";
}

std::string positionFormsText(double lat, double lon) {
  return "degrees   " + positionText(lat, lon, CoordinateForm::Degrees) + "\n" + "dm        " +
         positionText(lat, lon, CoordinateForm::DegreesMinutes) + "\n" + "dms       " +
         positionText(lat, lon, CoordinateForm::DegreesMinutesSeconds) + "\n";
}

std::string positionFormsJson(double lat, double lon) {
  return "{\"lat\":" + shortestNumber(lat) + ",\"lon\":" + longitudeNumber(lon) +
         ",\"dm\":" + jsonString(positionText(lat, lon, CoordinateForm::DegreesMinutes)) +
         ",\"dms\":" + jsonString(positionText(lat, lon, CoordinateForm::DegreesMinutesSeconds)) +
         "}\n";
}

std::string courseText(const CourseDistance& result, const char* method) {
  std::string text = std::string("method    ") + method + "\n";
  if (result.courseFound) {
    text += "course    " + format("%.1f", result.course) + "\xC2\xB0 true\n";
  } else {
    text += "course    undefined: the positions coincide or a pole is an end point\n";
  }
  text += "distance  " +
          (std::isfinite(result.distance) ? format("%.2f", result.distance) + " NM"
                                          : std::string("undefined")) +
          "\n";
  return text;
}

std::string positionText(double lat, double lon, const char* method) {
  return std::string("method    ") + method + "\n" + "latitude  " + format("%.6f", lat) + "  " +
         coordinateText(lat, Axis::Latitude) + "\n" + "longitude " +
         format("%.6f", displayLongitude(lon)) + "  " + coordinateText(lon, Axis::Longitude) + "\n";
}

}  // namespace vestrand::cli

namespace vestrand::cli {
namespace {

std::string padded(const std::string& label) {
  return label.size() < 10 ? label + std::string(10 - label.size(), ' ') : label + " ";
}

std::string pathJson(const std::string& path) {
  return path.empty() ? std::string("null") : jsonString(path);
}

}  // namespace

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  // JSON is UTF-8: what is not (a folder name in another encoding) becomes U+FFFD.
  for (const char c : validUtf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string summaryText(const PlanSummary& s, double speed,
                        const std::vector<std::string>& warnings) {
  std::string text;
  for (const SummaryRow& row : summaryRows(s, speed, {}, warnings))
    text += padded(row.label) + row.value + "\n";
  return text;
}

std::string summaryJson(const PlanSummary& s, double speed, const std::string& gpxPath,
                        const std::string& svgPath, const std::string& extraMembers,
                        const std::vector<std::string>& warnings) {
  const double hours = hoursAtSpeed(s.trackToComplete(), speed);
  std::string json =
      "{\"gpx\":" + pathJson(gpxPath) + ",\"svg\":" + pathJson(svgPath) +
      ",\"pattern\":" + jsonString(patternCode(s.kind)) + ",\"speed_kn\":" + shortestNumber(speed) +
      ",\"legs\":" + std::to_string(s.legs) + ",\"track_nm\":" + shortestNumber(s.trackLength) +
      ",\"hours\":" + shortestNumber(hours) + ",\"time\":" + jsonString(hoursMinutesText(hours)) +
      ",\"box_length_nm\":" + shortestNumber(s.boxLength) +
      ",\"box_width_nm\":" + shortestNumber(s.boxWidth) +
      ",\"box_area_nm2\":" + shortestNumber(s.boxArea()) +
      ",\"covered_nm2\":" + shortestNumber(s.coveredArea()) +
      (s.passes > 1 ? ",\"passes\":" + std::to_string(s.passes) : std::string()) + ",\"units\":[";
  for (std::size_t i = 0; i < s.routes.size(); ++i) {
    const RouteSummary& r = s.routes[i];
    const double unitHours = hoursAtSpeed(r.trackLength, speed);
    if (i > 0) json += ",";
    json += "{\"route\":" + jsonString(r.name) + ",\"legs\":" + std::to_string(r.legs) +
            ",\"track_nm\":" + shortestNumber(r.trackLength) +
            ",\"hours\":" + shortestNumber(unitHours) +
            ",\"time\":" + jsonString(hoursMinutesText(unitHours)) + "}";
  }
  json += "],\"marks\":[";
  for (std::size_t i = 0; i < s.marks.size(); ++i) {
    const PlanMark& m = s.marks[i];
    if (i > 0) json += ",";
    json += "{\"name\":" + jsonString(m.name) + ",\"lat\":" + shortestNumber(m.lat) +
            ",\"lon\":" + longitudeNumber(m.lon) + ",\"lat_text\":" + jsonString(m.latText) +
            ",\"lon_text\":" + jsonString(m.lonText) + "}";
  }
  json += "]";
  if (!warnings.empty()) {
    json += ",\"warnings\":[";
    for (std::size_t i = 0; i < warnings.size(); ++i) {
      json += (i > 0 ? "," : "") + jsonString(warnings[i]);
    }
    json += "]";
  }
  return json + extraMembers + "}\n";
}

}  // namespace vestrand::cli

namespace vestrand::cli {
namespace {

// A course to one decimal that never reads 360.0: 359.96 rounds to north, 0.0.
std::string courseTenths(double course) {
  double tenths = std::round(course * 10.0) / 10.0;
  if (tenths >= 360.0) tenths = 0.0;
  return format("%.1f", tenths);
}

// Right-aligned in a column of `width` characters (texts here are ASCII).
std::string column(const std::string& text, std::size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

}  // namespace

std::string driftText(const DriftedDatum& d, const std::string& method) {
  return positionText(d.lat, d.lon, method.c_str()) + "drift     " + courseTenths(d.course) +
         "\xC2\xB0 true at " + format("%.2f", d.speed) + " kn\n" + "distance  " +
         format("%.2f", d.distance) + " NM\n";
}

std::string driftJson(const DriftedDatum& d) {
  return "{\"lat\":" + shortestNumber(d.lat) + ",\"lon\":" + longitudeNumber(d.lon) +
         ",\"drift_course\":" + shortestNumber(d.course) +
         ",\"drift_speed_kn\":" + shortestNumber(d.speed) +
         ",\"drift_nm\":" + shortestNumber(d.distance) + "}\n";
}

std::string coverageText(const Coverage& c) {
  return "sweep     " + format("%.2f", c.sweepWidth) + " NM sweep width\n" + "spacing   " +
         format("%.2f", c.spacing) + " NM track spacing\n" + "coverage  " +
         format("%.2f", c.factor) + "\n" + "POD       " + podText(c.podInverseCube) +
         " by the inverse cube law\n" + "POD       " + podText(c.podExponential) +
         " by the exponential (random search) law\n";
}

std::string coverageJson(const Coverage& c) {
  return "{\"sweep_width_nm\":" + shortestNumber(c.sweepWidth) +
         ",\"spacing_nm\":" + shortestNumber(c.spacing) +
         ",\"coverage\":" + shortestNumber(c.factor) +
         ",\"pod_inverse_cube\":" + shortestNumber(c.podInverseCube) +
         ",\"pod_exponential\":" + shortestNumber(c.podExponential) + "}\n";
}

std::string coverageJsonMembers(const Coverage& c) {
  return ",\"coverage\":" + shortestNumber(c.factor) +
         ",\"pod_inverse_cube\":" + shortestNumber(c.podInverseCube) +
         ",\"pod_exponential\":" + shortestNumber(c.podExponential) +
         ",\"sweep_width_nm\":" + shortestNumber(c.sweepWidth);
}

// Columns, one blank apart: unit 4, leg 8, part 9 when split, from and to 8, course 9, distance
// and total 10, time 8.
std::string legTableHeading(bool withEta, bool split, const std::string& offset) {
  const std::string eta = offset.empty() ? "  ETA" : "  ETA (UTC" + offset + ")";
  return std::string("unit      leg ") + (split ? "     part " : "") +
         "    from       to  course\xC2\xB0T    dist NM   total NM     time" +
         (withEta ? eta + "\n" : "\n");
}

std::string legRowText(const LegRow& r, bool withEta, const std::optional<ClockTime>& eta) {
  const std::string part =
      r.parts > 0 ? column(std::to_string(r.part) + "/" + std::to_string(r.parts), 9) + " " : "";
  std::string text =
      column(std::to_string(r.unit), 4) + " " + column(std::to_string(r.leg), 8) + " " + part +
      column(std::to_string(r.from), 8) + " " + column(std::to_string(r.to), 8) + " " +
      column(courseTenths(r.course), 9) + " " + column(format("%.2f", r.distance), 10) + " " +
      column(format("%.2f", r.total), 10) + " " + column(hoursMinutesText(r.hours), 8);
  if (withEta) text += "  " + (eta ? clockText(*eta, ' ') : std::string("-"));
  return text + "\n";
}

std::string legRowJson(const LegRow& r, bool withEta, const std::optional<ClockTime>& eta) {
  std::string json =
      "{\"unit\":" + std::to_string(r.unit) + ",\"leg\":" + std::to_string(r.leg) +
      (r.parts > 0 ? ",\"part\":" + std::to_string(r.part) + ",\"parts\":" + std::to_string(r.parts)
                   : std::string()) +
      ",\"from\":" + std::to_string(r.from) + ",\"to\":" + std::to_string(r.to) +
      ",\"course\":" + shortestNumber(r.course) + ",\"distance_nm\":" + shortestNumber(r.distance) +
      ",\"total_nm\":" + shortestNumber(r.total) + ",\"hours\":" + shortestNumber(r.hours);
  if (withEta) json += ",\"eta\":" + (eta ? jsonString(isoText(*eta)) : "null");
  return json + "}";
}

}  // namespace vestrand::cli
