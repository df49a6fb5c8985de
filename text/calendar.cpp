#include "calendar.h"

#include <chrono>
#include <cstdio>

namespace vestrand {

int daysInMonth(long long year, int month) {
  using namespace std::chrono;
  if (month < 1 || month > 12) return 0;
  // The Gregorian leap years repeat every 400 years, so a year of <chrono>'s range with the same
  // remainder stands in for any year.
  const auto cycleYear = static_cast<int>(2000 + ((year % 400) + 400) % 400);
  return static_cast<int>(static_cast<unsigned>(
      year_month_day_last(std::chrono::year(cycleYear),
                          month_day_last(std::chrono::month(static_cast<unsigned>(month))))
          .day()));
}

bool isRealDate(long long year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

std::string timeStem(int year, int month, int day, int hour, int minute, int second) {
  char stem[80];
  std::snprintf(stem, sizeof stem, "%.4d%.2d%.2d%.2d%.2d%.2d", year, month, day, hour, minute,
                second);
  return stem;
}

}  // namespace vestrand
