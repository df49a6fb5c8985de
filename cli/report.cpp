#include "report.h"

#include <angulos.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vestrand::cli {
namespace {

// The library's texts are Windows-1252; of its upper half only the degree mark 0xBA occurs,
// which is U+00BA in Latin-1 as in Windows-1252.
std::string fromWindows1252(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      out += *p;
    } else if (byte >= 0xA0) {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    } else {
      out += '?';  // 0x80..0x9F differ from Latin-1; the library writes none of them
    }
  }
  return out;
}

std::string statusText(std::optional<int> status) {
  return status ? std::to_string(*status) : std::string("null");
}

std::string format(const char* pattern, double value) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, pattern, value);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

std::string shortestNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string latitudeText(double lat) {
  char text[kSexagesimalTextSize];
  DegToLat(lat, text);
  return fromWindows1252(text);
}

std::string longitudeText(double lon) {
  char text[kSexagesimalTextSize];
  DegToLon(lon, text);
  return fromWindows1252(text);
}

std::string courseJson(std::optional<int> status, double course, double distance) {
  return "{\"status\":" + statusText(status) + ",\"course\":" + shortestNumber(course) +
         ",\"distance\":" + shortestNumber(distance) + "}\n";
}

std::string positionJson(std::optional<int> status, double lat, double lon) {
  return "{\"status\":" + statusText(status) + ",\"lat\":" + shortestNumber(lat) +
         ",\"lon\":" + shortestNumber(lon) + "}\n";
}

std::string courseText(bool found, double course, double distance, const char* method) {
  std::string text = std::string("method    ") + method + "\n";
  if (found) {
    text += "course    " + format("%.1f", course) + "\xC2\xB0 true\n";
  } else {
    text += "course    none: the positions are less than 1e-8 nautical miles apart\n";
  }
  text += "distance  " + format("%.2f", distance) + " NM\n";
  return text;
}

std::string positionText(double lat, double lon, const char* method) {
  return std::string("method    ") + method + "\n" + "latitude  " + format("%.6f", lat) + "  " +
         latitudeText(lat) + "\n" + "longitude " + format("%.6f", lon) + "  " + longitudeText(lon) +
         "\n";
}

}  // namespace vestrand::cli
