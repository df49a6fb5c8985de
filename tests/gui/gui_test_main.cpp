// The window tests share one application per process, started the way the program starts it.
#include <gtest/gtest.h>

#include <QLocale>
#include <QtGlobal>

#include "cvirte.h"

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig, under Qt's font handling, keeps its caches to the end of the process, and glibc's
// setlocale keeps the search list it builds from LOCPATH (the comma-locale run sets it); they are
// not the program's leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:__argz_add_sep\nleak:__argz_create_sep\n"
         "leak:libhdf5_serial.so\nleak:libglib-2.0.so\nleak:libgomp.so\n";
}
// The leak checker of this compiler misreads the dynamic thread-local storage that HDF5 (under
// the shorelines' netCDF files) and GLib leave in a thread, and crashes on it at exit; their
// thread-local blocks are not searched, and what only they hold is theirs, suppressed above, as
// is the thread of the OpenMP runtime that ecCodes starts decoding a GRIB file.
extern "C" const char* __lsan_default_options() {
  return "use_tls=0";
}
#endif

int main(int argc, char* argv[]) {
  // Test discovery runs this program too, outside CTest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Numbers are typed with a full stop whatever the machine's locale.
  QLocale::setDefault(QLocale::c());
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) return 1;
  return RUN_ALL_TESTS();
}
