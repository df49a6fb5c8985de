// The language choice through the program's real window, its layout loaded from a scratch folder,
// the selector driven with the keyboard. This program carries no built-in copies of the layout or
// the language files, so a language file missing from the scratch folder is really missing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <QtGlobal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Languaje.h"
#include "SAR.idiomas.h"
#include "Vestrand.h"
#include "cvirte.h"
#include "cvirte_testing.h"
#include "language_test_support.h"

namespace {

using vestrand::testing::readBytes;
using vestrand::testing::ScratchDir;
using vestrand::testing::splitLines;
using vestrand::testing::writeBytes;

const std::filesystem::path kResources = VESTRAND_RESOURCES;
const char* const kFiles[] = {"english.lrf", "french.lrf", "spanish.lrf", "euskera.lrf",
                              "deutsch.lrf"};

// The twenty-two relabelled elements, in the order of the relabelling.
enum class Kind { kValue, kLabel, kTab };
struct Element {
  int page;  // -1 main panel
  int control;
  Kind kind;
  int line;  // 1-based line of the language file
};
constexpr Element kElements[] = {
    {-1, 18, Kind::kValue, 1}, {-1, 10, Kind::kLabel, 2}, {0, 0, Kind::kTab, 3},
    {1, 0, Kind::kTab, 4},     {1, 8, Kind::kValue, 5},   {1, 2, Kind::kLabel, 6},
    {1, 3, Kind::kLabel, 7},   {1, 5, Kind::kLabel, 8},   {1, 6, Kind::kLabel, 9},
    {2, 0, Kind::kTab, 10},    {2, 6, Kind::kValue, 11},  {2, 2, Kind::kLabel, 12},
    {2, 3, Kind::kLabel, 13},  {2, 4, Kind::kLabel, 9},   {3, 0, Kind::kTab, 14},
    {3, 9, Kind::kValue, 15},  {3, 2, Kind::kLabel, 16},  {3, 3, Kind::kLabel, 17},
    {3, 4, Kind::kLabel, 18},  {3, 5, Kind::kLabel, 19},  {3, 6, Kind::kLabel, 20},
    {3, 7, Kind::kLabel, 9},
};

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

// A control's buddy label, a button's text or a group's title.
std::string LabelOf(int panel, int control) {
  QWidget* widget = cvirte_testing::ControlWidget(panel, control);
  if (widget == nullptr) return "(no control)";
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return Utf8(group->title());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return Utf8(button->text());
  for (QLabel* label : cvirte_testing::PanelWidget(panel)->findChildren<QLabel*>()) {
    if (label->buddy() == widget) return Utf8(label->text());
  }
  return "(no label)";
}

std::string ValueOf(int panel, int control) {
  auto* label = qobject_cast<QLabel*>(cvirte_testing::ControlWidget(panel, control));
  return label == nullptr ? "(no text)" : Utf8(label->text());
}

class LanguageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The table is global: start every test as a fresh run does, before any choice.
    std::memset(lrfData, 0, sizeof lrfData);
    std::filesystem::copy_file(kResources / "Vestrand.uir", dir_.path() / "Vestrand.uir");
    SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
    firstFocus = 1;
    mainPanel = LoadPanel(0, "Vestrand.uir", 1);
    ASSERT_GT(mainPanel, 0) << LastLoadPanelError();
    ASSERT_EQ(DisplayPanel(mainPanel), 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cvirte_testing::PanelWidget(mainPanel)));
    selector_ = qobject_cast<QComboBox*>(cvirte_testing::ControlWidget(mainPanel, 19));
    ASSERT_NE(selector_, nullptr);
    tabs_ = qobject_cast<QTabWidget*>(cvirte_testing::ControlWidget(mainPanel, 16));
    ASSERT_NE(tabs_, nullptr);
  }

  void TearDown() override {
    if (mainPanel > 0) DiscardPanel(mainPanel);
    mainPanel = 0;
  }

  void Provide(const char* file) {
    std::filesystem::copy_file(kResources / file, dir_.path() / file);
  }

  // The texts of the twenty-two elements, in the order of the relabelling.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const Element& e : kElements) {
      int panel = mainPanel;
      if (e.page >= 0) GetPanelHandleFromTabPage(mainPanel, 16, e.page, &panel);
      texts.push_back(e.kind == Kind::kTab     ? Utf8(tabs_->tabText(e.page))
                      : e.kind == Kind::kLabel ? LabelOf(panel, e.control)
                                               : ValueOf(panel, e.control));
    }
    return texts;
  }

  // What the twenty-two elements show after a file with these lines was chosen.
  static std::vector<std::string> Expected(const std::vector<std::string>& lines) {
    std::vector<std::string> texts;
    for (const Element& e : kElements)
      texts.push_back(lines.at(static_cast<std::size_t>(e.line - 1)));
    return texts;
  }

  // One arrow key on the selector: the value changes and the choice is committed.
  void Step(Qt::Key key) {
    selector_->setFocus();
    QTest::keyClick(selector_, key);
  }

  // Chooses the language of `value` with the keyboard from wherever the selector stands.
  void Choose(int value) {
    const int index = selector_->findData(value);
    ASSERT_GE(index, 0) << "no item of value " << value;
    if (selector_->currentIndex() == index) Step(index == 0 ? Qt::Key_Down : Qt::Key_Up);
    while (selector_->currentIndex() < index) Step(Qt::Key_Down);
    while (selector_->currentIndex() > index) Step(Qt::Key_Up);
    ASSERT_EQ(selector_->currentIndex(), index);
  }

  ScratchDir dir_;
  QComboBox* selector_ = nullptr;
  QTabWidget* tabs_ = nullptr;
};

// Which entry lands on which element; the texts that are not relabelled stay.
TEST_F(LanguageWindowTest, NumberedFileLabelsEveryElementFromItsLine) {
  int square = 0;
  GetPanelHandleFromTabPage(mainPanel, 16, 1, &square);
  const std::string untouched[] = {LabelOf(square, 4), LabelOf(mainPanel, 2),
                                   Utf8(cvirte_testing::PanelWidget(mainPanel)->windowTitle())};
  std::string numbered;
  std::vector<std::string> lines;
  for (int i = 1; i <= 20; ++i) {
    lines.push_back("t" + std::to_string(i));
    numbered += lines.back() + "\n";
  }
  writeBytes(dir_.path() / "spanish.lrf", numbered);
  Choose(2);
  EXPECT_EQ(Shown(), Expected(lines));
  EXPECT_EQ(LabelOf(square, 4), untouched[0]);
  EXPECT_EQ(LabelOf(mainPanel, 2), untouched[1]);
  EXPECT_EQ(Utf8(cvirte_testing::PanelWidget(mainPanel)->windowTitle()), untouched[2]);
}

// Before any choice the layout shows the English file's texts.
TEST_F(LanguageWindowTest, LayoutShowsTheEnglishFileBeforeAnyChoice) {
  EXPECT_EQ(Shown(), Expected(splitLines(readBytes(kResources / "english.lrf"))));
}

// Only a committed choice switches the language, whatever else reaches the callbacks.
TEST_F(LanguageWindowTest, OnlyACommitSwitchesTheLanguage) {
  for (const char* file : kFiles) Provide(file);
  const std::vector<std::string> before = Shown();
  selector_->setCurrentIndex(selector_->findData(2));  // value changed, no commit
  EXPECT_EQ(Shown(), before);
  for (int event : {EVENT_VAL_CHANGED, EVENT_LEFT_CLICK, EVENT_GOT_FOCUS, EVENT_CLOSE}) {
    for (CtrlCallbackPtr callback : {EnglishCBK, FrenchCBK, SpanishCBK, EuskeraCBK, DeutschCBK}) {
      EXPECT_EQ(callback(mainPanel, 19, event, nullptr, 0, 0), 0);
    }
    EXPECT_EQ(LANGUAJE_RING_CBK(mainPanel, 19, event, nullptr, 0, 0), 0);
  }
  EXPECT_EQ(Shown(), before);
  Step(Qt::Key_Down);  // Euskara, committed
  EXPECT_EQ(Shown(), Expected(splitLines(readBytes(kResources / "euskera.lrf"))));
  EXPECT_EQ(FrenchCBK(mainPanel, 19, EVENT_COMMIT, nullptr, 0, 0), 0);
  EXPECT_EQ(Shown(), Expected(splitLines(readBytes(kResources / "french.lrf"))));
}

// A file that does not open changes nothing the window shows: the layout's English at first, the
// language chosen before later.
TEST_F(LanguageWindowTest, MissingFileKeepsWhatTheWindowShows) {
  ASSERT_FALSE(std::filesystem::exists(dir_.path() / "deutsch.lrf"));
  Choose(4);
  EXPECT_EQ(Shown(), Expected(splitLines(readBytes(kResources / "english.lrf"))));
  Provide("french.lrf");
  Choose(1);
  const std::vector<std::string> french = Shown();
  ASSERT_EQ(french, Expected(splitLines(readBytes(kResources / "french.lrf"))));
  Choose(2);  // no spanish.lrf here
  EXPECT_EQ(Shown(), french);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Test discovery runs this program outside CTest's environment too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) return 1;
  return RUN_ALL_TESTS();
}
