// The navigation library's number, coordinate and position readers on arbitrary text: they never
// crash, whatever they accept is finite and within range, and the texts written for people of
// what they accept read back to within their last digit.
#include <position_text.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"

using vestrand::Axis;
using vestrand::CoordinateForm;

namespace {

double limitOf(Axis axis) {
  return axis == Axis::Latitude ? 90.0 : 180.0;
}

// Each text form of an accepted coordinate must read back as nearly the same coordinate.
void checkTextsReadBack(double degrees, Axis axis) {
  const struct {
    CoordinateForm form;
    double halfLastDigit;
  } forms[] = {{CoordinateForm::DegreesMinutes, 0.005 / 60},
               {CoordinateForm::DegreesMinutesSeconds, 0.05 / 3600},
               {CoordinateForm::Degrees, 5e-7}};
  for (const auto& f : forms) {
    const std::string text = vestrand::coordinateText(degrees, axis, f.form);
    double back = 0;
    std::string why;
    if (!vestrand::parseCoordinate(text, axis, back, why)) {
      vestrand_fuzz::Violated("a coordinate text did not read back");
    } else if (std::fabs(back - degrees) > f.halfLastDigit + 1e-9) {
      vestrand_fuzz::Violated("a coordinate text read back as another coordinate");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  double number = 0;
  std::string error;
  if (vestrand::parseNumber(text, number, error)) {
    if (!std::isfinite(number)) vestrand_fuzz::Violated("parseNumber accepted a non-finite value");
  } else if (error.empty()) {
    vestrand_fuzz::Violated("parseNumber refused without saying why");
  }

  for (const Axis axis : {Axis::Latitude, Axis::Longitude}) {
    double degrees = 1234.5;
    std::string why;
    if (vestrand::parseCoordinate(text, axis, degrees, why)) {
      if (!std::isfinite(degrees) || std::fabs(degrees) > limitOf(axis)) {
        vestrand_fuzz::Violated("parseCoordinate accepted a value out of range");
      }
      // The same text must give the same value again: the parser keeps no state.
      double again = 0;
      std::string unused;
      if (!vestrand::parseCoordinate(text, axis, again, unused) || again != degrees) {
        vestrand_fuzz::Violated("parseCoordinate gave another answer the second time");
      }
      checkTextsReadBack(degrees, axis);
    } else {
      if (why.empty()) vestrand_fuzz::Violated("parseCoordinate refused without saying why");
      if (degrees != 1234.5)
        vestrand_fuzz::Violated("parseCoordinate changed its output on failure");
    }
  }

  double lat = 1234.5, lon = 1234.5;
  std::string why;
  if (vestrand::parsePosition(text, lat, lon, why)) {
    if (!std::isfinite(lat) || std::fabs(lat) > 90.0 || !std::isfinite(lon) ||
        std::fabs(lon) > 180.0) {
      vestrand_fuzz::Violated("parsePosition accepted a position out of range");
    }
  } else {
    const bool named = why.starts_with("latitude: ") || why.starts_with("longitude: ") ||
                       why.starts_with("position: ");
    if (!named) vestrand_fuzz::Violated("parsePosition refused without naming the part");
    if (lat != 1234.5 || lon != 1234.5)
      vestrand_fuzz::Violated("parsePosition changed its output on failure");
  }
  return 0;
}
