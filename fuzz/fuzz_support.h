// Helpers shared by the fuzz targets: a private scratch folder and checks of UTF-8 text.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace vestrand_fuzz {

// Reads a fuzzer's bytes as the values a target feeds its writer; past the end, zeros.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Any double, not-a-number and the infinities included.
  double Number() {
    std::uint8_t bytes[sizeof(double)] = {};
    for (auto& b : bytes) b = Byte();
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  }
  // A finite double: the infinities and not-a-number become the largest of their sign.
  double FiniteNumber() {
    const double value = Number();
    return std::isfinite(value) ? value : std::signbit(value) ? -DBL_MAX : DBL_MAX;
  }
  // A name of as many bytes as the first byte says.
  std::string Name() {
    std::string name;
    for (std::size_t n = Byte(); n > 0 && !empty(); --n) name += static_cast<char>(Byte());
    return name;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A folder of the fuzz process's own, made once and kept for the whole run.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/vestrand-fuzz.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("vestrand-fuzz: cannot make a scratch folder");
      std::abort();
    }
    return pattern;
  }();
  return folder;
}

// Writes `size` bytes to `path`, replacing it; aborts when that fails, which is no finding.
inline void WriteFileOrDie(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::perror("vestrand-fuzz: cannot write the input file");
    std::abort();
  }
}

// True when `text` is well-formed UTF-8 by Unicode's table: no overlong forms, no surrogates,
// nothing past U+10FFFF, no sequence cut short.
inline bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  while (i < text.size()) {
    const unsigned char b = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b < 0x80) {
      length = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char c = byte(i + k);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

// Stops the run with a message that names the broken promise; libFuzzer saves the input.
[[noreturn]] inline void Violated(const char* what) {
  std::fprintf(stderr, "vestrand-fuzz: %s\n", what);
  std::abort();
}

}  // namespace vestrand_fuzz
