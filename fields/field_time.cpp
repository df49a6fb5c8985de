#include "field_time.h"

#include <cmath>
#include <cstdio>

#include "calendar.h"

namespace vestrand::fields {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr long long kMaxYear = 1000000;

// A cursor over the text; every reader leaves it unmoved when it fails.
struct Cursor {
  std::string_view s;
  std::size_t at = 0;
  bool done() const { return at >= s.size(); }
  char peek() const { return done() ? '\0' : s[at]; }
  bool take(char c) {
    if (peek() != c) return false;
    ++at;
    return true;
  }
  // 1 to `most` digits as a number.
  bool digits(std::size_t most, long long& value) {
    std::size_t n = 0;
    long long v = 0;
    while (n < most && at + n < s.size() && s[at + n] >= '0' && s[at + n] <= '9') {
      v = v * 10 + (s[at + n] - '0');
      ++n;
    }
    if (n == 0) return false;
    at += n;
    value = v;
    return true;
  }
  void blanks() {
    while (peek() == ' ' || peek() == '\t') ++at;
  }
};

// "YYYY-MM-DD[(T| )HH:MM[:SS[.f]]][zone]" into seconds; the time part is needed when `needTime`.
bool parseDateTime(std::string_view text, bool needTime, double& seconds, std::string& error) {
  Cursor c{text};
  c.blanks();
  const bool negativeYear = c.take('-');
  long long year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0.0;
  if (!c.digits(7, year) || !c.take('-') || !c.digits(2, month) || !c.take('-') ||
      !c.digits(2, day)) {
    error = "not a date: expected YYYY-MM-DD";
    return false;
  }
  if (negativeYear) year = -year;
  if (month < 1 || month > 12) {
    error = "the month must lie from 01 to 12";
    return false;
  }
  if (year > kMaxYear || year < -kMaxYear) {
    error = "the year lies beyond a million years";
    return false;
  }
  if (day < 1 || day > daysInMonth(year, static_cast<int>(month))) {
    error = "the day must lie from 01 to " +
            std::to_string(daysInMonth(year, static_cast<int>(month))) + " in that month";
    return false;
  }
  bool hasTime = c.take('T');
  if (!hasTime) {
    const std::size_t before = c.at;
    c.blanks();
    hasTime = c.at > before && c.peek() >= '0' && c.peek() <= '9';
    if (!hasTime) c.at = before;
  }
  if (hasTime) {
    if (!c.digits(2, hour) || !c.take(':') || !c.digits(2, minute)) {
      error = "not a time: expected HH:MM after the date";
      return false;
    }
    if (c.take(':')) {
      long long whole = 0;
      if (!c.digits(2, whole)) {
        error = "not a time: expected two digits of seconds after HH:MM:";
        return false;
      }
      second = static_cast<double>(whole);
      if (c.take('.')) {
        double scale = 0.1;
        if (!(c.peek() >= '0' && c.peek() <= '9')) {
          error = "not a time: expected digits after the decimal point of the seconds";
          return false;
        }
        while (c.peek() >= '0' && c.peek() <= '9') {
          second += scale * (c.peek() - '0');
          scale /= 10.0;
          ++c.at;
        }
      }
    }
    if (hour > 23 || minute > 59 || second >= 60.0) {
      error = "the hour must lie from 00 to 23, minutes and seconds below 60";
      return false;
    }
  } else if (needTime) {
    error = "no time of day: expected YYYY-MM-DDTHH:MM[:SS]Z";
    return false;
  }
  double offset = 0.0;  // seconds east of UTC
  c.blanks();
  if (c.take('Z') || c.take('z')) {
  } else if (c.s.substr(c.at) == "UTC" || c.s.substr(c.at) == "GMT") {
    c.at = c.s.size();
  } else if (c.peek() == '+' || c.peek() == '-') {
    const double sign = c.peek() == '-' ? -1.0 : 1.0;
    ++c.at;
    long long oh = 0, om = 0;
    bool good = c.digits(2, oh);
    if (good && c.take(':')) {
      good = c.digits(2, om);
    } else if (good) {
      c.digits(2, om);  // +HHMM; +HH alone is allowed too
    }
    if (!good || oh > 14 || om > 59) {
      error = "not a zone offset: expected +HH:MM";
      return false;
    }
    offset = sign * static_cast<double>(oh * 3600 + om * 60);
  }
  c.blanks();
  if (!c.done()) {
    error = "unexpected text after the date and time";
    return false;
  }
  seconds =
      static_cast<double>(daysFromCivil(year, static_cast<int>(month), static_cast<int>(day))) *
          kSecondsPerDay +
      static_cast<double>(hour * 3600 + minute * 60) + second - offset;
  return true;
}

}  // namespace

long long daysFromCivil(long long year, int month, int day) {
  // Howard Hinnant's days_from_civil: the year is counted from March so that leap days fall last.
  const long long y = year - (month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long mp = (month + 9) % 12;
  const long long doy = (153 * mp + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool parseIsoTime(std::string_view text, double& seconds, std::string& error) {
  return parseDateTime(text, true, seconds, error);
}

std::string isoTimeText(double seconds) {
  if (!std::isfinite(seconds) || std::fabs(seconds) > 2.5e11) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g s since 1970-01-01T00:00:00Z", seconds);
    return buffer;
  }
  const long long total = std::llround(seconds);
  long long days = total / 86400;
  long long rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // civil_from_days, the inverse of daysFromCivil.
  const long long z = days + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  if (y < -9999 || y > 9999) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g s since 1970-01-01T00:00:00Z", seconds);
    return buffer;
  }
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", y, m, d,
                rest / 3600, rest / 60 % 60, rest % 60);
  return buffer;
}

std::optional<CfTimeUnit> parseCfTimeUnit(std::string_view text, std::string& error) {
  const std::size_t since = text.find(" since ");
  if (since == std::string_view::npos) {
    error = "the time units '" + std::string(text) + "' are not '<unit> since <date>'";
    return std::nullopt;
  }
  std::string_view unit = text.substr(0, since);
  while (!unit.empty() && (unit.front() == ' ' || unit.front() == '\t')) unit.remove_prefix(1);
  CfTimeUnit result;
  if (unit == "seconds" || unit == "second" || unit == "secs" || unit == "sec" || unit == "s") {
    result.secondsPerUnit = 1.0;
  } else if (unit == "minutes" || unit == "minute" || unit == "mins" || unit == "min") {
    result.secondsPerUnit = 60.0;
  } else if (unit == "hours" || unit == "hour" || unit == "hrs" || unit == "hr" || unit == "h") {
    result.secondsPerUnit = 3600.0;
  } else if (unit == "days" || unit == "day" || unit == "d") {
    result.secondsPerUnit = kSecondsPerDay;
  } else {
    error = "the time unit '" + std::string(unit) + "' is none of seconds, minutes, hours, days";
    return std::nullopt;
  }
  std::string why;
  if (!parseDateTime(text.substr(since + 7), false, result.epochSeconds, why)) {
    error = "the reference time of '" + std::string(text) + "' is refused: " + why;
    return std::nullopt;
  }
  return result;
}

}  // namespace vestrand::fields
