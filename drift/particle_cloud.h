// The simulated objects of a search: where each may be, how much it counts, and how it drifts.
//
// Each particle is one possible object. It carries its position, its weight (equal at the start;
// every search that does not find it lowers it), the side of the wind its leeway takes it to,
// its own leeway errors and its own error of the current, and the time it starts drifting.
//
// Memory: ten 4-byte numbers a particle, 40 bytes, in one array per quantity so that the
// stepping runs over them in vector registers. Positions are floats holding the offset in
// degrees from the cloud's origin (the last known position, a double): near the origin a float
// resolves millimetres, and a hundred miles away still centimetres, so 288 steps of rounding stay
// within metres of the double result.
//
// Units: positions in degrees, north and east positive; times in seconds since the epoch;
// distances in nautical miles; speeds in knots unless said otherwise; leeway in cm/s as in the
// leeway table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "leeway.h"

namespace vestrand::drift {

using vestrand::LeewayClass;
using vestrand::LeewayLine;

// How the simulated objects start and drift.
struct DriftModel {
  // Where and when the object was last known. With `track`, it was somewhere on the line from
  // this position at `seconds` to (lat2, lon2) at `seconds2` (plane sailing, uniform in time).
  double lat = 0.0, lon = 0.0;  // degrees
  double seconds = 0.0;
  bool track = false;
  double lat2 = 0.0, lon2 = 0.0;  // degrees
  double seconds2 = 0.0;          // after `seconds`
  // The initial position error X: the radius of the circle that holds half the probability,
  // nautical miles, 0 or more. Positions are circular normal with sigma = X / sqrt(2 ln 2).
  double positionError = 0.0;

  // The leeway: a class of the table (its errors drawn per particle, its sides jibing), a manual
  // vector (the same for every particle, no divergence, no error), or none.
  enum class Leeway { None, Class, Manual };
  Leeway leeway = Leeway::None;
  LeewayClass leewayClass;       // Class: a row of the table (leeway.h)
  double leewayTowardDeg = 0.0;  // Manual: degrees true toward which the object is pushed
  double leewaySpeedKn = 0.0;    // Manual: knots
  double jibeRate = 0.04;        // Class: probability of a jibe in one hour, 0 to 1

  // The error of the current: the radius of the circle holding half of each particle's constant
  // current error, knots, 0 or more.
  double currentError = 0.0;
};

// The probable error of a circular normal distribution to its sigma: sigma = E / sqrt(2 ln 2).
inline constexpr double kSigmaPerProbableError = 0.84932180028801907;

// A particle's side of the wind, as the `side` array holds it.
inline constexpr float kRight = 0.0f;
inline constexpr float kLeft = 1.0f;

// The particles, one array per quantity, all of the same length.
struct ParticleCloud {
  double originLat = 0.0, originLon = 0.0;       // degrees: the last known position
  double epochSeconds = 0.0;                     // the model's `seconds`; times below count from it
  std::vector<float> dLat, dLon;                 // degrees from the origin
  std::vector<float> weight;                     // 1 at the start
  std::vector<float> side;                       // kRight or kLeft
  std::vector<float> epsDown, epsCross;          // the leeway errors, cm/s
  std::vector<float> currentEast, currentNorth;  // the current error, knots
  std::vector<float> release;                    // hours after the epoch when it starts to drift
  std::vector<std::uint32_t> nextJibe;           // the step at whose start it next jibes

  std::size_t size() const { return weight.size(); }
  double lat(std::size_t i) const { return originLat + dLat[i]; }
  double lon(std::size_t i) const { return originLon + dLon[i]; }
};

// Counters of each particle's random stream, by what they draw.
namespace draw {
inline constexpr std::uint64_t kPosition = 0;  // two normals
inline constexpr std::uint64_t kRelease = 2;
inline constexpr std::uint64_t kCurrent = 3;      // two normals
inline constexpr std::uint64_t kCross = 5;        // two normals, the first used
inline constexpr std::uint64_t kDown = 8;         // two normals a try, tries 0, 1, 2, ...
inline constexpr std::uint64_t kJibe = 1u << 20;  // + the step of the jibe
}  // namespace draw

// Seeds `count` particles: equal weights, positions about the last known position (or along the
// track at each particle's own time), half on each side (even particles right, odd left), leeway
// errors per the class (the downwind error drawn again while slope + error / 20 is negative),
// current errors per the model. Jibes are not drawn here: they depend on the step.
// @param[in] count 0 to 2^32 - 1 particles
// @param[in] seed any value; the same seed gives the same particles
ParticleCloud seedCloud(const DriftModel& model, std::size_t count, std::uint64_t seed);

}  // namespace vestrand::drift
