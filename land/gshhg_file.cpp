#include "gshhg_file.h"

#include <netcdf.h>

#include <algorithm>
#include <array>

namespace vestrand::land {
namespace {

// What each resolution is: its name, letter, tolerance and package.
struct ResolutionFacts {
  const char* name;
  char letter;
  double toleranceKm;
  const char* package;
};
constexpr std::array<ResolutionFacts, 5> kFacts = {{
    {"crude", 'c', 25.0, "gmt-gshhg-low"},
    {"low", 'l', 5.0, "gmt-gshhg-low"},
    {"intermediate", 'i', 1.0, "gmt-gshhg-low"},
    {"high", 'h', 0.2, "gmt-gshhg-high"},
    {"full", 'f', 0.1, "gmt-gshhg-full"},
}};
constexpr double kKmPerNm = 1.852;

const ResolutionFacts& facts(Resolution r) {
  return kFacts[static_cast<std::size_t>(r)];
}

// The bits of a piece's information word: exit side, entry side, level, then the point count.
int exitOf(int info) {
  return info & 7;
}
int entryOf(int info) {
  return (info >> 3) & 7;
}
int levelOf(int info) {
  return (info >> 6) & 7;
}
int countOf(int info) {
  return static_cast<int>(static_cast<unsigned>(info) >> 9);
}
// GSHHG 2.3 gives the Antarctic grounding line this level; the ice front carries level 1.
constexpr int kGroundingLineLevel = 6;

}  // namespace

const char* resolutionName(Resolution r) {
  return facts(r).name;
}

std::optional<Resolution> parseResolution(std::string_view name) {
  for (Resolution r : kResolutions) {
    if (name == facts(r).name) return r;
  }
  return std::nullopt;
}

char resolutionLetter(Resolution r) {
  return facts(r).letter;
}

double resolutionToleranceNm(Resolution r) {
  return facts(r).toleranceKm / kKmPerNm;
}

const char* resolutionPackage(Resolution r) {
  return facts(r).package;
}

std::string shoreFileName(Resolution r) {
  return std::string("binned_GSHHS_") + facts(r).letter + ".nc";
}

GshhgFile::GshhgFile(const std::string& path) : path_(path) {
  const auto fail = [this](const std::string& reason) {
    if (id_ >= 0) nc_close(id_);
    id_ = -1;
    throw DataError("cannot read the shorelines '" + path_ + "': " + reason);
  };
  if (const int status = nc_open(path.c_str(), NC_NOWRITE, &id_); status != NC_NOERR) {
    id_ = -1;
    fail(nc_strerror(status));
  }
  const char* const names[] = {"Bin_size_in_minutes",
                               "N_bins_in_360_longitude_range",
                               "N_bins_in_180_degree_latitude_range",
                               "N_bins_in_file",
                               "N_segments_in_file",
                               "N_points_in_file"};
  int scalars[6] = {};
  for (int i = 0; i < 6; ++i) {
    int var = -1;
    if (nc_inq_varid(id_, names[i], &var) != NC_NOERR ||
        nc_get_var1_int(id_, var, std::array<std::size_t, 1>{0}.data(), &scalars[i]) != NC_NOERR) {
      fail(std::string("no variable ") + names[i] + ": not a binned GSHHG shoreline file");
    }
  }
  binMinutes_ = scalars[0];
  columns_ = scalars[1];
  rows_ = scalars[2];
  if (binMinutes_ <= 0 || 21600 % binMinutes_ != 0 || columns_ * binMinutes_ != 21600 ||
      rows_ * binMinutes_ != 10800 || scalars[3] != columns_ * rows_ || scalars[4] < 0 ||
      scalars[5] < 0) {
    fail("its bin sizes and counts do not agree");
  }
  segmentCount_ = static_cast<std::size_t>(scalars[4]);
  pointCount_ = static_cast<std::size_t>(scalars[5]);

  std::array<char, 64> version{};
  std::size_t length = 0;
  if (nc_inq_attlen(id_, NC_GLOBAL, "version", &length) == NC_NOERR && length < version.size() &&
      nc_get_att_text(id_, NC_GLOBAL, "version", version.data()) == NC_NOERR) {
    version_.assign(version.data(), length);
  }

  const auto readTable = [&](const char* name, std::vector<int>& table, bool isShort) {
    table.assign(static_cast<std::size_t>(binCount()), 0);
    const int var = variable(name);
    const std::size_t start = 0, count = table.size();
    int status;
    if (isShort) {
      std::vector<short> values(count);
      status = nc_get_vara_short(id_, var, &start, &count, values.data());
      std::copy(values.begin(), values.end(), table.begin());
    } else {
      status = nc_get_vara_int(id_, var, &start, &count, table.data());
    }
    if (status != NC_NOERR) fail(std::string(name) + ": " + nc_strerror(status));
  };
  try {
    readTable("Id_of_first_segment_in_a_bin", binFirst_, false);
    readTable("N_segments_in_a_bin", binPieces_, true);
    readTable("Embedded_node_levels_in_a_bin", binCorners_, true);
    pieceInfo_ = variable("Embedded_npts_levels_exit_entry_for_a_segment");
    pieceStart_ = variable("Id_of_first_point_in_a_segment");
    pointX_ = variable("Relative_longitude_from_SW_corner_of_bin");
    pointY_ = variable("Relative_latitude_from_SW_corner_of_bin");
  } catch (const DataError& e) {
    fail(e.what());
  }
  for (int bin = 0; bin < binCount(); ++bin) {
    const long long first = binFirst_[bin], count = binPieces_[bin];
    if (count < 0 ||
        (count > 0 && (first < 0 || first + count > static_cast<long long>(segmentCount_)))) {
      fail("bin " + std::to_string(bin) + " names pieces beyond the file");
    }
  }
}

GshhgFile::~GshhgFile() {
  if (id_ >= 0) nc_close(id_);
}

int GshhgFile::variable(const char* name) const {
  int var = -1;
  if (nc_inq_varid(id_, name, &var) != NC_NOERR) {
    throw DataError(std::string("no variable ") + name + ": not a binned GSHHG shoreline file");
  }
  return var;
}

RawBin GshhgFile::readBin(int bin) const {
  const auto fail = [&](const std::string& reason) -> DataError {
    return DataError("cannot read bin " + std::to_string(bin) + " of the shorelines '" + path_ +
                     "': " + reason);
  };
  if (bin < 0 || bin >= binCount()) throw fail("no such bin");
  RawBin raw;
  raw.index = bin;
  const int corners = binCorners_[bin];
  for (int k = 0; k < 4; ++k) {
    raw.corners[k] = static_cast<std::uint8_t>((corners >> (9 - 3 * k)) & 7);
  }
  const std::size_t count = static_cast<std::size_t>(binPieces_[bin]);
  if (count == 0) return raw;
  const std::size_t start = static_cast<std::size_t>(binFirst_[bin]);
  std::vector<int> info(count), pointStart(count);
  int status = nc_get_vara_int(id_, pieceInfo_, &start, &count, info.data());
  if (status == NC_NOERR)
    status = nc_get_vara_int(id_, pieceStart_, &start, &count, pointStart.data());
  if (status != NC_NOERR) throw fail(nc_strerror(status));

  // The bin's points lie together in the file: read them in one stretch.
  long long low = -1, high = -1;
  for (std::size_t i = 0; i < count; ++i) {
    const int n = countOf(info[i]);
    if (n < 2 || entryOf(info[i]) > kInside || exitOf(info[i]) > kInside ||
        (entryOf(info[i]) == kInside) != (exitOf(info[i]) == kInside) || pointStart[i] < 0 ||
        static_cast<std::size_t>(pointStart[i]) + static_cast<std::size_t>(n) > pointCount_) {
      throw fail("piece " + std::to_string(start + i) + " is malformed");
    }
    if (levelOf(info[i]) == kGroundingLineLevel) continue;
    if (levelOf(info[i]) < 1 || levelOf(info[i]) > 4) {
      throw fail("piece " + std::to_string(start + i) + " has level " +
                 std::to_string(levelOf(info[i])));
    }
    low = low < 0 ? pointStart[i] : std::min<long long>(low, pointStart[i]);
    high = std::max<long long>(high, static_cast<long long>(pointStart[i]) + n);
  }
  if (low < 0) return raw;
  const std::size_t from = static_cast<std::size_t>(low);
  const std::size_t span = static_cast<std::size_t>(high - low);
  std::vector<short> xs(span), ys(span);
  status = nc_get_vara_short(id_, pointX_, &from, &span, xs.data());
  if (status == NC_NOERR) status = nc_get_vara_short(id_, pointY_, &from, &span, ys.data());
  if (status != NC_NOERR) throw fail(nc_strerror(status));

  for (std::size_t i = 0; i < count; ++i) {
    if (levelOf(info[i]) == kGroundingLineLevel) continue;
    RawPiece piece;
    piece.level = static_cast<std::uint8_t>(levelOf(info[i]));
    piece.entry = static_cast<Side>(entryOf(info[i]));
    piece.exit = static_cast<Side>(exitOf(info[i]));
    piece.first = static_cast<std::uint32_t>(raw.points.size());
    piece.count = static_cast<std::uint32_t>(countOf(info[i]));
    const std::size_t offset = static_cast<std::size_t>(pointStart[i]) - from;
    for (std::size_t k = 0; k < piece.count; ++k) {
      // Stored as signed shorts, meant as 0..65535.
      raw.points.push_back(
          {static_cast<std::uint16_t>(xs[offset + k]), static_cast<std::uint16_t>(ys[offset + k])});
    }
    raw.pieces.push_back(piece);
  }
  return raw;
}

}  // namespace vestrand::land
