#include "nmea.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vestrand {
namespace {

// One ten-thousandth of a minute, the last digit a position is sent with.
constexpr double kUnitsPerDegree = 600000.0;

// The fields of one coordinate: whole degrees in `degreeDigits` digits, minutes to four decimals,
// the hemisphere letter. Rounding is done once, on the whole value, so 59.99995' carries into
// the degrees instead of printing 60.0000.
std::string coordinateFields(double value, int degreeDigits, char positive, char negative) {
  const long long units = std::llround(std::fabs(value) * kUnitsPerDegree);
  const long long degrees = units / 600000;
  const long long rest = units % 600000;
  char text[48];
  std::snprintf(text, sizeof text, "%0*lld%02lld.%04lld,%c", degreeDigits, degrees, rest / 10000,
                rest % 10000, value < 0.0 && units != 0 ? negative : positive);
  return text;
}

std::string afterLastDash(std::string_view name) {
  const std::size_t dash = name.rfind(" - ");
  return std::string(dash == std::string_view::npos ? name : name.substr(dash + 3));
}

bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAlnum(char c) {
  return isLetter(c) || (c >= '0' && c <= '9');
}

// The route's identifier: printable ASCII without the characters NMEA reserves.
std::string routeIdentifier(std::string_view name, const std::string& fallback) {
  std::string id;
  for (const char c : afterLastDash(name)) {
    if (c < 0x20 || c > 0x7e || std::strchr(",*$!\\^~", c) != nullptr) continue;
    if (id.size() < 16) id += c;
  }
  while (!id.empty() && id.back() == ' ') id.pop_back();
  while (!id.empty() && id.front() == ' ') id.erase(0, 1);
  return id.empty() ? fallback : id;
}

std::size_t digitsOf(std::size_t n) {
  std::size_t digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

// The RTE sentences of one route: as many as the names need, each within kNmeaMaxSentence.
void addRouteSentences(std::string_view talker, const std::string& id,
                       const std::vector<std::string>& names, std::size_t from, std::size_t to,
                       std::vector<std::string>& out) {
  // The header's numbers are counted at the width of the total, which is found by trying.
  for (std::size_t width = 1;; ++width) {
    // "$" "*hh" CR LF around the body, and the header "TTRTE,<t>,<n>,c,<id>".
    const std::size_t room = kNmeaMaxSentence - 6;
    const std::size_t header = 2 + 4 + 2 * (width + 1) + 2 + id.size();
    std::vector<std::pair<std::size_t, std::size_t>> parts;  // [first, last) names of a sentence
    std::size_t length = header;
    std::size_t first = from;
    for (std::size_t i = from; i < to; ++i) {
      if (length + 1 + names[i].size() > room && i > first) {
        parts.emplace_back(first, i);
        first = i;
        length = header;
      }
      length += 1 + names[i].size();
    }
    parts.emplace_back(first, to);
    if (digitsOf(parts.size()) > width) continue;
    for (std::size_t k = 0; k < parts.size(); ++k) {
      std::string body = std::string(talker) + "RTE," + std::to_string(parts.size()) + "," +
                         std::to_string(k + 1) + ",c," + id;
      for (std::size_t i = parts[k].first; i < parts[k].second; ++i) body += "," + names[i];
      out.push_back(nmeaSentence(body));
    }
    return;
  }
}

}  // namespace

bool validNmeaTalker(std::string_view talker) {
  return talker.size() == 2 && talker[0] >= 'A' && talker[0] <= 'Z' && talker[1] >= 'A' &&
         talker[1] <= 'Z';
}

std::string nmeaSentence(std::string_view body) {
  unsigned char sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", static_cast<unsigned>(sum));
  return "$" + std::string(body) + tail;
}

std::string nmeaLatitude(double lat) {
  return coordinateFields(lat, 2, 'N', 'S');
}

std::string nmeaLongitude(double lon) {
  double wrapped = std::fmod(lon, 360.0);
  if (wrapped > 180.0) wrapped -= 360.0;
  if (wrapped < -180.0) wrapped += 360.0;
  return coordinateFields(wrapped, 3, 'E', 'W');
}

std::string nmeaNamePrefix(std::string_view routeName) {
  const std::string part = afterLastDash(routeName);
  std::size_t i = 0;
  // The first word that begins with a letter: words are runs of letters and digits.
  while (i < part.size()) {
    while (i < part.size() && !isAlnum(part[i])) ++i;
    if (i < part.size() && isLetter(part[i])) break;
    while (i < part.size() && isAlnum(part[i])) ++i;
  }
  std::string prefix;
  for (; i < part.size() && isLetter(part[i]); ++i) {
    prefix += static_cast<char>(part[i] >= 'a' ? part[i] - 'a' + 'A' : part[i]);
  }
  return prefix.empty() ? "WP" : prefix;
}

bool makeNmeaUpload(const std::vector<NmeaRoute>& routes, std::string_view talker,
                    std::size_t lastNumber, NmeaUpload& upload, std::string& error) {
  upload = NmeaUpload{};
  if (!validNmeaTalker(talker)) {
    error = "the talker '" + std::string(talker) + "' is not two capital letters";
    return false;
  }
  if (routes.empty()) {
    error = "there is no route to send";
    return false;
  }
  std::size_t largest = lastNumber;
  for (const NmeaRoute& route : routes) {
    if (route.points.size() < 2) {
      error = "the route '" + route.name + "' has " + std::to_string(route.points.size()) +
              (route.points.size() == 1 ? " point" : " points") + "; a route needs at least two";
      return false;
    }
    if (route.firstNumber < 1 || route.points.size() > kNmeaMaxPoints ||
        route.firstNumber - 1 > kNmeaMaxPoints - route.points.size()) {
      error = "the route '" + route.name + "' would number its points beyond " +
              std::to_string(kNmeaMaxPoints) + ", more than six characters can name";
      return false;
    }
    if (lastNumber == 0) largest = std::max(largest, route.firstNumber - 1 + route.points.size());
    for (const NmeaRoute::Point& p : route.points) {
      if (std::isfinite(p.lat) && std::isfinite(p.lon) && std::fabs(p.lat) <= 90.0) continue;
      error = "the route '" + route.name +
              "' holds a position that is not finite or lies beyond "
              "90 degrees of latitude";
      return false;
    }
  }
  if (largest > kNmeaMaxPoints) {
    error = "the file numbers " + std::to_string(largest) + " points, more than the " +
            std::to_string(kNmeaMaxPoints) + " six characters can name";
    return false;
  }
  const std::size_t width = std::max<std::size_t>(2, digitsOf(largest));
  std::vector<std::size_t> starts;
  for (const NmeaRoute& route : routes) {
    const std::string prefix = nmeaNamePrefix(route.name).substr(0, kNmeaMaxName - width);
    starts.push_back(upload.names.size());
    for (std::size_t i = 0; i < route.points.size(); ++i) {
      char number[16];
      std::snprintf(number, sizeof number, "%0*zu", static_cast<int>(width), route.firstNumber + i);
      upload.names.push_back(prefix + number);
      const NmeaRoute::Point& p = route.points[i];
      upload.sentences.push_back(nmeaSentence(std::string(talker) + "WPL," + nmeaLatitude(p.lat) +
                                              "," + nmeaLongitude(p.lon) + "," +
                                              upload.names.back()));
    }
  }
  for (std::size_t r = 0; r < routes.size(); ++r) {
    const std::size_t end = r + 1 < routes.size() ? starts[r + 1] : upload.names.size();
    const std::string fallback = nmeaNamePrefix(routes[r].name).substr(0, 6);
    addRouteSentences(talker, routeIdentifier(routes[r].name, fallback), upload.names, starts[r],
                      end, upload.sentences);
  }
  return true;
}

}  // namespace vestrand
