// The five language files shipped with the program: their shape, that the reader passes each
// line through unchanged, and that every translation keeps the values its English line fills in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../scratch_dir.h"
#include "texts.h"

namespace {

using vestrand::englishText;
using vestrand::textOfLine;

class ShippedLanguageFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static std::string Bytes(const std::string& name) {
    std::ifstream in(std::filesystem::path(VESTRAND_RESOURCES) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The placeholders of a text, in order of their numbers: "%1", "%2", "%2", ...
  static std::vector<std::string> Placeholders(const std::string& text) {
    static const std::regex kPlaceholder("%[1-9]");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kPlaceholder);
         it != std::sregex_iterator(); ++it) {
      found.push_back(it->str());
    }
    std::sort(found.begin(), found.end());
    return found;
  }
};

// One line per text, each ended by a line feed alone and trimmed; the reader keeps it as it is,
// so it is valid UTF-8 that fits its line. The English file is the list's English texts.
TEST_P(ShippedLanguageFileTest, EveryLineIsReadUnchanged) {
  const std::string name = GetParam();
  const std::string bytes = Bytes(name);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), vestrand::kTextLines);
  EXPECT_EQ(bytes.find('\r'), std::string::npos);
  ASSERT_TRUE(!bytes.empty() && bytes.back() == '\n');
  vestrand::testing::ScratchDir dir;
  std::filesystem::copy_file(std::filesystem::path(VESTRAND_RESOURCES) / name, name);
  vestrand::LanguageTexts texts;
  ASSERT_TRUE(texts.read(name.c_str()));
  EXPECT_EQ(texts.missingLines(), 0);
  const std::vector<std::string> lines = Lines(bytes);
  for (int i = 0; i < vestrand::kTextLines && i < static_cast<int>(lines.size()); ++i) {
    const std::string& line = lines[i];
    const vestrand::Text text = textOfLine(i + 1);
    EXPECT_TRUE(!line.empty() && line.front() != ' ' && line.back() != ' ') << "line " << i + 1;
    EXPECT_EQ(texts.get(text, {"%1", "%2", "%3", "%4", "%5", "%6", "%7", "%8", "%9"}), line)
        << "line " << i + 1;
    EXPECT_TRUE(name != "english.lrf" || line == englishText(text)) << "line " << i + 1;
  }
}

// A translation may move the values filled in, never drop or add one.
TEST_P(ShippedLanguageFileTest, EveryLineKeepsTheEnglishPlaceholders) {
  const std::vector<std::string> lines = Lines(Bytes(GetParam()));
  for (int i = 0; i < vestrand::kTextLines && i < static_cast<int>(lines.size()); ++i) {
    EXPECT_EQ(Placeholders(lines[i]), Placeholders(std::string(englishText(textOfLine(i + 1)))))
        << "line " << i + 1 << ": " << lines[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageFileTest,
                         ::testing::Values("english.lrf", "french.lrf", "spanish.lrf",
                                           "euskera.lrf", "deutsch.lrf"),
                         [](const auto& instance) {
                           const std::string name = instance.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
