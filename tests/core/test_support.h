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

namespace vestrand::testing {

// A fresh folder that is the current directory for the life of the object, so that the
// generators' bare file names land in it and nowhere else.
class ScratchDir {
 public:
  ScratchDir() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vestrand-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~ScratchDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

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
