#include "land_clip.h"

#include <algorithm>

namespace vestrand::land {
namespace {

// One side of the box: which points keep, and where an edge meets the side's line.
struct Side {
  int axis;   // 0 for x, 1 for y
  double at;  // the side's line
  bool keepAbove;

  double of(PlanePoint p) const { return axis == 0 ? p.x : p.y; }
  bool keeps(PlanePoint p) const { return keepAbove ? of(p) >= at : of(p) <= at; }
  PlanePoint meet(PlanePoint a, PlanePoint b) const {
    const double t = (at - of(a)) / (of(b) - of(a));
    PlanePoint p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    // Exactly on the line, whatever the rounding, so the next side sees it inside.
    (axis == 0 ? p.x : p.y) = at;
    return p;
  }
};

}  // namespace

void clipRing(std::span<const PlanePoint> ring, const PlaneBox& box, std::vector<PlanePoint>& out) {
  out.clear();
  if (ring.size() < 3) return;
  bool inside = true;
  for (const PlanePoint& p : ring) inside = inside && box.contains(p);
  if (inside) {
    out.assign(ring.begin(), ring.end());
    return;
  }
  const Side sides[4] = {
      {0, box.xLow, true}, {0, box.xHigh, false}, {1, box.yLow, true}, {1, box.yHigh, false}};
  std::vector<PlanePoint> in(ring.begin(), ring.end());
  for (const Side& side : sides) {
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
      const PlanePoint a = in[(i + in.size() - 1) % in.size()];
      const PlanePoint b = in[i];
      if (side.keeps(b)) {
        if (!side.keeps(a)) out.push_back(side.meet(a, b));
        out.push_back(b);
      } else if (side.keeps(a)) {
        out.push_back(side.meet(a, b));
      }
    }
    if (out.size() < 3) {
      out.clear();
      return;
    }
    in.swap(out);
  }
  out.swap(in);
}

void clipRingToConvex(std::span<const PlanePoint> ring, std::span<const PlanePoint> convex,
                      std::vector<PlanePoint>& out) {
  out.assign(ring.begin(), ring.end());
  std::vector<PlanePoint> in;
  for (std::size_t k = 0; k < convex.size() && out.size() >= 3; ++k) {
    // Keep what lies left of the side from p to q.
    const PlanePoint p = convex[k], q = convex[(k + 1) % convex.size()];
    const auto side = [&](PlanePoint r) {
      return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    };
    in.swap(out);
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
      const PlanePoint a = in[(i + in.size() - 1) % in.size()], b = in[i];
      const double sa = side(a), sb = side(b);
      if ((sa >= 0.0) != (sb >= 0.0)) {
        const double t = sa / (sa - sb);
        out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
      }
      if (sb >= 0.0) out.push_back(b);
    }
  }
  if (out.size() < 3) out.clear();
}

void clipPolyline(std::span<const PlanePoint> line, const PlaneBox& box,
                  std::vector<std::vector<PlanePoint>>& out) {
  std::vector<PlanePoint> part;
  const auto finish = [&]() {
    if (part.size() >= 2) out.push_back(part);
    part.clear();
  };
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    // Liang and Barsky: the stretch of the edge inside, as fractions of it.
    const PlanePoint a = line[i], b = line[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.xLow, box.xHigh - a.x, a.y - box.yLow, box.yHigh - a.y};
    bool visible = true;
    for (int k = 0; k < 4 && visible; ++k) {
      if (p[k] == 0.0) {
        visible = q[k] >= 0.0;
      } else if (p[k] < 0.0) {
        t0 = std::max(t0, q[k] / p[k]);
      } else {
        t1 = std::min(t1, q[k] / p[k]);
      }
    }
    if (!visible || t0 > t1) {
      finish();
      continue;
    }
    const PlanePoint from = t0 == 0.0 ? a : PlanePoint{a.x + dx * t0, a.y + dy * t0};
    const PlanePoint to = t1 == 1.0 ? b : PlanePoint{a.x + dx * t1, a.y + dy * t1};
    if (part.empty() || t0 > 0.0) {
      finish();
      part.push_back(from);
    }
    part.push_back(to);
    if (t1 < 1.0) finish();
  }
  finish();
}

}  // namespace vestrand::land
