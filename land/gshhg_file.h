// The GSHHG shorelines as GMT's Debian packages ship them: the five resolutions, where their files
// lie, and a reader of one binned netCDF file ("binned_GSHHS_<letter>.nc").
//
// A binned file cuts the world into square bins (20 degrees for crude down to 1 degree for full),
// numbered west to east from longitude 0 and north to south from latitude 90. Each bin holds the
// pieces of shoreline inside it, their points as 16-bit offsets from the bin's south-west corner
// (0 to 65535 across the bin), and the level of its four corners: 0 sea, 1 land, 2 lake, 3 island
// in a lake, 4 pond on such an island. A piece either closes inside the bin or runs from one side
// of the bin to another; every piece keeps the dry side (odd levels) on its left.
//
// Antarctica comes twice in GSHHG 2.3: its ice front and its grounding line. The ice front is the
// coast here, since nothing drifts or sails over an ice shelf; the grounding-line pieces are left
// out, and the corner levels read are those of the ice front.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vestrand::land {

// The five resolutions, coarsest first.
enum class Resolution { Crude, Low, Intermediate, High, Full };
inline constexpr std::array<Resolution, 5> kResolutions = {Resolution::Crude, Resolution::Low,
                                                           Resolution::Intermediate,
                                                           Resolution::High, Resolution::Full};

// "crude", "low", "intermediate", "high", "full".
const char* resolutionName(Resolution r);
// The resolution of a name as resolutionName gives it; nothing for any other text.
std::optional<Resolution> parseResolution(std::string_view name);
// The letter of the file name: 'c', 'l', 'i', 'h' or 'f'.
char resolutionLetter(Resolution r);
// How far the resolution's shoreline may lie from the full one, nautical miles: the tolerance of
// the line reduction that made it (crude 25 km, low 5 km, intermediate 1 km, high 0.2 km), and
// for the full resolution the accuracy of its 1:250,000 source charts (about 0.1 km).
double resolutionToleranceNm(Resolution r);
// The Debian package that ships the resolution's file (gmt-gshhg-low ships crude, low and
// intermediate; the package gmt-common of the program gmt ships all five).
const char* resolutionPackage(Resolution r);

// The file name of a resolution: "binned_GSHHS_i.nc".
std::string shoreFileName(Resolution r);

// A file that cannot be read as GSHHG data, or a bin that cannot be read from it.
class DataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The sides of a bin, counter-clockwise from the south, and a piece that closes inside the bin.
enum Side : std::uint8_t { kSouth = 0, kEast = 1, kNorth = 2, kWest = 3, kInside = 4 };

// Offsets within a bin: 0 at the south or west side, kBinSpan at the north or east side.
inline constexpr int kBinSpan = 65535;

struct BinPoint {
  std::uint16_t x = 0;  // east of the bin's west side, 1/65535 of the bin
  std::uint16_t y = 0;  // north of the bin's south side
};

// One piece of shoreline in a bin. Closed pieces repeat their first point at the end.
struct RawPiece {
  std::uint8_t level = 1;   // of the area on the piece's higher-level side: 1 to 4
  Side entry = kInside;     // the side the first point lies on
  Side exit = kInside;      // the side the last point lies on
  std::uint32_t first = 0;  // index of the first point in RawBin::points
  std::uint32_t count = 0;  // points, 2 or more
};

struct RawBin {
  int index = 0;                          // row * columns + column
  std::array<std::uint8_t, 4> corners{};  // levels at the south-west, south-east, north-east and
                                          // north-west corners
  std::vector<RawPiece> pieces;
  std::vector<BinPoint> points;
};

// One binned file, its tables read when it is opened and its bins on request. Not thread-safe:
// the netCDF library is not; the caller serialises every use (land_mask.h does).
class GshhgFile {
 public:
  // Opens and checks the file.
  // @throws DataError naming the file and the reason when it cannot be opened, is not a binned
  //   GSHHG shoreline file, or its tables disagree with each other
  explicit GshhgFile(const std::string& path);
  ~GshhgFile();
  GshhgFile(const GshhgFile&) = delete;
  GshhgFile& operator=(const GshhgFile&) = delete;

  const std::string& path() const { return path_; }
  const std::string& version() const { return version_; }  // of GSHHG: "2.3.7"
  int binMinutes() const { return binMinutes_; }           // side of a bin, minutes of arc
  double binDegrees() const { return binMinutes_ / 60.0; }
  int columns() const { return columns_; }  // bins round a parallel
  int rows() const { return rows_; }        // bins from pole to pole
  int binCount() const { return columns_ * rows_; }
  std::size_t pointCount() const { return pointCount_; }  // over the whole file
  // The number of pieces in a bin, without reading them.
  int pieceCount(int bin) const { return binPieces_.at(bin); }

  // Reads one bin, 0 <= bin < binCount().
  // @throws DataError naming the file and the bin when its pieces cannot be read or are
  //   inconsistent (a side number above 4, a point count below 2, points beyond the file)
  RawBin readBin(int bin) const;

 private:
  int variable(const char* name) const;

  std::string path_;
  std::string version_;
  int id_ = -1;
  int binMinutes_ = 0, columns_ = 0, rows_ = 0;
  std::size_t segmentCount_ = 0, pointCount_ = 0;
  std::vector<int> binFirst_;  // first piece of each bin
  std::vector<int> binPieces_;
  std::vector<int> binCorners_;  // the four corner levels, three bits each
  int pieceInfo_ = -1, pieceStart_ = -1, pointX_ = -1, pointY_ = -1;
};

}  // namespace vestrand::land
