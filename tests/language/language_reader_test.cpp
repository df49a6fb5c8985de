// The language file reader against the run-time's real line-wise file operations. Every test
// works in its own scratch folder, which is the current directory while it runs.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
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

TEST_F(ReaderLinesTest, EmptyLineGivesTheEmptyText) {
  writeBytes(dir_.path() / "gap.lrf", "first\n\nthird\n");
  ASSERT_EQ(ReadLanguajeResourceFile("gap.lrf"), 0);
  EXPECT_STREQ(lrfData[0], "first");
  EXPECT_STREQ(lrfData[1], "");
  EXPECT_STREQ(lrfData[2], "third");
}

// A file that does not open.
class ReaderMissingFileTest : public ReaderFixture {};

TEST_F(ReaderMissingFileTest, ReturnsMinusOneAndLeavesTheTableAsItWas) {
  writeBytes(dir_.path() / "known.lrf", numberedLines(20));
  ASSERT_EQ(ReadLanguajeResourceFile("known.lrf"), 0);
  char before[nLanguajeResources][nb];
  std::memcpy(before, lrfData, sizeof before);

  EXPECT_EQ(ReadLanguajeResourceFile("absent.lrf"), -1);
  EXPECT_EQ(std::memcmp(before, lrfData, sizeof before), 0);
}

TEST_F(ReaderMissingFileTest, FolderInsteadOfFileReturnsMinusOne) {
  std::filesystem::create_directory(dir_.path() / "folder.lrf");
  EXPECT_EQ(ReadLanguajeResourceFile("folder.lrf"), -1);
  EXPECT_STREQ(lrfData[0], "stale");
}

// Files that are short, empty or not text: no crash, every entry sound, 0 returned.
class ReaderDamagedFileTest : public ReaderFixture {};

TEST_F(ReaderDamagedFileTest, ShortFileLeavesTheMissingEntriesEmpty) {
  writeBytes(dir_.path() / "short.lrf", numberedLines(3));
  ASSERT_EQ(ReadLanguajeResourceFile("short.lrf"), 0);
  EXPECT_STREQ(lrfData[0], "t1");
  EXPECT_STREQ(lrfData[2], "t3");
  for (int i = 3; i < nLanguajeResources; ++i) EXPECT_STREQ(lrfData[i], "") << "entry " << i;
  expectEveryEntrySound();
}

TEST_F(ReaderDamagedFileTest, LastLineWithoutLineFeedIsRead) {
  std::string text = numberedLines(19) + "t20";
  writeBytes(dir_.path() / "open-end.lrf", text);
  ASSERT_EQ(ReadLanguajeResourceFile("open-end.lrf"), 0);
  EXPECT_STREQ(lrfData[18], "t19");
  EXPECT_STREQ(lrfData[19], "t20");
}

TEST_F(ReaderDamagedFileTest, EmptyFileEmptiesEveryEntry) {
  writeBytes(dir_.path() / "empty.lrf", "");
  ASSERT_EQ(ReadLanguajeResourceFile("empty.lrf"), 0);
  for (int i = 0; i < nLanguajeResources; ++i) EXPECT_STREQ(lrfData[i], "") << "entry " << i;
}

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

// Bytes that are not well-formed UTF-8: each maximal ill-formed subsequence becomes U+FFFD while
// the replacement fits in the 59 bytes; a sequence cut short by the line end is dropped.
class ReaderInvalidUtf8Test : public ReaderFixture {};

TEST_F(ReaderInvalidUtf8Test, LoneContinuationByteBecomesReplacement) {
  EXPECT_EQ(readAsFile("a\x80z\n"), std::string("a") + kReplacement + "z");
}

TEST_F(ReaderInvalidUtf8Test, TruncatedSequenceBeforeAnotherCharacterBecomesOneReplacement) {
  EXPECT_EQ(readAsFile("\xE2\x82z\n"), std::string(kReplacement) + "z");
}

TEST_F(ReaderInvalidUtf8Test, TruncatedSequenceAtLineEndIsDropped) {
  EXPECT_EQ(readAsFile("Rumbo \xC2\n"), "Rumbo ");
  EXPECT_EQ(readAsFile("Kurs \xF0\x9F\x98\r\n"), "Kurs ");
}

TEST_F(ReaderInvalidUtf8Test, OverlongFormIsRejected) {
  EXPECT_EQ(readAsFile("\xC0\xAF\n"), std::string(kReplacement) + kReplacement);
  EXPECT_EQ(readAsFile("\xE0\x80\xAF\n"), std::string(kReplacement) + kReplacement + kReplacement);
}

TEST_F(ReaderInvalidUtf8Test, SurrogateIsRejected) {
  EXPECT_EQ(readAsFile("\xED\xA0\x80\n"), std::string(kReplacement) + kReplacement + kReplacement);
}

TEST_F(ReaderInvalidUtf8Test, BeyondU10FFFFIsRejected) {
  EXPECT_EQ(readAsFile("\xF4\x90\x80\x80.\n"),
            std::string(kReplacement) + kReplacement + kReplacement + kReplacement + ".");
}

TEST_F(ReaderInvalidUtf8Test, Latin1TextBecomesReplacements) {
  // "Dirección" saved in Windows-1252 instead of UTF-8.
  EXPECT_EQ(readAsFile("Direcci\xF3n\n"), std::string("Direcci") + kReplacement + "n");
}

TEST_F(ReaderInvalidUtf8Test, ReplacementThatDoesNotFitEndsTheEntry) {
  EXPECT_EQ(readAsFile(std::string(57, 'a') + "\xFF\n"), std::string(57, 'a'));
  EXPECT_EQ(readAsFile(std::string(56, 'a') + "\xFF\n"), std::string(56, 'a') + kReplacement);
}

TEST_F(ReaderInvalidUtf8Test, ValidMultiByteTextPassesUnchanged) {
  const std::string text = "Écartement (NM) · Schenkellänge · 120° · \xF0\x9F\x9A\xA2";
  ASSERT_LE(text.size(), 59u);
  EXPECT_EQ(readAsFile(text + "\n"), text);
}

// A character that would straddle the 59-byte limit is dropped whole, never cut.
class ReaderUtf8LimitTest : public ReaderFixture {};

TEST_F(ReaderUtf8LimitTest, TwoByteCharacterEndingAtByteFiftyNineIsKept) {
  const std::string line = std::string(57, 'a') + "é";
  EXPECT_EQ(readAsFile(line + "\n"), line);
}

TEST_F(ReaderUtf8LimitTest, TwoByteCharacterAcrossTheLimitIsDropped) {
  EXPECT_EQ(readAsFile(std::string(58, 'a') + "é\n"), std::string(58, 'a'));
}

TEST_F(ReaderUtf8LimitTest, ThreeByteCharacterAcrossTheLimitIsDropped) {
  EXPECT_EQ(readAsFile(std::string(57, 'a') + "€tail\n"), std::string(57, 'a'));
  EXPECT_EQ(readAsFile(std::string(58, 'a') + "€\n"), std::string(58, 'a'));
}

TEST_F(ReaderUtf8LimitTest, FourByteCharacterAcrossTheLimitIsDropped) {
  const std::string ship = "\xF0\x9F\x9A\xA2";
  EXPECT_EQ(readAsFile(std::string(55, 'a') + ship + "\n"), std::string(55, 'a') + ship);
  for (std::size_t prefix = 56; prefix <= 58; ++prefix) {
    EXPECT_EQ(readAsFile(std::string(prefix, 'a') + ship + "\n"), std::string(prefix, 'a'))
        << prefix << " bytes before the character";
  }
}

TEST_F(ReaderUtf8LimitTest, LongLineOfTwoByteCharactersStopsOnACharacterBoundary) {
  std::string line;
  for (int i = 0; i < 40; ++i) line += "ü";
  std::string expected;
  for (int i = 0; i < 29; ++i) expected += "ü";
  EXPECT_EQ(readAsFile(line + "\n"), expected);
}

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

TEST_F(ExtrasReaderTest, LinesAfterTheTwentiethFillTheExtrasInOrder) {
  writeBytes(dir_.path() / "long.lrf", numberedLines(20 + nLanguageExtras + 3));
  ASSERT_EQ(ReadLanguageExtras("long.lrf"), 0);
  for (int i = 0; i < nLanguageExtras; ++i) {
    EXPECT_STREQ(lrfExtra[i], ("t" + std::to_string(21 + i)).c_str()) << "extra " << i;
  }
}

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

TEST_F(ExtrasReaderTest, TwentyLineFileGivesTheEnglishTexts) {
  writeBytes(dir_.path() / "old.lrf", numberedLines(20));
  ASSERT_EQ(ReadLanguageExtras("old.lrf"), 0);
  for (int i = 0; i < nLanguageExtras; ++i) EXPECT_STREQ(lrfExtra[i], kEnglishExtras[i]);
}

TEST_F(ExtrasReaderTest, ShortExtrasGiveEnglishForTheMissingLinesOnly) {
  writeBytes(dir_.path() / "short.lrf", numberedLines(22));
  ASSERT_EQ(ReadLanguageExtras("short.lrf"), 0);
  EXPECT_STREQ(lrfExtra[0], "t21");
  EXPECT_STREQ(lrfExtra[1], "t22");
  for (int i = 2; i < nLanguageExtras; ++i) EXPECT_STREQ(lrfExtra[i], kEnglishExtras[i]);
}

TEST_F(ExtrasReaderTest, MissingFileReturnsMinusOneAndLeavesTheExtrasAsTheyWere) {
  EXPECT_EQ(ReadLanguageExtras("absent.lrf"), -1);
  for (int i = 0; i < nLanguageExtras; ++i) EXPECT_STREQ(lrfExtra[i], "stale");
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
