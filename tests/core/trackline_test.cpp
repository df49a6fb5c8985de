// Trackline searches: the tracks lie at S/2 and S from straight and bent routes, the return
// search comes back on the other side, and routes no track can follow are refused.
#include "trackline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Derrota.h"
#include "angulos.h"
#include "vestrand.gpx.h"

namespace {

using vestrand::TrackPoint;

// Flat-chart distances are good to a few metres over these few miles.
constexpr double kFlat = 2e-3;  // nautical miles

struct Along {
  double along, across;  // nautical miles; across positive to starboard of a -> b
};

// Where p lies from the leg a -> b on a flat chart at the leg's mean latitude.
Along fromLeg(const TrackPoint& a, const TrackPoint& b, const TrackPoint& p) {
  const double k = 60.0 * std::cos((a.lat + b.lat) / 2.0 * kPi / 180.0);
  const double bx = (b.lon - a.lon) * k, by = (b.lat - a.lat) * 60.0;
  const double px = (p.lon - a.lon) * k, py = (p.lat - a.lat) * 60.0;
  const double length = std::hypot(bx, by);
  return {(px * bx + py * by) / length, (px * by - py * bx) / length};
}

TrackPoint arrive(const TrackPoint& from, double course, double miles) {
  TrackPoint to;
  PosicionLlegadaLox(from.lat, from.lon, 1.0, course, miles, &to.lat, &to.lon);
  return to;
}

const TrackPoint kA{43.5, -3.75};
const std::vector<TrackPoint> kStraight = {kA, arrive(kA, 30.0, 8.0)};
// Five miles north, then a turn of 60 degrees to starboard for five more.
const std::vector<TrackPoint> kBent = {kA, arrive(kA, 0.0, 5.0),
                                       arrive(arrive(kA, 0.0, 5.0), 60.0, 5.0)};

TEST(Trackline, NonReturnTracksLieSAndHalfSOffStraightRoutes) {
  const double s = 1.0;
  for (const auto& [units, offsets] : std::vector<std::pair<int, std::vector<double>>>{
           {1, {0.0}}, {2, {-s / 2, s / 2}}, {3, {-s, 0.0, s}}}) {
    const auto routes = vestrand::tracklineRoutes(kStraight, s, false, units, false);
    ASSERT_EQ(routes.size(), offsets.size());
    for (std::size_t u = 0; u < routes.size(); ++u) {
      ASSERT_EQ(routes[u].size(), 2u);
      for (std::size_t k = 0; k < 2; ++k) {
        const Along at = fromLeg(kStraight[0], kStraight[1], routes[u][k]);
        EXPECT_NEAR(at.across, offsets[u], kFlat) << units << " units, unit " << u + 1;
        // Square to the route at its ends.
        EXPECT_NEAR(at.along, fromLeg(kStraight[0], kStraight[1], kStraight[k]).along, kFlat);
      }
    }
  }
  EXPECT_NEAR(vestrand::tracklineCourse(kStraight), 30.0, 1e-9);
}

TEST(Trackline, BentRoutesKeepTheOffsetRoundMitredCorners) {
  for (const double offset : {0.5, -0.5, 1.0, -1.0}) {
    const std::vector<TrackPoint> t = vestrand::offsetTrack(kBent, offset);
    ASSERT_EQ(t.size(), 3u);
    // The corner is as far from both legs as the ends are from theirs.
    EXPECT_NEAR(fromLeg(kBent[0], kBent[1], t[0]).across, offset, kFlat);
    EXPECT_NEAR(fromLeg(kBent[0], kBent[1], t[1]).across, offset, kFlat);
    EXPECT_NEAR(fromLeg(kBent[1], kBent[2], t[1]).across, offset, kFlat);
    EXPECT_NEAR(fromLeg(kBent[1], kBent[2], t[2]).across, offset, kFlat);
    double course, distance;
    RumboDistancia(kBent[1].lat, kBent[1].lon, t[1].lat, t[1].lon, &course, &distance);
    EXPECT_NEAR(distance, std::fabs(offset) / std::cos(30.0 * kPi / 180.0), kFlat);
  }
}

TEST(Trackline, ReturnSearchComesBackOnTheOtherSide) {
  const double s = 1.0;
  for (const bool port : {false, true}) {
    const auto routes = vestrand::tracklineRoutes(kBent, s, true, 1, port);
    ASSERT_EQ(routes.size(), 1u);
    const std::vector<TrackPoint>& r = routes[0];
    ASSERT_EQ(r.size(), 6u);
    // Out on the port side and back on the starboard side; the first turn to port the other way.
    const double out = port ? s / 2 : -s / 2;
    for (std::size_t k = 0; k < 6; ++k) {
      const std::size_t on = k < 3 ? k : 5 - k;  // the route point this one stands beside
      const std::size_t leg = on == 0 ? 0 : 1;
      const Along at = fromLeg(kBent[leg], kBent[leg + 1], r[k]);
      EXPECT_NEAR(at.across, k < 3 ? out : -out, kFlat) << port << " " << k;
    }
    // Its end lies across the route's start from the commence search point.
    EXPECT_NEAR(fromLeg(kBent[0], kBent[1], r.back()).along, 0.0, kFlat);
  }
  // Two units: pairs of tracks side by side, S apart, centred on the route.
  const auto two = vestrand::tracklineRoutes(kStraight, s, true, 2, false);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_NEAR(fromLeg(kStraight[0], kStraight[1], two[0][0]).across, -1.5, kFlat);
  EXPECT_NEAR(fromLeg(kStraight[0], kStraight[1], two[0][3]).across, -0.5, kFlat);
  EXPECT_NEAR(fromLeg(kStraight[0], kStraight[1], two[1][0]).across, 0.5, kFlat);
  EXPECT_NEAR(fromLeg(kStraight[0], kStraight[1], two[1][3]).across, 1.5, kFlat);
}

TEST(Trackline, RoutesNoTrackCanFollowAreRefused) {
  const TrackPoint b = arrive(kA, 0.0, 5.0);
  const struct {
    std::vector<TrackPoint> route;
    double spacing;
    int units;
    const char* fault;
  } cases[] = {
      {{kA}, 1, 1, "at least 2 route points"},
      {{kA, kA}, 1, 1, "route points 1 and 2 coincide"},
      {{kA, b, arrive(b, 170.0, 5.0)}, 1, 1, "turns 170 degrees at route point 2"},
      {{kA, b, arrive(b, 120.0, 0.5)}, 1, 2, "leg 2 (0.50 NM) is too short for tracks 0.50 NM"},
      {kStraight, 1, 21, "1 to 20 units"},
      {{kA, {91.0, 0.0}}, 1, 1, "route point 2 is no position"},
  };
  for (const auto& c : cases) {
    const std::string fault = vestrand::tracklineFault(c.route, c.spacing, false, c.units);
    EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
  }
  EXPECT_EQ(vestrand::tracklineFault(kBent, 1, true, 2), "");
}

TEST(Trackline, NamesAndWaypoints) {
  vestrand::PatternParams p = vestrand::tracklineParams(kStraight, 1.0, true, 2);
  vestrand::PatternNames names;
  ASSERT_TRUE(vestrand::composePatternNames(p, "S", names));
  EXPECT_STREQ(names.file, "S TS 30.gpx");
  EXPECT_STREQ(names.routes[0], "S - TSR 30.0");
  struct Names final : vestrand::PatternSink {
    std::string all;
    void startRoute(const char* name) override { all += std::string("route ") + name + ";"; }
    void routePoint(double, double, const char*) override {}
    void endRoute() override {}
    void waypoint(double, double, const char* name) override { all += name + std::string(";"); }
  } sink;
  vestrand::sailPattern(p, names, sink);
  EXPECT_EQ(sink.all, "route S - TSR 30.0 unit 1;route S - TSR 30.0 unit 2;Start;End;CSP1;CSP2;");
}

}  // namespace
