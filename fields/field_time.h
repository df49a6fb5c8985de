// Times of forecast files and of the command line, as seconds since 1970-01-01T00:00:00 UTC.
//
// Every time inside the fields room is such a number of seconds (a double, so that a file's
// "hours since 1950-01-01" with fractions survives), in the proleptic Gregorian calendar and
// without leap seconds, as forecast files count them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vestrand::fields {

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar (negative before).
// @param[in] year any year from -1,000,000 to 1,000,000
// @param[in] month 1..12
// @param[in] day 1..31; not checked against the month (the 31st of February is 3 March)
long long daysFromCivil(long long year, int month, int day);

// Reads an ISO 8601 date and time in UTC: "2024-01-15T12:00Z", "2024-01-15T12:00:00Z",
// "2024-01-15T12:00:00.5Z", "2024-01-15 12:00", "2024-01-15T12:00:00+00:00". Without a zone the
// time is taken as UTC; another offset than +00:00 is applied ("…T13:00+01:00" is 12:00 UTC).
// @param[out] seconds seconds since the epoch; untouched on failure
// @param[out] error why the text was refused; untouched on success
// @return true when the text is a real date and time
bool parseIsoTime(std::string_view text, double& seconds, std::string& error);

// "2024-01-15T12:00:00Z"; whole seconds, rounded to the nearest. Times beyond the years
// -9999..9999 are printed as a number of seconds.
std::string isoTimeText(double seconds);

// A CF time unit: "hours since 1950-01-01", "seconds since 1970-01-01 00:00:00",
// "days since 2000-1-1T00:00:00Z", "minutes since 2024-01-15 12:00:00.0 UTC". The units may be
// spelt second(s)/sec/s, minute(s)/min, hour(s)/hr/h, day(s)/d.
struct CfTimeUnit {
  double secondsPerUnit = 1.0;
  double epochSeconds = 0.0;  // the reference time, seconds since 1970-01-01T00:00:00Z
};

// @param[out] error why the text was refused; untouched on success
// @return the unit, or nothing
std::optional<CfTimeUnit> parseCfTimeUnit(std::string_view text, std::string& error);

}  // namespace vestrand::fields
