// The language file reader against the run-time's real line-wise file operations. Every test
// works in its own scratch folder, which is the current directory while it runs.
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

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string numberedLines(int count, const std::string& end = "\n") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "t" + std::to_string(i) + end;
  return text;
}

void fillTable(const char* text) {
  for (auto& entry : lrfData) {
    std::strncpy(entry, text, nb - 1);
    entry[nb - 1] = 0;
  }
}

// Writes `bytes` as the only line of a file, reads it and returns entry 0.
class ReaderFixture : public ::testing::Test {
 protected:
  void SetUp() override { fillTable("stale"); }

  std::string readAsFile(const std::string& bytes) {
    writeBytes(dir_.path() / "case.lrf", bytes);
    EXPECT_EQ(ReadLanguajeResourceFile("case.lrf"), 0);
    return lrfData[0];
  }

  void expectEveryEntrySound() {
    for (int i = 0; i < nLanguajeResources; ++i) {
      EXPECT_TRUE(isSoundEntry(lrfData[i], sizeof lrfData[i], nb - 1)) << "entry " << i;
    }
  }

  ScratchDir dir_;
};

// Line order, the twenty-line limit, the 59-byte limit and line ends.
class ReaderLinesTest : public ReaderFixture {};

TEST_F(ReaderLinesTest, TwentyLinesFillTheTableInOrder) {
  writeBytes(dir_.path() / "twenty.lrf", numberedLines(20));
  ASSERT_EQ(ReadLanguajeResourceFile("twenty.lrf"), 0);
  for (int i = 0; i < nLanguajeResources; ++i) {
    EXPECT_STREQ(lrfData[i], ("t" + std::to_string(i + 1)).c_str()) << "entry " << i;
  }
}

TEST_F(ReaderLinesTest, LinesAfterTheTwentiethAreNotRead) {
  writeBytes(dir_.path() / "longer.lrf", numberedLines(25));
  ASSERT_EQ(ReadLanguajeResourceFile("longer.lrf"), 0);
  for (int i = 0; i < nLanguajeResources; ++i) {
    EXPECT_STREQ(lrfData[i], ("t" + std::to_string(i + 1)).c_str()) << "entry " << i;
  }
}

TEST_F(ReaderLinesTest, SeventyCharacterLineKeepsItsFirstFiftyNine) {
  const std::string line = std::string(30, 'a') + std::string(40, 'b');
  EXPECT_EQ(readAsFile(line + "\nnext\n"), line.substr(0, 59));
  // The rest of the long line is skipped, not read as the next line.
  EXPECT_STREQ(lrfData[1], "next");
}

TEST_F(ReaderLinesTest, SixtyCharacterLineKeepsFiftyNine) {
  const std::string line = std::string(59, 'x') + "y";
  EXPECT_EQ(readAsFile(line + "\nnext\n"), std::string(59, 'x'));
  EXPECT_STREQ(lrfData[1], "next");
}

TEST_F(ReaderLinesTest, FiftyNineCharacterLineIsKeptWhole) {
  const std::string line(59, 'z');
  EXPECT_EQ(readAsFile(line + "\n"), line);
}

TEST_F(ReaderLinesTest, CarriageReturnBeforeLineFeedIsNotPartOfTheText) {
  writeBytes(dir_.path() / "crlf.lrf", numberedLines(20, "\r\n"));
  ASSERT_EQ(ReadLanguajeResourceFile("crlf.lrf"), 0);
  for (int i = 0; i < nLanguajeResources; ++i) {
    EXPECT_STREQ(lrfData[i], ("t" + std::to_string(i + 1)).c_str()) << "entry " << i;
  }
}

// A file in the current directory may be anything: a huge one without line feeds is read neither
// whole nor to its end.
TEST_F(ReaderLinesTest, HugeFileWithoutLineFeedsCostsNoMemory) {
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

// Lines a file lacks or leaves empty show their English text, in both readers, and are counted.
struct FallbackCase {
  const char* what;
  std::string file;
  std::set<int> english;  // 1-based lines that fall back
};

void PrintTo(const FallbackCase& c, std::ostream* out) {
  *out << c.what;
}

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

// Every line of a complete language file.
constexpr int kAllLines = nLanguajeResources + nLanguageExtras;

std::set<int> linesFrom(int first, int last = kAllLines) {
  std::set<int> lines;
  for (int i = first; i <= last; ++i) lines.insert(i);
  return lines;
}

class ReaderFallbackTest : public ReaderFixture,
                           public ::testing::WithParamInterface<FallbackCase> {
 protected:
  void TearDown() override {
    for (int i = 0; i < nLanguageExtras; ++i) std::strncpy(lrfExtra[i], kEnglishExtras[i], nb);
  }
};

TEST_P(ReaderFallbackTest, MissingAndEmptyLinesShowEnglish) {
  const FallbackCase& c = GetParam();
  writeBytes(dir_.path() / "case.lrf", c.file);
  ASSERT_EQ(ReadLanguajeResourceFile("case.lrf"), 0);
  ASSERT_EQ(ReadLanguageExtras("case.lrf"), 0);
  for (int line = 1; line <= nLanguajeResources + nLanguageExtras; ++line) {
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
        FallbackCase{"complete", fileOf(kAllLines), {}},
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

// A file that does not open.
class ReaderMissingFileTest : public ReaderFixture {};

TEST_F(ReaderMissingFileTest, ReturnsMinusOneAndLeavesTheTableAsItWas) {
  writeBytes(dir_.path() / "known.lrf", numberedLines(20));
  ASSERT_EQ(ReadLanguajeResourceFile("known.lrf"), 0);
  char before[nLanguajeResources][nb];
  std::memcpy(before, lrfData, sizeof before);

  EXPECT_EQ(ReadLanguajeResourceFile("absent.lrf"), -1);
  EXPECT_EQ(std::memcmp(before, lrfData, sizeof before), 0);
  EXPECT_EQ(LanguageFileMissingLines(), -1);
}

TEST_F(ReaderMissingFileTest, FolderInsteadOfFileReturnsMinusOne) {
  std::filesystem::create_directory(dir_.path() / "folder.lrf");
  EXPECT_EQ(ReadLanguajeResourceFile("folder.lrf"), -1);
  EXPECT_STREQ(lrfData[0], "stale");
}

// Files that are not text: no crash, every entry sound, 0 returned.
class ReaderDamagedFileTest : public ReaderFixture {};

TEST_F(ReaderDamagedFileTest, BinaryContentLeavesSoundEntries) {
  std::mt19937 random(20120725);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 50; ++round) {
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(byte(random));
    writeBytes(dir_.path() / "noise.lrf", bytes);
    ASSERT_EQ(ReadLanguajeResourceFile("noise.lrf"), 0) << "round " << round;
    expectEveryEntrySound();
  }
}

TEST_F(ReaderDamagedFileTest, ZeroByteEndsTheEntry) {
  EXPECT_EQ(readAsFile(std::string("ab\0cd\n", 6)), "ab");
}

// Bytes that are not well-formed UTF-8 become U+FFFD, one for each maximal ill-formed
// subsequence, while the replacement fits in the 59 bytes; a sequence cut short by the line end
// is dropped; a character that would straddle the 59-byte limit is dropped whole, never cut.
struct Utf8Case {
  const char* what;
  std::string line;      // without its line end
  std::string expected;  // the entry
};

std::string times(int n, const std::string& text) {
  std::string result;
  for (int i = 0; i < n; ++i) result += text;
  return result;
}

const std::string kShip = "\xF0\x9F\x9A\xA2";
const std::string R = kReplacement;

class ReaderUtf8Test : public ReaderFixture, public ::testing::WithParamInterface<Utf8Case> {};

TEST_P(ReaderUtf8Test, EntryIsSoundUtf8) {
  EXPECT_EQ(readAsFile(GetParam().line + "\n"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReaderUtf8Test,
    ::testing::Values(
        Utf8Case{"lone_continuation", "a\x80z", "a" + R + "z"},
        Utf8Case{"truncated_before_a_character", "\xE2\x82z", R + "z"},
        Utf8Case{"truncated_at_line_end", "Rumbo \xC2", "Rumbo "},
        Utf8Case{"truncated_before_carriage_return", "Kurs \xF0\x9F\x98\r", "Kurs "},
        Utf8Case{"overlong_two_bytes", "\xC0\xAF", R + R},
        Utf8Case{"overlong_three_bytes", "\xE0\x80\xAF", R + R + R},
        Utf8Case{"surrogate", "\xED\xA0\x80", R + R + R},
        Utf8Case{"beyond_u10ffff", "\xF4\x90\x80\x80.", R + R + R + R + "."},
        Utf8Case{"latin1_text", "Direcci\xF3n", "Direcci" + R + "n"},
        Utf8Case{"replacement_does_not_fit", std::string(57, 'a') + "\xFF", std::string(57, 'a')},
        Utf8Case{"replacement_just_fits", std::string(56, 'a') + "\xFF", std::string(56, 'a') + R},
        Utf8Case{"valid_text_unchanged",
                 "\xC3\x89"
                 "cartement (NM) \xC2\xB7 120\xC2\xB0 " +
                     kShip,
                 "\xC3\x89"
                 "cartement (NM) \xC2\xB7 120\xC2\xB0 " +
                     kShip},
        Utf8Case{"two_bytes_ending_at_the_limit", std::string(57, 'a') + "\xC3\xA9",
                 std::string(57, 'a') + "\xC3\xA9"},
        Utf8Case{"two_bytes_across_the_limit", std::string(58, 'a') + "\xC3\xA9",
                 std::string(58, 'a')},
        Utf8Case{"three_bytes_across_the_limit", std::string(57, 'a') + "\xE2\x82\xACtail",
                 std::string(57, 'a')},
        Utf8Case{"four_bytes_ending_at_the_limit", std::string(55, 'a') + kShip,
                 std::string(55, 'a') + kShip},
        Utf8Case{"four_bytes_across_the_limit", std::string(56, 'a') + kShip, std::string(56, 'a')},
        Utf8Case{"four_bytes_one_byte_in", std::string(58, 'a') + kShip, std::string(58, 'a')},
        Utf8Case{"long_line_stops_on_a_boundary", times(40, "\xC3\xBC"), times(29, "\xC3\xBC")}),
    [](const ::testing::TestParamInfo<Utf8Case>& param) { return param.param.what; });

// The plan texts after the twentieth line, read by their own reader into lrfExtra.
class ExtrasReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < nLanguageExtras; ++i) {
      std::strncpy(lrfExtra[i], "stale", nb - 1);
      lrfExtra[i][nb - 1] = 0;
    }
    fillTable("kept");
  }
  void TearDown() override {
    // Later tests of this program expect the English texts a run starts with.
    for (int i = 0; i < nLanguageExtras; ++i) std::strncpy(lrfExtra[i], kEnglishExtras[i], nb);
  }

  ScratchDir dir_;
};

TEST_F(ExtrasReaderTest, LeavesTheTwentyEntriesAlone) {
  writeBytes(dir_.path() / "long.lrf", numberedLines(20 + nLanguageExtras));
  ASSERT_EQ(ReadLanguageExtras("long.lrf"), 0);
  for (int i = 0; i < nLanguajeResources; ++i) EXPECT_STREQ(lrfData[i], "kept") << "entry " << i;
}

TEST_F(ExtrasReaderTest, AnOverlongTwentiethLineDoesNotShiftTheExtras) {
  std::string text = numberedLines(19) + std::string(70, 'x') + "\n";
  for (int i = 21; i <= 20 + nLanguageExtras; ++i) text += "t" + std::to_string(i) + "\n";
  writeBytes(dir_.path() / "long.lrf", text);
  ASSERT_EQ(ReadLanguageExtras("long.lrf"), 0);
  EXPECT_STREQ(lrfExtra[0], "t21");
}

TEST_F(ExtrasReaderTest, MissingFileReturnsMinusOneAndLeavesTheExtrasAsTheyWere) {
  EXPECT_EQ(ReadLanguageExtras("absent.lrf"), -1);
  for (int i = 0; i < nLanguageExtras; ++i) EXPECT_STREQ(lrfExtra[i], "stale");
  EXPECT_EQ(LanguageExtrasMissingLines(), -1);
}

TEST_F(ExtrasReaderTest, ExtrasAreCutAndCleanedAsTheTwentyAre) {
  writeBytes(dir_.path() / "odd.lrf",
             numberedLines(20) + std::string(70, 'y') + "\r\n" + "a\xC3\n" + "b\x80" + "c\n");
  ASSERT_EQ(ReadLanguageExtras("odd.lrf"), 0);
  EXPECT_EQ(std::string(lrfExtra[0]), std::string(59, 'y'));
  EXPECT_STREQ(lrfExtra[1], "a");
  EXPECT_EQ(std::string(lrfExtra[2]), std::string("b") + kReplacement + "c");
}

}  // namespace
