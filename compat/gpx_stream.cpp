#include "gpx_stream.h"

#include <optional>
#include <string>

#include "gpx.h"
#include "safe_file.h"

std::FILE* GPXfp = nullptr;

namespace {

// The file of the historical stream functions; GPXfp is its stream while it is open.
vestrand::SafeFile current;
std::optional<vestrand::GpxWriter> writer;
std::string lastError;

}  // namespace

bool OpenGPX(const char* path) {
  if (GPXfp != nullptr) AbortGPX("another file was opened before it was closed");
  lastError.clear();
  if (path == nullptr || *path == '\0') {
    lastError = "cannot write a GPX file without a name";
    return false;
  }
  if (!current.open(path)) {
    lastError = current.error();
    return false;
  }
  writer.emplace(current);
  if (current.failed()) {
    // Not even the header went out: report it now rather than at CloseGPX.
    lastError = current.error();
    AbortGPX(nullptr);
    return false;
  }
  GPXfp = current.stream();
  return true;
}

void StartRouteGPX(const char* name) {
  if (GPXfp != nullptr) writer->startRoute(name);
}

void RouteGPX(double lat, double lon, const char* name) {
  if (GPXfp != nullptr) writer->routePoint(lat, lon, name);
}

void EndRouteGPX() {
  if (GPXfp != nullptr) writer->endRoute();
}

void WayPointGPX(double lat, double lon, const char* name) {
  if (GPXfp != nullptr) writer->waypoint(lat, lon, name);
}

bool CloseGPX() {
  if (GPXfp == nullptr) {
    if (lastError.empty()) lastError = "no GPX file is open";
    return false;
  }
  GPXfp = nullptr;
  const bool written = writer->finish() && current.commit();
  writer.reset();
  lastError = written ? std::string() : current.error();
  if (!written) current.abandon();
  return written;
}

void AbortGPX(const char* reason) {
  GPXfp = nullptr;
  writer.reset();
  if (current.isOpen() && reason != nullptr) {
    lastError = "abandoned '" + current.path() + "': " + reason;
  }
  current.abandon();
}

void gpxLine(double lat1, double lon1, double lat2, double lon2, const char* name) {
  if (GPXfp != nullptr) writer->line(lat1, lon1, lat2, lon2, name);
}

bool gpxRhumbLine(double lat1, double lon1, double lat2, double lon2, const char* stem) {
  std::string path;
  std::string error;
  const bool written = vestrand::writeRhumbLine(lat1, lon1, lat2, lon2, stem, "", path, error);
  lastError = written ? std::string() : error;
  return written;
}

const char* GPXLastError() {
  return lastError.c_str();
}

void GPXSetLastError(const char* message) {
  lastError = message != nullptr ? message : "";
}
