// What moves the simulated objects: the wind (through their leeway) and the water's current.
//
// The simulation asks a DriftForcing for both at a position and time. A forcing that is the same
// everywhere (one wind or a wind series, one current) says so through uniform(), and is then
// asked once per time step instead of once per particle; a gridded forecast answers per position,
// a block of particles at a time (sampleBlock), and may say that it has no value somewhere.
//
// Units: times in seconds since 1970-01-01T00:00:00 UTC (no leap seconds), as the forecast
// fields count them; positions in degrees, north and east positive; velocities in m/s as east
// and north components of the motion (a wind "from 270" has a positive east component).
#pragma once

#include <cstddef>
#include <vector>

namespace vestrand::drift {

struct ForcingSample {
  double windU = 0.0, windV = 0.0;  // m/s at 10 m above the sea (U10)
  double curU = 0.0, curV = 0.0;    // m/s at the surface
};

// Why a sample of a block has no value, as bit flags: a file's missing value (every grid value
// around is missing: land, for a current), or a place or time outside every file.
inline constexpr unsigned char kWindMissing = 1;
inline constexpr unsigned char kWindOutside = 2;
inline constexpr unsigned char kCurrentMissing = 4;
inline constexpr unsigned char kCurrentOutside = 8;

// Where sampleBlock writes: one array per component and one of flags, each of the block's length,
// and a work space the caller keeps from one call to the next so that sampling allocates nothing
// once it has grown.
struct ForcingBlock {
  float* windU = nullptr;  // m/s; 0 where flagged
  float* windV = nullptr;
  float* curU = nullptr;
  float* curV = nullptr;
  unsigned char* flags = nullptr;  // 0, or the flags above
  std::vector<float>* work = nullptr;
};

class DriftForcing {
 public:
  virtual ~DriftForcing() = default;
  // True when sample() does not depend on the position: the simulation then samples once per
  // step, at the particles' latitude and longitude of the last known position.
  virtual bool uniform() const = 0;
  // The wind and current at a place and time. Called from several threads at once: it must not
  // change the object. A part the source does not cover there is returned as zero.
  // @param[in] lat, lon degrees
  // @param[in] seconds since the epoch
  virtual ForcingSample sample(double lat, double lon, double seconds) const = 0;
  // The wind and current at many positions at one time: what the simulation asks each step for
  // each block of particles when the forcing is not uniform. The positions are offsets from an
  // origin, as the cloud holds them. This one asks sample() for each and flags nothing; a gridded
  // source finds the time once and reads its grid in a tight loop. Called from several threads
  // at once, each with its own `out`.
  // @param[in] originLat, originLon degrees; dLat, dLon n offsets from them, degrees
  // @param[in] seconds since the epoch
  virtual void sampleBlock(double originLat, double originLon, const float* dLat, const float* dLon,
                           std::size_t n, double seconds, const ForcingBlock& out) const;
};

// One entry of a wind series, as weather is reported: where the wind blows from, and its speed.
struct WindEntry {
  double seconds = 0.0;  // since the epoch
  double fromDeg = 0.0;  // degrees true the wind blows from, any value
  double speedKn = 0.0;  // knots, 0 or more
};

// Knots to metres per second and back: 1 kn = 1852 m / 3600 s.
inline constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

// A wind series and one current, the same everywhere.
//
// The wind between two entries is interpolated linearly in its east and north components (so a
// wind that backs through the series turns the short way with a dip in speed, as an average of
// two observations does); before the first entry and after the last it stays as at that entry.
// No entry at all means no wind.
class UniformForcing final : public DriftForcing {
 public:
  // @param[in] wind entries in any order; sorted by time here (a stable sort: of two entries at
  //   one time the later given wins beyond it)
  // @param[in] currentSetDeg degrees true toward which the water flows
  // @param[in] currentDriftKn knots, 0 or more
  UniformForcing(std::vector<WindEntry> wind, double currentSetDeg, double currentDriftKn);

  bool uniform() const override { return true; }
  ForcingSample sample(double lat, double lon, double seconds) const override;

 private:
  struct Vector {
    double seconds, east, north;
  };
  std::vector<Vector> wind_;
  double currentEast_ = 0.0, currentNorth_ = 0.0;
};

}  // namespace vestrand::drift
