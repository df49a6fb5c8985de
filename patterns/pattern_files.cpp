#include "pattern_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

#include "gpx.h"
#include "rtz.h"

namespace vestrand {
namespace {

class ExtentSink final : public PatternSink {
 public:
  void startRoute(const char*) override { inRoute_ = false; }
  void routePoint(double lat, double lon, const char*) override {
    if (inRoute_) extent.widestLeg = std::max(extent.widestLeg, std::fabs(lon - lastLon_));
    inRoute_ = true;
    lastLon_ = lon;
    add(lat, lon);
  }
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
  bool inRoute_ = false;
  double lastLon_ = 0.0;
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

std::string range(double low, double high) {
  char text[96];
  std::snprintf(text, sizeof text, "%.2f to %.2f", low, high);
  return text;
}

bool composeOrSay(const PatternParams& params, const char* stem, PatternNames& names,
                  PatternNames& rtzNames, std::string& error) {
  if (composePatternNames(params, stem, names) && composeRtzRouteNames(params, stem, rtzNames)) {
    return true;
  }
  error = std::string("the ") + patternCode(params.kind) + " file and route names for the stem '" +
          (stem ? stem : "") + "' would not fit in 99 characters; nothing was written";
  return false;
}

// ---------------------------------------------------------------- routes of any source

// A GPX waypoint, with its position as the GPX file prints it.
struct Mark {
  std::string name;
  double lat, lon;
  std::string latText, lonText;
};

std::string coordinateText(double value) {
  char text[kCoordinateTextSize];
  return std::string(text, FormatCoordinate(value, text));
}

// What a first sailing learns, so that nothing per point is held: the routes' names and point
// counts, and the waypoints, which come after the routes.
class SurveySink final : public PatternSink {
 public:
  void startRoute(const char* name) override {
    routes.emplace_back(name != nullptr ? name : "");
    points.push_back(0);
  }
  void routePoint(double, double, const char*) override { ++points.back(); }
  void endRoute() override {}
  void waypoint(double lat, double lon, const char* name) override {
    marks.push_back(
        {name != nullptr ? name : "", lat, lon, coordinateText(lat), coordinateText(lon)});
  }
  std::vector<std::string> routes;
  std::vector<std::size_t> points;
  std::vector<Mark> marks;
};

std::size_t partCount(std::size_t points, int maxPoints) {
  const std::size_t most = static_cast<std::size_t>(maxPoints);
  if (maxPoints < 2 || points <= most) return 1;
  return (points - 2) / (most - 1) + 1;  // the first point, then most - 1 new points a part
}

// "<route> (2/3)" for GPX, "<route> (2 of 3)" for RTZ; a route of one part keeps its name.
std::string partName(const std::string& route, std::size_t part, std::size_t parts,
                     const char* of) {
  if (parts == 1) return route;
  return route + " (" + std::to_string(part) + of + std::to_string(parts) + ")";
}

constexpr const char* kGpxPartOf = "/";
constexpr const char* kRtzPartOf = " of ";

// Splits every route longer than maxPoints into consecutive parts, the first point of each part
// repeating the last of the one before; waypoints pass unchanged. It knows no format: GPX and
// RTZ differ only in how a part is named.
class RouteSplitter final : public PatternSink {
 public:
  RouteSplitter(PatternSink& next, const std::vector<std::size_t>& points, int maxPoints,
                const char* of)
      : next_(next), points_(points), most_(static_cast<std::size_t>(maxPoints)), of_(of) {}
  void startRoute(const char* name) override {
    route_ = name != nullptr ? name : "";
    parts_ = partCount(index_ < points_.size() ? points_[index_] : 0, static_cast<int>(most_));
    ++index_;
    part_ = 1;
    begin();
  }
  void routePoint(double lat, double lon, const char* name) override {
    if (parts_ > 1 && inPart_ == most_) {
      next_.endRoute();
      ++part_;
      begin();
      pass(lat_, lon_, name_.c_str());
    }
    pass(lat, lon, name);
    lat_ = lat;
    lon_ = lon;
    name_ = name != nullptr ? name : "";
  }
  void endRoute() override { next_.endRoute(); }
  void waypoint(double lat, double lon, const char* name) override {
    next_.waypoint(lat, lon, name);
  }

 private:
  void begin() {
    next_.startRoute(partName(route_, part_, parts_, of_).c_str());
    inPart_ = 0;
  }
  void pass(double lat, double lon, const char* name) {
    next_.routePoint(lat, lon, name);
    ++inPart_;
  }

  PatternSink& next_;
  const std::vector<std::size_t>& points_;
  const std::size_t most_;
  const char* const of_;
  std::size_t index_ = 0;  // of the route being split
  std::string route_;
  std::size_t parts_ = 1, part_ = 1, inPart_ = 0;
  double lat_ = 0.0, lon_ = 0.0;  // the last point passed on, which begins the next part
  std::string name_;
};

// Sails into `sink`, through a splitter when the routes have a length limit.
void sailInto(const std::function<void(PatternSink&)>& sail, PatternSink& sink,
              const SurveySink& survey, int maxPoints, const char* of) {
  if (maxPoints == 0) {
    sail(sink);
    return;
  }
  RouteSplitter splitter(sink, survey.points, maxPoints, of);
  sail(splitter);
}

// Writes every route it is handed as an RTZ file of its own in the run.
class RtzSink final : public PatternSink {
 public:
  RtzSink(FileBatch& batch, const std::string& folder, const std::vector<Mark>& marks,
          std::vector<std::string>* warnings)
      : batch_(batch), folder_(folder), marks_(marks), warnings_(warnings) {}
  void startRoute(const char* name) override {
    if (!error.empty()) return;
    file_ = batch_.create(pathInFolder(folder_, std::string(name) + ".rtz"));
    if (file_ == nullptr) {
      error = batch_.error();
      return;
    }
    writer_.emplace(*file_, name);
    number_ = 0;
  }
  void routePoint(double lat, double lon, const char*) override {
    if (!writer_) return;
    name(++number_, lat, lon);
    writer_->waypoint(lat, lon, name_);
  }
  void endRoute() override {
    if (!writer_) return;
    if (!writer_->finish()) {
      error = file_->error();
    } else if (file_->size() > kRtzSizeWarning && warnings_ != nullptr) {
      warnings_->push_back("'" + file_->path() + "' is " + std::to_string(file_->size() / 1024) +
                           " KB, more than the " + std::to_string(kRtzSizeWarning / 1024) +
                           " KB that some ECDIS units accept");
    }
    writer_.reset();
  }
  void waypoint(double, double, const char*) override {}
  std::string error;

 private:
  // The point's number, and the names of the waypoints that lie at it as the GPX prints both.
  void name(std::size_t number, double lat, double lon) {
    name_ = std::to_string(number);
    const char* separator = " ";
    for (const Mark& mark : marks_) {
      // Texts that agree to nine decimals come from values far closer than this; the test spares
      // the formatting of almost every point.
      if (!(std::fabs(mark.lat - lat) < 1e-6 && std::fabs(mark.lon - lon) < 1e-6)) continue;
      if (coordinateText(lat) != mark.latText || coordinateText(lon) != mark.lonText) continue;
      name_ += separator;
      name_ += mark.name;
      separator = ", ";
    }
  }

  FileBatch& batch_;
  const std::string& folder_;
  const std::vector<Mark>& marks_;
  std::vector<std::string>* warnings_;
  SafeFile* file_ = nullptr;
  std::optional<RtzWriter> writer_;
  std::size_t number_ = 0;
  std::string name_;
};

bool checkMaxPoints(const PatternFiles& files, std::string& error) {
  if (files.maxPoints == 0 || files.maxPoints >= 2) return true;
  error = "parts of at most " + std::to_string(files.maxPoints) +
          " points cannot carry a route: a part needs at least 2";
  return false;
}

// Whether every RTZ file can take its route's name, and how many there would be.
bool checkRtzFiles(const SurveySink& survey, const PatternFiles& files, std::string& error) {
  std::size_t count = 0;
  for (std::size_t r = 0; r < survey.routes.size(); ++r) {
    if (survey.routes[r].find('/') != std::string::npos) {
      error = "the route name '" + survey.routes[r] +
              "' holds '/', which the name of its RTZ file cannot; nothing was written";
      return false;
    }
    count += partCount(survey.points[r], files.maxPoints);
  }
  if (count > kMaxRtzFiles) {
    error = "the run would write " + std::to_string(count) + " RTZ files, more than the " +
            std::to_string(kMaxRtzFiles) + " a run may write; nothing was written";
    return false;
  }
  return true;
}

}  // namespace

bool routeFilePaths(const RouteSource& source, const std::string& folder, const PatternFiles& files,
                    std::vector<std::string>& paths, std::string& error) {
  if (!checkMaxPoints(files, error)) return false;
  paths.clear();
  if (files.gpx) paths.push_back(pathInFolder(folder, source.gpxName));
  if (!files.rtz) return true;
  SurveySink survey;
  source.rtz()(survey);
  if (!checkRtzFiles(survey, files, error)) return false;
  for (std::size_t r = 0; r < survey.routes.size(); ++r) {
    const std::size_t parts = partCount(survey.points[r], files.maxPoints);
    for (std::size_t part = 1; part <= parts; ++part) {
      paths.push_back(
          pathInFolder(folder, partName(survey.routes[r], part, parts, kRtzPartOf) + ".rtz"));
    }
  }
  return true;
}

namespace {

// Adds the source's files to the run; on failure the caller abandons the run.
bool addSourceFiles(FileBatch& batch, const RouteSource& source, const std::string& folder,
                    const PatternFiles& files, std::string& error,
                    std::vector<std::string>* warnings) {
  // The RTZ names, where they differ, are the survey's; points and waypoints are the same.
  SurveySink survey;
  if (files.rtz || files.maxPoints != 0) {
    if (!checkMaxPoints(files, error)) return false;
    source.rtz()(survey);
  }
  if (files.rtz) {
    if (!checkRtzFiles(survey, files, error)) return false;
    for (std::size_t r = 0; r < survey.routes.size(); ++r) {
      const std::size_t points = survey.points[r];
      if (points >= 2) continue;
      error = "the route '" + survey.routes[r] + "' has " + std::to_string(points) +
              (points == 1 ? " point" : " points") +
              ", and an RTZ route needs at least two; as a run's files are put in place "
              "together, no file of this run was written";
      return false;
    }
  }
  if (files.gpx) {
    SafeFile* file = batch.create(pathInFolder(folder, source.gpxName));
    if (file == nullptr) {
      error = batch.error();
      return false;
    }
    GpxSink sink(*file);
    sailInto(source.sail, sink, survey, files.maxPoints, kGpxPartOf);
    if (!sink.finish()) {
      error = file->error();
      return false;
    }
  }
  if (files.rtz) {
    RtzSink sink(batch, folder, survey.marks, warnings);
    sailInto(source.rtz(), sink, survey, files.maxPoints, kRtzPartOf);
    if (!sink.error.empty()) {
      error = sink.error;
      return false;
    }
  }
  return true;
}

RouteSource patternSource(const PatternParams& params, const PatternNames& names,
                          const PatternNames& rtzNames) {
  return {names.file, [&params, &names](PatternSink& sink) { sailPattern(params, names, sink); },
          [&params, &rtzNames](PatternSink& sink) { sailPattern(params, rtzNames, sink); }};
}

}  // namespace

PatternExtent patternExtent(const PatternParams& params) {
  ExtentSink sink;
  sailPattern(params, PatternNames{}, sink);
  return sink.extent;
}

ExtentFault extentFault(const PatternExtent& e) {
  if (!e.finite) return ExtentFault::NotFinite;
  if (e.minLat < -90.0 || e.maxLat > 90.0) return ExtentFault::PastPole;
  if (e.minLon < -540.0 || e.maxLon > 540.0) return ExtentFault::RoundTheGlobe;
  if (e.widestLeg > kMaxLegLongitude) return ExtentFault::WideLeg;
  return ExtentFault::None;
}

bool checkPatternExtent(const PatternParams& params, std::string& error) {
  const PatternExtent e = patternExtent(params);
  const std::string what = std::string("the ") + patternInfo(params.kind).name;
  switch (extentFault(e)) {
    case ExtentFault::None:
      return true;
    case ExtentFault::NotFinite:
      error = what + " reaches positions that are not finite numbers";
      break;
    case ExtentFault::PastPole:
      error = what + " reaches latitudes " + range(e.minLat, e.maxLat) +
              " degrees, beyond a pole; plane sailing has no meaning there";
      break;
    case ExtentFault::RoundTheGlobe:
      error = what + " reaches longitudes " + range(e.minLon, e.maxLon) +
              " degrees, more than once round the globe";
      break;
    case ExtentFault::WideLeg: {
      char span[48];
      std::snprintf(span, sizeof span, "%.2f", e.widestLeg);
      error = what + " has a leg spanning " + span +
              " degrees of longitude, more than half round the globe: so near a pole a plotter "
              "would steer it the other way";
      break;
    }
  }
  return false;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool patternFilePaths(const PatternParams& params, const char* stem, const std::string& folder,
                      const PatternFiles& files, std::vector<std::string>& paths,
                      std::string& error) {
  PatternNames names, rtzNames;
  if (!composeOrSay(params, stem, names, rtzNames, error)) return false;
  return routeFilePaths(patternSource(params, names, rtzNames), folder, files, paths, error);
}

bool addPatternFiles(FileBatch& batch, const PatternParams& params, const char* stem,
                     const std::string& folder, const PatternFiles& files, std::string& error,
                     std::vector<std::string>* warnings) {
  PatternNames names, rtzNames;
  if (composeOrSay(params, stem, names, rtzNames, error) && checkPatternExtent(params, error) &&
      addSourceFiles(batch, patternSource(params, names, rtzNames), folder, files, error,
                     warnings)) {
    return true;
  }
  batch.abandon();
  return false;
}

bool writePatternFiles(const PatternParams& params, const char* stem, const std::string& folder,
                       const PatternFiles& files, std::vector<std::string>& written,
                       std::string& error, std::vector<std::string>* warnings) {
  FileBatch batch;
  written.clear();
  if (!addPatternFiles(batch, params, stem, folder, files, error, warnings)) return false;
  if (!batch.commit()) {
    error = batch.error();
    return false;
  }
  written = batch.written();
  return true;
}

bool addRouteFiles(FileBatch& batch, const RouteSource& source, const std::string& folder,
                   const PatternFiles& files, std::string& error,
                   std::vector<std::string>* warnings) {
  if (addSourceFiles(batch, source, folder, files, error, warnings)) return true;
  batch.abandon();
  return false;
}

bool addLineFiles(FileBatch& batch, const LinePoints& line, const char* stem,
                  const std::string& folder, const PatternFiles& files, std::string& error,
                  std::vector<std::string>* warnings) {
  // The names and blocks of writeRhumbLine, whose file this must stay byte for byte.
  LineNames names;
  if (!composeLineNames(stem, names, error)) {
    batch.abandon();
    return false;
  }
  const char* route = names.route.c_str();
  const RouteSource source{names.file,
                           [&line, route](PatternSink& sink) {
                             sink.startRoute(route);
                             sink.routePoint(line.lat1, line.lon1, "");
                             sink.routePoint(line.lat2, line.lon2, route);
                             sink.endRoute();
                             sink.waypoint(line.lat1, line.lon1, LineNames::kFirst);
                             sink.waypoint(line.lat2, line.lon2, LineNames::kSecond);
                           },
                           {}};
  PatternFiles lineFiles = files;
  lineFiles.maxPoints = 0;
  if (addSourceFiles(batch, source, folder, lineFiles, error, warnings)) return true;
  batch.abandon();
  return false;
}

}  // namespace vestrand
