// A stand-in for the run-time that records, in order, every call the language code makes, so the
// order of the relabelling and the selector's dispatch can be checked call by call. Files are
// served from memory.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vestrand::testing {

struct RecordingRuntime {
  std::vector<std::string> calls;
  std::map<std::string, std::string> files;  // name -> content
  int selectorValue = 0;

  // The handle GetPanelHandleFromTabPage gives for a page.
  static int pageHandle(int page) { return 100 + page; }

  void reset() { *this = RecordingRuntime{}; }
};

RecordingRuntime& runtime();

}  // namespace vestrand::testing
