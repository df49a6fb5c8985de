#include "search_plan.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "Derrota.h"
#include "angulos.h"
#include "land_mask.h"

namespace vestrand {
namespace {

// A course from RumboDistancia in [0, 360): it may round up to 360.
double course360(double course) {
  return course >= 360.0 ? 0.0 : course;
}

// The plane of the area's centre: u along the axis, v to the right of it, nautical miles. Every
// point is placed from the centre in one plane-sailing step, so the rectangles stay rectangles
// on the chart of the centre whatever their size.
class Plane {
 public:
  Plane(LatLon centre, double axis) : centre_(centre), axis_(axis) {}
  LatLon at(double u, double v) const {
    LatLon p = centre_;
    const double distance = std::hypot(u, v);
    if (distance == 0.0) return p;
    // The short pi of the sailings, so that PosicionLlegada turns the course back into the same
    // angle.
    const double course = axis_ + std::atan2(v, u) * 180.0 / kPi;
    PosicionLlegada(centre_.lat, centre_.lon, 1.0, course, distance, &p.lat, &p.lon);
    return p;
  }
  double axis() const { return axis_; }

 private:
  LatLon centre_;
  double axis_;
};

// A rectangle of the plane, u0 <= u1 and v0 <= v1.
struct Box {
  double u0 = 0.0, u1 = 0.0, v0 = 0.0, v1 = 0.0;
};

PlanRectangle rectangle(const Plane& plane, const Box& b) {
  PlanRectangle r;
  r.centre = plane.at((b.u0 + b.u1) / 2.0, (b.v0 + b.v1) / 2.0);
  r.axisCourse = plane.axis();
  r.length = b.u1 - b.u0;
  r.width = b.v1 - b.v0;
  r.corners = {plane.at(b.u0, b.v0), plane.at(b.u1, b.v0), plane.at(b.u1, b.v1),
               plane.at(b.u0, b.v1)};
  return r;
}

double distanceBetween(const LatLon& a, const LatLon& b, double* course = nullptr) {
  double c = 0.0;
  double d = 0.0;
  RumboDistancia(a.lat, a.lon, b.lat, b.lon, &c, &d);
  if (course != nullptr) *course = course360(c);
  return d;
}

double trackOf(const std::vector<LatLon>& route) {
  double track = 0.0;
  for (std::size_t i = 1; i < route.size(); ++i) track += distanceBetween(route[i - 1], route[i]);
  return track;
}

// The two ends of a leg ½ S inside [lo, hi]. A side shorter than S has no room for that: its one
// leg runs from edge to edge, which still sweeps the whole strip.
std::pair<double, double> inset(double lo, double hi, double spacing) {
  if (hi - lo < spacing) return {lo, hi};
  return {lo + spacing / 2.0, hi - spacing / 2.0};
}

// The most legs that fit across a side at the spacing, and at least one.
int legsAcross(double side, double spacing) {
  // The small allowance keeps a side of exactly k spacings (3 x 0.1 computed as 0.30000000000000004
  // or 0.29999999999999999) at k legs.
  const double fit = std::floor(side / spacing + 1e-9);
  return fit < 1.0 ? 1 : static_cast<int>(std::min(fit, 1e6));
}

// The parallel sweep of a strip from one of its corners (0 rear left, 1 front left, 2 front
// right, 3 rear right, as PlanRectangle's), legs along the strip's longer side.
std::vector<LatLon> sweep(const Plane& plane, const Box& b, double spacing, int legs, int corner) {
  const bool alongAxis = b.u1 - b.u0 >= b.v1 - b.v0;
  const bool fromU1 = corner == 1 || corner == 2;
  const bool fromV1 = corner == 2 || corner == 3;
  // p runs along the legs, q across them.
  const double p0 = alongAxis ? b.u0 : b.v0;
  const double p1 = alongAxis ? b.u1 : b.v1;
  const double q0 = alongAxis ? b.v0 : b.u0;
  const double q1 = alongAxis ? b.v1 : b.u1;
  const bool fromP1 = alongAxis ? fromU1 : fromV1;
  const bool fromQ1 = alongAxis ? fromV1 : fromU1;
  auto [pa, pb] = inset(p0, p1, spacing);
  if (fromP1) std::swap(pa, pb);
  std::vector<LatLon> route;
  route.reserve(2 * static_cast<std::size_t>(legs));
  for (int k = 0; k < legs; ++k) {
    const double step = (k + 0.5) * spacing;
    double q = fromQ1 ? q1 - step : q0 + step;
    if (q1 - q0 < spacing) q = (q0 + q1) / 2.0;
    const double first = k % 2 == 0 ? pa : pb;
    const double second = k % 2 == 0 ? pb : pa;
    route.push_back(alongAxis ? plane.at(first, q) : plane.at(q, first));
    route.push_back(alongAxis ? plane.at(second, q) : plane.at(q, second));
  }
  return route;
}

double roundedSpacing(double spacing) {
  // The allowance keeps 0.3 at 0.3 when it arrives as 0.29999999999999999.
  const double steps = std::floor(spacing / kSpacingStep + 1e-9);
  return steps < 1.0 ? kSpacingStep : steps / 10.0;
}

bool plausible(const LatLon& p) {
  return std::isfinite(p.lat) && std::isfinite(p.lon);
}

PlanFault checkPoints(const SearchPlan& plan) {
  std::vector<LatLon> points = {{plan.datums.left.lat, plan.datums.left.lon},
                                {plan.datums.right.lat, plan.datums.right.lon},
                                {plan.datums.downwind.lat, plan.datums.downwind.lon}};
  for (const PlanRectangle* r : {&plan.optimumArea, &plan.area}) {
    points.insert(points.end(), r->corners.begin(), r->corners.end());
  }
  for (const UnitPlan& u : plan.units) {
    points.insert(points.end(), u.strip.corners.begin(), u.strip.corners.end());
    points.insert(points.end(), u.route.begin(), u.route.end());
  }
  for (const LatLon& p : points) {
    if (!plausible(p)) return PlanFault::NotFinite;
  }
  for (const LatLon& p : points) {
    if (std::fabs(p.lat) > 90.0) return PlanFault::PastPole;
  }
  return PlanFault::None;
}

land::LatLon onLandMap(const LatLon& p) {
  return {p.lat, p.lon};
}

std::vector<land::LatLon> cornersOf(const PlanRectangle& r) {
  return {onLandMap(r.corners[0]), onLandMap(r.corners[1]), onLandMap(r.corners[2]),
          onLandMap(r.corners[3])};
}

// The point a fraction t of the way from a to b, sailed by plane sailing.
LatLon partWay(const LatLon& a, const LatLon& b, double t) {
  if (t <= 0.0) return a;
  if (t >= 1.0) return b;
  double course = 0.0;
  const double d = distanceBetween(a, b, &course);
  LatLon p;
  PosicionLlegada(a.lat, a.lon, 1.0, course, d * t, &p.lat, &p.lon);
  return p;
}

// A water piece of one leg or turn of a route: from t0 to t1 of route[leg] to route[leg + 1].
struct Piece {
  std::size_t leg = 0;
  double t0 = 0.0, t1 = 0.0;
  double length = 0.0;  // of the whole leg, nautical miles
};

// The route's legs and turns cut to their water pieces, each ½ S off the land it meets, and
// joined on water where pulling the ends back lets them; the joins that still cross land are
// kept and reported. Returns false, the route left alone, when no leg meets land.
bool cutToWater(UnitPlan& u, const land::LandMask& mask) {
  const std::vector<LatLon>& route = u.route;
  const double margin = u.spacing / 2.0;
  std::vector<Piece> pieces;
  bool meets = false;
  for (std::size_t i = 0; i + 1 < route.size(); ++i) {
    const land::WayOverLand way =
        mask.wayOverLand(onLandMap(route[i]), onLandMap(route[i + 1]), true);
    if (!way.crossesLand()) {
      pieces.push_back({i, 0.0, 1.0, way.lengthNm});
      continue;
    }
    meets = true;
    ++u.cutLegs;
    const double pull = way.lengthNm > 0.0 ? margin / way.lengthNm : 1.0;
    double from = 0.0;
    bool landBefore = false;
    for (const land::LandStretch& s : way.stretches) {
      const double t0 = landBefore ? from + pull : from;
      const double t1 = s.from - pull;
      if (t1 > t0) pieces.push_back({i, t0, t1, way.lengthNm});
      from = s.to;
      landBefore = true;
    }
    if (from < 1.0 && from + pull < 1.0) pieces.push_back({i, from + pull, 1.0, way.lengthNm});
  }
  if (!meets) return false;
  std::vector<LatLon> cut;
  const auto startOf = [&](const Piece& p) {
    return partWay(route[p.leg], route[p.leg + 1], p.t0);
  };
  const auto endOf = [&](const Piece& p) { return partWay(route[p.leg], route[p.leg + 1], p.t1); };
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    Piece& next = pieces[k];
    if (cut.empty()) {
      cut.push_back(startOf(next));
      cut.push_back(endOf(next));
      continue;
    }
    const Piece& last = pieces[k - 1];
    // A piece that goes on from where the last one ended needs no join.
    if (last.t1 == 1.0 && next.t0 == 0.0 && next.leg == last.leg + 1) {
      cut.push_back(endOf(next));
      continue;
    }
    // Pull both ends back until the join stays on water, while the pieces last.
    Piece back = last, ahead = next;
    bool clear = false;
    for (int tries = 0; tries <= kMostPullBacks && !clear; ++tries) {
      clear =
          !mask.wayOverLand(onLandMap(endOf(back)), onLandMap(startOf(ahead)), true).crossesLand();
      if (clear) break;
      const double backStep = back.length > 0.0 ? margin / back.length : 1.0;
      const double aheadStep = ahead.length > 0.0 ? margin / ahead.length : 1.0;
      if (back.t1 - backStep <= back.t0 || ahead.t0 + aheadStep >= ahead.t1) break;
      back.t1 -= backStep;
      ahead.t0 += aheadStep;
    }
    if (clear) {
      cut.back() = endOf(back);
      next.t0 = ahead.t0;
    } else {
      const land::WayOverLand way =
          mask.wayOverLand(onLandMap(cut.back()), onLandMap(startOf(next)), true);
      u.transits.push_back({cut.back(), startOf(next), way.landNm()});
    }
    cut.push_back(startOf(next));
    cut.push_back(endOf(next));
  }
  // A route wholly on land is left as it was, its transits reported: nothing is left to search.
  if (cut.empty()) {
    u.transits.push_back({route.front(), route.back(), trackOf(route)});
    return true;
  }
  u.route = std::move(cut);
  int legs = 0;
  for (const Piece& p : pieces) legs += p.leg % 2 == 0 ? 1 : 0;
  u.legs = legs;
  u.track = trackOf(u.route);
  return true;
}

UnitPlan planUnit(const SearchUnit& unit, const Plane& plane, const Box& strip, double spacing,
                  double datumHours, const land::LandMask* mask) {
  UnitPlan u;
  u.name = unit.name;
  u.effort = unit.effort();
  u.spacing = spacing;
  u.strip = rectangle(plane, strip);
  const double across = std::min(strip.u1 - strip.u0, strip.v1 - strip.v0);
  u.legs = legsAcross(across, spacing);
  // The corner nearest the unit's start, by the distance to the CSP it would give.
  int corner = 0;
  if (unit.start) {
    double nearest = 0.0;
    for (int c = 0; c < 4; ++c) {
      const double d = distanceBetween(unit.start->at, sweep(plane, strip, spacing, 1, c).front());
      if (c == 0 || d < nearest) {
        nearest = d;
        corner = c;
      }
    }
  }
  const double endurance = unit.speed * unit.hours;
  u.route = sweep(plane, strip, spacing, u.legs, corner);
  u.track = trackOf(u.route);
  const std::vector<LatLon> whole = u.route;
  // With land the route is cut to water before it is measured against the unit's time.
  const auto cut = [&] {
    if (mask == nullptr) return;
    u.cutLegs = 0;
    u.transits.clear();
    cutToWater(u, *mask);
  };
  if (mask != nullptr) u.landShare = mask->landShare(cornersOf(u.strip));
  int sweepLegs = u.legs;
  cut();
  while (u.track > endurance && sweepLegs > 2) {
    sweepLegs -= 2;
    u.droppedLegs += 2;
    u.route.assign(whole.begin(), whole.begin() + 2 * static_cast<std::ptrdiff_t>(sweepLegs));
    u.legs = sweepLegs;
    u.track = trackOf(u.route);
    cut();
  }
  u.overEndurance = u.track > endurance;
  u.hours = u.track / unit.speed;
  if (unit.start) {
    Arrival a;
    a.distance = distanceBetween(unit.start->at, u.csp(), &a.course);
    a.hours = a.distance / unit.start->transitSpeed;
    a.late = a.hours > datumHours;
    u.arrival = a;
  }
  return u;
}

// The probability of the two datums' mixture (one datum when dd is 0) in the box of the plane
// that lies on water: the box cut into cells, each cell's probability in closed form, counted
// when its centre is on water. 96 cells a side: finer than the shorelines' detail for any area
// the data draws.
double waterMass(const Plane& plane, const Box& b, double dd, double sigma,
                 const land::LandMask& mask, bool* anyLand = nullptr) {
  constexpr int kCells = 96;
  const double du = (b.u1 - b.u0) / kCells, dv = (b.v1 - b.v0) / kCells;
  double sum = 0.0;
  for (int i = 0; i < kCells; ++i) {
    const double u = b.u0 + (i + 0.5) * du;
    for (int j = 0; j < kCells; ++j) {
      const double v = b.v0 + (j + 0.5) * dv;
      if (mask.onLand(onLandMap(plane.at(u, v)))) {
        if (anyLand != nullptr) *anyLand = true;
        continue;
      }
      sum += dd > 0.0 ? 0.5 * (rectanglePoc(du / 2.0, dv / 2.0, -dd / 2.0 - u, -v, sigma) +
                               rectanglePoc(du / 2.0, dv / 2.0, dd / 2.0 - u, -v, sigma))
                      : rectanglePoc(du / 2.0, dv / 2.0, -u, -v, sigma);
    }
  }
  return sum;
}

// Steps 4 to 6 over the optimum area, `length` by `width` about `centre` along `axis`, whose
// figures for any sides about the same centre `figuresOf` gives.
template <typename Figures>
PlanFault planArea(const SearchPlanInput& input, LatLon centre, double axis, double length,
                   double width, const Figures& figuresOf, SearchPlan& plan) {
  const Plane plane(centre, axis);
  plan.optimumArea = rectangle(plane, {-length / 2.0, length / 2.0, -width / 2.0, width / 2.0});
  plan.optimum = figuresOf(length, width);

  // The spacings, rounded; the area the units then cover.
  const double optimumArea = length * width;
  std::vector<double> spacings;
  double covered = 0.0;
  for (const SearchUnit& u : input.units) {
    spacings.push_back(roundedSpacing(u.sweepWidth * optimumArea / plan.effort));
    covered += u.speed * u.hours * spacings.back();
  }
  const double scale = std::sqrt(covered / optimumArea);
  const double plannedLength = scale * length;
  const double plannedWidth = scale * width;
  plan.area = rectangle(
      plane, {-plannedLength / 2.0, plannedLength / 2.0, -plannedWidth / 2.0, plannedWidth / 2.0});
  plan.planned = figuresOf(plannedLength, plannedWidth);

  const double rear = -plannedLength / 2.0, front = plannedLength / 2.0;
  const double side = plannedWidth / 2.0;
  // With land in the area, the water from the rear to u: the strips share the water, not the box.
  std::function<double(double)> waterTo;
  if (input.land != nullptr) {
    plan.landChecked = true;
    plan.areaLandShare = input.land->landShare(cornersOf(plan.area));
    plan.optimumLandShare = input.land->landShare(cornersOf(plan.optimumArea));
    if (plan.areaLandShare >= 1.0) return PlanFault::OnLand;
    if (plan.areaLandShare > 0.0) {
      waterTo = [&](double u) {
        if (u <= rear) return 0.0;
        const PlanRectangle r = rectangle(plane, {rear, u, -side, side});
        return r.area() * (1.0 - input.land->landShare(cornersOf(r)));
      };
    }
  }
  const double water = waterTo ? waterTo(front) : 0.0;
  double u0 = rear;
  double share = 0.0;
  for (std::size_t i = 0; i < input.units.size(); ++i) {
    const SearchUnit& unit = input.units[i];
    share += unit.effort();
    // The running share, not a sum of lengths, so the last strip ends exactly at the front.
    double u1 = i + 1 == input.units.size() ? front : rear + plannedLength * share / plan.effort;
    if (waterTo && i + 1 < input.units.size()) {
      // Bisection: the water behind the cut grows with it.
      const double wanted = water * share / plan.effort;
      double low = u0, high = front;
      for (int k = 0; k < 40; ++k) {
        const double middle = (low + high) / 2.0;
        (waterTo(middle) < wanted ? low : high) = middle;
      }
      u1 = (low + high) / 2.0;
    }
    plan.units.push_back(
        planUnit(unit, plane, {u0, u1, -side, side}, spacings[i], plan.datums.hours, input.land));
    plan.units.back().optimumSpacing = unit.sweepWidth * optimumArea / plan.effort;
    u0 = u1;
  }
  return checkPoints(plan);
}

}  // namespace

PlanFault planSearch(const SearchPlanInput& input, SearchPlan& plan) {
  if (input.units.empty() || input.units.size() > kMaxSearchUnits) return PlanFault::NoUnits;
  for (const SearchUnit& u : input.units) {
    const double z = u.effort();
    if (!(u.speed > 0.0 && u.hours > 0.0 && u.sweepWidth > 0.0 && std::isfinite(z) && z > 0.0)) {
      return PlanFault::NoEffort;
    }
    if (u.start && !(u.start->transitSpeed > 0.0)) return PlanFault::NoEffort;
  }
  if (!(input.x >= 0.0 && input.y >= 0.0 && std::isfinite(input.x) && std::isfinite(input.y))) {
    return PlanFault::NoError;
  }
  plan = SearchPlan{};
  plan.datums = input.datums;
  plan.conditions = input.conditions;
  plan.error = probableError(input.x, input.y, input.datums.downwind.distance);
  if (!(plan.error.total > 0.0) || !std::isfinite(plan.error.total)) return PlanFault::NoError;

  plan.effort = 0.0;
  for (const SearchUnit& u : input.units) plan.effort += u.effort();
  const double e = plan.error.total;
  plan.relativeEffort = plan.effort / (e * e);
  const double dd = plan.datums.diverges() ? plan.datums.divergence : 0.0;
  plan.radius = optimalRadius(dd, plan.error.sigma, plan.effort, plan.conditions);
  plan.searchFactor = plan.radius / e;

  LatLon centre{plan.datums.downwind.lat, plan.datums.downwind.lon};
  double axis = plan.datums.downwind.speed > 0.0 ? plan.datums.downwind.course : 0.0;
  if (plan.datums.diverges()) {
    const LatLon left{plan.datums.left.lat, plan.datums.left.lon};
    const LatLon right{plan.datums.right.lat, plan.datums.right.lon};
    const double d = distanceBetween(left, right, &axis);
    PosicionLlegada(left.lat, left.lon, 1.0, axis, d / 2.0, &centre.lat, &centre.lon);
  }
  const double length = 2.0 * plan.radius + dd;
  const double width = 2.0 * plan.radius;
  const Plane plane(centre, axis);
  const double sigma = plan.error.sigma;
  // The POCs are worked over water only when land lies within the distribution's reach: at
  // open sea they stay the closed form's.
  bool landNear = false;
  if (input.land != nullptr) {
    // The object's distribution reaches about 5 sigma beyond the datums.
    const double reach = 5.0 * sigma;
    const double afloat = waterMass(plane, {-dd / 2.0 - reach, dd / 2.0 + reach, -reach, reach}, dd,
                                    sigma, *input.land, &landNear);
    if (!(afloat > 0.0)) return PlanFault::OnLand;
    if (landNear) plan.afloat = afloat;
  }
  return planArea(
      input, centre, axis, length, width,
      [&](double l, double w) {
        AreaFigures f = areaFigures(l, w, dd, sigma, plan.effort, plan.conditions);
        if (landNear) {
          f.poc = std::min(1.0, waterMass(plane, {-l / 2.0, l / 2.0, -w / 2.0, w / 2.0}, dd, sigma,
                                          *input.land) /
                                    plan.afloat);
          f.pos = f.poc * f.pod;
        }
        return f;
      },
      plan);
}

PlanFault planSearchOver(const SearchPlanInput& input, LatLon centre, double axisCourse,
                         double length, double width, const AreaPoc& poc, SearchPlan& plan) {
  if (input.units.empty() || input.units.size() > kMaxSearchUnits) return PlanFault::NoUnits;
  for (const SearchUnit& u : input.units) {
    if (!(u.speed > 0.0 && u.hours > 0.0 && u.sweepWidth > 0.0 && std::isfinite(u.effort()))) {
      return PlanFault::NoEffort;
    }
  }
  if (!(length > 0.0 && width > 0.0 && std::isfinite(length * width))) return PlanFault::NoError;
  plan = SearchPlan{};
  plan.datums = input.datums;
  plan.conditions = input.conditions;
  plan.error = probableError(input.x, input.y, input.datums.downwind.distance);
  for (const SearchUnit& u : input.units) plan.effort += u.effort();
  const double e = plan.error.total;
  plan.relativeEffort = e > 0.0 ? plan.effort / (e * e) : 0.0;
  plan.radius = width / 2.0;
  plan.searchFactor = e > 0.0 ? plan.radius / e : 0.0;
  return planArea(
      input, centre, axisCourse, length, width,
      [&](double l, double w) {
        AreaFigures f;
        f.poc = poc(l, w);
        f.coverage = plan.effort / (l * w);
        f.pod = podFor(plan.conditions, f.coverage);
        f.pos = f.poc * f.pod;
        return f;
      },
      plan);
}

std::string searchPlanFileName(std::string_view stem) {
  return std::string(stem) + " PLAN.gpx";
}

std::string searchPlanRouteName(std::string_view stem, std::string_view unit) {
  return std::string(stem) + " - " + std::string(unit);
}

void sailSearchPlan(const SearchPlan& plan, std::string_view stem, PatternSink& sink) {
  for (const UnitPlan& u : plan.units) {
    sink.startRoute(searchPlanRouteName(stem, u.name).c_str());
    for (const LatLon& p : u.route) sink.routePoint(p.lat, p.lon, "");
    sink.endRoute();
  }
  const Datums& d = plan.datums;
  if (d.diverges()) {
    sink.waypoint(d.left.lat, d.left.lon, "Datum L");
    sink.waypoint(d.right.lat, d.right.lon, "Datum R");
    sink.waypoint(d.downwind.lat, d.downwind.lon, "Datum DW");
  } else {
    sink.waypoint(d.downwind.lat, d.downwind.lon, "Datum");
  }
  for (std::size_t i = 0; i < plan.area.corners.size(); ++i) {
    const LatLon& c = plan.area.corners[i];
    sink.waypoint(c.lat, c.lon, ("Area " + std::to_string(i + 1)).c_str());
  }
  for (const UnitPlan& u : plan.units) {
    sink.waypoint(u.csp().lat, u.csp().lon, ("CSP " + u.name).c_str());
  }
}

}  // namespace vestrand
