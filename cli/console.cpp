#include "console.h"

#include <utf8.h>

#include <cstdio>
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

std::string shownSafely(std::string_view text) {
  std::string out;
  const std::string utf8 = validUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const bool c1 =
        byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
    if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7F || c1) {
      const unsigned code = c1 ? static_cast<unsigned char>(utf8[++i]) : byte;
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, c1 ? "\\u%04x" : "\\x%02x", code);
      out += escaped;
    } else {
      out += utf8[i];
    }
  }
  return out;
}

void printMessage(std::string_view message, std::string_view kind) {
  std::cerr << "vestrand-cli: " << kind << (kind.empty() ? "" : ": ") << shownSafely(message)
            << '\n';
}

}  // namespace vestrand::cli
