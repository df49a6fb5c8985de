// Helpers shared by the core tests: a scratch folder to write into, and file readers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "../scratch_dir.h"

namespace vestrand::testing {

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing file " + path.string() + ">";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string golden(const std::string& name) {
  return readFile(std::filesystem::path(VESTRAND_TEST_DATA) / name);
}

inline std::size_t lineCount(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// Names the first line that differs, so a failing comparison reads at a glance.
inline ::testing::AssertionResult sameBytes(const std::string& expected,
                                            const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool moreE = static_cast<bool>(std::getline(e, el));
    const bool moreA = static_cast<bool>(std::getline(a, al));
    if (!moreE && !moreA) break;
    if (!moreE || !moreA || el != al) {
      return ::testing::AssertionFailure()
             << "line " << line << "\n  expected: " << (moreE ? el : "<end>")
             << "\n  actual:   " << (moreA ? al : "<end>");
    }
  }
  return ::testing::AssertionFailure() << "files differ in their line ends";
}

inline bool wellFormedXml(const std::filesystem::path& path) {
  const std::string command =
      std::string(VESTRAND_XMLLINT) + " --noout '" + path.string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace vestrand::testing
