// The plan's SVG picture: well-formed, one polyline per route with every turning point, numbers
// thinned for long patterns, and a failed write that leaves nothing behind.
#include "plan_svg.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plan_chart.h"
#include "vestrand.gpx.h"

namespace {

namespace fs = std::filesystem;
using vestrand::PatternKind;
using vestrand::PatternParams;

class PlanSvg : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vestrand-plan-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  static vestrand::PlanDrawing draw(const PatternParams& p) {
    vestrand::PatternNames names;
    EXPECT_TRUE(vestrand::composePatternNames(p, "20121225143000", names));
    return vestrand::drawPattern(p, names);
  }
  std::string write(const vestrand::PlanDrawing& d, const std::string& name = "plan.svg") {
    const std::string path = (dir_ / name).string();
    std::string error;
    EXPECT_TRUE(vestrand::writePlanSvg(d, path, error)) << error;
    return path;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static bool wellFormed(const std::string& path) {
    const std::string command = std::string(VESTRAND_XMLLINT) + " --noout '" + path + "'";
    return std::system(command.c_str()) == 0;
  }
  // The number of points in each polyline, in the file's order. Searched by hand: a regular
  // expression over a points list of thousands recurses past the stack.
  static std::vector<std::size_t> polylinePoints(const std::string& svg) {
    std::vector<std::size_t> counts;
    const std::string attribute = " points=\"";
    for (auto at = svg.find("<polyline"); at != std::string::npos;
         at = svg.find("<polyline", at + 1)) {
      const auto begin = svg.find(attribute, at) + attribute.size();
      const auto end = svg.find('"', begin);
      std::size_t n = end > begin ? 1 : 0;
      for (auto i = begin; i < end; ++i) n += svg[i] == ' ';
      counts.push_back(n);
    }
    return counts;
  }
  static std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  fs::path dir_;
};

TEST_F(PlanSvg, SectorIsOnePolylineOfEightPoints) {
  const std::string path =
      write(draw({PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0}), "sector.svg");
  EXPECT_TRUE(wellFormed(path));
  const std::string svg = read(path);
  EXPECT_EQ(polylinePoints(svg), std::vector<std::size_t>{8});
  EXPECT_NE(svg.find(">Datum</text>"), std::string::npos);
  EXPECT_NE(svg.find(">CSP</text>"), std::string::npos);
  EXPECT_NE(svg.find("id=\"scale-bar\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"north-arrow\""), std::string::npos);
  EXPECT_NE(svg.find(" NM</text>"), std::string::npos);
}

TEST_F(PlanSvg, ParallelSweepIsTwoPolylinesInTwoColours) {
  const std::string path = write(draw({PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 2}));
  EXPECT_TRUE(wellFormed(path));
  const std::string svg = read(path);
  EXPECT_EQ(polylinePoints(svg), (std::vector<std::size_t>{9, 9}));
  EXPECT_NE(svg.find("class=\"unit1\" stroke=\"#1f5fbf\""), std::string::npos);
  EXPECT_NE(svg.find("class=\"unit2\" stroke=\"#c8102e\""), std::string::npos);
  for (const char* name : {">Datum<", ">CSP1<", ">CSP2<"}) {
    EXPECT_NE(svg.find(name), std::string::npos) << name;
  }
}

TEST_F(PlanSvg, SquareAndCreepingLine) {
  const std::string square =
      write(draw({PatternKind::ExpandingSquare, 40.0, -10.0, 0.0, 1.0, 0.0, 2}), "square.svg");
  EXPECT_TRUE(wellFormed(square));
  EXPECT_EQ(polylinePoints(read(square)), std::vector<std::size_t>{6});
  const std::string creeping =
      write(draw({PatternKind::CreepingLine, 43.5, -3.75, 0.0, 1.0, 4.0, 1}), "creeping.svg");
  EXPECT_TRUE(wellFormed(creeping));
  EXPECT_EQ(polylinePoints(read(creeping)), std::vector<std::size_t>{6});
}

TEST_F(PlanSvg, ThousandLoopsKeepEveryPointButFewNumbers) {
  const std::string path =
      write(draw({PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 1000}));
  EXPECT_TRUE(wellFormed(path));
  const std::string svg = read(path);
  EXPECT_EQ(polylinePoints(svg), (std::vector<std::size_t>{4001, 4001}));
  // 8002 points at a stride of 200: 21 numbers per route, the last point included.
  EXPECT_EQ(occurrences(svg, "<circle"), 42u);
}

TEST_F(PlanSvg, OnePointPatternStillHasAScale) {
  const std::string path = write(draw({PatternKind::ParallelSweep, 43.5, -3.75, 0.0, 1.0, 4.0, 0}));
  EXPECT_TRUE(wellFormed(path));
  EXPECT_EQ(polylinePoints(read(path)), (std::vector<std::size_t>{1, 1}));
}

TEST_F(PlanSvg, NamesAreEscaped) {
  vestrand::PlanDrawing d = draw({PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0});
  d.routes[0].name = "a<b & \"c\"";
  d.marks[0].name = "Dat'um>";
  const std::string path = write(d);
  EXPECT_TRUE(wellFormed(path));
  const std::string svg = read(path);
  EXPECT_NE(svg.find("a&lt;b &amp; &quot;c&quot;"), std::string::npos);
  EXPECT_NE(svg.find("Dat&apos;um&gt;"), std::string::npos);
  EXPECT_EQ(vestrand::escapeXml("x"), "x");
}

TEST_F(PlanSvg, MissingFolderIsReportedAndLeavesNothing) {
  const std::string path = (dir_ / "missing" / "plan.svg").string();
  std::string error;
  EXPECT_FALSE(vestrand::writePlanSvg(draw({PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0}),
                                      path, error));
  EXPECT_EQ(error, "cannot write '" + path + "': No such file or directory");
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(PlanSvg, TargetThatIsAFolderIsReportedAndLeavesNoTemporary) {
  fs::create_directory(dir_ / "plan.svg");
  const std::string path = (dir_ / "plan.svg").string();
  std::string error;
  EXPECT_FALSE(vestrand::writePlanSvg(draw({PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0}),
                                      path, error));
  EXPECT_NE(error.find("'" + path + "': Is a directory"), std::string::npos) << error;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(PlanSvg, ReplacesAnEarlierFile) {
  { std::ofstream(dir_ / "plan.svg") << "an earlier file\n"; }
  const std::string path = write(draw({PatternKind::Sector, 40.0, -10.0, 30.0, 0.0, 2.0, 0}));
  EXPECT_TRUE(wellFormed(path));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
