// The simulation's wind and current from forecast files: a DriftForcing over fields::Forcing, so
// that gridded fields take the place of the constant ones.
//
// Every sample is fields::Forcing::sample's (bilinear in space, linear in time, missing grid
// values left out, the constants outside the files when its policy says so), worked out faster
// for a block of particles at one time. When one area of the files holds the whole block's box
// and its evenly spaced grid, the time is found once, the grid values around the box are blended
// to that time once, and each particle reads four of them; otherwise (a box across two areas,
// across a file's edge, an uneven axis, or a grid value missing at one of the two times only)
// each particle asks fields::Forcing::sample itself. The two ways agree to the rounding of floats
// (a few parts in ten million of the value).
//
// What a block's sample flags: a current or wind with Source::Missing (kCurrentMissing,
// kWindMissing) or Source::Outside (kCurrentOutside, kWindOutside); their components are 0.
//
// Units: positions in degrees, times in seconds since the epoch, components in m/s toward east
// and north.
#pragma once

#include <cstddef>
#include <vector>

#include "drift_forcing.h"
#include "forcing.h"

namespace vestrand::drift {

class FieldForcing final : public DriftForcing {
 public:
  // @param[in] forcing the files and constants; kept by reference, so it must outlive this
  explicit FieldForcing(const fields::Forcing& forcing);

  // True when neither the wind nor the current has files: only constants, the same everywhere.
  bool uniform() const override { return wind_.empty() && current_.empty(); }
  // A quantity without a value there (missing, outside, none) is 0.
  ForcingSample sample(double lat, double lon, double seconds) const override;
  void sampleBlock(double originLat, double originLon, const float* dLat, const float* dLon,
                   std::size_t n, double seconds, const ForcingBlock& out) const override;

  // An axis as the fast way reads it.
  struct Axis {
    bool even = false;  // evenly spaced, as fields::GridAxis takes it
    double front = 0.0, step = 0.0, inverse = 0.0;
    std::size_t size = 0;
  };
  // One area of a quantity's files, with its axes ready.
  struct Area {
    const fields::Field* field = nullptr;
    Axis lat, lon;
    double span = 0.0;         // degrees from the first longitude to the last
    bool wrapsEvenly = false;  // round the globe, the closing cell as wide as the others
  };

 private:
  // The box of a block's positions, degrees.
  struct Box {
    double south, north, west, east;
  };
  void sampleQuantity(const std::vector<Area>& areas, bool wind, double originLat, double originLon,
                      const float* dLat, const float* dLon, std::size_t n, double seconds,
                      const Box& box, float* u, float* v, unsigned char* flags,
                      std::vector<float>& work) const;
  bool sampleFast(const Area& area, double originLat, double originLon, const float* dLat,
                  const float* dLon, std::size_t n, double seconds, const Box& box, float* u,
                  float* v, unsigned char* flags, unsigned char missing,
                  std::vector<float>& work) const;

  const fields::Forcing& forcing_;
  std::vector<Area> wind_, current_;
};

}  // namespace vestrand::drift
