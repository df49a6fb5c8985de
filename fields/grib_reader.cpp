#include "grib_reader.h"

#include <eccodes.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>

#include "field_time.h"

namespace vestrand::fields {
namespace {

// A file of more messages than this is no forecast a coordinator downloads; the bound keeps a
// file of a million tiny messages from running for minutes.
constexpr int kMaxMessages = 200000;

// ecCodes writes its complaints to standard error; the last one is kept for our message instead.
thread_local std::string lastComplaint;

void keepComplaint(const codes_context*, int level, const char* message) {
  if (level == CODES_LOG_ERROR || level == CODES_LOG_FATAL) lastComplaint = message;
}

codes_context* quietContext() {
  static std::once_flag once;
  std::call_once(once, [] {
    codes_context_set_logging_proc(codes_context_get_default(), keepComplaint);
    // GFS files carry the two wind components as two fields of one message.
    codes_grib_multi_support_on(codes_context_get_default());
  });
  return codes_context_get_default();
}

struct HandleCloser {
  void operator()(codes_handle* h) const { codes_handle_delete(h); }
};
using Handle = std::unique_ptr<codes_handle, HandleCloser>;

// Closes the file and forgets the fields of a multi-field message read from it, which ecCodes
// keeps by the file's address.
struct FileCloser {
  void operator()(std::FILE* f) const {
    codes_grib_multi_support_reset_file(codes_context_get_default(), f);
    std::fclose(f);
  }
};

class Reader {
 public:
  explicit Reader(const std::string& path) : path_(path) {}

  [[noreturn]] void refuse(const std::string& why) const {
    throw FieldFileError("'" + path_ + "': " + why);
  }

  std::string text(codes_handle* h, const char* key) const {
    char buffer[256] = {};
    std::size_t length = sizeof buffer;
    if (codes_get_string(h, key, buffer, &length) != 0) return {};
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
  }
  bool number(codes_handle* h, const char* key, long& value) const {
    return codes_get_long(h, key, &value) == 0;
  }
  long needNumber(codes_handle* h, const char* key, const std::string& what) const {
    long value = 0;
    if (!number(h, key, value)) refuse(what + " has no " + key);
    return value;
  }
  double needDouble(codes_handle* h, const char* key, const std::string& what) const {
    double value = 0.0;
    if (codes_get_double(h, key, &value) != 0 || !std::isfinite(value)) {
      refuse(what + " has no " + key);
    }
    return value;
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// One quantity's messages on one grid at one level, gathered time by time.
struct Group {
  Quantity quantity = Quantity::Wind;
  long level = 0;
  Grid grid;
  bool latReversed = false, lonReversed = false;
  long ni = 0, nj = 0;
  bool iNegative = false, jPositive = false;
  std::string uName, vName;
  // time -> the components, each empty until its message comes
  std::map<double, std::pair<std::vector<float>, std::vector<float>>> slabs;
};

// The grid values of a message in our order: latitudes increasing, longitudes increasing.
std::vector<float> gridValues(const Reader& r, codes_handle* h, const Group& g,
                              const std::string& what) {
  std::size_t count = 0;
  const std::size_t expected = static_cast<std::size_t>(g.ni) * static_cast<std::size_t>(g.nj);
  if (codes_get_size(h, "values", &count) != 0 || count != expected) {
    r.refuse(what + " holds " + std::to_string(count) + " values for a grid of " +
             std::to_string(g.ni) + " x " + std::to_string(g.nj) + " points");
  }
  // ecCodes takes memory for as many values as the data section says it codes before it decodes
  // them: never more than the grid has points.
  for (const char* key : {"numberOfValues", "numberOfCodedValues"}) {
    long coded = 0;
    if (r.number(h, key, coded) && (coded < 0 || static_cast<std::size_t>(coded) > expected)) {
      r.refuse(what + " codes " + std::to_string(coded) + " values for a grid of " +
               std::to_string(g.ni) + " x " + std::to_string(g.nj) + " points");
    }
  }
  std::vector<double> raw(count);
  std::size_t got = count;
  lastComplaint.clear();
  if (const int error = codes_get_double_array(h, "values", raw.data(), &got);
      error != 0 || got != count) {
    r.refuse(what + ": its values cannot be decoded (" +
             (lastComplaint.empty() ? std::string(codes_get_error_message(error)) : lastComplaint) +
             ")");
  }
  long bitmap = 0;
  double missingValue = std::numeric_limits<double>::quiet_NaN();
  if (codes_get_long(h, "bitmapPresent", &bitmap) == 0 && bitmap != 0) {
    codes_get_double(h, "missingValue", &missingValue);
  }
  std::vector<float> values(count);
  const std::size_t ni = static_cast<std::size_t>(g.ni), nj = static_cast<std::size_t>(g.nj);
  for (std::size_t row = 0; row < nj; ++row) {
    // The grid's first row lies at its first latitude; makeGrid reversed the axis if that was
    // the northernmost.
    const std::size_t i = g.latReversed ? nj - 1 - row : row;
    for (std::size_t col = 0; col < ni; ++col) {
      const std::size_t j = g.lonReversed ? ni - 1 - col : col;
      const double value = raw[row * ni + col];
      values[i * ni + j] =
          value == missingValue ? std::numeric_limits<float>::quiet_NaN() : toFloat(value);
    }
  }
  return values;
}

Grid gribGrid(const Reader& r, codes_handle* h, const std::string& what, long& ni, long& nj,
              bool& latReversed, bool& lonReversed) {
  const std::string type = r.text(h, "gridType");
  if (type != "regular_ll") {
    r.refuse(what + " lies on a '" + type +
             "' grid; only regular latitude-longitude grids (regular_ll) are read");
  }
  ni = r.needNumber(h, "Ni", what);
  nj = r.needNumber(h, "Nj", what);
  if (ni < 2 || nj < 2) {
    r.refuse(what + " lies on a grid of " + std::to_string(ni) + " x " + std::to_string(nj) +
             " points, too few to interpolate between (at least 2 x 2)");
  }
  if (static_cast<double>(ni) * static_cast<double>(nj) > static_cast<double>(kMaxFileValues)) {
    r.refuse(what + " lies on a grid of " + std::to_string(ni) + " x " + std::to_string(nj) +
             " points, more than the " + std::to_string(kMaxFileValues) +
             " this program keeps in memory");
  }
  long consecutive = 0, alternate = 0;
  if (r.number(h, "jPointsAreConsecutive", consecutive) && consecutive != 0) {
    r.refuse(what + " stores its grid column by column, which is not read");
  }
  if (r.number(h, "alternativeRowScanning", alternate) && alternate != 0) {
    r.refuse(what + " scans alternate rows in opposite directions, which is not read");
  }
  long iNegative = 0;
  r.number(h, "iScansNegatively", iNegative);
  const double lat1 = r.needDouble(h, "latitudeOfFirstGridPointInDegrees", what);
  const double lat2 = r.needDouble(h, "latitudeOfLastGridPointInDegrees", what);
  const double lon1 = r.needDouble(h, "longitudeOfFirstGridPointInDegrees", what);
  double lon2 = r.needDouble(h, "longitudeOfLastGridPointInDegrees", what);
  // A grid across the meridian of the first point's 360: 350..10 runs east through 0.
  if (iNegative == 0 && lon2 < lon1) lon2 += 360.0;
  if (iNegative != 0 && lon2 > lon1) lon2 -= 360.0;
  std::vector<double> lats(static_cast<std::size_t>(nj)), lons(static_cast<std::size_t>(ni));
  for (std::size_t k = 0; k < lats.size(); ++k) {
    lats[k] = lat1 + (lat2 - lat1) * static_cast<double>(k) / static_cast<double>(nj - 1);
  }
  for (std::size_t k = 0; k < lons.size(); ++k) {
    lons[k] = lon1 + (lon2 - lon1) * static_cast<double>(k) / static_cast<double>(ni - 1);
  }
  try {
    return makeGrid(r.path(), std::move(lats), std::move(lons), latReversed, lonReversed);
  } catch (const FieldFileError& e) {
    r.refuse(what + ": " + std::string(e.what()).substr(r.path().size() + 4));
  }
}

// The units of a forecast step whose length ecCodes knows: GRIB2's code table 4.4 and GRIB1's
// table 4, less the decades, normals and centuries no forecast uses. Asked for the validity of a
// step in a unit past these, ecCodes loops without end.
bool knownStepUnit(long edition, long unit) {
  static constexpr long kGrib2[] = {0, 1, 2, 3, 4, 10, 11, 12, 13};
  static constexpr long kGrib1[] = {0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 254};
  const auto known = [unit](const auto& units) {
    return std::find(std::begin(units), std::end(units), unit) != std::end(units);
  };
  return edition == 1 ? known(kGrib1) : known(kGrib2);
}

double validity(const Reader& r, codes_handle* h, const std::string& what) {
  long edition = 2, unit = 1;
  r.number(h, "editionNumber", edition);
  if (r.number(h, edition == 1 ? "unitOfTimeRange" : "indicatorOfUnitOfTimeRange", unit) &&
      !knownStepUnit(edition, unit)) {
    r.refuse(what + " counts its forecast step in unit " + std::to_string(unit) +
             ", which is no unit of time that is read");
  }
  const long date = r.needNumber(h, "validityDate", what);
  const long time = r.needNumber(h, "validityTime", what);
  const long year = date / 10000, month = date / 100 % 100, day = date % 100;
  const long hour = time / 100, minute = time % 100;
  if (date < 0 || month < 1 || month > 12 || day < 1 || day > 31 || time < 0 || hour > 23 ||
      minute > 59) {
    r.refuse(what + " is valid at date " + std::to_string(date) + " time " + std::to_string(time) +
             ", which is no date and time");
  }
  return static_cast<double>(daysFromCivil(year, static_cast<int>(month), static_cast<int>(day))) *
             86400.0 +
         static_cast<double>(hour * 3600 + minute * 60);
}

// Walks the messages of the file by their headers alone (seeking over their bodies) and refuses
// a GRIB2 message whose sections do not tile it exactly up to its closing 7777: ecCodes reads the
// fields of a message of several fields without that check and frees memory twice on some.
void checkStructure(const Reader& r, std::FILE* file, long long size) {
  const auto at = [&](long long offset, unsigned char* bytes, std::size_t n) {
    return offset >= 0 && offset + static_cast<long long>(n) <= size &&
           std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(bytes, 1, n, file) == n;
  };
  const auto number = [](const unsigned char* bytes, std::size_t n) {
    unsigned long long value = 0;
    for (std::size_t k = 0; k < n; ++k) value = value << 8 | bytes[k];
    return value;
  };
  // The mark is searched a block at a time, as ecCodes searches it.
  std::vector<unsigned char> block(1 << 16);
  long long offset = 0;
  int message = 0;
  while (offset < size) {
    const std::size_t n = static_cast<std::size_t>(
        std::min<long long>(static_cast<long long>(block.size()), size - offset));
    if (!at(offset, block.data(), n)) r.refuse("cannot be read");
    const std::string_view text(reinterpret_cast<const char*>(block.data()), n);
    const std::size_t mark = text.find("GRIB");
    if (mark == std::string_view::npos) {
      offset += static_cast<long long>(n > 3 ? n - 3 : n);
      continue;
    }
    const long long start = offset + static_cast<long long>(mark);
    ++message;
    const std::string what = "message " + std::to_string(message);
    unsigned char head[16];
    if (!at(start, head, sizeof head)) r.refuse(what + " is cut short");
    unsigned long long length = 0;
    if (head[7] == 1) {
      length = number(head + 4, 3);
    } else if (head[7] == 2) {
      length = number(head + 8, 8);
    } else {
      r.refuse(what + " is of GRIB edition " + std::to_string(head[7]) + ", not 1 or 2");
    }
    // A GRIB1 message beyond 8 MB counts its length in units of 120 bytes, less a little that its
    // last sections tell; ecCodes measures it. Whatever it claims must lie in the file: ecCodes
    // takes memory for all of it before it reads, and keeps that memory.
    const bool large = head[7] == 1 && (length & 0x800000) != 0;
    const unsigned long long units = length & 0x7FFFFF;
    const unsigned long long least = !large ? length : units == 0 ? 0 : units * 120 - 120 + 4;
    if (least < 20 || least > static_cast<unsigned long long>(size - start)) {
      r.refuse(what + " is cut short: it claims " +
               std::to_string(large ? (length & 0x7FFFFF) * 120 : length) + " bytes");
    }
    if (large) {
      offset = start + 4;
      continue;
    }
    const long long end = start + static_cast<long long>(length);
    if (head[7] == 2) {
      long long section = start + 16;
      int previous = 0;
      while (section < end - 4) {
        unsigned char header[5];
        if (!at(section, header, sizeof header)) r.refuse(what + " is cut short");
        const unsigned long long sectionLength = number(header, 4);
        if (header[4] < 1 || header[4] > 7 || sectionLength < 5 ||
            static_cast<long long>(sectionLength) > end - 4 - section) {
          r.refuse(what + " is broken: its sections do not fit its length");
        }
        // Sections 1, 2 (optional), 3 to 7; a further field of the message starts again at 2, 3
        // or 4 after a 7. ecCodes splits the fields of a message without that check and frees
        // memory twice on a message that goes back otherwise.
        const int kind = header[4];
        const bool next = previous == 0   ? kind == 1
                          : previous == 1 ? kind == 2 || kind == 3
                          : previous == 7 ? kind >= 2 && kind <= 4
                                          : kind == previous + 1;
        if (!next) {
          r.refuse(what + " is broken: section " + std::to_string(kind) + " follows section " +
                   std::to_string(previous));
        }
        previous = kind;
        section += static_cast<long long>(sectionLength);
      }
      if (previous != 7) r.refuse(what + " is broken: its last section is not section 7");
    }
    unsigned char closing[4];
    if (!at(end - 4, closing, sizeof closing) || std::memcmp(closing, "7777", 4) != 0) {
      r.refuse(what + " is broken: it does not end in 7777");
    }
    offset = end;
  }
  std::rewind(file);
}

}  // namespace

std::vector<Field> readGribFile(const std::string& path) {
  const Reader r(path);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) r.refuse(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) r.refuse("not a file");
  codes_context* context = quietContext();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) r.refuse(std::strerror(errno));
  checkStructure(r, file.get(), static_cast<long long>(info.st_size));

  std::vector<Group> groups;
  std::set<std::string> others;
  std::size_t values = 0;
  int messages = 0;
  for (;;) {
    int error = 0;
    lastComplaint.clear();
    Handle h(codes_handle_new_from_file(context, file.get(), PRODUCT_GRIB, &error));
    if (!h) {
      if (error == 0) break;
      r.refuse(
          "message " + std::to_string(messages + 1) + " is broken or cut short (" +
          (lastComplaint.empty() ? std::string(codes_get_error_message(error)) : lastComplaint) +
          ")");
    }
    if (++messages > kMaxMessages) {
      r.refuse("more than " + std::to_string(kMaxMessages) + " messages");
    }
    const std::string name = r.text(h.get(), "shortName");
    const std::string levelType = r.text(h.get(), "typeOfLevel");
    long level = 0;
    r.number(h.get(), "level", level);
    const bool tenMetres = levelType == "heightAboveGround" && level == 10;
    bool isU = false;
    Quantity quantity = Quantity::Wind;
    if (name == "10u" || name == "10v" || (tenMetres && (name == "u" || name == "v"))) {
      isU = name.back() == 'u';
    } else if (name == "ucurr" || name == "vcurr") {
      quantity = Quantity::Current;
      isU = name == "ucurr";
    } else {
      if (others.size() < 12) others.insert(name.empty() ? "?" : name);
      continue;
    }
    const std::string what = "message " + std::to_string(messages) + " (" + name + ")";
    Group candidate;
    candidate.quantity = quantity;
    candidate.level = quantity == Quantity::Current ? level : 0;
    candidate.grid = gribGrid(r, h.get(), what, candidate.ni, candidate.nj, candidate.latReversed,
                              candidate.lonReversed);
    const double time = validity(r, h.get(), what);
    auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
      return g.quantity == quantity && g.level == candidate.level && g.grid == candidate.grid &&
             g.latReversed == candidate.latReversed && g.lonReversed == candidate.lonReversed;
    });
    if (group == groups.end()) {
      groups.push_back(std::move(candidate));
      group = groups.end() - 1;
    }
    (isU ? group->uName : group->vName) = name;
    auto& slab = group->slabs[time];
    std::vector<float>& target = isU ? slab.first : slab.second;
    if (!target.empty()) {
      r.refuse(what + " gives the " + quantityName(quantity) + " of " + isoTimeText(time) +
               " a second time");
    }
    values += static_cast<std::size_t>(group->ni * group->nj);
    if (values > 2 * kMaxFileValues) {
      r.refuse("the winds and currents hold more than " + std::to_string(kMaxFileValues) +
               " grid values a component, more than this program keeps in memory");
    }
    target = gridValues(r, h.get(), *group, what);
  }
  if (messages == 0) r.refuse("no GRIB message in the file");

  // Of a current given at several levels on one grid, the level nearest the surface.
  std::erase_if(groups, [&](const Group& g) {
    return g.quantity == Quantity::Current &&
           std::any_of(groups.begin(), groups.end(), [&](const Group& other) {
             return other.quantity == Quantity::Current && other.grid == g.grid &&
                    std::labs(other.level) < std::labs(g.level);
           });
  });
  std::stable_sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
    return a.quantity == Quantity::Wind && b.quantity == Quantity::Current;
  });

  std::vector<Field> fields;
  for (Group& g : groups) {
    Field field;
    field.quantity = g.quantity;
    field.format = "GRIB";
    field.uName = g.uName.empty() ? "?" : g.uName;
    field.vName = g.vName.empty() ? "?" : g.vName;
    field.files = {path};
    field.grid = std::move(g.grid);
    for (auto& [time, slab] : g.slabs) {
      if (slab.first.empty() || slab.second.empty()) {
        r.refuse(std::string("the ") + quantityName(g.quantity) + " of " + isoTimeText(time) +
                 " has " + (slab.first.empty() ? "no east component (" : "no north component (") +
                 (g.quantity == Quantity::Wind ? (slab.first.empty() ? "10u" : "10v")
                                               : (slab.first.empty() ? "ucurr" : "vcurr")) +
                 ")");
      }
      field.times.push_back(time);
      field.u.insert(field.u.end(), slab.first.begin(), slab.first.end());
      field.v.insert(field.v.end(), slab.second.begin(), slab.second.end());
      std::vector<float>().swap(slab.first);
      std::vector<float>().swap(slab.second);
    }
    finishField(field);
    fields.push_back(std::move(field));
  }
  if (fields.empty()) {
    std::string names;
    for (const std::string& name : others) names += (names.empty() ? "" : ", ") + name;
    r.refuse("no 10 m wind (10u/10v, or u/v at 10 m above ground) and no current " +
             std::string("(ucurr/vcurr); it holds ") + names);
  }
  return fields;
}

}  // namespace vestrand::fields
