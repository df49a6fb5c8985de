// Sailings, normalisations, angle conventions and sexagesimal texts against their published
// tables. Tolerances are named per quantity; the awkward values are compared exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "Derrota.h"
#include "angulos.h"
#include "test_support.h"

namespace {

constexpr double kDegrees = 1e-9;         // positions and courses of the tables
constexpr double kMiles = 1e-9;           // distances of the tables
constexpr double kMeridianCourse = 1e-5;  // courses along a meridian come from acos near 1
constexpr double kAnyCourse = 180;        // around 180: any number from 0 to 360
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::string nine(double lat, double lon) {
  char text[128];
  std::snprintf(text, sizeof text, "%.9f %.9f", lat, lon);
  return text;
}

TEST(PosicionLlegada, ArrivalTableAlsoInPlace) {
  const struct {
    double lat, lon, speed, course, time;
    const char* arrival;
  } rows[] = {
      {40, -10, 10, 45, 2, "40.235702260 -9.691779931"},     // the worked arrival
      {40, -10, 1, 390, 5, "40.072168784 -9.945579260"},     // the course of 30 degrees
      {40, -10, -1, 30, 5, "39.927831216 -10.054363252"},    // a reciprocal run
      {89.9, 5, 1, 0, 12, "90.100000000 5.000000000"},       // the pole is not folded
      {40, 179.9, 1, 90, 12, "40.000000000 180.161081458"},  // nor the antimeridian wrapped
      {90, 12.5, 0, 77, 3, "90.000000000 12.500000000"},     // no speed or no time: no move
      {-90, 12.5, 9, 77, 0, "-90.000000000 12.500000000"},
  };
  for (const auto& r : rows) {
    double lat, lon;
    PosicionLlegada(r.lat, r.lon, r.speed, r.course, r.time, &lat, &lon);
    EXPECT_EQ(nine(lat, lon), r.arrival) << r.course;
    lat = r.lat, lon = r.lon;
    PosicionLlegada(lat, lon, r.speed, r.course, r.time, &lat, &lon);
    EXPECT_EQ(nine(lat, lon), r.arrival) << r.course << " in place";
  }
  // The short pi leaves a trace of latitude due east, below the ninth decimal.
  double lat, lon;
  PosicionLlegada(0, 0, 1, 90, 60, &lat, &lon);
  EXPECT_NEAR(lat, 1.6e-15, 1e-16);
  EXPECT_EQ(nine(lat, lon), "0.000000000 1.000000000");
}

// The normalisations keep their ends; they used to loop for ever on not-a-number, infinities and
// huge values.
TEST(Normalisation, AngleAndHourFunctionsAgainstTheirTables) {
  const struct {
    double (*normalise)(double);
    std::vector<std::pair<double, double>> cases;
  } tables[] = {
      // clang-format off
      {ang_0_360, {{0, 0}, {360, 360}, {720, 360}, {-360, 0}, {-0.5, 359.5}, {-1e-20, 360},
                   {361, 1}, {3600045, 45}, {-3600045, 315}, {1440000, 360}, {-1440000, 0},
                   {kNaN, kNaN}, {kInf, kNaN}, {-kInf, kNaN}}},
      {ang_180, {{-180, -180}, {180, 180}, {-181, 179}, {181, -179}, {540, 180}, {-600, -240},
                 {kNaN, kNaN}}},
      {time_0_24, {{0, 24}, {24, 0}, {-24, 24}, {48, 0}, {-0.5, 23.5}, {24.5, 0.5}, {120000, 0},
                   {-120000, 24}, {120001.5, 1.5}, {kNaN, kNaN}, {kInf, kNaN}}},
      // Bearing and mathematical angle, each the other's inverse; outside 0..360 reduced first.
      {AnguloNautico2Matematico, {{0, 90}, {90, 0}, {90.5, 359.5}, {180, 270}, {360, 90},
                                  {-90, 180}, {kNaN, kNaN}}},
      {AnguloMatematico2Nautico, {{0, 90}, {90, 0}, {90.5, 359.5}, {180, 270}, {360, 90}}},
      {L360ToLEW, {{90, -90}, {180, -180}, {180.5, 179.5}, {270, 90}, {360, 0}, {400, -40}}},
      {LEWToL360, {{-90, 90}, {-180, 180}, {90, 270}, {180, 180}, {0.5, 359.5}}},
      // clang-format on
  };
  for (const auto& table : tables) {
    for (const auto& [in, out] : table.cases) {
      const double r = table.normalise(in);
      EXPECT_TRUE(r == out || (std::isnan(r) && std::isnan(out))) << in << " gave " << r;
    }
  }
  for (double huge : {1e300, -1e300, 1e20 + 0.5, -7e18}) {
    EXPECT_TRUE(ang_0_360(huge) >= 0 && ang_0_360(huge) <= 360) << huge;
    EXPECT_TRUE(time_0_24(huge) >= 0 && time_0_24(huge) <= 24) << huge;
  }
}

TEST(Normalisation, DiagnosticTableIsWrittenOnceWith473Lines) {
  vestrand::testing::ScratchDir dir;
  ASSERT_TRUE(Test_ang_0_360());
  ASSERT_TRUE(Test_ang_0_360());
  const std::string table = vestrand::testing::readFile("0_360.dat");
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 473);
  EXPECT_TRUE(table.starts_with("-1000.000000\t80.000000\n"));
  EXPECT_TRUE(table.ends_with("\n1360.000000\t280.000000\n"));
}

struct Leg {
  int (*sailing)(double, double, double, double, double*, double*);
  double lat1, lon1, lat2, lon2;
  int status;
  double course, distance;
  double courseTolerance = kDegrees, distanceTolerance = kMiles;
};

TEST(CourseAndDistance, PlaneGreatCircleAndRhumbLineTables) {
  const auto plane = RumboDistancia, great = RumboDistanciaOrtodromica, rhumb = RumboDistanciaLox;
  const Leg legs[] = {
      {plane, 10, 10, 10, 10, -1, 0, 0},
      {plane, 10, 0, 10, -1, 1, 270, 59.088465180732},
      {plane, 0, 0, 1, 1, 1, 44.998909155372, 84.851198290192},
      {plane, 45, -10, 40, -5, 1, 143.599489546728, 372.722428119968},
      {plane, 0, 179, 0, -179, 1, 90, 120},
      {plane, 0, 0, 1, 0, 1, 0, 60},
      // A latitude difference of exactly 1e-8 degrees still takes the due east case; below 1e-8
      // miles apart the leg is degenerate with its small distance kept; a hair apart on one
      // meridian the course is along it, not undefined.
      {plane, 0, 0, 1e-8, 1e-3, 1, 90, 0.060000000003},
      {plane, 0, 0, 1e-11, 0, -1, 0, 6e-10, kDegrees, 1e-15},
      {plane, 0, 0, -5e-9, 0, 1, 180, 3e-7, kDegrees, 1e-15},
      {great, 0, 0, 0, 0, 1, 0, 0},
      {great, 0, 0, 0, 90, 1, 90, 5400},
      {great, 40, -70, 50, 0, 1, 53.588595354532, 2918.272243204252},
      {great, 50, 0, 40, -70, 1, 286.444522666641, 2918.272243204252},
      {great, 10, 0, 20, 0, 1, 0, 600, kMeridianCourse},
      {great, 20, 0, 10, 0, 1, 180, 600, kMeridianCourse},
      // Rounding used to carry the arc cosine's argument past +-1 and give not-a-number.
      {great, 43.5, -3.75, 43.5, -3.75, 1, 0, 0, 0, 0},
      {great, 43.5, -3.75, 43.5, -3.7500000001, 1, kAnyCourse, 0, kAnyCourse, 1e-8},
      {great, 89.9999, 0, 89.9999, 1e-9, 1, kAnyCourse, 0, kAnyCourse, 1e-3},
      {great, 0, 0, 0, 180, 1, kAnyCourse, 10800, kAnyCourse, 1e-6},
      {rhumb, 10, 0, 10, -1, 0, 270, 59.088465180732},
      {rhumb, 0, 0, 1, 1, 0, 45.190949261304, 85.137021601218},
      {rhumb, 45, -10, 40, -5, 0, 143.522795990948, 373.090960611320},
      {rhumb, 0, 179, 0, -179, 0, 90, 120},
      {rhumb, 0, 0, 0, 0, -1, 0, 0},
  };
  for (const Leg& l : legs) {
    double course = kNaN, distance = kNaN;
    SCOPED_TRACE(::testing::Message()
                 << l.lat1 << "," << l.lon1 << " to " << l.lat2 << "," << l.lon2);
    EXPECT_EQ(l.sailing(l.lat1, l.lon1, l.lat2, l.lon2, &course, &distance), l.status);
    EXPECT_NEAR(course, l.course, l.courseTolerance);
    EXPECT_NEAR(distance, l.distance, l.distanceTolerance);
  }
}

TEST(MercatorSailing, MeridionalPartsAndArrivalsThatSailBack) {
  // clang-format off
  const std::pair<double, double> cases[] = {{0, 0}, {10, 599.073043686277},
      {45, 3013.647949002959}, {80, 8352.483808159854}, {-45, -3013.647949002974}};
  // clang-format on
  for (const auto& [lat, parts] : cases) EXPECT_NEAR(ParteMeridional(lat), parts, kMiles) << lat;
  EXPECT_NEAR(ParteMeridional(-45), -ParteMeridional(45), 1e-10);
  EXPECT_NEAR(ParteMeridional(90), 117063.5, 0.1);  // finite, by the short pi
  const struct {
    double lat, lon, speed, course, time, lat2, lon2;
  } arrivals[] = {
      {0, 0, 1, 45, 60, 0.707106781187, 0.702391208690},
      {10, 0, 1, 90, 60, 10.000000000000, 1.015426611886},
      {40, -70, 10, 60, 10, 40.833333333333, -68.111524699532},
      {0, 179.5, 1, 90, 60, 0.0, -179.5},
      {0, 0, 1, 0, 60, 1, 0},
  };
  for (const auto& a : arrivals) {
    double lat, lon, course, distance;
    EXPECT_EQ(PosicionLlegadaLox(a.lat, a.lon, a.speed, a.course, a.time, &lat, &lon), 0);
    EXPECT_NEAR(lat, a.lat2, kDegrees) << a.course;
    EXPECT_NEAR(lon, a.lon2, kDegrees) << a.course;
    ASSERT_EQ(RumboDistanciaLox(a.lat, a.lon, lat, lon, &course, &distance), 0);
    EXPECT_NEAR(course, a.course, 1e-9);
    EXPECT_NEAR(distance, a.speed * a.time, 1e-9);
  }
}

// Each writer into a buffer, and its twin into a static area where it has one. º is the byte 0xBA.
// Nothing carries between the fields: 60 minutes or seconds are what these texts show.
TEST(SexagesimalText, EveryFormAgainstItsTable) {
  const struct {
    void (*write)(double, char*);
    const char* (*fill)(double);
    std::vector<std::pair<double, const char*>> cases;
  } forms[] = {
      // clang-format off
      {DegToGMd, DegToGMd2, {{5.25, "  5\xBA 15.0'"}, {-12.5, "-12\xBA 30.0'"},
                             {-0.5, "-  0\xBA 30.0'"}, {10.9999, " 10\xBA 60.0'"}}},
      {DegToLat, nullptr, {{43.5, "N43\xBA 30.00'"}, {-5.25, "S05\xBA 15.00'"}}},
      {DegToLon, nullptr, {{-8.75, "W008\xBA 45.00'"}, {-179.999999, "W179\xBA 60.00'"}}},
      {H2HMS, H2HMS2, {{1.5, "01:30:00"}, {-1.5, "01:30:00"}, {1.9999, "01:59:60"},
                       {123.456, "123:27:22"}}},
      {D2DMS, nullptr, {{12.3456, "+12\xBA 20' 44.2\""}, {-0.001, "-00\xBA 00' 3.6\""},
                        {179.999999, "+179\xBA 59' 60.0\""}}},
      // clang-format on
  };
  for (const auto& form : forms) {
    for (const auto& [value, expected] : form.cases) {
      char text[kSexagesimalTextSize];
      form.write(value, text);
      EXPECT_STREQ(text, expected) << value;
      if (form.fill != nullptr) {
        EXPECT_STREQ(form.fill(value), expected) << value;
      }
    }
  }
  // D2DMS2 gives four decimals of seconds, in a static area of its own.
  const char* dms = D2DMS2(12.3456);
  H2HMS2(2.25);
  EXPECT_STREQ(dms, "+12\xBA 20' 44.1600\"");
}

// Absurd values must not run past the documented text size.
TEST(SexagesimalText, HugeValuesStayWithinTheTextSize) {
  char text[kSexagesimalTextSize + 8];
  std::fill(std::begin(text), std::end(text), 'X');
  D2DMS(1e300, text);
  EXPECT_EQ(text[kSexagesimalTextSize], 'X');
  EXPECT_LE(std::string(DegToGMd2(-1e200)).size(), std::size_t(kSexagesimalTextSize - 1));
  EXPECT_LE(std::string(H2HMS2(1e250)).size(), std::size_t(kSexagesimalTextSize - 1));
}

}  // namespace
