#include "field.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "field_time.h"

namespace vestrand::fields {
namespace {

// Axes whose steps differ by less than this share of the step are taken as evenly spaced;
// printed coordinates of a 1/12 degree grid are not exact multiples.
constexpr double kEvenShare = 1e-6;
// The least spacing of a grid's latitudes or longitudes, degrees: a tenth of a metre.
constexpr double kMinGridStep = 1e-6;

// "43.5N", "10W", "0E": degrees to four decimals at most, with the hemisphere letter.
std::string degreesText(double value, char positive, char negative) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.4f", std::fabs(value));
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text + (value < 0 ? negative : positive);
}

std::string positionText(double lat, double lon) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%.5f%c %.5f%c", std::fabs(lat), lat < 0 ? 'S' : 'N',
                std::fabs(lon), lon < 0 ? 'W' : 'E');
  return buffer;
}

// The longitude's place on a grid: the cell's two columns and the fraction between them.
bool locateLongitude(const Grid& grid, double lon, std::size_t& j, std::size_t& j1,
                     double& f) noexcept {
  const double front = grid.lon.front();
  const double span = grid.lon.back() - front;
  if (std::isnan(lon)) return false;
  double x = lon - front;
  // Most longitudes need one turn at most; the division is for the others.
  if (x < 0.0) {
    x += 360.0;
  } else if (x >= 360.0) {
    x -= 360.0;
  }
  if (!(x >= 0.0 && x < 360.0)) x -= 360.0 * std::floor(x / 360.0);
  if (!(x >= 0.0 && x < 360.0)) x = 0.0;  // -1e-300 + 360 rounds to 360
  if (x <= span) {
    if (!grid.lon.locate(std::min(front + x, grid.lon.back()), j, f)) return false;
    j1 = j + 1;
    return true;
  }
  if (!grid.wraps) return false;
  j = grid.lon.size() - 1;
  j1 = 0;
  f = (x - span) / (360.0 - span);
  return true;
}

// Bilinear interpolation at one time, missing corners left out. @return false with no weight
bool spatial(const Field& field, std::size_t k, std::size_t i, double fy, std::size_t j,
             std::size_t j1, double fx, double& u, double& v) noexcept {
  const std::size_t columns = field.grid.lon.size();
  const std::size_t base = k * field.pointsPerTime();
  const std::size_t at[4] = {base + i * columns + j, base + i * columns + j1,
                             base + (i + 1) * columns + j, base + (i + 1) * columns + j1};
  const double weight[4] = {(1 - fy) * (1 - fx), (1 - fy) * fx, fy * (1 - fx), fy * fx};
  double sum = 0.0, su = 0.0, sv = 0.0;
  for (int c = 0; c < 4; ++c) {
    const float cu = field.u[at[c]];
    if (weight[c] > 0.0 && !std::isnan(cu)) {
      sum += weight[c];
      su += weight[c] * cu;
      sv += weight[c] * field.v[at[c]];
    }
  }
  if (sum <= 0.0) return false;
  u = su / sum;
  v = sv / sum;
  return true;
}

bool insideSpace(const Grid& grid, double lat, double lon) {
  std::size_t i = 0, j = 0, j1 = 0;
  double f = 0.0;
  return grid.lat.locate(lat, i, f) && locateLongitude(grid, lon, j, j1, f);
}

}  // namespace

const char* quantityName(Quantity quantity) {
  return quantity == Quantity::Wind ? "wind" : "current";
}

GridAxis::GridAxis(std::vector<double> values) : values_(std::move(values)) {
  if (values_.size() < 2) throw std::invalid_argument("an axis needs two values");
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (!std::isfinite(values_[i]) || (i > 0 && !(values_[i] > values_[i - 1]))) {
      throw std::invalid_argument("an axis must be finite and strictly increasing");
    }
    if (i > 0) largestStep_ = std::max(largestStep_, values_[i] - values_[i - 1]);
  }
  const double n = static_cast<double>(values_.size() - 1);
  step_ = (values_.back() - values_.front()) / n;
  even_ = true;
  for (std::size_t i = 1; i < values_.size() && even_; ++i) {
    const double expected = values_.front() + static_cast<double>(i) * step_;
    even_ = std::fabs(values_[i] - expected) <= kEvenShare * step_;
  }
  inverseStep_ = 1.0 / step_;
}

bool GridAxis::locate(double x, std::size_t& i, double& f) const noexcept {
  if (!(x >= values_.front() && x <= values_.back())) return false;
  const std::size_t last = values_.size() - 2;
  if (even_) {
    const double guess = std::floor((x - values_.front()) * inverseStep_);
    i = guess <= 0.0 ? 0 : std::min(static_cast<std::size_t>(guess), last);
    // The evenly spaced guess may be one off beside a grid line.
    if (x < values_[i] && i > 0) --i;
    if (x > values_[i + 1] && i < last) ++i;
    // A multiplication where a division would do: the steps differ by a millionth at most.
    f = std::clamp((x - values_[i]) * inverseStep_, 0.0, 1.0);
    return true;
  }
  const auto above = std::upper_bound(values_.begin(), values_.end(), x);
  const std::size_t k = static_cast<std::size_t>(above - values_.begin());
  i = k == 0 ? 0 : std::min(k - 1, last);
  f = std::clamp((x - values_[i]) / (values_[i + 1] - values_[i]), 0.0, 1.0);
  return true;
}

Grid makeGrid(const std::string& file, std::vector<double> lats, std::vector<double> lons,
              bool& latReversed, bool& lonReversed) {
  const auto refuse = [&](const std::string& why) {
    throw FieldFileError("'" + file + "': " + why);
  };
  const auto prepare = [&](std::vector<double>& axis, const char* name, bool& reversed) {
    if (axis.size() < 2) {
      refuse(std::string("the grid has ") + std::to_string(axis.size()) + " " + name +
             ", too few to interpolate between (at least 2)");
    }
    for (double value : axis) {
      if (!std::isfinite(value)) refuse(std::string("a ") + name + " is not a finite number");
    }
    reversed = axis[1] < axis[0];
    if (reversed) std::reverse(axis.begin(), axis.end());
    for (std::size_t i = 1; i < axis.size(); ++i) {
      if (!(axis[i] > axis[i - 1])) {
        refuse(std::string("the ") + name + " are not in order (each larger or each smaller " +
               "than the one before)");
      }
      // No forecast grid is finer; closer values leave no step to divide by.
      if (!(axis[i] - axis[i - 1] >= kMinGridStep)) {
        refuse(std::string("two ") + name + " lie closer together than a millionth of a degree");
      }
    }
  };
  prepare(lats, "latitudes", latReversed);
  prepare(lons, "longitudes", lonReversed);
  if (lats.front() < -90.0 || lats.back() > 90.0) refuse("a latitude lies beyond 90 degrees");
  if (lons.front() < -360.0 || lons.back() > 720.0) {
    refuse("a longitude lies beyond -360..720 degrees");
  }
  const double span = lons.back() - lons.front();
  if (span > 360.0 * (1.0 + 1e-9)) refuse("the longitudes span more than 360 degrees");
  Grid grid;
  grid.lat = GridAxis(std::move(lats));
  grid.lon = GridAxis(std::move(lons));
  grid.wraps = 360.0 - span <= grid.lon.largestStep() * (1.0 + kEvenShare);
  return grid;
}

void finishField(Field& field) {
  const double bound = field.quantity == Quantity::Wind ? kMaxWindSpeed : kMaxCurrentSpeed;
  const std::string file = field.files.empty() ? std::string() : field.files.front();
  std::size_t present = 0;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (std::size_t n = 0; n < field.u.size(); ++n) {
    float& u = field.u[n];
    float& v = field.v[n];
    if (!std::isfinite(u) || !std::isfinite(v)) {
      u = v = nan;
      continue;
    }
    if (std::fabs(u) > bound || std::fabs(v) > bound) {
      const std::size_t k = n / field.pointsPerTime();
      const std::size_t i = n % field.pointsPerTime() / field.grid.lon.size();
      const std::size_t j = n % field.grid.lon.size();
      char value[32];
      std::snprintf(value, sizeof value, "%g", std::fabs(u) > bound ? u : v);
      throw FieldFileError("'" + file + "': the " + quantityName(field.quantity) + " at " +
                           positionText(field.grid.lat.values()[i], field.grid.lon.values()[j]) +
                           ", " + isoTimeText(field.times[k]) + " has a component of " + value +
                           " m/s, beyond any " + quantityName(field.quantity) + " (" +
                           std::to_string(static_cast<int>(bound)) +
                           " m/s): a fill value the file does not declare?");
    }
    ++present;
  }
  if (present == 0) {
    throw FieldFileError("'" + file + "': every value of the " + quantityName(field.quantity) +
                         " (" + field.uName + ", " + field.vName + ") is missing");
  }
}

Cover sampleField(const Field& field, double lat, double lon, double time, double& u,
                  double& v) noexcept {
  std::size_t i = 0, j = 0, j1 = 0, k = 0;
  double fy = 0.0, fx = 0.0, ft = 0.0;
  if (!field.grid.lat.locate(lat, i, fy) || !locateLongitude(field.grid, lon, j, j1, fx)) {
    return Cover::Outside;
  }
  const std::vector<double>& times = field.times;
  if (times.size() == 1) {
    if (!(time == times.front())) return Cover::Outside;
    return spatial(field, 0, i, fy, j, j1, fx, u, v) ? Cover::Value : Cover::Missing;
  }
  if (!(time >= times.front() && time <= times.back())) return Cover::Outside;
  k = static_cast<std::size_t>(std::upper_bound(times.begin(), times.end(), time) - times.begin());
  k = k == 0 ? 0 : std::min(k - 1, times.size() - 2);
  ft = std::clamp((time - times[k]) / (times[k + 1] - times[k]), 0.0, 1.0);
  double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  const bool has0 = ft < 1.0 && spatial(field, k, i, fy, j, j1, fx, u0, v0);
  const bool has1 = ft > 0.0 && spatial(field, k + 1, i, fy, j, j1, fx, u1, v1);
  if (has0 && has1) {
    u = u0 + ft * (u1 - u0);
    v = v0 + ft * (v1 - v0);
  } else if (has0) {
    u = u0;
    v = v0;
  } else if (has1) {
    u = u1;
    v = v1;
  } else {
    return Cover::Missing;
  }
  return Cover::Value;
}

MissingSummary missingOf(const Field& field) {
  MissingSummary s;
  s.total = field.u.size();
  const std::size_t points = field.pointsPerTime();
  const std::size_t columns = field.grid.lon.size();
  s.south = s.west = std::numeric_limits<double>::infinity();
  s.north = s.east = -std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < field.times.size(); ++k) {
    bool any = false;
    for (std::size_t p = 0; p < points; ++p) {
      if (!std::isnan(field.u[k * points + p])) continue;
      any = true;
      ++s.count;
      const double lat = field.grid.lat.values()[p / columns];
      const double lon = field.grid.lon.values()[p % columns];
      s.south = std::min(s.south, lat);
      s.north = std::max(s.north, lat);
      s.west = std::min(s.west, lon);
      s.east = std::max(s.east, lon);
    }
    if (any) ++s.times;
  }
  if (s.count == 0) s.south = s.north = s.west = s.east = 0.0;
  return s;
}

std::string boxText(double south, double north, double west, double east) {
  return "latitudes " + degreesText(south, 'N', 'S') + " to " + degreesText(north, 'N', 'S') +
         ", longitudes " + degreesText(west, 'E', 'W') + " to " + degreesText(east, 'E', 'W');
}

std::string extentText(const Grid& grid) {
  std::string text = boxText(grid.lat.front(), grid.lat.back(), grid.lon.front(), grid.lon.back());
  if (grid.wraps) text += " (round the globe)";
  return text;
}

std::string timesText(const std::vector<double>& times) {
  if (times.size() == 1) return isoTimeText(times.front()) + " only";
  return isoTimeText(times.front()) + " to " + isoTimeText(times.back()) + " (" +
         std::to_string(times.size()) + " times)";
}

void FieldSet::add(Field field) {
  if (!areas_.empty() && areas_.front().quantity != field.quantity) {
    throw FieldFileError("'" + field.files.front() + "' holds a " + quantityName(field.quantity) +
                         ", not a " + quantityName(areas_.front().quantity));
  }
  const auto same = std::find_if(areas_.begin(), areas_.end(),
                                 [&](const Field& area) { return area.grid == field.grid; });
  // Counted before a merge takes out the times given twice: the bound holds either way.
  if (values_ + field.u.size() > kMaxSetValues) {
    throw FieldFileError("'" + field.files.front() + "': the " + quantityName(field.quantity) +
                         " files together hold more than " + std::to_string(kMaxSetValues) +
                         " grid values, more than this program keeps in memory");
  }
  if (same == areas_.end()) {
    values_ += field.u.size();
    areas_.push_back(std::move(field));
    return;
  }
  // Merge the times: the newcomer's slab wins where both give the same time.
  Field& area = *same;
  const std::size_t points = area.pointsPerTime();
  struct Slab {
    double time;
    const Field* from;
    std::size_t k;
  };
  std::vector<Slab> slabs;
  for (std::size_t k = 0; k < field.times.size(); ++k) slabs.push_back({field.times[k], &field, k});
  for (std::size_t k = 0; k < area.times.size(); ++k) {
    if (!std::binary_search(field.times.begin(), field.times.end(), area.times[k])) {
      slabs.push_back({area.times[k], &area, k});
    }
  }
  std::sort(slabs.begin(), slabs.end(),
            [](const Slab& a, const Slab& b) { return a.time < b.time; });
  Field merged;
  merged.quantity = area.quantity;
  merged.format = area.format;
  merged.uName = area.uName;
  merged.vName = area.vName;
  merged.files = area.files;
  for (const std::string& file : field.files) {
    if (std::find(merged.files.begin(), merged.files.end(), file) == merged.files.end()) {
      merged.files.push_back(file);
    }
  }
  merged.grid = area.grid;
  merged.u.reserve(slabs.size() * points);
  merged.v.reserve(slabs.size() * points);
  for (const Slab& slab : slabs) {
    merged.times.push_back(slab.time);
    const auto from = static_cast<std::ptrdiff_t>(slab.k * points);
    const auto to = from + static_cast<std::ptrdiff_t>(points);
    merged.u.insert(merged.u.end(), slab.from->u.begin() + from, slab.from->u.begin() + to);
    merged.v.insert(merged.v.end(), slab.from->v.begin() + from, slab.from->v.begin() + to);
  }
  values_ = values_ - area.u.size() + merged.u.size();
  area = std::move(merged);
}

std::string FieldSet::outsideText(double lat, double lon, double time) const {
  std::string text;
  if (areas_.empty()) return text;
  text = std::string("no ") + quantityName(areas_.front().quantity) + " file holds " +
         positionText(lat, lon) + " at " + isoTimeText(time) + ":";
  for (const Field& area : areas_) {
    std::string names;
    for (const std::string& file : area.files) names += (names.empty() ? "'" : ", '") + file + "'";
    const bool space = insideSpace(area.grid, lat, lon);
    const bool inTime = time >= area.times.front() && time <= area.times.back();
    text += " " + names + (area.files.size() > 1 ? " hold " : " holds ") + extentText(area.grid) +
            ", times " + timesText(area.times) + " (";
    if (!space && !inTime) {
      text += "neither the position nor the time";
    } else if (!space) {
      text += "not the position";
    } else {
      text += "not the time";
    }
    text += ");";
  }
  text.pop_back();
  return text;
}

}  // namespace vestrand::fields
