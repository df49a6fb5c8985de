// What a drifted cloud says: its weighted mean and spread, the weight on each side of the wind,
// and the map of probability on a grid of square cells with the areas that hold 50 % and 90 %.
//
// The grid lies on the local plane of the weighted mean: nautical miles east (scaled by the
// cosine of the mean's latitude) and north of it, cells `cell` miles square with a corner at the
// mean. A cell's probability is the weight of the particles in it over the weight of all.
//
// Units: positions in degrees, distances in nautical miles, areas in square nautical miles,
// courses in degrees true.
#pragma once

#include <cstddef>
#include <vector>

#include "particle_cloud.h"

namespace vestrand::drift {

struct CloudSummary {
  double weight = 0.0;                   // the particles' weights added up (each starts at 1)
  double lat = 0.0, lon = 0.0;           // weighted mean; NaN when no weight is left
  double axisCourse = 0.0;               // the principal axis, 0 to 180 degrees true
  double sdAlong = 0.0, sdAcross = 0.0;  // standard deviations along and across that axis
  double right = 0.0, left = 0.0;        // fractions of the weight on each side, adding up to 1
  // The weighted means of each side's particles; NaN for a side without weight.
  double rightLat = 0.0, rightLon = 0.0, leftLat = 0.0, leftLon = 0.0;
};

CloudSummary summarizeCloud(const ParticleCloud& cloud);

struct MapCell {
  long long ix = 0, iy = 0;     // the cell's place on the grid: its corner is (ix, iy) * cell
  double lat = 0.0, lon = 0.0;  // its centre
  double p = 0.0;               // its probability, above 0
};

struct ProbabilityMap {
  double cell = 0.0;              // side of a cell, nautical miles
  double lat0 = 0.0, lon0 = 0.0;  // the grid's corner (the weighted mean)
  double cosLat0 = 1.0;
  std::vector<MapCell> cells;            // every cell holding weight, most probable first
  std::size_t count50 = 0, count90 = 0;  // the first so many cells hold 50 % and 90 %
  double area50 = 0.0, area90 = 0.0;     // their areas

  // The position of a grid corner (gx, gy) in cells from the grid's corner.
  void cornerPosition(double gx, double gy, double& lat, double& lon) const;
};

// The largest grid the map builds: a wider cloud gets larger cells than asked for.
inline constexpr std::size_t kMaxGridCells = std::size_t{1} << 22;

// The map of the cloud.
// @param[in] cell nautical miles above 0; 0 chooses one so that the 90 % area spans about 50
//   cells across (its square root is about 50 cells), rounded to 1, 1.2, 1.5, 2, 2.5, 3, 4, 5,
//   6 or 8 times a power of ten
// Cells of equal probability are taken in the order of their place (south first, then west).
ProbabilityMap buildMap(const ParticleCloud& cloud, const CloudSummary& summary, double cell = 0.0);

// The outline of the first `count` cells of the map: closed rings of grid corners as positions,
// the first point repeated at the end. Outer rings run anticlockwise and holes clockwise, seen on
// a north-up chart; cells that touch only at a corner get rings of their own. The rings come
// largest first.
struct OutlineRing {
  std::vector<double> lat, lon;
  bool hole = false;
  double areaCells = 0.0;  // enclosed area in cells, positive
};
std::vector<OutlineRing> outlineRings(const ProbabilityMap& map, std::size_t count);

}  // namespace vestrand::drift
