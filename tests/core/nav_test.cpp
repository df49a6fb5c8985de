// Sailings, normalisations, angle conventions and sexagesimal texts against their published
// tables. Tolerances are named per quantity; the awkward values are compared exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "Derrota.h"
#include "angulos.h"
#include "test_support.h"

namespace {

constexpr double kDegrees = 1e-9;         // positions and courses of the tables
constexpr double kMiles = 1e-9;           // distances of the tables
constexpr double kMeridianCourse = 1e-5;  // courses along a meridian come from acos near 1
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::string nine(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", v);
  return text;
}

// ---------------------------------------------------------------- plane-sailing arrival

TEST(PosicionLlegada, WorkedArrivalPrintsToNineDecimalsAlsoInPlace) {
  double lat, lon;
  PosicionLlegada(40, -10, 10, 45, 2, &lat, &lon);
  EXPECT_EQ(nine(lat) + " " + nine(lon), "40.235702260 -9.691779931");
  lat = 40, lon = -10;
  PosicionLlegada(lat, lon, 10, 45, 2, &lat, &lon);
  EXPECT_EQ(nine(lat) + " " + nine(lon), "40.235702260 -9.691779931");
}

TEST(PosicionLlegada, NoSpeedOrNoTimeStaysPutExactlyEvenAtThePoles) {
  for (double lat : {0.0, 45.0, 90.0, -90.0}) {
    double a, b;
    PosicionLlegada(lat, 12.5, 0, 77, 3, &a, &b);
    EXPECT_EQ(a, lat);
    EXPECT_EQ(b, 12.5);
    PosicionLlegada(lat, 12.5, 9, 77, 0, &a, &b);
    EXPECT_EQ(a, lat);
    EXPECT_EQ(b, 12.5);
  }
}

TEST(PosicionLlegada, ShortPiLeavesATraceOfLatitudeDueEast) {
  double lat, lon;
  PosicionLlegada(0, 0, 1, 90, 60, &lat, &lon);
  EXPECT_NE(lat, 0.0);
  EXPECT_NEAR(lat, 1.6e-15, 1e-16);
  EXPECT_EQ(nine(lat), "0.000000000");
  EXPECT_EQ(nine(lon), "1.000000000");
}

TEST(PosicionLlegada, NeitherFoldsThePoleNorWrapsTheAntimeridian) {
  double lat, lon;
  PosicionLlegada(89.9, 5, 1, 0, 12, &lat, &lon);
  EXPECT_NEAR(lat, 90.1, kDegrees);
  EXPECT_EQ(lon, 5.0);
  PosicionLlegada(40, 179.9, 1, 90, 12, &lat, &lon);
  EXPECT_EQ(nine(lon), "180.161081458");
}

TEST(PosicionLlegada, EquivalentCoursesAndReciprocalRuns) {
  double a1, b1, a2, b2;
  PosicionLlegada(40, -10, 1, 30, 5, &a1, &b1);
  PosicionLlegada(40, -10, 1, 390, 5, &a2, &b2);
  EXPECT_NEAR(a1, a2, 1e-12);
  EXPECT_NEAR(b1, b2, 1e-12);
  PosicionLlegada(40, -10, -1, 30, 5, &a1, &b1);
  PosicionLlegada(40, -10, 1, 210, 5, &a2, &b2);
  EXPECT_NEAR(a1, a2, 1e-12);
  EXPECT_NEAR(b1, b2, 1e-12);
}

// ---------------------------------------------------------------- normalisation

struct Case {
  double in;
  double out;
};

TEST(Normalisation, Ang0360KeepsItsEnds) {
  const Case cases[] = {{0, 0},      {360, 360},  {720, 360},     {-360, 0},     {-720, 0},
                        {-1000, 80}, {1360, 280}, {359.5, 359.5}, {-0.5, 359.5}, {-1e-20, 360},
                        {-1, 359},   {361, 1},    {1080, 360}};
  for (const Case& c : cases) EXPECT_EQ(ang_0_360(c.in), c.out) << "input " << c.in;
}

TEST(Normalisation, Ang180AppliesOneTurnAtMost) {
  const Case cases[] = {{-180, -180}, {180, 180}, {-181, 179}, {181, -179},  {-540, -180},
                        {540, 180},   {359, -1},  {-359, 1},   {-600, -240}, {600, 240}};
  for (const Case& c : cases) EXPECT_EQ(ang_180(c.in), c.out) << "input " << c.in;
  EXPECT_TRUE(std::isnan(ang_180(kNaN)));
}

TEST(Normalisation, Time024HasTheReverseEnds) {
  const Case cases[] = {{0, 24},      {24, 0},     {-24, 24}, {48, 0},  {23.5, 23.5},
                        {-0.5, 23.5}, {24.5, 0.5}, {12, 12},  {-1, 23}, {25, 1}};
  for (const Case& c : cases) EXPECT_EQ(time_0_24(c.in), c.out) << "input " << c.in;
}

// Used to loop for ever.
TEST(Normalisation, EndsOnNotANumberInfinitiesAndHugeValues) {
  for (double bad : {kNaN, kInf, -kInf}) {
    EXPECT_TRUE(std::isnan(ang_0_360(bad)));
    EXPECT_TRUE(std::isnan(time_0_24(bad)));
  }
  const Case angles[] = {
      {3600000.0 + 45.0, 45}, {-3600000.0 - 45.0, 315}, {360.0 * 4000, 360}, {-360.0 * 4000, 0}};
  for (const Case& c : angles) EXPECT_EQ(ang_0_360(c.in), c.out) << "input " << c.in;
  const Case hours[] = {{24.0 * 5000, 0}, {-24.0 * 5000, 24}, {24.0 * 5000 + 1.5, 1.5}};
  for (const Case& c : hours) EXPECT_EQ(time_0_24(c.in), c.out) << "input " << c.in;
  for (double huge : {1e300, -1e300, 1e20 + 0.5, -7e18}) {
    const double r = ang_0_360(huge);
    EXPECT_GE(r, 0.0) << huge;
    EXPECT_LE(r, 360.0) << huge;
    const double h = time_0_24(huge);
    EXPECT_GE(h, 0.0) << huge;
    EXPECT_LE(h, 24.0) << huge;
  }
}

TEST(Normalisation, DiagnosticTableIsWrittenOnceWith473Lines) {
  vestrand::testing::ScratchDir dir;
  ASSERT_TRUE(Test_ang_0_360());
  ASSERT_TRUE(Test_ang_0_360());
  const std::string table = vestrand::testing::readFile("0_360.dat");
  EXPECT_EQ(vestrand::testing::lineCount(table), 473u);
  EXPECT_EQ(table.substr(0, table.find('\n')), "-1000.000000\t80.000000");
  EXPECT_NE(table.find("\n360.000000\t360.000000\n"), std::string::npos);
  EXPECT_NE(table.find("\n720.000000\t360.000000\n"), std::string::npos);
  EXPECT_TRUE(table.ends_with("\n1360.000000\t280.000000\n"));
}

// ---------------------------------------------------------------- course and distance

struct Leg {
  double lat1, lon1, lat2, lon2;
  int status;
  double course, distance;
  double courseTolerance;
};

TEST(RumboDistancia, PlaneSailingTable) {
  const Leg legs[] = {
      {10, 10, 10, 10, -1, 0, 0, kDegrees},
      {0, 0, 0, 1, 1, 90, 60, kDegrees},
      {10, 0, 10, -1, 1, 270, 59.088465180732, kDegrees},
      {0, 0, 1, 1, 1, 44.998909155372, 84.851198290192, kDegrees},
      {45, -10, 40, -5, 1, 143.599489546728, 372.722428119968, kDegrees},
      {0, 179, 0, -179, 1, 90, 120, kDegrees},
      {0, 0, 1, 0, 1, 0, 60, kDegrees},
      {1, 0, 0, 0, 1, 180, 60, kDegrees},
  };
  for (const Leg& l : legs) {
    double course = -1, distance = -1;
    EXPECT_EQ(RumboDistancia(l.lat1, l.lon1, l.lat2, l.lon2, &course, &distance), l.status);
    EXPECT_NEAR(course, l.course, l.courseTolerance) << l.lat1 << "," << l.lon1;
    EXPECT_NEAR(distance, l.distance, kMiles) << l.lat1 << "," << l.lon1;
  }
}

TEST(RumboDistancia, ToleranceBoundaries) {
  double course, distance;
  // A latitude difference of exactly 1e-8 degrees still takes the due east case.
  ASSERT_EQ(RumboDistancia(0, 0, 1e-8, 1e-3, &course, &distance), 1);
  EXPECT_NEAR(course, 90, kDegrees);
  // Below 1e-8 miles apart: degenerate, the small distance kept.
  EXPECT_EQ(RumboDistancia(0, 0, 1e-11, 0, &course, &distance), -1);
  EXPECT_EQ(course, 0.0);
  EXPECT_NEAR(distance, 6e-10, 1e-15);
  // Same meridian, a hair apart: a course along the meridian, not an undefined one.
  ASSERT_EQ(RumboDistancia(0, 0, -5e-9, 0, &course, &distance), 1);
  EXPECT_NEAR(course, 180, kDegrees);
}

TEST(RumboDistanciaOrtodromica, GreatCircleTable) {
  const Leg legs[] = {
      {0, 0, 0, 0, 1, 0, 0, kDegrees},
      {0, 0, 0, 90, 1, 90, 5400, kDegrees},
      {40, -70, 50, 0, 1, 53.588595354532, 2918.272243204252, kDegrees},
      {50, 0, 40, -70, 1, 286.444522666641, 2918.272243204252, kDegrees},
      {10, 0, 20, 0, 1, 0, 600, kMeridianCourse},
      {20, 0, 10, 0, 1, 180, 600, kMeridianCourse},
  };
  for (const Leg& l : legs) {
    double course = -1, distance = -1;
    EXPECT_EQ(RumboDistanciaOrtodromica(l.lat1, l.lon1, l.lat2, l.lon2, &course, &distance),
              l.status);
    EXPECT_NEAR(course, l.course, l.courseTolerance) << l.lat1 << "," << l.lon1;
    EXPECT_NEAR(distance, l.distance, 1e-8) << l.lat1 << "," << l.lon1;
  }
}

// Rounding used to carry the arc cosine's argument past +-1 and give not-a-number.
TEST(RumboDistanciaOrtodromica, NearlyCoincidentAndAntipodalPointsGiveNumbers) {
  const double pairs[][4] = {{43.5, -3.75, 43.5, -3.75}, {43.5, -3.75, 43.5, -3.7500000001},
                             {-61.2, 10, -61.2, 10},     {89.9999, 0, 89.9999, 1e-9},
                             {30, 20, -30, -160},        {0, 0, 0, 180}};
  for (const auto& p : pairs) {
    double course, distance;
    EXPECT_EQ(RumboDistanciaOrtodromica(p[0], p[1], p[2], p[3], &course, &distance), 1);
    EXPECT_FALSE(std::isnan(course)) << p[0] << "," << p[1];
    EXPECT_FALSE(std::isnan(distance)) << p[0] << "," << p[1];
  }
  double course, distance;
  RumboDistanciaOrtodromica(43.5, -3.75, 43.5, -3.75, &course, &distance);
  EXPECT_EQ(course, 0.0);
  EXPECT_EQ(distance, 0.0);
  RumboDistanciaOrtodromica(30, 20, -30, -160, &course, &distance);
  EXPECT_NEAR(distance, 10800, 1e-6);
}

// ---------------------------------------------------------------- Mercator sailing

TEST(ParteMeridional, Table) {
  EXPECT_NEAR(ParteMeridional(0), 0, 1e-10);
  const Case cases[] = {{10, 599.073043686277},  {30, 1876.862206570037},
                        {45, 3013.647949002959}, {60, 4507.403953561403},
                        {80, 8352.483808159854}, {-45, -3013.647949002974}};
  for (const Case& c : cases) EXPECT_NEAR(ParteMeridional(c.in), c.out, kMiles) << c.in;
  EXPECT_NEAR(ParteMeridional(-45), -ParteMeridional(45), 1e-10);
  const double pole = ParteMeridional(90);
  EXPECT_TRUE(std::isfinite(pole));
  EXPECT_NEAR(pole, 117063.5, 0.1);
}

TEST(RumboDistanciaLox, RhumbLineTable) {
  const Leg legs[] = {
      {0, 0, 0, 1, 0, 90, 60, kDegrees},
      {10, 0, 10, -1, 0, 270, 59.088465180732, kDegrees},
      {0, 0, 1, 1, 0, 45.190949261304, 85.137021601218, kDegrees},
      {45, -10, 40, -5, 0, 143.522795990948, 373.090960611320, kDegrees},
      {0, 179, 0, -179, 0, 90, 120, kDegrees},
      {0, 0, 0, 0, -1, 0, 0, kDegrees},
  };
  for (const Leg& l : legs) {
    double course = -1, distance = -1;
    EXPECT_EQ(RumboDistanciaLox(l.lat1, l.lon1, l.lat2, l.lon2, &course, &distance), l.status);
    EXPECT_NEAR(course, l.course, l.courseTolerance) << l.lat1 << "," << l.lon1;
    EXPECT_NEAR(distance, l.distance, kMiles) << l.lat1 << "," << l.lon1;
  }
}

TEST(PosicionLlegadaLox, ArrivalTable) {
  struct Arrival {
    double lat, lon, speed, course, time, lat2, lon2;
  };
  const Arrival arrivals[] = {
      {0, 0, 1, 45, 60, 0.707106781187, 0.702391208690},
      {10, 0, 1, 90, 60, 10.000000000000, 1.015426611886},
      {10, 0, 1, 270, 60, 10.000000000000, -1.015426611886},
      {40, -70, 10, 60, 10, 40.833333333333, -68.111524699532},
      {0, 179.5, 1, 90, 60, 0.0, -179.5},
      {0, 0, 1, 0, 60, 1, 0},
  };
  for (const Arrival& a : arrivals) {
    double lat, lon;
    EXPECT_EQ(PosicionLlegadaLox(a.lat, a.lon, a.speed, a.course, a.time, &lat, &lon), 0);
    EXPECT_NEAR(lat, a.lat2, kDegrees) << a.course;
    EXPECT_NEAR(lon, a.lon2, kDegrees) << a.course;
  }
}

TEST(PosicionLlegadaLox, ArrivalSailsBackToTheSameCourseAndDistance) {
  double lat, lon, course, distance;
  PosicionLlegadaLox(0, 0, 1, 45, 60, &lat, &lon);
  ASSERT_EQ(RumboDistanciaLox(0, 0, lat, lon, &course, &distance), 0);
  EXPECT_NEAR(course, 45, 1e-9);
  EXPECT_NEAR(distance, 60, 1e-9);
}

// ---------------------------------------------------------------- angle conventions

TEST(AngleConventions, BearingAndMathematicalAngle) {
  const Case cases[] = {{0, 90},    {45, 45},   {90, 0},    {90.5, 359.5}, {135, 315},
                        {180, 270}, {225, 225}, {270, 180}, {300, 150},    {360, 90}};
  for (const Case& c : cases) {
    EXPECT_EQ(AnguloNautico2Matematico(c.in), c.out) << c.in;
    EXPECT_EQ(AnguloMatematico2Nautico(c.in), c.out) << c.in;
  }
  for (double x = 0; x < 360; x += 7.25) {
    EXPECT_EQ(AnguloMatematico2Nautico(AnguloNautico2Matematico(x)), x);
  }
  EXPECT_EQ(AnguloNautico2Matematico(-90), 180.0);  // outside 0..360: reduced first
  EXPECT_TRUE(std::isnan(AnguloNautico2Matematico(kNaN)));
}

TEST(AngleConventions, LongitudeScales) {
  const Case toSigned[] = {{90, -90}, {180, -180}, {180.5, 179.5}, {270, 90},
                           {360, 0},  {-10, 10},   {400, -40}};
  for (const Case& c : toSigned) EXPECT_EQ(L360ToLEW(c.in), c.out) << c.in;
  const Case to360[] = {{-90, 90}, {-180, 180}, {90, 270}, {180, 180}, {0.5, 359.5}, {200, 160}};
  for (const Case& c : to360) EXPECT_EQ(LEWToL360(c.in), c.out) << c.in;
  EXPECT_TRUE(std::signbit(L360ToLEW(0.0)));
  EXPECT_TRUE(std::signbit(LEWToL360(0.0)));
}

// ---------------------------------------------------------------- sexagesimal text

struct Text {
  double value;
  const char* text;  // º is the byte 0xBA
};

TEST(SexagesimalText, DegreesAndDecimalMinutes) {
  const Text cases[] = {{5.25, "  5\xBA 15.0'"},    {-5.5, " -5\xBA 30.0'"},
                        {-12.5, "-12\xBA 30.0'"},   {-0.5, "-  0\xBA 30.0'"},
                        {0.5, "  0\xBA 30.0'"},     {0, "  0\xBA  0.0'"},
                        {10.9999, " 10\xBA 60.0'"}, {-179.99, "-179\xBA 59.4'"}};
  for (const Text& c : cases) {
    char text[kSexagesimalTextSize];
    DegToGMd(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
    EXPECT_STREQ(DegToGMd2(c.value), c.text) << c.value;
  }
}

TEST(SexagesimalText, LatitudeAndLongitude) {
  const Text lats[] = {{43.5, "N43\xBA 30.00'"},
                       {-5.25, "S05\xBA 15.00'"},
                       {0, "N00\xBA  0.00'"},
                       {-0.5, "S00\xBA 30.00'"}};
  for (const Text& c : lats) {
    char text[kSexagesimalTextSize];
    DegToLat(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
  const Text lons[] = {
      {-8.75, "W008\xBA 45.00'"}, {179.5, "E179\xBA 30.00'"}, {-179.999999, "W179\xBA 60.00'"}};
  for (const Text& c : lons) {
    char text[kSexagesimalTextSize];
    DegToLon(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
}

TEST(SexagesimalText, HoursMinutesSeconds) {
  const Text cases[] = {{1.5, "01:30:00"},
                        {-1.5, "01:30:00"},
                        {1.9999, "01:59:60"},
                        {25.25, "25:15:00"},
                        {123.456, "123:27:22"}};
  for (const Text& c : cases) {
    char text[kSexagesimalTextSize];
    H2HMS(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
    EXPECT_STREQ(H2HMS2(c.value), c.text) << c.value;
  }
}

TEST(SexagesimalText, SignedDegreesMinutesSeconds) {
  const Text one[] = {{12.3456, "+12\xBA 20' 44.2\""},
                      {-0.001, "-00\xBA 00' 3.6\""},
                      {0, "+00\xBA 00' 0.0\""},
                      {179.999999, "+179\xBA 59' 60.0\""}};
  for (const Text& c : one) {
    char text[kSexagesimalTextSize];
    D2DMS(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
  EXPECT_STREQ(D2DMS2(12.3456), "+12\xBA 20' 44.1600\"");
  EXPECT_STREQ(D2DMS2(179.999999), "+179\xBA 59' 59.9964\"");
}

TEST(SexagesimalText, SplitIntoSignDegreesMinutes) {
  double sign, degrees, minutes;
  DegToSgGM(-12.5, &sign, &degrees, &minutes);
  EXPECT_EQ(sign, -1.0);
  EXPECT_EQ(degrees, 12.0);
  EXPECT_EQ(minutes, 30.0);
  DegToSgGM(-0.0, &sign, &degrees, &minutes);
  EXPECT_EQ(sign, 1.0);
  EXPECT_EQ(degrees, 0.0);
  EXPECT_EQ(minutes, 0.0);
}

TEST(SexagesimalText, StaticAreasAreSeparate) {
  const char* first = H2HMS2(1.5);
  const char* dms = D2DMS2(12.3456);
  H2HMS2(2.25);
  EXPECT_STREQ(first, "02:15:00");
  EXPECT_STREQ(dms, "+12\xBA 20' 44.1600\"");
}

// Absurd values must not run past the documented text size.
TEST(SexagesimalText, HugeValuesStayWithinTheTextSize) {
  char text[kSexagesimalTextSize + 8];
  std::fill(std::begin(text), std::end(text), 'X');
  D2DMS(1e300, text);
  EXPECT_EQ(text[kSexagesimalTextSize], 'X');
  EXPECT_LT(std::string(text, kSexagesimalTextSize).find('\0'), std::size_t(kSexagesimalTextSize));
  EXPECT_LE(std::string(DegToGMd2(-1e200)).size(), std::size_t(kSexagesimalTextSize - 1));
  EXPECT_LE(std::string(H2HMS2(1e250)).size(), std::size_t(kSexagesimalTextSize - 1));
}

}  // namespace
