#include "field_forcing.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vestrand::drift {
namespace {

using fields::Source;

// As fields::GridAxis tells an evenly spaced axis: printed coordinates are not exact multiples.
constexpr double kEvenShare = 1e-6;
// Grid values blended for a block beyond this many a particle cost more than asking
// fields::Forcing for each particle.
constexpr std::size_t kNodesPerParticle = 8;

FieldForcing::Axis axisOf(const fields::GridAxis& g) {
  FieldForcing::Axis a;
  a.size = g.size();
  a.front = g.front();
  a.step = (g.back() - g.front()) / static_cast<double>(g.size() - 1);
  a.inverse = 1.0 / a.step;
  a.even = true;
  for (std::size_t i = 0; i < g.size() && a.even; ++i) {
    a.even = std::fabs(g.values()[i] - (a.front + static_cast<double>(i) * a.step)) <=
             kEvenShare * a.step;
  }
  return a;
}

std::vector<FieldForcing::Area> areasOf(const fields::FieldSet& set) {
  std::vector<FieldForcing::Area> areas;
  for (const fields::Field& f : set.areas()) {
    FieldForcing::Area a;
    a.field = &f;
    a.lat = axisOf(f.grid.lat);
    a.lon = axisOf(f.grid.lon);
    a.span = f.grid.lon.back() - f.grid.lon.front();
    a.wrapsEvenly =
        f.grid.wraps && std::fabs(360.0 - a.span - a.lon.step) <= kEvenShare * a.lon.step;
    areas.push_back(a);
  }
  return areas;
}

bool hasValue(Source s) {
  return s == Source::Field || s == Source::Constant;
}

inline float larger(float a, float b) {
  return a > b ? a : b;
}
inline float smaller(float a, float b) {
  return a < b ? a : b;
}

// Bilinear interpolation of the blended grid values at each particle, missing corners left out
// and the others' weights renormalised; NaN where every corner with weight is missing. Plain
// arguments and selects instead of branches, so that the vectoriser gathers eight particles'
// corners at a time in the copy for processors with AVX2.
template <bool kMissing>
inline void interpolateAll(const float* __restrict dLat, const float* __restrict dLon,
                           std::size_t n, float cy, float cx, float iy, float ix, float lastRow,
                           float lastColumn, int columns, const float* __restrict bu,
                           const float* __restrict bv, const float* __restrict pairs,
                           float* __restrict u, float* __restrict v) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (std::size_t i = 0; i < n; ++i) {
    // Within the box a position is at or above its corner: truncation is the floor.
    const float y = larger(cy + dLat[i] * iy, 0.0f), x = larger(cx + dLon[i] * ix, 0.0f);
    const float fr = smaller(static_cast<float>(static_cast<int>(y)), lastRow);
    const float fc = smaller(static_cast<float>(static_cast<int>(x)), lastColumn);
    const float fy = smaller(y - fr, 1.0f), fx = smaller(x - fc, 1.0f);
    const int at = static_cast<int>(fr) * columns + static_cast<int>(fc);
    const float w[4] = {(1.0f - fy) * (1.0f - fx), (1.0f - fy) * fx, fy * (1.0f - fx), fy * fx};
    const int corner[4] = {at, at + 1, at + columns, at + columns + 1};
    if constexpr (!kMissing) {
      // Each grid value's two components in one 8-byte word: half the elements to gather.
      float su = 0.0f, sv = 0.0f;
      for (int q = 0; q < 4; ++q) {
        std::uint64_t pair = 0;
        std::memcpy(&pair, pairs + 2 * corner[q], sizeof pair);
        su += w[q] * std::bit_cast<float>(static_cast<std::uint32_t>(pair));
        sv += w[q] * std::bit_cast<float>(static_cast<std::uint32_t>(pair >> 32));
      }
      u[i] = su;
      v[i] = sv;
      continue;
    }
    float sum = 0.0f, su = 0.0f, sv = 0.0f;
    for (int q = 0; q < 4; ++q) {
      const float cu = bu[corner[q]], cv = bv[corner[q]];
      const bool present = cu == cu;
      const float weight = present ? w[q] : 0.0f;
      sum += weight;
      su += weight * (present ? cu : 0.0f);
      sv += weight * (present ? cv : 0.0f);
    }
    const float inverse = sum > 0.0f ? 1.0f / sum : nan;
    u[i] = su * inverse;
    v[i] = sv * inverse;
  }
}

// The grid values without a missing one take the plain sum; the copies for processors with
// AVX-512 and AVX2 gather sixteen or eight particles' corners at a time.
__attribute__((target_clones("avx512f", "avx2", "default"))) void interpolate(
    bool missing, const float* __restrict dLat, const float* __restrict dLon, std::size_t n,
    float cy, float cx, float iy, float ix, float lastRow, float lastColumn, int columns,
    const float* __restrict bu, const float* __restrict bv, const float* __restrict pairs,
    float* __restrict u, float* __restrict v) {
  if (missing) {
    interpolateAll<true>(dLat, dLon, n, cy, cx, iy, ix, lastRow, lastColumn, columns, bu, bv, pairs,
                         u, v);
  } else {
    interpolateAll<false>(dLat, dLon, n, cy, cx, iy, ix, lastRow, lastColumn, columns, bu, bv,
                          pairs, u, v);
  }
}

#if defined(__x86_64__)
// The values at indices 0 to 63 of a table in four registers: the lower or the upper pair, by
// bit 5 of the index (only the lower pair when the table is not `wide`).
__attribute__((target("avx512f"), always_inline)) inline __m512 lookUp(const __m512* table,
                                                                       __m512i index, bool wide) {
  const __m512 lowPair = _mm512_permutex2var_ps(table[0], index, table[1]);
  if (!wide) return lowPair;
  const __m512 highPair = _mm512_permutex2var_ps(table[2], index, table[3]);
  return _mm512_mask_blend_ps(_mm512_test_epi32_mask(index, _mm512_set1_epi32(32)), lowPair,
                              highPair);
}

// interpolateAll without a missing value for a box of at most 64 grid values: the table held in
// four registers of sixteen lanes, each corner looked up by permutes instead of a gather (a
// gather costs a load a lane). The same arithmetic in the same order as interpolateAll's.
__attribute__((target("avx512f"))) void interpolateInRegisters(
    const float* __restrict dLat, const float* __restrict dLon, std::size_t n, float cy, float cx,
    float iy, float ix, float lastRow, float lastColumn, int columns, std::size_t nodes,
    const float* __restrict bu, const float* __restrict bv, float* __restrict u,
    float* __restrict v) {
  // The intrinsics' masked forms throughout: the plain ones start from an undefined register.
  const __mmask16 all = 0xFFFF;
  const auto mask = [](std::size_t count) {
    return count >= 16 ? static_cast<__mmask16>(0xFFFF)
                       : static_cast<__mmask16>((1u << count) - 1u);
  };
  const auto quarter = [&](std::size_t q) { return mask(nodes > 16 * q ? nodes - 16 * q : 0); };
  __m512 tableU[4], tableV[4];
  for (std::size_t q = 0; q < 4; ++q) {
    const bool any = nodes > 16 * q;
    tableU[q] = any ? _mm512_maskz_loadu_ps(quarter(q), bu + 16 * q) : _mm512_setzero_ps();
    tableV[q] = any ? _mm512_maskz_loadu_ps(quarter(q), bv + 16 * q) : _mm512_setzero_ps();
  }
  const bool wide = nodes > 32;
  const __m512 zero = _mm512_setzero_ps(), one = _mm512_set1_ps(1.0f);
  const __m512 vcy = _mm512_set1_ps(cy), vcx = _mm512_set1_ps(cx);
  const __m512 viy = _mm512_set1_ps(iy), vix = _mm512_set1_ps(ix);
  const __m512 vlastRow = _mm512_set1_ps(lastRow), vlastColumn = _mm512_set1_ps(lastColumn);
  const __m512i vcolumns = _mm512_set1_epi32(columns), ione = _mm512_set1_epi32(1);
  for (std::size_t i = 0; i < n; i += 16) {
    const __mmask16 lanes = mask(n - i);
    const __m512 la = _mm512_maskz_loadu_ps(lanes, dLat + i);
    const __m512 lo = _mm512_maskz_loadu_ps(lanes, dLon + i);
    const __m512 y = _mm512_maskz_max_ps(all, _mm512_fmadd_ps(la, viy, vcy), zero);
    const __m512 x = _mm512_maskz_max_ps(all, _mm512_fmadd_ps(lo, vix, vcx), zero);
    const __m512i row = _mm512_maskz_cvttps_epi32(all, y),
                  column = _mm512_maskz_cvttps_epi32(all, x);
    const __m512 fr = _mm512_maskz_min_ps(all, _mm512_maskz_cvtepi32_ps(all, row), vlastRow);
    const __m512 fc = _mm512_maskz_min_ps(all, _mm512_maskz_cvtepi32_ps(all, column), vlastColumn);
    const __m512 fy = _mm512_maskz_min_ps(all, _mm512_sub_ps(y, fr), one);
    const __m512 fx = _mm512_maskz_min_ps(all, _mm512_sub_ps(x, fc), one);
    const __m512i at =
        _mm512_add_epi32(_mm512_mullo_epi32(_mm512_maskz_cvttps_epi32(all, fr), vcolumns),
                         _mm512_maskz_cvttps_epi32(all, fc));
    const __m512i corner[4] = {at, _mm512_add_epi32(at, ione), _mm512_add_epi32(at, vcolumns),
                               _mm512_add_epi32(_mm512_add_epi32(at, vcolumns), ione)};
    const __m512 gy = _mm512_sub_ps(one, fy), gx = _mm512_sub_ps(one, fx);
    const __m512 w[4] = {_mm512_mul_ps(gy, gx), _mm512_mul_ps(gy, fx), _mm512_mul_ps(fy, gx),
                         _mm512_mul_ps(fy, fx)};
    __m512 su = zero, sv = zero;
    for (int q = 0; q < 4; ++q) {
      su = _mm512_fmadd_ps(w[q], lookUp(tableU, corner[q], wide), su);
      sv = _mm512_fmadd_ps(w[q], lookUp(tableV, corner[q], wide), sv);
    }
    _mm512_mask_storeu_ps(u + i, lanes, su);
    _mm512_mask_storeu_ps(v + i, lanes, sv);
  }
}
#endif

// The least and greatest of n > 0 values. The vectoriser does not reorder a float minimum (its
// NaN and signed zeros), so sixteen lanes are kept apart by hand, in a vector of the compiler's,
// and joined at the end.
__attribute__((target_clones("avx512f", "avx2", "default"))) void range(const float* x,
                                                                        std::size_t n, float& low,
                                                                        float& high) {
  using Lanes = float __attribute__((vector_size(64)));
  constexpr std::size_t kLanes = sizeof(Lanes) / sizeof(float);
  Lanes lo, hi;
  for (std::size_t l = 0; l < kLanes; ++l) lo[l] = hi[l] = x[0];
  std::size_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    Lanes chunk;
    std::memcpy(&chunk, x + i, sizeof chunk);
    lo = chunk < lo ? chunk : lo;
    hi = chunk > hi ? chunk : hi;
  }
  low = lo[0];
  high = hi[0];
  for (std::size_t l = 1; l < kLanes; ++l) {
    low = smaller(low, lo[l]);
    high = larger(high, hi[l]);
  }
  for (; i < n; ++i) {
    low = smaller(low, x[i]);
    high = larger(high, x[i]);
  }
}

}  // namespace

FieldForcing::FieldForcing(const fields::Forcing& forcing)
    : forcing_(forcing),
      wind_(areasOf(forcing.windFields())),
      current_(areasOf(forcing.currentFields())) {}

ForcingSample FieldForcing::sample(double lat, double lon, double seconds) const {
  const fields::ForcingSample s = forcing_.sample(lat, lon, seconds);
  ForcingSample out;
  if (s.hasWind) {
    out.windU = s.windU;
    out.windV = s.windV;
  }
  if (s.hasCurrent) {
    out.curU = s.curU;
    out.curV = s.curV;
  }
  return out;
}

void FieldForcing::sampleBlock(double originLat, double originLon, const float* dLat,
                               const float* dLon, std::size_t n, double seconds,
                               const ForcingBlock& out) const {
  if (n == 0) return;
  float south = 0.0f, north = 0.0f, west = 0.0f, east = 0.0f;
  range(dLat, n, south, north);
  range(dLon, n, west, east);
  const Box box{originLat + south, originLat + north, originLon + west, originLon + east};
  std::fill(out.flags, out.flags + n, static_cast<unsigned char>(0));
  sampleQuantity(wind_, true, originLat, originLon, dLat, dLon, n, seconds, box, out.windU,
                 out.windV, out.flags, *out.work);
  sampleQuantity(current_, false, originLat, originLon, dLat, dLon, n, seconds, box, out.curU,
                 out.curV, out.flags, *out.work);
}

void FieldForcing::sampleQuantity(const std::vector<Area>& areas, bool wind, double originLat,
                                  double originLon, const float* dLat, const float* dLon,
                                  std::size_t n, double seconds, const Box& box, float* u, float* v,
                                  unsigned char* flags, std::vector<float>& work) const {
  const unsigned char missing = wind ? kWindMissing : kCurrentMissing;
  const unsigned char outside = wind ? kWindOutside : kCurrentOutside;
  const auto broadcast = [&](const fields::ForcingSample& s) {
    const Source source = wind ? s.windSource : s.currentSource;
    const bool has = hasValue(source);
    const auto su = static_cast<float>(has ? (wind ? s.windU : s.curU) : 0.0);
    const auto sv = static_cast<float>(has ? (wind ? s.windV : s.curV) : 0.0);
    std::fill(u, u + n, su);
    std::fill(v, v + n, sv);
    if (source == Source::Outside) {
      for (std::size_t i = 0; i < n; ++i) flags[i] |= outside;
    }
  };
  // The first area holding the time decides: a box inside it is all its own.
  const Area* first = nullptr;
  for (const Area& a : areas) {
    const std::vector<double>& t = a.field->times;
    if (t.size() == 1 ? seconds == t.front() : seconds >= t.front() && seconds <= t.back()) {
      first = &a;
      break;
    }
  }
  // No file holds the time: every position gets what the last known one gets, a constant or
  // nothing.
  if (first == nullptr) return broadcast(forcing_.sample(originLat, originLon, seconds));
  if (sampleFast(*first, originLat, originLon, dLat, dLon, n, seconds, box, u, v, flags, missing,
                 work)) {
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const fields::ForcingSample s =
        forcing_.sample(originLat + dLat[i], originLon + dLon[i], seconds);
    const Source source = wind ? s.windSource : s.currentSource;
    const bool has = hasValue(source);
    u[i] = static_cast<float>(has ? (wind ? s.windU : s.curU) : 0.0);
    v[i] = static_cast<float>(has ? (wind ? s.windV : s.curV) : 0.0);
    if (source == Source::Missing) flags[i] |= missing;
    if (source == Source::Outside) flags[i] |= outside;
  }
}

bool FieldForcing::sampleFast(const Area& area, double originLat, double originLon,
                              const float* dLat, const float* dLon, std::size_t n, double seconds,
                              const Box& box, float* u, float* v, unsigned char* flags,
                              unsigned char missing, std::vector<float>& work) const {
  const fields::Field& field = *area.field;
  if (!area.lat.even || !area.lon.even) return false;
  if (!(box.south >= area.lat.front && box.north <= field.grid.lat.back())) return false;
  // The box's western edge as fields::sampleField turns a longitude: degrees east of the grid's
  // first, 0 to 360; the box's width added to it. Past the last longitude only round the globe.
  double west = box.west - area.lon.front;
  west -= 360.0 * std::floor(west / 360.0);
  if (!(west >= 0.0 && west < 360.0)) return false;
  const double east = west + (box.east - box.west);
  if (east > area.span && !area.wrapsEvenly) return false;

  // The time: one slab, or two with the weight of the later.
  const std::vector<double>& times = field.times;
  std::size_t k = 0;
  double ft = 0.0;
  if (times.size() > 1) {
    k = static_cast<std::size_t>(std::upper_bound(times.begin(), times.end(), seconds) -
                                 times.begin());
    k = k == 0 ? 0 : std::min(k - 1, times.size() - 2);
    ft = std::clamp((seconds - times[k]) / (times[k + 1] - times[k]), 0.0, 1.0);
    // An end of the bracket without weight is left out, as sampleField leaves it.
    if (ft >= 1.0) {
      ++k;
      ft = 0.0;
    }
  }
  const bool blend = ft > 0.0;

  // The grid values around the box: rows r0.., columns c0.. (past the last column round the
  // globe, taken modulo the columns).
  const std::size_t lastRow = area.lat.size - 2;
  const auto cell = [](double x, std::size_t last) {
    const double f = std::floor(x);
    return f <= 0.0 ? std::size_t{0} : std::min(static_cast<std::size_t>(f), last);
  };
  const std::size_t r0 = cell((box.south - area.lat.front) * area.lat.inverse, lastRow);
  const std::size_t r1 = cell((box.north - area.lat.front) * area.lat.inverse, lastRow);
  const std::size_t lastColumn =
      area.wrapsEvenly ? std::numeric_limits<std::size_t>::max() : area.lon.size - 2;
  const std::size_t c0 = cell(west * area.lon.inverse, lastColumn);
  const std::size_t c1 = std::max(c0, cell(east * area.lon.inverse, lastColumn));
  const std::size_t rows = r1 - r0 + 2, columns = c1 - c0 + 2;
  if (rows * columns > kNodesPerParticle * n + 64) return false;

  const std::size_t nodes = rows * columns;
  if (work.size() < 4 * nodes) work.resize(4 * nodes);
  float* bu = work.data();
  float* bv = work.data() + nodes;
  float* pairs = work.data() + 2 * nodes;  // u and v of each grid value side by side
  const std::size_t points = field.pointsPerTime();
  const std::size_t gridColumns = area.lon.size;
  const auto f = static_cast<float>(ft);
  bool anyMissing = false;
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t c = 0; c < columns; ++c) {
      const std::size_t at = k * points + (r0 + r) * gridColumns + (c0 + c) % gridColumns;
      float nu = field.u[at], nv = field.v[at];
      if (blend) {
        const float lu = field.u[at + points], lv = field.v[at + points];
        // Missing at one time only: the interpolation in space first renormalises each time
        // apart, which a blend of the grid values does not.
        if (std::isnan(nu) != std::isnan(lu)) return false;
        nu += f * (lu - nu);
        nv += f * (lv - nv);
      }
      anyMissing = anyMissing || std::isnan(nu);
      bu[r * columns + c] = nu;
      bv[r * columns + c] = nv;
      pairs[2 * (r * columns + c)] = nu;
      pairs[2 * (r * columns + c) + 1] = nv;
    }
  }

  // Each particle's place among those values, in floats from the box's corner.
  const double shift = west - (box.west - area.lon.front);  // whole turns
  const auto cy =
      static_cast<float>((originLat - area.lat.front) * area.lat.inverse - static_cast<double>(r0));
  const auto cx = static_cast<float>((originLon - area.lon.front + shift) * area.lon.inverse -
                                     static_cast<double>(c0));
  const auto iy = static_cast<float>(area.lat.inverse);
  const auto ix = static_cast<float>(area.lon.inverse);
#if defined(__x86_64__)
  static const bool registers = __builtin_cpu_supports("avx512f");
  if (registers && !anyMissing && nodes <= 64) {
    interpolateInRegisters(dLat, dLon, n, cy, cx, iy, ix, static_cast<float>(rows - 2),
                           static_cast<float>(columns - 2), static_cast<int>(columns), nodes, bu,
                           bv, u, v);
    return true;
  }
#endif
  interpolate(anyMissing, dLat, dLon, n, cy, cx, iy, ix, static_cast<float>(rows - 2),
              static_cast<float>(columns - 2), static_cast<int>(columns), bu, bv, pairs, u, v);
  if (anyMissing) {
    for (std::size_t i = 0; i < n; ++i) {
      if (!std::isnan(u[i])) continue;
      u[i] = v[i] = 0.0f;
      flags[i] |= missing;
    }
  }
  return true;
}

}  // namespace vestrand::drift
