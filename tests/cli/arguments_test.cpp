// The command line's checks and reports, without the program around them.
#include "arguments.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "console.h"
#include "report.h"

namespace {

// The command line's refusals show how a message names the option and the value.
TEST(Arguments, Bounds) {
  using namespace vestrand::cli;
  try {
    checkCourse("--course", "361");
    ADD_FAILURE() << "361 was accepted";
  } catch (const UsageError& e) {
    EXPECT_STREQ(e.what(), "--course '361' refused: a course must lie from -360 to 360 degrees");
  }
  EXPECT_EQ(checkCourse("--course", "-360"), -360.0);
  EXPECT_EQ(checkCourse("--course", "360"), 360.0);
  EXPECT_THROW(checkCourse("--course", "360.0001"), UsageError);
  EXPECT_EQ(checkDistance("--leg", "500"), 500.0);
  EXPECT_EQ(checkDistance("--leg", "1e-9"), 1e-9);
  EXPECT_THROW(checkDistance("--leg", "-0"), UsageError);
  EXPECT_THROW(checkDistance("--leg", "500.0000001"), UsageError);
  EXPECT_EQ(checkCount("--count", "0"), 0);
  EXPECT_EQ(checkCount("--count", "2.0"), 2);
  EXPECT_EQ(checkCount("--count", "1000000"), 1000000);
  EXPECT_THROW(checkCount("--count", "1000001"), UsageError);
  EXPECT_THROW(checkCount("--count", "2.5"), UsageError);
  EXPECT_THROW(checkCount("--count", "-1"), UsageError);
  EXPECT_THROW(checkCount("--count", "1e300"), UsageError);
  EXPECT_EQ(checkStem("--stem", std::string(40, 'a')), std::string(40, 'a'));
  EXPECT_EQ(checkStem("--stem", "Plan_B-2"), "Plan_B-2");
  for (const std::string bad : {"", "a b", "a/b", "..", "a.b", "\xC3\xA9t\xC3\xA9"}) {
    EXPECT_THROW(checkStem("--stem", bad), UsageError) << bad;
  }
  EXPECT_THROW(checkStem("--stem", std::string(41, 'a')), UsageError);
}

TEST(Report, ShortestNumbersReadBack) {
  using vestrand::cli::shortestNumber;
  EXPECT_EQ(shortestNumber(0.1), "0.1");
  EXPECT_EQ(shortestNumber(90.0), "90");
  EXPECT_EQ(shortestNumber(-0.0), "0");  // zero is printed as zero
  EXPECT_EQ(shortestNumber(1e-300), "1e-300");
  EXPECT_EQ(shortestNumber(std::numeric_limits<double>::quiet_NaN()), "null");
  for (const double v : {44.998909155372, 2918.272243204252, 0.7071067811865481, 1.0 / 3.0}) {
    EXPECT_EQ(std::stod(shortestNumber(v)), v);
  }
}

// A value echoed in a message neither clears the terminal nor splits the message.
TEST(Report, MessagesShowControlCharactersEscaped) {
  const struct {
    std::string echoed, shown;
  } rows[] = {
      {"a\nb", "a\\nb"},
      {"\x1b[2Jx", "\\x1b[2Jx"},
      {"t\tr\r", "t\\tr\\r"},
      {"del\x7f", "del\\x7f"},
      {"csi\xC2\x9B", "csi\\u009b"},
      {"\xC3\xA9t\xC3\xA9 \xC2\xB0", "\xC3\xA9t\xC3\xA9 \xC2\xB0"},
      {"\xFF", "\xEF\xBF\xBD"},
      {std::string("a\0b", 3), "a\\x00b"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(vestrand::cli::shownSafely(row.echoed), row.shown) << row.shown;
  }
}

}  // namespace
