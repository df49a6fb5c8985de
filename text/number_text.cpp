#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vestrand {
namespace {

// to_chars never consults the locale; 350 characters hold any double in "%.2f".
template <typename... Format>
std::string numberText(double value, Format... format) {
  if (!std::isfinite(value)) return "-";
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, format...);
  if (result.ec != std::errc()) return "-";
  std::string out(text, result.ptr);
  // Zero is shown as zero: -0 and -0.004 would otherwise read "-0.00".
  if (out.front() == '-' && out.find_first_of("123456789") == std::string::npos) out.erase(0, 1);
  return out;
}

}  // namespace

std::string fixedText(double value, int decimals) {
  return numberText(value, std::chars_format::fixed, std::clamp(decimals, 0, 17));
}

std::string generalText(double value) {
  return numberText(value, std::chars_format::general, 6);
}

std::string shortestText(double value) {
  return numberText(value);
}

std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
      out += values.begin()[index];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace vestrand
