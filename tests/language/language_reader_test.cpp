// The language file reader against the run-time's real line-wise file operations, each test in
// its own scratch folder, which is the current directory while it runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>

#include "Languaje.h"
#include "language_test_support.h"

namespace {

using vestrand::testing::isSoundEntry;
using vestrand::testing::ScratchDir;
using vestrand::testing::writeBytes;

constexpr int kAllLines = nLanguajeResources + nLanguageExtras;
const std::string R = "\xEF\xBF\xBD";  // U+FFFD
const std::string kShip = "\xF0\x9F\x9A\xA2";

// Lines "t1" to "t<count>", with the texts of `replaced` in place of theirs.
std::string fileOf(int count, const std::map<int, std::string>& replaced = {},
                   const std::string& end = "\n") {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    const auto found = replaced.find(i);
    text += (found != replaced.end() ? found->second : "t" + std::to_string(i)) + end;
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

  void expectEveryEntrySound() {
    for (int i = 0; i < nLanguajeResources; ++i) {
      EXPECT_TRUE(isSoundEntry(lrfData[i], sizeof lrfData[i], nb - 1)) << "entry " << i;
    }
    for (int i = 0; i < nLanguageExtras; ++i) {
      EXPECT_TRUE(isSoundEntry(lrfExtra[i], sizeof lrfExtra[i], nbExtra - 1)) << "extra " << i;
    }
  }

  ScratchDir dir_;
};

// Lines a file lacks or leaves empty show their English text, in both readers, and are counted;
// lines past the table's twenty go to the plan texts only.
struct FallbackCase {
  const char* what;
  std::string file;
  std::set<int> english;  // 1-based lines that fall back
};

void PrintTo(const FallbackCase& c, std::ostream* out) {
  *out << c.what;
}

std::set<int> linesFrom(int first) {
  std::set<int> lines;
  for (int i = first; i <= kAllLines; ++i) lines.insert(i);
  return lines;
}

class ReaderFallbackTest : public ReaderTest, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(ReaderFallbackTest, MissingAndEmptyLinesShowEnglish) {
  const FallbackCase& c = GetParam();
  writeBytes(dir_.path() / "case.lrf", c.file);
  ASSERT_EQ(ReadLanguajeResourceFile("case.lrf"), 0);
  ASSERT_EQ(ReadLanguageExtras("case.lrf"), 0);
  for (int line = 1; line <= kAllLines; ++line) {
    const bool extra = line > nLanguajeResources;
    const int i = extra ? line - nLanguajeResources - 1 : line - 1;
    const std::string english = extra ? kEnglishExtras[i] : kEnglishTexts[i];
    const std::string expected = c.english.count(line) ? english : "t" + std::to_string(line);
    EXPECT_EQ(extra ? lrfExtra[i] : lrfData[i], expected) << "line " << line;
  }
  const auto extras =
      static_cast<int>(std::distance(c.english.upper_bound(nLanguajeResources), c.english.end()));
  EXPECT_EQ(LanguageFileMissingLines(), static_cast<int>(c.english.size()) - extras);
  EXPECT_EQ(LanguageExtrasMissingLines(), extras);
}

// Every line a language file has: the twenty, then the extras.

INSTANTIATE_TEST_SUITE_P(
    Files, ReaderFallbackTest,
    ::testing::Values(
        FallbackCase{"complete", fileOf(kAllLines + 5), {}},
        FallbackCase{"crlf", fileOf(kAllLines, {}, "\r\n"), {}},
        FallbackCase{"last_line_without_line_feed",
                     fileOf(kAllLines - 1) + "t" + std::to_string(kAllLines),
                     {}},
        FallbackCase{"twenty_lines", fileOf(20), linesFrom(21)},
        FallbackCase{"three_lines", fileOf(3), linesFrom(4)},
        FallbackCase{"empty_file", "", linesFrom(1)},
        FallbackCase{"empty_lines",
                     fileOf(kAllLines, {{2, ""}, {9, ""}, {20, ""}, {25, ""}}),
                     {2, 9, 20, 25}},
        FallbackCase{"empty_line_ended_by_crlf", fileOf(kAllLines, {{14, ""}}, "\r\n"), {14}},
        FallbackCase{"nothing_left_to_show",
                     fileOf(kAllLines, {{1, "\xC2"}, {3, std::string("\0x", 2)}, {22, "\r"}}),
                     {1, 3, 22}}),
    [](const auto& instance) { return std::string(instance.param.what); });

// Each entry keeps at most its limit: 59 bytes for the table, nbExtra - 1 for the extras (the
// cases are written for 59 and shifted for the extras). Bytes that are not well-formed UTF-8 become
// U+FFFD, one for each maximal ill-formed subsequence, while the replacement fits; a sequence cut
// short by the line end is dropped; a character that would straddle the limit is dropped whole,
// never cut. Both readers, table and plan texts, treat a line alike.
struct LineCase {
  const char* what;
  std::string line;      // without its line end
  std::string expected;  // the entry
};

std::string times(int n, const std::string& text) {
  std::string result;
  for (int i = 0; i < n; ++i) result += text;
  return result;
}

class ReaderLineTest : public ReaderTest, public ::testing::WithParamInterface<LineCase> {};

// The line is the twentieth and, behind as many bytes as the extras' limit is longer, the
// twenty-first: the rest of a long line is skipped, not read as the next line, so the plan texts
// do not shift.
TEST_P(ReaderLineTest, EntryIsSoundUtf8WithinItsLimit) {
  const std::string shift(nbExtra - nb, 'p');
  writeBytes(dir_.path() / "case.lrf",
             fileOf(19) + GetParam().line + "\n" + shift + GetParam().line + "\nnext\n");
  ASSERT_EQ(ReadLanguajeResourceFile("case.lrf"), 0);
  ASSERT_EQ(ReadLanguageExtras("case.lrf"), 0);
  EXPECT_EQ(lrfData[19], GetParam().expected);
  EXPECT_EQ(lrfExtra[0], shift + GetParam().expected);
  EXPECT_STREQ(lrfExtra[1], "next");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReaderLineTest,
    ::testing::Values(
        LineCase{"seventy_bytes", std::string(30, 'a') + std::string(40, 'b'),
                 std::string(30, 'a') + std::string(29, 'b')},
        LineCase{"sixty_bytes", std::string(59, 'x') + "y", std::string(59, 'x')},
        LineCase{"fifty_nine_bytes", std::string(59, 'z'), std::string(59, 'z')},
        LineCase{"zero_byte_ends_the_entry", std::string("ab\0cd", 5), "ab"},
        LineCase{"lone_continuation", "a\x80z", "a" + R + "z"},
        LineCase{"truncated_before_a_character", "\xE2\x82z", R + "z"},
        LineCase{"truncated_at_line_end", "Rumbo \xC2", "Rumbo "},
        LineCase{"truncated_before_carriage_return", "Kurs \xF0\x9F\x98\r", "Kurs "},
        LineCase{"overlong_two_bytes", "\xC0\xAF", R + R},
        LineCase{"overlong_three_bytes", "\xE0\x80\xAF", R + R + R},
        LineCase{"surrogate", "\xED\xA0\x80", R + R + R},
        LineCase{"beyond_u10ffff", "\xF4\x90\x80\x80.", R + R + R + R + "."},
        LineCase{"latin1_text", "Direcci\xF3n", "Direcci" + R + "n"},
        LineCase{"replacement_does_not_fit", std::string(57, 'a') + "\xFF", std::string(57, 'a')},
        LineCase{"replacement_just_fits", std::string(56, 'a') + "\xFF", std::string(56, 'a') + R},
        LineCase{"valid_text_unchanged",
                 "\xC3\x89"
                 "cartement \xC2\xB7 120\xC2\xB0 " +
                     kShip,
                 "\xC3\x89"
                 "cartement \xC2\xB7 120\xC2\xB0 " +
                     kShip},
        LineCase{"two_bytes_ending_at_the_limit", std::string(57, 'a') + "\xC3\xA9",
                 std::string(57, 'a') + "\xC3\xA9"},
        LineCase{"two_bytes_across_the_limit", std::string(58, 'a') + "\xC3\xA9",
                 std::string(58, 'a')},
        LineCase{"three_bytes_across_the_limit", std::string(57, 'a') + "\xE2\x82\xACtail",
                 std::string(57, 'a')},
        LineCase{"four_bytes_ending_at_the_limit", std::string(55, 'a') + kShip,
                 std::string(55, 'a') + kShip},
        LineCase{"four_bytes_across_the_limit", std::string(56, 'a') + kShip, std::string(56, 'a')},
        LineCase{"four_bytes_one_byte_in", std::string(58, 'a') + kShip, std::string(58, 'a')},
        LineCase{"long_line_stops_on_a_boundary", times(40, "\xC3\xBC"), times(29, "\xC3\xBC")}),
    [](const ::testing::TestParamInfo<LineCase>& param) { return param.param.what; });

// A file that does not open changes nothing and returns -1; the counts say so.
TEST_F(ReaderTest, FileThatDoesNotOpenLeavesTheTextsAsTheyWere) {
  std::filesystem::create_directory(dir_.path() / "folder.lrf");
  for (const char* name : {"absent.lrf", "folder.lrf"}) {
    EXPECT_EQ(ReadLanguajeResourceFile(name), -1) << name;
    EXPECT_EQ(ReadLanguageExtras(name), -1) << name;
    EXPECT_EQ(LanguageFileMissingLines(), -1);
    EXPECT_EQ(LanguageExtrasMissingLines(), -1);
    for (const auto& entry : lrfData) EXPECT_STREQ(entry, "stale");
    for (const auto& entry : lrfExtra) EXPECT_STREQ(entry, "stale");
  }
}

// Files that are not text: no crash, every entry sound, 0 returned.
TEST_F(ReaderTest, BinaryContentLeavesSoundEntries) {
  std::mt19937 random(20120725);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 50; ++round) {
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(byte(random));
    writeBytes(dir_.path() / "noise.lrf", bytes);
    ASSERT_EQ(ReadLanguajeResourceFile("noise.lrf"), 0) << "round " << round;
    ASSERT_EQ(ReadLanguageExtras("noise.lrf"), 0) << "round " << round;
    expectEveryEntrySound();
  }
}

// A file in the current directory may be anything: a huge one without line feeds is read neither
// whole nor to its end.
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
  expectEveryEntrySound();
}

}  // namespace
