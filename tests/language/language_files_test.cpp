// The five language files shipped with the program: their shape, and that the reader passes
// each line through unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "../scratch_dir.h"
#include "Languaje.h"

namespace {

// The twenty lines of the table, then the plan preview's texts.
constexpr int kLines = nLanguajeResources + nLanguageExtras;

class ShippedLanguageFileTest : public ::testing::TestWithParam<const char*> {};

// Each line ended by a line feed alone and trimmed; the reader keeps it as it is, so it is valid
// UTF-8 that fits its entry. The English file is the built-in English texts.
TEST_P(ShippedLanguageFileTest, EveryLineIsReadUnchanged) {
  const std::string name = GetParam();
  vestrand::testing::ScratchDir dir;
  std::filesystem::copy_file(std::filesystem::path(VESTRAND_RESOURCES) / name, name);
  std::ifstream in(name, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kLines);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  ASSERT_TRUE(!text.empty() && text.back() == '\n');
  ASSERT_EQ(ReadLanguajeResourceFile(name.c_str()), 0);
  ASSERT_EQ(ReadLanguageExtras(name.c_str()), 0);
  std::istringstream lines(text);
  std::string line;
  for (int i = 0; i < kLines && std::getline(lines, line); ++i) {
    const bool extra = i >= nLanguajeResources;
    const int k = extra ? i - nLanguajeResources : i;
    EXPECT_TRUE(!line.empty() && line.front() != ' ' && line.back() != ' ') << "line " << i + 1;
    EXPECT_EQ(extra ? lrfExtra[k] : lrfData[k], line) << "line " << i + 1;
    const std::string builtIn = extra ? kEnglishExtras[k] : kEnglishTexts[k];
    EXPECT_TRUE(name != "english.lrf" || line == builtIn) << "line " << i + 1;
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
