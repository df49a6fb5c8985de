// The position reader and the position texts for people: the forms accepted today and those
// pasted from elsewhere, the refusals with their reasons, and texts that read back.
#include "position_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "course_distance.h"

namespace {

using vestrand::Axis;
using vestrand::parseCoordinate;
using vestrand::parseNumber;

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
  const std::pair<const char*, double> cases[] = {
      {"43.5", 43.5}, {"-3.75", -3.75}, {"+2", 2.0}, {" 1e-3 ", 1e-3}, {"-0", -0.0}};
  for (const auto& [text, expected] : cases) {
    double v = 7.0;
    std::string error;
    ASSERT_TRUE(parseNumber(text, v, error)) << text;
    EXPECT_EQ(v, expected) << text;
    EXPECT_EQ(std::signbit(v), std::signbit(expected)) << text;
  }
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

TEST(ParseCoordinate, AcceptedForms) {
  const double dms = 43.0 + 30.0 / 60 + 15.5 / 3600;
  const struct {
    std::string text;
    Axis axis;
    double value;
  } rows[] = {
      {"43.5", Axis::Latitude, 43.5},
      {"-3.75", Axis::Longitude, -3.75},
      {"-90", Axis::Latitude, -90.0},
      {"180", Axis::Longitude, 180.0},
      {"90:00N", Axis::Latitude, 90.0},
      {"180:00:00W", Axis::Longitude, -180.0},
      {"43:30S", Axis::Latitude, -43.5},
      {"003:45E", Axis::Longitude, 3.75},
      {"43:30:15.5N", Axis::Latitude, dms},
      {"43.5N", Axis::Latitude, 43.5},
      {"43:30.5n", Axis::Latitude, 43.0 + 30.5 / 60},
      {"0:30S", Axis::Latitude, -0.5},  // the sign survives zero degrees
      {"43 30 N", Axis::Latitude, 43.5},
      {"43:59:59.99N", Axis::Latitude, 43.0 + 59.0 / 60 + 59.99 / 3600},
      {"43\u00B030'15.5\"N", Axis::Latitude, dms},
      {"43\u00B0 30' 15.5\" N", Axis::Latitude, dms},
      {"43\u00B030\u203215.5\u2033N", Axis::Latitude, dms},
      {"43\u00B030'15.5''N", Axis::Latitude, dms},
      {"3\u00B045'W", Axis::Longitude, -3.75},
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(coordinate(row.text, row.axis), row.value, 1e-12) << row.text;
  }
}

TEST(ParseCoordinate, RefusesOutOfRangeAndMalformedText) {
  EXPECT_EQ(refusal("43:59.9999999999999999999N", Axis::Latitude), "the minutes must be below 60");
  for (const char* text : {"90.000001", "-90.5", "90:00:01N", "43.5W"}) {
    EXPECT_NE(refusal(text, Axis::Latitude), "accepted") << text;
  }
  for (const char* text : {"180.5", "180:00:01E", "1e300"}) {
    EXPECT_NE(refusal(text, Axis::Longitude), "accepted") << text;
  }
  // clang-format off
  for (const char* text : {"", "N", "43:30", "43\u00B030'", "-43:30N", "+43:30N", "N43:30S",
                           "43::30N", "43:30:N", "43:30:15:10N", "43.5:30N", "43:30.5:10N",
                           "43'30N", "43:30''N", "abcN", "43:3oN", "43,5N", ":30N", "43.N",
                           "1e1N", "43:30\"N", "43 N 30"}) {
    // clang-format on
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

// ---------------------------------------------------------------- whole positions

constexpr double kDegrees = 1e-9;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::string kZeros400(400, '0');

struct AcceptedPosition {
  std::string text;
  double lat, lon;
};

TEST(ParsePosition, AcceptedForms) {
  const double dm = 43 + 30.5 / 60, dmLon = -(3 + 45.2 / 60);
  const double dms = 43 + 30.0 / 60 + 30.0 / 3600, dmsLon = -(3 + 45.0 / 60 + 12.0 / 3600);
  const AcceptedPosition rows[] = {
      {"43.5083 -3.7533", 43.5083, -3.7533},
      {"43.5083N 3.7533W", 43.5083, -3.7533},
      {"N43.5083 W3.7533", 43.5083, -3.7533},
      {"43.5083N W3.7533", 43.5083, -3.7533},
      {"43 30.5N 3 45.2W", dm, dmLon},
      {"43°30.5'N 003°45.2'W", dm, dmLon},
      {"N 43° 30.500' W 003° 45.200'", dm, dmLon},
      {"43:30.5N 3:45.2W", dm, dmLon},
      {"43 30 30N 3 45 12W", dms, dmsLon},
      {"43°30'30\"N 3°45'12\"W", dms, dmsLon},
      {"43º30′30″N 3º45′12″W", dms, dmsLon},
      {"S 33 52.5 E 151 12.5", -(33 + 52.5 / 60), 151 + 12.5 / 60},
      {"N43º 30.00' W003º 45.00'", 43.5, -3.75},  // the library's own texts
      {"43.0 -3.0", 43, -3},
      {"43.5° -3.75°", 43.5, -3.75},
      {"43.5083, -3.7533", 43.5083, -3.7533},
      {"43.5083,3.7533", 43.5083, 3.7533},
      {"43.5083/-3.7533", 43.5083, -3.7533},
      {"43,5083N 3,7533W", 43.5083, -3.7533},
      {"43,5 -3,7", 43.5, -3.7},
      {"1e1 -2e1", 10, -20},
      // Pasted blanks: no-break before the digits, narrow no-break and thin spaces.
      {"N\u00A043.5\u202FW\u00A03.75\u2009", 43.5, -3.75},
  };
  for (const AcceptedPosition& row : rows) {
    double lat = kNaN, lon = kNaN;
    std::string error;
    EXPECT_TRUE(vestrand::parsePosition(row.text, lat, lon, error)) << row.text << ": " << error;
    EXPECT_NEAR(lat, row.lat, kDegrees) << row.text;
    EXPECT_NEAR(lon, row.lon, kDegrees) << row.text;
  }
}

struct RefusedPosition {
  std::string text;
  std::string part;    // "latitude", "longitude" or "position"
  std::string reason;  // a piece of the message after the part
};

TEST(ParsePosition, RefusalsNameThePartAndTheReason) {
  const RefusedPosition rows[] = {
      {"43 30", "position", "ambiguous"},
      {"43, -3", "position", "ambiguous"},
      {"43 30 3 45", "position", "ambiguous"},
      {"43,5 , 3,7", "position", "more than one comma"},
      {"43,5,3,7", "position", "decimal mark here"},
      {"43.5, 3.7/1", "position", "both a comma and a slash"},
      {"43.5/3.7/1", "position", "more than one '/'"},
      {"43.5", "position", "expected a latitude and a longitude"},
      {"43.5N 3.7", "position", "one coordinate only"},
      {"N43.5 3.7W", "position", "all before or all after"},
      {"43.5N 3.7W 4N", "position", "more than two"},
      {"43.5N 3.7W x", "position", "unexpected 'x' after the longitude"},
      {"43.5 -3.7 9.1", "position", "unexpected '9.1' after the longitude"},
      {"N43.5 W3.7 x", "longitude", "unexpected 'x' after the degrees"},
      {"43.5N/", "longitude", "missing"},
      {"43.5E 3.7W", "latitude", "the hemisphere letter E does not fit a latitude"},
      {"43.5N 3.7N", "longitude", "the hemisphere letter N does not fit a longitude"},
      {"-43.5N 3.7W", "latitude", "a sign and a hemisphere letter"},
      {"43 60N 3 45W", "latitude", "the minutes must be below 60"},
      {"43 30 60N 3 45W", "latitude", "the seconds must be below 60"},
      {"43 30N 3 60.5W", "longitude", "the minutes must be below 60"},
      {"90.5N 3W", "latitude", "must lie within ±90"},
      {"45.0 -180.01", "longitude", "must lie within ±180"},
      // Once misnamed: the n of nan taken for N, a tiny number called infinite, a minutes part
      // below the smallest double called missing.
      {"nan 3.5", "latitude", "not a finite number"},
      {"43.5 NaN", "longitude", "not a finite number"},
      {"-inf 3.5", "latitude", "not a finite number"},
      {"43.5 infinity", "longitude", "not a finite number"},
      {"1e-400 3.5", "latitude", "too close to 0"},
      {"43:0." + kZeros400 + "1N 3W", "latitude", "the minutes are too close to 0"},
      {"43:1" + kZeros400 + "N 3W", "latitude", "the minutes are too large"},
  };
  for (const RefusedPosition& row : rows) {
    double lat = 1.5, lon = 2.5;
    std::string error;
    EXPECT_FALSE(vestrand::parsePosition(row.text, lat, lon, error)) << row.text;
    EXPECT_EQ(error.substr(0, row.part.size() + 2), row.part + ": ") << row.text << ": " << error;
    EXPECT_NE(error.find(row.reason), std::string::npos) << row.text << ": " << error;
    EXPECT_EQ(lat, 1.5) << row.text;
    EXPECT_EQ(lon, 2.5) << row.text;
  }
}

// ---------------------------------------------------------------- texts for people

struct CoordinateTexts {
  double value;
  Axis axis;
  std::string minutes, seconds, degrees;
};

TEST(CoordinateText, CarriesRoundingAndReadsBack) {
  using vestrand::CoordinateForm;
  const CoordinateTexts rows[] = {
      {43 + 30.5 / 60, Axis::Latitude, "N43º 30.50'", "N43º 30' 30.0\"", "N43.508333º"},
      {-(3 + 45.2 / 60), Axis::Longitude, "W003º 45.20'", "W003º 45' 12.0\"", "W003.753333º"},
      {-5.25, Axis::Latitude, "S05º 15.00'", "S05º 15' 00.0\"", "S05.250000º"},
      {0, Axis::Longitude, "E000º  0.00'", "E000º 00' 00.0\"", "E000.000000º"},
      // The carries that DegToLat, DegToLon and D2DMS leave out.
      {9.9999999, Axis::Latitude, "N10º  0.00'", "N10º 00' 00.0\"", "N10.000000º"},
      {89.9999999, Axis::Latitude, "N90º  0.00'", "N90º 00' 00.0\"", "N90.000000º"},
      {-179.9999999, Axis::Longitude, "W180º  0.00'", "W180º 00' 00.0\"", "W180.000000º"},
      {43 + 59.996 / 60, Axis::Latitude, "N44º  0.00'", "N43º 59' 59.8\"", "N43.999933º"},
      {-(3 + 59.0 / 60 + 59.96 / 3600), Axis::Longitude, "W004º  0.00'", "W004º 00' 00.0\"",
       "W003.999989º"},
      // A hair south of the equator stays south, as DegToLat writes it.
      {-0.0000001, Axis::Latitude, "S00º  0.00'", "S00º 00' 00.0\"", "S00.000000º"},
  };
  const struct {
    CoordinateForm form;
    std::string CoordinateTexts::*text;
    double halfLastDigit;
  } forms[] = {{CoordinateForm::DegreesMinutes, &CoordinateTexts::minutes, 0.005 / 60},
               {CoordinateForm::DegreesMinutesSeconds, &CoordinateTexts::seconds, 0.05 / 3600},
               {CoordinateForm::Degrees, &CoordinateTexts::degrees, 5e-7}};
  for (const CoordinateTexts& row : rows) {
    for (const auto& f : forms) {
      const std::string text = vestrand::coordinateText(row.value, row.axis, f.form);
      EXPECT_EQ(text, row.*f.text) << row.value;
      EXPECT_NEAR(coordinate(text, row.axis), row.value, f.halfLastDigit + 1e-12) << text;
    }
  }
  EXPECT_EQ(vestrand::coordinateText(kNaN, Axis::Latitude, CoordinateForm::Degrees), "-");
}

// ---------------------------------------------------------------- course found or not

struct CourseCase {
  vestrand::CourseDistance (*sailing)(double, double, double, double);
  double lat1, lon1, lat2, lon2;
  bool found;
  double course, distance;
};

TEST(CourseDistance, SaysWhetherACourseIsDefined) {
  using vestrand::greatCircleCourseDistance, vestrand::planeCourseDistance,
      vestrand::rhumbCourseDistance;
  const CourseCase rows[] = {
      {planeCourseDistance, 10, 10, 10, 10, false, kNaN, 0},
      {planeCourseDistance, 0, 0, 0, 1, true, 90, 60},
      {planeCourseDistance, 40, -70, 90, 0, false, kNaN, 3485.7729820751},  // the pole's longitude
      {planeCourseDistance, 90, 0, 40, 10, false, kNaN, 3010.69729967269},
      {rhumbCourseDistance, 0, 0, 0, 0, false, kNaN, 0},
      {rhumbCourseDistance, 45, -10, 40, -5, true, 143.522795990948, 373.090960611320},
      {rhumbCourseDistance, -90, 0, -90, 0, false, kNaN, 0},  // historically not-a-number
      {rhumbCourseDistance, 40, -70, 90, 0, true, 0, 3000},   // historically 2.1 and 3002.02
      {rhumbCourseDistance, 40, -70, 90, -100, true, 0, 3000},
      {rhumbCourseDistance, 40, 10, -90, 0, true, 180, 7800},
      {rhumbCourseDistance, 90, 0, 40, 10, false, kNaN, 3000.04122080593},
      {greatCircleCourseDistance, 0, 0, 0, 0, false, kNaN, 0},
      {greatCircleCourseDistance, 40, -70, 50, 0, true, 53.588595354532, 2918.272243204252},
      {greatCircleCourseDistance, 40, -70, 90, -100, true, 360, 3000},
      {greatCircleCourseDistance, 90, 0, 40, 10, false, kNaN, 3000},
      {greatCircleCourseDistance, 0, 0, 0, 180, false, kNaN, 10800},  // antipodes
  };
  for (const CourseCase& row : rows) {
    const vestrand::CourseDistance r = row.sailing(row.lat1, row.lon1, row.lat2, row.lon2);
    SCOPED_TRACE(::testing::Message()
                 << row.lat1 << "," << row.lon1 << " to " << row.lat2 << "," << row.lon2);
    EXPECT_EQ(r.courseFound, row.found);
    if (row.found) {
      EXPECT_NEAR(r.course, row.course, 1e-9);
    } else {
      EXPECT_TRUE(std::isnan(r.course));
    }
    EXPECT_NEAR(r.distance, row.distance, 1e-8);
  }
}

}  // namespace
