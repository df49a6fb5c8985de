// Helpers shared by the core and plan tests: a scratch folder to write into, file readers, and a
// sink that keeps the points a pattern sails.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../scratch_dir.h"
#include "vestrand.gpx.h"

namespace vestrand::testing {

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing file " + path.string() + ">";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::size_t occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

inline bool wellFormedXml(const std::filesystem::path& path) {
  const std::string command =
      std::string(VESTRAND_XMLLINT) + " --noout '" + path.string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

// Keeps every route point a pattern hands its sink, route by route.
struct Recorder final : vestrand::PatternSink {
  std::vector<std::vector<std::pair<double, double>>> points;
  void startRoute(const char*) override { points.emplace_back(); }
  void routePoint(double lat, double lon, const char*) override {
    points.back().emplace_back(lat, lon);
  }
  void endRoute() override {}
  void waypoint(double, double, const char*) override {}
};

inline Recorder sail(const vestrand::PatternParams& params, const char* stem = "20121225143000") {
  vestrand::PatternNames names;
  EXPECT_TRUE(vestrand::composePatternNames(params, stem, names));
  Recorder recorder;
  vestrand::sailPattern(params, names, recorder);
  return recorder;
}

}  // namespace vestrand::testing
