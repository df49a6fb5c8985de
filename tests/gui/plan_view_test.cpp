// The plan beside the search pages, driven through the real widgets: the preview and the summary,
// the sector's second pass, the drift applied to the datum, coverage and POD in the summary and
// the PDF briefing.
#include <QImage>
#include <QProcess>
#include <cmath>
#include <cstdio>
#include <string>

#include "coverage.h"
#include "leg_table.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The worked example: a sector search from 40°N 10°W, course 30, legs of 2 NM.
TEST_F(WindowTest, SummaryShowsTheWorkedExample) {
  Paste("40N 10W");
  const int sector = ShowPage(kSectorPage);
  Type(sector, 2, "30");
  Type(sector, 3, "2");
  EXPECT_EQ(planView->summaryText(),
            "Pattern\tSector (VS), 1 unit\n"
            "Legs\t7\n"
            "Track length\t18.00 NM\n"
            "Search speed (kn)\t8 kn\n"
            "Time at search speed\t2:15 (2.25 h)\n"
            "Box\t4.00 NM along the course x 3.46 NM across, 13.86 NM²\n"
            "Area covered\t12.57 NM²\n"
            "Unit 1\t20121225143000 - VS 30.0: 7 legs, 18.00 NM, 2:15 (2.25 h)\n"
            "Datum\tN40º  0.00'  W010º  0.00'\n"
            "CSP\tN39º 58.27'  W010º  1.30'\n");
  // Routes are named as in the file, stem included.
  const auto& routes = planView->preview()->drawing().routes;
  ASSERT_EQ(routes.size(), 1u);
  EXPECT_EQ(routes[0].name, "20121225143000 - VS 30.0");
  Type(mainPanel, kTimeField, "09:05:03");
  EXPECT_EQ(routes[0].name, "20121225090503 - VS 30.0");
  Type(mainPanel, kSearchSpeed, "4");
  EXPECT_THAT(planView->summaryText(), HasSubstr("Time at search speed\t4:30 (4.50 h)\n"));
  // A second pass is the same unit's; the command reads the page as the summary does.
  Type(sector, kSectorPasses, "2");
  EXPECT_EQ(routes.size(), 2u);
  EXPECT_THAT(planView->summaryText(), HasSubstr("Pattern\tSector (VS), 1 unit, 2 passes\n"));
}

// The preview follows the pattern chosen and paints the plan library's figure for its size: the
// routes' lines in their units' colours where the figure puts them, the datum's cross in ink.
TEST_F(WindowTest, PreviewPaintsItsFigure) {
  Choose(ShowPage(kParallelPage), 2, 1);
  PlanPreview* preview = planView->preview();
  const vestrand::PlanFigure& figure = preview->figure();
  EXPECT_EQ(figure.size.width, preview->width());
  EXPECT_EQ(figure.size.height, preview->height());
  ASSERT_EQ(figure.routes.size(), 2u);

  const QImage image = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const auto colourAt = [&image](vestrand::PixelPoint p) {
    return image.pixel(static_cast<int>(p.x), static_cast<int>(p.y)) & 0xFFFFFF;
  };
  for (const vestrand::FigureRoute& route : figure.routes) {
    ASSERT_GE(route.line.size(), 2u);
    const vestrand::PixelPoint a = route.line[0].at, b = route.line[1].at;
    const QRgb colour = (route.colour.r << 16) | (route.colour.g << 8) | route.colour.b;
    EXPECT_EQ(colourAt({(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}), colour) << route.name;
  }
  ASSERT_EQ(figure.marks.front().shape, vestrand::MarkShape::Cross);
  EXPECT_EQ(colourAt(figure.marks.front().at), 0x202020u);
}

TEST_F(WindowTest, StartPageExplainsInsteadOfDrawing) {
  ShowPage(kSectorPage);
  ShowPage(kStartPage);
  EXPECT_TRUE(planView->preview()->drawing().routes.empty());
  EXPECT_EQ(planView->preview()->message().toStdString(), kEnglishExtras[8]);
  EXPECT_EQ(planView->summaryText(), "\t\n");
}

// All six fields reach the drift; its numbers are the plan library's, the datum keeps hundredths
// of a second.
TEST_F(WindowTest, ApplyingTheDriftFillsTheDatumAndDrawsTheDrift) {
  EnterDrift({"43 30.0 N 3 45.0 W", "2.5", "45", "1", "200", "0.8"});
  const vestrand::DriftedDatum d = vestrand::driftedDatum(43.5, -3.75, 2.5, {45, 1}, {200, 0.8});
  EXPECT_NEAR(GetDegLatitude(mainPanel), std::round(d.lat * 360000.0) / 360000.0, 1e-9);
  EXPECT_NEAR(GetDegLongitude(mainPanel), std::round(d.lon * 360000.0) / 360000.0, 1e-9);
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Datum drifted"));
  ShowPage(kSectorPage);
  EXPECT_EQ(planView->preview()->figure().lines.size(), 1u);
  // Once the datum is changed by hand the drift is no longer shown.
  Type(mainPanel, kLatitudeDegrees + 2, "7");
  EXPECT_TRUE(planView->preview()->figure().lines.empty());
}

TEST_F(WindowTest, ARefusedDriftChangesNothing) {
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
  Paste("12N 5E");
  for (const Case& c : cases) {
    EnterDrift({c.fields[0], c.fields[1], c.fields[2], c.fields[3], c.fields[4], c.fields[5]});
    EXPECT_EQ(Text(mainPanel, kStatusLine).rfind("Drift not applied: ", 0), 0u) << c.reason;
    EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr(c.reason));
    EXPECT_EQ(GetDegLatitude(mainPanel), 12.0);
    EXPECT_EQ(GetDegLongitude(mainPanel), 5.0);
  }
}

TEST_F(WindowTest, SweepWidthAddsCoverageAndBothPods) {
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

TEST_F(WindowTest, BriefingHoldsTheDatumWaypointsAndEveryLegRow) {
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
