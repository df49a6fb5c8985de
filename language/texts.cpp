#include "texts.h"

#include <cstring>
#include <iterator>

#include "cvirte.h"
#include "number_text.h"
#include "utf8.h"

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
    std::string text = ended ? std::string() : boundedUtf8(buffer, limit);
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
