// The search aids of the window: the drift applied to the datum, coverage and POD in the summary,
// the sector's second pass and the PDF briefing, driven through the real widgets.
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "PlanAids.h"
#include "coverage.h"
#include "leg_table.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class PlanAidsTest : public WindowTest {
 protected:
  void SetUp() override {
    ForgetDrift();
    WindowTest::SetUp();
  }
  void TearDown() override {
    ForgetDrift();
    WindowTest::TearDown();
  }

  // Last known position, hours, current set and drift, leeway toward and speed.
  void EnterDrift(const char* (&&fields)[6]) {
    for (int i = 0; i < 6; ++i) {
      Control<QLineEdit>(mainPanel, kLastKnownPosition + i)->setText(fields[i]);
    }
    Press(mainPanel, kApplyDriftButton);
  }

  // What SetDatum writes: hundredths of a second.
  static double Rounded(double degrees) { return std::round(degrees * 360000.0) / 360000.0; }
};

// All six fields reach the drift; its numbers are the plan library's.
TEST_F(PlanAidsTest, ApplyingTheDriftFillsTheDatumAndDrawsTheDrift) {
  EnterDrift({"43 30.0 N 3 45.0 W", "2.5", "45", "1", "200", "0.8"});
  const vestrand::DriftedDatum d = vestrand::driftedDatum(43.5, -3.75, 2.5, {45, 1}, {200, 0.8});
  EXPECT_NEAR(GetDegLatitude(mainPanel), Rounded(d.lat), 1e-9);
  EXPECT_NEAR(GetDegLongitude(mainPanel), Rounded(d.lon), 1e-9);
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Datum drifted"));
  ShowPage(kSectorPage);
  EXPECT_EQ(planView->preview()->figure().lines.size(), 1u);
  // Once the datum is changed by hand the drift is no longer shown.
  Type(mainPanel, kLatitudeDegrees + 2, "7");
  EXPECT_TRUE(planView->preview()->figure().lines.empty());
}

TEST_F(PlanAidsTest, ARefusedDriftChangesNothing) {
  struct Case {
    const char* fields[6];
    const char* reason;
  } cases[] = {
      {{"", "3", "", "", "", ""}, "Last known position is empty"},
      {{"91 N 0 E", "3", "", "", "", ""}, "Last known position is not a position"},
      {{"40 N 10 W", "241", "", "", "", ""}, "Hours since the incident must be from 0 to 240"},
      {{"40 N 10 W", "x", "", "", "", ""}, "Hours since the incident holds 'x', not a number"},
      {{"40 N 10 W", "3", "90", "", "", ""}, "Current set (°T) needs Current drift (kn) as well"},
      {{"40 N 10 W", "3", "", "", "", "2"}, "Leeway speed (kn) needs Leeway toward (°T) as well"},
      {{"89.9 N 0 E", "240", "0", "20", "", ""}, "the drift would pass a pole"},
  };
  EnterDatum("12", "0", "0", 1, "5", "0", "0", 1);
  for (const Case& c : cases) {
    EnterDrift({c.fields[0], c.fields[1], c.fields[2], c.fields[3], c.fields[4], c.fields[5]});
    EXPECT_EQ(Text(mainPanel, kStatusLine).rfind("Drift not applied: ", 0), 0u) << c.reason;
    EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr(c.reason));
    EXPECT_EQ(GetDegLatitude(mainPanel), 12.0);
    EXPECT_EQ(GetDegLongitude(mainPanel), 5.0);
  }
}

TEST_F(PlanAidsTest, SweepWidthAddsCoverageAndBothPods) {
  Type(ShowPage(kSquarePage), 5, "0.5");
  EXPECT_THAT(planView->summaryText(), Not(HasSubstr("Coverage")));
  Type(mainPanel, kSweepWidth, "1");
  char pods[80];
  std::snprintf(pods, sizeof pods, "POD, inverse cube law\t%.1f%%\nPOD, exponential law\t%.1f%%\n",
                vestrand::podInverseCube(2.0) * 100.0, vestrand::podExponential(2.0) * 100.0);
  EXPECT_THAT(
      planView->summaryText(),
      HasSubstr(std::string("Coverage\t2.00 (sweep width 1.00 NM, track spacing 0.50 NM)\n") +
                pods));
  ShowPage(kSectorPage);
  EXPECT_THAT(planView->summaryText(), Not(HasSubstr("Coverage")));
}

TEST_F(PlanAidsTest, TwoPassesWriteTheTwoRouteFile) {
  const int sector = ShowPage(kSectorPage);
  Type(sector, 2, "30");
  Type(sector, kSectorPasses, "2");
  EXPECT_EQ(planView->preview()->drawing().routes.size(), 2u);
  Press(sector, 4);
  EXPECT_NE(ReadBytes("20121225143000 VS2 30.gpx").find("20121225143000 - VS 60.0"),
            std::string::npos);
}

TEST_F(PlanAidsTest, BriefingHoldsTheDatumWaypointsAndEveryLegRow) {
  EnterDrift({"40 N 10 W", "2", "90", "1", "", ""});
  const int parallel = ShowPage(kParallelPage);
  Press(mainPanel, kBriefingButton);
  const std::string pdf = "20121225143000 PS_PM 0 briefing.pdf";
  ASSERT_EQ(Text(mainPanel, kStatusLine), "Briefing written: " + pdf);
  QProcess text;
  text.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString plain = QString::fromUtf8(text.readAllStandardOutput());
  const std::string page = plain.simplified().toStdString();

  // The datum as the window reads it back in degrees and minutes.
  const QString datum = QString::fromStdString(Text(mainPanel, kDatumReadBack)).section('\n', 0, 0);
  EXPECT_THAT(page, HasSubstr(datum.simplified().toStdString()));
  EXPECT_THAT(page, HasSubstr("Total drift"));
  for (const char* name : {"Datum", "CSP1", "CSP2"}) EXPECT_THAT(page, HasSubstr(name));
  vestrand::PatternParams params;
  vestrand::PatternNames names;
  ASSERT_TRUE(ReadSearchPage(kParallelPage, parallel, params));
  ASSERT_TRUE(vestrand::composePatternNames(params, "20121225143000", names));
  int rows = 0;
  vestrand::LegTableSink legs(params, 8.0, [&](const vestrand::LegRow& r) {
    ++rows;
    const std::string row =
        std::to_string(r.leg) + " +" + std::to_string(r.from) + " +" + std::to_string(r.to) + " +" +
        vestrand::fixedText(r.course, 1) + " +" + vestrand::fixedText(r.distance, 2) + " +" +
        vestrand::fixedText(r.total, 2) + " +" + vestrand::hoursMinutesText(r.hours);
    EXPECT_THAT(plain.toStdString(), testing::ContainsRegex("(^|\n) *" + row + " *\n"));
  });
  vestrand::sailPattern(params, names, legs);
  EXPECT_GT(rows, 0);
}

}  // namespace
}  // namespace gui_test
