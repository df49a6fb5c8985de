// The window end to end through its real widgets: the date and time fields and the stem, the
// datum entry (a position pasted into one field fills the datum and is read back; refusals are
// marked and said), the commands of the three search pages, the extent field, the links, the
// output folder and a failed write.
#include <QLabel>
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "About.h"
#include "pattern_files.h"
#include "position_text.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

constexpr char kStem[] = "20121225143000";
constexpr double kSecondHundredth = 1.0 / 360000.0;  // what the seconds field keeps

TEST_F(WindowTest, FirstFocusOnlyStampsTheTimeAndDateFields) {
  EXPECT_EQ(Text(mainPanel, kTimeField), "14:30:00");
  EXPECT_EQ(Text(mainPanel, kDateField), "2012/12/25");
  EXPECT_EQ(firstFocus, 0);
  Type(mainPanel, kTimeField, "08:00:00");
  SAR_CBK(mainPanel, EVENT_GOT_FOCUS, nullptr, 0, 0);
  EXPECT_EQ(Text(mainPanel, kTimeField), "08:00:00");
}

// Each command writes its worked example byte for byte.
TEST_F(WindowTest, CommandsWriteTheGoldenFiles) {
  const struct {
    int tab, selector;
    std::vector<std::pair<int, const char*>> fields;
    const char *name, *golden;
  } cases[] = {
      {kSectorPage,
       0,
       {{sector_page::kCourse, "30"}, {sector_page::kLeg, "2"}},
       "VS 30.gpx",
       "sector-40N10W-c30-d2.gpx"},
      {kSquarePage,
       0,
       {{square_page::kCourse, "0"}, {square_page::kSpacing, "1"}, {square_page::kCount, "2"}},
       "SS 0.gpx",
       "square-40N10W-c0-s1-n2.gpx"},
      {kParallelPage,
       1,
       {{parallel_page::kCourse, "0"},
        {parallel_page::kSpacing, "1"},
        {parallel_page::kLeg, "4"},
        {parallel_page::kLoops, "1"}},
       "PS_PM 0.gpx",
       "parallel-43.5N3.75W-c0-s1-l4-n1.gpx"},
      {kParallelPage,
       4,
       {{parallel_page::kLeg, "4"}},
       "CS 0.gpx",
       "creeping-43.5N3.75W-c0-s1-l4-n1.gpx"},
  };
  for (const auto& c : cases) {
    Paste(c.tab == kParallelPage ? "43 30N 3 45W" : "40N 10W");
    const int page = ShowPage(c.tab);
    for (const auto& [control, text] : c.fields) Type(page, control, text);
    if (c.selector != 0) Choose(page, parallel_page::kPattern, c.selector);
    Press(page, PageCommand(c.tab));
    const std::string name = kStem + std::string(" ") + c.name;
    EXPECT_THAT(Files(), ElementsAre(name)) << c.golden;
    EXPECT_EQ(ReadBytes(name), Golden(c.golden)) << c.golden;
    // The sweeps off Santander run over land, which the status line says after the file's name.
    if (c.tab == kParallelPage) {
      EXPECT_THAT(Text(mainPanel, kStatusLine), StartsWith("Written: " + name + "; leg 3 of "));
    } else {
      EXPECT_EQ(Text(mainPanel, kStatusLine), "Written: " + name);
    }
    std::filesystem::remove(name);
  }
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(WindowTest, StemComesFromTheEditedTimeAndDateFields) {
  Paste("40N 10W");
  Type(mainPanel, kTimeField, "09:05:03");
  Type(mainPanel, kDateField, "2012/07/25");
  Press(ShowPage(kSectorPage), sector_page::kCommand);
  EXPECT_THAT(Files(), ElementsAre("20120725090503 VS 0.gpx"));

  // Short parts are padded, wide ones printed in full, missing ones count as 0, and numbers
  // beyond an int saturate without overrunning the stem.
  const struct {
    const char *time, *date, *stem;
  } cases[] = {
      {"9:5:3", "2012/7/25", "20120725090503"},
      {"100:00:00", "2012/12/25", "201212251000000"},
      {"1:-99999999999:x", "99999999999999999999", "2147483647000001-214748364800"},
      {"", "not a date", "00000000000000"},
  };
  for (const auto& c : cases) {
    SetCtrlVal(mainPanel, kTimeField, c.time);
    SetCtrlVal(mainPanel, kDateField, c.date);
    gpxFileNameWithoutExtension();
    EXPECT_STREQ(gpxFileNameWithoutExt, c.stem) << c.time << " " << c.date;
    EXPECT_LT(std::strlen(gpxFileNameWithoutExt), kStemCapacity);
  }
}

// Both hemispheres' switches; the read-back's forms are the position texts' own.
TEST_F(WindowTest, PastedPositionFillsTheDatumAndIsReadBack) {
  const struct {
    const char* text;
    double lat, lon;
  } cases[] = {{"43 30.5N 3 45.2W", 43.0 + 30.5 / 60.0, -(3.0 + 45.2 / 60.0)},
               {"43°30'30\"S 3°45'12\"E", -(43.0 + 30.5 / 60.0), 3.0 + 45.2 / 60.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Paste(c.text);
    EXPECT_NEAR(GetDegLatitude(mainPanel), c.lat, kSecondHundredth);
    EXPECT_NEAR(GetDegLongitude(mainPanel), c.lon, kSecondHundredth);
    EXPECT_FALSE(Marked(kPositionField));
  }
  EXPECT_EQ(
      Text(mainPanel, kDatumReadBack),
      "S43º 30.50'  E003º 45.20'\nS43º 30' 30.0\"  E003º 45' 12.0\"\nS43.508333º  E003.753333º");
  // The read-back follows the fields themselves too.
  Type(mainPanel, kLatitudeDegrees, "44");
  EXPECT_THAT(Text(mainPanel, kDatumReadBack), ::testing::StartsWith("S44º 30.50'"));
}

TEST_F(WindowTest, TextNotUnderstoodIsMarkedAndSaidAndTheDatumStays) {
  Paste("43 30.5N 3 45.2W");
  const double lat = GetDegLatitude(mainPanel);
  const double lon = GetDegLongitude(mainPanel);
  Paste("91N 3W");
  EXPECT_TRUE(Marked(kPositionField));
  std::string reason;
  double ignored = 0.0;
  vestrand::parsePosition("91N 3W", ignored, ignored, reason);
  // The reason is longer than Text() reads.
  EXPECT_EQ(Control<QLabel>(mainPanel, kStatusLine)->text().toStdString(),
            "Position not understood: " + reason);
  EXPECT_EQ(GetDegLatitude(mainPanel), lat);
  EXPECT_EQ(GetDegLongitude(mainPanel), lon);
}

TEST_F(WindowTest, StampNotUnderstoodIsMarkedAndNamesNoFile) {
  Paste("40N 10W");
  const struct {
    int field;
    const char *text, *status;
  } cases[] = {
      {kDateField, "2013/02/29", "The date field holds '2013/02/29'"},
      {kTimeField, "24:00:00", "The time field holds '24:00:00', not a time HH:MM:SS"},
  };
  const int sector = ShowPage(kSectorPage);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Type(mainPanel, c.field, c.text);
    EXPECT_TRUE(Marked(c.field));
    Press(sector, sector_page::kCommand);
    EXPECT_THAT(Files(), ::testing::IsEmpty());
    EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr(c.status));
    // Stamping again clears both fields' marks, and the command writes.
    Press(mainPanel, kStampAgainButton);
    EXPECT_EQ(Text(mainPanel, kDateField), "2012/12/25");
    EXPECT_EQ(Text(mainPanel, kTimeField), "14:30:00");
    EXPECT_EQ(Text(mainPanel, kStatusLine), "Date and time stamped: 2012/12/25 14:30:00");
    EXPECT_FALSE(Marked(kDateField) || Marked(kTimeField));
  }
  Press(sector, sector_page::kCommand);
  EXPECT_EQ(Files().size(), 1u);
}

TEST_F(WindowTest, CopyPutsDegreesAndMinutesOnTheClipboard) {
  Paste("N43.5083 W3.7533");
  QApplication::clipboard()->clear();
  Press(mainPanel, kCopyPositionButton);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "N43º 30.50'  W003º 45.20'");
  // The entry speaks the language chosen.
  Choose(mainPanel, kLanguageSelector, 1);  // French
  Press(mainPanel, kCopyPositionButton);
  EXPECT_EQ(Text(mainPanel, kStatusLine),
            "Copié dans le presse-papiers : N43º 30.50'  W003º 45.20'");
}

TEST_F(WindowTest, ExtentFollowsLegPairsAndSpacingOnValueChangedOnly) {
  const int page = ShowPage(kSquarePage);
  double extent = 0.0;
  Type(page, square_page::kCount, "5");
  Type(page, square_page::kSpacing, "0.5");
  GetCtrlVal(page, square_page::kExtent, &extent);
  EXPECT_DOUBLE_EQ(extent, 2.5);
  // A commit without a change leaves the extent alone.
  SetCtrlVal(page, square_page::kExtent, 9.0);
  Type(page, square_page::kCount, "5");
  nSS_Change_CBK(page, square_page::kCount, EVENT_COMMIT, nullptr, 0, 0);
  S_SS_Change_CBK(page, square_page::kSpacing, EVENT_COMMIT, nullptr, 0, 0);
  GetCtrlVal(page, square_page::kExtent, &extent);
  EXPECT_DOUBLE_EQ(extent, 9.0);
}

// The links of the start page are reached with Tab and opened with Enter, Return, Space or a
// click; a commit alone opens nothing.
TEST_F(WindowTest, LinksOpenFromTheKeyboardAndTheMouse) {
  const int page = ShowPage(kStartPage);
  LinkTarvolin_CBK(page, 2, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_THAT(browserCalls, IsEmpty());
  const struct {
    int control;
    Qt::Key key;
    const char* address;
  } links[] = {{2, Qt::Key_Enter, kTarvolinHomePage},
               {3, Qt::Key_Return, kTarvolinWikipediaEnglish},
               {4, Qt::Key_Space, kTarvolinWikipediaSpanish}};
  for (const auto& link : links) {
    QWidget* button = Control(page, link.control);
    for (int presses = 0; presses < 40 && QApplication::focusWidget() != button; ++presses) {
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus != nullptr ? focus : window, Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), button) << "link " << link.control;
    browserCalls.clear();
    QTest::keyClick(button, link.key);
    Press(page, link.control);
    EXPECT_THAT(browserCalls, ElementsAre(link.address, link.address)) << link.control;
  }
}

TEST_F(WindowTest, OutputFolderCommandOpensTheFolderOfTheFiles) {
  Press(mainPanel, kOutputFolderButton);
  ASSERT_EQ(browserCalls.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(browserCalls[0], workDir.path()));
  OpenGPX_CBK(mainPanel, kOutputFolderButton, EVENT_LEFT_CLICK, nullptr, 0, 0);
  EXPECT_EQ(browserCalls.size(), 1u);
}

// A failed write shows the file and the writer's own reason: here a name taken by a folder,
// refused whoever runs the test, which no question offers to replace. How the writer fails is the
// writer's own test.
TEST_F(WindowTest, FailedWriteShowsTheFileAndTheWritersReason) {
  Paste("40N 10W");
  const std::string name = kStem + std::string(" VS 0.gpx");
  ASSERT_TRUE(std::filesystem::create_directory(name));
  Press(ShowPage(kSectorPage), sector_page::kCommand);
  vestrand::PatternParams sector;
  ASSERT_TRUE(ReadSearchPage(mainPanel, kSectorPage, sector));
  std::vector<std::string> written;
  std::string reason;
  ASSERT_FALSE(
      vestrand::writePatternFiles(sector, kStem, workDir.path().string(), {}, written, reason));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr(reason));
  EXPECT_THAT(reason, HasSubstr(name));
  EXPECT_THAT(questions, IsEmpty());
  EXPECT_EQ(Text(mainPanel, kStatusLine).rfind("Not written", 0), 0u);
}

TEST_F(WindowTest, ClosingTheWindowEndsTheEventLoop) {
  QTimer::singleShot(0, window, [this] { window->close(); });
  EXPECT_EQ(RunUserInterface(), 0);
  // The window stays until the program discards its panel.
  EXPECT_NE(cvirte_testing::PanelWidget(mainPanel), nullptr);
}

}  // namespace
}  // namespace gui_test
