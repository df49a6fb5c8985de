// The window in every language, its file choices and its refusals of a pattern past a pole,
// through the real widgets.
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <algorithm>
#include <map>
#include <set>

#include "texts.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

constexpr char kStem[] = "20121225143000";

// Words that every language writes alike: names, file formats, compass points, the languages'
// own names, the links' addresses.
const std::set<QString> kSameEverywhere = {
    "Datum",    "CSP",       "GPX",     "RTZ",      "N",       "S",       "E",
    "W",        "º",         "English", "Français", "Español", "Euskara", "Deutsch",
    "Tarvolin", "tarvolin",  "http",    "https",    "www",     "com",     "org",
    "wiki",     "wikipedia", "en",      "es",       "HH",      "MM",      "Vestrand"};

// Words that are the same in one language as in English.
const std::map<int, std::set<QString>> kSameInLanguage = {
    {1, {"Latitude", "Longitude"}}, {2, {"Sector"}}, {3, {}}, {4, {"Start", "Land"}}};

class WindowTextsTest : public WindowTest {
 protected:
  // Every text the window shows, by where it shows: each page once with its preview and summary,
  // the menus, help and About, and a refused write's status and message.
  std::map<std::string, QString> Visible() {
    std::map<std::string, QString> texts;
    win->showHelp();
    win->showAbout();
    // The status line is read below, after a refused write; the folder is a path, no text.
    const auto add = [&texts](const QObject* where, const char* what, const QString& text) {
      const QString name = where->objectName();
      if (text.isEmpty() || name == "statusLine" || name == "outputFolderPath") return;
      texts[name.toStdString() + "/" + what] = text;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
      add(w, "toolTip", w->toolTip());
      if (auto* label = qobject_cast<QLabel*>(w)) add(w, "text", label->text());
      if (auto* button = qobject_cast<QAbstractButton*>(w)) add(w, "text", button->text());
      if (auto* group = qobject_cast<QGroupBox*>(w)) add(w, "title", group->title());
      if (auto* line = qobject_cast<QLineEdit*>(w)) add(w, "placeholder", line->placeholderText());
      if (auto* browser = qobject_cast<QTextBrowser*>(w)) add(w, "text", browser->toPlainText());
      if (auto* dialog = qobject_cast<QDialog*>(w)) add(w, "title", dialog->windowTitle());
      if (auto* ring = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < ring->count(); ++i)
          add(w, ("item" + std::to_string(i)).c_str(), ring->itemText(i));
      }
      if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
          texts["tab" + std::to_string(i)] = tabs->tabText(i);
        }
      }
    }
    texts["window"] = window->windowTitle();
    for (QAction* action : window->actions()) add(action, "text", action->text());
    const QList<QAction*> menus = win->menuBar()->actions();
    for (qsizetype i = 0; i < menus.size(); ++i)
      texts["menu" + std::to_string(i)] = menus[i]->text();
    win->helpDialog()->close();
    win->aboutDialog()->close();
    Type(mainPanel, kSweepWidth, "1");
    for (int page = kStartPage; page <= kParallelPage; ++page) {
      ShowPage(page);
      texts["preview" + std::to_string(page)] = planView->preview()->message();
      const QStringList rows = QString::fromStdString(planView->summaryText()).split('\n');
      for (qsizetype i = 0; i < rows.size(); ++i) {
        texts["summary" + std::to_string(page) + "." + std::to_string(i)] = rows[i];
      }
    }
    messages.clear();
    Type(mainPanel, kDateField, "abc");
    Press(Page(kParallelPage), parallel_page::kCommand);
    texts["status"] = QString::fromStdString(Text(mainPanel, kStatusLine));
    texts["message"] = messages.empty() ? QString() : QString::fromStdString(messages.back());
    Type(mainPanel, kDateField, "2012/12/25");
    return texts;
  }

  // Whether a text reads the same in every language, or in `language`.
  static bool SameWords(const QString& text, int language) {
    static const QRegularExpression kWords("[^\\p{L}]+");
    for (const QString& word : text.split(kWords, Qt::SkipEmptyParts)) {
      if (!kSameEverywhere.contains(word) && !kSameInLanguage.at(language).contains(word)) {
        return false;
      }
    }
    return true;
  }
};

TEST_F(WindowTextsTest, NoTextOfAnyLanguageIsLeftInEnglish) {
  Paste("43 30N 3 45W");
  const std::map<std::string, QString> english = Visible();
  ASSERT_GT(english.size(), 100u);
  EXPECT_THAT(english.at("message").toStdString(), HasSubstr("date field holds 'abc'"));
  for (int language = 1; language <= 4; ++language) {
    Choose(mainPanel, kLanguageSelector, language);
    const std::map<std::string, QString> shown = Visible();
    for (const auto& [where, text] : english) {
      const auto found = shown.find(where);
      ASSERT_NE(found, shown.end()) << where;
      EXPECT_TRUE(found->second != text || SameWords(text, language))
          << "language " << language << ", " << where << ": " << text.toStdString();
    }
  }
  // The layout shows the English file's texts.
  Choose(mainPanel, kLanguageSelector, 0);
  const std::map<std::string, QString> again = Visible();
  for (const auto& [where, text] : english) {
    EXPECT_EQ(again.at(where).toStdString(), text.toStdString()) << where;
  }
}

// Only a committed choice switches the language, whatever else reaches the callbacks (the ring's
// and the languages' share the check); a relabelling before any file was read keeps English.
TEST_F(WindowTextsTest, OnlyACommitSwitchesTheLanguage) {
  const auto tab = [] {
    return Control<QTabWidget>(mainPanel, kSearchTabs)->tabText(1).toStdString();
  };
  const std::string english = tab();
  ChageMenuLanguaje(mainPanel);  // before any file: English, where blank tabs were shown once
  EXPECT_EQ(tab(), english);
  Control<QComboBox>(mainPanel, kLanguageSelector)->setCurrentIndex(2);  // no commit
  for (int event : {EVENT_VAL_CHANGED, EVENT_LEFT_CLICK, EVENT_GOT_FOCUS, EVENT_CLOSE}) {
    LANGUAJE_RING_CBK(mainPanel, kLanguageSelector, event, nullptr, 0, 0);
    FrenchCBK(mainPanel, kLanguageSelector, event, nullptr, 0, 0);
  }
  EXPECT_EQ(tab(), english);
  FrenchCBK(mainPanel, kLanguageSelector, EVENT_COMMIT, nullptr, 0, 0);
  EXPECT_NE(tab(), english);
}

// A short file from the current folder: each of the table's lines lands on its elements and no
// other, what it lacks shows in English, the status line says so, and its lines show as typed,
// markup and all.
TEST_F(WindowTextsTest, ShortFileFallsBackSaysSoAndShowsItsLinesAsTyped) {
  std::string lines;
  for (int i = 1; i <= nLanguajeResources; ++i) lines += "t" + std::to_string(i) + "\n";
  for (int i = 0; i < 71; ++i) lines += "x\n";
  lines += "<i>tip</i>\nx\nx\n<b>intro</b>\n";  // the date's tool tip and the start page's text
  std::ofstream("french.lrf") << lines;
  Choose(mainPanel, kLanguageSelector, 1);
  EXPECT_EQ(Text(mainPanel, kStatusLine), "french.lrf lacks " +
                                              std::to_string(vestrand::kTextLines - 95) +
                                              " lines; they show in English");
  const std::pair<const char*, int> elements[] = {{"heading/text", 1},
                                                  {"datumGroup/title", 2},
                                                  {"tab0", 3},
                                                  {"tab1", 4},
                                                  {"squareText/text", 5},
                                                  {"squareCountLabel/text", 6},
                                                  {"squareCourseLabel/text", 7},
                                                  {"squareSpacingLabel/text", 8},
                                                  {"squareCommand/text", 9},
                                                  {"tab2", 10},
                                                  {"sectorText/text", 11},
                                                  {"sectorCourseLabel/text", 12},
                                                  {"sectorLegLabel/text", 13},
                                                  {"sectorCommand/text", 9},
                                                  {"tab3", 14},
                                                  {"parallelText/text", 15},
                                                  {"parallelPatternLabel/text", 16},
                                                  {"parallelLoopsLabel/text", 17},
                                                  {"parallelCourseLabel/text", 18},
                                                  {"parallelSpacingLabel/text", 19},
                                                  {"parallelLegLabel/text", 20},
                                                  {"parallelCommand/text", 9}};
  const std::map<std::string, QString> shown = Visible();
  for (const auto& [where, line] : elements) {
    EXPECT_EQ(shown.at(where).toStdString(), "t" + std::to_string(line)) << where;
  }
  static const QRegularExpression kNumbered("^t[0-9]+$");
  EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                          [](const auto& text) { return kNumbered.match(text.second).hasMatch(); }),
            std::ssize(elements));
  auto* intro = window->findChild<QLabel*>("introText");
  EXPECT_EQ(intro->text(), "<b>intro</b>");
  EXPECT_EQ(intro->textFormat(), Qt::PlainText);
  EXPECT_EQ(window->findChild<QWidget*>("dateField")->toolTip(), "<p>&lt;i&gt;tip&lt;/i&gt;</p>");
  EXPECT_EQ(window->findChild<QAbstractButton*>("tarvolinLink")->text(), "Tarvolin home page");
}

// The format and the points per route decide the files; the summary warns of a route too long for
// a plotter only while routes are written whole.
TEST_F(WindowTextsTest, FormatAndPointsPerRouteChooseTheFiles) {
  Paste("40N 10W");
  const int square = ShowPage(kSquarePage);
  Type(square, square_page::kCount, "130");  // 261 points
  const auto warned = [this] {
    return planView->summaryText().find("Warning\t") != std::string::npos;
  };
  EXPECT_TRUE(warned());
  Pick(mainPanel, kFormatChoice, 2);
  Pick(mainPanel, kMaxPointsChoice, 1);
  EXPECT_FALSE(warned());
  Press(square, square_page::kCommand);
  const std::string stem = kStem;
  EXPECT_THAT(Files(), UnorderedElementsAre(stem + " SS 0.gpx", stem + " - SS 0.0 (1 of 2).rtz",
                                            stem + " - SS 0.0 (2 of 2).rtz"));
  EXPECT_THAT(Text(mainPanel, kStatusLine), HasSubstr("Written: " + stem + " SS 0.gpx, "));
  Pick(mainPanel, kFormatChoice, 1);
  Pick(mainPanel, kMaxPointsChoice, 0);
  Press(ShowPage(kSectorPage), sector_page::kCommand);
  EXPECT_EQ(Files().size(), 4u);
  EXPECT_EQ(Text(mainPanel, kStatusLine), "Written: " + stem + " - VS 0.0.rtz");
  const int parallel = ShowPage(kParallelPage);
  Type(parallel, parallel_page::kLoops, "1000");  // two routes of 4001 points
  Press(parallel, parallel_page::kCommand);
  EXPECT_THAT(Text(mainPanel, kStatusLine),
              HasSubstr("PS-right 0.0.rtz is larger than 400 KB; some ECDIS units refuse it"));
}

// A pattern past a pole is neither drawn nor written; the preview and the message say why. A datum
// whose minutes carry it past the pole is refused too, naming the field: it once wrote lat 91.
TEST_F(WindowTextsTest, PatternOrDatumPastAPoleIsRefusedAndThePreviewSaysWhy) {
  Paste("89 59N 0E");
  const int sector = ShowPage(kSectorPage);
  Type(sector, sector_page::kLeg, "500");
  EXPECT_TRUE(planView->preview()->drawing().routes.empty());
  EXPECT_THAT(planView->preview()->message().toStdString(), HasSubstr("beyond a pole"));
  Press(sector, sector_page::kCommand);
  EXPECT_THAT(Files(), IsEmpty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr("The pattern would reach latitudes"));
  Type(sector, sector_page::kLeg, "1");
  Type(mainPanel, kLatitudeDegrees, "90");
  Type(mainPanel, kLatitudeDegrees + 1, "59.999");
  Press(sector, sector_page::kCommand);
  EXPECT_THAT(Files(), IsEmpty());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_THAT(messages[1],
              HasSubstr("Latitude: the datum's fields give 90.999983 degrees, beyond 90"));
}

// Near a pole a leg steered east for 1000 miles spans more than half the globe: a plotter would
// steer it west. The window refuses it as the command line does, in the window's words.
TEST_F(WindowTextsTest, LegWiderThanHalfTheGlobeIsRefused) {
  Paste("85N 0E");
  const int parallel = ShowPage(kParallelPage);
  Type(parallel, parallel_page::kCourse, "90");
  Type(parallel, parallel_page::kLeg, "1000");
  Type(parallel, parallel_page::kLoops, "1");
  EXPECT_TRUE(planView->preview()->drawing().routes.empty());
  EXPECT_THAT(planView->preview()->message().toStdString(),
              HasSubstr("A leg would span 192.19° of longitude"));
  Press(parallel, parallel_page::kCommand);
  EXPECT_THAT(Files(), IsEmpty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr("more than half round the globe"));
}

}  // namespace
}  // namespace gui_test
