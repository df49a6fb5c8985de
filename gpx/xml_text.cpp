#include "xml_text.h"

#include <cstddef>

namespace vestrand {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `p` (of `left` bytes), or 0 when
// there is none (a stray byte, a cut sequence, an overlong form, a surrogate, beyond U+10FFFF,
// or, for XML, which cannot carry them, the non-characters U+FFFE and U+FFFF).
std::size_t utf8Length(const unsigned char* p, std::size_t left, bool forXml) {
  const auto tail = [&](std::size_t i) { return i < left && p[i] >= 0x80 && p[i] <= 0xBF; };
  const unsigned char c = p[0];
  if (c >= 0xC2 && c <= 0xDF) return tail(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;
    const unsigned char high = c == 0xED ? 0x9F : 0xBF;
    if (left < 3 || p[1] < low || p[1] > high || !tail(2)) return 0;
    if (forXml && c == 0xEF && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF)) return 0;
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;
    if (left < 4 || p[1] < low || p[1] > high || !tail(2) || !tail(3)) return 0;
    return 4;
  }
  return 0;
}

}  // namespace

void appendXmlText(std::string& out, std::string_view text) {
  constexpr const char* kReplacement = "\xEF\xBF\xBD";
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c >= 0x80) {
      const std::size_t length = utf8Length(p, static_cast<std::size_t>(end - p), true);
      if (length == 0) {
        out += kReplacement;
        ++p;
      } else {
        out.append(reinterpret_cast<const char*>(p), length);
        p += length;
      }
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        if (c < 0x20) {
          out += kReplacement;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++p;
  }
}

std::string xmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  appendXmlText(out, text);
  return out;
}

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    const std::size_t length =
        *p < 0x80 ? 1 : utf8Length(p, static_cast<std::size_t>(end - p), false);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++p;
    } else {
      out.append(reinterpret_cast<const char*>(p), length);
      p += length;
    }
  }
  return out;
}

}  // namespace vestrand
