// Land and water over the whole globe at one GSHHG resolution: is a position on land, how far is
// the shore, where does a way cross land, how much of a box is land, and the land of a box as
// rings and shorelines for drawing.
//
// Positions are decimal degrees, north and east positive. Longitudes may be unwrapped (a way from
// 179 to 181 runs 2 degrees east over the antimeridian); latitudes beyond +-90 are taken as +-90.
// Ways and boxes run straight in latitude and longitude, as the shoreline's own edges do, except
// the leg (wayOverLand with plane sailing), which follows the plane-sailing track.
//
// Bins of the file are read and prepared the first time a question needs them and kept for the
// mask's lifetime; every question is safe from any number of threads at once. Once the bins of an
// area are prepared (prepare()), questions there take no lock and read no file.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gshhg_file.h"
#include "shore_bin.h"

namespace vestrand::land {

// A position, degrees.
struct LatLon {
  double lat = 0.0;
  double lon = 0.0;
};

// A box from `west` eastward to `east` (east >= west; a box wider than 360 degrees is the whole
// round) and from `south` to `north`, degrees.
struct GeoBox {
  double south = 0.0;
  double west = 0.0;
  double north = 0.0;
  double east = 0.0;
};

// The level names of GSHHG: 0 "sea", 1 "land", 2 "lake", 3 "island in a lake", 4 "pond".
const char* levelName(int level);

struct ShoreDistance {
  double nm = 0.0;  // to the nearest point of any shoreline (coast, lake or pond shore); -1 when
                    // the resolution holds no shoreline at all
  LatLon nearest;   // that point
};

// A part of a way that lies on land.
struct LandStretch {
  double from = 0.0;  // fractions of the way's length, 0 at its start, 1 at its end
  double to = 0.0;
  LatLon start;  // where the stretch begins (the way's start when it starts on land)
  LatLon end;    // where it ends
};

// What a way meets: its stretches on land, in order.
struct WayOverLand {
  double lengthNm = 0.0;  // of the way, nautical miles
  std::vector<LandStretch> stretches;

  bool crossesLand() const { return !stretches.empty(); }
  bool startsOnLand() const { return crossesLand() && stretches.front().from == 0.0; }
  bool endsOnLand() const { return crossesLand() && stretches.back().to == 1.0; }
  // Nautical miles of the way on land.
  double landNm() const;
};

// The land of a box for drawing: rings to fill by the even-odd rule (land inside an odd number
// of them), and the shorelines to stroke over them, every point inside the box and longitudes
// in the box's frame (between its west and east).
struct LandOutline {
  std::vector<std::vector<LatLon>> rings;
  std::vector<std::vector<LatLon>> shores;

  std::size_t pointCount() const;
};

class LandMask {
 public:
  // Opens the file of a resolution.
  // @throws DataError naming the file when it cannot be read as binned GSHHG shorelines
  LandMask(Resolution resolution, const std::string& path);
  ~LandMask();

  Resolution resolution() const { return resolution_; }
  const std::string& path() const { return file_->path(); }
  const std::string& version() const { return file_->version(); }
  double binDegrees() const { return file_->binDegrees(); }

  // The GSHHG level at a position (see levelName); a position that is not finite is sea.
  // @throws DataError when a bin cannot be read (so do all questions below)
  int levelAt(LatLon p) const;
  bool onLand(LatLon p) const { return (levelAt(p) & 1) != 0; }

  // The great-circle distance to the nearest shoreline, on a sphere of 60 nautical miles a degree
  // (within 0.5% of the ellipsoid's), the shoreline's edges taken as great-circle arcs. The data's
  // own accuracy is resolutionToleranceNm.
  ShoreDistance nearestShore(LatLon p) const;

  // Where the way from `a` to `b` lies on land. With `planeSailing` the way is the leg sailed by
  // plane sailing from a on the course to b (as the search patterns sail their legs), followed in
  // straight steps of at most 5 nautical miles, which stray from it by less than 0.003 NM below
  // 80 degrees of latitude (a leg along a meridian or a parallel is one straight step);
  // otherwise the straight line in latitude and longitude (a particle's short step). Its length
  // is the plane-sailing distance.
  WayOverLand wayOverLand(LatLon a, LatLon b, bool planeSailing) const;

  // The share of the box's area on land, 0 to 1, areas taken on the sphere.
  double landShare(const GeoBox& box) const;
  // The same for a convex area (a search strip turned to its course): its corners in order,
  // either way round, longitudes unwrapped near each other, sides straight in latitude and
  // longitude. 0 for fewer than three corners or no area.
  double landShare(const std::vector<LatLon>& area) const;

  // The land of the box, cut at its sides.
  LandOutline outline(const GeoBox& box) const;

  // Reads and prepares every bin the box touches.
  void prepare(const GeoBox& box) const;

  // Bins prepared so far, and the memory they hold, bytes.
  std::size_t preparedBins() const;
  std::size_t memoryBytes() const;

 private:
  struct Place;
  Place place(LatLon p) const;
  const ShoreBin& bin(int index) const;
  int levelIn(const Place& at) const;
  // Calls f(bin index, the bin's west longitude in the box's frame) for every bin the box meets.
  template <typename F>
  void forEachBin(const GeoBox& box, F&& f) const;
  void chordOverLand(LatLon a, LatLon b, double from, double to, WayOverLand& way) const;

  Resolution resolution_;
  std::unique_ptr<GshhgFile> file_;
  mutable std::mutex building_;
  mutable std::vector<std::unique_ptr<ShoreBin>> owned_;  // every bin built, under building_
  mutable std::unique_ptr<std::atomic<const ShoreBin*>[]> bins_;
  mutable std::size_t memory_ = 0;  // under building_
};

}  // namespace vestrand::land
