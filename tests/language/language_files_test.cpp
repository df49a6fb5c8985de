// The five language files shipped with the program: their shape, and that the reader passes
// each line through unchanged.
#include <gtest/gtest.h>

#include <algorithm>
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

class ShippedLanguageFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  std::string bytes() const { return readBytes(kResources / GetParam()); }
};

// The twenty lines of the table, then the plan preview's texts.
constexpr int kLines = nLanguajeResources + nLanguageExtras;

TEST_P(ShippedLanguageFileTest, HasTheTwentyLinesThenThePlanTextsEachEndedByALineFeed) {
  const std::string text = bytes();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kLines);
  EXPECT_EQ(text.find('\r'), std::string::npos) << "line ends must be LF only";
}

TEST_P(ShippedLanguageFileTest, EveryLineIsNonEmptyValidUtf8OfAtMostFiftyNineBytes) {
  const auto lines = splitLines(bytes());
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_FALSE(lines[i].empty()) << "line " << i + 1;
    EXPECT_LE(lines[i].size(), static_cast<std::size_t>(nb - 1)) << "line " << i + 1;
    EXPECT_TRUE(isValidUtf8(lines[i])) << "line " << i + 1;
    EXPECT_NE(lines[i].front(), ' ') << "line " << i + 1 << " starts with a space";
    EXPECT_NE(lines[i].back(), ' ') << "line " << i + 1 << " ends with a space";
  }
}

TEST_P(ShippedLanguageFileTest, CommandButtonTextNamesGpx) {
  const auto lines = splitLines(bytes());
  ASSERT_GE(lines.size(), 9u);
  EXPECT_NE(lines[8].find("GPX"), std::string::npos) << lines[8];
}

TEST_P(ShippedLanguageFileTest, ReaderKeepsEveryLineUnchanged) {
  const std::string text = bytes();
  ScratchDir dir;
  std::filesystem::copy_file(kResources / GetParam(), dir.path() / GetParam());
  ASSERT_EQ(ReadLanguajeResourceFile(GetParam()), 0);
  const auto lines = splitLines(text);
  for (int i = 0; i < nLanguajeResources; ++i) {
    EXPECT_EQ(lrfData[i], lines[static_cast<std::size_t>(i)]) << "line " << i + 1;
  }
  EXPECT_EQ(LanguageFileMissingLines(), 0);
  ASSERT_EQ(ReadLanguageExtras(GetParam()), 0);
  EXPECT_EQ(LanguageExtrasMissingLines(), 0);
  for (int i = 0; i < nLanguageExtras; ++i) {
    const auto line = static_cast<std::size_t>(nLanguajeResources + i);
    EXPECT_EQ(lrfExtra[i], lines[line]) << "line " << line + 1;
  }
}

// Every language names the plan's texts in its own words: a line left in English is a line
// forgotten.
TEST_P(ShippedLanguageFileTest, PlanTextsAreTranslated) {
  if (std::string(GetParam()) == "english.lrf") GTEST_SKIP() << "the English texts themselves";
  const auto lines = splitLines(bytes());
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  int english = 0;
  for (int i = 0; i < nLanguageExtras; ++i) {
    english += lines[static_cast<std::size_t>(nLanguajeResources + i)] == kEnglishExtras[i];
  }
  EXPECT_EQ(english, 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageFileTest,
                         ::testing::Values("english.lrf", "french.lrf", "spanish.lrf",
                                           "euskera.lrf", "deutsch.lrf"),
                         [](const auto& instance) {
                           const std::string name = instance.param;
                           return name.substr(0, name.find('.'));
                         });

// The English texts that stand in for missing lines are the English file's own; the window's
// layout shows the same before any choice.
TEST(EnglishLanguageFileTest, FirstTwentyLinesAreTheBuiltInEnglishTexts) {
  const auto lines = splitLines(readBytes(kResources / "english.lrf"));
  ASSERT_GE(lines.size(), static_cast<std::size_t>(nLanguajeResources));
  for (int i = 0; i < nLanguajeResources; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(i)], kEnglishTexts[i]) << "line " << i + 1;
  }
}

// The plan texts the window shows before any choice are the English file's lines 21 onward.
TEST(EnglishLanguageFileTest, PlanTextsAreTheBuiltInEnglishOnes) {
  const auto lines = splitLines(readBytes(kResources / "english.lrf"));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
  for (int i = 0; i < nLanguageExtras; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(nLanguajeResources + i)], kEnglishExtras[i])
        << "line " << nLanguajeResources + i + 1;
  }
}

}  // namespace
