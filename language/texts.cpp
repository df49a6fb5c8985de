#include "texts.h"

#include <cstring>
#include <iterator>

#include "cvirte.h"
#include "plan_summary.h"

namespace vestrand {
namespace {

constexpr std::string_view kEnglish[] = {
#define VESTRAND_TEXT_ENGLISH(name, english) english,
    VESTRAND_LANGUAGE_LINES(VESTRAND_TEXT_ENGLISH)
#undef VESTRAND_TEXT_ENGLISH
};
static_assert(std::size(kEnglish) == static_cast<std::size_t>(kTextLines));

constexpr std::size_t kFixedLineLimit = 59;
constexpr std::size_t kLineLimit = 399;

// Bytes allowed after a lead byte, per Unicode's table of well-formed sequences: the second byte
// has its own range (which rules out overlong forms, surrogates and values past U+10FFFF), the
// others are 80..BF. length 0 marks a byte that cannot start a sequence.
struct Lead {
  int length;
  unsigned char low;
  unsigned char high;
};

Lead LeadOf(unsigned char b) {
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

// A line's bytes up to its first zero byte as valid UTF-8 of at most `limit` bytes. Well-formed
// characters pass unchanged. A sequence cut short by the end of the text is dropped: it is a
// character the line limit split, or a broken line end, and has nothing left to show. Any other
// maximal ill-formed subsequence becomes U+FFFD while that still fits; the labels then show that
// something was wrong rather than silently losing letters.
std::string ValidLine(std::string_view bytes, std::size_t limit) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  bytes = bytes.substr(0, bytes.find('\0'));
  std::string out;
  std::size_t p = 0;
  while (p < bytes.size()) {
    const Lead lead = LeadOf(static_cast<unsigned char>(bytes[p]));
    // Bytes of the piece at p: a whole character, or the maximal ill-formed subsequence.
    std::size_t length = 1;
    bool whole = lead.length > 0;
    while (whole && length < static_cast<std::size_t>(lead.length)) {
      if (p + length == bytes.size()) return out;  // cut short by the end
      const auto c = static_cast<unsigned char>(bytes[p + length]);
      if (c < (length == 1 ? lead.low : 0x80) || c > (length == 1 ? lead.high : 0xBF)) {
        whole = false;  // the offending byte starts the next piece
        break;
      }
      ++length;
    }
    const std::string_view piece = whole ? bytes.substr(p, length) : kReplacement;
    if (out.size() + piece.size() > limit) break;
    out += piece;
    p += length;
  }
  return out;
}

}  // namespace

std::size_t lineLimit(int line) {
  return line <= kFixedLines ? kFixedLineLimit : kLineLimit;
}

std::string_view englishText(Text name) {
  return kEnglish[static_cast<std::size_t>(name)];
}

LanguageTexts::LanguageTexts() : lines_(std::begin(kEnglish), std::end(kEnglish)) {}

bool LanguageTexts::read(const char* fileName) {
  const int file = CVI_OpenFile(fileName, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  if (file == -1) {
    missing_ = -1;
    return false;
  }
  missing_ = 0;
  bool ended = false;
  for (int line = 1; line <= kTextLines; ++line) {
    const std::size_t limit = lineLimit(line);
    // Room for one more character than the limit, so that one straddling it is seen and dropped.
    char buffer[kLineLimit + 8] = {};
    ended = ended || ReadLine(file, buffer, static_cast<int>(limit + 3)) < 0;
    std::string text = ended ? std::string() : ValidLine(buffer, limit);
    if (text.empty()) {
      text = englishText(textOfLine(line));
      ++missing_;
    }
    lines_[static_cast<std::size_t>(line - 1)] = std::move(text);
  }
  CVI_CloseFile(file);
  return true;
}

std::string LanguageTexts::get(Text name, std::initializer_list<std::string_view> values) const {
  return fillIn(lines_[static_cast<std::size_t>(name)], values);
}

}  // namespace vestrand
