// The GPX writer fed arbitrary names and numbers: every file it reports as written must be
// well-formed XML with one route point or waypoint element for each one written, and every
// coordinate must read exactly as printf("%.9f") writes it.
//
// The input is a little program: each block takes one byte, then its numbers (eight raw bytes
// each, so NaN, infinities and subnormals come up) and its names (a length byte, then the bytes).
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_support.h"
#include "gpx.h"
#include "gpx_stream.h"

namespace {

void CheckCoordinate(double value) {
  char ours[kCoordinateTextSize];
  char theirs[kCoordinateTextSize];
  const std::size_t length = FormatCoordinate(value, ours);
  std::snprintf(theirs, sizeof theirs, "%.9f", value);
  if (length != std::strlen(theirs) || std::strcmp(ours, theirs) != 0) {
    vestrand_fuzz::Violated("FormatCoordinate differs from printf(\"%.9f\")");
  }
}

std::size_t CountElements(const xmlNode* node, const char* name) {
  std::size_t count = 0;
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name)) ++count;
    count += CountElements(node->children, name);
  }
  return count;
}

void CheckFile(const std::string& path, std::size_t routePoints, std::size_t waypoints) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The declaration says UTF-8; libxml2 would otherwise guess its way past bad bytes.
  if (!vestrand_fuzz::IsValidUtf8(text)) vestrand_fuzz::Violated("the file is not valid UTF-8");
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "fuzz.gpx", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) vestrand_fuzz::Violated("the file is not well-formed XML");
  const xmlNode* root = xmlDocGetRootElement(doc);
  const bool rightCounts = root != nullptr && xmlStrEqual(root->name, BAD_CAST "gpx") &&
                           CountElements(root, "rtept") == routePoints &&
                           CountElements(root, "wpt") == waypoints;
  xmlFreeDoc(doc);
  if (!rightCounts) vestrand_fuzz::Violated("the file does not hold the points written");
}

// What the writer accepts: the last guard refuses positions a plotter could not place.
bool Plausible(double lat, double lon) {
  return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90.0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // gpxRhumbLine writes into the current directory.
  if (chdir(vestrand_fuzz::ScratchFolder().c_str()) != 0) vestrand_fuzz::Violated("no scratch");
  xmlInitParser();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vestrand_fuzz::Input input(data, size);
  if (input.Byte() % 8 == 0) {
    // A whole file from a stem; a stem with a folder in it would write outside the scratch
    // folder, and the command line refuses those before they get here.
    const double lat1 = input.Number(), lon1 = input.Number();
    const double lat2 = input.Number(), lon2 = input.Number();
    std::string stem = input.Name();
    for (char& c : stem) {
      if (c == '/') c = '_';
    }
    if (stem.find('\0') != std::string::npos) stem.resize(stem.find('\0'));
    // The writer refuses a stem whose names would not fit in 99 characters (a rule tested with
    // the writer); the names here stay well inside it.
    if (stem.size() > 64) stem.resize(64);
    if (stem.empty()) stem.push_back('x');
    const bool written = gpxRhumbLine(lat1, lon1, lat2, lon2, stem.c_str());
    if (written != (Plausible(lat1, lon1) && Plausible(lat2, lon2))) {
      vestrand_fuzz::Violated("gpxRhumbLine refused a plausible line or wrote an implausible one");
    }
    if (written) {
      std::string path = stem;
      path.append(" RL.gpx");
      CheckFile(path, 2, 2);
      std::remove(path.c_str());
    }
    return 0;
  }

  const std::string path = "fuzz.gpx";
  if (!OpenGPX(path.c_str())) vestrand_fuzz::Violated("OpenGPX failed in the scratch folder");
  // The writer leaves the order of blocks to its callers, so the blocks come in whole, as every
  // caller of the program writes them; only the names and numbers are arbitrary.
  std::size_t routePoints = 0;
  std::size_t waypoints = 0;
  bool plausible = true;
  for (int block = 0; block < 32 && !input.empty(); ++block) {
    const std::uint8_t code = input.Byte() % 3;
    if (code == 0) {
      StartRouteGPX(input.Name().c_str());
      for (int points = input.Byte() % 8; points > 0; --points) {
        const double lat = input.Number(), lon = input.Number();
        CheckCoordinate(lat);
        CheckCoordinate(lon);
        RouteGPX(lat, lon, input.Name().c_str());
        plausible = plausible && Plausible(lat, lon);
        ++routePoints;
      }
      EndRouteGPX();
    } else if (code == 1) {
      const double lat = input.Number(), lon = input.Number();
      CheckCoordinate(lat);
      CheckCoordinate(lon);
      WayPointGPX(lat, lon, input.Name().c_str());
      plausible = plausible && Plausible(lat, lon);
      ++waypoints;
    } else {
      const double lat1 = input.Number(), lon1 = input.Number();
      const double lat2 = input.Number(), lon2 = input.Number();
      gpxLine(lat1, lon1, lat2, lon2, input.Name().c_str());
      plausible = plausible && Plausible(lat1, lon1) && Plausible(lat2, lon2);
      routePoints += 2;
    }
  }
  const bool written = CloseGPX();
  if (written != plausible) {
    vestrand_fuzz::Violated(plausible ? "CloseGPX failed in the scratch folder"
                                      : "an implausible position reached the file");
  }
  if (written) CheckFile(path, routePoints, waypoints);
  return 0;
}
