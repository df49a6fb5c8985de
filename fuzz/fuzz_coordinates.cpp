// The command line's number and coordinate parsers on arbitrary text: they never crash, and
// whatever they accept is a finite number within the range of its axis.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "coordinates.h"
#include "fuzz_support.h"

using vestrand::cli::Axis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  double number = 0;
  std::string error;
  if (vestrand::cli::parseNumber(text, number, error)) {
    if (!std::isfinite(number)) vestrand_fuzz::Violated("parseNumber accepted a non-finite value");
  } else if (error.empty()) {
    vestrand_fuzz::Violated("parseNumber refused without saying why");
  }

  for (const Axis axis : {Axis::Latitude, Axis::Longitude}) {
    const double limit = axis == Axis::Latitude ? 90.0 : 180.0;
    double degrees = 1234.5;
    std::string why;
    if (vestrand::cli::parseCoordinate(text, axis, degrees, why)) {
      if (!std::isfinite(degrees) || std::fabs(degrees) > limit) {
        vestrand_fuzz::Violated("parseCoordinate accepted a value out of range");
      }
      // The same text must give the same value again: the parser keeps no state.
      double again = 0;
      std::string unused;
      if (!vestrand::cli::parseCoordinate(text, axis, again, unused) || again != degrees) {
        vestrand_fuzz::Violated("parseCoordinate gave another answer the second time");
      }
    } else {
      if (why.empty()) vestrand_fuzz::Violated("parseCoordinate refused without saying why");
      if (degrees != 1234.5)
        vestrand_fuzz::Violated("parseCoordinate changed its output on failure");
    }
  }
  return 0;
}
