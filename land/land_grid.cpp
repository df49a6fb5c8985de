#include "land_grid.h"

#include <algorithm>
#include <cmath>

namespace vestrand::land {

LandGrid::LandGrid(const LandMask& mask, const GeoBox& box, int cells) : mask_(mask), box_(box) {
  box_.south = std::max(box.south, -90.0);
  box_.north = std::min(box.north, 90.0);
  box_.east = std::min(box.east, box.west + 360.0);
  const double width = box_.east - box_.west, height = box_.north - box_.south;
  cells = std::clamp(cells, 16, 4096);
  const double cell = std::max(width, height) / cells;
  if (!(cell > 0.0) || !std::isfinite(cell)) {
    cells_.assign(1, kShore);
    return;
  }
  columns_ = std::max(1, static_cast<int>(std::ceil(width / cell)));
  rows_ = std::max(1, static_cast<int>(std::ceil(height / cell)));
  cellLon_ = width / columns_;
  cellLat_ = height / rows_;
  cells_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), kWater);
  mask.prepare(box_);
  for (const std::vector<LatLon>& shore : mask.outline(box_).shores) {
    for (std::size_t i = 1; i < shore.size(); ++i) markShore(shore[i - 1], shore[i]);
  }
  for (int row = 0; row < rows_; ++row) {
    std::uint8_t* line = cells_.data() + static_cast<std::size_t>(row) * columns_;
    const double lat = box_.south + (row + 0.5) * cellLat_;
    for (int column = 0; column < columns_;) {
      if (line[column] == kShore) {
        ++column;
        continue;
      }
      const std::uint8_t level =
          mask.onLand({lat, box_.west + (column + 0.5) * cellLon_}) ? kLand : kWater;
      for (; column < columns_ && line[column] != kShore; ++column) line[column] = level;
    }
  }
}

void LandGrid::markShore(LatLon a, LatLon b) {
  // Points half a cell apart along the edge: every cell it passes through holds one of them or
  // is next to a cell that does, so marking each point's cell and its neighbours misses none.
  const double x0 = (a.lon - box_.west) / cellLon_, y0 = (a.lat - box_.south) / cellLat_;
  const double x1 = (b.lon - box_.west) / cellLon_, y1 = (b.lat - box_.south) / cellLat_;
  const int steps = 1 + static_cast<int>(2.0 * std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)));
  for (int k = 0; k <= steps; ++k) {
    const double t = static_cast<double>(k) / steps;
    const int column = static_cast<int>(std::floor(x0 + (x1 - x0) * t));
    const int row = static_cast<int>(std::floor(y0 + (y1 - y0) * t));
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, rows_ - 1); ++r) {
      for (int c = std::max(column - 1, 0); c <= std::min(column + 1, columns_ - 1); ++c) {
        cells_[static_cast<std::size_t>(r) * columns_ + c] = kShore;
      }
    }
  }
}

bool LandGrid::onLand(double lat, double lon) const {
  const double east = lon - box_.west - 360.0 * std::floor((lon - box_.west) / 360.0);
  const double x = east / cellLon_, y = (lat - box_.south) / cellLat_;
  if (x >= 0.0 && y >= 0.0 && x < columns_ && y < rows_) {
    const std::uint8_t cell =
        cells_[static_cast<std::size_t>(y) * columns_ + static_cast<std::size_t>(x)];
    if (cell != kShore) return cell == kLand;
  }
  return mask_.onLand({lat, lon});
}

double LandGrid::shoreShare() const {
  return static_cast<double>(std::count(cells_.begin(), cells_.end(), kShore)) /
         static_cast<double>(cells_.size());
}

}  // namespace vestrand::land
