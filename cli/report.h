// What the sailing subcommands print: one JSON object on one line, or text for people.
#pragma once

#include <optional>
#include <string>

namespace vestrand::cli {

// The shortest decimal text that reads back as the same double ("0.1", "44.998909155372",
// "1e-300"); not-a-number and infinities, which JSON cannot hold, give "null".
std::string shortestNumber(double value);

// A latitude or longitude as degrees and minutes with its hemisphere letter, in UTF-8:
// "N43º 30.00'", "W003º 45.00'".
std::string latitudeText(double lat);
std::string longitudeText(double lon);

// {"status":S,"course":C,"distance":D}; a missing status prints as null.
std::string courseJson(std::optional<int> status, double course, double distance);
// {"status":S,"lat":LAT,"lon":LON}
std::string positionJson(std::optional<int> status, double lat, double lon);

// Lines for people, each ending in a newline.
std::string courseText(bool found, double course, double distance, const char* method);
std::string positionText(double lat, double lon, const char* method);

}  // namespace vestrand::cli
