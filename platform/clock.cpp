#include <ctime>

#include "cvirte.h"
#include "cvirte_testing.h"

namespace {

std::tm SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

cvirte_testing::LocalTimeSource localTime = SystemLocalTime;

}  // namespace

void cvirte_testing::SetLocalTimeSource(LocalTimeSource source) {
  localTime = source != nullptr ? source : SystemLocalTime;
}

int CVI_GetSystemTime(int* hours, int* minutes, int* seconds) {
  const std::tm now = localTime();
  if (hours != nullptr) *hours = now.tm_hour;
  if (minutes != nullptr) *minutes = now.tm_min;
  if (seconds != nullptr) *seconds = now.tm_sec;
  return 0;
}

int GetSystemDate(int* month, int* day, int* year) {
  const std::tm now = localTime();
  if (month != nullptr) *month = now.tm_mon + 1;
  if (day != nullptr) *day = now.tm_mday;
  if (year != nullptr) *year = now.tm_year + 1900;
  return 0;
}
