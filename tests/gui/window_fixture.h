// A fixture that opens the program's window, as main does, in a scratch folder that is both the
// working directory and the output folder, with its own settings file, the clock pinned to
// 2012-12-25 14:30:00 and the browser, message, question and folder dialogs captured, plus
// helpers that drive the real widgets with keys and mouse clicks.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
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

#include "../scratch_dir.h"
#include "DatumEntry.h"
#include "Languaje.h"
#include "MainPanel.h"
#include "PlanView.h"
#include "Vestrand.h"
#include "Window.h"
#include "cvirte.h"
#include "cvirte_testing.h"

namespace gui_test {

// What the captured browser, message and question dialogs were asked to show, and the answer the
// question gets (1 replace, 0 keep).
inline std::vector<std::string> browserCalls;
inline std::vector<std::string> messages;
inline std::vector<std::string> questions;
inline int answer = 1;

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
    browserCalls.clear();
    messages.clear();
    questions.clear();
    answer = 1;
    cvirte_testing::SetBrowserLauncher([](const char* address) {
      browserCalls.emplace_back(address);
      return 0;
    });
    cvirte_testing::SetMessagePresenter([](const char* title, const char* message) {
      messages.push_back(std::string(title) + "\n" + message);
    });
    cvirte_testing::SetQuestionPresenter([](const char* title, const char* message) {
      questions.push_back(std::string(title) + "\n" + message);
      return answer;
    });
    cvirte_testing::SetLocalTimeSource(ChristmasAfternoon);
    ASSERT_TRUE(settingsDir.isValid());
    QSettings(SettingsFile(), QSettings::IniFormat)
        .setValue("outputFolder", QString::fromStdString(workDir.path().string()));
    Open();
  }

  void TearDown() override {
    Close();
    cvirte_testing::SetBrowserLauncher(nullptr);
    cvirte_testing::SetMessagePresenter(nullptr);
    cvirte_testing::SetQuestionPresenter(nullptr);
    cvirte_testing::SetLocalTimeSource(nullptr);
  }

  // Opens the window as a run does: the historical table empty, the clock's first focus to come.
  void Open() {
    std::memset(lrfData, 0, sizeof lrfData);
    SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
    firstFocus = 1;
    mainPanel = LoadPanel(0, "Vestrand.uir", 1);
    ASSERT_GT(mainPanel, 0) << LastLoadPanelError();
    win = Window::install(mainPanel, {SettingsFile().toStdString()});
    ASSERT_NE(win, nullptr);
    planView = win->planView();
    ASSERT_NE(planView, nullptr);
    ASSERT_EQ(DisplayPanel(mainPanel), 0);
    window = cvirte_testing::PanelWidget(mainPanel);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }

  void Close() {
    if (mainPanel > 0) DiscardPanel(mainPanel);
    mainPanel = 0;
    win = nullptr;
    planView = nullptr;
    window = nullptr;
  }

  QString SettingsFile() const { return settingsDir.filePath("vestrand.ini"); }

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

  // Types over a numeric or text field as an operator would, and leaves it with Tab (Return in a
  // search page would run its command).
  static void Type(int panel, int control, const QString& text) {
    QWidget* field = Control(panel, control);
    if (field == nullptr) return;
    field->setFocus();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) spin->selectAll();
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
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

  // File names in the working directory, which is the output folder.
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
  QTemporaryDir settingsDir;
  QWidget* window = nullptr;
  Window* win = nullptr;
  PlanView* planView = nullptr;
};

}  // namespace gui_test
