// The options of simulate, and of plan's simulated cloud, as CLI11 fills them.
#pragma once

#include <string>
#include <vector>

namespace vestrand::cli {

// The options of simulate, kept as the texts given; runSimulate checks them.
struct SimulateOptions {
  std::string lat, lon, time, lat2, lon2, time2, xError;
  std::string object, windFrom, windSpeed;
  std::vector<std::string> wind;  // TIME:FROM:SPEED
  std::string leewayToward, leewaySpeed, currentSet, currentDrift, currentError;
  std::string until, hours, particles, seed, stepMinutes, jibeRate, cell;
  std::vector<std::string> search, searchStart, speed, sweepWidth;
  std::string svg, gpx;
  std::string land;  // --land: a GSHHG resolution, or none
  bool json = false;
  // Forecast files instead of the constant wind and current, and what to do outside them.
  std::vector<std::string> windFiles, currentFiles;
  std::string outside;
};

}  // namespace vestrand::cli
