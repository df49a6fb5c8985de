// The five language files shipped with the program: their shape, and that the reader passes
// each line through unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "Languaje.h"
#include "language_test_support.h"

namespace {

using vestrand::testing::isValidUtf8;
using vestrand::testing::readBytes;
using vestrand::testing::ScratchDir;
using vestrand::testing::splitLines;

const std::filesystem::path kResources = VESTRAND_RESOURCES;

// The twenty lines of the table, then the plan preview's texts.
constexpr int kLines = nLanguajeResources + nLanguageExtras;

class ShippedLanguageFileTest : public ::testing::TestWithParam<const char*> {};

// Each line ended by a line feed alone, non-empty, trimmed, valid UTF-8 that fits its entry (59
// bytes for the first twenty, nbExtra - 1 after them); the command button's text names GPX.
TEST_P(ShippedLanguageFileTest, HasItsLinesInShape) {
  const std::string text = readBytes(kResources / GetParam());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kLines);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  const auto lines = splitLines(text);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_FALSE(lines[i].empty()) << "line " << i + 1;
    const int limit = i < nLanguajeResources ? nb - 1 : nbExtra - 1;
    EXPECT_LE(lines[i].size(), static_cast<std::size_t>(limit)) << "line " << i + 1;
    EXPECT_TRUE(isValidUtf8(lines[i])) << "line " << i + 1;
    EXPECT_TRUE(lines[i].front() != ' ' && lines[i].back() != ' ') << "line " << i + 1;
  }
  EXPECT_NE(lines[8].find("GPX"), std::string::npos) << lines[8];
}

// Words that are the same in a language as in English.
bool SameInLanguage(const std::string& file, const std::string& text) {
  return (file == "french.lrf" && (text == "Latitude" || text == "Longitude")) ||
         (file != "deutsch.lrf" && text == "%1 NM");
}

// The reader passes every line through; the English file is the built-in English texts, and every
// other language has its own words for the texts after the twentieth (a line left in English is
// forgotten), but for the words that are the same in that language.
TEST_P(ShippedLanguageFileTest, ReaderKeepsEveryLineUnchanged) {
  const auto lines = splitLines(readBytes(kResources / GetParam()));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  ScratchDir dir;
  std::filesystem::copy_file(kResources / GetParam(), dir.path() / GetParam());
  ASSERT_EQ(ReadLanguajeResourceFile(GetParam()), 0);
  ASSERT_EQ(ReadLanguageExtras(GetParam()), 0);
  EXPECT_EQ(LanguageFileMissingLines(), 0);
  EXPECT_EQ(LanguageExtrasMissingLines(), 0);
  const bool english = std::string(GetParam()) == "english.lrf";
  for (int i = 0; i < kLines; ++i) {
    const bool extra = i >= nLanguajeResources;
    const int k = extra ? i - nLanguajeResources : i;
    const std::string& line = lines[static_cast<std::size_t>(i)];
    EXPECT_EQ(extra ? lrfExtra[k] : lrfData[k], line) << "line " << i + 1;
    const std::string inEnglish = extra ? kEnglishExtras[k] : kEnglishTexts[k];
    // English is the built-in texts; other files leave no plan text in English.
    EXPECT_TRUE(english ? line == inEnglish
                        : !extra || line != inEnglish || SameInLanguage(GetParam(), line))
        << "line " << i + 1;
  }
  ResetLanguageExtras();
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageFileTest,
                         ::testing::Values("english.lrf", "french.lrf", "spanish.lrf",
                                           "euskera.lrf", "deutsch.lrf"),
                         [](const auto& instance) {
                           const std::string name = instance.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
