// Cutting rings and lines at the sides of a rectangle, in any plane: degrees of latitude and
// longitude, or a picture's pixels.
#pragma once

#include <span>
#include <vector>

namespace vestrand::land {

struct PlanePoint {
  double x = 0.0;
  double y = 0.0;
};

// An upright rectangle, low <= high on both axes (which way y points does not matter).
struct PlaneBox {
  double xLow = 0.0, yLow = 0.0, xHigh = 0.0, yHigh = 0.0;

  bool contains(PlanePoint p) const {
    return p.x >= xLow && p.x <= xHigh && p.y >= yLow && p.y <= yHigh;
  }
};

// The part of a closed ring inside the box, as one ring (the last point joins the first), empty
// when none is. A ring that leaves the box and comes back is joined along the box's side: parts
// of it meet there in edges that go and come back over the same line, which add no area to a
// fill by the even-odd or the non-zero rule. Sutherland and Hodgman's method, side by side.
// @param[out] out replaced by the clipped ring
void clipRing(std::span<const PlanePoint> ring, const PlaneBox& box, std::vector<PlanePoint>& out);

// The part of a closed ring inside a convex polygon (its corners counter-clockwise: x east, y
// north), as clipRing gives it for a box.
void clipRingToConvex(std::span<const PlanePoint> ring, std::span<const PlanePoint> convex,
                      std::vector<PlanePoint>& out);

// The parts of a polyline inside the box, appended to `out` each as a polyline of two or more
// points, in the line's order.
void clipPolyline(std::span<const PlanePoint> line, const PlaneBox& box,
                  std::vector<std::vector<PlanePoint>>& out);

}  // namespace vestrand::land
