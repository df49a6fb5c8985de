// The language file reader against the run-time's real line-wise file operations, each test in
// its own scratch folder, which is the current directory while it runs: the window's texts
// (LanguageTexts) and the historical table of the first twenty lines read alike. Arbitrary bytes
// are the fuzz target's.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "../scratch_dir.h"
#include "Languaje.h"
#include "texts.h"

namespace {

using vestrand::englishText;
using vestrand::LanguageTexts;
using vestrand::textOfLine;

constexpr int kAllLines = vestrand::kTextLines;
const std::string R = "\xEF\xBF\xBD";  // U+FFFD
const std::string kShip = "\xF0\x9F\x9A\xA2";

// Lines "t1" to "t<count>", with the texts of `replaced` in place of theirs.
std::string fileOf(int count, const std::map<int, std::string>& replaced = {}) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    const auto found = replaced.find(i);
    text += (found != replaced.end() ? found->second : "t" + std::to_string(i)) + "\n";
  }
  return text;
}

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& entry : lrfData) std::strncpy(entry, "stale", nb);
  }

  // Reads the bytes as case.lrf with both readers.
  LanguageTexts Read(const std::string& bytes) {
    std::ofstream("case.lrf", std::ios::binary) << bytes;
    LanguageTexts texts;
    EXPECT_TRUE(texts.read("case.lrf"));
    EXPECT_EQ(ReadLanguajeResourceFile("case.lrf"), 0);
    return texts;
  }

  static std::string Line(const LanguageTexts& texts, int line) {
    return texts.get(textOfLine(line));
  }

  vestrand::testing::ScratchDir dir_;
};

// Lines a file lacks or leaves empty show their English text, in both readers, and are counted.
TEST_F(ReaderTest, MissingAndEmptyLinesShowEnglish) {
  const auto from = [](int first) {
    std::set<int> lines;
    for (int i = first; i <= kAllLines; ++i) lines.insert(i);
    return lines;
  };
  const struct {
    const char* what;
    std::string file;
    std::set<int> english;  // 1-based lines that fall back
  } cases[] = {
      {"complete", fileOf(kAllLines + 5), {}},
      {"twenty lines", fileOf(20), from(21)},
      {"empty file", "", from(1)},
      {"empty lines", fileOf(kAllLines, {{2, ""}, {20, ""}, {25, ""}}), {2, 20, 25}},
      {"nothing left to show",
       fileOf(kAllLines, {{1, "\xC2"}, {3, std::string("\0x", 2)}, {22, "\xE2\x82"}}),
       {1, 3, 22}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const LanguageTexts texts = Read(c.file);
    for (int line = 1; line <= kAllLines; ++line) {
      const std::string expected = c.english.count(line) > 0
                                       ? std::string(englishText(textOfLine(line)))
                                       : "t" + std::to_string(line);
      EXPECT_EQ(Line(texts, line), expected) << "line " << line;
      if (line <= nLanguajeResources) {
        EXPECT_EQ(lrfData[line - 1], expected) << "line " << line;
      }
    }
    EXPECT_EQ(texts.missingLines(), static_cast<int>(c.english.size()));
  }
}

// Each line keeps at most its limit: 59 bytes for lines 1 to 20, 399 for the rest (the cases are
// written for 59 and shifted for line 21). Bytes that are not well-formed UTF-8 become U+FFFD, one
// for each maximal ill-formed subsequence, while the replacement fits; a sequence cut short by the
// line end is dropped; a character that would straddle the limit is dropped whole, never cut. The
// rest of a long line is skipped, not read as the next line, so later lines do not shift.
TEST_F(ReaderTest, EntryIsSoundUtf8WithinItsLimit) {
  const std::string shift(vestrand::lineLimit(21) - vestrand::lineLimit(20), 'p');
  const auto a = [](std::size_t n) { return std::string(n, 'a'); };
  const struct {
    const char* what;
    std::string line;      // without its line end
    std::string expected;  // the entry
  } cases[] = {
      {"sixty bytes", a(59) + "y", a(59)},
      {"fifty-nine bytes", a(59), a(59)},
      {"zero byte ends the entry", std::string("ab\0cd", 5), "ab"},
      {"lone continuation", "a\x80z", "a" + R + "z"},
      {"truncated before a character", "\xE2\x82z", R + "z"},
      {"truncated at the line end", "Rumbo \xC2", "Rumbo "},
      {"overlong two bytes", "\xC0\xAF", R + R},
      {"overlong three bytes", "\xE0\x80\xAF", R + R + R},
      {"surrogate", "\xED\xA0\x80", R + R + R},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80.", R + R + R + R + "."},
      {"replacement does not fit", a(57) + "\xFF", a(57)},
      {"replacement just fits", a(56) + "\xFF", a(56) + R},
      {"two bytes ending at the limit", a(57) + "\xC3\xA9", a(57) + "\xC3\xA9"},
      {"two bytes across the limit", a(58) + "\xC3\xA9", a(58)},
      {"four bytes ending at the limit", a(55) + kShip, a(55) + kShip},
      {"four bytes across the limit", a(56) + kShip, a(56)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const LanguageTexts texts = Read(fileOf(19) + c.line + "\n" + shift + c.line + "\nnext\n");
    EXPECT_EQ(lrfData[19], c.expected);
    EXPECT_EQ(Line(texts, 20), c.expected);
    EXPECT_EQ(Line(texts, 21), shift + c.expected);
    EXPECT_EQ(Line(texts, 22), "next");
  }
}

// A file that does not open (a folder or none; the run-time treats both alike) changes nothing
// and says so.
TEST_F(ReaderTest, FileThatDoesNotOpenLeavesTheTextsAsTheyWere) {
  LanguageTexts texts = Read(fileOf(kAllLines));
  EXPECT_FALSE(texts.read("absent.lrf"));
  EXPECT_EQ(ReadLanguajeResourceFile("absent.lrf"), -1);
  EXPECT_EQ(texts.missingLines(), -1);
  for (int line = 1; line <= kAllLines; ++line) {
    EXPECT_EQ(Line(texts, line), "t" + std::to_string(line));
  }
  EXPECT_STREQ(lrfData[0], "t1");
}

// A file in the current directory may be anything: a huge one without line feeds is read neither
// whole nor to its end, and shows English.
TEST_F(ReaderTest, HugeFileWithoutLineFeedsCostsNoMemory) {
  const int fd = ::open("huge.lrf", O_CREAT | O_WRONLY | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{3} << 30), 0);  // 3 GiB of zero bytes, sparse
  ::close(fd);
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  LanguageTexts texts;
  EXPECT_TRUE(texts.read("huge.lrf"));
  EXPECT_EQ(ReadLanguajeResourceFile("huge.lrf"), 0);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak resident kilobytes grew";
  for (int line = 1; line <= kAllLines; ++line) {
    EXPECT_EQ(Line(texts, line), englishText(textOfLine(line)));
  }
}

}  // namespace
