// What the sailing subcommands print: one JSON object on one line, or text for people.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "course_distance.h"
#include "coverage.h"
#include "drift.h"
#include "leg_table.h"
#include "plan_summary.h"
#include "position_text.h"

namespace vestrand::cli {

// The shortest decimal text that reads back as the same double ("0.1", "44.998909155372",
// "1e-300"); zero of either sign gives "0"; not-a-number and infinities, which JSON cannot hold,
// give "null".
std::string shortestNumber(double value);

// A longitude as shortestNumber prints it, brought into -180..180 first: every longitude the
// program prints is one that --lon takes back, whatever the sailing ran past.
std::string longitudeNumber(double lon);

// {"status":S,"course":C,"distance_nm":D}; a missing status, and the course where none is defined,
// print as null.
std::string courseJson(std::optional<int> status, const CourseDistance& result);
// {"status":S,"lat":LAT,"lon":LON}
std::string positionJson(std::optional<int> status, double lat, double lon);

// The position in every form for people: lines "degrees", "dm" and "dms".
std::string positionFormsText(double lat, double lon);
// {"lat":LAT,"lon":LON,"dm":"...","dms":"..."}
std::string positionFormsJson(double lat, double lon);

// Lines for people, each ending in a newline.
std::string courseText(const CourseDistance& result, const char* method);
std::string positionText(double lat, double lon, const char* method);

// A JSON string with its quotes; quotes, backslashes and control characters escaped.
std::string jsonString(const std::string& text);

// The plan summary at a search speed (knots), for people: the plan library's summaryRows in
// English, each label padded to ten columns, then a warning row for each of the run's warnings.
std::string summaryText(const PlanSummary& summary, double speed,
                        const std::vector<std::string>& warnings = {});

// The plan summary as one JSON object on one line, with the paths of the files written (empty:
// none, printed as null). Lengths in nautical miles, areas in square nautical miles (the box's
// "box_area_nm2", the area covered "covered_nm2"), times in hours and as "h:mm" text.
// `extraMembers`, when given, is added as it stands at the end of the object, before its closing
// brace: ",\"coverage\":2,...". The run's warnings, when there are any, give a "warnings"
// member, an array of texts, before those.
std::string summaryJson(const PlanSummary& summary, double speed, const std::string& gpxPath,
                        const std::string& svgPath, const std::string& extraMembers = "",
                        const std::vector<std::string>& warnings = {});

// --- Search aids ---------------------------------------------------------------------------

// The drifted datum for people: the position as positionText gives it, then the total drift's
// course (one decimal), speed and distance. `method` names how it was sailed.
std::string driftText(const DriftedDatum& datum, const std::string& method = "plane sailing");
// {"lat":LAT,"lon":LON,"drift_course":C,"drift_speed_kn":V,"drift_nm":D}
std::string driftJson(const DriftedDatum& datum);

// Coverage for people: sweep width, track spacing, coverage factor and the POD by each law (in
// per cent, one decimal), one line each.
std::string coverageText(const Coverage& coverage);
// {"sweep_width_nm":W,"spacing_nm":S,"coverage":C,"pod_inverse_cube":P,"pod_exponential":Q}
std::string coverageJson(const Coverage& coverage);
// The members a summary's JSON gains from a sweep width:
// ,"coverage":C,"pod_inverse_cube":P,"pod_exponential":Q,"sweep_width_nm":W
std::string coverageJsonMembers(const Coverage& coverage);

// The leg table for people: a heading line, then one line per row, in columns. The time is the
// elapsed time h:mm from the unit's start to the end of the leg; with `withEta` a last column
// holds the clock time there ("YYYY-MM-DD HH:MM", "-" when there is none). Where the routes are
// split (`split`, rows with parts) a column "part" says which part of how many holds the leg
// ("2/3"), and from and to are the points' numbers in that part's file. The heading names the
// clock's `offset` from UTC ("+01:00") after ETA, when given.
std::string legTableHeading(bool withEta, bool split = false, const std::string& offset = "");
std::string legRowText(const LegRow& row, bool withEta, const std::optional<ClockTime>& eta);
// {"unit":1,"leg":1,"from":1,"to":2,"course":C,"distance_nm":D,"total_nm":T,"hours":H} (with
// "part":K,"parts":N after "leg" where the routes are split) with,
// when `withEta`, a last member "eta", ISO 8601 with the start's offset from UTC,
// "YYYY-MM-DDTHH:MM+01:00" (null when there is none).
std::string legRowJson(const LegRow& row, bool withEta, const std::optional<ClockTime>& eta);

}  // namespace vestrand::cli
