#include "gpx.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "xml_text.h"

namespace {

// 128-bit products keep the coordinate rounding exact; a GCC and Clang extension.
__extension__ typedef unsigned __int128 Uint128;

// Blocks gather in one text and reach the file in large pieces: one copy of the bytes fewer
// than going through a stream's own buffer, which matters for million-point patterns.
constexpr std::size_t kFlushAt = 256 * 1024;

constexpr char kHeader[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"Tarvolin\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns=\"http://www.topografix.com/GPX/1/1\""
    " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
    " http://www.topografix.com/GPX/1/1/gpx.xsd\""
    " xmlns:opencpn=\"http://www.opencpn.org\">\n";

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

namespace vestrand {

GpxWriter::GpxWriter(SafeFile& file) : file_(file) {
  block_.reserve(kFlushAt + 4096);
  block_.assign(kHeader);
  flush();
}

void GpxWriter::flush() {
  if (!block_.empty()) file_.write(block_);
  block_.clear();
}

void GpxWriter::blockDone() {
  if (block_.size() >= kFlushAt) flush();
}

bool GpxWriter::plausible(double lat, double lon) {
  if (std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90.0) return true;
  const bool latitude = !std::isfinite(lat) || std::isfinite(lon);
  const double value = latitude ? lat : lon;
  char text[kCoordinateTextSize];
  FormatCoordinate(value, text);
  file_.fail(std::string("the ") + (latitude ? "latitude " : "longitude ") + text +
             (std::isfinite(value) ? " lies beyond 90 degrees" : " is not a finite number"));
  return false;
}

void GpxWriter::appendCoordinate(double value) {
  char text[kCoordinateTextSize];
  block_.append(text, FormatCoordinate(value, text));
}

void GpxWriter::appendPoint(const char* open, double lat, double lon, const char* name,
                            const char* nameIndent) {
  block_ += open;
  block_ += " lat=\"";
  appendCoordinate(lat);
  block_ += "\" lon=\"";
  appendCoordinate(lon);
  block_ += "\">\n";
  block_ += nameIndent;
  block_ += "<name>";
  if (name != nullptr) appendXmlText(block_, name);
  block_ += "</name>\n";
}

void GpxWriter::startRoute(const char* name) {
  block_ += "   <rte>\n        <name>";
  if (name != nullptr) appendXmlText(block_, name);
  block_ +=
      "</name>\n"
      "        <extensions>\n"
      "            <opencpn:start></opencpn:start>\n"
      "            <opencpn:end></opencpn:end>\n"
      "            <opencpn:viz>1</opencpn:viz>\n"
      "        </extensions>\n";
  blockDone();
}

void GpxWriter::routePoint(double lat, double lon, const char* name) {
  if (!plausible(lat, lon)) return;
  appendPoint("        <rtept", lat, lon, name, "            ");
  block_ +=
      "            <sym>empty</sym>\n"
      "            <type>WPT</type>\n"
      "            <extensions>\n"
      "                <opencpn:viz>1</opencpn:viz>\n"
      "                <opencpn:viz_name>1</opencpn:viz_name>\n"
      "            </extensions>\n"
      "        </rtept>\n";
  blockDone();
}

void GpxWriter::endRoute() {
  block_ += "    </rte>\n";
  blockDone();
}

void GpxWriter::waypoint(double lat, double lon, const char* name) {
  if (!plausible(lat, lon)) return;
  appendPoint("    <wpt", lat, lon, name, "        ");
  block_ +=
      "        <sym>circle</sym>\n"
      "        <type>WPT</type>\n"
      "        <extensions>\n"
      "            <opencpn:viz>1</opencpn:viz>\n"
      "            <opencpn:viz_name>1</opencpn:viz_name>\n"
      "        </extensions>\n"
      "    </wpt>\n";
  blockDone();
}

void GpxWriter::line(double lat1, double lon1, double lat2, double lon2, const char* name) {
  startRoute(name);
  routePoint(lat1, lon1, "");
  routePoint(lat2, lon2, name);
  endRoute();
}

bool GpxWriter::finish() {
  block_ += " </gpx>\n";
  flush();
  return !file_.failed();
}

}  // namespace vestrand

bool vestrand::composeLineNames(const char* stem, LineNames& names, std::string& error) {
  if (stem == nullptr) stem = "";
  names.file = std::string(stem) + " RL.gpx";
  names.route = std::string(stem) + " - P1P2";
  if (names.file.size() >= kGpxNameCapacity || names.route.size() >= kGpxNameCapacity) {
    error = "the stem is too long: the file and route names must fit in 99 characters";
    return false;
  }
  return true;
}

bool vestrand::writeRhumbLine(double lat1, double lon1, double lat2, double lon2, const char* stem,
                              const std::string& folder, std::string& path, std::string& error) {
  LineNames names;
  if (!composeLineNames(stem, names, error)) return false;
  path = folder.empty() ? names.file : (folder.back() == '/' ? folder : folder + "/") + names.file;
  SafeFile file;
  if (file.open(path)) {
    GpxWriter gpx(file);
    gpx.line(lat1, lon1, lat2, lon2, names.route.c_str());
    gpx.waypoint(lat1, lon1, LineNames::kFirst);
    gpx.waypoint(lat2, lon2, LineNames::kSecond);
    if (gpx.finish() && file.commit()) return true;
  }
  error = file.error();
  return false;
}

namespace gpx_testing {
void SetWriteFunction(WriteFunction function) {
  vestrand::safe_file_testing::SetWriteFunction(function);
}
}  // namespace gpx_testing
