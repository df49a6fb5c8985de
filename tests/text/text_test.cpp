// The general text helpers: UTF-8 as every room checks it, numbers as printf writes them in the C
// locale, filled-in texts, the calendar for any year and the file stem. The language files' cut
// of a line is the language reader's test; the refusal of a position not UTF-8 the position
// reader's.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calendar.h"
#include "number_text.h"
#include "utf8.h"

namespace {

const std::string R = "\xEF\xBF\xBD";  // U+FFFD

TEST(Utf8, WellFormedCharactersAndTheRest) {
  const struct {
    std::string text;
    std::size_t firstInvalid;  // npos for valid text
    std::string valid;         // one U+FFFD per byte that is no part of a character
  } cases[] = {
      {"N43\xC2\xBA \xF0\x9F\x9A\xA2", std::string::npos, "N43\xC2\xBA \xF0\x9F\x9A\xA2"},
      {"43.5\xE2\x80-13.75", 4, "43.5" + R + R + "-13.75"},  // a cut typographic space
      {"\xC0\xAF", 0, R + R},                                // overlong
      {"a\xED\xA0\x80", 1, "a" + R + R + R},                 // surrogate
      {"\xF4\x90\x80\x80", 0, R + R + R + R},                // beyond U+10FFFF
      {"\xE2\x82", 0, R + R},                                // cut by the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vestrand::firstInvalidUtf8(c.text), c.firstInvalid);
    EXPECT_EQ(vestrand::validUtf8(c.text), c.valid);
  }
  EXPECT_EQ(vestrand::utf8BadLength("\xE2\x82z"), 2u);  // the maximal part that still fitted
  EXPECT_EQ(vestrand::utf8BadLength("\xFFz"), 1u);
}

TEST(NumberText, FillInAndNumbersAsPrintfWritesThem) {
  EXPECT_EQ(vestrand::fillIn("%1 and %2", {"a", "b%2"}), "a and b%2");  // filled in once only
  EXPECT_EQ(vestrand::fillIn("%2 before %1", {"a", "b%2"}), "b%2 before a");
  EXPECT_EQ(vestrand::fillIn("%3 %0 100% %", {"a", "b"}), "%3 %0 100% %");
  EXPECT_EQ(vestrand::fixedText(13.856406460551018, 2), "13.86");
  EXPECT_EQ(vestrand::fixedText(0.125, 2), "0.12");  // the tie to even
  EXPECT_EQ(vestrand::generalText(2e-5), "2e-05");
  EXPECT_EQ(vestrand::shortestText(0.1), "0.1");
  EXPECT_EQ(vestrand::fixedText(NAN, 2), "-");
  // Zero is shown as zero, whatever sign the rounding lost.
  EXPECT_EQ(vestrand::fixedText(-0.0, 2), "0.00");
  EXPECT_EQ(vestrand::fixedText(-0.004, 2), "0.00");
  EXPECT_EQ(vestrand::fixedText(-0.005001, 2), "-0.01");
  EXPECT_EQ(vestrand::shortestText(-0.0), "0");
  EXPECT_EQ(vestrand::generalText(-1e-5), "-1e-05");
}

// The leap years of the Gregorian calendar, also for years far outside <chrono>'s own range.
TEST(Calendar, DaysOfTheMonthInAnyYear) {
  const struct {
    long long year;
    int month, days;
  } cases[] = {{2024, 2, 29},    {2023, 2, 28},   {1900, 2, 28}, {2000, 2, 29},
               {1000000, 2, 29}, {999900, 2, 28}, {-4, 2, 29},   {-1, 2, 28},
               {2023, 12, 31},   {2023, 4, 30},   {2023, 13, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(vestrand::daysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
  }
  EXPECT_TRUE(vestrand::isRealDate(2012, 12, 25));
  EXPECT_FALSE(vestrand::isRealDate(2013, 2, 29));
  EXPECT_FALSE(vestrand::isRealDate(2013, 0, 1));
}

TEST(Calendar, StemOfADateAndTime) {
  EXPECT_EQ(vestrand::timeStem(2012, 7, 25, 9, 5, 3), "20120725090503");
  EXPECT_EQ(vestrand::timeStem(2012, 12, 25, 100, 0, 0), "201212251000000");
}

}  // namespace
