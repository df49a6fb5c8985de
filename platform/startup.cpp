// Start of the run-time (the Qt application), its event loop, and the message dialog.
#include <QApplication>
#include <QMessageBox>
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
