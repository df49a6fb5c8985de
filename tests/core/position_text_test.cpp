// The position reader and the position texts for people: the forms accepted today and those
// pasted from elsewhere, the refusals with their reasons, and texts that read back.
#include "position_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "course_distance.h"

namespace {

using vestrand::Axis;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::string kZeros(5000, '0');

// The readers: a number, one coordinate (its value in lat), a whole position.
enum class Reader { Number, Lat, Lon, Position };
using enum Reader;

bool read(Reader reader, const std::string& text, double& lat, double& lon, std::string& error) {
  if (reader == Number) return vestrand::parseNumber(text, lat, error);
  if (reader == Position) return vestrand::parsePosition(text, lat, lon, error);
  return vestrand::parseCoordinate(text, reader == Lat ? Axis::Latitude : Axis::Longitude, lat,
                                   error);
}

struct Accepted {
  Reader reader;
  std::string text;
  double lat, lon = 0.0;
};

TEST(PositionText, AcceptedForms) {
  const double dm = 43 + 30.5 / 60, dmLon = -(3 + 45.2 / 60);
  const double dms = 43.0 + 30.0 / 60 + 15.5 / 3600;
  const Accepted rows[] = {
      {Number, " 1e-3 ", 1e-3},
      {Lon, "180", 180.0},
      {Lat, "90:00N", 90.0},
      {Lon, "180:00:00W", -180.0},
      {Lat, "43:30:15.5N", dms},
      {Lat, "43.5N", 43.5},
      {Lat, "43:30.5n", dm},
      {Lat, "0:30S", -0.5},  // the sign survives zero degrees
      {Lat, "43 30 N", 43.5},
      {Lat, "43:" + kZeros + "N", 43.0},
      {Lat, "43\u00B030'15.5\"N", dms},
      {Lat, "43\u00B030\u203215.5\u2033N", dms},
      // Whole positions: where the latitude ends, and the decimal comma.
      {Position, "43.5083N W3.7533", 43.5083, -3.7533},
      {Position, "43 30.5N 3 45.2W", dm, dmLon},
      {Position, "N 43° 30.500' W 003° 45.200'", dm, dmLon},
      {Position, "N43º 30.00' W003º 45.00'", 43.5, -3.75},  // the library's own texts
      {Position, "S 33 52.5 E 151 12.5", -(33 + 52.5 / 60), 151 + 12.5 / 60},
      {Position, "43.5083, -3.7533", 43.5083, -3.7533},
      {Position, "43.5083/-3.7533", 43.5083, -3.7533},
      {Position, "43,5083N 3,7533W", 43.5083, -3.7533},
      // Pasted blanks: no-break before the digits, narrow no-break and thin spaces.
      {Position, "N\u00A043.5\u202FW\u00A03.75\u2009", 43.5, -3.75},
  };
  for (const Accepted& row : rows) {
    double lat = kNaN, lon = row.lon;
    std::string error;
    EXPECT_TRUE(read(row.reader, row.text, lat, lon, error)) << row.text << ": " << error;
    EXPECT_NEAR(lat, row.lat, 1e-12) << row.text;
    EXPECT_NEAR(lon, row.lon, 1e-12) << row.text;
  }
  double zero = 7.0;
  std::string error;
  ASSERT_TRUE(vestrand::parseNumber("-0", zero, error));
  EXPECT_TRUE(zero == 0.0 && std::signbit(zero));
}

struct Refused {
  Reader reader;
  std::string text;
  std::string reason;  // how the message begins; empty: any reason
};

TEST(PositionText, RefusalsLeaveTheValuesAloneAndSayWhy) {
  std::vector<Refused> rows = {
      {Lat, "43:59.9999999999999999999N", "the minutes must be below 60"},
      // Found by fuzzing: a colon after the seconds used to name a fourth part past the end of
      // the part names.
      {Lat, "N3\xC2\xBA 43:15:", "unexpected ':' after the seconds"},
      {Position, "43 30", "position: ambiguous"},
      {Position, "43,5 , 3,7", "position: more than one comma"},
      {Position, "43,5,3,7", "position: a comma between digits is a decimal mark here"},
      {Position, "43.5, 3.7/1", "position: both a comma and a slash"},
      {Position, "43.5", "position: expected a latitude and a longitude"},
      {Position, "43.5N 3.7", "position: a hemisphere letter on one coordinate only"},
      {Position, "N43.5 3.7W", "position: hemisphere letters go all before or all after"},
      {Position, "43.5N 3.7W 4N", "position: more than two"},
      {Position, "43.5N 3.7W x", "position: unexpected 'x' after the longitude"},
      {Position, "N43.5 W3.7 x", "longitude: unexpected 'x' after the degrees"},
      {Position, "43.5N/", "longitude: missing"},
      {Position, "43.5E 3.7W", "latitude: the hemisphere letter E does not fit a latitude"},
      {Position, "-43.5N 3.7W", "latitude: a sign and a hemisphere letter"},
      {Position, "43 60N 3 45W", "latitude: the minutes must be below 60"},
      {Position, "43 30 60N 3 45W", "latitude: the seconds must be below 60"},
      {Position, "90.5N 3W", "latitude: a latitude must lie within ±90"},
      {Position, "45.0 -180.01", "longitude: a longitude must lie within ±180"},
      // Once misnamed: the n of nan taken for N, a tiny number called infinite, a minutes part
      // below the smallest double called missing.
      {Position, "nan 3.5", "latitude: not a finite number"},
      {Position, "43.5 NaN", "longitude: not a finite number"},
      {Position, "1e-400 3.5", "latitude: too close to 0"},
      {Position, "43:0." + kZeros.substr(0, 400) + "1N 3W", "latitude: the minutes are too close"},
      {Position, "43:1" + kZeros.substr(0, 400) + "N 3W", "latitude: the minutes are too large"},
      // A cut typographic space once swallowed the byte after it: the minus sign, or a digit.
      {Position, "43.5\xE2\x80-13.75", "position: not UTF-8 text: a broken character at byte 5"},
      {Position,
       "43.5 \xE2\x80"
       "13.75",
       "position: not UTF-8 text: a broken character at byte 6"},
      {Position, "43.5 -13.75\xE2\x80", "position: not UTF-8 text"},
      {Position, "43.5 \xED\xA0\x80-3", "position: not UTF-8 text"},  // a surrogate
      {Lon, "\xE2\x80-13.75", "not UTF-8 text: a broken character at byte 1 (0xE2)"},
      {Lat, "43.5\xC0\xAEN", "not UTF-8 text"},  // an overlong form
  };
  for (const char* text : {"", "abc", "1,5", "0x10", "1.5.2", "12abc", "--1", "+", "inf", "nan",
                           "infinity", "1e999"}) {
    rows.push_back({Number, text, ""});
  }
  // clang-format off
  for (const char* text : {"90.000001", "90:00:01N", "43.5W", "", "N", "43:30", "43\u00B030'",
                           "-43:30N", "N43:30S", "43::30N", "43:30:15:10N", "43:30.5:10N", "abcN",
                           "43,5N", ":30N", "1e1N", "43:30\"N", "\xC2N", "\xFF\xFEN"}) {
    rows.push_back({Lat, text, ""});
  }
  // clang-format on
  for (const char* text : {"180.5", "180:00:01E", "1e300"}) rows.push_back({Lon, text, ""});
  rows.push_back({Lat, std::string("\0N", 2), ""});
  rows.push_back({Lat, std::string(10000, '9') + "N", ""});
  for (const Refused& row : rows) {
    double lat = 1.5, lon = 2.5;
    std::string error;
    EXPECT_FALSE(read(row.reader, row.text, lat, lon, error)) << '"' << row.text << '"';
    EXPECT_FALSE(error.empty()) << row.text;
    EXPECT_TRUE(error.starts_with(row.reason)) << row.text << ": " << error;
    EXPECT_TRUE(lat == 1.5 && lon == 2.5) << row.text;
  }
}

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
      double back = kNaN;
      std::string error;
      EXPECT_TRUE(vestrand::parseCoordinate(text, row.axis, back, error)) << text << ": " << error;
      EXPECT_NEAR(back, row.value, f.halfLastDigit + 1e-12) << text;
    }
  }
  EXPECT_EQ(vestrand::coordinateText(kNaN, Axis::Latitude, CoordinateForm::Degrees), "-");
}

// A pattern or a drift sailed across the antimeridian reaches 181 or 339.9; people read, and the
// readers take back, W179 and W020.
TEST(CoordinateText, LongitudesPastTheAntimeridianAreShownWithinIt) {
  const struct {
    double sailed, shown;
    std::string text;
  } rows[] = {
      {339.9, 339.9 - 360.0, "W020º  6.00'"},
      {181.0, -179.0, "W179º  0.00'"},
      {-181.0, 179.0, "E179º  0.00'"},
      {180.0, 180.0, "E180º  0.00'"},
      {-180.0, -180.0, "W180º  0.00'"},
      {540.0, 180.0, "E180º  0.00'"},
      {720.5, 0.5, "E000º 30.00'"},
      {-3.75, -3.75, "W003º 45.00'"},
      {180.0000001, -179.9999999, "W180º  0.00'"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(vestrand::displayLongitude(row.sailed), row.shown) << row.sailed;
    EXPECT_EQ(vestrand::coordinateText(row.sailed, Axis::Longitude), row.text) << row.sailed;
  }
  EXPECT_TRUE(std::isnan(vestrand::displayLongitude(kNaN)));
  EXPECT_EQ(vestrand::coordinateText(95.0, Axis::Latitude), "N95º  0.00'");
}

TEST(CourseDistance, SaysWhetherACourseIsDefined) {
  const auto plane = vestrand::planeCourseDistance, rhumb = vestrand::rhumbCourseDistance,
             great = vestrand::greatCircleCourseDistance;
  const struct {
    vestrand::CourseDistance (*sailing)(double, double, double, double);
    double lat1, lon1, lat2, lon2;
    double course, distance;  // not-a-number: no course found
  } rows[] = {
      {plane, 10, 10, 10, 10, kNaN, 0},
      {plane, 0, 0, 0, 1, 90, 60},
      {plane, 40, -70, 90, 0, kNaN, 3485.7729820751},  // the pole's longitude
      {plane, 90, 0, 40, 10, kNaN, 3010.69729967269},
      {rhumb, -90, 0, -90, 0, kNaN, 0},  // historically not-a-number
      {rhumb, 40, -70, 90, 0, 0, 3000},  // historically 2.1 and 3002.02
      {rhumb, 90, 0, 40, 10, kNaN, 3000.04122080593},
      {great, 40, -70, 90, -100, 360, 3000},
      {great, 90, 0, 40, 10, kNaN, 3000},
      {great, 0, 0, 0, 180, kNaN, 10800},  // antipodes
  };
  for (const auto& row : rows) {
    const vestrand::CourseDistance r = row.sailing(row.lat1, row.lon1, row.lat2, row.lon2);
    SCOPED_TRACE(::testing::Message()
                 << row.lat1 << "," << row.lon1 << " to " << row.lat2 << "," << row.lon2);
    EXPECT_EQ(r.courseFound, !std::isnan(row.course));
    EXPECT_TRUE(std::isnan(row.course) ? std::isnan(r.course)
                                       : std::fabs(r.course - row.course) <= 1e-9)
        << r.course;
    EXPECT_NEAR(r.distance, row.distance, 1e-8);
  }
}

}  // namespace
