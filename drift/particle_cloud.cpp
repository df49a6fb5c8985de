#include "particle_cloud.h"

#include <Derrota.h>

#include <cmath>

#include "drift_random.h"

namespace vestrand::drift {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
// A class whose downwind slope is far below zero would never give a non-negative draw; after so
// many tries the error is put at the bound.
constexpr int kMaxDownwindTries = 1000;

}  // namespace

ParticleCloud seedCloud(const DriftModel& model, std::size_t count, std::uint64_t seed) {
  ParticleCloud c;
  c.originLat = model.lat;
  c.originLon = model.lon;
  c.epochSeconds = model.seconds;
  for (auto* v : {&c.dLat, &c.dLon, &c.weight, &c.side, &c.epsDown, &c.epsCross, &c.currentEast,
                  &c.currentNorth, &c.release}) {
    v->assign(count, 0.0f);
  }
  c.nextJibe.assign(count, 0);

  double trackCourse = 0.0, trackDistance = 0.0;
  if (model.track) {
    RumboDistancia(model.lat, model.lon, model.lat2, model.lon2, &trackCourse, &trackDistance);
  }
  const double trackHours = model.track ? (model.seconds2 - model.seconds) / 3600.0 : 0.0;
  const double sigma = model.positionError * kSigmaPerProbableError;
  const double currentSigma = model.currentError * kSigmaPerProbableError;
  const bool withClass = model.leeway == DriftModel::Leeway::Class;

  for (std::size_t i = 0; i < count; ++i) {
    double lat = model.lat, lon = model.lon;
    if (model.track) {
      const double f = uniformOpen(seed, i, draw::kRelease);
      c.release[i] = static_cast<float>(f * trackHours);
      // Plane sailing along the track: distance run as a fraction of the whole.
      PosicionLlegada(model.lat, model.lon, trackDistance, trackCourse, f, &lat, &lon);
    }
    if (sigma > 0.0) {
      const NormalPair z = normalPair(seed, i, draw::kPosition);
      const double north = sigma * z.first, east = sigma * z.second;
      lat += north / 60.0;
      lon += east / (60.0 * std::cos(lat * kRadiansPerDegree));
    }
    c.dLat[i] = static_cast<float>(lat - model.lat);
    c.dLon[i] = static_cast<float>(lon - model.lon);
    c.weight[i] = 1.0f;
    c.side[i] = (i & 1) ? kLeft : kRight;
    if (currentSigma > 0.0) {
      const NormalPair z = normalPair(seed, i, draw::kCurrent);
      c.currentNorth[i] = static_cast<float>(currentSigma * z.first);
      c.currentEast[i] = static_cast<float>(currentSigma * z.second);
    }
    if (withClass) {
      const LeewayClass& k = model.leewayClass;
      const LeewayLine& cross = c.side[i] == kLeft ? k.left : k.right;
      c.epsCross[i] = static_cast<float>(cross.sdCms * normalPair(seed, i, draw::kCross).first);
      double down = 0.0;
      for (int t = 0;; ++t) {
        down = k.downwind.sdCms * normalPair(seed, i, draw::kDown + 2 * t).first;
        if (k.downwind.slopePct + down / 20.0 >= 0.0) break;
        if (t == kMaxDownwindTries) {
          down = -20.0 * k.downwind.slopePct;
          break;
        }
      }
      c.epsDown[i] = static_cast<float>(down);
    }
  }
  return c;
}

}  // namespace vestrand::drift
