// What both forecast-file fuzz targets check of whatever a reader returns: the field's shape
// holds together and sampling it anywhere stays inside its arrays.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "field.h"
#include "fuzz_support.h"

namespace vestrand_fuzz {

// Runs `read` on the bytes written to a file named `name`; a refusal is a fine answer.
template <typename Reader>
void FuzzFieldReader(const std::uint8_t* data, std::size_t size, const char* name, Reader read) {
  static const std::string path = ScratchFolder() + "/" + name;
  WriteFileOrDie(path, data, size);
  std::vector<vestrand::fields::Field> fields;
  try {
    fields = read(path);
  } catch (const vestrand::fields::FieldFileError&) {
    return;
  }
  if (fields.empty()) Violated("a file was read without a field");
  for (const vestrand::fields::Field& f : fields) {
    if (f.times.empty()) Violated("a field has no time");
    for (std::size_t k = 1; k < f.times.size(); ++k) {
      if (!(f.times[k] > f.times[k - 1])) Violated("the times are not increasing");
    }
    if (f.u.size() != f.times.size() * f.pointsPerTime() || f.v.size() != f.u.size()) {
      Violated("the values do not fill the grid at every time");
    }
    const double latStep = (f.grid.lat.back() - f.grid.lat.front()) / 7.0;
    const double lonStep = (f.grid.lon.back() - f.grid.lon.front() + 20.0) / 7.0;
    for (int a = 0; a < 8; ++a) {
      for (int b = 0; b < 8; ++b) {
        double u = 0, v = 0;
        const double lat = f.grid.lat.front() + a * latStep;
        const double lon = f.grid.lon.front() - 10.0 + b * lonStep;
        const double time = f.times.front() + (f.times.back() - f.times.front()) * b / 7.0;
        if (vestrand::fields::sampleField(f, lat, lon, time, u, v) ==
                vestrand::fields::Cover::Value &&
            (!std::isfinite(u) || !std::isfinite(v))) {
          Violated("a sample with a value is not finite");
        }
      }
    }
  }
}

}  // namespace vestrand_fuzz
