#include "pattern_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gpx.h"

namespace vestrand {
namespace {

class ExtentSink final : public PatternSink {
 public:
  void startRoute(const char*) override {}
  void routePoint(double lat, double lon, const char*) override { add(lat, lon); }
  void endRoute() override {}
  void waypoint(double lat, double lon, const char*) override { add(lat, lon); }
  PatternExtent extent;

 private:
  void add(double lat, double lon) {
    if (!std::isfinite(lat) || !std::isfinite(lon)) {
      extent.finite = false;
      return;
    }
    if (first_) {
      extent.minLat = extent.maxLat = lat;
      extent.minLon = extent.maxLon = lon;
      first_ = false;
      return;
    }
    extent.minLat = std::min(extent.minLat, lat);
    extent.maxLat = std::max(extent.maxLat, lat);
    extent.minLon = std::min(extent.minLon, lon);
    extent.maxLon = std::max(extent.maxLon, lon);
  }
  bool first_ = true;
};

class GpxSink final : public PatternSink {
 public:
  explicit GpxSink(SafeFile& file) : writer_(file) {}
  void startRoute(const char* name) override { writer_.startRoute(name); }
  void routePoint(double lat, double lon, const char* name) override {
    writer_.routePoint(lat, lon, name);
  }
  void endRoute() override { writer_.endRoute(); }
  void waypoint(double lat, double lon, const char* name) override {
    writer_.waypoint(lat, lon, name);
  }
  bool finish() { return writer_.finish(); }

 private:
  GpxWriter writer_;
};

const char* patternTitle(PatternKind kind) {
  switch (kind) {
    case PatternKind::ExpandingSquare:
      return "expanding square";
    case PatternKind::Sector:
      return "sector";
    case PatternKind::CreepingLine:
      return "creeping line";
    case PatternKind::ParallelSweep:
      return "parallel sweep";
  }
  return "pattern";
}

std::string range(double low, double high) {
  char text[96];
  std::snprintf(text, sizeof text, "%.2f to %.2f", low, high);
  return text;
}

bool composeOrSay(const PatternParams& params, const char* stem, PatternNames& names,
                  std::string& error) {
  if (composePatternNames(params, stem, names)) return true;
  error = std::string("the ") + patternCode(params.kind) + " file and route names for the stem '" +
          (stem ? stem : "") + "' would not fit in 99 characters; nothing was written";
  return false;
}

}  // namespace

PatternExtent patternExtent(const PatternParams& params) {
  ExtentSink sink;
  sailPattern(params, PatternNames{}, sink);
  return sink.extent;
}

bool checkPatternExtent(const PatternParams& params, std::string& error) {
  const PatternExtent e = patternExtent(params);
  const std::string what = std::string("the ") + patternTitle(params.kind);
  if (!e.finite) {
    error = what + " reaches positions that are not finite numbers";
    return false;
  }
  if (e.minLat < -90.0 || e.maxLat > 90.0) {
    error = what + " reaches latitudes " + range(e.minLat, e.maxLat) +
            " degrees, beyond a pole; plane sailing has no meaning there";
    return false;
  }
  if (e.minLon < -540.0 || e.maxLon > 540.0) {
    error = what + " reaches longitudes " + range(e.minLon, e.maxLon) +
            " degrees, more than once round the globe";
    return false;
  }
  return true;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool patternFilePaths(const PatternParams& params, const char* stem, const std::string& folder,
                      const PatternFiles& files, std::vector<std::string>& paths,
                      std::string& error) {
  PatternNames names;
  if (!composeOrSay(params, stem, names, error)) return false;
  paths.clear();
  if (files.gpx) paths.push_back(pathInFolder(folder, names.file));
  return true;
}

bool addPatternFiles(FileBatch& batch, const PatternParams& params, const char* stem,
                     const std::string& folder, const PatternFiles& files, std::string& error) {
  PatternNames names;
  if (!composeOrSay(params, stem, names, error) || !checkPatternExtent(params, error)) {
    return false;
  }
  if (files.gpx) {
    SafeFile* file = batch.create(pathInFolder(folder, names.file));
    if (file == nullptr) {
      error = batch.error();
      return false;
    }
    GpxSink sink(*file);
    sailPattern(params, names, sink);
    if (!sink.finish()) {
      error = file->error();
      batch.abandon();
      return false;
    }
  }
  return true;
}

bool writePatternFiles(const PatternParams& params, const char* stem, const std::string& folder,
                       const PatternFiles& files, std::vector<std::string>& written,
                       std::string& error) {
  FileBatch batch;
  written.clear();
  if (!addPatternFiles(batch, params, stem, folder, files, error)) return false;
  if (!batch.commit()) {
    error = batch.error();
    return false;
  }
  written = batch.written();
  return true;
}

}  // namespace vestrand
