// Line-wise text files of the run-time: line ends, limits, the end of the file, and the look-up
// of bare names in the current directory before the built-in copies.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

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
  static std::string FirstLine(const char* name) {
    const int file = Open(name);
    char line[64] = "";
    if (file >= 0) ReadLine(file, line, 60);
    CVI_CloseFile(file);
    return file < 0 ? "(not opened)" : line;
  }

  QTemporaryDir dir;
  QString previous;
};

// Reads of at most 60 bytes: each gives the count and the text; the rest of an overlong line is
// skipped; a line is scanned for its end over 1 MiB at most, past that the file counts as ended.
TEST_F(TextFilesTest, ReadsLinesWithoutTheirLineEnds) {
  const std::size_t bound = std::size_t{1} << 20;
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::pair<int, std::string>> reads;
  } cases[] = {
      {"line ends",
       "one\r\ntwo\n\nlast",
       {{3, "one"}, {3, "two"}, {0, ""}, {4, "last"}, {-2, ""}, {-2, ""}}},
      {"lone carriage return", "a\rb\n", {{3, "a\rb"}}},
      {"overlong lines",
       std::string(70, 'x') + "\r\n" + std::string(60, 'y') + "\nnext\n",
       {{60, std::string(60, 'x')}, {60, std::string(60, 'y')}, {4, "next"}, {-2, ""}}},
      {"scan bound",
       std::string(bound, 'x') + "\nnext\n" + std::string(bound + 1, 'y') + "\nlost\n",
       {{60, std::string(60, 'x')}, {4, "next"}, {60, std::string(60, 'y')}, {-2, ""}}},
  };
  for (const auto& c : cases) {
    Write("lines.txt", c.bytes);
    const int file = Open("lines.txt");
    ASSERT_GE(file, 0) << c.what;
    for (const auto& [count, text] : c.reads) {
      char line[64] = "junk";
      EXPECT_EQ(ReadLine(file, line, 60), count) << c.what;
      EXPECT_EQ(line, text) << c.what;
    }
    EXPECT_EQ(CVI_CloseFile(file), 0);
  }
}

TEST_F(TextFilesTest, RefusesBadHandlesAndOpensOnlyForReading) {
  char line[8] = "junk";
  EXPECT_EQ(ReadLine(12345, line, 5), -1);
  EXPECT_STREQ(line, "");
  EXPECT_EQ(CVI_CloseFile(12345), -1);
  Write("x.txt", "x\n");
  const int file = Open("x.txt");
  EXPECT_EQ(CVI_CloseFile(file), 0);
  EXPECT_EQ(ReadLine(file, line, 5), -1);
  EXPECT_EQ(CVI_CloseFile(file), -1);
  EXPECT_EQ(CVI_OpenFile("x.txt", 0, VAL_OPEN_AS_IS, VAL_ASCII), -1);
  EXPECT_EQ(CVI_OpenFile(nullptr, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII), -1);
  for (const char* name : {"", "missing.lrf", "sub/english.lrf"}) EXPECT_EQ(Open(name), -1) << name;
}

TEST_F(TextFilesTest, FileInTheCurrentDirectoryOverridesTheBuiltInCopy) {
  EXPECT_EQ(FirstLine("english.lrf"), "Plan a search: set the datum, pick a pattern, write GPX");
  Write("english.lrf", "Local heading\n");
  EXPECT_EQ(FirstLine("english.lrf"), "Local heading");
  // A folder of the same name does not hide the built-in copy.
  std::filesystem::create_directory("french.lrf");
  EXPECT_NE(FirstLine("french.lrf"), "(not opened)");
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
  int hours = -1, minutes = -1, seconds = -1, month = 0, day = 0, year = 0;
  CVI_GetSystemTime(&hours, &minutes, &seconds);
  GetSystemDate(&month, &day, &year);
  EXPECT_TRUE(hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && seconds >= 0 &&
              seconds <= 60)
      << hours << ":" << minutes << ":" << seconds;
  EXPECT_TRUE(year >= 2024 && month >= 1 && month <= 12 && day >= 1 && day <= 31)
      << year << "/" << month << "/" << day;
}

}  // namespace
