// The plan beside the search pages, driven through the real widgets: the preview and the summary,
// the sector's second pass, the drift applied to the datum, coverage and POD in the summary and
// the PDF briefing.
#include <QAbstractTextDocumentLayout>
#include <QGroupBox>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Briefing.h"
#include "coverage.h"
#include "leg_table.h"
#include "number_text.h"
#include "position_text.h"
#include "texts.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The worked example: a sector search from 40°N 10°W, course 30, legs of 2 NM.
TEST_F(WindowTest, SummaryShowsTheWorkedExample) {
  Paste("40N 10W");
  const int sector = ShowPage(kSectorPage);
  Type(sector, sector_page::kCourse, "30");
  Type(sector, sector_page::kLeg, "2");
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
  Type(sector, sector_page::kPasses, "2");
  EXPECT_EQ(routes.size(), 2u);
  EXPECT_THAT(planView->summaryText(), HasSubstr("Pattern\tSector (VS), 1 unit, 2 passes\n"));
}

// The preview follows the pattern chosen and paints the plan library's figure for its size: the
// routes' lines in their units' colours where the figure puts them, the datum's cross in ink.
TEST_F(WindowTest, PreviewPaintsItsFigure) {
  Choose(ShowPage(kParallelPage), parallel_page::kPattern, 1);
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
  EXPECT_EQ(planView->preview()->message().toStdString(),
            vestrand::englishText(vestrand::Text::StartHint));
  EXPECT_EQ(planView->summaryText(), "\t\n");
}

// All six fields reach the drift; its numbers are the plan library's, the datum keeps hundredths
// of a second. The datum group says the datum is drifted and the position field shows it, until
// the datum is changed by hand.
TEST_F(WindowTest, ApplyingTheDriftFillsTheDatumAndDrawsTheDrift) {
  const auto title = [] {
    return Control<QGroupBox>(mainPanel, kDatumGroup)->title().toStdString();
  };
  EXPECT_EQ(title(), "Datum (last known position)");
  EnterDrift({"43 30.0 N 3 45.0 W", "2.5", "45", "1", "200", "0.8"});
  const vestrand::DriftedDatum d = vestrand::driftedDatum(43.5, -3.75, 2.5, {45, 1}, {200, 0.8});
  EXPECT_NEAR(GetDegLatitude(mainPanel), std::round(d.lat * 360000.0) / 360000.0, 1e-9);
  EXPECT_NEAR(GetDegLongitude(mainPanel), std::round(d.lon * 360000.0) / 360000.0, 1e-9);
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Datum drifted"));
  EXPECT_EQ(title(), "Datum (drifted from the last known position)");
  const std::string readBack = Text(mainPanel, kDatumReadBack);
  EXPECT_EQ(Text(mainPanel, kPositionField), readBack.substr(0, readBack.find('\n')));
  ShowPage(kSectorPage);
  EXPECT_EQ(planView->preview()->figure().lines.size(), 1u);
  Type(mainPanel, kLatitudeDegrees + 2, "7");
  EXPECT_TRUE(planView->preview()->figure().lines.empty());
  EXPECT_EQ(title(), "Datum (last known position)");
}

// The fields read their whole text, however many blanks a paste brings, and take the decimal
// comma where the window's language and country write one.
TEST_F(WindowTest, DriftFieldsReadTheWholeTextInTheWindowsOwnNumbers) {
  const std::string blanks(190, ' ');
  EnterDrift({(blanks + "43.5 -3.75").c_str(), (blanks + "2").c_str(), "90", "1", "", ""});
  const vestrand::DriftedDatum d = vestrand::driftedDatum(43.5, -3.75, 2.0, {90, 1}, {});
  EXPECT_NEAR(GetDegLongitude(mainPanel), d.lon, 1e-6);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EnterDrift({"43.5 -3.75", "1,5", "90", "1,25", "", ""});
  QLocale::setDefault(QLocale::c());
  const vestrand::DriftedDatum comma = vestrand::driftedDatum(43.5, -3.75, 1.5, {90, 1.25}, {});
  EXPECT_NEAR(GetDegLongitude(mainPanel), comma.lon, 1e-6) << Text(mainPanel, kStatusLine);
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
  Type(ShowPage(kSquarePage), square_page::kSpacing, "0.5");
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

// Words of a PDF with their boxes (pdftotext -bbox), page by page.
struct Word {
  std::string text;
  QRectF box;
};
std::vector<std::vector<Word>> PdfWords(const std::string& pdf) {
  QProcess process;
  process.start("pdftotext", {"-bbox", QString::fromStdString(pdf), "-"});
  EXPECT_TRUE(process.waitForFinished(30000));
  const QString html = QString::fromUtf8(process.readAllStandardOutput());
  static const QRegularExpression kWord(
      "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
      "yMax=\"([0-9.]+)\">([^<]*)</word>");
  std::vector<std::vector<Word>> pages;
  for (const QRegularExpressionMatch& m : kWord.globalMatch(html)) {
    if (m.captured(0) == "<page ") {
      pages.emplace_back();
    } else if (!pages.empty()) {
      const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
      const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
      pages.back().push_back({m.captured(5).toStdString(), QRectF(from, to)});
    }
  }
  return pages;
}

// The briefing read back in two languages: the title names the pattern and the time, the datum
// is the window's, every leg row of every unit holds its turning point's position and, with the
// search start given, its clock time; each unit starts a page; no word covers another.
TEST_F(WindowTest, BriefingReadsBackInTwoLanguagesWithPositionsAndNothingOverlaps) {
  EnterDrift({"40 N 10 W", "2", "90", "1", "", ""});
  ShowPage(kParallelPage);
  win->widget<QLineEdit>("startTime")->setText("15:00");
  vestrand::PatternParams params;
  ASSERT_TRUE(ReadSearchPage(mainPanel, kParallelPage, params));
  vestrand::PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(params, "20121225143000", names));
  // Every turning point by route, and the rows that reach them.
  struct Points final : vestrand::PatternSink {
    std::vector<std::vector<vestrand::GeoPoint>> routes;
    void startRoute(const char*) override { routes.emplace_back(); }
    void routePoint(double lat, double lon, const char*) override {
      routes.back().push_back({lat, lon});
    }
    void endRoute() override {}
    void waypoint(double, double, const char*) override {}
  } points;
  vestrand::sailPattern(params, names, points);
  // A position's padding blanks may come back as one.
  const auto position = [](double degrees, vestrand::Axis axis) {
    return QString::fromStdString(vestrand::coordinateText(degrees, axis))
        .replace(QRegularExpression(" +"), " +")
        .toStdString();
  };
  std::vector<std::string> rows;
  vestrand::LegTableSink legs(params, 8.0, [&](const vestrand::LegRow& r) {
    const vestrand::GeoPoint at = points.routes[r.unit - 1][r.to - 1];
    const auto clock = vestrand::clockAfter({2012, 12, 25, 15, 0, std::nullopt}, r.hours);
    rows.push_back(
        std::to_string(r.leg) + " +" + std::to_string(r.from) + " +" + std::to_string(r.to) + " +" +
        position(at.lat, vestrand::Axis::Latitude) + " +" +
        position(at.lon, vestrand::Axis::Longitude) + " +" + vestrand::fixedText(r.course, 1) +
        " +" + vestrand::fixedText(r.distance, 2) + " +" + vestrand::fixedText(r.total, 2) + " +" +
        vestrand::hoursMinutesText(r.hours) + " +" + vestrand::clockText(*clock, ' ').substr(11));
  });
  vestrand::sailPattern(params, names, legs);
  ASSERT_EQ(rows.size(), 8u);

  const std::string pdf = "20121225143000 PS_PM 0 briefing.pdf";
  for (const int language : {0, 4}) {
    SCOPED_TRACE(language);
    Choose(mainPanel, kLanguageSelector, language);
    Press(mainPanel, kBriefingButton);
    const vestrand::LanguageTexts& t = win->texts();
    ASSERT_EQ(Text(mainPanel, kStatusLine), t.get(vestrand::Text::BriefingWritten, {pdf}));
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    const std::string plain = read.toStdString();
    const std::string words = read.simplified().toStdString();
    const std::string title =
        t.get(vestrand::Text::BriefingTitle,
              {t.get(vestrand::Text::BriefingPatternTime,
                     {t.get(vestrand::Text::ParallelTab), "2012/12/25 14:30:00"})});
    EXPECT_THAT(words, HasSubstr(title));
    EXPECT_THAT(words, HasSubstr(QString::fromStdString(Text(mainPanel, kDatumReadBack))
                                     .section('\n', 0, 0)
                                     .simplified()
                                     .toStdString()));
    for (const std::string& row : rows) {
      EXPECT_THAT(plain, testing::ContainsRegex("(^|\n) *" + row + " *\n")) << row;
    }
    // Each unit's section opens a page.
    for (const vestrand::Text unit : {vestrand::Text::Unit1, vestrand::Text::Unit2}) {
      EXPECT_THAT(plain, HasSubstr("\f" + t.get(unit) + "\n")) << t.get(unit);
    }
    const std::vector<std::vector<Word>> pages = PdfWords(pdf);
    ASSERT_GE(pages.size(), 3u);
    for (const std::vector<Word>& page : pages) {
      for (std::size_t i = 0; i < page.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
          // Boxes of neighbouring words may touch to a hundredth of a point.
          const QRectF overlap = page[i].box.intersected(page[j].box);
          EXPECT_FALSE(overlap.width() > 0.01 && overlap.height() > 0.01)
              << page[j].text << " and " << page[i].text;
        }
      }
    }
  }
}

// A heading, and a table's header row, stay on the page of the first row they introduce,
// wherever the text before them ends: a two-pass sector's briefing once left "Leg table" alone at
// the foot of a page. The text before them grows a line at a time through two pages.
TEST(BriefingTest, HeadingsAndTableHeadersStayWithWhatTheyIntroduce) {
  constexpr double kPageHeight = 300.0;
  for (int lines = 0; lines < 40; ++lines) {
    SCOPED_TRACE(lines);
    QTextDocument doc;
    doc.setPageSize({400.0, kPageHeight});
    QString html = QString("<p>text</p>").repeated(lines) +
                   "<h2>Unit 1</h2><h2>Leg table</h2><table><thead><tr><th>Leg</th></tr></thead>";
    for (int row = 1; row <= 20; ++row) html += QString("<tr><td>%1</td></tr>").arg(row);
    doc.setHtml(html + "</table>");
    KeepHeadingsWithTheirContent(doc);
    const auto page = [&doc](const QTextBlock& b) {
      return static_cast<int>(doc.documentLayout()->blockBoundingRect(b).top() / kPageHeight);
    };
    QTextBlock unit = doc.begin();
    while (unit.isValid() && unit.blockFormat().headingLevel() == 0) unit = unit.next();
    ASSERT_TRUE(unit.isValid());
    const QTextBlock legTable = unit.next(), header = legTable.next(), firstRow = header.next();
    ASSERT_EQ(firstRow.text(), "1");
    EXPECT_EQ(page(unit), page(firstRow));
    EXPECT_EQ(page(legTable), page(firstRow));
    EXPECT_EQ(page(header), page(firstRow));
  }
}

// The PDF is put in place whole or not at all: an empty one, a PDF that could not be made, is
// refused and leaves an earlier file as it was. It once went to the disk as a briefing.
TEST(BriefingTest, APdfThatCouldNotBeMadeIsNeverPutInPlace) {
  vestrand::testing::ScratchDir dir;
  std::ofstream("earlier briefing.pdf") << "earlier";
  std::string error;
  EXPECT_FALSE(PlaceBriefing("earlier briefing.pdf", "", error));
  EXPECT_THAT(error, HasSubstr("the PDF could not be made"));
  EXPECT_EQ(ReadBytes("earlier briefing.pdf"), "earlier");
  EXPECT_FALSE(PlaceBriefing("new briefing.pdf", "", error));
  EXPECT_FALSE(std::filesystem::exists("new briefing.pdf"));
}

}  // namespace
}  // namespace gui_test
