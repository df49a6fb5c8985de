// The leeway table as built into the program, field by field against the shipped file, and the
// leeway of classes for a wind against values worked by hand from the published lines.
#include "leeway.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vestrand {
namespace {

// One line of the CSV file split at its commas; a quoted field may hold commas.
std::vector<std::string> csvFields(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

double number(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  EXPECT_EQ(*end, '\0') << text;
  return value;
}

TEST(LeewayTable, EveryFieldOfEveryRowIsThePublishedOne) {
  std::ifstream file(VESTRAND_LEEWAY_CSV);
  ASSERT_TRUE(file) << VESTRAND_LEEWAY_CSV;
  std::string line;
  std::getline(file, line);
  std::size_t row = 0;
  const std::span<const LeewayClass> classes = leewayClasses();
  while (std::getline(file, line)) {
    const std::vector<std::string> f = csvFields(line);
    ASSERT_EQ(f.size(), 13u) << line;
    ASSERT_LT(row, classes.size());
    const LeewayClass& c = classes[row++];
    SCOPED_TRACE(line);
    EXPECT_EQ(c.id, std::stoi(f[0]));
    EXPECT_EQ(c.key, f[1]);
    EXPECT_EQ(c.depth, std::stoi(f[2]));
    EXPECT_EQ(c.description, f[3]);
    const LeewayLine* lines[3] = {&c.downwind, &c.right, &c.left};
    for (int l = 0; l < 3; ++l) {
      // Exact: the compiler and strtod read the same decimal text.
      EXPECT_EQ(lines[l]->slopePct, number(f[4 + 3 * l]));
      EXPECT_EQ(lines[l]->offsetCms, number(f[5 + 3 * l]));
      EXPECT_EQ(lines[l]->sdCms, number(f[6 + 3 * l]));
    }
  }
  EXPECT_EQ(row, 85u);
  EXPECT_EQ(row, classes.size());
}

TEST(LeewayTable, ClassesAreFoundByNumberOrKeyInAnyCase) {
  EXPECT_EQ(findLeewayClass("57")->key, "SAILBOAT-1");
  EXPECT_EQ(findLeewayClass("sailboat-6b")->id, 63);
  EXPECT_EQ(leewayClassByKey("Piw-1"), leewayClassById(1));
  EXPECT_EQ(findLeewayClass("0"), nullptr);
  EXPECT_EQ(findLeewayClass("86"), nullptr);
  EXPECT_EQ(findLeewayClass("1x"), nullptr);
  EXPECT_EQ(findLeewayClass(""), nullptr);
  EXPECT_EQ(findLeewayClass("PIW"), nullptr);
}

// Hand values: U10 = kn / 1.94384, leeway [cm/s] = slope * U10 + offset, 51.4444 cm/s a knot.
constexpr double kKnots = 1e-9;
constexpr double kDegrees = 1e-7;

// The sign convention: with the wind from the north the object goes south, and the right side
// (clockwise from downwind, as a person facing downwind sees it) lies to the west of south.
TEST(Leeway, PositiveCrosswindIsToTheRightOfDownwind) {
  const Leeway l = leewayOf(*leewayClassByKey("PIW-1"), 0.0, 20.0);
  EXPECT_DOUBLE_EQ(l.downwindCourse, 180.0);
  EXPECT_NEAR(l.downwind, 0.19200044373435884, kKnots);
  EXPECT_FALSE(l.downwindClamped);
  EXPECT_NEAR(l.right.crosswind, 0.10800024960057686, kKnots);
  EXPECT_NEAR(l.right.speed, 0.2202912261257302, kKnots);
  EXPECT_NEAR(l.right.angle, 29.357753542791276, kDegrees);
  EXPECT_NEAR(l.right.course, 209.357753542791276, kDegrees);  // south-south-west
  EXPECT_NEAR(l.left.crosswind, -0.10800024960057686, kKnots);
  EXPECT_NEAR(l.left.angle, -29.357753542791276, kDegrees);
  EXPECT_NEAR(l.left.course, 150.642246457208724, kDegrees);  // south-south-east
  EXPECT_NEAR(l.sdDownwind, 0.23326133909287258, kKnots);
  EXPECT_NEAR(l.sdRight, 0.18272138228941684, kKnots);
  EXPECT_NEAR(l.sdLeft, 0.18272138228941684, kKnots);
}

// PIW-4 (survival suit) is no mirror image: its two sides differ in slope and offset.
TEST(Leeway, AsymmetricClassHasTwoDifferentSides) {
  const Leeway l = leewayOf(*leewayClassByKey("PIW-4"), 270.0, 10.0);
  EXPECT_DOUBLE_EQ(l.downwindCourse, 90.0);
  EXPECT_NEAR(l.downwind, 0.19277145351624814, kKnots);
  EXPECT_NEAR(l.right.speed, 0.20572737057001145, kKnots);
  EXPECT_NEAR(l.right.angle, 20.44238841025801, kDegrees);
  EXPECT_NEAR(l.right.course, 110.44238841025801, kDegrees);
  EXPECT_NEAR(l.left.speed, 0.20327965885878507, kKnots);
  EXPECT_NEAR(l.left.angle, -18.503069313072796, kDegrees);
  EXPECT_NEAR(l.left.course, 71.496930686927204, kDegrees);
  EXPECT_NEAR(l.sdRight, 1.71 / (185200.0 / 3600.0), kKnots);
  EXPECT_NEAR(l.sdLeft, 1.62 / (185200.0 / 3600.0), kKnots);
}

// PIW-3's downwind offset is -3.98 cm/s: at 2 kn of wind the line gives -0.045 kn, which is set
// to 0; the crosswind parts stay, and the object moves straight across the wind.
TEST(Leeway, NegativeDownwindPartIsSetToZeroAndFlagged) {
  const Leeway l = leewayOf(*leewayClassByKey("PIW-3"), 45.0, 2.0);
  EXPECT_TRUE(l.downwindClamped);
  EXPECT_EQ(l.downwind, 0.0);
  EXPECT_NEAR(l.right.crosswind, 0.009014692833956771, kKnots);
  EXPECT_NEAR(l.right.speed, 0.009014692833956771, kKnots);
  EXPECT_DOUBLE_EQ(l.right.angle, 90.0);
  EXPECT_NEAR(l.right.course, 315.0, kDegrees);
  EXPECT_DOUBLE_EQ(l.left.angle, -90.0);
  EXPECT_NEAR(l.left.course, 135.0, kDegrees);
}

TEST(Leeway, DirectionsWrapIntoOneTurn) {
  const Leeway l = leewayOf(*leewayClassByKey("SAILBOAT-1"), -350.0, 25.0);
  EXPECT_NEAR(l.downwindCourse, 190.0, kDegrees);
  EXPECT_NEAR(l.right.angle, 47.72631099390627, kDegrees);
  EXPECT_NEAR(l.left.angle, -32.07400087529404, kDegrees);
  EXPECT_NEAR(l.right.course, 237.72631099390627, kDegrees);
  const Leeway calm = leewayOf(*leewayClassByKey("SLDMB"), 180.0, 0.0);
  EXPECT_EQ(calm.downwindCourse, 0.0);
  EXPECT_EQ(calm.right.speed, 0.0);
  EXPECT_EQ(calm.right.course, 0.0);
}

}  // namespace
}  // namespace vestrand
