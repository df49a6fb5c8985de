#include "gpx.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "safe_file.h"
#include "xml_text.h"

std::FILE* GPXfp = nullptr;

namespace {

// 128-bit products keep the coordinate rounding exact; a GCC and Clang extension.
__extension__ typedef unsigned __int128 Uint128;

// The file being written; GPXfp is its stream while it is open.
vestrand::SafeFile current;
std::string lastError;

// Reused for every block, so that writing a point allocates nothing once it has grown.
std::string block;

// Blocks gather in `block` and reach the stream in large pieces: one copy of the bytes fewer
// than going through the stream's own buffer, which matters for million-point patterns.
constexpr std::size_t kFlushAt = 256 * 1024;

void flushBlock() {
  if (GPXfp == nullptr || block.empty()) return;
  current.write(block);
  block.clear();
}

void blockDone() {
  if (block.size() >= kFlushAt) flushBlock();
}

void appendEscaped(const char* text) {
  if (text != nullptr) vestrand::appendXmlText(block, text);
}

void appendCoordinate(double value) {
  char text[kCoordinateTextSize];
  block.append(text, FormatCoordinate(value, text));
}

// `open` and `nameIndent` give the element's start and the indent of its children.
void appendPoint(const char* open, double lat, double lon, const char* name,
                 const char* nameIndent) {
  block += open;
  block += " lat=\"";
  appendCoordinate(lat);
  block += "\" lon=\"";
  appendCoordinate(lon);
  block += "\">\n";
  block += nameIndent;
  block += "<name>";
  appendEscaped(name);
  block += "</name>\n";
}

// The last guard before a value reaches a plotter: a position that is no number, or a latitude
// past a pole, fails the whole file instead of being written.
bool plausible(double lat, double lon) {
  const char* what = nullptr;
  double value = 0.0;
  if (!std::isfinite(lat)) {
    what = "latitude";
    value = lat;
  } else if (!std::isfinite(lon)) {
    what = "longitude";
    value = lon;
  } else if (std::fabs(lat) > 90.0) {
    char text[kCoordinateTextSize];
    FormatCoordinate(lat, text);
    current.fail(std::string("the latitude ") + text + " lies beyond 90 degrees");
    return false;
  } else {
    return true;
  }
  current.fail(std::string("the ") + what + " " + std::to_string(value) +
               " is not a finite number");
  return false;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

std::size_t FormatCoordinate(double value, char* out) {
  // Exact fast path for |value| < 1e20: round value * 1e9 to an integer using the exact binary
  // value of the double (ties to even, as printf does), then print that integer. Larger values
  // (only absurd patterns reach them), infinities and not-a-number go through printf itself.
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const unsigned exponentBits = static_cast<unsigned>((bits >> 52) & 0x7ff);
  if (exponentBits == 0x7ff || std::fabs(value) >= 1e20) {
    return static_cast<std::size_t>(std::snprintf(out, kCoordinateTextSize, "%.9f", value));
  }
  const bool negative = (bits >> 63) != 0;
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  // value = mantissa * 2^-shift
  const std::uint64_t mantissa =
      exponentBits == 0 ? fraction : (fraction | (std::uint64_t{1} << 52));
  const int shift = exponentBits == 0 ? 1074 : 1075 - static_cast<int>(exponentBits);
  const Uint128 scaled = static_cast<Uint128>(mantissa) * 1000000000u;  // below 2^83
  Uint128 units = 0;                                                    // value * 1e9, rounded
  if (shift <= 0) {
    units = scaled << -shift;  // below 1e29 < 2^97: exact
  } else if (shift < 100) {    // larger shifts round to zero
    units = scaled >> shift;
    const Uint128 rest = scaled - (units << shift);
    const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
  }
  char* p = out;
  if (negative) *p++ = '-';
  Uint128 whole;
  std::uint64_t decimals;
  if (units >> 64 == 0) {
    whole = static_cast<std::uint64_t>(units) / 1000000000u;
    decimals = static_cast<std::uint64_t>(units) % 1000000000u;
  } else {
    whole = units / 1000000000u;
    decimals = static_cast<std::uint64_t>(units % 1000000000u);
  }
  char digits[40];
  char* d = digits + sizeof digits;    // the whole part, written backwards
  while (whole > ~std::uint64_t{0}) {  // 128-bit division only for the rare huge values
    *--d = static_cast<char>('0' + static_cast<int>(whole % 10));
    whole /= 10;
  }
  std::uint64_t small = static_cast<std::uint64_t>(whole);
  while (small >= 100) {
    d -= 2;
    std::memcpy(d, kDigitPairs + 2 * (small % 100), 2);
    small /= 100;
  }
  if (small >= 10) {
    d -= 2;
    std::memcpy(d, kDigitPairs + 2 * small, 2);
  } else {
    *--d = static_cast<char>('0' + small);
  }
  const std::size_t wholeDigits = static_cast<std::size_t>(digits + sizeof digits - d);
  std::memcpy(p, d, wholeDigits);
  p += wholeDigits;
  *p++ = '.';
  // Nine decimals: one single digit, then four pairs from the right.
  for (int i = 7; i >= 1; i -= 2) {
    std::memcpy(p + i, kDigitPairs + 2 * (decimals % 100), 2);
    decimals /= 100;
  }
  p[0] = static_cast<char>('0' + decimals);
  p += 9;
  *p = '\0';
  return static_cast<std::size_t>(p - out);
}

bool OpenGPX(const char* path) {
  if (GPXfp != nullptr) AbortGPX("another file was opened before it was closed");
  lastError.clear();
  block.clear();
  if (path == nullptr || *path == '\0') {
    lastError = "cannot write a GPX file without a name";
    return false;
  }
  if (!current.open(path)) {
    lastError = current.error();
    return false;
  }
  GPXfp = current.stream();
  block.reserve(kFlushAt + 4096);
  block.assign(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"Tarvolin\""
      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
      " xmlns=\"http://www.topografix.com/GPX/1/1\""
      " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
      " http://www.topografix.com/GPX/1/1/gpx.xsd\""
      " xmlns:opencpn=\"http://www.tarvolin.com\">\n");
  flushBlock();
  if (current.failed()) {
    // Not even the header went out: report it now rather than at CloseGPX.
    lastError = current.error();
    AbortGPX(nullptr);
    return false;
  }
  return true;
}

void StartRouteGPX(const char* name) {
  if (GPXfp == nullptr) return;
  block += "   <rte>\n        <name>";
  appendEscaped(name);
  block +=
      "</name>\n"
      "        <extensions>\n"
      "            <opencpn:start></opencpn:start>\n"
      "            <opencpn:end></opencpn:end>\n"
      "            <opencpn:viz>1</opencpn:viz>\n"
      "        </extensions>\n";
  blockDone();
}

void RouteGPX(double lat, double lon, const char* name) {
  if (GPXfp == nullptr || !plausible(lat, lon)) return;
  appendPoint("        <rtept", lat, lon, name, "            ");
  block +=
      "            <sym>empty</sym>\n"
      "            <type>WPT</type>\n"
      "            <extensions>\n"
      "                <opencpn:viz>1</opencpn:viz>\n"
      "                <opencpn:viz_name>1</opencpn:viz_name>\n"
      "            </extensions>\n"
      "        </rtept>\n";
  blockDone();
}

void EndRouteGPX() {
  if (GPXfp == nullptr) return;
  block += "    </rte>\n";
  blockDone();
}

void WayPointGPX(double lat, double lon, const char* name) {
  if (GPXfp == nullptr || !plausible(lat, lon)) return;
  appendPoint("    <wpt", lat, lon, name, "        ");
  block +=
      "        <sym>circle</sym>\n"
      "        <type>WPT</type>\n"
      "        <extensions>\n"
      "            <opencpn:viz>1</opencpn:viz>\n"
      "            <opencpn:viz_name>1</opencpn:viz_name>\n"
      "        </extensions>\n"
      "    </wpt>\n";
  blockDone();
}

bool CloseGPX() {
  if (GPXfp == nullptr) {
    if (lastError.empty()) lastError = "no GPX file is open";
    return false;
  }
  block += " </gpx>\n";
  flushBlock();
  GPXfp = nullptr;
  const bool written = current.commit();
  lastError = written ? std::string() : current.error();
  return written;
}

void AbortGPX(const char* reason) {
  GPXfp = nullptr;
  block.clear();
  if (current.isOpen() && reason != nullptr) {
    lastError = "abandoned '" + current.path() + "': " + reason;
  }
  current.abandon();
}

void gpxLine(double lat1, double lon1, double lat2, double lon2, const char* name) {
  StartRouteGPX(name);
  RouteGPX(lat1, lon1, "");
  RouteGPX(lat2, lon2, name);
  EndRouteGPX();
}

bool gpxRhumbLine(double lat1, double lon1, double lat2, double lon2, const char* stem) {
  char fileName[kGpxNameCapacity];
  char routeName[kGpxNameCapacity];
  const int fileLength = std::snprintf(fileName, sizeof fileName, "%s RL.gpx", stem);
  const int routeLength = std::snprintf(routeName, sizeof routeName, "%s - P1P2", stem);
  if (fileLength < 0 || fileLength >= static_cast<int>(sizeof fileName) || routeLength < 0 ||
      routeLength >= static_cast<int>(sizeof routeName)) {
    GPXSetLastError("the stem is too long: the file and route names must fit in 99 characters");
    return false;
  }
  if (!OpenGPX(fileName)) return false;
  gpxLine(lat1, lon1, lat2, lon2, routeName);
  WayPointGPX(lat1, lon1, "P1");
  WayPointGPX(lat2, lon2, "P2");
  return CloseGPX();
}

const char* GPXLastError() {
  return lastError.c_str();
}

const char* GPXTemporaryFile() {
  return vestrand::anyTemporaryFile();
}

void GPXSetLastError(const char* message) {
  lastError = message != nullptr ? message : "";
}

namespace gpx_testing {
void SetWriteFunction(WriteFunction function) {
  vestrand::safe_file_testing::SetWriteFunction(function);
}
}  // namespace gpx_testing
