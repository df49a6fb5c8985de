// Pictures of the window at 1366 x 768 with each page's pattern drawn, for anyone to look at and
// for the README; run by `make screenshots`, not by CTest. Writes PNG files into the folder given
// (default: screenshots). The window keeps its settings in a scratch folder, never the user's, and
// writes no file: the output folder it shows is the default one, the user's documents folder. The
// clock reads the worked example's time, 2012/12/25 14:30:00, so that the pictures name its files.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>

#include "MainPanel.h"
#include "Vestrand.h"
#include "Window.h"
#include "cvirte.h"
#include "cvirte_testing.h"

namespace {

int Page(int index) {
  int page = 0;
  GetPanelHandleFromTabPage(mainPanel, kSearchTabs, index, &page);
  return page;
}

void ShowPage(int index) {
  qobject_cast<QTabWidget*>(cvirte_testing::ControlWidget(mainPanel, kSearchTabs))
      ->setCurrentIndex(index);
}

// Types over a field as an operator would, so that the plan view follows.
void Type(int panel, int control, const char* text) {
  QWidget* field = cvirte_testing::ControlWidget(panel, control);
  field->setFocus();
  if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) spin->selectAll();
  if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
  QTest::keyClicks(field, text);
  QTest::keyClick(field, Qt::Key_Tab);
}

void Choose(int panel, int control, int value) {
  auto* ring = qobject_cast<QComboBox*>(cvirte_testing::ControlWidget(panel, control));
  ring->setFocus();
  QTest::keyClick(ring, Qt::Key_Home);
  while (ring->currentData().toInt() != value && ring->currentIndex() + 1 < ring->count()) {
    QTest::keyClick(ring, Qt::Key_Down);
  }
}

std::tm ChristmasAfternoon() {
  std::tm t{};
  t.tm_year = 2012 - 1900, t.tm_mon = 11, t.tm_mday = 25, t.tm_hour = 14, t.tm_min = 30;
  return t;
}

bool Keep(QWidget* window, const QDir& folder, const char* name) {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  const bool saved = window->grab().save(folder.filePath(name));
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(folder.filePath(name)));
  return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
  const QDir folder(QString::fromLocal8Bit(argc > 1 ? argv[1] : "screenshots"));
  QTemporaryDir work;
  if (!QDir().mkpath(folder.absolutePath()) || !work.isValid()) return 2;
  const QDir output(folder.absolutePath());
  QDir::setCurrent(work.path());
  SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
  cvirte_testing::SetLocalTimeSource(ChristmasAfternoon);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) return 2;
  mainPanel = LoadPanel(0, "Vestrand.uir", 1);
  if (mainPanel < 0) {
    std::fprintf(stderr, "screenshots: %s\n", LastLoadPanelError());
    return 2;
  }
  Window* vestrand = Window::install(mainPanel, {work.filePath("vestrand.ini").toStdString()});
  if (vestrand == nullptr) return 2;
  DisplayPanel(mainPanel);
  QWidget* window = cvirte_testing::PanelWidget(mainPanel);
  window->resize(1366, 768);
  if (!QTest::qWaitForWindowExposed(window)) return 2;

  SetDatum(mainPanel, 43.5, -3.75);
  bool ok = Keep(window, output, "plan-page0-start.png");
  ShowPage(kSquarePage);
  Type(Page(kSquarePage), square_page::kCount, "4");
  ok &= Keep(window, output, "plan-page1-expanding-square.png");
  ShowPage(kSectorPage);
  Type(Page(kSectorPage), sector_page::kCourse, "30");
  Type(Page(kSectorPage), sector_page::kLeg, "2");
  ok &= Keep(window, output, "plan-page2-sector.png");
  ShowPage(kParallelPage);
  Choose(Page(kParallelPage), parallel_page::kPattern, 1);
  Type(Page(kParallelPage), parallel_page::kLoops, "3");
  ok &= Keep(window, output, "plan-page3-parallel-sweep.png");
  Choose(Page(kParallelPage), parallel_page::kPattern, 4);
  ok &= Keep(window, output, "plan-page3-creeping-line.png");
  Type(Page(kParallelPage), parallel_page::kLoops, "1000");
  ok &= Keep(window, output, "plan-page3-thousand-loops.png");

  // The sector searched where the people in the water will have drifted to, in every language.
  for (const auto& [control, text] : {std::pair{kLastKnownPosition, "43 30.0 N 3 45.0 W"},
                                      {kDriftHours, "3"},
                                      {kCurrentSet, "90"},
                                      {kCurrentDrift, "1.2"},
                                      {kLeewayToward, "45"},
                                      {kLeewaySpeed, "0.5"}}) {
    Type(mainPanel, control, text);
  }
  QTest::mouseClick(cvirte_testing::ControlWidget(mainPanel, kApplyDriftButton), Qt::LeftButton);
  Type(mainPanel, kSweepWidth, "1.5");
  ShowPage(kSectorPage);
  ok &= Keep(window, output, "plan-drift-applied.png");
  const char* const languages[] = {"english", "french", "spanish", "euskera", "deutsch"};
  for (int language = 4; language >= 0; --language) {
    Choose(mainPanel, kLanguageSelector, language);
    const std::string name = std::string("window-") + languages[language] + ".png";
    ok &= Keep(window, output, name.c_str());
  }
  DiscardPanel(mainPanel);
  return ok ? 0 : 1;
}
