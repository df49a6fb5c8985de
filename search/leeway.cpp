#include "leeway.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace vestrand {
namespace {

// The rows come from the published table at build time (leeway_table.cmake).
constexpr LeewayClass kClasses[] = {
#include "leeway_classes.inc"
};

static_assert(std::size(kClasses) == 85, "the leeway table has 85 classes");

constexpr bool numberedInOrder() {
  for (std::size_t i = 0; i < std::size(kClasses); ++i) {
    if (kClasses[i].id != static_cast<int>(i) + 1) return false;
  }
  return true;
}
static_assert(numberedInOrder(), "class i of the leeway table sits at index i - 1");

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A direction in [0, 360): 360 and a hair below 0 both become north.
double course360(double degrees) {
  double c = std::fmod(degrees, 360.0);
  if (c < 0.0) c += 360.0;
  if (c >= 360.0) c = 0.0;
  return c + 0.0;  // never -0
}

LeewaySide side(double downwindCourse, double downwind, double crosswind) {
  LeewaySide s;
  s.crosswind = crosswind + 0.0;
  s.speed = std::hypot(downwind, crosswind);
  // The true pi, not the sailings' short one: a leeway straight across the wind is 90 degrees.
  s.angle = std::atan2(crosswind, downwind) * 180.0 / std::numbers::pi + 0.0;
  s.course = course360(downwindCourse + s.angle);
  return s;
}

constexpr std::string_view kSources =
    "Leeway coefficients of 85 classes of search objects: the US Coast Guard leeway field\n"
    "experiments, compiled by A. A. Allen for US Coast Guard search planning (2010 update),\n"
    "as published by Ø. Breivik (Norwegian Meteorological Institute, 2011):\n"
    "- Allen, A. A. and Plourde, J. V. (1999). Review of Leeway: Field Experiments and\n"
    "  Implementation. US Coast Guard Research and Development Center, report CG-D-08-99.\n"
    "- Allen, A. A. (2005). Leeway Divergence. US Coast Guard Research and Development Center,\n"
    "  report CG-D-05-05.\n"
    "- Breivik, Ø. and Allen, A. A. (2008). An operational search and rescue model for the\n"
    "  Norwegian Sea and the North Sea. Journal of Marine Systems 69, 99-113.\n"
    "The figures and class labels were transcribed from the table's 2011 update as distributed\n"
    "with the OpenDrift trajectory model (file OBJECTPROP.DAT, GPL-2.0); the measurements are\n"
    "results of US Government reports.\n";

}  // namespace

std::span<const LeewayClass> leewayClasses() {
  return kClasses;
}

const LeewayClass* leewayClassById(int id) {
  if (id < 1 || id > static_cast<int>(std::size(kClasses))) return nullptr;
  return &kClasses[id - 1];
}

const LeewayClass* leewayClassByKey(std::string_view key) {
  for (const LeewayClass& c : kClasses) {
    if (std::ranges::equal(c.key, key, [](char a, char b) { return upper(a) == upper(b); })) {
      return &c;
    }
  }
  return nullptr;
}

const LeewayClass* findLeewayClass(std::string_view idOrKey) {
  int id = 0;
  const char* end = idOrKey.data() + idOrKey.size();
  const auto [ptr, ec] = std::from_chars(idOrKey.data(), end, id);
  if (!idOrKey.empty() && ec == std::errc() && ptr == end) return leewayClassById(id);
  return leewayClassByKey(idOrKey);
}

Leeway leewayOf(const LeewayClass& c, double windFrom, double windSpeed) {
  Leeway l;
  l.windFrom = windFrom;
  l.windSpeed = windSpeed;
  l.u10 = windMetresPerSecond(windSpeed);
  l.downwindCourse = course360(windFrom + 180.0);
  const double downwind = knotsFromCentimetresPerSecond(c.downwind.cms(l.u10));
  l.downwindClamped = downwind < 0.0;
  l.downwind = l.downwindClamped ? 0.0 : downwind + 0.0;
  l.right = side(l.downwindCourse, l.downwind, knotsFromCentimetresPerSecond(c.right.cms(l.u10)));
  l.left = side(l.downwindCourse, l.downwind, knotsFromCentimetresPerSecond(c.left.cms(l.u10)));
  l.sdDownwind = knotsFromCentimetresPerSecond(c.downwind.sdCms);
  l.sdRight = knotsFromCentimetresPerSecond(c.right.sdCms);
  l.sdLeft = knotsFromCentimetresPerSecond(c.left.sdCms);
  return l;
}

std::string_view leewaySources() {
  return kSources;
}

}  // namespace vestrand
