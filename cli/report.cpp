#include "report.h"

#include <angulos.h>
#include <position_text.h>
#include <xml_text.h>

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
  return text;
}

}  // namespace

std::string shortestNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string latitudeText(double lat) {
  return coordinateText(lat, Axis::Latitude);
}

std::string longitudeText(double lon) {
  return coordinateText(lon, Axis::Longitude);
}

std::string courseJson(std::optional<int> status, const CourseDistance& result) {
  return "{\"status\":" + statusText(status) + ",\"course\":" +
         (result.courseFound ? shortestNumber(result.course) : std::string("null")) +
         ",\"distance\":" + shortestNumber(result.distance) + "}\n";
}

std::string positionJson(std::optional<int> status, double lat, double lon) {
  return "{\"status\":" + statusText(status) + ",\"lat\":" + shortestNumber(lat) +
         ",\"lon\":" + shortestNumber(lon) + "}\n";
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
         latitudeText(lat) + "\n" + "longitude " + format("%.6f", lon) + "  " + longitudeText(lon) +
         "\n";
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

std::string summaryText(const PlanSummary& s, double speed) {
  std::string text;
  for (const SummaryRow& row : summaryRows(s, speed)) text += padded(row.label) + row.value + "\n";
  return text;
}

std::string summaryJson(const PlanSummary& s, double speed, const std::string& gpxPath,
                        const std::string& svgPath) {
  const double hours = hoursAtSpeed(s.longestTrack(), speed);
  std::string json =
      "{\"gpx\":" + pathJson(gpxPath) + ",\"svg\":" + pathJson(svgPath) +
      ",\"pattern\":" + jsonString(patternCode(s.kind)) + ",\"speed_kn\":" + shortestNumber(speed) +
      ",\"legs\":" + std::to_string(s.legs) + ",\"track_nm\":" + shortestNumber(s.trackLength) +
      ",\"hours\":" + shortestNumber(hours) + ",\"time\":" + jsonString(hoursMinutesText(hours)) +
      ",\"box_length_nm\":" + shortestNumber(s.boxLength) +
      ",\"box_width_nm\":" + shortestNumber(s.boxWidth) +
      ",\"area_nm2\":" + shortestNumber(s.area()) + ",\"units\":[";
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
            ",\"lon\":" + shortestNumber(m.lon) + ",\"lat_text\":" + jsonString(m.latText) +
            ",\"lon_text\":" + jsonString(m.lonText) + "}";
  }
  return json + "]}\n";
}

}  // namespace vestrand::cli
