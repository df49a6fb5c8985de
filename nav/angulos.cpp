#include "angulos.h"

#include <cmath>
#include <cstdio>

namespace {

// Beyond this many whole turns the stepwise reduction would take too long (or, for huge
// magnitudes, never end because adding a turn no longer changes the double), so the remainder
// takes over. Below it the historical step-by-step results are kept bit for bit.
constexpr double kMaxSteps = 1000.0;

double signOf(double x) {
  return x != 0.0 ? x / std::fabs(x) : 1.0;
}

struct DegMinSec {
  double sign;
  double degrees;
  double minutes;  // whole minutes for splitDMS, with their fraction for splitDM
  double seconds;
};

DegMinSec splitDM(double x) {
  DegMinSec r{signOf(x), 0.0, 0.0, 0.0};
  r.minutes = std::modf(std::fabs(x), &r.degrees) * 60.0;
  return r;
}

DegMinSec splitDMS(double x) {
  DegMinSec r = splitDM(x);
  r.seconds = std::modf(r.minutes, &r.minutes) * 60.0;
  return r;
}

// Every text goes through here: a bounded print, so an absurd value (1e300 degrees) is cut to
// the documented size instead of running past the caller's buffer.
template <typename... Args>
void print(char* text, const char* format, Args... args) {
  std::snprintf(text, kSexagesimalTextSize, format, args...);
}

void formatGMd(double value, char* text) {
  const DegMinSec s = splitDM(value);
  if (s.degrees == 0.0 && s.sign == -1.0) {
    // -1 < value < 0: sign * 0 would print as "-0" inside the field, so the minus goes in front.
    print(text, "-%3.0lf\xBA %4.1lf'", s.degrees, s.minutes);
  } else {
    print(text, "%3.0lf\xBA %4.1lf'", s.sign * s.degrees, s.minutes);
  }
}

void formatHMS(double hours, char* text) {
  const DegMinSec s = splitDMS(hours);
  print(text, "%02.0lf:%02.0lf:%02.0lf", s.degrees, s.minutes, s.seconds);
}

}  // namespace

double ang_0_360(double angle) {
  if (!std::isfinite(angle)) return std::nan("");
  if (std::fabs(angle) > kMaxSteps * 360.0) {
    const double r = std::fmod(angle, 360.0);  // in (-360, 360), sign of angle
    if (angle < 0) return r < 0 ? r + 360.0 : 0.0;
    return r == 0.0 ? 360.0 : r;
  }
  if (angle < 0) {
    while (angle < 0) angle += 360.0;
  } else if (angle > 360.0) {
    while (angle > 360.0) angle -= 360.0;
  }
  return angle;
}

double ang_180(double angle) {
  if (angle < -180.0) angle += 360.0;
  if (angle > 180.0) angle -= 360.0;
  return angle;
}

double time_0_24(double hours) {
  if (!std::isfinite(hours)) return std::nan("");
  if (std::fabs(hours) > kMaxSteps * 24.0) {
    const double r = std::fmod(hours, 24.0);
    if (hours < 0) return r + 24.0;  // r in (-24, 0]: 0 gives 24, as the loop does
    return r;
  }
  if (hours <= 0) {
    while (hours <= 0) hours += 24.0;
  } else if (hours >= 24.0) {
    while (hours >= 24.0) hours -= 24.0;
  }
  return hours;
}

bool Test_ang_0_360() {
  std::FILE* f = std::fopen("0_360.dat", "w");
  if (f == nullptr) return false;
  bool ok = true;
  for (double x = -1000.0; x <= 1360.0; x += 5.0) {
    ok = std::fprintf(f, "%lf\t%lf\n", x, ang_0_360(x)) > 0 && ok;
  }
  return (std::fclose(f) == 0) && ok;
}

double AnguloNautico2Matematico(double bearing) {
  double x = bearing;
  if (x < 0.0 || x > 360.0) x = ang_0_360(x);
  if (x >= 0.0 && x <= 90.0) return 90.0 - x;
  if (x > 90.0 && x <= 180.0) return 360.0 - (x - 90.0);
  if (x > 180.0 && x <= 360.0) return 450.0 - x;
  return x;  // not-a-number
}

// The reflection about the 45 degree line is its own inverse.
double AnguloMatematico2Nautico(double angle) {
  return AnguloNautico2Matematico(angle);
}

double L360ToLEW(double lon360) {
  return lon360 <= 180.0 ? -lon360 : 360.0 - lon360;
}

double LEWToL360(double lon) {
  return lon > 0.0 ? 360.0 - lon : -lon;
}

void DegToSgGM(double value, double* sign, double* degrees, double* minutes) {
  const DegMinSec s = splitDM(value);
  *sign = s.sign;
  *degrees = s.degrees;
  *minutes = s.minutes;
}

void DegToGMd(double value, char* text) {
  formatGMd(value, text);
}

const char* DegToGMd2(double value) {
  static char area[kSexagesimalTextSize];
  formatGMd(value, area);
  return area;
}

void DegToLat(double lat, char* text) {
  const DegMinSec s = splitDM(lat);
  print(text, s.sign < 0 ? "S%02.0lf\xBA %5.2lf'" : "N%02.0lf\xBA %5.2lf'", s.degrees, s.minutes);
}

void DegToLon(double lon, char* text) {
  const DegMinSec s = splitDM(lon);
  print(text, s.sign < 0 ? "W%03.0lf\xBA %5.2lf'" : "E%03.0lf\xBA %5.2lf'", s.degrees, s.minutes);
}

void H2HMS(double hours, char* text) {
  formatHMS(hours, text);
}

const char* H2HMS2(double hours) {
  static char area[kSexagesimalTextSize];
  formatHMS(hours, area);
  return area;
}

void D2DMS(double value, char* text) {
  const DegMinSec s = splitDMS(value);
  print(text, s.sign < 0 ? "-%02.0lf\xBA %02.0lf' %02.1lf\"" : "+%02.0lf\xBA %02.0lf' %02.1lf\"",
        s.degrees, s.minutes, s.seconds);
}

const char* D2DMS2(double value) {
  static char area[kSexagesimalTextSize];
  const DegMinSec s = splitDMS(value);
  print(area, s.sign < 0 ? "-%02.0lf\xBA %02.0lf' %02.4lf\"" : "+%02.0lf\xBA %02.0lf' %02.4lf\"",
        s.degrees, s.minutes, s.seconds);
  return area;
}
