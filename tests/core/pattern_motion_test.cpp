// Patterns turned the other way and patterns laid in drifting water, checked leg by leg against
// their definitions worked here independently: the mirror of every leg about the first, and
// every turning point carried by the drift for the time the unit takes to reach it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Derrota.h"
#include "angulos.h"
#include "test_support.h"
#include "vestrand.gpx.h"

namespace {

using vestrand::PatternKind;
using vestrand::PatternParams;
using vestrand::Turn;

struct Point {
  double lat, lon;
  std::string name;
};

// Every route point and waypoint, with names, route by route.
struct Keeper final : vestrand::PatternSink {
  std::vector<std::string> names;
  std::vector<std::vector<Point>> routes;
  std::vector<Point> marks;
  void startRoute(const char* name) override {
    names.push_back(name);
    routes.emplace_back();
  }
  void routePoint(double lat, double lon, const char* name) override {
    routes.back().push_back({lat, lon, name});
  }
  void endRoute() override {}
  void waypoint(double lat, double lon, const char* name) override {
    marks.push_back({lat, lon, name});
  }
};

Keeper sailed(const PatternParams& p) {
  vestrand::PatternNames names;
  EXPECT_TRUE(vestrand::composePatternNames(p, "S", names));
  Keeper keeper;
  vestrand::sailPattern(p, names, keeper);
  return keeper;
}

const PatternParams kPatterns[] = {
    {PatternKind::ExpandingSquare, 40, -10, 30, 1, 0, 3},
    {PatternKind::Sector, 40, -10, 30, 0, 2, 0, 2},
    {PatternKind::CreepingLine, 43.5, -3.75, 30, 1, 4, 2},
    {PatternKind::ParallelSweep, 43.5, -3.75, 30, 1, 4, 2},
};

constexpr double kMile = 1e-9;    // nautical miles, for lengths that must agree
constexpr double kDegree = 1e-9;  // degrees of course
constexpr double kPlace = 1e-12;  // degrees of position, for the same arithmetic done twice

// The course and length of the step from a to b, by plane sailing (the sailings' own inverse).
void step(const Point& a, const Point& b, double& course, double& length) {
  RumboDistancia(a.lat, a.lon, b.lat, b.lon, &course, &length);
}

TEST(FirstTurn, PortMirrorsEveryLegAboutTheFirst) {
  for (PatternParams starboard : kPatterns) {
    PatternParams port = starboard;
    port.firstTurn = Turn::Port;
    const Keeper s = sailed(starboard), p = sailed(port);
    ASSERT_EQ(s.routes.size(), p.routes.size());
    const double c = starboard.course * kPi / 180.0;
    for (std::size_t r = 0; r < s.routes.size(); ++r) {
      ASSERT_EQ(s.routes[r].size(), p.routes[r].size());
      // The first points lie mirrored about the course line through the datum (on a flat chart:
      // the parallel sweep's run-in is two sailings, not one leg).
      const auto across = [&](const Point& q) {
        const double x = (q.lon - starboard.lon) * 60.0 * std::cos(starboard.lat * kPi / 180.0);
        return x * std::cos(c) - (q.lat - starboard.lat) * 60.0 * std::sin(c);
      };
      EXPECT_NEAR(across(p.routes[r][0]), -across(s.routes[r][0]), 1e-3);
      for (std::size_t k = 1; k < s.routes[r].size(); ++k) {
        // Each leg mirrored about the course.
        double cs, ls, cp, lp;
        step(s.routes[r][k - 1], s.routes[r][k], cs, ls);
        step(p.routes[r][k - 1], p.routes[r][k], cp, lp);
        EXPECT_NEAR(lp, ls, kMile) << patternCode(starboard.kind) << " " << r << ":" << k;
        if (ls < 1e-6) continue;
        EXPECT_NEAR(ang_180(cp - (2 * starboard.course - cs)), 0.0, kDegree)
            << patternCode(starboard.kind) << " " << r << ":" << k;
      }
    }
  }
  // The parallel sweep's routes are named by the side they search.
  PatternParams port = kPatterns[3];
  port.firstTurn = Turn::Port;
  EXPECT_EQ(sailed(port).names,
            (std::vector<std::string>{"S - PS-right 30.0", "S - PS-left 30.0"}));
  port = kPatterns[1];
  port.firstTurn = Turn::Port;
  EXPECT_EQ(sailed(port).names, (std::vector<std::string>{"S - VS 30.0", "S - VS 0.0"}));
}

// The legs of each unit through the water, in nautical miles, as the patterns define them; a
// unit's clock starts at its first point, and the sector's second pass continues the first's.
std::vector<std::vector<double>> waterLegs(const PatternParams& p) {
  const double s = p.spacing, l = p.leg;
  switch (p.kind) {
    case PatternKind::ExpandingSquare:
      return {{s, s, 2 * s, 2 * s, 3 * s, 3 * s, 4 * s}};
    case PatternKind::Sector: {
      const std::vector<double> pass = {l, l, 2 * l, l, 2 * l, l, l};
      return {pass, pass};
    }
    case PatternKind::CreepingLine:
      return {{l / 2, s, l, s, l, s, l, s, l}};
    default: {
      const std::vector<double> unit = {l, s, l, s, l, s, l, s};
      return {unit, unit};
    }
  }
}

TEST(DriftCompensation, EveryTurningPointMovesWithTheWaterForItsTime) {
  const vestrand::WaterDrift drift{250.0, 1.5};
  const double speed = 8.0;
  for (const PatternParams& ground : kPatterns) {
    PatternParams laid = ground;
    laid.drift = drift;
    laid.searchSpeed = speed;
    const Keeper g = sailed(ground), c = sailed(laid);
    const std::vector<std::vector<double>> legs = waterLegs(ground);
    ASSERT_EQ(g.routes.size(), legs.size());
    ASSERT_EQ(c.routes.size(), legs.size());
    const bool oneUnit = ground.kind == PatternKind::Sector;
    double sailed = 0.0;
    for (std::size_t r = 0; r < legs.size(); ++r) {
      ASSERT_EQ(g.routes[r].size(), legs[r].size() + 1);
      if (!oneUnit) sailed = 0.0;
      for (std::size_t k = 0; k < g.routes[r].size(); ++k) {
        if (k > 0) sailed += legs[r][k - 1];
        double lat, lon;
        PosicionLlegada(g.routes[r][k].lat, g.routes[r][k].lon, drift.speed, drift.set,
                        sailed / speed, &lat, &lon);
        // The leg lengths the rule uses come from the sailed points, equal to these to rounding.
        EXPECT_NEAR(c.routes[r][k].lat, lat, 1e-12) << patternCode(ground.kind) << r << ":" << k;
        EXPECT_NEAR(c.routes[r][k].lon, lon, 1e-12) << patternCode(ground.kind) << r << ":" << k;
      }
    }
    // A waypoint on a turning point goes with it; the datum, at the start, stays.
    ASSERT_EQ(c.marks.size(), g.marks.size());
    for (std::size_t m = 0; m < g.marks.size(); ++m) {
      bool found = false;
      for (std::size_t r = 0; r < g.routes.size() && !found; ++r) {
        for (std::size_t k = 0; k < g.routes[r].size() && !found; ++k) {
          if (g.routes[r][k].lat != g.marks[m].lat || g.routes[r][k].lon != g.marks[m].lon) {
            continue;
          }
          found = true;
          EXPECT_EQ(c.marks[m].lat, c.routes[r][k].lat) << g.marks[m].name;
          EXPECT_EQ(c.marks[m].lon, c.routes[r][k].lon) << g.marks[m].name;
        }
      }
      if (!found) {
        EXPECT_EQ(c.marks[m].lat, g.marks[m].lat) << g.marks[m].name;
      }
    }
  }
}

TEST(DriftCompensation, CspOfTheSectorsSecondPassMovesWithItsTime) {
  PatternParams laid = kPatterns[1];
  laid.drift = {90.0, 1.0};
  laid.searchSpeed = 8.0;
  const Keeper g = sailed(kPatterns[1]), c = sailed(laid);
  // CSP2 is the seventh point of the second pass, reached after 9 legs of 2 miles for the first
  // pass and 8 for the six legs of the second through the water.
  ASSERT_EQ(c.marks[2].name, "CSP2");
  double lat, lon;
  PosicionLlegada(g.marks[2].lat, g.marks[2].lon, 1.0, 90.0, (18.0 + 16.0) / 8.0, &lat, &lon);
  EXPECT_NEAR(c.marks[2].lat, lat, kPlace);
  EXPECT_NEAR(c.marks[2].lon, lon, 1e-12);
  EXPECT_EQ(c.marks[0].name, "Datum");
  EXPECT_EQ(c.marks[0].lon, -10.0);
}

TEST(DriftCompensation, NamesSayTheDriftAndNeverTheGroundFile) {
  PatternParams laid = kPatterns[3];
  laid.drift = {-90.4, 1.25};
  laid.searchSpeed = 8.0;
  vestrand::PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(laid, "20121225143000", names));
  EXPECT_STREQ(names.file, "20121225143000 PS_PM 30 drift 270 1.2kn.gpx");
  EXPECT_STREQ(names.routes[0],
               "20121225143000 - PS-left 30.0 compensated for drift 270 at 1.2 kn");
  EXPECT_STREQ(names.routes[1],
               "20121225143000 - PS-right 30.0 compensated for drift 270 at 1.2 kn");
  // A stem that leaves no room for the marks is refused, never cut.
  EXPECT_FALSE(vestrand::composePatternNames(laid, std::string(60, 's').c_str(), names));
  EXPECT_TRUE(vestrand::composePatternNames(kPatterns[3], std::string(60, 's').c_str(), names));
  EXPECT_EQ(vestrand::driftFault({0, 3.99}, 8.0), "");
  EXPECT_EQ(vestrand::driftFault({0, 4}, 8.0),
            "a drift of 4 kn is half the search speed of 8 kn or more; the pattern laid in the "
            "water would lose the shape the crew expects");
}

}  // namespace
