#include "utf8.h"

namespace vestrand {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Bytes after a lead byte, per Unicode's table of well-formed sequences: the second byte has its
// own range (which rules out overlong forms, surrogates and values past U+10FFFF), the others are
// 80..BF. length 0 marks a byte that cannot start a sequence.
struct Lead {
  std::size_t length;
  unsigned char low;
  unsigned char high;
};

Lead leadOf(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Bytes of the character at the start of `text` that are well formed so far: its length when it
// is whole, fewer when it breaks or is cut short.
std::size_t wellFormedBytes(std::string_view text, const Lead& lead) {
  std::size_t n = 1;
  while (n < lead.length && n < text.size()) {
    const auto c = static_cast<unsigned char>(text[n]);
    if (c < (n == 1 ? lead.low : 0x80) || c > (n == 1 ? lead.high : 0xBF)) break;
    ++n;
  }
  return n;
}

}  // namespace

std::size_t utf8CharLength(std::string_view text) {
  if (text.empty()) return 0;
  const Lead lead = leadOf(static_cast<unsigned char>(text[0]));
  if (lead.length == 0) return 0;
  return wellFormedBytes(text, lead) == lead.length ? lead.length : 0;
}

std::size_t utf8BadLength(std::string_view text) {
  if (text.empty()) return 0;
  const Lead lead = leadOf(static_cast<unsigned char>(text[0]));
  return lead.length == 0 ? 1 : wellFormedBytes(text, lead);
}

std::size_t firstInvalidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8CharLength(text.substr(at));
    if (length == 0) return at;
    at += length;
  }
  return std::string_view::npos;
}

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8CharLength(text.substr(at));
    if (length == 0) {
      out += kReplacement;
      ++at;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

std::string boundedUtf8(std::string_view text, std::size_t limit) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::string_view rest = text.substr(at);
    std::size_t length = utf8CharLength(rest);
    std::string_view piece = rest.substr(0, length);
    if (length == 0) {
      length = utf8BadLength(rest);
      // A sequence cut short by the end is a character the limit split, or a broken line end:
      // it has nothing left to show.
      if (at + length == text.size() && leadOf(static_cast<unsigned char>(rest[0])).length > 1) {
        break;
      }
      piece = kReplacement;
    }
    if (out.size() + piece.size() > limit) break;
    out += piece;
    at += length;
  }
  return out;
}

}  // namespace vestrand
