#include "forcing.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "grib_reader.h"
#include "netcdf_reader.h"

namespace vestrand::fields {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// The kind of a file by its first bytes: 'N' NetCDF, 'G' GRIB, '?' neither.
char kindOf(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    throw FieldFileError("'" + path + "': " + std::strerror(errno));
  }
  // A GRIB message may follow a heading of some kilobytes (a bulletin, a local header).
  std::vector<char> head(std::size_t{1} << 16);
  const std::size_t n = std::fread(head.data(), 1, head.size(), file);
  std::fclose(file);
  const std::string_view bytes(head.data(), n);
  if (bytes.starts_with(std::string_view("CDF\x01", 4)) ||
      bytes.starts_with(std::string_view("CDF\x02", 4)) ||
      bytes.starts_with(std::string_view("CDF\x05", 4)) || bytes.starts_with("\x89HDF\r\n")) {
    return 'N';
  }
  return bytes.find("GRIB") != std::string_view::npos ? 'G' : '?';
}

}  // namespace

std::vector<Field> readFieldFile(const std::string& path) {
  switch (kindOf(path)) {
    case 'N':
      return readNetcdfFile(path);
    case 'G':
      return readGribFile(path);
    default:
      throw FieldFileError("'" + path + "': neither a GRIB nor a NetCDF file");
  }
}

void Forcing::setConstantWind(double u, double v) {
  wind_.hasConstant = true;
  wind_.u = u;
  wind_.v = v;
}

void Forcing::setConstantCurrent(double u, double v) {
  current_.hasConstant = true;
  current_.u = u;
  current_.v = v;
}

void Forcing::add(Field field) {
  (field.quantity == Quantity::Wind ? wind_ : current_).fields.add(std::move(field));
}

std::string Forcing::outsideText(Quantity quantity, double lat, double lon, double time) const {
  return (quantity == Quantity::Wind ? wind_ : current_).fields.outsideText(lat, lon, time);
}

Forcing readForcing(const std::vector<std::string>& windFiles,
                    const std::vector<std::string>& currentFiles) {
  Forcing forcing;
  // A file named for both quantities (a GRIB file of wind and current) is read once: the
  // current's fields wait here from the wind's reading until their turn.
  std::vector<std::pair<std::string, std::vector<Field>>> kept;
  for (const Quantity quantity : {Quantity::Wind, Quantity::Current}) {
    const std::vector<std::string>& files = quantity == Quantity::Wind ? windFiles : currentFiles;
    std::vector<std::string> read;
    for (const std::string& path : files) {
      if (std::find(read.begin(), read.end(), path) != read.end()) continue;
      read.push_back(path);
      std::vector<Field> found;
      const auto waiting = std::find_if(kept.begin(), kept.end(),
                                        [&path](const auto& k) { return k.first == path; });
      if (waiting != kept.end()) {
        found = std::move(waiting->second);
      } else {
        found = readFieldFile(path);
      }
      bool any = false;
      std::vector<Field> others;
      for (Field& field : found) {
        if (field.quantity != quantity) {
          others.push_back(std::move(field));
          continue;
        }
        any = true;
        forcing.add(std::move(field));
      }
      if (!any) {
        throw FieldFileError("'" + path + "' holds no " + quantityName(quantity) +
                             ", yet it is given as a " + quantityName(quantity) + " file");
      }
      if (quantity == Quantity::Wind &&
          std::find(currentFiles.begin(), currentFiles.end(), path) != currentFiles.end()) {
        kept.emplace_back(path, std::move(others));
      }
    }
  }
  return forcing;
}

double towardDegrees(double u, double v) {
  if (u == 0.0 && v == 0.0) return 0.0;
  double degrees = std::atan2(u, v) * kDegrees;
  if (degrees < 0.0) degrees += 360.0;
  return degrees >= 360.0 ? 0.0 : degrees;
}

double fromDegrees(double u, double v) {
  return towardDegrees(-u, -v);
}

void componentsOf(double degrees, double knots, double& u, double& v) {
  const double speed = knots * kMetresPerSecondInKnots;
  u = speed * std::sin(degrees / kDegrees);
  v = speed * std::cos(degrees / kDegrees);
}

}  // namespace vestrand::fields
