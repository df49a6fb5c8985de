// The first turn, patterns laid in the drifting water, the trackline page and Send to plotter,
// through the real widgets: the files are byte for byte the command line's for the same input,
// the sentences a plotter receives are the command line's, refusals name the values, and the
// choices are remembered.
#include <QCheckBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QUdpSocket>
#include <cstdio>
#include <filesystem>

#include "PatternMotion.h"
#include "PlotterLink.h"
#include "TracklinePage.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr char kStem[] = "20121225143000";

QString Exact(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

class PatternMotionTest : public WindowTest {
 protected:
  // Runs the command line with `args` writing into a folder of its own; the file it wrote as
  // `name`, or its standard output for an empty name.
  std::string Cli(QStringList args, const std::string& name) {
    args << "--stem" << kStem << "--dir" << cliDir.path();
    if (name.empty()) args = args.mid(0, args.size() - 4);
    QProcess cli;
    cli.start(QString::fromUtf8(VESTRAND_CLI), args);
    EXPECT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const std::string out = cli.readAllStandardOutput().toStdString();
    return name.empty() ? out
                        : ReadBytes(cliDir.filePath(QString::fromStdString(name)).toStdString());
  }

  // The square of the golden file on its page, 40N 10W, course 0, spacing 1, two leg pairs.
  int SquarePage() {
    Paste("40N 10W");
    const int page = ShowPage(kSquarePage);
    Type(page, square_page::kCourse, "0");
    Type(page, square_page::kSpacing, "1");
    Type(page, square_page::kCount, "2");
    return page;
  }

  static void TurnToPort(int page) {
    QComboBox* turn = Window::of(mainPanel)->patternMotion()->firstTurn(page);
    turn->setFocus();
    QTest::keyClick(turn, Qt::Key_Down);
    ASSERT_EQ(turn->currentIndex(), 1);
  }

  // As an operator does from the keyboard: a click on the row's empty end would miss the box.
  static void Check(QCheckBox* box) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
  }

  QTemporaryDir cliDir;
};

TEST_F(PatternMotionTest, FirstTurnToPortWritesTheCommandLinesFileAndIsRemembered) {
  const struct {
    int tab;
    std::vector<std::pair<int, const char*>> fields;
    QStringList args;
    const char* name;
  } cases[] = {
      {kSquarePage,
       {{square_page::kCourse, "0"}, {square_page::kSpacing, "1"}, {square_page::kCount, "2"}},
       {"square", "--course", "0", "--spacing", "1", "--count", "2"},
       "SS 0.gpx"},
      {kSectorPage,
       {{sector_page::kCourse, "30"}, {sector_page::kLeg, "2"}},
       {"sector", "--course", "30", "--leg", "2"},
       "VS 30.gpx"},
  };
  for (const auto& c : cases) {
    Paste("40N 10W");
    const int page = ShowPage(c.tab);
    for (const auto& [control, text] : c.fields) Type(page, control, text);
    TurnToPort(c.tab);
    Press(page, PageCommand(c.tab));
    const std::string name = kStem + std::string(" ") + c.name;
    ASSERT_THAT(Files(), ElementsAre(name));
    const std::string port = Cli(QStringList(c.args) << "--lat"
                                                     << "40"
                                                     << "--lon"
                                                     << "-10"
                                                     << "--first-turn"
                                                     << "port",
                                 name);
    EXPECT_EQ(ReadBytes(name), port) << c.name;
    EXPECT_NE(port, Cli(QStringList(c.args) << "--lat"
                                            << "40"
                                            << "--lon"
                                            << "-10",
                        name));
    std::filesystem::remove(name);
  }
  Close();
  Open();
  EXPECT_EQ(win->patternMotion()->firstTurn(kSquarePage)->currentIndex(), 1);
  EXPECT_EQ(win->patternMotion()->firstTurn(kParallelPage)->currentIndex(), 0);
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(PatternMotionTest, CompensatedSquareIsTheCommandLinesAndShowsTheGroundPatternFaintly) {
  EnterDrift({"40N 10W", "2", "90", "1.5", "", ""});
  const AppliedDrift* drift = win->currentDrift();
  ASSERT_NE(drift, nullptr);
  const int page = ShowPage(kSquarePage);
  Type(page, square_page::kCourse, "0");
  Type(page, square_page::kSpacing, "1");
  Type(page, square_page::kCount, "2");
  QCheckBox* box = win->patternMotion()->compensation(kSquarePage);
  Check(box);
  ASSERT_TRUE(box->isChecked());
  // The ground pattern beneath, in its faint colour, and the drift in the summary.
  bool faint = false;
  for (const auto& line : planView->preview()->figure().lines) {
    faint = faint || line.colour == vestrand::kGroundPatternColour;
  }
  EXPECT_TRUE(faint);
  EXPECT_THAT(planView->summaryText(), HasSubstr("Laid in drifting water\t90.0° at 1.50 kn"));

  Press(page, PageCommand(kSquarePage));
  double speed = 0.0;
  GetCtrlVal(mainPanel, kSearchSpeed, &speed);
  const std::string name = kStem + std::string(" SS 0 drift 090 1.5kn.gpx");
  ASSERT_THAT(Files(), ElementsAre(name));
  EXPECT_EQ(ReadBytes(name),
            Cli({"square", "--lat", Exact(GetDegLatitude(mainPanel)), "--lon",
                 Exact(GetDegLongitude(mainPanel)), "--course", "0", "--spacing", "1", "--count",
                 "2", "--drift-set", Exact(drift->drifted.course), "--drift-speed",
                 Exact(drift->drifted.speed), "--search-speed", Exact(speed)},
                name));
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(PatternMotionTest, CompensationIsRefusedNamingTheValues) {
  const int page = SquarePage();
  Check(win->patternMotion()->compensation(kSquarePage));
  Press(page, PageCommand(kSquarePage));
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("no drift is applied"));
  EnterDrift({"40N 10W", "1", "90", "1.5", "", ""});
  Type(mainPanel, kSearchSpeed, "3");
  EXPECT_EQ(planView->preview()->message().toStdString(),
            "Lay in the drifting water refused: a drift of 1.50 kn is half the search speed of "
            "3.00 kn or more");
  Press(page, PageCommand(kSquarePage));
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("1.50 kn is half the search speed of 3.00"));
  EXPECT_THAT(Files(), IsEmpty());
}

TEST_F(PatternMotionTest, TracklinePageWritesTheCommandLinesFile) {
  TracklinePage* trackline = win->tracklinePage();
  ASSERT_NE(trackline, nullptr);
  ShowPage(trackline->index());
  EXPECT_EQ(planView->preview()->message().toStdString(),
            win->texts().get(vestrand::Text::NoPattern));
  trackline->route()->setFocus();
  for (const char* line : {"43.5,-3.75", "43 36N 3 36W", "", "43.8,-3.6"}) {
    QTest::keyClicks(trackline->route(), line);
    QTest::keyClick(trackline->route(), Qt::Key_Return);
  }
  trackline->spacing()->setValue(2);
  QTest::mouseClick(trackline->returning(), Qt::LeftButton);
  trackline->units()->setValue(2);
  EXPECT_THAT(planView->summaryText(), HasSubstr("Trackline"));
  QTest::mouseClick(trackline->command(), Qt::LeftButton);
  ASSERT_EQ(Files().size(), 1u);
  const std::string name = Files().front();
  EXPECT_THAT(name, HasSubstr(" TS "));
  EXPECT_EQ(ReadBytes(name),
            Cli({"trackline", "--route", "43.5,-3.75", "--route", "43 36N 3 36W", "--route",
                 "43.8,-3.6", "--spacing", "2", "--return", "--units", "2"},
                name));
  // A line that is no position is named, and nothing is written.
  std::filesystem::remove(name);
  trackline->route()->setPlainText("43.5,-3.75\nsomewhere");
  QTest::mouseClick(trackline->command(), Qt::LeftButton);
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("line 2 not understood: 'somewhere'"));
  EXPECT_THAT(Files(), IsEmpty());
}

TEST_F(PatternMotionTest, SendToPlotterSendsTheCommandLinesSentencesAndRemembersTheTarget) {
  QUdpSocket listener;
  ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
  const std::string target = "udp:127.0.0.1:" + std::to_string(listener.localPort());
  const int page = SquarePage();
  TurnToPort(kSquarePage);
  Press(page, PageCommand(kSquarePage));
  ASSERT_EQ(Files().size(), 1u);
  const std::string file = Files().front();

  win->plotterLink()->setPause(0);
  win->menuBar()->findChild<QAction*>("sendAction")->trigger();
  QDialog* dialog = win->plotterLink()->dialog();
  ASSERT_NE(dialog, nullptr);
  auto* field = dialog->findChild<QLineEdit*>("plotterTarget");
  field->setText(QString::fromStdString(target));
  QTest::mouseClick(dialog->findChild<QPushButton*>("sendButton"), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!win->plotterLink()->busy(), 20000);
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Sent "));
  std::string received;
  while (listener.hasPendingDatagrams()) {
    QByteArray datagram(static_cast<int>(listener.pendingDatagramSize()), '\0');
    listener.readDatagram(datagram.data(), datagram.size());
    received += datagram.toStdString();
  }
  const QString path = QDir::current().absoluteFilePath(QString::fromStdString(file));
  EXPECT_EQ(received, Cli({"nmea", path, "--to", "-", "--pause-ms", "0"}, ""));

  // A target that is no address is refused by name; the last good one is remembered.
  win->plotterLink()->send("udp:nowhere");
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("'udp:nowhere' is refused"));
  Close();
  Open();
  ShowPage(kSquarePage);
  win->sendToPlotter();
  EXPECT_EQ(
      win->plotterLink()->dialog()->findChild<QLineEdit*>("plotterTarget")->text().toStdString(),
      target);
}

}  // namespace
}  // namespace gui_test
