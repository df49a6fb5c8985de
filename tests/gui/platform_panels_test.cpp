// Panels from layout files: load failures and their reasons, tab pages as panels, labels and
// values of controls.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;

std::string Form(const std::string& body, const std::string& panelCallback = "") {
  std::string form =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">\n"
      "<widget class=\"QWidget\" name=\"form\">\n"
      "<property name=\"panel\" stdset=\"0\"><number>1</number></property>\n";
  if (!panelCallback.empty()) {
    form += "<property name=\"callback\" stdset=\"0\"><string>" + panelCallback +
            "</string></property>\n";
  }
  return form + body + "</widget>\n</ui>\n";
}

std::string ControlXml(const char* kind, int control, const std::string& callback) {
  return std::string("<widget class=\"") + kind + "\" name=\"c" + std::to_string(control) +
         "\"><property name=\"control\" stdset=\"0\"><number>" + std::to_string(control) +
         "</number></property><property name=\"callback\" stdset=\"0\"><string>" + callback +
         "</string></property></widget>\n";
}

std::string Repeat(int count, const std::string& open, const std::string& close) {
  std::string body;
  for (int i = 0; i < count; ++i) body += open;
  for (int i = 0; i < count; ++i) body += close;
  return body;
}

class LayoutFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
  }
  void TearDown() override { QDir::setCurrent(previous); }

  QTemporaryDir dir;
  QString previous;
};

// Every refusal names the file and its reason. Forms that would overflow the stack inside Qt's
// loader or overwhelm the painting are refused before Qt sees them.
struct BadLayout {
  const char* what;
  std::string file;  // empty: no file at all
  int panel;
  std::vector<std::string> reasons;
};

void PrintTo(const BadLayout& c, std::ostream* out) {
  *out << c.what;
}

class BadLayoutTest : public LayoutFileTest, public ::testing::WithParamInterface<BadLayout> {};

TEST_P(BadLayoutTest, IsRefusedWithItsReason) {
  const BadLayout& c = GetParam();
  if (!c.file.empty()) std::ofstream("form.uir") << c.file;
  EXPECT_LT(LoadPanel(0, "form.uir", c.panel), 0);
  EXPECT_THAT(LastLoadPanelError(), HasSubstr("form.uir"));
  for (const std::string& reason : c.reasons) EXPECT_THAT(LastLoadPanelError(), HasSubstr(reason));
}

const std::string kWidget = "<widget class=\"QWidget\" name=\"w\">";

INSTANTIATE_TEST_SUITE_P(
    Forms, BadLayoutTest,
    ::testing::Values(
        BadLayout{"missing_file", "", 1, {}},
        BadLayout{"missing_panel", Form(""), 7, {"no panel 7"}},
        BadLayout{"unknown_callback",
                  Form(ControlXml("QPushButton", 2, "ESSP_CBK") +
                       ControlXml("QPushButton", 3, "Nowhere_CBK")),
                  1,
                  {"Nowhere_CBK"}},
        BadLayout{"unknown_panel_callback", Form("", "Nowhere_CBK"), 1, {"Nowhere_CBK"}},
        BadLayout{"control_callback_on_the_panel", Form("", "ESSP_CBK"), 1, {"no panel callback"}},
        BadLayout{"repeated_control",
                  Form(ControlXml("QPushButton", 2, "ESSP_CBK") +
                       ControlXml("QPushButton", 2, "ESSP_CBK")),
                  1,
                  {"control 2"}},
        BadLayout{"xml_error",
                  "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">\n<widget>\n</ui>\n",
                  1,
                  {"form.uir:4:"}},
        BadLayout{
            "not_a_form", "<?xml version=\"1.0\"?>\n<notaform/>\n", 1, {"form.uir: ", "<ui>"}},
        BadLayout{"nested_widgets",
                  Form(Repeat(10000, kWidget, "</widget>")),
                  1,
                  {": nesting deeper than 64 elements"}},
        BadLayout{"nested_layouts",
                  Form(Repeat(10000, "<layout class=\"QVBoxLayout\"><item>", "</item></layout>")),
                  1,
                  {": nesting deeper than 64 elements"}},
        BadLayout{"sibling_labels",
                  Form(Repeat(3000, "<widget class=\"QLabel\" name=\"l\"/>", "")),
                  1,
                  {": more than 2000 widgets"}},
        BadLayout{"huge_file",
                  Form(Repeat(100000, kWidget, "</widget>")),
                  1,
                  {"form.uir: larger than 4 MiB"}}),
    [](const auto& instance) { return std::string(instance.param.what); });

TEST_F(LayoutFileTest, SetValueRaisesNoEvent) {
  static int events = 0;
  static const CallbackEntry table[] = {
      {"Count_CBK", [](int, int, int, void*, int, int) { return ++events, 0; }, nullptr}};
  SetCallbackTable(table, 1);
  std::ofstream("form.uir") << Form(ControlXml("QSpinBox", 2, "Count_CBK"));
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

TEST_F(WindowTest, TabPagesArePanelsOfTheirOwnAndUnknownOnesFail) {
  int pages[4] = {};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(GetPanelHandleFromTabPage(mainPanel, kSearchTabs, i, &pages[i]), 0);
    EXPECT_GT(pages[i], 0);
    EXPECT_NE(pages[i], mainPanel);
    for (int j = 0; j < i; ++j) EXPECT_NE(pages[i], pages[j]);
  }
  EXPECT_LT(GetPanelHandleFromTabPage(mainPanel, kSearchTabs, 4, &pages[0]), 0);
  // Control 2 of the main panel and control 2 of a page are different widgets.
  EXPECT_NE(cvirte_testing::ControlWidget(mainPanel, 2),
            cvirte_testing::ControlWidget(pages[1], 2));
  double value = 0.0;
  EXPECT_LT(GetCtrlVal(9999, 2, &value), 0);
  EXPECT_LT(GetCtrlVal(mainPanel, 99, &value), 0);
  EXPECT_LT(SetCtrlVal(mainPanel, 99, 1.0), 0);
  EXPECT_LT(SetCtrlAttribute(mainPanel, 99, ATTR_LABEL_TEXT, "x"), 0);
}

// Texts may come from a language file in the current directory: never rich text or links.
constexpr char kMarkup[] = "<b>x</b> <a href=\"http://e\">y</a>";

TEST_F(WindowTest, LabelsAndMessagesShowTextsAsPlainText) {
  ASSERT_EQ(SetCtrlVal(mainPanel, kHeading, kMarkup), 0);
  ASSERT_EQ(SetCtrlAttribute(Page(kSquarePage), 2, ATTR_LABEL_TEXT, kMarkup), 0);
  int shown = 0;
  for (QLabel* label : window->findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    shown += label->text() == kMarkup;
  }
  EXPECT_EQ(shown, 2);

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

TEST_F(WindowTest, TextValuesAreCutToTheBufferOnACharacterBoundary) {
  char small[5] = "";
  SetCtrlVal(mainPanel, kHeading, "0123456789");
  EXPECT_EQ(GetCtrlVal(mainPanel, kHeading, small), 0);
  EXPECT_STREQ(small, "0123");
  SetCtrlVal(mainPanel, kHeading, "abc\xC3\xA9");
  EXPECT_EQ(GetCtrlVal(mainPanel, kHeading, small), 0);
  EXPECT_STREQ(small, "abc");
}

}  // namespace
}  // namespace gui_test
