#include "netcdf_reader.h"

#include <fcntl.h>
#include <netcdf.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>

#include "field_time.h"

namespace vestrand::fields {
namespace {

// Attributes longer than this are no name, unit or handful of numbers: a hostile file.
constexpr std::size_t kMaxAttributeLength = 4096;
constexpr std::size_t kMaxAttributeValues = 16;
// A classic header longer than this is refused: thousands of variables, none of them a current.
constexpr std::size_t kMaxClassicHeader = std::size_t{16} << 20;

enum class Role { Time, Depth, Latitude, Longitude, Unknown };

// Walks the header of a file in a classic format (CDF-1, CDF-2, CDF-5) and tells what is wrong
// with it, or nothing. netCDF-C sizes its tables by the header's counts before it checks them
// against the file, so a count of two thousand million in a file of a few bytes would take
// seconds and gigabytes; every count here must fit the bytes that are left.
std::string classicHeaderFault(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return "the header is cut short";
  const int version = data[3];
  const std::size_t countSize = version == 5 ? 8 : 4;
  std::size_t at = 4;
  bool cut = false;
  const auto number = [&](std::size_t width) -> unsigned long long {
    if (size - at < width) {
      cut = true;
      at = size;
      return 0;
    }
    unsigned long long value = 0;
    for (std::size_t k = 0; k < width; ++k) value = value << 8 | data[at + k];
    at += width;
    return value;
  };
  const auto skip = [&](unsigned long long bytes) {
    if (bytes > size - at) {
      cut = true;
      at = size;
    } else {
      at += static_cast<std::size_t>(bytes);
    }
  };
  const auto padded = [](unsigned long long n) { return (n + 3) / 4 * 4; };
  // A count of elements of at least `smallest` bytes each.
  const auto count = [&](std::size_t smallest) -> unsigned long long {
    const unsigned long long n = number(countSize);
    if (n > (size - at) / smallest) {
      cut = true;
      at = size;
      return 0;
    }
    return n;
  };
  const auto name = [&] { skip(padded(count(1))); };
  const auto attributes = [&] {
    const unsigned long long tag = number(4);
    const unsigned long long n = count(4 + 4 + 4);
    if (tag != 0 && tag != 0x0C) cut = true;
    for (unsigned long long k = 0; k < n && !cut; ++k) {
      name();
      const unsigned long long type = number(4);
      static constexpr unsigned kWidth[] = {0, 1, 1, 2, 4, 4, 8, 1, 2, 4, 8, 8};
      if (type < 1 || type > 11) {
        cut = true;
        break;
      }
      const unsigned long long values = count(kWidth[type]);
      skip(padded(values * kWidth[type]));
    }
  };
  number(countSize);  // the number of records
  const unsigned long long dimensionTag = number(4);
  const unsigned long long dimensions = count(4 + 4 + countSize);
  if (dimensionTag != 0 && dimensionTag != 0x0A) cut = true;
  for (unsigned long long k = 0; k < dimensions && !cut; ++k) {
    name();
    number(countSize);
  }
  attributes();
  const unsigned long long variableTag = number(4);
  const unsigned long long variables = count(4 + 4 + 4 + 4 + 4 + countSize + 4);
  if (variableTag != 0 && variableTag != 0x0B) cut = true;
  for (unsigned long long k = 0; k < variables && !cut; ++k) {
    name();
    const unsigned long long ids = count(countSize);
    for (unsigned long long d = 0; d < ids && !cut; ++d) {
      if (number(countSize) >= dimensions) return "a variable names a dimension that is not there";
    }
    attributes();
    // netCDF-C sizes a variable of a type it cannot store as of zero bytes and divides by it.
    const unsigned long long type = number(4);
    if (!cut && (type < 1 || type > (version == 5 ? 11u : 6u))) {
      return "a variable is of type " + std::to_string(type) + ", which this format cannot hold";
    }
    number(countSize);             // size
    number(version == 1 ? 4 : 8);  // where its data begins
  }
  return cut ? "the header is broken or cut short" : "";
}

class File {
 public:
  explicit File(const std::string& path) : path_(path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) refuse(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) refuse("not a file");
    checkClassicHeader(info.st_size);
    if (const int status = nc_open(path.c_str(), NC_NOWRITE, &id_); status != NC_NOERR) {
      refuse(std::string("not a NetCDF file that can be read (") + nc_strerror(status) + ")");
    }
  }
  ~File() { nc_close(id_); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  [[noreturn]] void refuse(const std::string& why) const {
    throw FieldFileError("'" + path_ + "': " + why);
  }
  void check(int status, const std::string& what) const {
    if (status != NC_NOERR) refuse(what + ": " + nc_strerror(status));
  }

  // A classic file's header is checked before netCDF-C sees it; a netCDF-4 file is HDF5's to
  // check.
  void checkClassicHeader(off_t size) const {
    std::FILE* file = std::fopen(path_.c_str(), "rb");
    if (file == nullptr) refuse(std::strerror(errno));
    unsigned char magic[4] = {};
    const bool classic = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "CDF", 3) == 0;
    std::vector<std::uint8_t> header;
    if (classic) {
      // The header is read whole, up to a bound no real header reaches.
      const std::size_t length =
          static_cast<std::size_t>(std::min<off_t>(size, off_t{kMaxClassicHeader}));
      header.resize(length);
      std::rewind(file);
      header.resize(std::fread(header.data(), 1, length, file));
    }
    std::fclose(file);
    if (!classic) return;
    if (const std::string fault = classicHeaderFault(header.data(), header.size());
        !fault.empty()) {
      refuse("not a NetCDF file that can be read (" + fault + ")");
    }
  }

  int id() const { return id_; }
  const std::string& path() const { return path_; }

  std::string name(int var) const {
    char buffer[NC_MAX_NAME + 1] = {};
    if (nc_inq_varname(id_, var, buffer) != NC_NOERR) return {};
    return buffer;
  }

  // A text attribute, or nothing when it is absent, not text or too long.
  std::optional<std::string> text(int var, const char* attribute) const {
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(id_, var, attribute, &type, &length) != NC_NOERR || type != NC_CHAR ||
        length > kMaxAttributeLength) {
      return std::nullopt;
    }
    std::string value(length, '\0');
    if (length > 0 && nc_get_att_text(id_, var, attribute, value.data()) != NC_NOERR) {
      return std::nullopt;
    }
    while (!value.empty() && (value.back() == '\0' || value.back() == ' ')) value.pop_back();
    return value;
  }

  // A numeric attribute's values, or none when absent or not numeric.
  std::vector<double> numbers(int var, const char* attribute) const {
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(id_, var, attribute, &type, &length) != NC_NOERR || type == NC_CHAR ||
        type == NC_STRING || type > NC_UINT64 || length == 0) {
      return {};
    }
    if (length > kMaxAttributeValues)
      refuse(std::string("the attribute ") + attribute + " of " + name(var) +
             " holds too many values");
    std::vector<double> values(length);
    if (nc_get_att_double(id_, var, attribute, values.data()) != NC_NOERR) return {};
    return values;
  }

  std::vector<int> dimensions(int var) const {
    int count = 0;
    check(nc_inq_varndims(id_, var, &count), "the dimensions of " + name(var));
    if (count < 0 || count > NC_MAX_VAR_DIMS) refuse(name(var) + " has no sensible dimensions");
    std::vector<int> dims(static_cast<std::size_t>(count));
    if (count > 0) check(nc_inq_vardimid(id_, var, dims.data()), "the dimensions of " + name(var));
    return dims;
  }

  std::string dimensionName(int dim) const {
    char buffer[NC_MAX_NAME + 1] = {};
    if (nc_inq_dimname(id_, dim, buffer) != NC_NOERR) return "?";
    return buffer;
  }
  std::size_t length(int dim) const {
    std::size_t n = 0;
    check(nc_inq_dimlen(id_, dim, &n), "the length of the dimension " + dimensionName(dim));
    return n;
  }

  // The coordinate variable of a dimension: one-dimensional over it, of its name.
  std::optional<int> coordinate(int dim) const {
    int var = -1;
    if (nc_inq_varid(id_, dimensionName(dim).c_str(), &var) != NC_NOERR) return std::nullopt;
    const std::vector<int> dims = dimensions(var);
    if (dims.size() != 1 || dims.front() != dim) return std::nullopt;
    return var;
  }

  bool numeric(int var) const {
    nc_type type = NC_NAT;
    if (nc_inq_vartype(id_, var, &type) != NC_NOERR) return false;
    return type != NC_CHAR && type != NC_STRING && type >= NC_BYTE && type <= NC_UINT64;
  }

  // A coordinate variable's values, scale_factor and add_offset applied.
  std::vector<double> values(int var, std::size_t count) const {
    if (!numeric(var)) refuse("the coordinate " + name(var) + " is not numeric");
    std::vector<double> v(count);
    const std::size_t start = 0;
    check(nc_get_vara_double(id_, var, &start, &count, v.data()), "reading " + name(var));
    const std::vector<double> scale = numbers(var, "scale_factor");
    const std::vector<double> offset = numbers(var, "add_offset");
    for (double& x : v)
      x = x * (scale.empty() ? 1.0 : scale.front()) + (offset.empty() ? 0.0 : offset.front());
    return v;
  }

 private:
  std::string path_;
  int id_ = -1;
};

bool oneOf(const std::optional<std::string>& value, std::initializer_list<const char*> names) {
  if (!value) return false;
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return *value == n; });
}

Role roleOf(const File& f, int dim) {
  const std::string dimName = f.dimensionName(dim);
  const std::optional<int> var = f.coordinate(dim);
  if (var) {
    const auto standard = f.text(*var, "standard_name");
    const auto axis = f.text(*var, "axis");
    const auto units = f.text(*var, "units");
    if (oneOf(standard, {"time"}) || oneOf(axis, {"T", "t"}) ||
        (units && units->find(" since ") != std::string::npos)) {
      return Role::Time;
    }
    if (oneOf(standard, {"latitude", "grid_latitude"}) || oneOf(axis, {"Y", "y"}) ||
        oneOf(units,
              {"degrees_north", "degree_north", "degree_N", "degrees_N", "degreeN", "degreesN"})) {
      return Role::Latitude;
    }
    if (oneOf(standard, {"longitude", "grid_longitude"}) || oneOf(axis, {"X", "x"}) ||
        oneOf(units,
              {"degrees_east", "degree_east", "degree_E", "degrees_E", "degreeE", "degreesE"})) {
      return Role::Longitude;
    }
    if (oneOf(standard, {"depth", "height", "altitude"}) || oneOf(axis, {"Z", "z"}) ||
        f.text(*var, "positive")) {
      return Role::Depth;
    }
  }
  const std::optional<std::string> name = dimName;
  if (oneOf(name, {"time", "t", "time_counter"})) return Role::Time;
  if (oneOf(name, {"lat", "latitude", "y", "nav_lat"})) return Role::Latitude;
  if (oneOf(name, {"lon", "longitude", "x", "nav_lon"})) return Role::Longitude;
  if (oneOf(name, {"depth", "deptht", "depthu", "depthv", "lev", "level", "z", "altitude"})) {
    return Role::Depth;
  }
  return Role::Unknown;
}

// The east and north variables of the current.
std::pair<int, int> findCurrent(const File& f) {
  int count = 0;
  f.check(nc_inq_nvars(f.id(), &count), "listing the variables");
  const auto byStandardName = [&](const char* wanted) -> int {
    for (int var = 0; var < count; ++var) {
      if (f.numeric(var) && f.text(var, "standard_name") == std::optional<std::string>(wanted)) {
        return var;
      }
    }
    return -1;
  };
  const auto byName = [&](const char* wanted) -> int {
    int var = -1;
    return nc_inq_varid(f.id(), wanted, &var) == NC_NOERR && f.numeric(var) ? var : -1;
  };
  static constexpr std::array<std::array<const char*, 2>, 2> kStandardNames{{
      {"eastward_sea_water_velocity", "northward_sea_water_velocity"},
      {"surface_eastward_sea_water_velocity", "surface_northward_sea_water_velocity"},
  }};
  for (const auto& pair : kStandardNames) {
    const int u = byStandardName(pair[0]), v = byStandardName(pair[1]);
    if (u >= 0 && v >= 0) return {u, v};
  }
  static constexpr std::array<std::array<const char*, 2>, 3> kNames{
      {{"uo", "vo"}, {"u", "v"}, {"water_u", "water_v"}}};
  for (const auto& pair : kNames) {
    const int u = byName(pair[0]), v = byName(pair[1]);
    if (u >= 0 && v >= 0) return {u, v};
  }
  f.refuse(
      "no current: no variables with the standard names eastward_ and "
      "northward_sea_water_velocity (or surface_...), nor named uo/vo, u/v or water_u/water_v");
}

// m/s in one unit of the variable.
double speedUnit(const File& f, int var) {
  const std::optional<std::string> units = f.text(var, "units");
  if (!units || units->empty() ||
      oneOf(units, {"m s-1", "m/s", "m s**-1", "m.s-1", "ms-1", "m s^-1", "meter second-1",
                    "meters second-1", "metre second-1", "metres second-1", "meter/second",
                    "meters/second", "metre/second", "metres/second", "m sec-1", "m/sec"})) {
    return 1.0;
  }
  if (oneOf(units, {"cm s-1", "cm/s", "cm s**-1", "cm.s-1", "centimeter/second",
                    "centimeters/second", "cm sec-1"})) {
    return 0.01;
  }
  if (oneOf(units, {"knots", "knot", "kt", "kn", "kts"})) return 1852.0 / 3600.0;
  f.refuse("the units '" + *units + "' of " + f.name(var) + " are not a speed this program reads " +
           "(m/s, cm/s or knots)");
}

// The raw values that mark a value missing, and the valid range.
struct Packing {
  double scale = 1.0, offset = 0.0, unit = 1.0;
  std::vector<double> missing;
  double low = -std::numeric_limits<double>::infinity();
  double high = std::numeric_limits<double>::infinity();
};

Packing packingOf(const File& f, int var) {
  Packing p;
  if (const auto s = f.numbers(var, "scale_factor"); !s.empty()) p.scale = s.front();
  if (const auto o = f.numbers(var, "add_offset"); !o.empty()) p.offset = o.front();
  if (!std::isfinite(p.scale) || !std::isfinite(p.offset) || p.scale == 0.0) {
    f.refuse("the scale_factor or add_offset of " + f.name(var) + " is no usable number");
  }
  p.unit = speedUnit(f, var);
  std::vector<double> fill = f.numbers(var, "_FillValue");
  if (fill.empty()) {
    nc_type type = NC_NAT;
    nc_inq_vartype(f.id(), var, &type);
    switch (type) {
      case NC_BYTE:
        fill = {NC_FILL_BYTE};
        break;
      case NC_UBYTE:
        fill = {NC_FILL_UBYTE};
        break;
      case NC_SHORT:
        fill = {NC_FILL_SHORT};
        break;
      case NC_USHORT:
        fill = {NC_FILL_USHORT};
        break;
      case NC_INT:
        fill = {NC_FILL_INT};
        break;
      case NC_UINT:
        fill = {NC_FILL_UINT};
        break;
      case NC_FLOAT:
        fill = {NC_FILL_FLOAT};
        break;
      default:
        fill = {NC_FILL_DOUBLE};
        break;
    }
  }
  p.missing = fill;
  const std::vector<double> missing = f.numbers(var, "missing_value");
  p.missing.insert(p.missing.end(), missing.begin(), missing.end());
  if (const auto r = f.numbers(var, "valid_range"); r.size() == 2) {
    p.low = r[0];
    p.high = r[1];
  }
  if (const auto m = f.numbers(var, "valid_min"); !m.empty()) p.low = m.front();
  if (const auto m = f.numbers(var, "valid_max"); !m.empty()) p.high = m.front();
  return p;
}

}  // namespace

std::vector<Field> readNetcdfFile(const std::string& path) {
  // HDF5's signature at the start: a netCDF-4 file (HDF5 also looks further on, which netCDF-C
  // does not).
  char magic[8] = {};
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    const std::size_t got = std::fread(magic, 1, sizeof magic, file);
    std::fclose(file);
    if (got == sizeof magic && std::memcmp(magic, "\x89HDF\r\n\x1a\n", 8) == 0) {
      return readNetcdfFileApart(path, kNetcdf4Seconds);
    }
  }
  return readNetcdfFileHere(path);
}

namespace {

// The fields as bytes through a pipe, and back: sizes as 8-byte counts, numbers as they lie in
// memory (parent and child are the same program).
void putBytes(std::string& out, const void* data, std::size_t n) {
  out.append(static_cast<const char*>(data), n);
}
template <typename T>
void putVector(std::string& out, const std::vector<T>& values) {
  const std::uint64_t n = values.size();
  putBytes(out, &n, sizeof n);
  putBytes(out, values.data(), values.size() * sizeof(T));
}
void putText(std::string& out, const std::string& text) {
  putVector(out, std::vector<char>(text.begin(), text.end()));
}

std::string encodeFields(const std::vector<Field>& fields) {
  std::string out;
  const std::uint64_t count = fields.size();
  putBytes(out, &count, sizeof count);
  for (const Field& f : fields) {
    const auto quantity = static_cast<std::uint8_t>(f.quantity);
    const auto wraps = static_cast<std::uint8_t>(f.grid.wraps);
    putBytes(out, &quantity, 1);
    putBytes(out, &wraps, 1);
    putText(out, f.format);
    putText(out, f.uName);
    putText(out, f.vName);
    const std::uint64_t files = f.files.size();
    putBytes(out, &files, sizeof files);
    for (const std::string& file : f.files) putText(out, file);
    putVector(out, f.times);
    putVector(out, f.grid.lat.values());
    putVector(out, f.grid.lon.values());
    putVector(out, f.u);
    putVector(out, f.v);
  }
  return out;
}

class Decoder {
 public:
  explicit Decoder(const std::string& bytes) : bytes_(bytes) {}
  bool take(void* data, std::size_t n) {
    if (n > bytes_.size() - at_) return false;
    std::memcpy(data, bytes_.data() + at_, n);
    at_ += n;
    return true;
  }
  template <typename T>
  bool vector(std::vector<T>& values) {
    std::uint64_t n = 0;
    if (!take(&n, sizeof n) || n > (bytes_.size() - at_) / sizeof(T)) return false;
    values.resize(static_cast<std::size_t>(n));
    return take(values.data(), values.size() * sizeof(T));
  }
  bool text(std::string& value) {
    std::vector<char> chars;
    if (!vector(chars)) return false;
    value.assign(chars.begin(), chars.end());
    return true;
  }
  bool done() const { return at_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

bool decodeFields(const std::string& bytes, std::vector<Field>& fields) {
  Decoder d(bytes);
  std::uint64_t count = 0;
  if (!d.take(&count, sizeof count) || count > 16) return false;
  for (std::uint64_t k = 0; k < count; ++k) {
    Field f;
    std::uint8_t quantity = 0, wraps = 0;
    std::uint64_t files = 0;
    std::vector<double> lats, lons;
    if (!d.take(&quantity, 1) || !d.take(&wraps, 1) || quantity > 1 || !d.text(f.format) ||
        !d.text(f.uName) || !d.text(f.vName) || !d.take(&files, sizeof files) || files > 64) {
      return false;
    }
    f.files.resize(static_cast<std::size_t>(files));
    for (std::string& file : f.files) {
      if (!d.text(file)) return false;
    }
    if (!d.vector(f.times) || !d.vector(lats) || !d.vector(lons) || !d.vector(f.u) ||
        !d.vector(f.v) || lats.size() < 2 || lons.size() < 2 || f.times.empty()) {
      return false;
    }
    f.quantity = static_cast<Quantity>(quantity);
    f.grid.lat = GridAxis(std::move(lats));
    f.grid.lon = GridAxis(std::move(lons));
    f.grid.wraps = wraps != 0;
    if (f.u.size() != f.times.size() * f.pointsPerTime() || f.v.size() != f.u.size()) return false;
    fields.push_back(std::move(f));
  }
  return d.done();
}

bool writeAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t wrote = ::write(fd, data, n);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    data += wrote;
    n -= static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

std::vector<Field> readNetcdfFileApart(const std::string& path, double seconds) {
  const auto refuse = [&path](const std::string& why) -> std::vector<Field> {
    throw FieldFileError("'" + path + "': " + why);
  };
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return refuse(std::strerror(errno));
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return refuse(std::strerror(error));
  }
  if (child == 0) {
    // The child: the answer, a mark ('F' fields, 'E' a refusal) and its bytes, then away without
    // running the parent's exit handlers.
    ::close(pipeEnds[0]);
    std::string answer;
    char mark = 'E';
    try {
      answer = encodeFields(readNetcdfFileHere(path));
      mark = 'F';
    } catch (const std::exception& e) {
      answer = e.what();
    }
    const bool sent =
        writeAll(pipeEnds[1], &mark, 1) && writeAll(pipeEnds[1], answer.data(), answer.size());
    ::_exit(sent ? 0 : 1);
  }
  ::close(pipeEnds[1]);
  std::string bytes;
  bool late = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      late = true;
      break;
    }
    pollfd p{pipeEnds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    const ssize_t got = ::read(pipeEnds[0], chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(chunk.data(), static_cast<std::size_t>(got));
  }
  ::close(pipeEnds[0]);
  if (late) ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (late) {
    return refuse("not read within " + std::to_string(static_cast<long long>(seconds)) +
                  " s: the netCDF-4 (HDF5) library did not finish with it");
  }
  if (WIFSIGNALED(status)) {
    return refuse("the netCDF-4 (HDF5) library failed reading it (" +
                  std::string(strsignal(WTERMSIG(status))) + ")");
  }
  if (bytes.empty() || (bytes[0] != 'F' && bytes[0] != 'E')) {
    return refuse("the netCDF-4 (HDF5) library ended without an answer");
  }
  if (bytes[0] == 'E') throw FieldFileError(bytes.substr(1));
  std::vector<Field> fields;
  if (!decodeFields(bytes.substr(1), fields)) return refuse("the reading process answered garbled");
  return fields;
}

std::vector<Field> readNetcdfFileHere(const std::string& path) {
  const File f(path);
  const auto [uVar, vVar] = findCurrent(f);
  const std::vector<int> dims = f.dimensions(uVar);
  if (dims != f.dimensions(vVar)) {
    f.refuse(f.name(uVar) + " and " + f.name(vVar) + " are not laid out on the same dimensions");
  }
  std::vector<Role> roles;
  std::string layout;
  for (int dim : dims) {
    roles.push_back(roleOf(f, dim));
    layout += (layout.empty() ? "" : ", ") + f.dimensionName(dim);
  }
  // (time, latitude, longitude) or (time, depth, latitude, longitude), as CF recommends.
  const bool threeD = roles.size() == 3 && roles[0] == Role::Time && roles[1] == Role::Latitude &&
                      roles[2] == Role::Longitude;
  const bool fourD = roles.size() == 4 && roles[0] == Role::Time &&
                     (roles[1] == Role::Depth || roles[1] == Role::Unknown) &&
                     roles[2] == Role::Latitude && roles[3] == Role::Longitude;
  if (!threeD && !fourD) {
    f.refuse(f.name(uVar) + " is laid out as (" + layout +
             "); expected (time, [depth,] latitude, longitude), each with its coordinates");
  }
  const int timeDim = dims[0];
  const int latDim = dims[dims.size() - 2];
  const int lonDim = dims[dims.size() - 1];
  const std::size_t nt = f.length(timeDim), ny = f.length(latDim), nx = f.length(lonDim);
  if (nt == 0) f.refuse("the time axis " + f.dimensionName(timeDim) + " holds no time");
  if (static_cast<double>(nt) * static_cast<double>(ny) * static_cast<double>(nx) >
      static_cast<double>(kMaxFileValues)) {
    f.refuse(std::to_string(nt) + " times of " + std::to_string(ny) + " x " + std::to_string(nx) +
             " points are more than the " + std::to_string(kMaxFileValues) +
             " grid values this program keeps in memory");
  }

  // The level nearest the surface.
  std::size_t level = 0;
  if (fourD) {
    const std::size_t nz = f.length(dims[1]);
    const std::optional<int> depthVar = f.coordinate(dims[1]);
    if (nz == 0) f.refuse("the depth axis " + f.dimensionName(dims[1]) + " holds no level");
    if (nz > 1 && (!depthVar || roles[1] == Role::Unknown)) {
      f.refuse("the dimension " + f.dimensionName(dims[1]) + " of " + f.name(uVar) +
               " has no depths to tell which level is nearest the surface");
    }
    if (nz > 1) {
      const std::vector<double> depths = f.values(*depthVar, nz);
      for (std::size_t k = 1; k < nz; ++k) {
        if (std::fabs(depths[k]) < std::fabs(depths[level])) level = k;
      }
      if (!std::isfinite(depths[level])) f.refuse("the depths are not finite numbers");
    }
  }

  // Times.
  const std::optional<int> timeVar = f.coordinate(timeDim);
  if (!timeVar) f.refuse("the time axis " + f.dimensionName(timeDim) + " has no coordinates");
  const std::optional<std::string> timeUnits = f.text(*timeVar, "units");
  if (!timeUnits) f.refuse("the time axis " + f.name(*timeVar) + " has no units");
  std::string why;
  const std::optional<CfTimeUnit> unit = parseCfTimeUnit(*timeUnits, why);
  if (!unit) f.refuse(why);
  if (const auto calendar = f.text(*timeVar, "calendar");
      calendar && !oneOf(calendar, {"standard", "gregorian", "proleptic_gregorian", ""})) {
    f.refuse("the calendar '" + *calendar + "' is not read (only the standard Gregorian one)");
  }
  std::vector<double> times = f.values(*timeVar, nt);
  for (std::size_t k = 0; k < nt; ++k) {
    times[k] = unit->epochSeconds + times[k] * unit->secondsPerUnit;
    // A million years either way: beyond, the number is no forecast time.
    if (!std::isfinite(times[k]) || std::fabs(times[k]) > 3.2e13) {
      f.refuse("time " + std::to_string(k + 1) + " is not a date");
    }
    if (k > 0 && !(times[k] > times[k - 1])) {
      f.refuse("the times are out of order: " + isoTimeText(times[k]) + " follows " +
               isoTimeText(times[k - 1]));
    }
  }

  // The grid.
  const std::optional<int> latVar = f.coordinate(latDim), lonVar = f.coordinate(lonDim);
  if (!latVar || !lonVar) f.refuse("the latitudes or longitudes have no coordinates");
  bool latReversed = false, lonReversed = false;
  Field field;
  field.quantity = Quantity::Current;
  field.format = "NetCDF";
  field.uName = f.name(uVar);
  field.vName = f.name(vVar);
  field.files = {path};
  field.times = std::move(times);
  field.grid =
      makeGrid(path, f.values(*latVar, ny), f.values(*lonVar, nx), latReversed, lonReversed);

  // The components, one time at a time.
  const Packing pu = packingOf(f, uVar), pv = packingOf(f, vVar);
  field.u.resize(nt * ny * nx);
  field.v.resize(nt * ny * nx);
  std::vector<double> raw(ny * nx);
  for (int var : {uVar, vVar}) {
    const Packing& p = var == uVar ? pu : pv;
    std::vector<float>& out = var == uVar ? field.u : field.v;
    for (std::size_t k = 0; k < nt; ++k) {
      std::vector<std::size_t> start{k, 0, 0}, count{1, ny, nx};
      if (fourD) {
        start = {k, level, 0, 0};
        count = {1, 1, ny, nx};
      }
      f.check(nc_get_vara_double(f.id(), var, start.data(), count.data(), raw.data()),
              "reading " + f.name(var));
      for (std::size_t i = 0; i < ny; ++i) {
        const std::size_t row = latReversed ? ny - 1 - i : i;
        for (std::size_t j = 0; j < nx; ++j) {
          const std::size_t column = lonReversed ? nx - 1 - j : j;
          const double x = raw[row * nx + column];
          const bool missing = std::isnan(x) || x < p.low || x > p.high ||
                               std::find(p.missing.begin(), p.missing.end(), x) != p.missing.end();
          out[(k * ny + i) * nx + j] = missing ? std::numeric_limits<float>::quiet_NaN()
                                               : toFloat((x * p.scale + p.offset) * p.unit);
        }
      }
    }
  }
  finishField(field);
  std::vector<Field> fields;
  fields.push_back(std::move(field));
  return fields;
}

}  // namespace vestrand::fields
