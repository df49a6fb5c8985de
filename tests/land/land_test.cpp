// The land mask on the shorelines of gmt-gshhg-low: known places at each installed resolution,
// ways across a peninsula and along a coast, the poles and the antimeridian, the land of a box
// against the level at random points, and missing or broken files.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <thread>

#include "../scratch_dir.h"
#include "land_atlas.h"
#include "land_clip.h"
#include "land_mask.h"

namespace {

using namespace vestrand::land;
constexpr double kPi = std::numbers::pi;

const Atlas& lowPackage() {
  static const Atlas atlas({VESTRAND_GSHHG_TEST_DIR});
  return atlas;
}

// Places whose level and nearest shore were measured on the full resolution of GSHHG 2.3.7: each
// coarser resolution must find the shore within its tolerance. Crude leaves out the small island
// and the pond; its levels there are its own.
struct KnownPlace {
  const char* name;
  LatLon at;
  int crude, level;  // level at crude, and at low and intermediate
  double shoreNm;
};
const KnownPlace kPlaces[] = {
    {"Madrid, well inland (a reservoir is the nearest shore)", {40.4, -3.7}, 1, 1, 42.315},
    {"the Atlantic, well at sea", {45.0, -20.0}, 0, 0, 475.593},
    {"Ascension Island, 2 NM from its shore", {-7.95, -14.36}, 0, 1, 1.941},
    {"Lake Huron, a lake", {44.8, -82.4}, 2, 2, 38.038},
    {"Manitoulin Island, an island in Lake Huron", {45.7, -81.9}, 3, 3, 1.998},
    {"Lake Manitou, a pond on Manitoulin Island", {45.8, -82.3}, 3, 4, 0.750},
};

TEST(LandMask, KnownPlacesAtEachResolution) {
  for (Resolution r : {Resolution::Crude, Resolution::Low, Resolution::Intermediate}) {
    const auto mask = lowPackage().mask(r);
    for (const KnownPlace& place : kPlaces) {
      SCOPED_TRACE(std::string(resolutionName(r)) + ": " + place.name);
      EXPECT_EQ(mask->levelAt(place.at), r == Resolution::Crude ? place.crude : place.level);
      const ShoreDistance shore = mask->nearestShore(place.at);
      if (r != Resolution::Crude || place.crude == place.level) {
        EXPECT_NEAR(shore.nm, place.shoreNm, resolutionToleranceNm(r));
      }
      // The nearest point is that far away.
      const LatLon q = shore.nearest;
      const double lat1 = place.at.lat * kPi / 180, lat2 = q.lat * kPi / 180;
      const double arc = std::acos(std::clamp(
          std::sin(lat1) * std::sin(lat2) +
              std::cos(lat1) * std::cos(lat2) * std::cos((q.lon - place.at.lon) * kPi / 180),
          -1.0, 1.0));
      EXPECT_NEAR(arc * 180 / kPi * 60, shore.nm, 1e-6 + shore.nm * 1e-9);
    }
  }
}

TEST(LandMask, ALegAcrossAPeninsulaLandsWhereTheFullResolutionDoes) {
  // Along 49.5 N across the Cotentin: land from 1.8479 W on the full resolution.
  for (Resolution r : {Resolution::Low, Resolution::Intermediate}) {
    SCOPED_TRACE(resolutionName(r));
    const auto mask = lowPackage().mask(r);
    const WayOverLand across = mask->wayOverLand({49.5, -2.0}, {49.5, -1.1}, true);
    ASSERT_TRUE(across.crossesLand());
    EXPECT_FALSE(across.startsOnLand());
    EXPECT_FALSE(across.endsOnLand());
    const double eastNm = (across.stretches.front().start.lon + 1.8479) * 60 * std::cos(0.8639);
    EXPECT_NEAR(eastNm, 0.0, resolutionToleranceNm(r));
    EXPECT_NEAR(across.lengthNm, 35.07, 0.01);
    // North of Cherbourg, along the coast at sea; and along the Cantabrian coast.
    EXPECT_FALSE(mask->wayOverLand({49.8, -2.0}, {49.8, -1.0}, true).crossesLand());
    EXPECT_FALSE(mask->wayOverLand({43.6, -4.5}, {43.6, -3.0}, true).crossesLand());
  }
}

TEST(LandMask, WaysAgreeWithTheLevelAlongThem) {
  const auto mask = lowPackage().mask(Resolution::Intermediate);
  std::mt19937 random(3);
  std::uniform_real_distribution<double> lat(42.5, 44.5), lon(-6.0, -1.0);
  for (int way = 0; way < 200; ++way) {
    const LatLon a{lat(random), lon(random)}, b{lat(random), lon(random)};
    const WayOverLand over = mask->wayOverLand(a, b, false);
    for (int k = 0; k <= 100; ++k) {
      const double t = k / 100.0;
      bool inside = false, atEnd = false;
      for (const LandStretch& s : over.stretches) {
        inside = inside || (t >= s.from && t <= s.to);
        atEnd = atEnd || t == s.from || t == s.to;
      }
      if (atEnd) continue;
      EXPECT_EQ(mask->onLand({a.lat + (b.lat - a.lat) * t, a.lon + (b.lon - a.lon) * t}), inside)
          << "way " << way << " at " << t;
    }
  }
}

TEST(LandMask, PolesAntimeridianAndNonsense) {
  const auto mask = lowPackage().mask(Resolution::Intermediate);
  EXPECT_EQ(mask->levelAt({90.0, 0.0}), 0);    // the Arctic Ocean
  EXPECT_EQ(mask->levelAt({-90.0, 45.0}), 1);  // Antarctica
  EXPECT_EQ(mask->levelAt({95.0, 0.0}), 0);
  EXPECT_GT(mask->nearestShore({90.0, 0.0}).nm, 300.0);
  // Taveuni straddles the antimeridian: every way of writing its longitude finds it.
  for (double lon : {180.05, -179.95, 540.05, -539.95}) EXPECT_EQ(mask->levelAt({-16.8, lon}), 1);
  const WayOverLand over = mask->wayOverLand({-16.85, 179.7}, {-16.85, -179.7}, true);
  ASSERT_TRUE(over.crossesLand());
  EXPECT_NEAR(over.stretches.front().start.lon, 179.9738,
              resolutionToleranceNm(Resolution::Intermediate) / 57.5);
  EXPECT_NEAR(over.lengthNm, 34.45, 0.01);
  const double nan = std::nan("");
  EXPECT_EQ(mask->levelAt({nan, 0.0}), 0);
  EXPECT_FALSE(mask->wayOverLand({0.0, 0.0}, {nan, 1.0}, true).crossesLand());
  EXPECT_EQ(mask->nearestShore({0.0, nan}).nm, -1.0);
  EXPECT_EQ(mask->landShare({10.0, 0.0, 5.0, 1.0}), 0.0);  // upside down
}

TEST(LandMask, ThreadsReadingBinsAtOnceAgreeWithOne) {
  // Fresh masks, so that the threads race to read and prepare the same bins.
  const std::vector<std::string> folders{VESTRAND_GSHHG_TEST_DIR};
  const auto alone = Atlas(folders).mask(Resolution::Intermediate);
  const auto shared = Atlas(folders).mask(Resolution::Intermediate);
  std::mt19937 random(5);
  std::uniform_real_distribution<double> lat(40.0, 50.0), lon(-10.0, 5.0);
  std::vector<LatLon> points(4000);
  for (LatLon& p : points) p = {lat(random), lon(random)};
  std::vector<std::vector<int>> found(4, std::vector<int>(points.size()));
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < found.size(); ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t i = 0; i < points.size(); ++i) {
        const std::size_t k = (i + t * 997) % points.size();  // each thread in its own order
        found[t][k] = shared->levelAt(points[k]) +
                      10 * shared->wayOverLand(points[k], points[(k + 1) % points.size()], false)
                               .crossesLand();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t k = 0; k < points.size(); ++k) {
    const int expected =
        alone->levelAt(points[k]) +
        10 * alone->wayOverLand(points[k], points[(k + 1) % points.size()], false).crossesLand();
    for (const auto& f : found) ASSERT_EQ(f[k], expected) << k;
  }
  EXPECT_EQ(shared->preparedBins(), alone->preparedBins());
}

// A point inside an odd number of the outline's rings (even-odd rule).
bool insideRings(const LandOutline& outline, LatLon p) {
  bool inside = false;
  for (const auto& ring : outline.rings) {
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      if ((ring[i].lat > p.lat) != (ring[j].lat > p.lat) &&
          p.lon < ring[j].lon + (ring[i].lon - ring[j].lon) * (p.lat - ring[j].lat) /
                                    (ring[i].lat - ring[j].lat)) {
        inside = !inside;
      }
    }
  }
  return inside;
}

TEST(LandMask, OutlineAndShareOfABoxAgreeWithTheLevel) {
  // The Bay of Santander, and Lake Huron with its islands and the pond; the second box crosses
  // bin sides at every resolution.
  for (const GeoBox box : {GeoBox{43.3, -4.0, 43.6, -3.5}, GeoBox{44.5, -83.5, 46.5, -81.0}}) {
    const auto mask = lowPackage().mask(Resolution::Intermediate);
    const LandOutline outline = mask->outline(box);
    for (const auto& ring : outline.rings) {
      for (const LatLon& p : ring) {
        ASSERT_TRUE(p.lat >= box.south && p.lat <= box.north && p.lon >= box.west &&
                    p.lon <= box.east);
      }
    }
    // Random points, equal-area: the share on land estimates landShare to within 4 standard
    // deviations of a binomial of n draws, over the box and over the diamond inside it.
    const double midLat = (box.south + box.north) / 2, midLon = (box.west + box.east) / 2;
    const double halfLat = (box.north - box.south) / 2, halfLon = (box.east - box.west) / 2;
    const std::vector<LatLon> diamond{
        {box.south, midLon}, {midLat, box.east}, {box.north, midLon}, {midLat, box.west}};
    std::mt19937 random(11);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n = 20000;
    int land = 0, inDiamond = 0, landInDiamond = 0;
    const double s0 = std::sin(box.south * kPi / 180), s1 = std::sin(box.north * kPi / 180);
    for (int i = 0; i < n; ++i) {
      const LatLon p{std::asin(s0 + (s1 - s0) * u(random)) * 180 / kPi,
                     box.west + (box.east - box.west) * u(random)};
      const bool onLand = mask->onLand(p);
      EXPECT_EQ(insideRings(outline, p), onLand) << p.lat << " " << p.lon;
      land += onLand;
      if (std::abs(p.lat - midLat) / halfLat + std::abs(p.lon - midLon) / halfLon <= 1) {
        ++inDiamond;
        landInDiamond += onLand;
      }
    }
    const double share = mask->landShare(box);
    EXPECT_NEAR(static_cast<double>(land) / n, share, 4 * std::sqrt(share * (1 - share) / n));
    const double diamondShare = mask->landShare(diamond);
    EXPECT_NEAR(static_cast<double>(landInDiamond) / inDiamond, diamondShare,
                4 * std::sqrt(diamondShare * (1 - diamondShare) / inDiamond));
    // The box as four corners, either way round, is the box.
    const std::vector<LatLon> corners{
        {box.south, box.west}, {box.north, box.west}, {box.north, box.east}, {box.south, box.east}};
    EXPECT_NEAR(mask->landShare(corners), share, 1e-12);
  }
  const auto mask = lowPackage().mask(Resolution::Low);
  EXPECT_EQ(mask->landShare({30.0, -40.0, 31.0, -39.0}), 0.0);
  EXPECT_NEAR(mask->landShare({10.0, 20.0, 11.0, 21.0}), 1.0, 1e-12);
}

TEST(LandClip, RingsAndLinesAreCutAtTheSides) {
  const PlaneBox box{0, 0, 10, 10};
  std::vector<PlanePoint> out;
  // A square half outside keeps its inside half; one wholly outside leaves nothing.
  clipRing(std::vector<PlanePoint>{{5, 2}, {15, 2}, {15, 8}, {5, 8}}, box, out);
  double twiceArea = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const PlanePoint a = out[i], b = out[(i + 1) % out.size()];
    twiceArea += a.x * b.y - b.x * a.y;
  }
  EXPECT_DOUBLE_EQ(twiceArea / 2, 30.0);
  clipRing(std::vector<PlanePoint>{{11, 1}, {12, 1}, {12, 2}}, box, out);
  EXPECT_TRUE(out.empty());
  // A line that leaves and comes back is two lines.
  std::vector<std::vector<PlanePoint>> parts;
  clipPolyline(std::vector<PlanePoint>{{5, 5}, {15, 5}, {15, 6}, {5, 6}}, box, parts);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_DOUBLE_EQ(parts[0].back().x, 10.0);
  EXPECT_DOUBLE_EQ(parts[1].front().x, 10.0);
}

TEST(LandAtlas, ChoosesAmongTheResolutionsInstalled) {
  const vestrand::testing::ScratchDir dir;
  std::filesystem::create_symlink(std::string(VESTRAND_GSHHG_TEST_DIR) + "/binned_GSHHS_l.nc",
                                  dir.path() / "binned_GSHHS_l.nc");
  const Atlas atlas({"/nonexistent", dir.path().string()});
  EXPECT_EQ(atlas.installedResolutions(), std::vector<Resolution>{Resolution::Low});
  EXPECT_EQ(atlas.choose(100.0), Resolution::Low);  // crude is missing: the finer one
  EXPECT_EQ(atlas.choose(0.0), Resolution::Low);    // full is missing: the coarser one
  try {
    atlas.mask(Resolution::High);
    FAIL() << "a missing resolution gave a mask";
  } catch (const DataError& e) {
    EXPECT_STREQ(e.what(),
                 "the high resolution shorelines (binned_GSHHS_h.nc) are not installed: install "
                 "the Debian package gmt-gshhg-high");
  }
  EXPECT_FALSE(Atlas({dir.path().string() + "/none"}).choose(1.0).has_value());
  // The package's three, by scale: an ocean, a sea, a bay.
  EXPECT_EQ(lowPackage().choose(detailForExtent(6000)), Resolution::Crude);
  EXPECT_EQ(lowPackage().choose(detailForExtent(1500)), Resolution::Low);
  EXPECT_EQ(lowPackage().choose(detailForExtent(20)), Resolution::Intermediate);

  setenv("VESTRAND_GSHHG_DIR", "/a::/b", 1);
  EXPECT_EQ(Atlas::standardFolders(), (std::vector<std::string>{"/a", "/b"}));
  unsetenv("VESTRAND_GSHHG_DIR");
  EXPECT_EQ(Atlas::standardFolders(),
            (std::vector<std::string>{"/usr/share/gmt-gshhg", "/usr/share/gmt/coast"}));
}

TEST(LandAtlas, BrokenFilesAreRefusedNamingThem) {
  const vestrand::testing::ScratchDir dir;
  std::ofstream("binned_GSHHS_c.nc") << "not netCDF\n";
  // A binned file of the wrong kind: GSHHG's borders, which have no shoreline levels.
  std::filesystem::copy_file(std::string(VESTRAND_GSHHG_TEST_DIR) + "/binned_border_l.nc",
                             "binned_GSHHS_l.nc");
  const Atlas atlas({dir.path().string()});
  for (Resolution r : {Resolution::Crude, Resolution::Low}) {
    try {
      atlas.mask(r);
      FAIL() << "a broken file gave a mask";
    } catch (const DataError& e) {
      EXPECT_NE(std::string(e.what()).find((dir.path() / shoreFileName(r)).string()),
                std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
