// Helpers shared by the language tests: file bytes, lines, and an independent UTF-8 check.
#pragma once

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../scratch_dir.h"

namespace vestrand::testing {

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a text, each without its line feed; a last line without one counts too.
inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Decodes code points and rejects overlong forms, surrogates and values past U+10FFFF; written
// apart from the reader's own check so the two cannot share a mistake.
inline bool isValidUtf8(const std::string& text) {
  static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t n = b < 0x80             ? 1
                          : (b & 0xE0) == 0xC0 ? 2
                          : (b & 0xF0) == 0xE0 ? 3
                          : (b & 0xF8) == 0xF0 ? 4
                                               : 0;
    if (n == 0 || i + n > text.size()) return false;
    char32_t cp = n == 1 ? b : b & (0x7Fu >> n);
    for (std::size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    if (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

// What every entry of the table must be whatever the file held: a terminated text of at most
// `limit` bytes that is valid UTF-8.
inline bool isSoundEntry(const char* entry, std::size_t size, std::size_t limit) {
  const void* end = std::memchr(entry, 0, size);
  if (end == nullptr) return false;
  const std::string text(entry, static_cast<const char*>(end));
  return text.size() <= limit && isValidUtf8(text);
}

}  // namespace vestrand::testing
