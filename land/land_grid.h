// Land and water of a box on a grid of cells, for many quick questions: every particle of a
// simulation at every step. A cell that no shoreline touches answers from the grid (a few
// nanoseconds); a cell a shoreline touches, and a position outside the box, ask the mask.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "land_mask.h"

namespace vestrand::land {

class LandGrid {
 public:
  // Prepares the mask's bins over the box and lays the grid: the cells a shoreline passes through
  // (and their neighbours) ask the mask, every other cell takes the level at one centre of its
  // row's run of such cells, which no shoreline crosses.
  // @param[in] mask kept by reference for the grid's lifetime
  // @param[in] box the area of the questions, degrees; east - west from above 0 to 360
  // @param[in] cells the cells along the box's longer side in degrees, 16 to 4096
  // @throws DataError when a bin cannot be read
  LandGrid(const LandMask& mask, const GeoBox& box, int cells = 1024);

  const LandMask& mask() const { return mask_; }
  const GeoBox& box() const { return box_; }

  // As LandMask::onLand, at any position; longitudes in any frame.
  bool onLand(double lat, double lon) const;

  // The share of the cells that ask the mask, 0 to 1 (the coast's share of the grid).
  double shoreShare() const;

 private:
  enum Cell : std::uint8_t { kWater = 0, kLand = 1, kShore = 2 };
  void markShore(LatLon a, LatLon b);

  const LandMask& mask_;
  GeoBox box_;
  int columns_ = 1, rows_ = 1;
  double cellLon_ = 1.0, cellLat_ = 1.0;  // degrees
  std::vector<std::uint8_t> cells_;       // row by row from the south
};

}  // namespace vestrand::land
