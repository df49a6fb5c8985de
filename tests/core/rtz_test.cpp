// RTZ route files: every pattern against the schema beside its GPX file, the antimeridian, names
// that need escaping, and routes split into parts. The refusals are the command line's cases.
#include "rtz.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "gpx.h"
#include "pattern_files.h"
#include "test_support.h"

namespace {

using vestrand::PatternFiles;
using vestrand::PatternKind;
using vestrand::PatternParams;
using vestrand::testing::readFile;
using vestrand::testing::ScratchDir;
using Strings = std::vector<std::string>;

const std::string kStem = "20121225143000";

// The routeName as an XML parser reads it (entities resolved), when the file is valid RTZ.
std::string validRouteName(const std::string& path) {
  const std::string command = std::string(VESTRAND_XMLLINT) + " --schema '" + VESTRAND_TEST_DATA +
                              "/rtz/rtz-1.0.xsd' --xpath \"string(//*[local-name()='routeInfo']"
                              "/@routeName)\" '" +
                              path + "' 2>/dev/null";
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  const bool valid = pipe != nullptr && ::pclose(pipe) == 0;
  return valid ? out.substr(0, out.find_last_not_of('\n') + 1) : "<invalid RTZ " + path + ">";
}

Strings matches(const std::string& text, const char* pattern) {
  Strings found;
  const std::regex re(pattern);
  for (std::sregex_iterator m(text.begin(), text.end(), re), end; m != end; ++m) {
    found.push_back(m->size() > 2 ? (*m)[1].str() + " " + (*m)[2].str() : (*m)[1].str());
  }
  return found;
}

// "lat lon" of each route point, per route, as the GPX file prints them.
std::vector<Strings> gpxRoutes(const std::string& gpx) {
  std::vector<Strings> routes;
  for (std::size_t at = gpx.find("<rte>"); at != std::string::npos;
       at = gpx.find("<rte>", at + 1)) {
    routes.push_back(matches(gpx.substr(at, gpx.find("</rte>", at) - at),
                             "<rtept lat=\"([^\"]*)\" lon=\"([^\"]*)\""));
  }
  return routes;
}
Strings rtzPoints(const std::string& path) {
  return matches(readFile(path), "<position lat=\"([^\"]*)\" lon=\"([^\"]*)\"");
}

PatternParams pattern(PatternKind kind, double lat, double lon, double course, int count) {
  return {kind, lat, lon, course, 1, kind == PatternKind::Sector ? 2.0 : 4.0, count};
}

Strings write(const PatternParams& p, const PatternFiles& files, const std::string& stem = kStem) {
  Strings written;
  std::string error;
  EXPECT_TRUE(vestrand::writePatternFiles(p, stem.c_str(), "", files, written, error)) << error;
  return written;
}

// The GPX route point as the RTZ file must hold it: past 180 brought back by a turn.
std::string wrapped(const std::string& point) {
  const std::size_t blank = point.find(' ');
  const double lon = std::stod(point.substr(blank));
  char text[kCoordinateTextSize];
  FormatCoordinate(lon >= 180 ? lon - 360 : lon, text);
  return point.substr(0, blank + 1) + text;
}

const PatternFiles kBoth{true, true, 0};

PatternParams twoPasses() {
  PatternParams p = pattern(PatternKind::Sector, 40, -10, 30, 0);
  p.passes = 2;
  return p;
}

// The rhumb line of the golden file, 43.5N 3.75W to 44N 3W.
Strings line() {
  vestrand::FileBatch batch;
  std::string error;
  EXPECT_TRUE(
      vestrand::addLineFiles(batch, {43.5, -3.75, 44, -3}, kStem.c_str(), "", kBoth, error));
  EXPECT_TRUE(batch.commit()) << error << batch.error();
  return batch.written();
}

struct RtzCase {
  PatternParams pattern;  // the default, of no leg: the line
  const char* golden;     // the GPX file, unchanged by the RTZ beside it
  Strings files;          // GPX first, then RTZ
  Strings marked;         // the RTZ waypoints named after a GPX waypoint, every file in order
};

// clang-format off
const RtzCase kCases[] = {
    {pattern(PatternKind::ExpandingSquare, 40, -10, 0, 2), "square-40N10W-c0-s1-n2.gpx",
     {" SS 0.gpx", " - SS 0.0.rtz"}, {"1 CSP/Datum"}},
    {pattern(PatternKind::Sector, 40, -10, 30, 0), "sector-40N10W-c30-d2.gpx",
     {" VS 30.gpx", " - VS 30.0.rtz"}, {"1 Datum", "7 CSP"}},
    {pattern(PatternKind::CreepingLine, 43.5, -3.75, 0, 1), "creeping-43.5N3.75W-c0-s1-l4-n1.gpx",
     {" CS 0.gpx", " - CS 0.0.rtz"}, {"1 Datum/CSP"}},
    {pattern(PatternKind::ParallelSweep, 43.5, -3.75, 0, 1), "parallel-43.5N3.75W-c0-s1-l4-n1.gpx",
     {" PS_PM 0.gpx", " - PS-left 0.0.rtz", " - PS-right 0.0.rtz"}, {"1 CSP1", "1 CSP2"}},
    {{}, "rhumbline-43.5N3.75W-44N3W.gpx", {" RL.gpx", " - P1P2.rtz"}, {"1 P1", "2 P2"}},
    // Two passes: RTZ names of their own, as the GPX file is VS2, so that neither replaces the
    // one-pass sector's "VS 30.0.rtz" or "VS 60.0.rtz".
    {twoPasses(), nullptr, {" VS2 30.gpx", " - VS2 30.0 pass 1.rtz", " - VS2 30.0 pass 2.rtz"},
     {"1 Datum", "7 CSP", "1 Datum", "7 CSP2"}},
    // The GPX passes 180 (the test sees it), the RTZ wraps, which the schema checks.
    {pattern(PatternKind::ExpandingSquare, 0, 179.99, 0, 2), nullptr,
     {" SS 0.gpx", " - SS 0.0.rtz"}, {"1 CSP/Datum"}},
};
// clang-format on

TEST(RtzFiles, EachRouteIsAValidRtzFileNamedAfterItWithTheGpxPositions) {
  for (const RtzCase& c : kCases) {
    ScratchDir dir;
    Strings expected;
    for (const std::string& file : c.files) expected.push_back(kStem + file);
    SCOPED_TRACE(expected[0]);
    ASSERT_EQ(c.pattern.leg == 0 ? line() : write(c.pattern, kBoth), expected);
    const std::string gpx = readFile(expected[0]);
    EXPECT_EQ(gpx, c.golden ? readFile(std::string(VESTRAND_TEST_DATA) + "/" + c.golden) : gpx);
    EXPECT_TRUE(c.pattern.lon < 179 || gpx.find("lon=\"180.") != std::string::npos);
    const std::vector<Strings> routes = gpxRoutes(gpx);
    ASSERT_EQ(routes.size(), expected.size() - 1);
    Strings marked;
    for (std::size_t r = 0; r < routes.size(); ++r) {
      const std::string& rtz = expected[r + 1];
      EXPECT_EQ(validRouteName(rtz) + ".rtz", rtz);
      Strings points;
      for (const std::string& point : routes[r]) points.push_back(wrapped(point));
      EXPECT_EQ(rtzPoints(rtz), points);
      for (const std::string& name : matches(readFile(rtz), " name=\"([^\"]* [^\"]*)\"")) {
        marked.push_back(name);
      }
    }
    EXPECT_EQ(marked, c.marked);
  }
}

TEST(RtzLongitude, BroughtIntoRangeByWholeTurnsOnTheNineDecimals) {
  const std::pair<double, const char*> cases[] = {
      {-3.75, "-3.750000000"},  {180.156, "-179.844000000"},        {180, "-180.000000000"},
      {-180, "-180.000000000"}, {179.9999999996, "-180.000000000"}, {540.25, "-179.750000000"},
      {-1e-10, "-0.000000000"}, {-180.0000000006, "179.999999999"},
  };
  for (const auto& [lon, text] : cases) {
    char out[kCoordinateTextSize];
    EXPECT_EQ(std::string(out, vestrand::formatRtzLongitude(lon, out)), text) << lon;
  }
}

TEST(RtzFiles, NamesNeedingEscapesKeepTheFileNameAsRouteName) {
  ScratchDir dir;
  const std::string stem = "R&D <\"night\">";
  const Strings written =
      write(pattern(PatternKind::Sector, 40, -10, 30, 0), {false, true, 0}, stem);
  ASSERT_EQ(written, Strings{stem + " - VS 30.0.rtz"});
  EXPECT_EQ(validRouteName(written[0]), stem + " - VS 30.0");
}

TEST(RouteParts, SplitAt250TheJoinedPartsGiveBackTheWholeRoute) {
  ScratchDir dir;
  PatternParams p = pattern(PatternKind::ExpandingSquare, 40, -10, 0, 300);  // 602 points
  p.spacing = 0.01;
  const std::string whole = readFile(write(p, {})[0]);
  const Strings written = write(p, {true, true, 250});
  const Strings expected = {kStem + " SS 0.gpx", kStem + " - SS 0.0 (1 of 3).rtz",
                            kStem + " - SS 0.0 (2 of 3).rtz", kStem + " - SS 0.0 (3 of 3).rtz"};
  ASSERT_EQ(written, expected);
  const std::string split = readFile(written[0]);
  EXPECT_EQ(
      matches(split, "<rte>\n *<name>([^<]*)</name>"),
      (Strings{kStem + " - SS 0.0 (1/3)", kStem + " - SS 0.0 (2/3)", kStem + " - SS 0.0 (3/3)"}));
  EXPECT_EQ(split.substr(split.rfind("</rte>")), whole.substr(whole.rfind("</rte>")));
  const std::vector<Strings> parts = gpxRoutes(split);
  Strings joined;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    EXPECT_EQ(parts[k].size(), k < 2 ? 250u : 104u);
    if (k > 0) {
      EXPECT_EQ(parts[k].front(), parts[k - 1].back());
    }
    joined.insert(joined.end(), parts[k].begin() + (k > 0 ? 1 : 0), parts[k].end());
    EXPECT_EQ(rtzPoints(written[k + 1]), parts[k]);
    EXPECT_EQ(validRouteName(written[k + 1]) + ".rtz", written[k + 1]);
  }
  EXPECT_EQ(joined, gpxRoutes(whole)[0]);
  // Routes that fit are not renamed: the file stays the golden one.
  const Strings fits =
      write(pattern(PatternKind::ParallelSweep, 43.5, -3.75, 0, 1), {true, false, 5});
  EXPECT_EQ(readFile(fits[0]), readFile(VESTRAND_TEST_DATA "/parallel-43.5N3.75W-c0-s1-l4-n1.gpx"));
}

}  // namespace
