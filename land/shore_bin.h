// One bin of shoreline (gshhg_file.h) made ready for questions: the level at a point, the
// crossings of a line with the shoreline, and the dry areas as rings for filling.
//
// Everything here is in the bin's own offsets, 0 to kBinSpan from its south-west corner, so that
// the file's points are exact and the tests on them are too. A query point may lie anywhere in
// the bin, on its sides included.
//
// The level at a point is found from a grid of cells over the bin (more where the shoreline is
// long): each cell knows the level at its centre and the shoreline edges that touch it, and the
// level at a point is its cell centre's level changed by each edge crossed on the way from the
// centre. Crossing a piece of level L from its right to its left side raises the level from L - 1
// to L when L is odd (land lies on the left) and lowers it from L to L - 1 when L is even (a lake
// lies on the right).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gshhg_file.h"

namespace vestrand::land {

// A position in a bin's offsets; between the file's points when asked about.
struct BinXY {
  double x = 0.0;
  double y = 0.0;
};

// Where a line crosses the shoreline: the fraction of the way from its start (0 to 1) and the
// change of level there, +1 or -1.
struct BinCrossing {
  double t = 0.0;
  int change = 0;
};

// A closed ring of a bin's dry area, counter-clockwise; the last point joins back to the first.
struct BinRing {
  std::uint32_t first = 0;  // in ringPoints()
  std::uint32_t count = 0;
};

class ShoreBin {
 public:
  // Prepares a bin as read. Closed pieces are turned to keep the dry side on their left where
  // the file has them the other way; closed pieces without area are dropped.
  explicit ShoreBin(RawBin raw);

  int index() const { return index_; }
  // True when no shoreline runs through the bin: one level throughout.
  bool uniform() const { return pieces_.empty(); }

  // The level at a point of the bin: 0 sea, 1 land, 2 lake, 3 island in a lake, 4 pond. Odd
  // levels are dry. A point on the shoreline itself gets the level of either side.
  int levelAt(BinXY p) const;

  // Appends the crossings of the straight line from `a` to `b` with the shoreline, in order of
  // t. A line along an edge or through a point of the shoreline counts as crossing it only where
  // it passes from one side to the other.
  void crossings(BinXY a, BinXY b, std::vector<BinCrossing>& out) const;

  // True when no shoreline can lie between `a` and `b`: the bin has none, or both lie in one cell
  // that no shoreline touches.
  bool quiet(BinXY a, BinXY b) const;

  // The shoreline: pieces of the file, each a polyline of shorePoints() (closed pieces end on
  // their first point). Levels as RawPiece::level.
  const std::vector<RawPiece>& pieces() const { return pieces_; }
  const std::vector<BinPoint>& shorePoints() const { return points_; }

  // The dry area: counter-clockwise rings whose inside is land, and clockwise rings inside them
  // whose inside is water (lakes, ponds). Filled by the even-odd rule, they give land at levels 1
  // and 3 and water at 0, 2 and 4. Rings along the bin's sides close the land cut there by the
  // bin; drawn in one path with their neighbours' rings, no seam shows.
  const std::vector<BinRing>& rings() const { return rings_; }
  const std::vector<BinPoint>& ringPoints() const { return ringPoints_; }

  // The cells along a side of the bin; at least 1.
  int cellsPerSide() const { return cells_; }
  // Memory held, bytes (for the cache's accounting).
  std::size_t memoryBytes() const;

 private:
  void buildRings(const std::vector<std::uint8_t>& corners);
  void buildCells(const std::vector<std::uint8_t>& corners);
  int cellOf(double offset) const;
  BinXY centre(int column, int row) const;
  // Calls f(cell) for every cell the segment from a to b touches (and perhaps a neighbour).
  template <typename F>
  void forEachCell(BinXY a, BinXY b, F&& f) const;

  int index_ = 0;
  std::uint8_t level_ = 0;  // throughout, when uniform
  std::vector<RawPiece> pieces_;
  std::vector<BinPoint> points_;
  std::vector<std::uint8_t> edgeLevel_;  // per point: the level of the edge to the next point,
                                         // 0 for a piece's last point
  std::vector<BinRing> rings_;
  std::vector<BinPoint> ringPoints_;
  int cells_ = 1;
  std::vector<std::int8_t> centreLevel_;  // per cell, row by row from the south
  std::vector<std::uint32_t> cellStart_;  // per cell and one past: where its edges begin
  std::vector<std::uint32_t> cellEdges_;  // edges as the index of their first point
};

}  // namespace vestrand::land
