// Panels from layout files: load failures and their reasons, callbacks bound by name, tab pages
// as panels, labels and values of controls, and the layout's own texts.
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <utility>

#include "About.h"
#include "SAR.idiomas.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class LayoutFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
  }
  void TearDown() override { QDir::setCurrent(previous); }

  static void Write(const char* name, const std::string& text) { std::ofstream(name) << text; }

  static std::string Form(const std::string& body, const std::string& panelCallback = "") {
    std::string form =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ui version=\"4.0\">\n"
        "<widget class=\"QWidget\" name=\"form\">\n"
        "<property name=\"panel\" stdset=\"0\"><number>1</number></property>\n";
    if (!panelCallback.empty()) {
      form += "<property name=\"callback\" stdset=\"0\"><string>" + panelCallback +
              "</string></property>\n";
    }
    return form + body + "</widget>\n</ui>\n";
  }

  static std::string Button(int control, const std::string& callback) {
    return "<widget class=\"QPushButton\" name=\"b" + std::to_string(control) +
           "\"><property name=\"control\" stdset=\"0\"><number>" + std::to_string(control) +
           "</number></property><property name=\"callback\" stdset=\"0\"><string>" + callback +
           "</string></property></widget>\n";
  }

  QTemporaryDir dir;
  QString previous;
};

TEST_F(LayoutFileTest, MissingCallbackIsNamed) {
  Write("form.uir", Form(Button(2, "ESSP_CBK") + Button(3, "Nowhere_CBK")));
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("form.uir"));
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("Nowhere_CBK"));
}

TEST_F(LayoutFileTest, PanelCallbackMustBeInTheTable) {
  Write("form.uir", Form("", "Nowhere_CBK"));
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("Nowhere_CBK"));
  Write("form.uir", Form("", "ESSP_CBK"));
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("no panel callback"));
}

TEST_F(LayoutFileTest, XmlErrorNamesFileAndLine) {
  Write("form.uir", "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">\n<widget>\n</ui>\n");
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("form.uir:4:"));
}

TEST_F(LayoutFileTest, FormThatQtCannotLoadGivesItsReason) {
  Write("form.uir", "<?xml version=\"1.0\"?>\n<notaform/>\n");
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("form.uir: "));
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("<ui>"));
}

TEST_F(LayoutFileTest, MissingFileAndMissingPanel) {
  EXPECT_LT(LoadPanel(0, "absent.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("absent.uir"));
  Write("form.uir", Form(""));
  EXPECT_LT(LoadPanel(0, "form.uir", 7), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("no panel 7"));
}

TEST_F(LayoutFileTest, RepeatedControlNumberIsRefused) {
  Write("form.uir", Form(Button(2, "ESSP_CBK") + Button(2, "ESSP_CBK")));
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("control 2"));
}

// Forms that would overflow the stack inside Qt's loader or overwhelm the painting are refused
// before Qt sees them, with the bound they pass.
struct HostileLayout {
  const char* what;
  int count;
  const char* open;
  const char* close;
  const char* reason;
};

void PrintTo(const HostileLayout& c, std::ostream* out) {
  *out << c.what;
}

class HostileLayoutTest : public LayoutFileTest,
                          public ::testing::WithParamInterface<HostileLayout> {};

TEST_P(HostileLayoutTest, IsRefusedWithItsReason) {
  const HostileLayout& c = GetParam();
  std::string body;
  for (int i = 0; i < c.count; ++i) body += c.open;
  for (int i = 0; i < c.count; ++i) body += c.close;
  Write("form.uir", Form(body));
  EXPECT_LT(LoadPanel(0, "form.uir", 1), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("form.uir"));
  EXPECT_THAT(LastLoadPanelError(), HasSubstr(c.reason));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HostileLayoutTest,
    ::testing::Values(HostileLayout{"nested_widgets", 10000,
                                    "<widget class=\"QWidget\" name=\"w\">", "</widget>",
                                    ": nesting deeper than 64 elements"},
                      HostileLayout{"nested_layouts", 10000, "<layout class=\"QVBoxLayout\"><item>",
                                    "</item></layout>", ": nesting deeper than 64 elements"},
                      HostileLayout{"sibling_labels", 3000, "<widget class=\"QLabel\" name=\"l\"/>",
                                    "", ": more than 2000 widgets"},
                      HostileLayout{"huge_file", 100000, "<widget class=\"QWidget\" name=\"w\">",
                                    "</widget>", "form.uir: larger than 4 MiB"}),
    [](const auto& instance) { return std::string(instance.param.what); });

TEST_F(LayoutFileTest, LayoutBesideTheProgramOverridesTheBuiltInOne) {
  Write("Vestrand.uir", Form(Button(5, "ESSP_CBK")));
  const int panel = LoadPanel(0, "Vestrand.uir", 1);
  ASSERT_GT(panel, 0) << LastLoadPanelError();
  EXPECT_NE(cvirte_testing::ControlWidget(panel, 5), nullptr);
  EXPECT_EQ(cvirte_testing::ControlWidget(panel, kSearchTabs), nullptr);
  DiscardPanel(panel);
}

TEST_F(LayoutFileTest, SetValueRaisesNoEvent) {
  static int events = 0;
  static const CallbackEntry table[] = {
      {"Count_CBK", [](int, int, int, void*, int, int) { return ++events, 0; }, nullptr}};
  SetCallbackTable(table, 1);
  Write("form.uir", Form("<widget class=\"QSpinBox\" name=\"s\"><property name=\"control\" "
                         "stdset=\"0\"><number>2</number></property><property name=\"callback\" "
                         "stdset=\"0\"><string>Count_CBK</string></property></widget>\n"));
  const int panel = LoadPanel(0, "form.uir", 1);
  ASSERT_GT(panel, 0) << LastLoadPanelError();
  events = 0;
  EXPECT_EQ(SetCtrlVal(panel, 2, 7), 0);
  EXPECT_EQ(events, 0);
  int value = 0;
  GetCtrlVal(panel, 2, &value);
  EXPECT_EQ(value, 7);
  DiscardPanel(panel);
}

TEST_F(WindowTest, EveryCallbackOfTheLayoutIsBoundToItsFunction) {
  EXPECT_EQ(cvirte_testing::PanelCallback(mainPanel), &SAR_CBK);
  const std::pair<int, CtrlCallbackPtr> mainControls[] = {{kOutputFolderButton, OpenGPX_CBK},
                                                          {kLanguageSelector, LANGUAJE_RING_CBK}};
  for (const auto& [control, callback] : mainControls) {
    EXPECT_EQ(cvirte_testing::ControlCallback(mainPanel, control), callback) << control;
  }
  struct PageControl {
    int page;
    int control;
    CtrlCallbackPtr callback;
  };
  const PageControl pageControls[] = {
      {kStartPage, 2, LinkTarvolin_CBK},
      {kStartPage, 3, WIKIPEDIA_TARVOLIN_ENGLISH_CBK},
      {kStartPage, 4, WIKIPEDIA_TARVOLIN_SPANISH_CBK},
      {kSquarePage, 2, nSS_Change_CBK},
      {kSquarePage, 5, S_SS_Change_CBK},
      {kSquarePage, 6, ESSP_CBK},
      {kSectorPage, 4, SectorSearch_CBK},
      {kParallelPage, 7, ParallelSearch_CBK},
  };
  for (const PageControl& c : pageControls) {
    EXPECT_EQ(cvirte_testing::ControlCallback(Page(c.page), c.control), c.callback)
        << "page " << c.page << " control " << c.control;
  }
}

TEST_F(WindowTest, EveryNameInTheProgramTableIsAFunction) {
  for (std::size_t i = 0; i < vestrandCallbackCount; ++i) {
    const CallbackEntry& entry = vestrandCallbacks[i];
    EXPECT_NE(entry.control == nullptr, entry.panel == nullptr) << entry.name;
  }
}

// The links of the start page are reached with Tab and opened with Enter, Return or Space.
TEST_F(WindowTest, LinksOpenFromTheKeyboard) {
  ShowPage(kStartPage);
  const int page = Page(kStartPage);
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
    EXPECT_THAT(browserCalls, ElementsAre(link.address)) << "link " << link.control;
  }
}

TEST_F(WindowTest, TabPagesArePanelsOfTheirOwn) {
  int pages[4] = {};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(GetPanelHandleFromTabPage(mainPanel, kSearchTabs, i, &pages[i]), 0);
    EXPECT_GT(pages[i], 0);
    EXPECT_NE(pages[i], mainPanel);
    for (int j = 0; j < i; ++j) EXPECT_NE(pages[i], pages[j]);
  }
  EXPECT_LT(GetPanelHandleFromTabPage(mainPanel, kSearchTabs, 4, &pages[0]), 0);
  // Control 2 of the main panel and control 2 of each page are different widgets.
  EXPECT_NE(cvirte_testing::ControlWidget(mainPanel, 2),
            cvirte_testing::ControlWidget(pages[1], 2));
}

TEST_F(WindowTest, LabelsAreBuddiesButtonsAndGroupTitles) {
  const int square = Page(kSquarePage);
  ASSERT_EQ(SetCtrlAttribute(square, 2, ATTR_LABEL_TEXT, "Paires"), 0);
  bool found = false;
  for (QLabel* candidate : cvirte_testing::PanelWidget(square)->findChildren<QLabel*>()) {
    if (candidate->buddy() == cvirte_testing::ControlWidget(square, 2)) {
      EXPECT_EQ(candidate->text(), "Paires");
      found = true;
    }
  }
  EXPECT_TRUE(found);
  ASSERT_EQ(SetCtrlAttribute(square, 6, ATTR_LABEL_TEXT, "Écrire"), 0);
  EXPECT_EQ(Control<QPushButton>(square, 6)->text(), "Écrire");
  ASSERT_EQ(SetCtrlAttribute(mainPanel, kDatumGroup, ATTR_LABEL_TEXT, "Datum"), 0);
  EXPECT_EQ(Control<QGroupBox>(mainPanel, kDatumGroup)->title(), "Datum");
  ASSERT_EQ(SetTabPageAttribute(mainPanel, kSearchTabs, 2, ATTR_LABEL_TEXT, "Sektor"), 0);
  EXPECT_EQ(Control<QTabWidget>(mainPanel, kSearchTabs)->tabText(2), "Sektor");
}

// Texts may come from a language file in the current directory: never rich text or links.
constexpr char kMarkup[] = "<b>x</b> <a href=\"http://e\">y</a>";

TEST_F(WindowTest, LabelsShowTextsAsPlainText) {
  const int square = Page(kSquarePage);
  ASSERT_EQ(SetCtrlVal(mainPanel, kHeading, kMarkup), 0);
  ASSERT_EQ(SetCtrlAttribute(square, 2, ATTR_LABEL_TEXT, kMarkup), 0);
  EXPECT_EQ(Control<QLabel>(mainPanel, kHeading)->text(), kMarkup);
  int shown = 0;
  for (QLabel* label : window->findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    shown += label->text() == kMarkup;
  }
  EXPECT_EQ(shown, 2);
}

TEST_F(WindowTest, MessageDialogShowsPlainText) {
  cvirte_testing::SetMessagePresenter(nullptr);
  bool plain = false;
  // Runs inside the dialog's own event loop, once the dialog is shown.
  QTimer::singleShot(0, [&plain] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(top); box != nullptr && box->isVisible()) {
        plain = box->text() == kMarkup && box->textFormat() == Qt::PlainText;
        box->accept();
      }
    }
  });
  MessagePopup("Vestrand", kMarkup);
  EXPECT_TRUE(plain);
}

TEST_F(WindowTest, TextValuesAreCutToTheBuffer) {
  SetCtrlVal(mainPanel, kHeading, "0123456789");
  char small[5] = "";
  EXPECT_EQ(GetCtrlVal(mainPanel, kHeading, small), 0);
  EXPECT_STREQ(small, "0123");
  // Never in the middle of a character.
  SetCtrlVal(mainPanel, kHeading, "abc\xC3\xA9");
  EXPECT_EQ(GetCtrlVal(mainPanel, kHeading, small), 0);
  EXPECT_STREQ(small, "abc");
}

TEST_F(WindowTest, UnknownPanelsAndControlsFail) {
  double value = 0.0;
  EXPECT_LT(GetCtrlVal(9999, 2, &value), 0);
  EXPECT_LT(GetCtrlVal(mainPanel, 99, &value), 0);
  EXPECT_LT(SetCtrlVal(mainPanel, 99, 1.0), 0);
  EXPECT_LT(SetCtrlAttribute(mainPanel, 99, ATTR_LABEL_TEXT, "x"), 0);
}

// The texts the window shows before any language is chosen are the English file's, line by line.
TEST_F(WindowTest, LayoutTextsAreTheEnglishFile) {
  const int file = CVI_OpenFile("english.lrf", VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  ASSERT_GE(file, 0);
  std::string lines[20];
  for (std::string& line : lines) {
    char text[64] = "";
    ReadLine(file, text, 60);
    line = text;
  }
  CVI_CloseFile(file);

  auto labelOf = [](int panel, int control) -> std::string {
    QWidget* widget = cvirte_testing::ControlWidget(panel, control);
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title().toStdString();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text().toStdString();
    for (QLabel* l : cvirte_testing::PanelWidget(panel)->findChildren<QLabel*>()) {
      if (l->buddy() == widget) return l->text().toStdString();
    }
    return "(no label)";
  };
  auto* tabs = Control<QTabWidget>(mainPanel, kSearchTabs);
  const int square = Page(kSquarePage);
  const int sector = Page(kSectorPage);
  const int parallel = Page(kParallelPage);
  EXPECT_EQ(Text(mainPanel, kHeading), lines[0]);
  EXPECT_EQ(labelOf(mainPanel, kDatumGroup), lines[1]);
  EXPECT_EQ(tabs->tabText(0).toStdString(), lines[2]);
  EXPECT_EQ(tabs->tabText(1).toStdString(), lines[3]);
  EXPECT_EQ(Text(square, 8), lines[4]);
  EXPECT_EQ(labelOf(square, 2), lines[5]);
  EXPECT_EQ(labelOf(square, 3), lines[6]);
  EXPECT_EQ(labelOf(square, 5), lines[7]);
  EXPECT_EQ(labelOf(square, 6), lines[8]);
  EXPECT_EQ(tabs->tabText(2).toStdString(), lines[9]);
  EXPECT_EQ(Text(sector, 6), lines[10]);
  EXPECT_EQ(labelOf(sector, 2), lines[11]);
  EXPECT_EQ(labelOf(sector, 3), lines[12]);
  EXPECT_EQ(labelOf(sector, 4), lines[8]);
  EXPECT_EQ(tabs->tabText(3).toStdString(), lines[13]);
  EXPECT_EQ(Text(parallel, 9), lines[14]);
  EXPECT_EQ(labelOf(parallel, 2), lines[15]);
  EXPECT_EQ(labelOf(parallel, 3), lines[16]);
  EXPECT_EQ(labelOf(parallel, 4), lines[17]);
  EXPECT_EQ(labelOf(parallel, 5), lines[18]);
  EXPECT_EQ(labelOf(parallel, 6), lines[19]);
  EXPECT_EQ(labelOf(parallel, 7), lines[8]);
  EXPECT_EQ(labelOf(square, 4), "Extent (NM)");
}

}  // namespace
}  // namespace gui_test
