// The window as a workspace: it fits a 1280 x 720 screen in every language and nothing in it
// overlaps, however long a language's lines; it remembers its settings and sets a damaged
// settings file aside; it asks before replacing a file; its shortcuts run their commands; its
// counts stop where the preview does.
#include <QAction>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QSpinBox>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>

#include "texts.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr char kSector[] = "20121225143000 VS 0.gpx";

// The widgets a layout places, through its nested layouts.
void Placed(const QLayout* layout, std::vector<QWidget*>& widgets) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() != nullptr && item->widget()->isVisible()) {
      widgets.push_back(item->widget());
    }
    if (item->layout() != nullptr) Placed(item->layout(), widgets);
  }
}

// Everything a layout places in `root` gets room for what it shows, and nothing covers its
// neighbours; the first fault, or empty.
std::string Overlap(QWidget* root) {
  QList<QWidget*> all = root->findChildren<QWidget*>();
  all.push_back(root);
  for (QWidget* parent : all) {
    if (parent->layout() == nullptr || !parent->isVisible()) continue;
    std::vector<QWidget*> placed;
    Placed(parent->layout(), placed);
    for (std::size_t i = 0; i < placed.size(); ++i) {
      const QWidget* w = placed[i];
      // A widget at its preferred size shows all of itself (a ring's smallest size can lag
      // behind its items after they are relabelled).
      const QSize least =
          w->minimumSizeHint().boundedTo(w->sizeHint()).expandedTo(w->minimumSize());
      // A wrapped text gets the lines it needs, up to the height it may take.
      const bool wraps = w->hasHeightForWidth() && w->height() < w->maximumHeight() &&
                         w->heightForWidth(w->width()) > w->height();
      if (w->width() < least.width() || w->height() < least.height() || wraps) {
        return w->objectName().toStdString() + " is squeezed";
      }
      for (std::size_t j = 0; j < i; ++j) {
        if (w->geometry().intersects(placed[j]->geometry())) {
          return w->objectName().toStdString() + " covers " + placed[j]->objectName().toStdString();
        }
      }
    }
  }
  return {};
}

// Each language, and a language whose every line is as long as a line may be: the window's
// smallest size fits a 1280 x 720 screen with its title bar and a panel, and at that size nothing
// overlaps. A line of 399 bytes once made the window 3300 pixels wide.
TEST_F(WindowTest, FitsA1280By720ScreenInEveryLanguageWithoutOverlapping) {
  std::string longest;
  for (int line = 1; line <= vestrand::kTextLines; ++line) {
    const std::string word = "Wwwwwwwwwwww ";
    std::string text;
    while (text.size() + word.size() <= vestrand::lineLimit(line)) text += word;
    longest += text + "\n";
  }
  for (int language = 0; language <= 5; ++language) {
    SCOPED_TRACE(language);
    if (language == 5) {
      std::ofstream("deutsch.lrf") << longest;
      Choose(mainPanel, kLanguageSelector, 4);
    } else {
      Choose(mainPanel, kLanguageSelector, language);
    }
    ShowPage(language % 4);
    const QSize least = window->minimumSize();
    EXPECT_LE(least.width(), 1280);
    EXPECT_LE(least.height(), 720 - 80);
    window->resize(least);
    // The layouts settle in a few rounds: a page's and a pane's contents, then their scroll areas.
    for (int round = 0; round < 3; ++round) {
      for (QLayout* layout : window->findChildren<QLayout*>()) layout->invalidate();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      QCoreApplication::processEvents();
    }
    // Lines of any length leave the window's size alone; the languages' own lines fit too.
    if (language < 5) {
      EXPECT_EQ(Overlap(window), "");
    }
  }
}

TEST_F(WindowTest, SettingsAreKeptBetweenRuns) {
  std::filesystem::create_directory("plans");
  cvirte_testing::SetFolderChooser([](const std::string&, std::string& chosen) {
    chosen = (std::filesystem::current_path() / "plans").string();
    return 1;
  });
  Choose(mainPanel, kLanguageSelector, 4);
  win->chooseOutputFolder();
  Pick(mainPanel, kFormatChoice, 2);
  Pick(mainPanel, kMaxPointsChoice, 1);
  Type(mainPanel, kSearchSpeed, "5.5");
  Type(mainPanel, kSweepWidth, "1.25");
  Paste("12 30N 45 15W");
  window->resize(1100, 650);
  Close();
  cvirte_testing::SetFolderChooser(nullptr);
  Open();
  EXPECT_EQ(Control<QComboBox>(mainPanel, kLanguageSelector)->currentIndex(), 4);
  EXPECT_EQ(Control<QTabWidget>(mainPanel, kSearchTabs)->tabText(kSectorPage), "Sektorsuche");
  EXPECT_EQ(win->outputFolder(), (workDir.path() / "plans").string());
  EXPECT_EQ(Control<QComboBox>(mainPanel, kFormatChoice)->currentIndex(), 2);
  EXPECT_EQ(Control<QComboBox>(mainPanel, kMaxPointsChoice)->currentIndex(), 1);
  EXPECT_EQ(Control<QDoubleSpinBox>(mainPanel, kSearchSpeed)->value(), 5.5);
  EXPECT_EQ(Control<QDoubleSpinBox>(mainPanel, kSweepWidth)->value(), 1.25);
  EXPECT_EQ(GetDegLatitude(mainPanel), 12.5);
  EXPECT_EQ(GetDegLongitude(mainPanel), -45.25);
  EXPECT_EQ(window->size(), QSize(1100, 650));
}

// A file that is no settings file, or one with a value that makes no sense, is set aside whole:
// the window starts as on a first run, says so, and has no datum until one is entered.
TEST_F(WindowTest, DamagedSettingsFallBackToTheDefaults) {
  const std::string cases[] = {
      std::string("\x00\xff[General\n=\x01\x02\n[[\n", 14),
      "[General]\nlanguage=2\nfiles=7\nsearchSpeed=8\n",
      "[General]\nlanguage=4\nsearchSpeed=abc\ndatumLatitude=12\ndatumLongitude=500\n",
      "[General]\noutputFolder=/no/such/folder\nlanguage=1\n",
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes);
    Close();
    std::ofstream(SettingsFile().toStdString(), std::ios::binary) << bytes;
    Open();
    EXPECT_EQ(Control<QComboBox>(mainPanel, kLanguageSelector)->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>(mainPanel, kFormatChoice)->currentIndex(), 0);
    EXPECT_EQ(Control<QDoubleSpinBox>(mainPanel, kSearchSpeed)->value(), 8.0);
    EXPECT_NE(win->outputFolder(), "/no/such/folder");
    EXPECT_EQ(Text(mainPanel, kStatusLine), vestrand::englishText(vestrand::Text::SettingsDamaged));
    win->setOutputFolder(workDir.path().string());
    Press(ShowPage(kSectorPage), sector_page::kCommand);
    EXPECT_THAT(Files(), IsEmpty());
    ASSERT_FALSE(messages.empty());
    EXPECT_THAT(messages.back(), HasSubstr("No datum entered yet"));
  }
}

// Only the operator's yes replaces a file; no leaves it as it was and says so.
TEST_F(WindowTest, WritingOverAFileAsksFirst) {
  Paste("40N 10W");
  const int sector = ShowPage(kSectorPage);
  Press(sector, sector_page::kCommand);
  EXPECT_THAT(questions, IsEmpty());
  std::ofstream(kSector) << "kept";
  answer = 0;
  Press(sector, sector_page::kCommand);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_THAT(questions[0], HasSubstr(kSector));
  EXPECT_THAT(questions[0], HasSubstr(workDir.path().string()));
  EXPECT_EQ(ReadBytes(kSector), "kept");
  EXPECT_EQ(Text(mainPanel, kStatusLine), vestrand::englishText(vestrand::Text::NothingReplaced));
  answer = 1;
  Press(sector, sector_page::kCommand);
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_NE(ReadBytes(kSector), "kept");
}

// Ctrl+S writes the page's files and Return in a page runs its command, Ctrl+P saves the
// briefing, F1 shows the help in the window's language, Ctrl+Q ends the event loop.
TEST_F(WindowTest, ShortcutsRunTheirCommands) {
  Paste("40N 10W");
  const int sector = ShowPage(kSectorPage);
  QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_THAT(Files(), ElementsAre(kSector));
  answer = 0;
  Control(sector, sector_page::kLeg)->setFocus();
  QTest::keyClick(Control(sector, sector_page::kLeg), Qt::Key_Return);
  EXPECT_EQ(questions.size(), 1u);
  QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
  EXPECT_THAT(Files(), ElementsAre("20121225143000 VS 0 briefing.pdf", kSector));
  Choose(mainPanel, kLanguageSelector, 2);
  QTest::keyClick(window, Qt::Key_F1);
  ASSERT_NE(win->helpDialog(), nullptr);
  EXPECT_TRUE(win->helpDialog()->isVisible());
  EXPECT_THAT(win->helpDialog()->findChild<QTextBrowser*>()->toPlainText().toStdString(),
              HasSubstr(win->texts().get(vestrand::Text::HelpKeys)));
  QTimer::singleShot(0, window,
                     [this] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier); });
  EXPECT_EQ(RunUserInterface(), 0);
}

// A layout beside the program may allow more legs than the window's 1000; the field stops at
// 1000, so that the preview shows what the command writes.
TEST_F(WindowTest, CountsStopWhereThePreviewDoes) {
  QFile builtIn(":/Vestrand.uir");
  ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
  QString layout = QString::fromUtf8(builtIn.readAll());
  ASSERT_EQ(layout.count("<number>1000</number>"), 2);
  std::ofstream("Vestrand.uir")
      << layout.replace("<number>1000</number>", "<number>5000</number>").toStdString();
  Close();
  Open();
  std::filesystem::remove("Vestrand.uir");
  Paste("40N 10W");
  const int square = ShowPage(kSquarePage);
  EXPECT_EQ(Control<QSpinBox>(square, square_page::kCount)->maximum(), 1000);
  Type(square, square_page::kSpacing, "0.1");
  SetCtrlVal(square, square_page::kCount, 1500);
  Press(square, square_page::kCommand);
  const std::string gpx = ReadBytes("20121225143000 SS 0.gpx");
  std::size_t points = 0;
  for (std::size_t at = gpx.find("<rtept"); at != std::string::npos;
       at = gpx.find("<rtept", at + 1)) {
    ++points;
  }
  ASSERT_EQ(planView->preview()->figure().routes.size(), 1u)
      << planView->preview()->message().toStdString();
  EXPECT_EQ(points, planView->preview()->figure().routes.at(0).sailedPoints);
  EXPECT_EQ(points, 2u * 1000u + 2u);
}

}  // namespace
}  // namespace gui_test
