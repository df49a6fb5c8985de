#include "xml_text.h"

#include <cstddef>

#include "utf8.h"

namespace vestrand {
namespace {

// Length of the well-formed character at the start of `text` that XML can carry, or 0: XML has no
// place for the non-characters U+FFFE and U+FFFF.
std::size_t xmlCharLength(std::string_view text) {
  const std::size_t length = utf8CharLength(text);
  if (length == 3 && text.substr(0, 2) == "\xEF\xBF" && (text[2] == '\xBE' || text[2] == '\xBF')) {
    return 0;
  }
  return length;
}

}  // namespace

void appendXmlText(std::string& out, std::string_view text) {
  constexpr const char* kReplacement = "\xEF\xBF\xBD";
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c >= 0x80) {
      const std::size_t length = xmlCharLength(
          std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
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

}  // namespace vestrand
