#include "console.h"

#include <iostream>

namespace vestrand::cli {

int printResult(const std::string& text) {
  std::cout << text << std::flush;
  if (!std::cout) {
    std::cerr << "vestrand-cli: cannot write to standard output\n";
    return kExitWriteFailure;
  }
  return 0;
}

}  // namespace vestrand::cli
