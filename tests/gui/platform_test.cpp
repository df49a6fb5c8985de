// The run-time under the window: panels from layout files (refusals and their reasons, unknown
// panels and controls, labels and values of controls) and line-wise text files (line ends, limits,
// the end of the file, bare names looked up in the current directory before the built-in copies).
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <utility>

#include "../scratch_dir.h"
#include "window_fixture.h"

namespace gui_test {
namespace {

using ::testing::HasSubstr;

// Each test in a scratch folder of its own, which is the current directory.
class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCallbackTable(vestrandCallbacks, vestrandCallbackCount); }

  static void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  static int Open(const char* name) {
    return CVI_OpenFile(name, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  }

  vestrand::testing::ScratchDir dir;
};

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

// Every refusal names the file and its reason. Forms that would overflow the stack inside Qt's
// loader or overwhelm the painting are refused before Qt sees them.
TEST_F(PlatformTest, BadLayoutsAreRefusedWithTheirReasons) {
  const std::string widget = "<widget class=\"QWidget\" name=\"w\">";
  const std::string button = ControlXml("QPushButton", 2, "ESSP_CBK");
  const struct {
    const char* what;
    std::string file;  // empty: no file at all
    int panel;
    const char* reason;
  } cases[] = {
      {"missing file", "", 1, "form.uir"},
      {"missing panel", Form(""), 7, "no panel 7"},
      {"unknown callback", Form(button + ControlXml("QPushButton", 3, "Nowhere_CBK")), 1,
       "Nowhere_CBK"},
      {"unknown panel callback", Form("", "Nowhere_CBK"), 1, "Nowhere_CBK"},
      {"control callback on the panel", Form("", "ESSP_CBK"), 1, "no panel callback"},
      {"repeated control", Form(button + button), 1, "control 2"},
      {"xml error", "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">\n<widget>\n</ui>\n", 1,
       "form.uir:4:"},
      {"not a form", "<?xml version=\"1.0\"?>\n<notaform/>\n", 1, "<ui>"},
      {"nesting", Form(Repeat(10000, widget, "</widget>")), 1, ": nesting deeper than 64 elements"},
      {"widgets", Form(Repeat(3000, "<widget class=\"QLabel\" name=\"l\"/>", "")), 1,
       ": more than 2000 widgets"},
      {"huge file", Form(Repeat(100000, widget, "</widget>")), 1, "form.uir: larger than 4 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove("form.uir");
    if (!c.file.empty()) Write("form.uir", c.file);
    EXPECT_LT(LoadPanel(0, "form.uir", c.panel), 0);
    EXPECT_THAT(LastLoadPanelError(), HasSubstr("form.uir"));
    EXPECT_THAT(LastLoadPanelError(), HasSubstr(c.reason));
  }
}

TEST_F(PlatformTest, SetValueRaisesNoEvent) {
  static int events = 0;
  static const CallbackEntry table[] = {
      {"Count_CBK", [](int, int, int, void*, int, int) { return ++events, 0; }, nullptr}};
  SetCallbackTable(table, 1);
  Write("form.uir", Form(ControlXml("QSpinBox", 2, "Count_CBK")));
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

// Reads of at most 60 bytes: each gives the count and the text; the rest of an overlong line is
// skipped; a line is scanned for its end over 1 MiB at most, past that the file counts as ended.
TEST_F(PlatformTest, ReadsLinesWithoutTheirLineEnds) {
  const std::size_t bound = std::size_t{1} << 20;
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::pair<int, std::string>> reads;
  } cases[] = {
      {"line ends",
       "one\r\ntwo\n\nlast",
       {{3, "one"}, {3, "two"}, {0, ""}, {4, "last"}, {-2, ""}, {-2, ""}}},
      {"lone carriage return", "a\rb\n", {{3, "a\rb"}}},
      {"overlong lines",
       std::string(70, 'x') + "\r\n" + std::string(60, 'y') + "\nnext\n",
       {{60, std::string(60, 'x')}, {60, std::string(60, 'y')}, {4, "next"}, {-2, ""}}},
      {"scan bound",
       std::string(bound, 'x') + "\nnext\n" + std::string(bound + 1, 'y') + "\nlost\n",
       {{60, std::string(60, 'x')}, {4, "next"}, {60, std::string(60, 'y')}, {-2, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write("lines.txt", c.bytes);
    const int file = Open("lines.txt");
    ASSERT_GE(file, 0);
    for (const auto& [count, text] : c.reads) {
      char line[64] = "junk";
      EXPECT_EQ(ReadLine(file, line, 60), count);
      EXPECT_EQ(line, text);
    }
    EXPECT_EQ(CVI_CloseFile(file), 0);
  }
}

TEST_F(PlatformTest, RefusesBadHandlesAndOpensOnlyForReading) {
  char line[8] = "junk";
  EXPECT_EQ(ReadLine(12345, line, 5), -1);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(CVI_CloseFile(12345), -1);
  Write("x.txt", "x\n");
  const int file = Open("x.txt");
  EXPECT_EQ(CVI_CloseFile(file), 0);
  EXPECT_EQ(ReadLine(file, line, 5), -1);
  EXPECT_EQ(CVI_CloseFile(file), -1);
  EXPECT_EQ(CVI_OpenFile("x.txt", 0, VAL_OPEN_AS_IS, VAL_ASCII), -1);
  EXPECT_EQ(CVI_OpenFile(nullptr, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII), -1);
  for (const char* name : {"", "missing.lrf", "sub/english.lrf"}) EXPECT_EQ(Open(name), -1) << name;
}

// The current directory is looked in first (the window's language tests hold a file there); a
// folder of the name does not hide the built-in copy.
TEST_F(PlatformTest, AFolderDoesNotHideTheBuiltInCopy) {
  std::filesystem::create_directory("english.lrf");
  const int file = Open("english.lrf");
  char line[64] = "";
  EXPECT_GT(ReadLine(file, line, 60), 0);
  EXPECT_STREQ(line, "Plan a search: set the datum, pick a pattern, write GPX");
  EXPECT_EQ(CVI_CloseFile(file), 0);
}

TEST_F(WindowTest, UnknownPagesPanelsAndControlsAreRefused) {
  int page = 0;
  EXPECT_LT(GetPanelHandleFromTabPage(mainPanel, kSearchTabs, 4, &page), 0);
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
  // An '&' is shown, not taken for a shortcut's mark.
  ASSERT_EQ(SetCtrlAttribute(Page(kSquarePage), 6, ATTR_LABEL_TEXT, "Save & go"), 0);
  ASSERT_EQ(SetTabPageAttribute(mainPanel, kSearchTabs, 1, ATTR_LABEL_TEXT, "A&B"), 0);
  EXPECT_EQ(Control<QAbstractButton>(Page(kSquarePage), 6)->text(), "Save && go");
  EXPECT_EQ(Control<QTabWidget>(mainPanel, kSearchTabs)->tabText(1), "A&&B");

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
