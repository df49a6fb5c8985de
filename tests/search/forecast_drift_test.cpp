// The datums drifted through forecast files, against the one-vector datums they must reproduce
// when the fields hold still and against datums sailed by hand when they turn. The files are made
// at test time by tests/fields/make_field_files.sh: a grid of 1 degree over 42..45N, 6..1W on
// 2024-01-15.
#include "forecast_drift.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Derrota.h"
#include "field_time.h"
#include "forcing.h"

namespace vestrand {
namespace {

// Stepping differs from one long sailing only in the second order.
constexpr double kDatumToleranceNm = 0.01;
constexpr double kLat = 43.5, kLon = -3.75;

std::string file(const char* name) {
  return std::string(VESTRAND_FIELD_FILES) + "/" + name;
}

double midnight() {
  double t = 0.0;
  std::string error;
  EXPECT_TRUE(fields::parseIsoTime("2024-01-15T00:00Z", t, error)) << error;
  return t;
}

double apart(const DriftedDatum& a, const DriftedDatum& b) {
  double course = 0.0, distance = 0.0;
  RumboDistancia(a.lat, a.lon, b.lat, b.lon, &course, &distance);
  return distance;
}

void expectDatums(const Datums& expected, const Datums& got) {
  EXPECT_LT(apart(expected.left, got.left), kDatumToleranceNm);
  EXPECT_LT(apart(expected.right, got.right), kDatumToleranceNm);
  EXPECT_LT(apart(expected.downwind, got.downwind), kDatumToleranceNm);
  EXPECT_NEAR(expected.downwind.distance, got.downwind.distance, kDatumToleranceNm);
  EXPECT_NEAR(expected.divergence, got.divergence, kDatumToleranceNm);
}

ForecastDriftInput input(double hours, double step, DriftObject object) {
  return {kLat, kLon, midnight(), hours, step, object};
}

// A day in the steady wind (from 300 at 20 kn) and current (toward 070 at 0.6 kn) of the files,
// at every step offered and one that does not divide the hours.
class SteadyField : public ::testing::TestWithParam<double> {};

TEST_P(SteadyField, GivesTheDatumsOfTheConstants) {
  const fields::Forcing forcing =
      fields::readForcing({file("drift-wind-steady.grib2")}, {file("drift-current-steady.nc")});
  const LeewayClass& piw = *findLeewayClass("PIW-1");
  const ForecastDatums r = forecastDatums(forcing, input(24.0, GetParam(), {&piw, {}}));
  ASSERT_EQ(r.fault, DriftFault::None);
  expectDatums(leewayDatums(kLat, kLon, 24.0, {70.0, 0.6}, leewayOf(piw, 300.0, 20.0)), r.datums);
  EXPECT_EQ(r.steps, static_cast<int>(std::ceil(24.0 * 60.0 / GetParam())));

  // A leeway by hand takes only the current from the files.
  const DriftVector byHand{45.0, 0.5};
  const ForecastDatums one = forecastDatums(forcing, input(24.0, GetParam(), {nullptr, byHand}));
  ASSERT_EQ(one.fault, DriftFault::None);
  expectDatums(manualDatums(kLat, kLon, 24.0, {70.0, 0.6}, byHand), one.datums);
}

INSTANTIATE_TEST_SUITE_P(Steps, SteadyField, ::testing::Values(1.0, 10.0, 60.0, 7.0));

// Wind and current turn between 12:00 and 12:10: the wind from 300 at 20 kn to from 210 at
// 25 kn, the current from 070 at 0.6 kn to 180 at 1 kn. A step takes the mean of the motions at
// its ends, so the step across the turn sails five minutes of each: by hand, 12 h 05 min of the
// first and 11 h 55 min of the second.
TEST(ForecastDrift, FollowsAFieldThatTurnsHalfway) {
  const fields::Forcing forcing =
      fields::readForcing({file("drift-wind-turn.grib2")}, {file("drift-current-turn.nc")});
  const LeewayClass& piw = *findLeewayClass("PIW-1");
  const ForecastDatums r = forecastDatums(forcing, input(24.0, 10.0, {&piw, {}}));
  ASSERT_EQ(r.fault, DriftFault::None);

  const double first = 12.0 + 5.0 / 60.0, second = 24.0 - first;
  const Leeway a = leewayOf(piw, 300.0, 20.0), b = leewayOf(piw, 210.0, 25.0);
  const auto byHand = [&](const LeewaySide& sideA, const LeewaySide& sideB) {
    const DriftedDatum half =
        driftedDatum(kLat, kLon, first, {70.0, 0.6}, {sideA.course, sideA.speed});
    return driftedDatum(half.lat, half.lon, second, {180.0, 1.0}, {sideB.course, sideB.speed});
  };
  Datums expected;
  expected.left = byHand(a.left, b.left);
  expected.right = byHand(a.right, b.right);
  const LeewaySide downA{0.0, a.downwindCourse, a.downwind, 0.0};
  const LeewaySide downB{0.0, b.downwindCourse, b.downwind, 0.0};
  expected.downwind = byHand(downA, downB);
  // The drift distance of the bent path is the straight one to the downwind datum.
  double course = 0.0;
  RumboDistancia(kLat, kLon, expected.downwind.lat, expected.downwind.lon, &course,
                 &expected.downwind.distance);
  RumboDistancia(expected.left.lat, expected.left.lon, expected.right.lat, expected.right.lon,
                 &course, &expected.divergence);
  expectDatums(expected, r.datums);
  EXPECT_NEAR(r.datums.downwind.speed * 24.0, expected.downwind.distance, kDatumToleranceNm);
}

// A current heading south at 1 m/s onto land at 43N (the rows of 42N and 43N are missing): the
// datum strands within a step's drift north of 43N, about 15.4 h on, and stays there.
TEST(ForecastDrift, StrandsWhereTheCurrentFileHasLand) {
  const fields::Forcing forcing = fields::readForcing({}, {file("drift-current-coast.nc")});
  const ForecastDatums r = forecastDatums(forcing, input(24.0, 10.0, {nullptr, {}}));
  ASSERT_EQ(r.fault, DriftFault::None);
  ASSERT_TRUE(r.downwind.stranded);
  const double stepDegrees = 600.0 / 1852.0 / 60.0;  // 10 min at 1 m/s
  EXPECT_GT(r.downwind.lat, 43.0);
  EXPECT_LE(r.downwind.lat, 43.0 + stepDegrees);
  EXPECT_EQ(r.datums.downwind.lat, r.downwind.lat);
  EXPECT_EQ(r.datums.downwind.lon, kLon);
  const double hours = (r.downwind.time - midnight()) / 3600.0;
  EXPECT_GE(hours, 15.0);
  EXPECT_LE(hours, 15.5);
}

}  // namespace
}  // namespace vestrand
