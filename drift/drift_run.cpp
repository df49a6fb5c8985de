#include "drift_run.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "drift_random.h"

namespace vestrand::drift {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr float kKnotsPerCms = static_cast<float>(0.01 / kMetresPerSecondPerKnot);
// Particles a block: its ten arrays (80 KiB) stay in the core's second-level cache through all
// the steps, and a run of 10,000 still splits over a few threads.
constexpr std::size_t kBlock = 2048;
constexpr std::uint32_t kNever = std::numeric_limits<std::uint32_t>::max();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// What moves every particle alike in a step: the wind's speed and downwind direction, and the
// current plus any manual leeway.
struct Push {
  float wind = 0.0f;                 // U10, m/s
  float downE = 0.0f, downN = 0.0f;  // unit vector toward which the wind blows
  float baseE = 0.0f, baseN = 0.0f;  // knots
};

struct Step {
  float t0 = 0.0f, t1 = 0.0f;  // hours after the epoch
  double midSeconds = 0.0;
  Push push;  // the uniform forcing's
};

struct Coefficients {
  float downSlope = 0.0f, downOffset = 0.0f;
  float rightSlope = 0.0f, rightOffset = 0.0f;
  float leftSlope = 0.0f, leftOffset = 0.0f;
};

// One leg's part within one step, ready for the particles.
struct LegWork {
  std::size_t search = 0;
  float t0 = 0.0f, t1 = 0.0f;          // the part, hours after the epoch
  float legStart = 0.0f;               // hours after the epoch
  float offLat = 0.0f, offLon = 0.0f;  // the cloud's origin from the leg's start, degrees
  float east60 = 60.0f;                // nautical miles a degree of longitude on the leg
  float unitE = 0.0f, unitN = 0.0f;    // the unit's velocity, knots
  float reach = 0.0f;                  // W^2 / (4 pi), square nautical miles
  bool ends = false;                   // the leg ends in this step: its chance is taken
};

struct Arrays {
  float* __restrict dLat;
  float* __restrict dLon;
  float* __restrict weight;
  float* __restrict side;
  const float* __restrict epsDown;
  const float* __restrict epsCross;
  const float* __restrict currentEast;
  const float* __restrict currentNorth;
  float* __restrict release;
  std::uint32_t* __restrict nextJibe;
};

// Value selections the vectoriser turns into blends (std::max returns a reference, which it does
// not).
inline float larger(float a, float b) {
  return a > b ? a : b;
}
inline float smaller(float a, float b) {
  return a < b ? a : b;
}

inline float cosPolynomial(float lat) {
  // Taylor's series to x^12: on |x| <= pi/2 its remainder is below 1e-8.
  const float x = lat * static_cast<float>(kRadiansPerDegree);
  const float x2 = x * x;
  float c = 1.0f / 479001600.0f;
  c = c * x2 - 1.0f / 3628800.0f;
  c = c * x2 + 1.0f / 40320.0f;
  c = c * x2 - 1.0f / 720.0f;
  c = c * x2 + 1.0f / 24.0f;
  c = c * x2 - 0.5f;
  return c * x2 + 1.0f;
}

Push pushOf(const ForcingSample& s, const DriftModel& model) {
  Push p;
  double east = s.curU / kMetresPerSecondPerKnot;
  double north = s.curV / kMetresPerSecondPerKnot;
  if (model.leeway == DriftModel::Leeway::Manual) {
    const double toward = model.leewayTowardDeg * kRadiansPerDegree;
    east += model.leewaySpeedKn * std::sin(toward);
    north += model.leewaySpeedKn * std::cos(toward);
  } else if (model.leeway == DriftModel::Leeway::Class) {
    const double wind = std::hypot(s.windU, s.windV);
    if (wind > 0.0) {
      p.wind = static_cast<float>(wind);
      p.downE = static_cast<float>(s.windU / wind);
      p.downN = static_cast<float>(s.windV / wind);
    }
  }
  p.baseE = static_cast<float>(east);
  p.baseN = static_cast<float>(north);
  return p;
}

struct Scratch {
  std::vector<std::vector<float>> legMin, logMiss;  // per search, per particle of the block
  std::vector<float> rateLat, rateLon, from, dt;    // a step's motion, per particle of the block
  std::vector<float> lastLat, lastLon;              // positions before the step, with land
  // A forcing that is not uniform: its samples, their flags, its work space, and which particles
  // of the block stranded.
  std::vector<float> windU, windV, curU, curV, work;
  std::vector<unsigned char> flags;
  std::vector<float> stranded;  // 1 for a stranded particle, else 0
};

// The first fault a block met: its step and particle decide which block's is reported.
struct BlockFault {
  ForcingFault fault;
  bool found = false;
};

struct Context {
  const ParticleCloud* cloud = nullptr;
  const DriftModel* model = nullptr;
  const DriftForcing* forcing = nullptr;
  std::uint64_t seed = 0;
  bool uniform = true;
  bool jibing = false;
  double stayProbability = 1.0;  // of no jibe in a step
  Coefficients k;
  std::vector<Step> steps;
  std::vector<std::vector<LegWork>> legs;       // per step
  std::vector<std::vector<std::size_t>> apply;  // per step: searches to apply after it
  std::size_t searches = 0;
  const land::LandGrid* land = nullptr;
  const std::atomic<bool>* cancel = nullptr;
  float manualE = 0.0f, manualN = 0.0f;  // a manual leeway, knots
  float classWind = 0.0f;                // 1 when the wind moves the particles (a class)
  // The earliest step at which a block met a fault: the others need not go beyond it.
  std::atomic<std::size_t>* faultStep = nullptr;
};

// The push of a forcing sampled per particle, as pushOf works it once a step for a uniform one.
// @param[in] classWind 1 when the wind counts (a class), else 0; manualE, manualN a manual
//   leeway, knots
inline Push pushAt(float classWind, float manualE, float manualN, float windU, float windV,
                   float curU, float curV) {
  constexpr float kKnotsPerMs = static_cast<float>(1.0 / kMetresPerSecondPerKnot);
  Push p;
  p.baseE = curU * kKnotsPerMs + manualE;
  p.baseN = curV * kKnotsPerMs + manualN;
  const float wind = classWind * std::sqrt(windU * windU + windV * windV);
  // No select around the division, which would keep the loop from the vectoriser: a calm wind's
  // components are 0, and so is the direction it gives.
  const float inverse = classWind / larger(wind, 1e-30f);
  p.wind = wind;
  p.downE = windU * inverse;
  p.downN = windV * inverse;
  return p;
}

// Reads the flags of a block's samples: strands the particles on a current file's land, and
// finds the first particle the forcing has no value for. @return false with a fault
bool checkFlags(const Context& c, const Arrays& a, std::size_t first, std::size_t n,
                std::size_t step, const Step& st, Scratch& scratch, BlockFault& fault) {
  const bool needsWind = c.model->leeway == DriftModel::Leeway::Class;
  unsigned char any = 0;
  for (std::size_t i = 0; i < n; ++i) any |= scratch.flags[i];
  if (any == 0) return true;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char f = scratch.flags[i];
    // A stranded particle, on a current file's land or on a shore, rests and asks nothing.
    if (f == 0 || std::isinf(a.release[i])) continue;
    // As the datums of a forecast drift: outside comes first, then no wind, then the coast.
    ForcingFault::Kind kind = ForcingFault::Kind::None;
    bool wind = false;
    if (needsWind && (f & kWindOutside) != 0) {
      kind = ForcingFault::Kind::Outside;
      wind = true;
    } else if ((f & kCurrentOutside) != 0) {
      kind = ForcingFault::Kind::Outside;
    } else if (needsWind && (f & kWindMissing) != 0) {
      kind = ForcingFault::Kind::NoWind;
      wind = true;
    } else if ((f & kCurrentMissing) != 0) {
      // Marked as a particle stranded on a shore is: it stops for good and the searches, which
      // sail the water, no longer see it.
      scratch.stranded[i] = 1.0f;
      a.release[i] = kInfinity;
      continue;
    } else {
      continue;
    }
    fault.found = true;
    fault.fault = {kind,
                   wind,
                   c.cloud->originLat + a.dLat[i],
                   c.cloud->originLon + a.dLon[i],
                   st.midSeconds,
                   step,
                   first + i};
    std::size_t seen = c.faultStep->load();
    while (step < seen && !c.faultStep->compare_exchange_weak(seen, step)) {
    }
    return false;
  }
  return true;
}

// After a step: a particle that moved onto land strands where its step first met the shore (where
// it was, when it started on land).
void strand(const Context& c, const Arrays& a, std::size_t n, const Scratch& scratch) {
  const double lat0 = c.cloud->originLat, lon0 = c.cloud->originLon;
  for (std::size_t i = 0; i < n; ++i) {
    if (a.dLat[i] == scratch.lastLat[i] && a.dLon[i] == scratch.lastLon[i]) continue;
    if (std::isinf(a.release[i])) continue;
    const double lat = lat0 + a.dLat[i], lon = lon0 + a.dLon[i];
    if (!c.land->onLand(lat, lon)) continue;
    const land::LatLon last{lat0 + scratch.lastLat[i], lon0 + scratch.lastLon[i]};
    const land::WayOverLand way = c.land->mask().wayOverLand(last, {lat, lon}, false);
    const land::LatLon shore = way.crossesLand() ? way.stretches.front().start : last;
    a.dLat[i] = static_cast<float>(shore.lat - lat0);
    a.dLon[i] = static_cast<float>(shore.lon - lon0);
    a.release[i] = kInfinity;
  }
}

// Steps until the next jibe, 1 or more, from one uniform draw: geometric with the step's chance.
std::uint32_t jibeGap(const Context& c, std::uint64_t particle, std::uint64_t counter) {
  if (c.stayProbability <= 0.0) return 1;
  if (c.stayProbability >= 1.0) return kNever;
  const double gap = 1.0 + std::floor(std::log(uniformOpen(c.seed, particle, counter)) /
                                      std::log(c.stayProbability));
  return gap >= static_cast<double>(kNever) ? kNever : static_cast<std::uint32_t>(gap);
}

// One particle's motion in a step: its rates in degrees an hour, and the time it moves.
struct Motion {
  float rateLat, rateLon, from, dt;
};

// The one formula of a particle's motion, shared by every variant of the loop so that they agree
// to the bit.
inline Motion motion(const Coefficients& k, const Push& p, float lat0, float t0, float t1,
                     float dLat, float side, float eD, float eC, float curE, float curN,
                     float release) {
  const float cosLat = larger(cosPolynomial(lat0 + dLat), 1e-6f);
  const float crossSlope = k.rightSlope + side * (k.leftSlope - k.rightSlope);
  const float crossOffset = k.rightOffset + side * (k.leftOffset - k.rightOffset);
  const float down = (k.downSlope + eD * 0.05f) * p.wind + k.downOffset + eD * 0.5f;
  const float cross = (crossSlope + eC * 0.05f) * p.wind + crossOffset + eC * 0.5f;
  // Right of downwind is downwind turned 90 degrees clockwise: (downN, -downE).
  const float vE = p.baseE + curE + kKnotsPerCms * (down * p.downE + cross * p.downN);
  const float vN = p.baseN + curN + kKnotsPerCms * (down * p.downN - cross * p.downE);
  const float from = larger(t0, release);
  return {vN * (1.0f / 60.0f), vE / (60.0f * cosLat), from, larger(t1 - from, 0.0f)};
}

// The common step: one wind and current for all, no search. Plain arguments, so that the
// vectoriser sees that nothing it reads is stored to; a second copy for processors with AVX2
// takes eight particles at a time instead of four, chosen when the program loads.
__attribute__((target_clones("avx2", "default"))) void advanceUniform(
    float* __restrict dLat, float* __restrict dLon, const float* __restrict side,
    const float* __restrict epsDown, const float* __restrict epsCross, const float* __restrict curE,
    const float* __restrict curN, const float* __restrict release, std::size_t n,
    const Coefficients k, const Push p, float lat0, float t0, float t1) {
  for (std::size_t i = 0; i < n; ++i) {
    const Motion m = motion(k, p, lat0, t0, t1, dLat[i], side[i], epsDown[i], epsCross[i], curE[i],
                            curN[i], release[i]);
    dLat[i] += m.rateLat * m.dt;
    dLon[i] += m.rateLon * m.dt;
  }
}

// The step through a forcing sampled per particle, without a search: advanceUniform with each
// particle's own push, a stranded particle left where it is. The same arithmetic as advance's.
__attribute__((target_clones("avx512f", "avx2", "default"))) void advanceSampled(
    float* __restrict dLat, float* __restrict dLon, const float* __restrict side,
    const float* __restrict epsDown, const float* __restrict epsCross, const float* __restrict curE,
    const float* __restrict curN, const float* __restrict release, const float* __restrict windU,
    const float* __restrict windV, const float* __restrict flowU, const float* __restrict flowV,
    const float* __restrict stranded, std::size_t n, const Coefficients k, float classWind,
    float manualE, float manualN, float lat0, float t0, float t1) {
  for (std::size_t i = 0; i < n; ++i) {
    const Push p = pushAt(classWind, manualE, manualN, windU[i], windV[i], flowU[i], flowV[i]);
    const Motion m = motion(k, p, lat0, t0, t1, dLat[i], side[i], epsDown[i], epsCross[i], curE[i],
                            curN[i], release[i]);
    const float moving = 1.0f - stranded[i];
    dLat[i] += m.rateLat * moving * m.dt;
    dLon[i] += m.rateLon * moving * m.dt;
  }
}

// The closest approach, squared, of a particle and a unit within one leg's part of a step: both
// on the leg's plane in nautical miles from its start, each moving straight. Infinite when the
// particle is not drifting during the part.
inline float approach(const LegWork& w, float dLat, float dLon, float rateLat, float rateLon,
                      float from) {
  const float start = larger(w.t0, from);
  const float moved = start - from;
  const float x = (dLon + rateLon * moved + w.offLon) * w.east60;
  const float y = (dLat + rateLat * moved + w.offLat) * 60.0f;
  const float sailed = start - w.legStart;
  const float rx = x - w.unitE * sailed, ry = y - w.unitN * sailed;
  const float wx = rateLon * w.east60 - w.unitE, wy = rateLat * 60.0f - w.unitN;
  const float ww = wx * wx + wy * wy;
  const float span = larger(w.t1 - start, 0.0f);
  const float t = ww > 0.0f ? smaller(larger(-(rx * wx + ry * wy) / ww, 0.0f), span) : 0.0f;
  const float dx = rx + wx * t, dy = ry + wy * t;
  return start < w.t1 ? dx * dx + dy * dy : kInfinity;
}

// Every other step: the forcing sampled per particle, or legs of a search to score. The motion
// is worked out once, then each leg runs over the particles, then they move.
template <bool kUniform>
void advance(const Context& c, const Arrays& a, std::size_t n, const Step& step,
             const std::vector<LegWork>& legs, Scratch& scratch) {
  const float lat0 = static_cast<float>(c.cloud->originLat);
  scratch.rateLat.resize(n);
  scratch.rateLon.resize(n);
  scratch.from.resize(n);
  scratch.dt.resize(n);
  float* __restrict rateLat = scratch.rateLat.data();
  float* __restrict rateLon = scratch.rateLon.data();
  float* __restrict from = scratch.from.data();
  float* __restrict dt = scratch.dt.data();
  if constexpr (kUniform) {
    for (std::size_t i = 0; i < n; ++i) {
      const Motion m =
          motion(c.k, step.push, lat0, step.t0, step.t1, a.dLat[i], a.side[i], a.epsDown[i],
                 a.epsCross[i], a.currentEast[i], a.currentNorth[i], a.release[i]);
      rateLat[i] = m.rateLat;
      rateLon[i] = m.rateLon;
      from[i] = m.from;
      dt[i] = m.dt;
    }
  } else {
    const float* __restrict wu = scratch.windU.data();
    const float* __restrict wv = scratch.windV.data();
    const float* __restrict cu = scratch.curU.data();
    const float* __restrict cv = scratch.curV.data();
    const float* __restrict stranded = scratch.stranded.data();
    for (std::size_t i = 0; i < n; ++i) {
      const Push p = pushAt(c.classWind, c.manualE, c.manualN, wu[i], wv[i], cu[i], cv[i]);
      const Motion m = motion(c.k, p, lat0, step.t0, step.t1, a.dLat[i], a.side[i], a.epsDown[i],
                              a.epsCross[i], a.currentEast[i], a.currentNorth[i], a.release[i]);
      // A stranded particle stays where it is, and a search along the coast may still see it.
      const float moving = 1.0f - stranded[i];
      rateLat[i] = m.rateLat * moving;
      rateLon[i] = m.rateLon * moving;
      from[i] = m.from;
      dt[i] = m.dt;
    }
  }
  const float* __restrict dLat = a.dLat;
  const float* __restrict dLon = a.dLon;
  for (const LegWork& leg : legs) {
    const LegWork w = leg;
    float* __restrict nearest = scratch.legMin[w.search].data();
    for (std::size_t i = 0; i < n; ++i) {
      nearest[i] =
          smaller(nearest[i], approach(w, dLat[i], dLon[i], rateLat[i], rateLon[i], from[i]));
    }
    if (!w.ends) continue;
    // 1 - p(x) = exp(-W^2 / (4 pi x^2)): the logarithms of the misses add up.
    float* __restrict miss = scratch.logMiss[w.search].data();
    for (std::size_t i = 0; i < n; ++i) {
      miss[i] = nearest[i] > 0.0f ? miss[i] - w.reach / nearest[i] : -kInfinity;
      nearest[i] = kInfinity;
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    a.dLat[i] += rateLat[i] * dt[i];
    a.dLon[i] += rateLon[i] * dt[i];
  }
}

// Runs one block through every step. @return false when cancelled or stopped by a fault
bool runBlock(const Context& c, ParticleCloud& cloud, std::size_t first, std::size_t n,
              Scratch& scratch, double* sums, BlockFault& fault, double* stranded) {
  const Arrays a{cloud.dLat.data() + first,        cloud.dLon.data() + first,
                 cloud.weight.data() + first,      cloud.side.data() + first,
                 cloud.epsDown.data() + first,     cloud.epsCross.data() + first,
                 cloud.currentEast.data() + first, cloud.currentNorth.data() + first,
                 cloud.release.data() + first,     cloud.nextJibe.data() + first};
  for (std::size_t i = 0; i < n; ++i) {
    a.nextJibe[i] = c.jibing ? jibeGap(c, first + i, draw::kJibe) : kNever;
  }
  for (std::size_t s = 0; s < c.searches; ++s) {
    scratch.legMin[s].assign(n, kInfinity);
    scratch.logMiss[s].assign(n, 0.0f);
  }
  if (!c.uniform) {
    for (auto* v : {&scratch.windU, &scratch.windV, &scratch.curU, &scratch.curV}) v->resize(n);
    scratch.flags.resize(n);
    scratch.stranded.assign(n, 0.0f);
  }
  const ForcingBlock out{scratch.windU.data(), scratch.windV.data(), scratch.curU.data(),
                         scratch.curV.data(),  scratch.flags.data(), &scratch.work};
  for (std::size_t k = 0; k < c.steps.size(); ++k) {
    if (c.cancel && c.cancel->load(std::memory_order_relaxed)) return false;
    // Another block stopped at an earlier step: nothing here can come before its fault.
    if (k > c.faultStep->load(std::memory_order_relaxed)) return false;
    const std::uint32_t step = static_cast<std::uint32_t>(k);
    if (c.jibing && k > 0) {
      for (std::size_t i = 0; i < n; ++i) {
        if (a.nextJibe[i] != step) continue;
        a.side[i] = a.side[i] == kLeft ? kRight : kLeft;
        const std::uint32_t gap = jibeGap(c, first + i, draw::kJibe + k);
        a.nextJibe[i] = gap >= kNever - step ? kNever : step + gap;
      }
    }
    const Step& st = c.steps[k];
    const std::vector<LegWork>& legs = c.legs[k];
    if (c.land != nullptr) {
      scratch.lastLat.assign(a.dLat, a.dLat + n);
      scratch.lastLon.assign(a.dLon, a.dLon + n);
    }
    if (c.uniform && legs.empty()) {
      advanceUniform(a.dLat, a.dLon, a.side, a.epsDown, a.epsCross, a.currentEast, a.currentNorth,
                     a.release, n, c.k, st.push, static_cast<float>(c.cloud->originLat), st.t0,
                     st.t1);
    } else if (c.uniform) {
      advance<true>(c, a, n, st, legs, scratch);
    } else {
      c.forcing->sampleBlock(c.cloud->originLat, c.cloud->originLon, a.dLat, a.dLon, n,
                             st.midSeconds, out);
      if (!checkFlags(c, a, first, n, k, st, scratch, fault)) return false;
      if (legs.empty()) {
        advanceSampled(a.dLat, a.dLon, a.side, a.epsDown, a.epsCross, a.currentEast, a.currentNorth,
                       a.release, scratch.windU.data(), scratch.windV.data(), scratch.curU.data(),
                       scratch.curV.data(), scratch.stranded.data(), n, c.k, c.classWind, c.manualE,
                       c.manualN, static_cast<float>(c.cloud->originLat), st.t0, st.t1);
      } else {
        advance<false>(c, a, n, st, legs, scratch);
      }
    }
    if (c.land != nullptr) strand(c, a, n, scratch);
    for (const std::size_t s : c.apply[k]) {
      double before = 0.0, seen = 0.0;
      const std::vector<float>& logMiss = scratch.logMiss[s];
      for (std::size_t i = 0; i < n; ++i) {
        const float miss = std::exp(logMiss[i]);
        before += a.weight[i];
        seen += static_cast<double>(a.weight[i]) * (1.0 - static_cast<double>(miss));
        a.weight[i] *= miss;
      }
      sums[2 * s] = before;
      sums[2 * s + 1] = seen;
    }
  }
  if (!c.uniform) {
    for (std::size_t i = 0; i < n; ++i) {
      if (scratch.stranded[i] == 0.0f) continue;
      stranded[0] += 1.0;
      stranded[1] += a.weight[i];
    }
  }
  return true;
}

}  // namespace

float cosDegrees(float lat) {
  return cosPolynomial(lat);
}

Stranding strandingOf(const ParticleCloud& cloud) {
  Stranding s;
  double lat = 0.0, lon = 0.0;
  for (std::size_t i = 0; i < cloud.size(); ++i) {
    if (!stranded(cloud, i)) continue;
    ++s.particles;
    const double w = cloud.weight[i];
    s.weight += w;
    lat += w * cloud.dLat[i];
    lon += w * cloud.dLon[i];
  }
  if (s.weight > 0.0) {
    s.lat = cloud.originLat + lat / s.weight;
    s.lon = cloud.originLon + lon / s.weight;
  }
  return s;
}

land::GeoBox driftReach(const ParticleCloud& cloud, const DriftModel& model,
                        const DriftForcing& forcing, const DriftRun& run, double fallbackKnots) {
  land::GeoBox box{cloud.originLat, cloud.originLon, cloud.originLat, cloud.originLon};
  for (std::size_t i = 0; i < cloud.size(); ++i) {
    box.south = std::min(box.south, cloud.lat(i));
    box.north = std::max(box.north, cloud.lat(i));
    box.west = std::min(box.west, cloud.lon(i));
    box.east = std::max(box.east, cloud.lon(i));
  }
  const double hours = std::max(0.0, (run.endSeconds - cloud.epochSeconds) / 3600.0);
  double knots = fallbackKnots;
  if (forcing.uniform()) {
    knots = 0.0;
    // Hourly samples of the forcing, and the largest leeway a particle of the class may take.
    for (double t = 0.0; t <= hours + 1.0; t += 1.0) {
      const ForcingSample f = forcing.sample(cloud.originLat, cloud.originLon,
                                             cloud.epochSeconds + std::min(t, hours) * 3600.0);
      const Push p = pushOf(f, model);
      double leeway = 0.0;
      if (model.leeway == DriftModel::Leeway::Class) {
        const LeewayClass& l = model.leewayClass;
        const double slope = std::max({std::fabs(l.downwind.slopePct), std::fabs(l.right.slopePct),
                                       std::fabs(l.left.slopePct)});
        const double offset = std::max({std::fabs(l.downwind.offsetCms),
                                        std::fabs(l.right.offsetCms), std::fabs(l.left.offsetCms)});
        const double sd = std::max({l.downwind.sdCms, l.right.sdCms, l.left.sdCms});
        leeway = 2.0 * (slope * p.wind + offset + 3.0 * sd * (1.0 + p.wind / 10.0)) *
                 static_cast<double>(kKnotsPerCms);
      }
      knots = std::max(knots, std::hypot(p.baseE, p.baseN) + leeway);
    }
  }
  knots += 3.0 * model.currentError;
  const double nm = std::min(knots * hours + 1.0, 600.0);
  const double cosLat = std::max(
      std::cos(std::max(std::fabs(box.south), std::fabs(box.north)) * kRadiansPerDegree), 0.05);
  box.south = std::max(box.south - nm / 60.0, -90.0);
  box.north = std::min(box.north + nm / 60.0, 90.0);
  box.west -= nm / (60.0 * cosLat);
  box.east = std::min(box.east + nm / (60.0 * cosLat), box.west + 360.0);
  return box;
}

DriftOutcome runDrift(ParticleCloud& cloud, const DriftModel& model, const DriftForcing& forcing,
                      const DriftRun& run, std::uint64_t seed, const DriftControl& control) {
  Context c;
  c.cloud = &cloud;
  c.model = &model;
  c.forcing = &forcing;
  c.seed = seed;
  c.uniform = forcing.uniform();
  c.land = run.land;
  c.cancel = control.cancel;

  const double epoch = cloud.epochSeconds;
  const double span = std::max(0.0, (run.endSeconds - epoch) / 3600.0);
  const double stepHours = run.stepMinutes / 60.0;
  const std::size_t count =
      span > 0.0 ? static_cast<std::size_t>(std::ceil(span / stepHours - 1e-9)) : 0;
  for (std::size_t k = 0; k < count; ++k) {
    const double from = static_cast<double>(k) * stepHours;
    const double to = std::min(span, static_cast<double>(k + 1) * stepHours);
    Step st;
    st.t0 = static_cast<float>(from);
    st.t1 = static_cast<float>(to);
    st.midSeconds = epoch + (from + to) / 2.0 * 3600.0;
    if (c.uniform)
      st.push = pushOf(forcing.sample(cloud.originLat, cloud.originLon, st.midSeconds), model);
    c.steps.push_back(st);
  }

  if (model.leeway == DriftModel::Leeway::Class) {
    const LeewayClass& l = model.leewayClass;
    c.k = {static_cast<float>(l.downwind.slopePct), static_cast<float>(l.downwind.offsetCms),
           static_cast<float>(l.right.slopePct),    static_cast<float>(l.right.offsetCms),
           static_cast<float>(l.left.slopePct),     static_cast<float>(l.left.offsetCms)};
    c.jibing = model.jibeRate > 0.0;
    c.classWind = 1.0f;
    c.stayProbability = std::pow(1.0 - std::clamp(model.jibeRate, 0.0, 1.0), stepHours);
  } else if (model.leeway == DriftModel::Leeway::Manual) {
    const double toward = model.leewayTowardDeg * kRadiansPerDegree;
    c.manualE = static_cast<float>(model.leewaySpeedKn * std::sin(toward));
    c.manualN = static_cast<float>(model.leewaySpeedKn * std::cos(toward));
  }
  std::atomic<std::size_t> faultStep{std::numeric_limits<std::size_t>::max()};
  c.faultStep = &faultStep;

  // The searches in the order of their start, each leg cut into the steps it spans.
  std::vector<std::size_t> order(run.searches.size());
  for (std::size_t s = 0; s < order.size(); ++s) order[s] = s;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return run.searches[x].startSeconds < run.searches[y].startSeconds;
  });
  c.searches = order.size();
  c.legs.assign(count, {});
  c.apply.assign(count, {});
  std::size_t applyAfter = 0;
  for (std::size_t s = 0; s < order.size() && count > 0; ++s) {
    const SearchEffort& search = run.searches[order[s]];
    std::size_t lastStep = 0;
    for (const TimedLeg& leg : timedLegs(search, epoch)) {
      if (leg.endHours <= 0.0 || leg.startHours >= span) continue;
      const double hours = leg.endHours - leg.startHours;
      const auto kFirst = static_cast<std::size_t>(std::max(0.0, leg.startHours / stepHours));
      const std::size_t kLast =
          std::min(count - 1, static_cast<std::size_t>(leg.endHours / stepHours));
      for (std::size_t k = std::min(kFirst, count - 1); k <= kLast; ++k) {
        LegWork w;
        w.search = s;
        w.t0 = std::max(c.steps[k].t0, static_cast<float>(leg.startHours));
        w.t1 = std::min(c.steps[k].t1, static_cast<float>(leg.endHours));
        w.legStart = static_cast<float>(leg.startHours);
        w.offLat = static_cast<float>(cloud.originLat - leg.lat);
        w.offLon = static_cast<float>(cloud.originLon - leg.lon);
        w.east60 = static_cast<float>(60.0 * leg.cosLat);
        w.unitE = static_cast<float>(leg.east / hours);
        w.unitN = static_cast<float>(leg.north / hours);
        w.reach = static_cast<float>(search.sweepWidthNm * search.sweepWidthNm / (4.0 * kPi));
        w.ends = k == kLast;
        c.legs[k].push_back(w);
      }
      lastStep = std::max(lastStep, kLast);
    }
    applyAfter = std::max(applyAfter, lastStep);
    c.apply[applyAfter].push_back(s);
  }

  const std::size_t n = cloud.size();
  const std::size_t blocks = (n + kBlock - 1) / kBlock;
  std::vector<double> sums(blocks * 2 * c.searches, 0.0);
  std::vector<double> stranded(blocks * 2, 0.0);  // per block: particles, their weight
  std::vector<BlockFault> faults(blocks);
  unsigned threads = control.threads ? control.threads : std::thread::hardware_concurrency();
  threads =
      static_cast<unsigned>(std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(blocks, 1)));

  std::atomic<std::size_t> next{0};
  std::atomic<bool> cancelled{false};
  std::mutex reportMutex;
  std::size_t done = 0;
  std::exception_ptr failure;
  auto work = [&] {
    try {
      Scratch scratch;
      scratch.legMin.resize(c.searches);
      scratch.logMiss.resize(c.searches);
      for (;;) {
        const std::size_t b = next.fetch_add(1);
        if (b >= blocks || cancelled.load()) return;
        const std::size_t first = b * kBlock;
        if (!runBlock(c, cloud, first, std::min(kBlock, n - first), scratch,
                      sums.data() + b * 2 * c.searches, faults[b], stranded.data() + 2 * b)) {
          // A fault stops this block only: each of the others runs up to its own first fault
          // or the earliest step found, so that the fault reported is the same on any threads.
          if (faultStep.load() == std::numeric_limits<std::size_t>::max()) cancelled = true;
          continue;
        }
        std::lock_guard<std::mutex> lock(reportMutex);
        ++done;
        if (control.progress)
          control.progress(static_cast<double>(done) / static_cast<double>(blocks));
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(reportMutex);
      if (!failure) failure = std::current_exception();
      cancelled = true;
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);

  DriftOutcome out;
  out.steps = count;
  for (const BlockFault& f : faults) {
    if (!f.found) continue;
    const ForcingFault& best = out.fault;
    if (best.kind == ForcingFault::Kind::None || f.fault.step < best.step ||
        (f.fault.step == best.step && f.fault.particle < best.particle)) {
      out.fault = f.fault;
    }
  }
  if (out.fault.kind != ForcingFault::Kind::None) return out;
  if (cancelled) {
    out.cancelled = true;
    return out;
  }
  for (std::size_t b = 0; b < blocks; ++b) {
    out.stranded += static_cast<std::size_t>(stranded[2 * b]);
    out.strandedWeight += stranded[2 * b + 1];
  }
  const double total = static_cast<double>(n);
  double left = total;
  for (std::size_t s = 0; s < c.searches; ++s) {
    double before = 0.0, seen = 0.0;
    for (std::size_t b = 0; b < blocks; ++b) {
      before += sums[(b * c.searches + s) * 2];
      seen += sums[(b * c.searches + s) * 2 + 1];
    }
    left -= seen;
    const SearchEffort& search = run.searches[order[s]];
    out.searches.push_back({search.name, search.startSeconds, before > 0.0 ? seen / before : 0.0,
                            total > 0.0 ? 1.0 - left / total : 0.0});
  }
  out.cumulativePos = out.searches.empty() ? 0.0 : out.searches.back().cumulativePos;
  return out;
}

}  // namespace vestrand::drift
