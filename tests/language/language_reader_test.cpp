// The language file reader against the run-time's real line-wise file operations, each test in
// its own scratch folder, which is the current directory while it runs. Arbitrary bytes are the
// fuzz target's.
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

namespace {

constexpr int kAllLines = nLanguajeResources + nLanguageExtras;
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
    for (auto& entry : lrfExtra) std::strncpy(entry, "stale", nb);
  }
  // Later tests of this program expect the English plan texts a run starts with.
  void TearDown() override { ResetLanguageExtras(); }

  // Reads the bytes as case.lrf with both readers.
  static void Read(const std::string& bytes) {
    std::ofstream("case.lrf", std::ios::binary) << bytes;
    EXPECT_EQ(ReadLanguajeResourceFile("case.lrf"), 0);
    EXPECT_EQ(ReadLanguageExtras("case.lrf"), 0);
  }

  vestrand::testing::ScratchDir dir_;
};

// Lines a file lacks or leaves empty show their English text, in both readers, and are counted;
// lines past the table's twenty go to the plan texts only.
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
    Read(c.file);
    int extras = 0;
    for (int line = 1; line <= kAllLines; ++line) {
      const bool extra = line > nLanguajeResources, english = c.english.count(line) > 0;
      const int i = extra ? line - nLanguajeResources - 1 : line - 1;
      extras += extra && english;
      const std::string expected = !english ? "t" + std::to_string(line)
                                   : extra  ? kEnglishExtras[i]
                                            : kEnglishTexts[i];
      EXPECT_EQ(extra ? lrfExtra[i] : lrfData[i], expected) << "line " << line;
    }
    EXPECT_EQ(LanguageFileMissingLines(), static_cast<int>(c.english.size()) - extras);
    EXPECT_EQ(LanguageExtrasMissingLines(), extras);
  }
}

// Each entry keeps at most its limit: 59 bytes for the table, nbExtra - 1 for the extras (the
// cases are written for 59 and shifted for the extras). Bytes that are not well-formed UTF-8 become
// U+FFFD, one for each maximal ill-formed subsequence, while the replacement fits; a sequence cut
// short by the line end is dropped; a character that would straddle the limit is dropped whole,
// never cut. The line is the twentieth and the twenty-first: the rest of a long line is skipped,
// not read as the next line, so the plan texts do not shift.
TEST_F(ReaderTest, EntryIsSoundUtf8WithinItsLimit) {
  const std::string shift(nbExtra - nb, 'p');
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
    Read(fileOf(19) + c.line + "\n" + shift + c.line + "\nnext\n");
    EXPECT_EQ(lrfData[19], c.expected);
    EXPECT_EQ(lrfExtra[0], shift + c.expected);
    EXPECT_STREQ(lrfExtra[1], "next");
  }
}

// A file that does not open (a folder or none; the run-time treats both alike) changes nothing
// and returns -1; the counts say so.
TEST_F(ReaderTest, FileThatDoesNotOpenLeavesTheTextsAsTheyWere) {
  EXPECT_EQ(ReadLanguajeResourceFile("absent.lrf"), -1);
  EXPECT_EQ(ReadLanguageExtras("absent.lrf"), -1);
  EXPECT_EQ(LanguageFileMissingLines(), -1);
  EXPECT_EQ(LanguageExtrasMissingLines(), -1);
  for (const auto& entry : lrfData) EXPECT_STREQ(entry, "stale");
  for (const auto& entry : lrfExtra) EXPECT_STREQ(entry, "stale");
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
  EXPECT_EQ(ReadLanguajeResourceFile("huge.lrf"), 0);
  EXPECT_EQ(ReadLanguageExtras("huge.lrf"), 0);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak resident kilobytes grew";
  for (int i = 0; i < nLanguajeResources; ++i) EXPECT_STREQ(lrfData[i], kEnglishTexts[i]);
  for (int i = 0; i < nLanguageExtras; ++i) EXPECT_STREQ(lrfExtra[i], kEnglishExtras[i]);
}

}  // namespace
