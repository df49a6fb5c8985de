#include "drift_compensation.h"

#include <cmath>
#include <cstdio>

#include "Derrota.h"
#include "angulos.h"

namespace vestrand {
namespace {

std::string speedText(double knots) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", knots);
  return text;
}

// The set as three digits, 000 to 359.
std::string setText(double set) {
  long long degrees = std::llround(ang_0_360(set));
  if (degrees >= 360) degrees -= 360;
  char text[24];
  std::snprintf(text, sizeof text, "%03lld", degrees);
  return text;
}

std::string tenthsText(double knots) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", knots);
  return text;
}

}  // namespace

std::string driftFault(const WaterDrift& drift, double searchSpeed) {
  if (!std::isfinite(drift.set) || !std::isfinite(drift.speed) || drift.speed < 0.0) {
    return "the drift must be a direction and a speed of 0 knots or more";
  }
  if (!std::isfinite(searchSpeed) || !(searchSpeed > 0.0)) {
    return "the search speed must be above 0 knots";
  }
  if (drift.speed >= searchSpeed / 2.0) {
    return "a drift of " + speedText(drift.speed) + " kn is half the search speed of " +
           speedText(searchSpeed) +
           " kn or more; the pattern laid in the water would lose the shape the crew expects";
  }
  return {};
}

std::string driftFileMark(const WaterDrift& drift) {
  return " drift " + setText(drift.set) + " " + tenthsText(drift.speed) + "kn";
}

std::string driftRouteMark(const WaterDrift& drift) {
  return " compensated for drift " + setText(drift.set) + " at " + tenthsText(drift.speed) + " kn";
}

DriftLayout::DriftLayout(const WaterDrift& drift, double searchSpeed)
    : drift_(drift), speed_(searchSpeed) {}

void DriftLayout::startUnit() {
  sailed_ = 0.0;
  hours_ = 0.0;
  first_ = true;
}

void DriftLayout::continueUnit() {
  first_ = true;
}

void DriftLayout::place(double lat, double lon, double& placedLat, double& placedLon) {
  if (!first_) {
    double course = 0.0;
    double distance = 0.0;
    RumboDistancia(prevLat_, prevLon_, lat, lon, &course, &distance);
    sailed_ += distance;
    hours_ = sailed_ / speed_;
  }
  first_ = false;
  prevLat_ = lat;
  prevLon_ = lon;
  PosicionLlegada(lat, lon, drift_.speed, drift_.set, hours_, &placedLat, &placedLon);
}

}  // namespace vestrand
