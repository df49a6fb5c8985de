#include "probability_map.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace vestrand::drift {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kCellsAcross = 50.0;
// When every particle sits on one point the spread says nothing about the cell.
constexpr double kFallbackCell = 0.1;

// The nearest (on a logarithmic scale) of 1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten.
double roundCell(double cell) {
  static constexpr double kSteps[] = {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0};
  const double decade = std::pow(10.0, std::floor(std::log10(cell)));
  const double m = cell / decade;
  double best = kSteps[0];
  for (const double s : kSteps) {
    if (std::fabs(std::log(s / m)) < std::fabs(std::log(best / m))) best = s;
  }
  return best * decade;
}

struct Placed {
  std::vector<double> x, y;  // nautical miles from the mean; NaN for weightless particles
  double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
};

Placed place(const ParticleCloud& c, const CloudSummary& s) {
  Placed p;
  const double cosLat = std::cos(s.lat * kRadiansPerDegree);
  p.x.resize(c.size());
  p.y.resize(c.size());
  p.minX = p.minY = std::numeric_limits<double>::infinity();
  p.maxX = p.maxY = -std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (!(c.weight[i] > 0.0f)) {
      p.x[i] = p.y[i] = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    p.x[i] = (c.lon(i) - s.lon) * 60.0 * cosLat;
    p.y[i] = (c.lat(i) - s.lat) * 60.0;
    p.minX = std::min(p.minX, p.x[i]);
    p.maxX = std::max(p.maxX, p.x[i]);
    p.minY = std::min(p.minY, p.y[i]);
    p.maxY = std::max(p.maxY, p.y[i]);
  }
  return p;
}

ProbabilityMap grid(const ParticleCloud& c, const CloudSummary& s, const Placed& at, double cell) {
  ProbabilityMap map;
  map.lat0 = s.lat;
  map.lon0 = s.lon;
  map.cosLat0 = std::cos(s.lat * kRadiansPerDegree);
  if (!(s.weight > 0.0)) return map;
  long long x0 = 0, y0 = 0, nx = 0, ny = 0;
  for (;;) {
    x0 = static_cast<long long>(std::floor(at.minX / cell));
    y0 = static_cast<long long>(std::floor(at.minY / cell));
    nx = static_cast<long long>(std::floor(at.maxX / cell)) - x0 + 1;
    ny = static_cast<long long>(std::floor(at.maxY / cell)) - y0 + 1;
    const double cells = static_cast<double>(nx) * static_cast<double>(ny);
    if (cells <= static_cast<double>(kMaxGridCells)) break;
    cell *= std::sqrt(cells / static_cast<double>(kMaxGridCells)) * 1.01;
  }
  map.cell = cell;
  std::vector<double> weight(static_cast<std::size_t>(nx * ny), 0.0);
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (std::isnan(at.x[i])) continue;
    const long long ix =
        std::clamp(static_cast<long long>(std::floor(at.x[i] / cell)) - x0, 0LL, nx - 1);
    const long long iy =
        std::clamp(static_cast<long long>(std::floor(at.y[i] / cell)) - y0, 0LL, ny - 1);
    weight[static_cast<std::size_t>(iy * nx + ix)] += c.weight[i];
  }
  for (long long iy = 0; iy < ny; ++iy) {
    for (long long ix = 0; ix < nx; ++ix) {
      const double w = weight[static_cast<std::size_t>(iy * nx + ix)];
      if (!(w > 0.0)) continue;
      MapCell m;
      m.ix = ix + x0;
      m.iy = iy + y0;
      map.cornerPosition(static_cast<double>(m.ix) + 0.5, static_cast<double>(m.iy) + 0.5, m.lat,
                         m.lon);
      m.p = w / s.weight;
      map.cells.push_back(m);
    }
  }
  // Stable: cells of equal probability keep the grid's order, south first, then west.
  std::stable_sort(map.cells.begin(), map.cells.end(),
                   [](const MapCell& a, const MapCell& b) { return a.p > b.p; });
  double sum = 0.0;
  for (std::size_t k = 0; k < map.cells.size(); ++k) {
    sum += map.cells[k].p;
    if (map.count50 == 0 && sum >= 0.5) map.count50 = k + 1;
    if (map.count90 == 0 && sum >= 0.9) map.count90 = k + 1;
  }
  // Rounding may leave the sum a hair below 0.9 with every cell taken.
  if (map.count90 == 0) map.count90 = map.cells.size();
  if (map.count50 == 0) map.count50 = map.cells.size();
  map.area50 = static_cast<double>(map.count50) * cell * cell;
  map.area90 = static_cast<double>(map.count90) * cell * cell;
  return map;
}

}  // namespace

void ProbabilityMap::cornerPosition(double gx, double gy, double& lat, double& lon) const {
  lat = lat0 + gy * cell / 60.0;
  lon = lon0 + gx * cell / (60.0 * cosLat0);
}

CloudSummary summarizeCloud(const ParticleCloud& c) {
  CloudSummary s;
  double w = 0.0, mLat = 0.0, mLon = 0.0, right = 0.0;
  double side[2][3] = {};  // per side: weight, weighted latitude and longitude offsets
  for (std::size_t i = 0; i < c.size(); ++i) {
    const double wi = c.weight[i];
    w += wi;
    mLat += wi * c.dLat[i];
    mLon += wi * c.dLon[i];
    if (c.side[i] == kRight) right += wi;
    double* sum = side[c.side[i] == kRight ? 0 : 1];
    sum[0] += wi;
    sum[1] += wi * c.dLat[i];
    sum[2] += wi * c.dLon[i];
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double* r = side[0];
  const double* l = side[1];
  s.rightLat = r[0] > 0.0 ? c.originLat + r[1] / r[0] : nan;
  s.rightLon = r[0] > 0.0 ? c.originLon + r[2] / r[0] : nan;
  s.leftLat = l[0] > 0.0 ? c.originLat + l[1] / l[0] : nan;
  s.leftLon = l[0] > 0.0 ? c.originLon + l[2] / l[0] : nan;
  s.weight = w;
  if (!(w > 0.0)) {
    s.lat = s.lon = std::numeric_limits<double>::quiet_NaN();
    return s;
  }
  mLat /= w;
  mLon /= w;
  s.lat = c.originLat + mLat;
  s.lon = c.originLon + mLon;
  const double east = 60.0 * std::cos(s.lat * kRadiansPerDegree);
  double cxx = 0.0, cyy = 0.0, cxy = 0.0;
  for (std::size_t i = 0; i < c.size(); ++i) {
    const double wi = c.weight[i];
    const double x = (c.dLon[i] - mLon) * east, y = (c.dLat[i] - mLat) * 60.0;
    cxx += wi * x * x;
    cyy += wi * y * y;
    cxy += wi * x * y;
  }
  cxx /= w;
  cyy /= w;
  cxy /= w;
  const double mean = (cxx + cyy) / 2.0;
  const double radius = std::hypot((cxx - cyy) / 2.0, cxy);
  s.sdAlong = std::sqrt(mean + radius);
  s.sdAcross = std::sqrt(std::max(0.0, mean - radius));
  // The major axis at angle theta from east, anticlockwise; as a course, from north clockwise.
  const double theta = 0.5 * std::atan2(2.0 * cxy, cxx - cyy) / kRadiansPerDegree;
  double course = 90.0 - theta;
  course = std::fmod(course, 180.0);
  if (course < 0.0) course += 180.0;
  s.axisCourse = course;
  s.right = right / w;
  s.left = 1.0 - s.right;
  return s;
}

ProbabilityMap buildMap(const ParticleCloud& c, const CloudSummary& s, double cell) {
  const Placed at = place(c, s);
  if (cell > 0.0) return grid(c, s, at, cell);
  // A first grid from the spread of a normal cloud (its 90 % ellipse holds 2 pi ln 10 sd sd),
  // coarse enough for some twenty particles a cell, so that few particles do not make every
  // particle a cell of its own; then the cell from that grid's own 90 % area.
  const double normal90 = 2.0 * kPi * std::log(10.0) * s.sdAlong * s.sdAcross;
  double first = std::max(std::sqrt(normal90) / kCellsAcross,
                          std::sqrt(normal90 * 20.0 / static_cast<double>(c.size())));
  if (!(first > 0.0)) first = std::max(s.sdAlong, s.sdAcross) / kCellsAcross;
  if (!(first > 0.0)) return grid(c, s, at, kFallbackCell);
  const ProbabilityMap rough = grid(c, s, at, first);
  const double second = std::sqrt(rough.area90) / kCellsAcross;
  return grid(c, s, at, second > 0.0 ? roundCell(second) : kFallbackCell);
}

std::vector<OutlineRing> outlineRings(const ProbabilityMap& map, std::size_t count) {
  count = std::min(count, map.cells.size());
  std::vector<OutlineRing> rings;
  if (count == 0) return rings;
  long long x0 = map.cells[0].ix, x1 = x0, y0 = map.cells[0].iy, y1 = y0;
  for (std::size_t k = 0; k < count; ++k) {
    x0 = std::min(x0, map.cells[k].ix);
    x1 = std::max(x1, map.cells[k].ix);
    y0 = std::min(y0, map.cells[k].iy);
    y1 = std::max(y1, map.cells[k].iy);
  }
  // A frame of one empty cell all round, so that every neighbour can be looked up.
  const long long nx = x1 - x0 + 3, ny = y1 - y0 + 3;
  std::vector<char> in(static_cast<std::size_t>(nx * ny), 0);
  auto at = [&](long long gx, long long gy) -> char& {
    return in[static_cast<std::size_t>((gy - y0 + 1) * nx + (gx - x0 + 1))];
  };
  for (std::size_t k = 0; k < count; ++k) at(map.cells[k].ix, map.cells[k].iy) = 1;

  // Unit edges with the set on their left, keyed by their start corner.
  struct Edge {
    long long x, y;
    int dx, dy;
    bool used;
  };
  std::vector<Edge> edges;
  std::unordered_map<long long, std::vector<std::size_t>> from;
  auto key = [&](long long x, long long y) { return (y - y0 + 1) * (nx + 1) + (x - x0 + 1); };
  auto add = [&](long long x, long long y, int dx, int dy) {
    from[key(x, y)].push_back(edges.size());
    edges.push_back({x, y, dx, dy, false});
  };
  for (long long gy = y0; gy <= y1; ++gy) {
    for (long long gx = x0; gx <= x1; ++gx) {
      if (!at(gx, gy)) continue;
      if (!at(gx, gy - 1)) add(gx, gy, 1, 0);
      if (!at(gx + 1, gy)) add(gx + 1, gy, 0, 1);
      if (!at(gx, gy + 1)) add(gx + 1, gy + 1, -1, 0);
      if (!at(gx - 1, gy)) add(gx, gy + 1, 0, -1);
    }
  }
  for (std::size_t e0 = 0; e0 < edges.size(); ++e0) {
    if (edges[e0].used) continue;
    std::vector<long long> xs, ys;
    std::size_t e = e0;
    int lastDx = 0, lastDy = 0;
    while (!edges[e].used) {
      Edge& edge = edges[e];
      edge.used = true;
      if (edge.dx != lastDx || edge.dy != lastDy) {
        xs.push_back(edge.x);
        ys.push_back(edge.y);
      }
      lastDx = edge.dx;
      lastDy = edge.dy;
      // Where two ways leave a corner (cells touching diagonally), turn left: each cell keeps
      // its own ring.
      const auto& out = from[key(edge.x + edge.dx, edge.y + edge.dy)];
      std::size_t pick = out.front();
      for (const std::size_t o : out) {
        if (!edges[o].used && edges[o].dx == -lastDy && edges[o].dy == lastDx) pick = o;
      }
      if (edges[pick].used) {
        for (const std::size_t o : out) {
          if (!edges[o].used) pick = o;
        }
      }
      e = pick;
    }
    // The start corner again when the ring's first edge turned from the last.
    if (edges[e0].dx == lastDx && edges[e0].dy == lastDy && xs.size() > 1) {
      xs.erase(xs.begin());
      ys.erase(ys.begin());
    }
    OutlineRing ring;
    double twice = 0.0;
    for (std::size_t k = 0; k < xs.size(); ++k) {
      const std::size_t j = (k + 1) % xs.size();
      twice += static_cast<double>(xs[k] * ys[j] - xs[j] * ys[k]);
    }
    ring.hole = twice < 0.0;
    ring.areaCells = std::fabs(twice) / 2.0;
    for (std::size_t k = 0; k <= xs.size(); ++k) {
      double lat = 0.0, lon = 0.0;
      map.cornerPosition(static_cast<double>(xs[k % xs.size()]),
                         static_cast<double>(ys[k % xs.size()]), lat, lon);
      ring.lat.push_back(lat);
      ring.lon.push_back(lon);
    }
    rings.push_back(std::move(ring));
  }
  std::stable_sort(rings.begin(), rings.end(), [](const OutlineRing& a, const OutlineRing& b) {
    return a.areaCells > b.areaCells;
  });
  return rings;
}

}  // namespace vestrand::drift
