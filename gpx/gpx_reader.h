// Reading GPX files: the routes, waypoints and tracks of a GPX 1.1 or 1.0 file, from this
// program or any other.
//
// A GPX file may come from anywhere (a mail, a card from another boat), so the reader trusts
// nothing in it. It reads the file as a stream, holding only the points, and refuses, naming the
// file and the reason:
//  - a file larger than the size bound, or anything but a regular file (a FIFO, a device);
//  - anything that is not well-formed XML, and a root element other than <gpx>;
//  - a document type declaration (<!DOCTYPE ...>): a GPX file never has one, and refusing it
//    means no entity is ever declared or expanded and no DTD is ever fetched; the parser never
//    touches the network in any case;
//  - a point without its lat or lon attribute, a coordinate that is no number, not finite, a
//    latitude beyond 90 degrees or a longitude beyond 540 (once round the globe, as far as the
//    patterns' own files may reach when they cross the antimeridian);
//  - a name longer than kGpxMaxNameBytes bytes.
//
// Elements are recognised by their local name in the namespace of the root element (GPX 1.1's,
// GPX 1.0's, or none); elements of other namespaces (extensions) and GPX elements the reader has
// no use for (time, ele, desc, links) are skipped with everything inside them.
//
// Units: positions in decimal degrees, north and east positive, as written in the file
// (longitudes not wrapped). Names are UTF-8 (libxml2 converts a file declared in another
// encoding), entities and character references resolved, surrounding blanks kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vestrand {

struct GpxPoint {
  double lat = 0.0;  // degrees, -90..90
  double lon = 0.0;  // degrees, -540..540, as written
  std::string name;  // the point's <name>, empty when it has none
};

// A route (<rte>), or one segment of a track (<trkseg>), which carries its track's name.
struct GpxRoute {
  std::string name;
  std::vector<GpxPoint> points;  // in the file's order
};

struct GpxDocument {
  std::vector<GpxRoute> routes;     // <rte>, in the file's order
  std::vector<GpxPoint> waypoints;  // <wpt>, in the file's order
  std::vector<GpxRoute> tracks;     // one per <trkseg>, in the file's order
};

// Files larger than this are refused unread: 256 MiB holds a pattern of some 800,000 points as
// this program writes them, far beyond what any plotter keeps.
inline constexpr std::uint64_t kGpxReadLimit = 256ull * 1024 * 1024;

// Names longer than this many bytes are refused: no plotter shows more than a few dozen.
inline constexpr std::size_t kGpxMaxNameBytes = 1000;

// Reads the GPX file at `path`.
// @param[out] document the file's routes, waypoints and tracks; cleared first, and left empty on
//   failure
// @param[out] error on failure, "cannot read 'PATH': REASON", with the line where the file has
//   one ("cannot read 'x.gpx': line 12: the rtept's lat '95' lies beyond 90 degrees")
// @param[in] maxBytes the size bound, bytes
// @return true when the whole file was read
bool readGpxFile(const std::string& path, GpxDocument& document, std::string& error,
                 std::uint64_t maxBytes = kGpxReadLimit);

// Reads GPX held in memory, as readGpxFile reads a file; `name` stands for the path in messages.
bool readGpxBytes(std::string_view bytes, const std::string& name, GpxDocument& document,
                  std::string& error, std::uint64_t maxBytes = kGpxReadLimit);

}  // namespace vestrand
