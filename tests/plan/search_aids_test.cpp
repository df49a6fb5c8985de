// The search aids: the drifted datum and the probability of detection against worked values,
// the clock and the leg table against the routes' own points, and the sector's second pass
// against the one-pass files it is made of.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "../core/test_support.h"
#include "Derrota.h"
#include "coverage.h"
#include "drift.h"
#include "leg_table.h"
#include "pattern_files.h"
#include "plan_summary.h"

namespace {

using vestrand::ClockTime;
using vestrand::DriftVector;
using vestrand::LegRow;
using vestrand::PatternKind;
using vestrand::PatternParams;

TEST(SearchAids, DriftedDatumOfWorkedCases) {
  // Worked from the east and north components and plane sailing with the short pi, 40N 10W.
  const struct {
    DriftVector current, leeway;
    double hours, course, speed, distance, lat, lon;
  } cases[] = {
      // clang-format off
      {{90, 1}, {0, 0}, 10, 90, 1, 10, 40, -9.782432118444621},                      // current only
      {{0, 0}, {-45, 1.5}, 4, 315, 1.5, 6, 40.07071067811865, -10.092354071390394},  // leeway
      {{90, 1}, {0, 1}, 10, 45, 1.4142135623730963, 14.142135623730962, 40.166666666666664,
       -9.782166039007448},                                                         // both
      {{90, 1}, {270, 1}, 10, 0, 0, 0, 40, -10},                                     // cancelled
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.course);
    const auto d = vestrand::driftedDatum(40, -10, c.hours, c.current, c.leeway);
    EXPECT_NEAR(d.course, c.course, 1e-9);
    EXPECT_NEAR(d.speed, c.speed, 1e-9);
    EXPECT_NEAR(d.distance, c.distance, 1e-9);
    EXPECT_NEAR(d.lat, c.lat, 1e-9);
    EXPECT_NEAR(d.lon, c.lon, 1e-9);
  }
  // Cancelled drift is exactly none, not a direction of rounding noise.
  EXPECT_EQ(vestrand::totalDrift({90, 1}, {270, 1}).toward, 0.0);
}

TEST(SearchAids, ProbabilityOfDetectionAgainstClosedForms) {
  // erf(sqrt(pi) / 2 * C) and 1 - e^(-C).
  const double cases[][3] = {{0.5, 0.4691159489300593, 0.3934693402873666},
                             {1, 0.7899085945560627, 0.6321205588285577},
                             {2, 0.9878111178151971, 0.8646647167633873}};
  for (const auto& c : cases) {
    EXPECT_NEAR(vestrand::podInverseCube(c[0]), c[1], 1e-15) << c[0];
    EXPECT_NEAR(vestrand::podExponential(c[0]), c[2], 1e-15) << c[0];
  }
  // The spacing given is kept to the last digit, though W / (W / S) is not S.
  EXPECT_EQ(vestrand::coverageOfSpacing(0.3, 0.7).spacing, 0.7);
}

// A POD of 99.98% once read 100.0%: certainty, which no search gives.
TEST(SearchAids, ProbabilityOfDetectionTextNeverClaimsCertaintyOrNothing) {
  const struct {
    double pod;
    const char* text;
  } rows[] = {{0.9878111178151971, "98.8%"},
              {0.9994, "99.9%"},
              {0.99949, "99.9%"},
              {0.99951, "> 99.9%"},
              {0.9998, "> 99.9%"},
              {1.0, "> 99.9%"},
              {0.0004, "< 0.1%"},
              {0.0, "0.0%"},
              {0.0005001, "0.1%"}};
  for (const auto& row : rows) EXPECT_EQ(vestrand::podText(row.pod), row.text) << row.pod;
  EXPECT_EQ(vestrand::podText(vestrand::podInverseCube(3.0)), "> 99.9%");  // 99.98%
}

TEST(SearchAids, StartTimeAndTheClockAcrossMidnightMonthsAndYears) {
  // The refusals' messages are checked where the command line reports them.
  ClockTime t;
  std::string error;
  ASSERT_TRUE(vestrand::parseClockTime("07:05", {2024, 3, 15, 0, 0, {}}, t, error));
  EXPECT_EQ(vestrand::clockText(t, ' '), "2024-03-15 07:05");
  for (const char* refused : {"2023-02-29T10:00", "2024-01-01T10:60", "2024-01-01 10:00", "7:05"}) {
    EXPECT_FALSE(vestrand::parseClockTime(refused, t, t, error)) << refused;
  }
  ASSERT_TRUE(vestrand::parseClockTime("2023-12-31T23:30", t, t, error));
  const struct {
    double hours;
    const char* text;
  } cases[] = {{0.5, "2024-01-01T00:00"},
               {1.0 / 120.0, "2023-12-31T23:31"},       // half a minute rounds up
               {24.0 * 60 + 0.5, "2024-03-01T00:00"}};  // past a leap day
  for (const auto& c : cases) {
    const auto eta = vestrand::clockAfter(t, c.hours);
    ASSERT_TRUE(eta.has_value()) << c.hours;
    EXPECT_EQ(vestrand::clockText(*eta, 'T'), c.text) << c.hours;
  }
  EXPECT_FALSE(vestrand::clockAfter(t, -1.0).has_value());
  EXPECT_FALSE(vestrand::clockAfter(t, std::numeric_limits<double>::quiet_NaN()).has_value());
}

// An ETA carries its clock's offset from UTC, as ISO 8601 writes it; the offset is the start's.
TEST(SearchAids, StartTimeWithItsOffsetFromUtc) {
  const ClockTime today{2024, 3, 15, 0, 0, {}};
  const struct {
    const char* start;
    double hours;
    const char* eta;  // nullptr: refused
  } cases[] = {
      {"2023-12-31T23:30+01:00", 0.5, "2024-01-01T00:00+01:00"},
      {"10:00Z", 1.0, "2024-03-15T11:00+00:00"},
      {"2024-03-15T10:00-03:30", 0.25, "2024-03-15T10:15-03:30"},
      {"10:00", 0.0, "2024-03-15T10:00"},  // no offset known: the caller adds the local one
      {"10:00+24:00", 0, nullptr},
      {"10:00+1:00", 0, nullptr},
      {"10:00+01:60", 0, nullptr},
      {"2024-03-15T10:00 +01:00", 0, nullptr},
  };
  for (const auto& c : cases) {
    ClockTime t;
    std::string error;
    ASSERT_EQ(vestrand::parseClockTime(c.start, today, t, error), c.eta != nullptr) << c.start;
    if (c.eta == nullptr) continue;
    const auto eta = vestrand::clockAfter(t, c.hours);
    ASSERT_TRUE(eta.has_value()) << c.start;
    EXPECT_EQ(vestrand::isoText(*eta), c.eta) << c.start;
  }
  EXPECT_EQ(vestrand::offsetText(-210), "-03:30");
}

TEST(SearchAids, RowsFollowTheRoutePointsAndAddUpToTheTrack) {
  constexpr double kSpeed = 6.0;
  const struct {
    PatternParams params;
    std::vector<int> routeUnits;  // the unit that sails each route
  } cases[] = {
      {{PatternKind::Sector, 40, -10, 30, 0, 2, 0, 2}, {1, 1}},  // two passes, one unit
      {{PatternKind::ParallelSweep, 43.5, -3.75, 45, 1, 4, 2}, {1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(vestrand::patternCode(c.params.kind));
    vestrand::PatternNames names;
    ASSERT_TRUE(vestrand::composePatternNames(c.params, "s", names));
    const auto recorder = vestrand::testing::sail(c.params, "s");
    std::vector<LegRow> rows;
    vestrand::LegTableSink table(c.params, kSpeed, [&](const LegRow& r) { rows.push_back(r); });
    vestrand::sailPattern(c.params, names, table);

    std::size_t next = 0;
    long long legs[3] = {0, 0, 0};
    double totals[3] = {0, 0, 0};
    for (std::size_t route = 0; route < recorder.points.size(); ++route) {
      const auto& points = recorder.points[route];
      const int unit = c.routeUnits[route];
      for (std::size_t i = 1; i < points.size(); ++i, ++next) {
        ASSERT_LT(next, rows.size());
        const LegRow& r = rows[next];
        double course = 0.0, distance = 0.0;
        RumboDistancia(points[i - 1].first, points[i - 1].second, points[i].first, points[i].second,
                       &course, &distance);
        totals[unit] += distance;
        EXPECT_EQ(r.unit, unit);
        EXPECT_EQ(r.leg, ++legs[unit]);
        EXPECT_EQ(r.from, static_cast<long long>(i));
        EXPECT_EQ(r.to, static_cast<long long>(i + 1));
        EXPECT_DOUBLE_EQ(r.course, course >= 360.0 ? 0.0 : course);
        EXPECT_DOUBLE_EQ(r.distance, distance);
        EXPECT_DOUBLE_EQ(r.total, totals[unit]);
        EXPECT_DOUBLE_EQ(r.hours, totals[unit] / kSpeed);
      }
    }
    EXPECT_EQ(next, rows.size());
    EXPECT_NEAR(totals[1] + totals[2], vestrand::summarizePattern(c.params, names).trackLength,
                1e-9);
  }
}

// With routes split for small plotters, each leg is numbered in the part that holds it, as the
// part's file numbers its points from 1; the parts follow the files' own split.
TEST(SearchAids, SplitRoutesNumberTheirPointsByPart) {
  const PatternParams square{PatternKind::ExpandingSquare, 40, -10, 0, 0.1, 0, 125};  // 252 points
  vestrand::PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(square, "s", names));
  const struct {
    int maxPoints;
    long long leg, part, parts, from, to;
  } cases[] = {
      {250, 249, 1, 2, 249, 250}, {250, 250, 2, 2, 1, 2},   {250, 251, 2, 2, 2, 3},
      {2, 1, 1, 251, 1, 2},       {2, 251, 251, 251, 1, 2}, {5, 5, 2, 63, 1, 2},
      {252, 251, 1, 1, 251, 252}, {0, 251, 0, 0, 251, 252},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.maxPoints << " points, leg " << c.leg);
    std::vector<LegRow> rows;
    vestrand::LegTableSink table(
        square, 8.0, [&](const LegRow& r) { rows.push_back(r); },
        {c.maxPoints, c.maxPoints == 0 ? std::vector<long long>{} : std::vector<long long>{252}});
    vestrand::sailPattern(square, names, table);
    ASSERT_EQ(rows.size(), 251u);
    const LegRow& r = rows[static_cast<std::size_t>(c.leg - 1)];
    EXPECT_EQ(r.leg, c.leg);
    EXPECT_EQ(r.part, c.part);
    EXPECT_EQ(r.parts, c.parts);
    EXPECT_EQ(r.from, c.from);
    EXPECT_EQ(r.to, c.to);
  }
}

// The `n`-th (0-based) block of lines from one holding `open` to one holding `close`.
std::string block(const std::string& file, const char* open, const char* close, int n) {
  std::size_t at = 0;
  for (int i = 0; i <= n; ++i) {
    at = file.find(open, i == 0 ? 0 : at + 1);
    if (at == std::string::npos) return "none";
  }
  at = file.rfind('\n', at) + 1;
  return file.substr(at, file.find('\n', file.find(close, at)) + 1 - at);
}

TEST(SearchAids, SecondSectorPassIsTheOnePassRouteTurnedThirtyDegrees) {
  vestrand::testing::ScratchDir dir;
  std::vector<std::string> written;
  const auto write = [&](double course, int passes) {
    const PatternParams p{PatternKind::Sector, 40, -10, course, 0, 2, 0, passes};
    std::string error;
    EXPECT_TRUE(vestrand::writePatternFiles(p, "s", "", {}, written, error)) << error;
    return vestrand::testing::readFile(written.front());
  };
  const std::string first = write(30, 1), turned = write(60, 1), both = write(30, 2);
  EXPECT_EQ(written.front(), "s VS2 30.gpx");  // beside "s VS 30.gpx", not over it

  EXPECT_EQ(block(both, "<rte>", "</rte>", 0), block(first, "<rte>", "</rte>", 0));
  EXPECT_EQ(block(both, "<rte>", "</rte>", 1), block(turned, "<rte>", "</rte>", 0));
  EXPECT_EQ(block(both, "<wpt ", "</wpt>", 0), block(first, "<wpt ", "</wpt>", 0));  // Datum
  EXPECT_EQ(block(both, "<wpt ", "</wpt>", 1), block(first, "<wpt ", "</wpt>", 1));  // CSP
  std::string csp2 = block(turned, "<wpt ", "</wpt>", 1);
  csp2.replace(csp2.find("<name>CSP</name>"), 16, "<name>CSP2</name>");
  EXPECT_EQ(block(both, "<wpt ", "</wpt>", 2), csp2);
  EXPECT_EQ(block(both, "<wpt ", "</wpt>", 3), "none");
}

}  // namespace
