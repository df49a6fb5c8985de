// What the sailing subcommands print: one JSON object on one line, or text for people.
#pragma once

#include <optional>
#include <string>

#include "course_distance.h"
#include "plan_summary.h"

namespace vestrand::cli {

// The shortest decimal text that reads back as the same double ("0.1", "44.998909155372",
// "1e-300"); not-a-number and infinities, which JSON cannot hold, give "null".
std::string shortestNumber(double value);

// A latitude or longitude as degrees and minutes with its hemisphere letter, in UTF-8:
// "N43º 30.00'", "W003º 45.00'".
std::string latitudeText(double lat);
std::string longitudeText(double lon);

// {"status":S,"course":C,"distance":D}; a missing status, and the course where none is defined,
// print as null.
std::string courseJson(std::optional<int> status, const CourseDistance& result);
// {"status":S,"lat":LAT,"lon":LON}
std::string positionJson(std::optional<int> status, double lat, double lon);

// Lines for people, each ending in a newline.
std::string courseText(const CourseDistance& result, const char* method);
std::string positionText(double lat, double lon, const char* method);

// A JSON string with its quotes; quotes, backslashes and control characters escaped.
std::string jsonString(const std::string& text);

// The plan summary at a search speed (knots), for people: the plan library's summaryRows in
// English, each label padded to ten columns.
std::string summaryText(const PlanSummary& summary, double speed);

// The plan summary as one JSON object on one line, with the paths of the files written (empty:
// none, printed as null). Lengths in nautical miles, the area in square nautical miles, times in
// hours and as "h:mm" text.
std::string summaryJson(const PlanSummary& summary, double speed, const std::string& gpxPath,
                        const std::string& svgPath);

}  // namespace vestrand::cli
