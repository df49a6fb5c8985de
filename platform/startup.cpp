// Start of the run-time (the Qt application), its event loop, and the message dialog.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "cvirte.h"
#include "cvirte_testing.h"
#include "panel_registry.h"

namespace {

std::string initError;

// Never destroyed: the run-time has no end call, and destroying the application among the
// static destructors at exit crashes once Qt's own globals are gone.
QApplication* application = nullptr;
int applicationArgc = 0;
std::vector<char*> applicationArgv;

void DefaultPresenter(const char* title, const char* message) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(title), QString::fromUtf8(message),
                  QMessageBox::Ok, QApplication::activeWindow());
  // Messages quote file names and reasons, which are no markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

cvirte_testing::MessagePresenter presenter = DefaultPresenter;

int DefaultQuestion(const char* title, const char* message, const char* yes, const char* no) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(title), QString::fromUtf8(message),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  // The answers in the window's language: Qt's own buttons would speak Qt's.
  QPushButton* accept = box.addButton(QString::fromUtf8(yes), QMessageBox::AcceptRole);
  QPushButton* refuse = box.addButton(QString::fromUtf8(no), QMessageBox::RejectRole);
  box.setDefaultButton(refuse);
  box.setEscapeButton(refuse);
  box.exec();
  return box.clickedButton() == accept ? 1 : 0;
}

cvirte_testing::QuestionPresenter question = nullptr;

int DefaultFolderChooser(const std::string& start, const std::string& title, std::string& chosen) {
  const QString folder = QFileDialog::getExistingDirectory(
      QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(start));
  if (folder.isEmpty()) return 0;
  chosen = folder.toStdString();
  return 1;
}

cvirte_testing::FolderChooser folderChooser = nullptr;

}  // namespace

int InitCVIRTE(void* instance, char* argv[], void* reserved) {
  (void)instance;
  (void)reserved;
  initError.clear();
  if (QCoreApplication::instance() != nullptr) {
    // A test or tool that made its own application keeps it; it must be able to show widgets.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      initError = "the program already runs without widgets";
      return 0;
    }
  } else {
    static char programName[] = "vestrand";
    bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (argv != nullptr) {
      for (char** argument = argv; *argument != nullptr; ++argument) {
        applicationArgv.push_back(*argument);
        platformChosen = platformChosen || std::strcmp(*argument, "-platform") == 0;
      }
    }
    // Without a display Qt would abort the process; the program is to fail with a reason instead.
    if (!platformChosen && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      applicationArgv.clear();
      initError = "no display: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen";
      return 0;
    }
    if (applicationArgv.empty()) applicationArgv.push_back(programName);
    applicationArgc = static_cast<int>(applicationArgv.size());
    applicationArgv.push_back(nullptr);
    application = new QApplication(applicationArgc, applicationArgv.data());
  }
  // QApplication adopts the user's locale for the C library too; every byte the program writes
  // into a file must not depend on it ("VS 0.0", never "VS 0,0"). The widgets show numbers the
  // user's way through QLocale, which this does not touch.
  std::setlocale(LC_NUMERIC, "C");
  // Closing the window only asks the program; its callback ends the loop.
  QApplication::setQuitOnLastWindowClosed(false);
  return 1;
}

const char* LastInitCVIRTEError() {
  return initError.c_str();
}

int RunUserInterface() {
  if (QCoreApplication::instance() == nullptr) return cvirte_detail::kNoRunTime;
  return QCoreApplication::exec();
}

int QuitUserInterface(int returnCode) {
  QCoreApplication::exit(returnCode);
  return 0;
}

int MessagePopup(const char* title, const char* message) {
  presenter(title != nullptr ? title : "", message != nullptr ? message : "");
  return 0;
}

void cvirte_testing::SetMessagePresenter(MessagePresenter replacement) {
  presenter = replacement != nullptr ? replacement : DefaultPresenter;
}

int AskPopup(const char* title, const char* message, const char* yes, const char* no) {
  const char* shownTitle = title != nullptr ? title : "";
  const char* shownMessage = message != nullptr ? message : "";
  if (question != nullptr) return question(shownTitle, shownMessage) != 0 ? 1 : 0;
  return DefaultQuestion(shownTitle, shownMessage, yes != nullptr ? yes : "",
                         no != nullptr ? no : "");
}

int DirSelectPopup(const std::string& start, const std::string& title, std::string& chosen) {
  if (folderChooser != nullptr) return folderChooser(start, chosen) != 0 ? 1 : 0;
  return DefaultFolderChooser(start, title, chosen);
}

void cvirte_testing::SetQuestionPresenter(QuestionPresenter replacement) {
  question = replacement;
}

void cvirte_testing::SetFolderChooser(FolderChooser replacement) {
  folderChooser = replacement;
}
