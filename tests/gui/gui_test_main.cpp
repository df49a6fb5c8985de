// The window tests share one application per process, started the way the program starts it.
#include <gtest/gtest.h>

#include <QLocale>
#include <QtGlobal>

#include "cvirte.h"

int main(int argc, char* argv[]) {
  // Test discovery runs this program too, outside CTest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Numbers are typed with a full stop whatever the machine's locale.
  QLocale::setDefault(QLocale::c());
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) return 1;
  return RUN_ALL_TESTS();
}
