// The four search patterns as sailed: their names, their sizes for every count and their
// failures. Their geometry is the golden files', compared where the RTZ files are written
// beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gpx.h"
#include "gpx_generators.h"
#include "gpx_stream.h"
#include "pattern_files.h"
#include "test_support.h"
#include "vestrand.gpx.h"

namespace {

namespace fs = std::filesystem;
using vestrand::PatternKind;
using vestrand::PatternParams;
using vestrand::testing::sail;
using vestrand::testing::ScratchDir;

const char* const kStem = "20121225143000";

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

// A count of 0 or below gives the shortest form.
TEST(PatternSize, PointsForEveryCount) {
  for (int n : {-1000, -1, 0, 1, 2, 3, 7, 50}) {
    const std::size_t k = std::max(n, 0);
    EXPECT_EQ(sail(square(10, 0.5, n)).points[0].size(), 2 * k + 2) << n;
    EXPECT_EQ(sail(creeping(0, n)).points[0].size(), 2 + 4 * k) << n;
    const auto sweep = sail(parallel(0, n)).points;
    EXPECT_EQ(sweep[0].size(), 1 + 4 * k) << n;
    EXPECT_EQ(sweep[1].size(), 1 + 4 * k) << n;
  }
  EXPECT_EQ(sail(parallel(0, -3)).points, sail(parallel(0, 0)).points);
}

TEST(PatternNames, CourseRoundedInTheFileAndToOneDecimalInTheRoute) {
  const struct {
    PatternParams params;
    const char* file;
    const char* route;
  } cases[] = {
      {square(30.26, 1, 1), "20121225143000 SS 30.gpx", "20121225143000 - SS 30.3"},
      {sector(30.26, 1), "20121225143000 VS 30.gpx", "20121225143000 - VS 30.3"},
      {sector(359.6, 1), "20121225143000 VS 360.gpx", "20121225143000 - VS 359.6"},
      {creeping(45.6, 1), "20121225143000 CS 46.gpx", "20121225143000 - CS 45.6"},
      {parallel(45, 1), "20121225143000 PS_PM 45.gpx", "20121225143000 - PS-left 45.0"},
      // Zero is named zero: "-0" would be a second file for course 0.
      {sector(-0.0, 1), "20121225143000 VS 0.gpx", "20121225143000 - VS 0.0"},
      {sector(-0.4, 1), "20121225143000 VS 0.gpx", "20121225143000 - VS -0.4"},
      {square(-0.04, 1, 1), "20121225143000 SS 0.gpx", "20121225143000 - SS 0.0"},
  };
  for (const auto& c : cases) {
    vestrand::PatternNames names;
    ASSERT_TRUE(vestrand::composePatternNames(c.params, kStem, names));
    EXPECT_STREQ(names.file, c.file);
    EXPECT_STREQ(names.routes[0], c.route);
    if (c.params.kind == PatternKind::ParallelSweep) {
      EXPECT_STREQ(names.routes[1], "20121225143000 - PS-right 45.0");
    }
  }
}

// Every pattern of the table names its file by its code and its routes by its own words, sails
// as many routes as it names, and gives back each value it takes.
TEST(PatternTable, EachEntryNamesSailsAndTakesItsValues) {
  for (const vestrand::PatternInfo& info : vestrand::patternTable()) {
    SCOPED_TRACE(info.command);
    PatternParams p{info.kind, 40, -10, 0, 1, 2, 3, 1};
    vestrand::PatternNames names;
    ASSERT_TRUE(vestrand::composePatternNames(p, kStem, names));
    EXPECT_EQ(names.file, kStem + std::string(" ") + info.code + " 0.gpx");
    ASSERT_EQ(static_cast<std::size_t>(names.routeCount), info.routes.size());
    for (std::size_t i = 0; i < info.routes.size(); ++i) {
      EXPECT_EQ(names.routes[i], kStem + std::string(" - ") + info.routes[i] + " 0.0");
    }
    struct Routes final : vestrand::PatternSink {
      std::size_t count = 0;
      void startRoute(const char*) override { ++count; }
      void routePoint(double, double, const char*) override {}
      void endRoute() override {}
      void waypoint(double, double, const char*) override {}
    } routes;
    vestrand::sailPattern(p, names, routes);
    EXPECT_EQ(routes.count, info.routes.size());
    for (vestrand::PatternParam param : info.params) {
      EXPECT_GT(vestrand::paramValue(p, param), 0.0);
      EXPECT_TRUE(vestrand::takes(info.kind, param));
    }
  }
}

// The generators with their historical signatures write the golden files into the current folder.
TEST(PatternFiles, HistoricalGeneratorsWriteTheGoldenFiles) {
  ScratchDir dir;
  const struct {
    bool written;
    const char *name, *golden;
  } cases[] = {
      {gpxExpandingSquareSearchPattern(40, -10, 0, 1, 2, kStem), " SS 0.gpx",
       "square-40N10W-c0-s1-n2.gpx"},
      {gpxSectorSearchPattern(40, -10, 30, 2, kStem), " VS 30.gpx", "sector-40N10W-c30-d2.gpx"},
      {gpxCreepingLineSingleunit(43.5, -3.75, 0, 1, 4, 1, kStem), " CS 0.gpx",
       "creeping-43.5N3.75W-c0-s1-l4-n1.gpx"},
      {gpxParallelSearchPattern2ships(43.5, -3.75, 0, 1, 4, 1, kStem), " PS_PM 0.gpx",
       "parallel-43.5N3.75W-c0-s1-l4-n1.gpx"},
      {gpxRhumbLine(43.5, -3.75, 44, -3, kStem), " RL.gpx", "rhumbline-43.5N3.75W-44N3W.gpx"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(c.written) << c.golden;
    EXPECT_EQ(vestrand::testing::readFile(kStem + std::string(c.name)),
              vestrand::testing::readFile(std::string(VESTRAND_TEST_DATA) + "/" + c.golden));
  }
}

// Near a pole a leg may span more than half the globe's longitudes; every reader of the route
// would take it the short way round, steering 270 for a leg sailed 090. Such a pattern is
// refused, as one past a pole is.
TEST(PatternExtent, LegsSpanningMoreThanHalfTheGlobeAreRefused) {
  const struct {
    PatternParams params;
    const char* refusal;  // how the message begins; empty: accepted
  } cases[] = {
      {{PatternKind::CreepingLine, 88, 0, 90, 1, 400, 1},
       "the creeping line has a leg spanning 189.45 degrees of longitude"},
      {{PatternKind::ParallelSweep, 85, 0, 90, 1, 1000, 1},
       "the parallel sweep has a leg spanning 192.19 degrees of longitude"},
      {{PatternKind::CreepingLine, 88, 0, 90, 1, 376, 1}, ""},      // 179.6 degrees
      {{PatternKind::ExpandingSquare, 0, 179.99, 0, 1, 0, 2}, ""},  // across the antimeridian
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(vestrand::checkPatternExtent(c.params, error), *c.refusal == '\0') << error;
    EXPECT_TRUE(error.starts_with(c.refusal)) << error;
  }
  ScratchDir dir;
  std::vector<std::string> written;
  std::string error;
  EXPECT_FALSE(vestrand::writePatternFiles(cases[0].params, kStem, "", {}, written, error));
  EXPECT_TRUE(fs::is_empty("."));
}

// A cut name could overwrite another pattern's file; such a pattern is not written at all.
TEST(PatternFailures, NamesThatWouldNotFitWriteNothing) {
  ScratchDir dir;
  const std::string stem(86, '1');  // "<stem> PS_PM 45.gpx" needs 99, "- PS-right 45.0" 101
  EXPECT_FALSE(gpxParallelSearchPattern2ships(0, 0, 45, 1, 1, 1, stem.c_str()));
  EXPECT_NE(std::string(GPXLastError()).find("99 characters"), std::string::npos);
  EXPECT_FALSE(gpxSectorSearchPattern(0, 0, 1e100, 1, kStem));
  // The line has names of its own: "<stem> RL.gpx" with a stem of 93 would be 100 characters.
  vestrand::FileBatch batch;
  std::string error;
  EXPECT_FALSE(
      vestrand::addLineFiles(batch, {0, 0, 1, 1}, std::string(93, '7').c_str(), "", {}, error));
  EXPECT_NE(error.find("99 characters"), std::string::npos);
  EXPECT_TRUE(fs::is_empty("."));
  EXPECT_TRUE(gpxSectorSearchPattern(0, 0, 45, 1, stem.c_str()));
  EXPECT_TRUE(
      vestrand::addLineFiles(batch, {0, 0, 1, 1}, std::string(92, '7').c_str(), "", {}, error));
}

}  // namespace
