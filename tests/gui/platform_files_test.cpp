// Line-wise text files of the run-time: line ends, limits, the end of the file, and the look-up
// of bare names in the current directory before the built-in copies.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

#include "cvirte.h"

namespace {

class TextFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
  }
  void TearDown() override { QDir::setCurrent(previous); }

  static void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }

  static int Open(const char* name) {
    return CVI_OpenFile(name, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  }

  QTemporaryDir dir;
  QString previous;
};

TEST_F(TextFilesTest, ReadsLinesWithoutTheirLineEnds) {
  Write("lines.txt", "one\r\ntwo\n\nlast");
  const int file = Open("lines.txt");
  ASSERT_GE(file, 0);
  char line[16];
  EXPECT_EQ(ReadLine(file, line, 10), 3);
  EXPECT_STREQ(line, "one");
  EXPECT_EQ(ReadLine(file, line, 10), 3);
  EXPECT_STREQ(line, "two");
  EXPECT_EQ(ReadLine(file, line, 10), 0);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(ReadLine(file, line, 10), 4);
  EXPECT_STREQ(line, "last");
  EXPECT_EQ(ReadLine(file, line, 10), -2);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(ReadLine(file, line, 10), -2);
  EXPECT_EQ(CVI_CloseFile(file), 0);
}

TEST_F(TextFilesTest, KeepsACarriageReturnThatEndsNoLine) {
  Write("cr.txt", "a\rb\n");
  const int file = Open("cr.txt");
  char line[16];
  EXPECT_EQ(ReadLine(file, line, 10), 3);
  EXPECT_STREQ(line, "a\rb");
  CVI_CloseFile(file);
}

TEST_F(TextFilesTest, SkipsTheRestOfAnOverlongLine) {
  Write("long.txt", std::string(70, 'x') + "\r\n" + std::string(60, 'y') + "\nnext\n");
  const int file = Open("long.txt");
  char line[64];
  EXPECT_EQ(ReadLine(file, line, 60), 60);
  EXPECT_EQ(std::string(line), std::string(60, 'x'));
  EXPECT_EQ(ReadLine(file, line, 60), 60);
  EXPECT_EQ(std::string(line), std::string(60, 'y'));
  EXPECT_EQ(ReadLine(file, line, 60), 4);
  EXPECT_STREQ(line, "next");
  EXPECT_EQ(ReadLine(file, line, 60), -2);
  CVI_CloseFile(file);
}

// A line is scanned for its end over 1 MiB at most; past that the file counts as ended.
TEST_F(TextFilesTest, LineBeyondTheScanBoundEndsTheFile) {
  const std::size_t bound = std::size_t{1} << 20;
  Write("bound.txt",
        std::string(bound, 'x') + "\nnext\n" + std::string(bound + 1, 'y') + "\nlost\n");
  const int file = Open("bound.txt");
  char line[64];
  EXPECT_EQ(ReadLine(file, line, 60), 60);
  EXPECT_EQ(ReadLine(file, line, 60), 4);
  EXPECT_STREQ(line, "next");
  EXPECT_EQ(ReadLine(file, line, 60), 60);
  EXPECT_EQ(std::string(line), std::string(60, 'y'));
  EXPECT_EQ(ReadLine(file, line, 60), -2);
  EXPECT_STREQ(line, "");
  CVI_CloseFile(file);
}

TEST_F(TextFilesTest, ReportsBadHandlesWithTheEmptyText) {
  char line[8] = "junk";
  EXPECT_EQ(ReadLine(12345, line, 5), -1);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(CVI_CloseFile(12345), -1);
  Write("x.txt", "x\n");
  const int file = Open("x.txt");
  EXPECT_EQ(CVI_CloseFile(file), 0);
  EXPECT_EQ(ReadLine(file, line, 5), -1);
  EXPECT_EQ(CVI_CloseFile(file), -1);
}

TEST_F(TextFilesTest, OpensOnlyForReading) {
  Write("x.txt", "x\n");
  EXPECT_EQ(CVI_OpenFile("x.txt", 0, VAL_OPEN_AS_IS, VAL_ASCII), -1);
  EXPECT_EQ(CVI_OpenFile(nullptr, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII), -1);
  EXPECT_EQ(Open(""), -1);
}

TEST_F(TextFilesTest, MissingFileDoesNotOpen) {
  EXPECT_EQ(Open("missing.lrf"), -1);
  EXPECT_EQ(Open("sub/english.lrf"), -1);
}

TEST_F(TextFilesTest, BareNameFallsBackOnTheBuiltInCopy) {
  const int file = Open("english.lrf");
  ASSERT_GE(file, 0);
  char line[64];
  EXPECT_GT(ReadLine(file, line, 60), 0);
  EXPECT_STREQ(line, "Plan a search: set the datum, pick a pattern, write GPX");
  CVI_CloseFile(file);
}

TEST_F(TextFilesTest, FileInTheCurrentDirectoryOverridesTheBuiltInCopy) {
  Write("english.lrf", "Local heading\n");
  const int file = Open("english.lrf");
  char line[64];
  ReadLine(file, line, 60);
  EXPECT_STREQ(line, "Local heading");
  CVI_CloseFile(file);
}

TEST_F(TextFilesTest, FolderOfTheSameNameDoesNotHideTheBuiltInCopy) {
  std::filesystem::create_directory("french.lrf");
  const int file = Open("french.lrf");
  EXPECT_GE(file, 0);
  CVI_CloseFile(file);
}

TEST(CopyStringTest, CopiesAtMostTheLimitAndTerminates) {
  char target[16] = "ABCDEFGHIJKLMNO";
  CopyString(target, 0, "hello world", 0, 5);
  EXPECT_STREQ(target, "hello");
  CopyString(target, 2, "hello world", 6, 59);
  EXPECT_STREQ(target, "heworld");
  CopyString(target, 0, "", 0, 59);
  EXPECT_STREQ(target, "");
  CopyString(target, 0, "abc", 0, -1);
  EXPECT_STREQ(target, "abc");
}

TEST(ClockTest, GivesThePlausibleLocalTimeAndDate) {
  int hours = -1, minutes = -1, seconds = -1;
  CVI_GetSystemTime(&hours, &minutes, &seconds);
  EXPECT_GE(hours, 0);
  EXPECT_LT(hours, 24);
  EXPECT_GE(minutes, 0);
  EXPECT_LT(minutes, 60);
  EXPECT_GE(seconds, 0);
  EXPECT_LE(seconds, 60);
  int month = 0, day = 0, year = 0;
  GetSystemDate(&month, &day, &year);
  EXPECT_GE(year, 2024);
  EXPECT_GE(month, 1);
  EXPECT_LE(month, 12);
  EXPECT_GE(day, 1);
  EXPECT_LE(day, 31);
}

}  // namespace
