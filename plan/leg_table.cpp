#include "leg_table.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "Derrota.h"
#include "calendar.h"
#include "plan_summary.h"

namespace vestrand {

LegTableSink::LegTableSink(const PatternParams& params, double speed, RowHandler onRow,
                           const RouteSplit& split)
    : oneUnit_(params.passes == 2 && takes(params.kind, PatternParam::Passes)),
      speed_(speed),
      onRow_(std::move(onRow)),
      split_(split) {}

void LegTableSink::startRoute(const char*) {
  ++route_;
  if (!oneUnit_ || row_.unit == 0) {
    ++row_.unit;
    row_.leg = 0;
    row_.total = 0.0;
  }
  point_ = 0;
}

void LegTableSink::routePoint(double lat, double lon, const char*) {
  if (row_.unit == 0) startRoute("");
  ++point_;
  if (point_ > 1) {
    double course = 0.0;
    double distance = 0.0;
    // A status of -1 (points less than 1e-8 miles apart) gives course 0 and the small distance,
    // which the total must still count to agree with the summary.
    RumboDistancia(prevLat_, prevLon_, lat, lon, &course, &distance);
    ++row_.leg;
    row_.from = point_ - 1;
    row_.to = point_;
    if (split_.maxPoints >= 2) {
      // As the files split it: the first part holds points 1..M, each later one begins at the
      // last point of the one before and adds M - 1.
      const long long step = split_.maxPoints - 1;
      const long long points =
          route_ - 1 < split_.points.size() ? split_.points[route_ - 1] : point_;
      row_.parts = points <= split_.maxPoints ? 1 : (points - 2) / step + 1;
      row_.part = (point_ - 2) / step + 1;
      row_.from -= (row_.part - 1) * step;
      row_.to -= (row_.part - 1) * step;
    }
    // A course a hair west of north can come out as 360.
    row_.course = course >= 360.0 ? 0.0 : course;
    row_.distance = distance;
    row_.total += distance;
    row_.hours = nextHours_ ? *nextHours_ : hoursAtSpeed(row_.total, speed_);
    onRow_(row_);
  }
  nextHours_.reset();
  prevLat_ = lat;
  prevLon_ = lon;
}

void LegTableSink::endRoute() {}

void LegTableSink::waypoint(double, double, const char*) {}

void sailLegTable(const PatternParams& params, const PatternNames& names, double speed,
                  LegTableSink::RowHandler onRow, const RouteSplit& split) {
  LegTableSink table(params, speed, std::move(onRow), split);
  if (params.drift.speed > 0.0) {
    sailPatternTimed(params, names, table, [&table](double hours) { table.timeNextPoint(hours); });
  } else {
    sailPattern(params, names, table);
  }
}

namespace {

// Days from 1970-01-01 to a date, and back (Gregorian, any year).
long long daysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, ClockTime& t) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2);
}

// The number written by `count` digits at `text[at]`, or -1 when one of them is no digit.
int digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

const char* const kNotATime =
    "not a date and time: expected YYYY-MM-DDTHH:MM or HH:MM, either with an offset from UTC "
    "such as +01:00 or Z, or without for the local time";

constexpr double kMaxClockHours = 1e6 * 366 * 24;  // a million years

}  // namespace

bool parseClockTime(std::string_view text, const ClockTime& today, ClockTime& time,
                    std::string& error) {
  ClockTime t = today;
  t.offset.reset();
  if (text.ends_with('Z')) {
    t.offset = 0;
    text.remove_suffix(1);
  } else if (text.size() > 6 && (text[text.size() - 6] == '+' || text[text.size() - 6] == '-') &&
             text[text.size() - 3] == ':') {
    const std::string_view zone = text.substr(text.size() - 6);
    const int hours = digits(zone, 1, 2);
    const int minutes = digits(zone, 4, 2);
    if (hours < 0 || minutes < 0 || hours > 23 || minutes > 59) {
      error = "the offset from UTC must lie from -23:59 to +23:59";
      return false;
    }
    t.offset = (zone[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
    text.remove_suffix(6);
  }
  std::size_t clockAt = 0;
  if (text.size() == 16 && text[4] == '-' && text[7] == '-' && text[10] == 'T') {
    const int y = digits(text, 0, 4);
    t.month = digits(text, 5, 2);
    t.day = digits(text, 8, 2);
    if (y < 0 || t.month < 0 || t.day < 0) {
      error = kNotATime;
      return false;
    }
    t.year = y;
    clockAt = 11;
  } else if (text.size() != 5) {
    error = kNotATime;
    return false;
  }
  t.hour = text[clockAt + 2] == ':' ? digits(text, clockAt, 2) : -1;
  t.minute = t.hour >= 0 ? digits(text, clockAt + 3, 2) : -1;
  if (t.hour < 0 || t.minute < 0) {
    error = kNotATime;
    return false;
  }
  if (t.month < 1 || t.month > 12) {
    error = "the month must lie from 01 to 12";
    return false;
  }
  if (t.day < 1 || t.day > daysInMonth(t.year, t.month)) {
    error = std::string(kMonthNames[t.month - 1]) + " " + std::to_string(t.year) + " has " +
            std::to_string(daysInMonth(t.year, t.month)) + " days";
    return false;
  }
  if (t.hour > 23) {
    error = "the hour must lie from 00 to 23";
    return false;
  }
  if (t.minute > 59) {
    error = "the minutes must lie from 00 to 59";
    return false;
  }
  time = t;
  return true;
}

std::optional<ClockTime> clockAfter(const ClockTime& start, double hours) {
  if (!(hours >= 0.0 && hours <= kMaxClockHours)) return std::nullopt;
  const long long minutes = daysFromCivil(start.year, start.month, start.day) * 1440 +
                            start.hour * 60 + start.minute + std::llround(hours * 60.0);
  // Floor division, so that times before 1970 fall on the right day.
  long long days = minutes / 1440;
  long long inDay = minutes % 1440;
  if (inDay < 0) {
    inDay += 1440;
    --days;
  }
  ClockTime t;
  t.offset = start.offset;
  civilFromDays(days, t);
  t.hour = static_cast<int>(inDay / 60);
  t.minute = static_cast<int>(inDay % 60);
  return t;
}

std::string offsetText(int minutes) {
  char text[16];
  const int size = minutes < 0 ? -minutes : minutes;
  std::snprintf(text, sizeof text, "%c%02d:%02d", minutes < 0 ? '-' : '+', size / 60 % 100,
                size % 60);
  return text;
}

std::string isoText(const ClockTime& t) {
  return clockText(t, 'T') + (t.offset ? offsetText(*t.offset) : std::string());
}

std::string clockText(const ClockTime& t, char separator) {
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d%c%02d:%02d", t.year, t.month, t.day, separator,
                t.hour, t.minute);
  return text;
}

}  // namespace vestrand
