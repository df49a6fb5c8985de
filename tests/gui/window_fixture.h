// A fixture that opens the program's window, as main does (plan view included), in a scratch
// folder as the working directory, with the clock pinned to 2012-12-25 14:30:00 and the browser and
// message dialog captured, plus helpers that drive the real widgets with keys and mouse clicks.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../scratch_dir.h"
#include "DatumEntry.h"
#include "Languaje.h"
#include "PlanAids.h"
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
    StartAsARunDoes();
    browserCalls.clear();
    messages.clear();
    cvirte_testing::SetBrowserLauncher([](const char* address) {
      browserCalls.emplace_back(address);
      return 0;
    });
    cvirte_testing::SetMessagePresenter([](const char* title, const char* message) {
      messages.push_back(std::string(title) + "\n" + message);
    });
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
    StartAsARunDoes();
  }

  // The window's texts and the drift applied are global: every test starts, and leaves, as a run
  // does, before any language file is read or drift applied.
  static void StartAsARunDoes() {
    std::memset(lrfData, 0, sizeof lrfData);
    ResetLanguageExtras();
    ForgetDrift();
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

  // Pastes a position into the position field as an operator would, then presses Enter.
  static void Paste(const std::string& position) {
    auto* field = Control<QLineEdit>(mainPanel, kPositionField);
    QApplication::clipboard()->setText(QString::fromStdString(position));
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Return);
  }

  // Whether a field is marked as holding a text not understood.
  static bool Marked(int control) {
    return Control(mainPanel, control)->property(kNotUnderstoodProperty).toBool();
  }

  // Last known position, hours, current set and drift, leeway toward and speed.
  static void EnterDrift(const char* (&&fields)[6]) {
    for (int i = 0; i < 6; ++i) {
      Control<QLineEdit>(mainPanel, kLastKnownPosition + i)->setText(fields[i]);
    }
    Press(mainPanel, kApplyDriftButton);
  }

  // File names in the working directory.
  static std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const QString& name : QDir().entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
      names.push_back(name.toStdString());
    }
    return names;
  }

  static std::string Text(int panel, int control) {
    char text[256] = "";
    GetCtrlVal(panel, control, text);
    return text;
  }

  vestrand::testing::ScratchDir workDir;
  QWidget* window = nullptr;
  PlanView* planView = nullptr;
};

}  // namespace gui_test
