// The calendar as every part of the programs checks it (the proleptic Gregorian calendar of
// <chrono>, for any year), and the stem that names files after a date and time.
#pragma once

#include <string>

namespace vestrand {

// Days of a month: 28 to 31; 0 for a month outside 1 to 12.
int daysInMonth(long long year, int month);

// Whether the day exists: month 1 to 12, day 1 to the days of that month.
bool isRealDate(long long year, int month, int day);

// The file-name stem of a date and time: "%.4d%.2d%.2d%.2d%.2d%.2d", year first
// ("20121225143000"). Each part is written whole, however wide: a part beyond its width is
// printed in full, a negative one with its sign.
std::string timeStem(int year, int month, int day, int hour, int minute, int second);

}  // namespace vestrand
