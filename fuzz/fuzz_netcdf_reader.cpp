// The NetCDF reader on arbitrary bytes: cut headers, wrong layouts, times out of order, huge
// dimensions. It must refuse or return fields that hold together. The reader runs in this
// process, netCDF-4 files too, so that the fuzzer sees into the libraries.
#include <cstddef>
#include <cstdint>

#include "fuzz_field_support.h"
#include "netcdf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vestrand_fuzz::FuzzFieldReader(data, size, "fuzz.nc", vestrand::fields::readNetcdfFileHere);
  return 0;
}
