// The window end to end through its real widgets: datum, date and time fields, the commands of
// the three search pages, the extent field, the links, the output folder and failed writes.
#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "About.h"
#include "gpx.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr char kStem[] = "20121225143000";

TEST_F(WindowTest, FirstFocusStampsTheTimeAndDateFields) {
  EXPECT_EQ(Text(mainPanel, kTimeField), "14:30:00");
  EXPECT_EQ(Text(mainPanel, kDateField), "2012/12/25");
  EXPECT_EQ(firstFocus, 0);
}

TEST_F(WindowTest, LaterFocusLeavesEditedTimeInPlace) {
  Type(mainPanel, kTimeField, "08:00:00");
  SAR_CBK(mainPanel, EVENT_GOT_FOCUS, nullptr, 0, 0);
  EXPECT_EQ(Text(mainPanel, kTimeField), "08:00:00");
}

TEST_F(WindowTest, SectorCommandWritesTheGoldenFile) {
  EnterDatum("40", "0", "0", 1, "10", "0", "0", 0);
  ShowPage(kSectorPage);
  const int page = Page(kSectorPage);
  Type(page, 2, "30");
  Type(page, 3, "2");
  Press(page, 4);
  const std::string name = std::string(kStem) + " VS 30.gpx";
  EXPECT_THAT(Files(), ElementsAre(name));
  EXPECT_EQ(Written(name), Golden("sector-40N10W-c30-d2.gpx"));
  EXPECT_EQ(Text(mainPanel, kStatusLine), "Written: " + name);
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(WindowTest, ExpandingSquareCommandWritesTheGoldenFile) {
  EnterDatum("40", "0", "0", 1, "10", "0", "0", 0);
  ShowPage(kSquarePage);
  const int page = Page(kSquarePage);
  Type(page, 3, "0");
  Type(page, 5, "1");
  Type(page, 2, "2");
  Press(page, 6);
  const std::string name = std::string(kStem) + " SS 0.gpx";
  EXPECT_THAT(Files(), ElementsAre(name));
  EXPECT_EQ(Written(name), Golden("square-40N10W-c0-s1-n2.gpx"));
  EXPECT_EQ(Text(mainPanel, kStatusLine), "Written: " + name);
}

class ParallelPageTest : public WindowTest {
 protected:
  void EnterParallelCase(int selector) {
    EnterDatum("43", "30", "0", 1, "3", "45", "0", 0);
    ShowPage(kParallelPage);
    page = Page(kParallelPage);
    Type(page, 4, "0");
    Type(page, 5, "1");
    Type(page, 6, "4");
    Type(page, 3, "1");
    Choose(page, 2, selector);
  }

  // Offers selector values the layout does not list, as another layout might.
  void AddSelectorValue(int value) {
    Control<QComboBox>(Page(kParallelPage), 2)->addItem(QString("value %1").arg(value), value);
  }

  int page = 0;
};

TEST_F(ParallelPageTest, SelectorOneWritesTheTwoUnitParallelSweep) {
  EnterParallelCase(1);
  Press(page, 7);
  const std::string name = std::string(kStem) + " PS_PM 0.gpx";
  EXPECT_THAT(Files(), ElementsAre(name));
  EXPECT_EQ(Written(name), Golden("parallel-43.5N3.75W-c0-s1-l4-n1.gpx"));
}

TEST_F(ParallelPageTest, SelectorFourWritesTheCreepingLine) {
  EnterParallelCase(4);
  Press(page, 7);
  const std::string name = std::string(kStem) + " CS 0.gpx";
  EXPECT_THAT(Files(), ElementsAre(name));
  EXPECT_EQ(Written(name), Golden("creeping-43.5N3.75W-c0-s1-l4-n1.gpx"));
}

TEST_F(ParallelPageTest, SelectorsTwoAndThreeAlsoWriteTheParallelSweep) {
  AddSelectorValue(2);
  AddSelectorValue(3);
  for (const int selector : {2, 3}) {
    EnterParallelCase(selector);
    Press(page, 7);
    const std::string name = std::string(kStem) + " PS_PM 0.gpx";
    EXPECT_THAT(Files(), ElementsAre(name)) << "selector " << selector;
    EXPECT_EQ(Written(name), Golden("parallel-43.5N3.75W-c0-s1-l4-n1.gpx"));
    std::filesystem::remove(workDir.path().toStdString() + "/" + name);
  }
}

TEST_F(ParallelPageTest, OtherSelectorValuesWriteNothingButRebuildTheStem) {
  for (const int selector : {0, 5, -1}) AddSelectorValue(selector);
  Type(mainPanel, kTimeField, "10:11:12");
  for (const int selector : {0, 5, -1}) {
    EnterParallelCase(selector);
    gpxFileNameWithoutExt[0] = 0;
    Press(page, 7);
    EXPECT_THAT(Files(), IsEmpty()) << "selector " << selector;
    EXPECT_STREQ(gpxFileNameWithoutExt, "20121225101112");
  }
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(WindowTest, StemComesFromTheEditedTimeAndDateFields) {
  ShowPage(kSectorPage);
  Type(mainPanel, kTimeField, "09:05:03");
  Type(mainPanel, kDateField, "2012/07/25");
  Press(Page(kSectorPage), 4);
  EXPECT_STREQ(gpxFileNameWithoutExt, "20120725090503");
  EXPECT_THAT(Files(), ElementsAre("20120725090503 VS 0.gpx"));

  Type(mainPanel, kTimeField, "9:5:3");
  Type(mainPanel, kDateField, "2012/7/25");
  gpxFileNameWithoutExtension();
  EXPECT_STREQ(gpxFileNameWithoutExt, "20120725090503");
}

TEST_F(WindowTest, StemOfTheStampedFields) {
  gpxFileNameWithoutExtension();
  EXPECT_STREQ(gpxFileNameWithoutExt, kStem);
}

TEST_F(WindowTest, StemPrintsWideComponentsInFull) {
  SetCtrlVal(mainPanel, kTimeField, "100:00:00");
  gpxFileNameWithoutExtension();
  EXPECT_STREQ(gpxFileNameWithoutExt, "201212251000000");
}

TEST_F(WindowTest, StemStaysWithinItsCapacity) {
  // Missing parts count as 0; numbers beyond an int saturate.
  SetCtrlVal(mainPanel, kTimeField, "1:-99999999999:x");
  SetCtrlVal(mainPanel, kDateField, "99999999999999999999");
  gpxFileNameWithoutExtension();
  EXPECT_STREQ(gpxFileNameWithoutExt, "2147483647000001-214748364800");
  EXPECT_LT(std::strlen(gpxFileNameWithoutExt), kStemCapacity);

  SetCtrlVal(mainPanel, kTimeField, "");
  SetCtrlVal(mainPanel, kDateField, "not a date");
  gpxFileNameWithoutExtension();
  EXPECT_STREQ(gpxFileNameWithoutExt, "00000000000000");
}

TEST_F(WindowTest, DatumReadersFollowTheHemisphereSwitch) {
  EnterDatum("10", "30", "36", 1, "10", "30", "36", 1);
  EXPECT_DOUBLE_EQ(GetDegLatitude(mainPanel), 10.51);
  EXPECT_DOUBLE_EQ(GetDegLongitude(mainPanel), 10.51);
  Choose(mainPanel, 5, 0);
  Choose(mainPanel, 9, 0);
  EXPECT_DOUBLE_EQ(GetDegLatitude(mainPanel), -10.51);
  EXPECT_DOUBLE_EQ(GetDegLongitude(mainPanel), -10.51);

  // A switch that holds neither 1 nor 0, as another layout might offer.
  Control<QComboBox>(mainPanel, 5)->addItem("?", 2);
  Control<QComboBox>(mainPanel, 9)->addItem("?", 2);
  Choose(mainPanel, 5, 2);
  Choose(mainPanel, 9, 2);
  EXPECT_DOUBLE_EQ(GetDegLatitude(mainPanel), -888.8);
  EXPECT_DOUBLE_EQ(GetDegLongitude(mainPanel), -888.8);
}

TEST_F(WindowTest, DatumFieldsKeepOperatorRanges) {
  Type(mainPanel, 2, "95");
  Type(mainPanel, 6, "200");
  Type(mainPanel, 3, "75");
  double value = 0.0;
  GetCtrlVal(mainPanel, 2, &value);
  EXPECT_LE(value, 90.0);
  GetCtrlVal(mainPanel, 6, &value);
  EXPECT_LE(value, 180.0);
  GetCtrlVal(mainPanel, 3, &value);
  EXPECT_LT(value, 60.0);
}

TEST_F(WindowTest, ExtentFollowsLegPairsAndSpacingOnValueChangedOnly) {
  ShowPage(kSquarePage);
  const int page = Page(kSquarePage);
  Type(page, 2, "5");
  Type(page, 5, "0.5");
  double extent = 0.0;
  GetCtrlVal(page, 4, &extent);
  EXPECT_DOUBLE_EQ(extent, 2.5);

  // A commit without a change leaves the extent alone.
  SetCtrlVal(page, 4, 9.0);
  Type(page, 2, "5");
  nSS_Change_CBK(page, 2, EVENT_COMMIT, nullptr, 0, 0);
  S_SS_Change_CBK(page, 5, EVENT_COMMIT, nullptr, 0, 0);
  GetCtrlVal(page, 4, &extent);
  EXPECT_DOUBLE_EQ(extent, 9.0);

  Type(page, 2, "0");
  GetCtrlVal(page, 4, &extent);
  EXPECT_DOUBLE_EQ(extent, 0.0);
}

TEST_F(WindowTest, LinksOpenTheirPagesOnLeftClickOnly) {
  const int page = Page(kStartPage);
  // A commit alone opens nothing.
  LinkTarvolin_CBK(page, 2, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_THAT(browserCalls, IsEmpty());

  for (const int link : {2, 3, 4}) Press(page, link);
  EXPECT_THAT(browserCalls,
              ElementsAre(kTarvolinHomePage, kTarvolinWikipediaEnglish, kTarvolinWikipediaSpanish));
}

TEST_F(WindowTest, HomePageIsTheNamespaceOfTheGpxExtensions) {
  EXPECT_THAT(Golden("sector-40N10W-c30-d2.gpx"),
              HasSubstr(std::string("xmlns:opencpn=\"") + kTarvolinHomePage + "\""));
}

TEST_F(WindowTest, OutputFolderCommandOpensTheFolderOfTheFiles) {
  Press(mainPanel, kOutputFolderButton);
  ASSERT_EQ(browserCalls.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(browserCalls[0], workDir.path().toStdString()));
  OpenGPX_CBK(mainPanel, kOutputFolderButton, EVENT_LEFT_CLICK, nullptr, 0, 0);
  EXPECT_EQ(browserCalls.size(), 1u);
}

TEST_F(WindowTest, FailedWriteShowsTheFileAndTheReasonAndLeavesNoFile) {
  // The target name taken by a folder: the writer refuses it whoever runs the test.
  const std::string name = std::string(kStem) + " VS 0.gpx";
  ASSERT_TRUE(std::filesystem::create_directory(workDir.path().toStdString() + "/" + name));
  ShowPage(kSectorPage);
  Press(Page(kSectorPage), 4);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr(name));
  EXPECT_THAT(messages[0], HasSubstr(GPXLastError()));
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Not written"));
  EXPECT_THAT(Files(), ElementsAre(name));
  EXPECT_TRUE(std::filesystem::is_directory(workDir.path().toStdString() + "/" + name));
}

TEST_F(WindowTest, FailedWriteInAReadOnlyFolder) {
  const std::string folder = workDir.path().toStdString();
  std::filesystem::permissions(
      folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool stillWritable = access(folder.c_str(), W_OK) == 0;
  if (stillWritable) {
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    GTEST_SKIP() << "this user writes into read-only folders";
  }
  ShowPage(kSquarePage);
  Press(Page(kSquarePage), 6);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr(std::string(kStem) + " SS 0.gpx"));
  EXPECT_THAT(Files(), IsEmpty());
}

TEST_F(WindowTest, FailedWriteOnAFullDiskLeavesNoFile) {
  gpx_testing::SetWriteFunction([](const void*, std::size_t, std::size_t, std::FILE*) {
    errno = ENOSPC;
    return std::size_t{0};
  });
  ShowPage(kParallelPage);
  Press(Page(kParallelPage), 7);
  gpx_testing::SetWriteFunction(nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr(std::string(kStem) + " PS_PM 0.gpx"));
  EXPECT_THAT(Files(), IsEmpty());
}

TEST_F(WindowTest, FailureMessageIsARealDialog) {
  cvirte_testing::SetMessagePresenter(nullptr);
  const std::string name = std::string(kStem) + " VS 0.gpx";
  ASSERT_TRUE(std::filesystem::create_directory(workDir.path().toStdString() + "/" + name));
  QString shown;
  // Closes the dialog once it is up, so the command returns.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  closer.start(10);
  ShowPage(kSectorPage);
  Press(Page(kSectorPage), 4);
  closer.stop();
  EXPECT_THAT(shown.toStdString(), HasSubstr(name));
}

TEST_F(WindowTest, ClosingTheWindowEndsTheEventLoop) {
  QTimer::singleShot(0, window, [this] { window->close(); });
  EXPECT_EQ(RunUserInterface(), 0);
  // The window stays until the program discards its panel.
  EXPECT_NE(cvirte_testing::PanelWidget(mainPanel), nullptr);
}

TEST_F(WindowTest, LanguageSelectorRelabelsTheWindow) {
  Choose(mainPanel, kLanguageSelector, 4);  // Deutsch
  const int file = CVI_OpenFile("deutsch.lrf", VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  ASSERT_GE(file, 0);
  char line[64] = "";
  ReadLine(file, line, 60);
  CVI_CloseFile(file);
  EXPECT_EQ(Text(mainPanel, kHeading), line);
}

}  // namespace
}  // namespace gui_test
