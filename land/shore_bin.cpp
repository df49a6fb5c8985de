#include "shore_bin.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vestrand::land {
namespace {

constexpr double kSpan = kBinSpan;
constexpr long long kPerimeter = 4LL * kBinSpan;
// Cells along a side: about this many shoreline edges to a cell, and no more cells than this.
constexpr double kEdgesPerCell = 6.0;
constexpr int kMostCells = 64;

bool odd(int level) {
  return (level & 1) != 0;
}

BinXY xy(BinPoint p) {
  return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

// Twice the signed area of the triangle a, b, c: positive when c lies left of a -> b. Exact for
// the file's points, whose products stay far below 2^53.
double orient(BinXY a, BinXY b, BinXY c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// The distance from the south-west corner counter-clockwise round the bin to a point on `side`.
long long perimeterAt(Side side, BinPoint p) {
  switch (side) {
    case kSouth:
      return p.x;
    case kEast:
      return kBinSpan + p.y;
    case kNorth:
      return 2LL * kBinSpan + (kBinSpan - p.x);
    default:
      return 3LL * kBinSpan + (kBinSpan - p.y);
  }
}

constexpr BinPoint kCorners[4] = {{0, 0}, {kBinSpan, 0}, {kBinSpan, kBinSpan}, {0, kBinSpan}};

}  // namespace

ShoreBin::ShoreBin(RawBin raw) : index_(raw.index), level_(raw.corners[0]) {
  // Closed pieces with the dry side on their right are turned round; those without area go.
  for (const RawPiece& piece : raw.pieces) {
    const BinPoint* p = raw.points.data() + piece.first;
    RawPiece kept = piece;
    kept.first = static_cast<std::uint32_t>(points_.size());
    points_.insert(points_.end(), p, p + piece.count);
    if (piece.entry == kInside) {
      double area = 0.0;
      for (std::uint32_t k = 0; k + 1 < piece.count; ++k) {
        area += orient(BinXY{}, xy(p[k]), xy(p[k + 1]));
      }
      if (area == 0.0) {
        points_.resize(kept.first);
        continue;
      }
      if ((area > 0.0) != odd(piece.level))
        std::reverse(points_.begin() + kept.first, points_.end());
    }
    pieces_.push_back(kept);
  }
  edgeLevel_.assign(points_.size(), 0);
  for (const RawPiece& piece : pieces_) {
    std::fill_n(edgeLevel_.begin() + piece.first, piece.count - 1, piece.level);
  }
  const std::vector<std::uint8_t> corners(raw.corners.begin(), raw.corners.end());
  buildRings(corners);
  if (!pieces_.empty()) buildCells(corners);
}

void ShoreBin::buildRings(const std::vector<std::uint8_t>& corners) {
  // Pieces that cross the bin, by where they enter it.
  struct Open {
    std::size_t piece;
    long long entry, exit;
  };
  std::vector<Open> open;
  for (std::size_t i = 0; i < pieces_.size(); ++i) {
    const RawPiece& piece = pieces_[i];
    if (piece.entry == kInside) continue;
    open.push_back({i, perimeterAt(piece.entry, points_[piece.first]),
                    perimeterAt(piece.exit, points_[piece.first + piece.count - 1])});
  }
  const auto addRing = [this](std::size_t first) {
    if (ringPoints_.size() - first >= 3) {
      rings_.push_back({static_cast<std::uint32_t>(first),
                        static_cast<std::uint32_t>(ringPoints_.size() - first)});
    } else {
      ringPoints_.resize(first);
    }
  };
  if (open.empty() && odd(corners[0])) {
    ringPoints_.assign(std::begin(kCorners), std::end(kCorners));
    addRing(0);
  }

  // Each dry ring follows a piece to where it leaves the bin, then the bin's side
  // counter-clockwise to the next piece entering, since every piece has the dry side on its left.
  std::vector<bool> used(open.size(), false);
  for (std::size_t start = 0; start < open.size(); ++start) {
    if (used[start]) continue;
    const std::size_t first = ringPoints_.size();
    std::size_t current = start;
    for (std::size_t step = 0; step <= open.size(); ++step) {
      const RawPiece& piece = pieces_[open[current].piece];
      ringPoints_.insert(ringPoints_.end(), points_.begin() + piece.first,
                         points_.begin() + piece.first + piece.count);
      used[current] = true;
      const long long at = open[current].exit;
      std::size_t next = start;
      long long nearest = kPerimeter;
      for (std::size_t k = 0; k < open.size(); ++k) {
        if (used[k] && k != start) continue;
        const long long ahead = ((open[k].entry - at) % kPerimeter + kPerimeter) % kPerimeter;
        if (ahead < nearest) {
          nearest = ahead;
          next = k;
        }
      }
      for (int c = 1; c <= 4; ++c) {  // the corners passed on the way, in order
        const int corner = static_cast<int>((at / kBinSpan + c) % 4);
        const long long ahead =
            ((corner * static_cast<long long>(kBinSpan) - at) % kPerimeter + kPerimeter) %
            kPerimeter;
        if (ahead > 0 && ahead < nearest) ringPoints_.push_back(kCorners[corner]);
      }
      if (next == start) break;
      current = next;
    }
    addRing(first);
  }
  // Closed pieces are rings of their own: islands counter-clockwise, lakes clockwise.
  for (const RawPiece& piece : pieces_) {
    if (piece.entry != kInside) continue;
    const std::size_t first = ringPoints_.size();
    ringPoints_.insert(ringPoints_.end(), points_.begin() + piece.first,
                       points_.begin() + piece.first + piece.count - 1);
    addRing(first);
  }
}

int ShoreBin::cellOf(double offset) const {
  const double cell = std::floor(offset * cells_ / kSpan);
  return static_cast<int>(std::clamp(cell, 0.0, static_cast<double>(cells_ - 1)));
}

BinXY ShoreBin::centre(int column, int row) const {
  return {(column + 0.5) * kSpan / cells_, (row + 0.5) * kSpan / cells_};
}

template <typename F>
void ShoreBin::forEachCell(BinXY a, BinXY b, F&& f) const {
  // Column by column, the rows the segment spans there; a hair wider so that rounding never
  // leaves out a cell the segment touches.
  constexpr double kHair = 1e-6;
  const double scale = cells_ / kSpan;
  const double x0 = a.x * scale, y0 = a.y * scale, x1 = b.x * scale, y1 = b.y * scale;
  const double left = std::min(x0, x1), right = std::max(x0, x1);
  const auto clampCell = [this](double v) {
    return static_cast<int>(std::clamp(std::floor(v), 0.0, static_cast<double>(cells_ - 1)));
  };
  for (int column = clampCell(left - kHair); column <= clampCell(right + kHair); ++column) {
    double low = std::min(y0, y1), high = std::max(y0, y1);
    if (x1 != x0) {
      const double from = std::max(left, static_cast<double>(column));
      const double to = std::min(right, column + 1.0);
      const double ya = y0 + (y1 - y0) * (from - x0) / (x1 - x0);
      const double yb = y0 + (y1 - y0) * (to - x0) / (x1 - x0);
      low = std::max(low, std::min(ya, yb));
      high = std::min(high, std::max(ya, yb));
    }
    for (int row = clampCell(low - kHair); row <= clampCell(high + kHair); ++row) {
      f(row * cells_ + column);
    }
  }
}

void ShoreBin::buildCells(const std::vector<std::uint8_t>& corners) {
  const std::size_t edges = points_.size() - pieces_.size();
  cells_ =
      std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<double>(edges) / kEdgesPerCell))),
                 1, kMostCells);
  const std::size_t cellCount = static_cast<std::size_t>(cells_) * cells_;

  std::vector<std::pair<std::uint32_t, std::uint32_t>> touches;  // cell, edge
  touches.reserve(edges * 2);
  for (std::uint32_t e = 0; e < points_.size(); ++e) {
    if (edgeLevel_[e] == 0) continue;
    forEachCell(xy(points_[e]), xy(points_[e + 1]),
                [&](int cell) { touches.emplace_back(static_cast<std::uint32_t>(cell), e); });
  }
  std::sort(touches.begin(), touches.end());
  cellStart_.assign(cellCount + 1, 0);
  cellEdges_.reserve(touches.size());
  for (const auto& [cell, edge] : touches) {
    ++cellStart_[cell + 1];
    cellEdges_.push_back(edge);
  }
  for (std::size_t c = 0; c < cellCount; ++c) cellStart_[c + 1] += cellStart_[c];

  // The level at each cell centre: from the south-east corner north along the east side to the
  // centre's row, then west along the row. The file's points have whole offsets and the centres
  // never do, so neither path passes through a point of the shoreline.
  struct Change {
    double at;
    int change;
  };
  std::vector<Change> east;
  for (const RawPiece& piece : pieces_) {
    const int sign = odd(piece.level) ? 1 : -1;
    if (piece.exit == kEast) east.push_back({xy(points_[piece.first + piece.count - 1]).y, sign});
    if (piece.entry == kEast) east.push_back({xy(points_[piece.first]).y, -sign});
  }
  std::vector<std::vector<Change>> rows(static_cast<std::size_t>(cells_));
  for (std::uint32_t e = 0; e < points_.size(); ++e) {
    if (edgeLevel_[e] == 0) continue;
    const BinXY a = xy(points_[e]), b = xy(points_[e + 1]);
    const int sign = (b.y > a.y ? 1 : -1) * (odd(edgeLevel_[e]) ? 1 : -1);
    for (int row = cellOf(std::min(a.y, b.y)); row <= cellOf(std::max(a.y, b.y)); ++row) {
      const double y = centre(0, row).y;
      if ((a.y > y) == (b.y > y)) continue;
      rows[row].push_back({a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), sign});
    }
  }
  centreLevel_.assign(cellCount, 0);
  for (int row = 0; row < cells_; ++row) {
    const double y = centre(0, row).y;
    int level = corners[1];
    for (const Change& c : east) {
      if (c.at < y) level += c.change;
    }
    std::vector<Change>& across = rows[row];
    std::sort(across.begin(), across.end(),
              [](const Change& l, const Change& r) { return l.at > r.at; });
    std::size_t k = 0;
    for (int column = cells_ - 1; column >= 0; --column) {
      const double x = centre(column, row).x;
      for (; k < across.size() && across[k].at > x; ++k) level += across[k].change;
      centreLevel_[static_cast<std::size_t>(row) * cells_ + column] =
          static_cast<std::int8_t>(std::clamp(level, -8, 8));
    }
  }
}

int ShoreBin::levelAt(BinXY p) const {
  if (pieces_.empty()) return level_;
  const int column = cellOf(p.x), row = cellOf(p.y);
  const std::size_t cell = static_cast<std::size_t>(row) * cells_ + column;
  const BinXY c = centre(column, row);
  int level = centreLevel_[cell];
  for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
    const std::uint32_t e = cellEdges_[k];
    const BinXY a = xy(points_[e]), b = xy(points_[e + 1]);
    // A point exactly on the way counts as lying on its left: a way through a shoreline point
    // crosses once, a way touching it twice or not at all.
    if ((orient(c, p, a) > 0) == (orient(c, p, b) > 0)) continue;
    const bool centreLeft = orient(a, b, c) > 0;
    if (centreLeft == (orient(a, b, p) > 0)) continue;
    level += (centreLeft ? -1 : 1) * (odd(edgeLevel_[e]) ? 1 : -1);
  }
  return std::clamp(level, 0, 4);
}

bool ShoreBin::quiet(BinXY a, BinXY b) const {
  if (pieces_.empty()) return true;
  const int column = cellOf(a.x), row = cellOf(a.y);
  if (column != cellOf(b.x) || row != cellOf(b.y)) return false;
  const std::size_t cell = static_cast<std::size_t>(row) * cells_ + column;
  return cellStart_[cell] == cellStart_[cell + 1];
}

void ShoreBin::crossings(BinXY a, BinXY b, std::vector<BinCrossing>& out) const {
  if (pieces_.empty()) return;
  std::vector<std::uint32_t> edges;
  forEachCell(a, b, [&](int cell) {
    edges.insert(edges.end(), cellEdges_.begin() + cellStart_[cell],
                 cellEdges_.begin() + cellStart_[cell + 1]);
  });
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  const std::size_t from = out.size();
  for (const std::uint32_t e : edges) {
    const BinXY p = xy(points_[e]), q = xy(points_[e + 1]);
    if ((orient(a, b, p) > 0) == (orient(a, b, q) > 0)) continue;
    const double sa = orient(p, q, a), sb = orient(p, q, b);
    if ((sa > 0) == (sb > 0)) continue;
    const int change = (sa > 0 ? -1 : 1) * (odd(edgeLevel_[e]) ? 1 : -1);
    out.push_back({sa / (sa - sb), change});
  }
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
            [](const BinCrossing& l, const BinCrossing& r) { return l.t < r.t; });
}

std::size_t ShoreBin::memoryBytes() const {
  return sizeof(*this) + pieces_.capacity() * sizeof(RawPiece) +
         (points_.capacity() + ringPoints_.capacity()) * sizeof(BinPoint) + edgeLevel_.capacity() +
         rings_.capacity() * sizeof(BinRing) + centreLevel_.capacity() +
         (cellStart_.capacity() + cellEdges_.capacity()) * sizeof(std::uint32_t);
}

}  // namespace vestrand::land
