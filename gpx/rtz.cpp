#include "rtz.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "gpx.h"
#include "xml_text.h"

namespace vestrand {
namespace {

constexpr std::size_t kFlushAt = 256 * 1024;
constexpr std::int64_t kUnitsPerDegree = 1000000000;  // nine decimals
constexpr std::int64_t kHalfTurn = 180 * kUnitsPerDegree;
constexpr std::int64_t kTurn = 360 * kUnitsPerDegree;

constexpr char kHeader[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<route xmlns=\"http://www.cirm.org/RTZ/1/0\" version=\"1.0\">\n"
    "  <routeInfo routeName=\"";
constexpr char kWaypointsStart[] =
    "\"/>\n"
    "  <waypoints>\n"
    "    <defaultWaypoint>\n"
    "      <leg geometryType=\"Loxodrome\"/>\n"
    "    </defaultWaypoint>\n";
constexpr char kFooter[] =
    "  </waypoints>\n"
    "</route>\n";

// The nine-decimal text of FormatCoordinate as a count of 1e-9 degrees.
std::int64_t units(const char* text) {
  const bool negative = *text == '-';
  char* point = nullptr;
  const std::int64_t whole = std::strtoll(text + (negative ? 1 : 0), &point, 10);
  const std::int64_t decimals = std::strtoll(point + 1, nullptr, 10);
  const std::int64_t value = whole * kUnitsPerDegree + decimals;
  return negative ? -value : value;
}

}  // namespace

std::size_t formatRtzLongitude(double lon, char* out) {
  // fmod is exact, and a whole turn is an even number of 1e-9 degrees, so the turned value rounds
  // to the nine decimals of the GPX text less whole turns, ties included.
  const double turned = std::fmod(lon, 360.0);
  const std::size_t length = FormatCoordinate(turned, out);
  std::int64_t value = units(out);
  if (value >= -kHalfTurn && value < kHalfTurn && turned == lon) return length;
  if (value >= kHalfTurn) value -= kTurn;
  if (value < -kHalfTurn) value += kTurn;
  const std::int64_t magnitude = value < 0 ? -value : value;
  const int written =
      std::snprintf(out, kCoordinateTextSize, "%s%" PRId64 ".%09" PRId64, value < 0 ? "-" : "",
                    magnitude / kUnitsPerDegree, magnitude % kUnitsPerDegree);
  return static_cast<std::size_t>(written);
}

RtzWriter::RtzWriter(SafeFile& file, std::string_view routeName)
    : file_(file), routeName_(routeName) {
  block_.reserve(kFlushAt + 4096);
  block_.assign(kHeader);
  appendXmlText(block_, routeName);
  block_ += kWaypointsStart;
}

void RtzWriter::flush() {
  if (!block_.empty()) file_.write(block_);
  block_.clear();
}

void RtzWriter::waypoint(double lat, double lon, std::string_view name) {
  if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90.0) {
    const bool latitude = !std::isfinite(lat) || std::isfinite(lon);
    const double value = latitude ? lat : lon;
    char text[kCoordinateTextSize];
    FormatCoordinate(value, text);
    file_.fail(std::string("the ") + (latitude ? "latitude " : "longitude ") + text +
               (std::isfinite(value) ? " lies beyond 90 degrees" : " is not a finite number"));
    return;
  }
  ++count_;
  char text[kCoordinateTextSize];
  block_ += "    <waypoint id=\"";
  block_ += std::to_string(count_);
  block_ += "\" name=\"";
  appendXmlText(block_, name);
  block_ += "\">\n      <position lat=\"";
  block_.append(text, FormatCoordinate(lat, text));
  block_ += "\" lon=\"";
  block_.append(text, formatRtzLongitude(lon, text));
  block_ += "\"/>\n    </waypoint>\n";
  if (block_.size() >= kFlushAt) flush();
}

bool RtzWriter::finish() {
  if (count_ < 2 && !file_.failed()) {
    file_.fail("an RTZ route needs at least two waypoints, and '" + routeName_ + "' has " +
               std::to_string(count_));
  }
  block_ += kFooter;
  flush();
  return !file_.failed();
}

}  // namespace vestrand
