// The simulation: every particle drifts step by step from its start to the end time, and every
// search that found nothing lowers the weight of the particles it would have seen.
//
// A step moves a particle by its leeway plus the current (the forcing's, plus its own error) on
// the local plane: dlat = v_north dt / 60, dlon = v_east dt / (60 cos lat), speeds in knots, dt
// in hours. The forcing is taken at the middle of the step. A particle that starts drifting
// within a step moves for the rest of it; before its start it stays at its seed and cannot be
// seen. At the start of every step after the first, a particle of a leeway class jibes with
// probability 1 - (1 - p)^(dt / 1 h): it takes the other side's coefficients and keeps its
// errors. With no wind the leeway is zero (it has no direction).
//
// A forcing that is not uniform is sampled per particle at its position at the step's start. Where
// it flags the current as missing (the current file's land) the particle has reached the coast:
// it strands there from the start of that step, as on a shore (below): it moves no more, keeps
// its weight, is no longer seen by searches, and its release time becomes infinite.
// Where a leeway class finds no wind (missing), or the wind or current lies outside the files,
// the run stops (DriftOutcome::fault): the particle with the earliest such step, the lowest
// number among them, whatever the number of threads.
//
// Searches: for every leg and particle, the closest approach while both move (the unit straight
// along its leg, the particle drifting) gives the leg's chance p(x) of seeing it; the search's
// chance is 1 - prod(1 - p_leg). A search's POS is the weighted mean of that chance over the
// particles, with the weights it found; after it each weight is multiplied by (1 - chance).
// Searches are applied in the order of their start times, each once it and every earlier one
// have ended.
//
// Land (DriftRun::land): after every step each drifting particle whose new position is on land
// strands where its step first reached the shore. It stops there for good, keeps its weight and
// is no longer seen by searches (they sail the water); its release time becomes infinite, which
// marks it.
//
// The particles are run in fixed blocks on several threads. Every particle's arithmetic is its
// own and every sum is taken block by block in block order, so a seed gives the same bits
// whatever the number of threads.
#pragma once

#include <atomic>
#include <cmath>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "drift_forcing.h"
#include "land_grid.h"
#include "particle_cloud.h"
#include "sweep_scoring.h"

namespace vestrand::drift {

struct DriftRun {
  double endSeconds = 0.0;    // the map's time, seconds since the epoch; after the model's start
  double stepMinutes = 10.0;  // 1 to 60; the last step is shorter when the span asks
  std::vector<SearchEffort> searches;
  // The land particles strand on; none: all is water. Kept by the caller through the run.
  const land::LandGrid* land = nullptr;
};

// How a run is watched and stopped, for a window that runs it in the background.
struct DriftControl {
  unsigned threads = 0;  // 0: one per core
  // The fraction done, 0 to 1, called now and then from the worker threads, never two at once.
  std::function<void(double)> progress;
  // Read between steps; when it turns true the run stops soon and reports it was cancelled, the
  // cloud then left half-drifted.
  const std::atomic<bool>* cancel = nullptr;
};

struct SearchScore {
  std::string name;
  double startSeconds = 0.0;
  double pos = 0.0;            // this search's probability of success, 0 to 1
  double cumulativePos = 0.0;  // of this and every search before it
};

// Why a run through a forcing that is not uniform stopped short.
struct ForcingFault {
  enum class Kind { None, Outside, NoWind };
  Kind kind = Kind::None;
  bool wind = false;            // the wind's files; else the current's
  double lat = 0.0, lon = 0.0;  // degrees: the particle at the step's start
  double seconds = 0.0;         // the time sampled, since the epoch
  std::size_t step = 0;         // 0 for the first
  std::size_t particle = 0;
};

struct DriftOutcome {
  bool cancelled = false;
  ForcingFault fault;  // set, the cloud left half-drifted, when the forcing had no value
  std::vector<SearchScore> searches;  // in the order applied
  double cumulativePos = 0.0;         // 1 - the weight left
  std::size_t steps = 0;
  std::size_t stranded = 0;     // particles stranded on a current file's land (not a shore's)
  double strandedWeight = 0.0;  // their weights at the end, added up
};

// Drifts the cloud (seeded by seedCloud from the same model) to run.endSeconds.
// @param[in] seed the seed the cloud was made with: the jibes draw from the same streams
DriftOutcome runDrift(ParticleCloud& cloud, const DriftModel& model, const DriftForcing& forcing,
                      const DriftRun& run, std::uint64_t seed, const DriftControl& control = {});

// Whether a particle has stranded (runDrift with land).
inline bool stranded(const ParticleCloud& cloud, std::size_t i) {
  return std::isinf(cloud.release[i]);
}

// The particles stranded on the shore: how many, their weight and its mean position.
struct Stranding {
  std::size_t particles = 0;
  double weight = 0.0;          // the sum of their weights (each 1 at the start)
  double lat = 0.0, lon = 0.0;  // weighted mean, degrees; 0 when none
};
Stranding strandingOf(const ParticleCloud& cloud);

// A box that holds, as far as the forcing lets one tell, every place the particles can reach by
// run.endSeconds: the seeds' box widened by the fastest drift the forcing's samples along the
// run give (uniform forcing) or `fallbackKnots` (otherwise), plus the leeway of the class at that
// wind and three probable errors of the current, for the whole span. For laying a LandGrid;
// outside it the grid asks the mask, so a particle that strays beyond is still checked.
land::GeoBox driftReach(const ParticleCloud& cloud, const DriftModel& model,
                        const DriftForcing& forcing, const DriftRun& run,
                        double fallbackKnots = 3.0);

// The cosine of a latitude in degrees within -90..90, by a polynomial that the compiler can put
// in vector registers: within 1e-7 of std::cos.
float cosDegrees(float lat);

}  // namespace vestrand::drift
