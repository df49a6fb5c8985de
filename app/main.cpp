// Start of the window program: the run-time, the main panel and its window, the event loop.
#include <cstdio>

#include "MainPanel.h"
#include "Vestrand.h"
#include "Window.h"
#include "cvirte.h"
#include "safe_file.h"

int main(int, char* argv[]) {
  // As on the command line: an interrupt leaves no temporary file, and a file size limit is a
  // write error the window reports instead of a signal that ends it with the session's fields.
  vestrand::installInterruptCleanup();
  SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) {
    std::fprintf(stderr, "vestrand: the window system could not be started: %s\n",
                 LastInitCVIRTEError());
    return -1;
  }
  mainPanel = LoadPanel(0, "Vestrand.uir", 1);
  if (mainPanel < 0) {
    std::fprintf(stderr, "vestrand: the window cannot be loaded: %s\n", LastLoadPanelError());
    return -1;
  }
  Window::install(mainPanel);
  DisplayPanel(mainPanel);
  RunUserInterface();
  DiscardPanel(mainPanel);
  return 0;
}
