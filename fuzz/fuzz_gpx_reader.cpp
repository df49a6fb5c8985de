// The GPX reader fed arbitrary bytes: it must never crash, hang or leak, and what it accepts must
// keep its promises: finite coordinates within their bounds, names within their length in UTF-8,
// and a document that the program's own writer writes and the reader reads back to the same
// counts and coordinates.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "gpx.h"
#include "gpx_reader.h"

namespace {

void CheckPoint(const vestrand::GpxPoint& p) {
  if (!std::isfinite(p.lat) || !std::isfinite(p.lon) || std::fabs(p.lat) > 90.0 ||
      std::fabs(p.lon) > 540.0) {
    vestrand_fuzz::Violated("a coordinate out of bounds was accepted");
  }
  if (p.name.size() > vestrand::kGpxMaxNameBytes) vestrand_fuzz::Violated("an over-long name");
  if (!vestrand_fuzz::IsValidUtf8(p.name)) vestrand_fuzz::Violated("a name is not UTF-8");
}

std::size_t Points(const vestrand::GpxDocument& doc) {
  std::size_t n = doc.waypoints.size();
  for (const auto& r : doc.routes) n += r.points.size();
  return n;
}

// Writes the document as the program writes routes, and reads it back.
void CheckRoundTrip(const vestrand::GpxDocument& doc) {
  vestrand::SafeFile file;
  if (!file.open("again.gpx")) vestrand_fuzz::Violated("cannot open a file in the scratch folder");
  vestrand::GpxWriter gpx(file);
  for (const auto& route : doc.routes) {
    gpx.startRoute(route.name.c_str());
    for (const auto& p : route.points) gpx.routePoint(p.lat, p.lon, p.name.c_str());
    gpx.endRoute();
  }
  for (const auto& w : doc.waypoints) gpx.waypoint(w.lat, w.lon, w.name.c_str());
  if (!gpx.finish() || !file.commit()) vestrand_fuzz::Violated("the writer refused what was read");
  vestrand::GpxDocument again;
  std::string error;
  if (!vestrand::readGpxFile("again.gpx", again, error)) {
    vestrand_fuzz::Violated("the reader refused a file of the program's own writer");
  }
  if (again.routes.size() != doc.routes.size() || Points(again) != Points(doc)) {
    vestrand_fuzz::Violated("the file written holds other routes or points than were read");
  }
  for (std::size_t w = 0; w < doc.waypoints.size(); ++w) {
    // Nine decimals, as the writer prints them.
    if (std::fabs(again.waypoints[w].lat - doc.waypoints[w].lat) > 5.1e-10 ||
        std::fabs(again.waypoints[w].lon - doc.waypoints[w].lon) > 5.1e-10) {
      vestrand_fuzz::Violated("a waypoint moved on the way through the writer");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (chdir(vestrand_fuzz::ScratchFolder().c_str()) != 0) vestrand_fuzz::Violated("no scratch");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vestrand::GpxDocument doc;
  std::string error;
  if (!vestrand::readGpxBytes(bytes, "fuzz.gpx", doc, error)) {
    if (error.rfind("cannot read 'fuzz.gpx': ", 0) != 0) {
      vestrand_fuzz::Violated("a refusal does not name the file");
    }
    if (!doc.routes.empty() || !doc.waypoints.empty() || !doc.tracks.empty()) {
      vestrand_fuzz::Violated("a refused file left points behind");
    }
    return 0;
  }
  for (const auto& r : doc.routes) {
    if (r.name.size() > vestrand::kGpxMaxNameBytes) vestrand_fuzz::Violated("an over-long name");
    for (const auto& p : r.points) CheckPoint(p);
  }
  for (const auto& p : doc.waypoints) CheckPoint(p);
  for (const auto& t : doc.tracks) {
    for (const auto& p : t.points) CheckPoint(p);
  }
  CheckRoundTrip(doc);
  return 0;
}
