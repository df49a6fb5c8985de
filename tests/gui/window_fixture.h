// A fixture that opens the program's window, as main does (plan view included), in a temporary
// working directory, with the clock pinned to 2012-12-25 14:30:00 and the browser and message
// dialog captured, plus helpers that drive the real widgets with keys and mouse clicks.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Languaje.h"
#include "PlanView.h"
#include "Vestrand.h"
#include "cvirte.h"
#include "cvirte_testing.h"

namespace gui_test {

// Pages of the tab control.
inline constexpr int kStartPage = 0;
inline constexpr int kSquarePage = 1;
inline constexpr int kSectorPage = 2;
inline constexpr int kParallelPage = 3;

// What the captured browser and message dialog were asked to show.
inline std::vector<std::string> browserCalls;
inline std::vector<std::string> messages;

inline int CaptureBrowser(const char* address) {
  browserCalls.emplace_back(address);
  return 0;
}

inline void CaptureMessage(const char* title, const char* message) {
  messages.push_back(std::string(title) + "\n" + message);
}

inline std::tm ChristmasAfternoon() {
  std::tm t{};
  t.tm_year = 2012 - 1900, t.tm_mon = 11, t.tm_mday = 25, t.tm_hour = 14, t.tm_min = 30;
  return t;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Golden(const std::string& name) {
  return ReadBytes(std::string(VESTRAND_TEST_DATA) + "/" + name);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartInEnglish();
    ASSERT_TRUE(workDir.isValid());
    previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workDir.path()));
    browserCalls.clear();
    messages.clear();
    cvirte_testing::SetBrowserLauncher(CaptureBrowser);
    cvirte_testing::SetMessagePresenter(CaptureMessage);
    cvirte_testing::SetLocalTimeSource(ChristmasAfternoon);
    SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
    firstFocus = 1;
    mainPanel = LoadPanel(0, "Vestrand.uir", 1);
    ASSERT_GT(mainPanel, 0) << LastLoadPanelError();
    planView = InstallPlanView(mainPanel);
    ASSERT_NE(planView, nullptr);
    ASSERT_EQ(DisplayPanel(mainPanel), 0);
    window = cvirte_testing::PanelWidget(mainPanel);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }

  void TearDown() override {
    if (mainPanel > 0) DiscardPanel(mainPanel);
    mainPanel = 0;
    cvirte_testing::SetBrowserLauncher(nullptr);
    cvirte_testing::SetMessagePresenter(nullptr);
    cvirte_testing::SetLocalTimeSource(nullptr);
    QDir::setCurrent(previousDir);
    StartInEnglish();
  }

  // The window's texts are global: every test starts, and leaves, as a run does, before any
  // language file is read.
  static void StartInEnglish() {
    std::memset(lrfData, 0, sizeof lrfData);
    ResetLanguageExtras();
  }

  static int Page(int index) {
    int page = 0;
    GetPanelHandleFromTabPage(mainPanel, kSearchTabs, index, &page);
    return page;
  }

  template <typename Widget = QWidget>
  static Widget* Control(int panel, int control) {
    auto* widget = qobject_cast<Widget*>(cvirte_testing::ControlWidget(panel, control));
    EXPECT_NE(widget, nullptr) << "panel " << panel << " control " << control;
    return widget;
  }

  // Shows a page of the tab control and gives its panel.
  static int ShowPage(int index) {
    Control<QTabWidget>(mainPanel, kSearchTabs)->setCurrentIndex(index);
    return Page(index);
  }

  // Types over a numeric or text field as an operator would, and finishes with Return.
  static void Type(int panel, int control, const QString& text) {
    QWidget* field = Control(panel, control);
    if (field == nullptr) return;
    field->setFocus();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) spin->selectAll();
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }

  // Picks item `index` of a ring with the arrow keys, or the item whose value is `value`.
  static void Pick(int panel, int control, int index) {
    auto* ring = Control<QComboBox>(panel, control);
    if (ring == nullptr) return;
    ring->setFocus();
    QTest::keyClick(ring, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(ring, Qt::Key_Down);
    ASSERT_EQ(ring->currentIndex(), index);
  }
  static void Choose(int panel, int control, int value) {
    Pick(panel, control, Control<QComboBox>(panel, control)->findData(value));
  }

  static void Press(int panel, int control) {
    QWidget* button = Control(panel, control);
    if (button != nullptr) QTest::mouseClick(button, Qt::LeftButton);
  }

  // Enters a datum given as degrees, minutes, seconds and the hemisphere switches.
  static void EnterDatum(const char* latD, const char* latM, const char* latS, int north,
                         const char* lonD, const char* lonM, const char* lonS, int east) {
    Type(mainPanel, 2, latD);
    Type(mainPanel, 3, latM);
    Type(mainPanel, 4, latS);
    Choose(mainPanel, 5, north);
    Type(mainPanel, 6, lonD);
    Type(mainPanel, 7, lonM);
    Type(mainPanel, 8, lonS);
    Choose(mainPanel, 9, east);
  }

  // File names in the working directory, which is the current one.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const QString& name :
         QDir(workDir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
      names.push_back(name.toStdString());
    }
    return names;
  }

  static std::string Text(int panel, int control) {
    char text[256] = "";
    GetCtrlVal(panel, control, text);
    return text;
  }

  QTemporaryDir workDir;
  QString previousDir;
  QWidget* window = nullptr;
  PlanView* planView = nullptr;
};

}  // namespace gui_test
