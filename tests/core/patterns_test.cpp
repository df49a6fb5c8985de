// The four search patterns: their worked routes to nine decimals, their files byte for byte
// against the golden files, their names, their sizes for every count, and their failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Derrota.h"
#include "gpx.h"
#include "test_support.h"
#include "vestrand.gpx.h"

namespace {

namespace fs = std::filesystem;
using vestrand::PatternKind;
using vestrand::PatternNames;
using vestrand::PatternParams;
using vestrand::testing::golden;
using vestrand::testing::readFile;
using vestrand::testing::sameBytes;
using vestrand::testing::ScratchDir;
using vestrand::testing::wellFormedXml;

const char* const kStem = "20121225143000";

// Keeps what a pattern hands its sink, positions printed as the file prints them.
struct Recorder final : vestrand::PatternSink {
  std::vector<std::string> routes;
  std::vector<std::vector<std::string>> points;  // "lat lon" per route
  std::vector<std::string> waypoints;            // "name lat lon"
  void startRoute(const char* name) override {
    routes.emplace_back(name);
    points.emplace_back();
  }
  void routePoint(double lat, double lon, const char* name) override {
    EXPECT_STREQ(name, "");
    points.back().push_back(text(lat) + " " + text(lon));
  }
  void endRoute() override {}
  void waypoint(double lat, double lon, const char* name) override {
    waypoints.push_back(std::string(name) + " " + text(lat) + " " + text(lon));
  }
  static std::string text(double v) {
    char t[kCoordinateTextSize];
    FormatCoordinate(v, t);
    return t;
  }
};

Recorder sail(const PatternParams& params, const char* stem = kStem) {
  PatternNames names;
  EXPECT_TRUE(vestrand::composePatternNames(params, stem, names));
  Recorder recorder;
  vestrand::sailPattern(params, names, recorder);
  return recorder;
}

PatternParams square(double course, double spacing, int count) {
  return {PatternKind::ExpandingSquare, 40, -10, course, spacing, 0, count};
}
PatternParams sector(double course, double leg) {
  return {PatternKind::Sector, 40, -10, course, 0, leg, 0};
}
PatternParams creeping(double course, int loops) {
  return {PatternKind::CreepingLine, 43.5, -3.75, course, 1, 4, loops};
}
PatternParams parallel(double course, int loops) {
  return {PatternKind::ParallelSweep, 43.5, -3.75, course, 1, 4, loops};
}

// ---------------------------------------------------------------- worked routes

TEST(WorkedRoutes, ExpandingSquare) {
  const Recorder r = sail(square(0, 1, 2));
  const std::vector<std::string> expected = {
      "40.000000000 -10.000000000", "40.016666667 -10.000000000", "40.016666667 -9.978237899",
      "39.983333333 -9.978237899",  "39.983333333 -10.021740859", "40.033333333 -10.021740859"};
  EXPECT_EQ(r.routes, std::vector<std::string>{"20121225143000 - SS 0.0"});
  EXPECT_EQ(r.points.at(0), expected);
  EXPECT_EQ(r.waypoints, std::vector<std::string>{"CSP/Datum 40.000000000 -10.000000000"});
}

TEST(WorkedRoutes, Sector) {
  const Recorder r = sail(sector(30, 2));
  const std::vector<std::string> expected = {
      "40.000000000 -10.000000000", "40.028867513 -9.978238611",  "40.000000000 -9.956477222",
      "40.000000000 -10.043504375", "40.028867513 -10.021742986", "39.971132487 -9.978229410",
      "39.971132487 -10.021724603", "40.000000000 -9.999972413"};
  EXPECT_EQ(r.routes, std::vector<std::string>{"20121225143000 - VS 30.0"});
  EXPECT_EQ(r.points.at(0), expected);
  EXPECT_EQ(r.waypoints, (std::vector<std::string>{"Datum 40.000000000 -10.000000000",
                                                   "CSP 39.971132487 -10.021724603"}));
}

TEST(WorkedRoutes, CreepingLine) {
  const Recorder r = sail(creeping(0, 1));
  const std::vector<std::string> expected = {
      "43.500000000 -3.750000000", "43.533333333 -3.750000000", "43.533333333 -3.727010663",
      "43.466666667 -3.727010663", "43.466666667 -3.704046696", "43.533333333 -3.704046696"};
  EXPECT_EQ(r.points.at(0), expected);
  EXPECT_EQ(r.waypoints, std::vector<std::string>{"Datum/CSP 43.500000000 -3.750000000"});
}

TEST(WorkedRoutes, ParallelSweepForTwoUnits) {
  const Recorder r = sail(parallel(0, 1));
  EXPECT_EQ(r.routes, (std::vector<std::string>{"20121225143000 - PS-left 0.0",
                                                "20121225143000 - PS-right 0.0"}));
  const std::vector<std::string> left = {"43.466666667 -3.761481984", "43.533333333 -3.761481984",
                                         "43.533333333 -3.784471321", "43.466666667 -3.784471321",
                                         "43.466666667 -3.807435288"};
  const std::vector<std::string> right = {"43.466666667 -3.738518016", "43.533333333 -3.738518016",
                                          "43.533333333 -3.715528679", "43.466666667 -3.715528679",
                                          "43.466666667 -3.692564712"};
  EXPECT_EQ(r.points.at(0), left);
  EXPECT_EQ(r.points.at(1), right);
  EXPECT_EQ(r.waypoints, (std::vector<std::string>{"Datum 43.500000000 -3.750000000",
                                                   "CSP1 43.466666667 -3.761481984",
                                                   "CSP2 43.466666667 -3.738518016"}));
}

// ---------------------------------------------------------------- files

struct GoldenCase {
  const char* file;
  const char* golden;
  bool (*write)();
};

const GoldenCase kGoldenCases[] = {
    {"20121225143000 VS 30.gpx", "sector-40N10W-c30-d2.gpx",
     [] { return gpxSectorSearchPattern(40, -10, 30, 2, kStem); }},
    {"20121225143000 SS 0.gpx", "square-40N10W-c0-s1-n2.gpx",
     [] { return gpxExpandingSquareSearchPattern(40, -10, 0, 1, 2, kStem); }},
    {"20121225143000 CS 0.gpx", "creeping-43.5N3.75W-c0-s1-l4-n1.gpx",
     [] { return gpxCreepingLineSingleunit(43.5, -3.75, 0, 1, 4, 1, kStem); }},
    {"20121225143000 PS_PM 0.gpx", "parallel-43.5N3.75W-c0-s1-l4-n1.gpx",
     [] { return gpxParallelSearchPattern2ships(43.5, -3.75, 0, 1, 4, 1, kStem); }},
};

class GoldenFiles : public ::testing::TestWithParam<GoldenCase> {
 protected:
  ScratchDir dir_;
};

TEST_P(GoldenFiles, GeneratorWritesTheGoldenFileByteForByte) {
  const GoldenCase& c = GetParam();
  ASSERT_TRUE(c.write()) << GPXLastError();
  const std::string text = readFile(c.file);
  EXPECT_TRUE(sameBytes(golden(c.golden), text));
  EXPECT_TRUE(wellFormedXml(c.file));
  // Twice with the same stem and course: the same name, the file replaced.
  ASSERT_TRUE(c.write());
  EXPECT_EQ(readFile(c.file), text);
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Patterns, GoldenFiles, ::testing::ValuesIn(kGoldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& param) {
                           std::string name = param.param.golden;
                           return name.substr(0, name.find('-'));
                         });

// ---------------------------------------------------------------- counts

TEST(PatternSize, ExpandingSquareHasTwoNPlusTwoPoints) {
  for (int n : {1, 2, 3, 7, 50}) EXPECT_EQ(sail(square(10, 0.5, n)).points[0].size(), 2u * n + 2);
  for (int n : {0, -1, -1000}) {
    const Recorder r = sail(square(10, 0.5, n));
    EXPECT_EQ(r.points[0], sail(square(10, 0.5, 0)).points[0]);
    EXPECT_EQ(r.points[0].size(), 2u);
  }
}

TEST(PatternSize, CreepingAndParallelGrowByFourPointsALoop) {
  for (int n : {0, 1, 2, 9}) {
    EXPECT_EQ(sail(creeping(0, n)).points[0].size(), 2u + 4u * n);
    const Recorder r = sail(parallel(0, n));
    EXPECT_EQ(r.points[0].size(), 1u + 4u * n);
    EXPECT_EQ(r.points[1].size(), 1u + 4u * n);
  }
  EXPECT_EQ(sail(creeping(0, -3)).points, sail(creeping(0, 0)).points);
  EXPECT_EQ(sail(parallel(0, -3)).points, sail(parallel(0, 0)).points);
}

// ---------------------------------------------------------------- geometry

TEST(PatternGeometry, ZeroLengthsKeepEveryPointAtTheDatum) {
  const Recorder s = sail(sector(30, 0));
  for (const std::string& p : s.points[0]) EXPECT_EQ(p, "40.000000000 -10.000000000");
  EXPECT_EQ(s.waypoints[1], "CSP 40.000000000 -10.000000000");
  const Recorder q = sail(square(0, 0, 3));
  for (const std::string& p : q.points[0]) EXPECT_EQ(p, "40.000000000 -10.000000000");
}

TEST(PatternGeometry, CoursesZeroAndThreeSixtyGiveTheSamePointsButOtherNames) {
  const Recorder a = sail(sector(0, 2));
  const Recorder b = sail(sector(360, 2));
  EXPECT_EQ(a.points, b.points);
  EXPECT_NE(a.routes, b.routes);
}

// "lat lon" as the recorder keeps it, back into numbers.
std::pair<double, double> position(const std::string& point) {
  const std::size_t blank = point.find(' ');
  return {std::stod(point.substr(0, blank)), std::stod(point.substr(blank))};
}

TEST(PatternGeometry, ExpandingSquareCountOneEndsOnTheDiagonal) {
  PatternParams p = square(20, 1, 1);
  p.lat = 0;
  p.lon = 0;
  const auto [lat, lon] = position(sail(p).points[0].back());
  double course, distance;
  RumboDistancia(0, 0, lat, lon, &course, &distance);
  EXPECT_NEAR(distance, std::sqrt(2.0), 1e-6);
  EXPECT_NEAR(course, 20 + 135, 1e-4);
}

TEST(PatternGeometry, ParallelStartPointsLieAbreastOneSpacingApart) {
  PatternParams p = parallel(0, 1);
  p.spacing = 2;
  p.leg = 6;
  const Recorder r = sail(p);
  ASSERT_EQ(r.waypoints.size(), 3u);
  const auto csp1 = position(r.waypoints[1].substr(r.waypoints[1].find(' ') + 1));
  const auto csp2 = position(r.waypoints[2].substr(r.waypoints[2].find(' ') + 1));
  double course, distance;
  RumboDistancia(csp1.first, csp1.second, csp2.first, csp2.second, &course, &distance);
  EXPECT_NEAR(distance, 2, 1e-3);
  EXPECT_NEAR(course, 90, 1e-3);
  RumboDistancia(p.lat, p.lon, csp1.first, p.lon, &course, &distance);
  EXPECT_NEAR(distance, 3, 1e-7);  // half a leg behind the datum, to the printed digits
}

// ---------------------------------------------------------------- names

TEST(PatternNames, CourseRoundedInTheFileAndToOneDecimalInTheRoute) {
  struct NameCase {
    PatternParams params;
    const char* file;
    const char* route;
  };
  const NameCase cases[] = {
      {square(30.26, 1, 1), "20121225143000 SS 30.gpx", "20121225143000 - SS 30.3"},
      {sector(30.26, 1), "20121225143000 VS 30.gpx", "20121225143000 - VS 30.3"},
      {sector(359.6, 1), "20121225143000 VS 360.gpx", "20121225143000 - VS 359.6"},
      {creeping(45.6, 1), "20121225143000 CS 46.gpx", "20121225143000 - CS 45.6"},
      {parallel(45, 1), "20121225143000 PS_PM 45.gpx", "20121225143000 - PS-left 45.0"},
  };
  for (const NameCase& c : cases) {
    PatternNames names;
    ASSERT_TRUE(vestrand::composePatternNames(c.params, kStem, names));
    EXPECT_STREQ(names.file, c.file);
    EXPECT_STREQ(names.routes[0], c.route);
  }
  PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(parallel(45, 1), kStem, names));
  EXPECT_EQ(names.routeCount, 2);
  EXPECT_STREQ(names.routes[1], "20121225143000 - PS-right 45.0");
}

// A cut name could overwrite another pattern's file; such a pattern is not written at all.
TEST(PatternFailures, NamesThatWouldNotFitWriteNothing) {
  ScratchDir dir;
  const std::string stem(86, '1');  // "<stem> PS_PM 45.gpx" needs 99, "- PS-right 45.0" 101
  EXPECT_FALSE(gpxParallelSearchPattern2ships(0, 0, 45, 1, 1, 1, stem.c_str()));
  EXPECT_NE(std::string(GPXLastError()).find("99 characters"), std::string::npos);
  EXPECT_FALSE(gpxSectorSearchPattern(0, 0, 1e100, 1, kStem));
  EXPECT_TRUE(fs::is_empty("."));
  EXPECT_TRUE(gpxSectorSearchPattern(0, 0, 45, 1, stem.c_str()));
}

}  // namespace
