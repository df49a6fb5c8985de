// The GRIB reader on arbitrary bytes: cut and bent messages, grids that disagree with their
// values, huge dimensions. It must refuse or return fields that hold together.
#include <cstddef>
#include <cstdint>

#include "fuzz_field_support.h"
#include "grib_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vestrand_fuzz::FuzzFieldReader(data, size, "fuzz.grib2", vestrand::fields::readGribFile);
  return 0;
}
