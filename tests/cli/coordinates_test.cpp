// The command line's parsers and checks, without the program around them.
#include "coordinates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "arguments.h"
#include "report.h"

namespace {

using vestrand::cli::Axis;
using vestrand::cli::parseCoordinate;
using vestrand::cli::parseNumber;

// Parses or fails the test with the parser's reason.
double coordinate(const std::string& text, Axis axis) {
  double value = std::numeric_limits<double>::quiet_NaN();
  std::string error;
  EXPECT_TRUE(parseCoordinate(text, axis, value, error)) << text << ": " << error;
  return value;
}

// The reason a text is refused, or "accepted" when it is not.
std::string refusal(const std::string& text, Axis axis) {
  double value = 12345.0;
  std::string error;
  if (parseCoordinate(text, axis, value, error)) return "accepted";
  EXPECT_EQ(value, 12345.0) << "a refused text must leave the value alone";
  return error;
}

TEST(ParseNumber, AcceptsPlainDecimals) {
  double v = 0.0;
  std::string error;
  ASSERT_TRUE(parseNumber("43.5", v, error));
  EXPECT_EQ(v, 43.5);
  ASSERT_TRUE(parseNumber("-3.75", v, error));
  EXPECT_EQ(v, -3.75);
  ASSERT_TRUE(parseNumber("+2", v, error));
  EXPECT_EQ(v, 2.0);
  ASSERT_TRUE(parseNumber(" 1e-3 ", v, error));
  EXPECT_EQ(v, 1e-3);
  ASSERT_TRUE(parseNumber("-0", v, error));
  EXPECT_TRUE(std::signbit(v));
}

TEST(ParseNumber, RefusesWhatIsNoFiniteNumber) {
  for (const char* text : {"", " ", "abc", "1,5", "0x10", "1.5.2", "12abc", "--1", "+", "+-1",
                           "inf", "-inf", "nan", "infinity", "1e999", "-1e999"}) {
    double v = 7.0;
    std::string error;
    EXPECT_FALSE(parseNumber(text, v, error)) << text;
    EXPECT_EQ(v, 7.0) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(ParseCoordinate, DecimalDegrees) {
  EXPECT_EQ(coordinate("43.5", Axis::Latitude), 43.5);
  EXPECT_EQ(coordinate("-3.75", Axis::Longitude), -3.75);
  EXPECT_EQ(coordinate("90", Axis::Latitude), 90.0);
  EXPECT_EQ(coordinate("-90", Axis::Latitude), -90.0);
  EXPECT_EQ(coordinate("180", Axis::Longitude), 180.0);
  EXPECT_EQ(coordinate("-180", Axis::Longitude), -180.0);
}

TEST(ParseCoordinate, SexagesimalWithHemisphere) {
  EXPECT_EQ(coordinate("43:30N", Axis::Latitude), 43.5);
  EXPECT_EQ(coordinate("43:30S", Axis::Latitude), -43.5);
  EXPECT_EQ(coordinate("003:45W", Axis::Longitude), -3.75);
  EXPECT_EQ(coordinate("003:45E", Axis::Longitude), 3.75);
  EXPECT_DOUBLE_EQ(coordinate("43:30:15.5N", Axis::Latitude), 43.0 + 30.0 / 60 + 15.5 / 3600);
  EXPECT_EQ(coordinate("43.5N", Axis::Latitude), 43.5);
  EXPECT_EQ(coordinate("43:30.5n", Axis::Latitude), 43.0 + 30.5 / 60);
  EXPECT_EQ(coordinate("0:30S", Axis::Latitude), -0.5);  // the sign survives zero degrees
  EXPECT_EQ(coordinate("43 30 N", Axis::Latitude), 43.5);
}

TEST(ParseCoordinate, DegreeMinuteSecondMarks) {
  const double expected = 43.0 + 30.0 / 60 + 15.5 / 3600;
  EXPECT_DOUBLE_EQ(coordinate("43\xC2\xB0"
                              "30'15.5\"N",
                              Axis::Latitude),
                   expected);
  EXPECT_DOUBLE_EQ(coordinate("43\xC2\xB0 30' 15.5\" N", Axis::Latitude), expected);
  EXPECT_DOUBLE_EQ(coordinate("43\xC2\xB0"
                              "30\xE2\x80\xB2"
                              "15.5\xE2\x80\xB3N",
                              Axis::Latitude),
                   expected);
  EXPECT_DOUBLE_EQ(coordinate("43\xC2\xB0"
                              "30'15.5''N",
                              Axis::Latitude),
                   expected);
  EXPECT_EQ(coordinate("3\xC2\xB0"
                       "45'W",
                       Axis::Longitude),
            -3.75);
}

// What the navigation library's DegToLat and DegToLon write (after conversion to UTF-8) reads
// back.
TEST(ParseCoordinate, ReadsTheLibrarysOwnText) {
  EXPECT_EQ(coordinate(vestrand::cli::latitudeText(43.5), Axis::Latitude), 43.5);
  EXPECT_EQ(coordinate(vestrand::cli::longitudeText(-8.75), Axis::Longitude), -8.75);
  EXPECT_EQ(coordinate("S05\xC2\xBA 15.00'", Axis::Latitude), -5.25);
}

TEST(ParseCoordinate, RangeEnds) {
  EXPECT_EQ(coordinate("90:00N", Axis::Latitude), 90.0);
  EXPECT_EQ(coordinate("180:00:00W", Axis::Longitude), -180.0);
  EXPECT_NE(refusal("90.000001", Axis::Latitude), "accepted");
  EXPECT_NE(refusal("-90.5", Axis::Latitude), "accepted");
  EXPECT_NE(refusal("90:00:01N", Axis::Latitude), "accepted");
  EXPECT_NE(refusal("180.5", Axis::Longitude), "accepted");
  EXPECT_NE(refusal("180:00:01E", Axis::Longitude), "accepted");
  EXPECT_NE(refusal("1e300", Axis::Longitude), "accepted");
}

TEST(ParseCoordinate, MinutesAndSecondsBelowSixty) {
  EXPECT_EQ(refusal("43:60N", Axis::Latitude), "the minutes must be below 60");
  EXPECT_EQ(refusal("43:30:60N", Axis::Latitude), "the seconds must be below 60");
  EXPECT_EQ(refusal("43:59.9999999999999999999N", Axis::Latitude), "the minutes must be below 60");
  EXPECT_DOUBLE_EQ(coordinate("43:59:59.99N", Axis::Latitude), 43.0 + 59.0 / 60 + 59.99 / 3600);
}

TEST(ParseCoordinate, HemisphereLetterMustFitTheAxis) {
  EXPECT_EQ(refusal("43:30E", Axis::Latitude),
            "the hemisphere letter E does not fit a latitude (use N or S)");
  EXPECT_EQ(refusal("003:45N", Axis::Longitude),
            "the hemisphere letter N does not fit a longitude (use E or W)");
  EXPECT_NE(refusal("43.5W", Axis::Latitude), "accepted");
}

TEST(ParseCoordinate, RefusesMalformedText) {
  for (const char* text : {"",
                           "N",
                           "43:30",
                           "43\xC2\xB0"
                           "30'",
                           "-43:30N",
                           "+43:30N",
                           "N43:30S",
                           "43::30N",
                           "43:30:N",
                           "43:30:15:10N",
                           "43.5:30N",
                           "43:30.5:10N",
                           "43'30N",
                           "43:30''N",
                           "abcN",
                           "43:3oN",
                           "43,5N",
                           ":30N",
                           "43.N",
                           "1e1N",
                           "43:30\"N",
                           "43 N 30"}) {
    EXPECT_NE(refusal(text, Axis::Latitude), "accepted") << '"' << text << '"';
  }
}

// Found by fuzzing: a colon after the seconds used to name a fourth part past the end of the
// part names.
TEST(ParseCoordinate, ColonAfterTheSecondsIsRefusedByName) {
  EXPECT_EQ(refusal("N3\xC2\xBA 43:15:", Axis::Latitude), "unexpected ':' after the seconds");
  EXPECT_EQ(refusal("E3:43:15:", Axis::Longitude), "unexpected ':' after the seconds");
}

TEST(ParseCoordinate, SurvivesArbitraryBytes) {
  // A fuzz target will do this at scale; here only that odd bytes are refused, not misread.
  const std::string texts[] = {std::string("\0N", 2),
                               "\xC2N",
                               "\xC2",
                               "43\xC2N",
                               "\xFF\xFEN",
                               std::string(10000, '9') + "N",
                               "43:" + std::string(5000, '0') + "N"};
  for (const std::string& text : texts) {
    double value = 0.0;
    std::string error;
    if (parseCoordinate(text, Axis::Latitude, value, error)) {
      EXPECT_LE(std::fabs(value), 90.0);
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(Arguments, MessagesNameTheOptionAndTheValue) {
  try {
    vestrand::cli::checkCourse("--course", "361");
    FAIL() << "361 was accepted";
  } catch (const vestrand::cli::UsageError& e) {
    EXPECT_STREQ(e.what(), "--course '361' refused: a course must lie from -360 to 360 degrees");
  }
}

TEST(Arguments, Bounds) {
  using namespace vestrand::cli;
  EXPECT_EQ(checkCourse("--course", "-360"), -360.0);
  EXPECT_EQ(checkCourse("--course", "360"), 360.0);
  EXPECT_THROW(checkCourse("--course", "360.0001"), UsageError);
  EXPECT_EQ(checkDistance("--leg", "500"), 500.0);
  EXPECT_EQ(checkDistance("--leg", "1e-9"), 1e-9);
  EXPECT_THROW(checkDistance("--leg", "0"), UsageError);
  EXPECT_THROW(checkDistance("--leg", "-0"), UsageError);
  EXPECT_THROW(checkDistance("--leg", "500.0000001"), UsageError);
  EXPECT_EQ(checkCount("--count", "0"), 0);
  EXPECT_EQ(checkCount("--count", "2.0"), 2);
  EXPECT_EQ(checkCount("--count", "1000000"), 1000000);
  EXPECT_THROW(checkCount("--count", "1000001"), UsageError);
  EXPECT_THROW(checkCount("--count", "2.5"), UsageError);
  EXPECT_THROW(checkCount("--count", "-1"), UsageError);
  EXPECT_THROW(checkCount("--count", "1e300"), UsageError);
  EXPECT_EQ(checkStem("--stem", "20121225143000"), "20121225143000");
  EXPECT_EQ(checkStem("--stem", std::string(40, 'a')), std::string(40, 'a'));
  EXPECT_EQ(checkStem("--stem", "Plan_B-2"), "Plan_B-2");
  for (const std::string bad : {"", "a b", "a/b", "..", "a.b", "\xC3\xA9t\xC3\xA9"}) {
    EXPECT_THROW(checkStem("--stem", bad), UsageError) << bad;
  }
  EXPECT_THROW(checkStem("--stem", std::string(41, 'a')), UsageError);
}

TEST(Report, ShortestNumbersReadBack) {
  using vestrand::cli::shortestNumber;
  EXPECT_EQ(shortestNumber(0.1), "0.1");
  EXPECT_EQ(shortestNumber(90.0), "90");
  EXPECT_EQ(shortestNumber(-0.0), "-0");
  EXPECT_EQ(shortestNumber(1e-300), "1e-300");
  EXPECT_EQ(shortestNumber(std::numeric_limits<double>::quiet_NaN()), "null");
  for (const double v : {44.998909155372, 2918.272243204252, 0.7071067811865481, 1.0 / 3.0}) {
    EXPECT_EQ(std::stod(shortestNumber(v)), v);
  }
}

TEST(Report, HemisphereTextsInUtf8) {
  EXPECT_EQ(vestrand::cli::latitudeText(43.5), "N43\xC2\xBA 30.00'");
  EXPECT_EQ(vestrand::cli::longitudeText(-8.75), "W008\xC2\xBA 45.00'");
}

TEST(Report, JsonLines) {
  EXPECT_EQ(vestrand::cli::courseJson(-1, 0.0, 0.0),
            "{\"status\":-1,\"course\":0,\"distance\":0}\n");
  EXPECT_EQ(vestrand::cli::positionJson(std::nullopt, 1.5, -2.25),
            "{\"status\":null,\"lat\":1.5,\"lon\":-2.25}\n");
}

}  // namespace
