// The GPX writer: its number format, names that need escaping, and what it does when the folder or
// the caller lets it down. Its blocks are the golden files' (see the RTZ tests); full disks and
// interrupts are the safe writer's.
#include "gpx.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>

#include "gpx_stream.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using vestrand::testing::readFile;
using vestrand::testing::ScratchDir;
using vestrand::testing::wellFormedXml;

std::string printed(double v) {
  char text[400];
  std::snprintf(text, sizeof text, "%.9lf", v);
  return text;
}

std::string formatted(double v) {
  char text[kCoordinateTextSize];
  const std::size_t n = FormatCoordinate(v, text);
  EXPECT_EQ(n, std::strlen(text));
  return text;
}

class GpxWriter : public ::testing::Test {
 protected:
  void TearDown() override {
    if (GPXfp != nullptr) AbortGPX("test ended");
  }
  ScratchDir dir_;
};

// The fast path must give exactly printf's digits.
TEST(CoordinateFormat, MatchesPrintfDigitForDigit) {
  // Specials and raw bits are the fuzzer's replayed corpus; here the ties and the fast path's ends.
  // clang-format off
  const double values[] = {-0.0, 5e-10, -5e-10, 1.5e-9, 2.5e-9, 0.0009765625, -0.0029296875,
                           999999999.9999999, -999999999.9999999, 1e9, 4.9e-324};
  // clang-format on
  for (double v : values) EXPECT_EQ(formatted(v), printed(v)) << "value bits of " << v;
  // Random doubles of every magnitude the writer meets, and values that sit on or next to a
  // rounding tie at the ninth decimal.
  std::mt19937_64 random(20121225);
  std::uniform_real_distribution<double> exponent(-12.0, 22.0);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<long long> whole(-999999999999LL, 999999999999LL);
  for (int i = 0; i < 400000; ++i) {
    const double magnitude = unit(random) * std::pow(10.0, exponent(random));
    ASSERT_EQ(formatted(magnitude), printed(magnitude)) << magnitude;
    // k / 2^11 has up to eleven decimals: many land exactly halfway at the tenth.
    const double tie = static_cast<double>(whole(random) % 2000000000LL) / 2048.0;
    ASSERT_EQ(formatted(tie), printed(tie)) << tie;
    const double neighbour = std::nextafter(tie, i % 2 ? 1e10 : -1e10);
    ASSERT_EQ(formatted(neighbour), printed(neighbour)) << neighbour;
  }
}

// Found by fuzzing: control characters and bytes that are not UTF-8 used to reach the file as
// they came, and the file was no longer well-formed.
TEST_F(GpxWriter, NamesAreEscapedOrReplacedSoTheFileStaysWellFormed) {
  const struct {
    const char *name, *written;
  } cases[] = {
      {"Tom & Jerry <\"quoted\"> 'single'",
       "Tom &amp; Jerry &lt;&quot;quoted&quot;&gt; &apos;single&apos;"},
      {"\xEB\x9C\x80\x01", "\xEB\x9C\x80\xEF\xBF\xBD"},
      {"\xC3\x28", "\xEF\xBF\xBD("},
      {"line\nbreak\ttab\r", "line&#10;break&#9;tab&#13;"},
      {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9A\xA2",
       "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9A\xA2"},
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // a surrogate
      {"\xEF\xBF\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // U+FFFF
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // past U+10FFFF
      {"end\xE2\x82", "end\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(OpenGPX("odd.gpx"));
    StartRouteGPX(c.name);
    RouteGPX(0, 0, c.name);
    EndRouteGPX();
    WayPointGPX(0, 0, c.name);
    ASSERT_TRUE(CloseGPX());
    EXPECT_EQ(vestrand::testing::occurrences(readFile("odd.gpx"),
                                             std::string("<name>") + c.written + "</name>"),
              3u)
        << c.written;
    EXPECT_TRUE(wellFormedXml("odd.gpx")) << c.written;
  }
}

// Used to be passed over silently: the operator believed the search was on disk.
TEST_F(GpxWriter, MissingFolderIsReportedWithPathAndReason) {
  EXPECT_FALSE(OpenGPX("no-such-folder/x.gpx"));
  EXPECT_NE(std::string(GPXLastError()).find("no-such-folder/x.gpx"), std::string::npos);
  EXPECT_NE(std::string(GPXLastError()).find(std::strerror(ENOENT)), std::string::npos);
}

// The last guard before a chart plotter: a hostile layout once had the window write "-inf",
// "nan" and a latitude of -888.8 into a file that was reported as written.
TEST_F(GpxWriter, ImpossibleCoordinatesFailTheFileNamingTheValue) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double lat, lon;
    bool waypoint;
    const char* said;
  } cases[] = {
      {90.1, 0.0, false, "the latitude 90.100000000 lies beyond 90 degrees"},
      {-888.8, 0.0, true, "the latitude -888.800000000 lies beyond 90 degrees"},
      {-inf, nan, false, "the latitude -inf is not a finite number"},
      {0.0, nan, true, "the longitude nan is not a finite number"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(OpenGPX("guard.gpx"));
    StartRouteGPX("r");
    if (c.waypoint) {
      EndRouteGPX();
      WayPointGPX(c.lat, c.lon, "w");
    } else {
      RouteGPX(c.lat, c.lon, "p");
      EndRouteGPX();
    }
    EXPECT_FALSE(CloseGPX()) << c.said;
    EXPECT_NE(std::string(GPXLastError()).find(c.said), std::string::npos) << GPXLastError();
    EXPECT_FALSE(fs::exists("guard.gpx")) << c.said;
  }
}

}  // namespace
