#include "land_mask.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "Derrota.h"
#include "angulos.h"
#include "land_clip.h"

namespace vestrand::land {
namespace {

constexpr double kSpan = kBinSpan;
constexpr double kRadian = std::numbers::pi / 180.0;
constexpr double kNmPerRadian = 60.0 / kRadian;
constexpr double kHalfRoundNm = 180.0 * 60.0;
constexpr double kLegStepNm = 5.0;
// A straight way is cut at every bin side it crosses; beyond this many it is followed no further
// (only a way many times round the globe gets there).
constexpr std::size_t kMostBinSides = 1u << 20;

// The netCDF library keeps global state: one reader at a time, over all files.
std::mutex& fileLock() {
  static std::mutex lock;
  return lock;
}

bool odd(int level) {
  return (level & 1) != 0;
}

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};
Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(double s, Vec3 a) {
  return {s * a.x, s * a.y, s * a.z};
}
double dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(Vec3 a) {
  return std::sqrt(dot(a, a));
}
Vec3 unit(LatLon p) {
  const double lat = p.lat * kRadian, lon = p.lon * kRadian;
  return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}
LatLon position(Vec3 v) {
  return {std::atan2(v.z, std::hypot(v.x, v.y)) / kRadian, std::atan2(v.y, v.x) / kRadian};
}
// The angle between two unit vectors, radians; accurate at any size.
double angle(Vec3 a, Vec3 b) {
  return std::atan2(norm(cross(a, b)), dot(a, b));
}
double distanceNm(LatLon a, LatLon b) {
  return angle(unit(a), unit(b)) * kNmPerRadian;
}

// The nearest point to p of the great-circle arc from a to b (shorter than half a circle).
Vec3 nearestOnArc(Vec3 p, Vec3 a, Vec3 b) {
  Vec3 n = cross(a, b);
  const double length = norm(n);
  if (length > 1e-15) {
    n = (1.0 / length) * n;
    Vec3 q = p - dot(p, n) * n;
    const double size = norm(q);
    if (size > 1e-15) {
      q = (1.0 / size) * q;
      if (dot(cross(a, q), n) >= 0.0 && dot(cross(q, b), n) >= 0.0) return q;
    }
  }
  return angle(p, a) <= angle(p, b) ? a : b;
}

// The nearest longitude to `lon` within [west, east] (any frame), degrees.
double nearestLongitude(double lon, double west, double east) {
  const double past = lon - west - 360.0 * std::floor((lon - west) / 360.0);  // 0 to 360
  if (past <= east - west) return west + past;
  return (past - (east - west) <= 360.0 - past) ? east : west;
}

// The great-circle distance from p to the nearest point of a box, nautical miles: zero inside,
// else the nearest of its four sides. On a parallel the nearest point has the nearest longitude;
// on a meridian it is an end or where the great circle through p meets it at a right angle.
double distanceToBoxNm(LatLon p, const GeoBox& box) {
  const double past = p.lon - box.west - 360.0 * std::floor((p.lon - box.west) / 360.0);
  if (p.lat >= box.south && p.lat <= box.north && past <= box.east - box.west) return 0.0;
  const double lon = nearestLongitude(p.lon, box.west, box.east);
  double best = std::min(distanceNm(p, {box.south, lon}), distanceNm(p, {box.north, lon}));
  for (const double meridian : {box.west, box.east}) {
    const double a = std::sin(p.lat * kRadian);
    const double b = std::cos(p.lat * kRadian) * std::cos((meridian - p.lon) * kRadian);
    const double foot = std::clamp(std::atan2(a, b) / kRadian, box.south, box.north);
    for (const double lat : {box.south, box.north, foot}) {
      best = std::min(best, distanceNm(p, {lat, meridian}));
    }
  }
  return best;
}

// A box holding every position within `nm` of p.
GeoBox capBox(LatLon p, double nm) {
  const double radius = nm / 60.0;
  GeoBox box{p.lat - radius, p.lon - 180.0, p.lat + radius, p.lon + 180.0};
  const double reach = std::sin(radius * kRadian), across = std::cos(p.lat * kRadian);
  if (box.north < 90.0 && box.south > -90.0 && reach < across) {
    const double half = std::asin(reach / across) / kRadian;
    box.west = p.lon - half;
    box.east = p.lon + half;
  }
  box.south = std::max(box.south, -90.0);
  box.north = std::min(box.north, 90.0);
  return box;
}

// Spherical area of a ring straight in latitude and longitude, radians squared; positive when
// counter-clockwise. By Green's theorem the area is the integral of -sin(lat) d(lon) round it.
double ringArea(const std::vector<PlanePoint>& ring) {
  double sum = 0.0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const PlanePoint a = ring[i], b = ring[(i + 1) % ring.size()];
    const double lon = (b.x - a.x) * kRadian;
    const double lat1 = a.y * kRadian, lat2 = b.y * kRadian;
    if (lon == 0.0) continue;
    sum -= lat1 == lat2 ? lon * std::sin(lat1)
                        : lon * (std::cos(lat1) - std::cos(lat2)) / (lat2 - lat1);
  }
  return sum;
}

}  // namespace

const char* levelName(int level) {
  static const char* const kNames[] = {"sea", "land", "lake", "island in a lake", "pond"};
  return kNames[std::clamp(level, 0, 4)];
}

double WayOverLand::landNm() const {
  double share = 0.0;
  for (const LandStretch& s : stretches) share += s.to - s.from;
  return share * lengthNm;
}

std::size_t LandOutline::pointCount() const {
  std::size_t n = 0;
  for (const auto& ring : rings) n += ring.size();
  for (const auto& shore : shores) n += shore.size();
  return n;
}

struct LandMask::Place {
  int bin = 0;
  BinXY at;
};

LandMask::LandMask(Resolution resolution, const std::string& path) : resolution_(resolution) {
  {
    const std::lock_guard reading(fileLock());
    file_ = std::make_unique<GshhgFile>(path);
  }
  bins_ =
      std::make_unique<std::atomic<const ShoreBin*>[]>(static_cast<std::size_t>(file_->binCount()));
}

LandMask::~LandMask() {
  const std::lock_guard reading(fileLock());
  file_.reset();
}

LandMask::Place LandMask::place(LatLon p) const {
  const double size = binDegrees();
  const double lat = std::clamp(p.lat, -90.0, 90.0);
  double lon = p.lon - 360.0 * std::floor(p.lon / 360.0);
  if (lon >= 360.0) lon = 0.0;
  const int column = std::min(file_->columns() - 1, static_cast<int>(lon / size));
  const int row =
      std::clamp(static_cast<int>(std::floor((90.0 - lat) / size)), 0, file_->rows() - 1);
  const double west = column * size, south = 90.0 - (row + 1) * size;
  return {row * file_->columns() + column,
          {std::clamp((lon - west) / size * kSpan, 0.0, kSpan),
           std::clamp((lat - south) / size * kSpan, 0.0, kSpan)}};
}

const ShoreBin& LandMask::bin(int index) const {
  if (const ShoreBin* ready = bins_[index].load(std::memory_order_acquire)) return *ready;
  const std::lock_guard building(building_);
  if (const ShoreBin* ready = bins_[index].load(std::memory_order_relaxed)) return *ready;
  RawBin raw;
  {
    const std::lock_guard reading(fileLock());
    raw = file_->readBin(index);
  }
  owned_.push_back(std::make_unique<ShoreBin>(std::move(raw)));
  memory_ += owned_.back()->memoryBytes();
  bins_[index].store(owned_.back().get(), std::memory_order_release);
  return *owned_.back();
}

int LandMask::levelIn(const Place& at) const {
  return bin(at.bin).levelAt(at.at);
}

int LandMask::levelAt(LatLon p) const {
  if (!std::isfinite(p.lat) || !std::isfinite(p.lon)) return 0;
  return levelIn(place(p));
}

template <typename F>
void LandMask::forEachBin(const GeoBox& box, F&& f) const {
  const double size = binDegrees();
  const double south = std::max(box.south, -90.0), north = std::min(box.north, 90.0);
  if (!(north >= south) || !std::isfinite(box.west) || !(box.east >= box.west)) return;
  const double east = std::min(box.east, box.west + 360.0);
  const int top =
      std::clamp(static_cast<int>(std::floor((90.0 - north) / size)), 0, file_->rows() - 1);
  const int bottom =
      std::clamp(static_cast<int>(std::ceil((90.0 - south) / size)) - 1, top, file_->rows() - 1);
  const long long first = static_cast<long long>(std::floor(box.west / size));
  long long last = static_cast<long long>(std::ceil(east / size)) - 1;
  last = std::clamp(last, first, first + file_->columns() - 1);
  for (int row = top; row <= bottom; ++row) {
    for (long long k = first; k <= last; ++k) {
      const long long column = ((k % file_->columns()) + file_->columns()) % file_->columns();
      f(row * file_->columns() + static_cast<int>(column), static_cast<double>(k) * size);
    }
  }
}

void LandMask::prepare(const GeoBox& box) const {
  forEachBin(box, [this](int index, double) { bin(index); });
}

std::size_t LandMask::preparedBins() const {
  const std::lock_guard building(building_);
  return owned_.size();
}

std::size_t LandMask::memoryBytes() const {
  const std::lock_guard building(building_);
  return memory_;
}

ShoreDistance LandMask::nearestShore(LatLon p) const {
  ShoreDistance best{std::numeric_limits<double>::infinity(), p};
  if (!std::isfinite(p.lat) || !std::isfinite(p.lon)) return {-1.0, p};
  p.lat = std::clamp(p.lat, -90.0, 90.0);
  const Vec3 at = unit(p);
  const double size = binDegrees();
  std::vector<bool> seen(static_cast<std::size_t>(file_->binCount()), false);
  std::vector<Vec3> points;
  // Bins within a widening circle, until the nearest shore found lies inside the circle.
  for (double radius = 2.0 * size * 60.0;; radius *= 2.0) {
    const bool everywhere = radius >= kHalfRoundNm;
    forEachBin(capBox(p, std::min(radius, kHalfRoundNm)), [&](int index, double west) {
      if (seen[index]) return;
      seen[index] = true;
      if (file_->pieceCount(index) == 0) return;
      const int row = index / file_->columns();
      const double south = 90.0 - (row + 1) * size;
      if (distanceToBoxNm(p, {south, west, south + size, west + size}) >= best.nm) return;
      const ShoreBin& shore = bin(index);
      points.clear();
      for (const BinPoint& q : shore.shorePoints()) {
        points.push_back(unit({south + q.y / kSpan * size, west + q.x / kSpan * size}));
      }
      for (const RawPiece& piece : shore.pieces()) {
        for (std::uint32_t k = piece.first; k + 1 < piece.first + piece.count; ++k) {
          const Vec3 q = nearestOnArc(at, points[k], points[k + 1]);
          const double nm = angle(at, q) * kNmPerRadian;
          if (nm < best.nm) best = {nm, position(q)};
        }
      }
    });
    if (best.nm <= radius || everywhere) break;
    if (std::isfinite(best.nm)) radius = best.nm / 2.0;  // doubled above: the circle of best.nm
  }
  if (!std::isfinite(best.nm)) return {-1.0, p};
  return best;
}

void LandMask::chordOverLand(LatLon a, LatLon b, double from, double to, WayOverLand& way) const {
  const double size = binDegrees();
  const auto at = [&](double t) {
    return LatLon{a.lat + (b.lat - a.lat) * t, a.lon + (b.lon - a.lon) * t};
  };
  // Most steps of a particle and most legs lie in one cell of one bin that no shoreline touches:
  // one level answers for the whole chord.
  if (std::fabs(b.lon - a.lon) < size && std::fabs(b.lat - a.lat) < size) {
    const Place start = place(a), end = place(b);
    if (start.bin == end.bin) {
      const ShoreBin& shore = bin(start.bin);
      if (shore.quiet(start.at, end.at)) {
        if (odd(shore.levelAt(start.at))) {
          if (!way.stretches.empty() && way.stretches.back().to == from) {
            way.stretches.back().to = to;
            way.stretches.back().end = b;
          } else {
            way.stretches.push_back({from, to, a, b});
          }
        }
        return;
      }
    }
  }
  // Cut where the chord crosses the sides of bins: within each part one bin answers.
  std::vector<double> cuts{0.0, 1.0};
  const auto addCuts = [&](double start, double end, double offset) {
    if (start == end) return;
    const double low = std::min(start, end), high = std::max(start, end);
    const double first = std::ceil((low - offset) / size),
                 last = std::floor((high - offset) / size);
    if (last - first > static_cast<double>(kMostBinSides)) return;
    for (double k = first; k <= last; ++k) {
      const double t = (offset + k * size - start) / (end - start);
      if (t > 0.0 && t < 1.0) cuts.push_back(t);
    }
  };
  addCuts(a.lon, b.lon, 0.0);
  addCuts(std::clamp(a.lat, -90.0, 90.0), std::clamp(b.lat, -90.0, 90.0), 90.0);
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

  std::vector<BinCrossing> crossings;
  bool onLand = !way.stretches.empty() && way.stretches.back().to == from;
  const auto change = [&](double t, bool land) {
    if (land == onLand) return;
    onLand = land;
    const double fraction = from + (to - from) * t;
    if (land) {
      way.stretches.push_back({fraction, fraction, at(t), at(t)});
    } else {
      way.stretches.back().to = fraction;
      way.stretches.back().end = at(t);
    }
  };
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const double t0 = cuts[i], t1 = cuts[i + 1];
    const LatLon start = at(t0), end = at(t1), middle = at((t0 + t1) / 2.0);
    // The bin of the part's middle, and both ends in its offsets.
    const Place inside = place(middle);
    const double lonOffset = middle.lon - inside.at.x / kSpan * size;
    const double latOffset = std::clamp(middle.lat, -90.0, 90.0) - inside.at.y / kSpan * size;
    const auto offsets = [&](LatLon q) {
      return BinXY{
          std::clamp((q.lon - lonOffset) / size * kSpan, 0.0, kSpan),
          std::clamp((std::clamp(q.lat, -90.0, 90.0) - latOffset) / size * kSpan, 0.0, kSpan)};
    };
    const ShoreBin& shore = bin(inside.bin);
    const BinXY p = offsets(start), q = offsets(end);
    int level = shore.levelAt(p);
    change(t0, odd(level));
    crossings.clear();
    shore.crossings(p, q, crossings);
    for (const BinCrossing& c : crossings) {
      level += c.change;
      change(t0 + (t1 - t0) * c.t, odd(level));
    }
  }
  if (onLand) {
    way.stretches.back().to = to;
    way.stretches.back().end = b;
  }
}

WayOverLand LandMask::wayOverLand(LatLon a, LatLon b, bool planeSailing) const {
  WayOverLand way;
  if (!std::isfinite(a.lat) || !std::isfinite(a.lon) || !std::isfinite(b.lat) ||
      !std::isfinite(b.lon)) {
    return way;
  }
  double course = 0.0;
  RumboDistancia(a.lat, a.lon, b.lat, b.lon, &course, &way.lengthNm);
  // Plane sailing takes the short way round; so does its straight step.
  if (planeSailing) b.lon = a.lon + ang_180(b.lon - a.lon);
  // Along a meridian or a parallel plane sailing runs straight in latitude and longitude.
  const double along = std::fabs(std::sin(course * kRadian)),
               across = std::fabs(std::cos(course * kRadian));
  if (!planeSailing || way.lengthNm <= kLegStepNm || along < 1e-9 || across < 1e-9) {
    chordOverLand(a, b, 0.0, 1.0, way);
    return way;
  }
  const auto steps = static_cast<int>(std::ceil(way.lengthNm / kLegStepNm));
  LatLon start = a;
  for (int k = 1; k <= steps; ++k) {
    LatLon end;
    PosicionLlegada(a.lat, a.lon, 1.0, course, way.lengthNm * k / steps, &end.lat, &end.lon);
    chordOverLand(start, end, static_cast<double>(k - 1) / steps, static_cast<double>(k) / steps,
                  way);
    start = end;
  }
  return way;
}

double LandMask::landShare(const GeoBox& box) const {
  const double south = std::max(box.south, -90.0), north = std::min(box.north, 90.0);
  const double east = std::min(box.east, box.west + 360.0);
  const double whole =
      (east - box.west) * kRadian * (std::sin(north * kRadian) - std::sin(south * kRadian));
  if (!(whole > 0.0)) return 0.0;
  const double size = binDegrees();
  const PlaneBox cut{box.west, south, east, north};
  double land = 0.0;
  std::vector<PlanePoint> ring, clipped;
  forEachBin(box, [&](int index, double west) {
    const ShoreBin& shore = bin(index);
    const double binSouth = 90.0 - (index / file_->columns() + 1) * size;
    for (const BinRing& r : shore.rings()) {
      ring.clear();
      for (std::uint32_t k = r.first; k < r.first + r.count; ++k) {
        const BinPoint q = shore.ringPoints()[k];
        ring.push_back({west + q.x / kSpan * size, binSouth + q.y / kSpan * size});
      }
      clipRing(ring, cut, clipped);
      land += ringArea(clipped);
    }
  });
  return std::clamp(land / whole, 0.0, 1.0);
}

double LandMask::landShare(const std::vector<LatLon>& area) const {
  if (area.size() < 3) return 0.0;
  std::vector<PlanePoint> convex;
  GeoBox box{90.0, area.front().lon, -90.0, area.front().lon};
  for (const LatLon& p : area) {
    if (!std::isfinite(p.lat) || !std::isfinite(p.lon)) return 0.0;
    convex.push_back({p.lon, std::clamp(p.lat, -90.0, 90.0)});
    box = {std::min(box.south, p.lat), std::min(box.west, p.lon), std::max(box.north, p.lat),
           std::max(box.east, p.lon)};
  }
  double whole = ringArea(convex);
  if (whole < 0.0) {  // clockwise: the clip keeps the left of each side
    std::reverse(convex.begin(), convex.end());
    whole = -whole;
  }
  if (!(whole > 0.0)) return 0.0;
  const double size = binDegrees();
  double land = 0.0;
  std::vector<PlanePoint> ring, clipped;
  forEachBin(box, [&](int index, double west) {
    const ShoreBin& shore = bin(index);
    const double binSouth = 90.0 - (index / file_->columns() + 1) * size;
    for (const BinRing& r : shore.rings()) {
      ring.clear();
      for (std::uint32_t k = r.first; k < r.first + r.count; ++k) {
        const BinPoint q = shore.ringPoints()[k];
        ring.push_back({west + q.x / kSpan * size, binSouth + q.y / kSpan * size});
      }
      clipRingToConvex(ring, convex, clipped);
      land += ringArea(clipped);
    }
  });
  return std::clamp(land / whole, 0.0, 1.0);
}

LandOutline LandMask::outline(const GeoBox& box) const {
  LandOutline out;
  const double south = std::max(box.south, -90.0), north = std::min(box.north, 90.0);
  const PlaneBox cut{box.west, south, std::min(box.east, box.west + 360.0), north};
  const double size = binDegrees();
  std::vector<PlanePoint> line, clipped;
  std::vector<std::vector<PlanePoint>> parts;
  const auto toLatLon = [](const std::vector<PlanePoint>& points) {
    std::vector<LatLon> result(points.size());
    std::transform(points.begin(), points.end(), result.begin(), [](PlanePoint p) {
      return LatLon{p.y, p.x};
    });
    return result;
  };
  forEachBin(box, [&](int index, double west) {
    const ShoreBin& shore = bin(index);
    const double binSouth = 90.0 - (index / file_->columns() + 1) * size;
    const auto plane = [&](BinPoint q) {
      return PlanePoint{west + q.x / kSpan * size, binSouth + q.y / kSpan * size};
    };
    for (const BinRing& r : shore.rings()) {
      line.clear();
      for (std::uint32_t k = r.first; k < r.first + r.count; ++k) {
        line.push_back(plane(shore.ringPoints()[k]));
      }
      clipRing(line, cut, clipped);
      if (!clipped.empty()) out.rings.push_back(toLatLon(clipped));
    }
    for (const RawPiece& piece : shore.pieces()) {
      line.clear();
      for (std::uint32_t k = piece.first; k < piece.first + piece.count; ++k) {
        line.push_back(plane(shore.shorePoints()[k]));
      }
      parts.clear();
      clipPolyline(line, cut, parts);
      for (const auto& part : parts) out.shores.push_back(toLatLon(part));
    }
  });
  return out;
}

}  // namespace vestrand::land
