// The layout loader on arbitrary layout files, through its public entry LoadPanel on Qt's
// offscreen platform: control numbers, callback names, ring values and tab pages as the program's
// own callback table resolves them. A file either loads into a panel or is refused with a
// reason; nothing crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Vestrand.h"
#include "cvirte.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  (void)argc;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static char name[] = "vestrand-fuzz";
  static char* arguments[] = {name, nullptr};
  (void)argv;
  if (InitCVIRTE(nullptr, arguments, nullptr) == 0) vestrand_fuzz::Violated("no run-time");
  SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = vestrand_fuzz::ScratchFolder() + "/fuzz.uir";
  vestrand_fuzz::WriteFileOrDie(path, data, size);
  const int panel = LoadPanel(0, path.c_str(), 1);
  if (panel > 0) {
    DiscardPanel(panel);
  } else if (*LastLoadPanelError() == 0) {
    vestrand_fuzz::Violated("LoadPanel refused a layout without saying why");
  }
  return 0;
}
