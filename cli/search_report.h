// What the search planning subcommands print: one JSON object (or array) on one line, or text
// for people, and the warnings that go to standard error.
//
// Numbers in JSON are the shortest text that reads back as the same double, never "-0";
// longitudes are printed within -180..180 (the plan keeps them unwrapped across the
// antimeridian). Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "leeway.h"
#include "search_plan.h"

namespace vestrand::cli {

// objects: "id  key  depth  description" in columns, a heading first.
std::string objectsText();
// [{"id":1,"key":"PIW-1","depth":0,"description":"..."},...]
std::string objectsJson();

// leeway: the class, the wind, the downwind part and both sides, one line each.
std::string leewayText(const LeewayClass& objectClass, const Leeway& leeway);
// {"object":"PIW-1","downwind_course":C,"right":{"course":C,"speed_kn":V,"angle":A},"left":{...},
//  "downwind_kn":V,"sd_kn":{"downwind":S,"right":S,"left":S}}
std::string leewayJson(const LeewayClass& objectClass, const Leeway& leeway);
// The warning of a downwind part that came out negative and was set to 0; empty when none.
std::string leewayWarning(const LeewayClass& objectClass, const Leeway& leeway);

// drift --object: the downwind datum as drift prints it, then the left and right datums and the
// divergence distance.
std::string objectDriftText(const LeewayClass& objectClass, const Leeway& leeway,
                            const Datums& datums);
// drift's JSON of the downwind datum, with "left":{"lat":..,"lon":..},"right":{...} and
// "divergence_nm" added.
std::string objectDriftJson(const Datums& datums);

// The plan for people: datums, errors, effort, radius, area, its chances beside the optimum's,
// then each unit (with its CSP and arrival).
std::string planText(const SearchPlan& plan);

// The paths a plan run wrote, for its JSON: empty members are left out, except the GPX file's,
// which is null when none was written.
struct PlanPaths {
  std::string gpx;
  std::vector<std::string> rtz;
  bool rtzWritten = false;
  std::string svg;
};

// The plan as one JSON object on one line (see the README for its members); `legTable`, when
// not empty, is added as it stands as the "leg_table" array's elements.
std::string planJson(const SearchPlan& plan, const PlanPaths& paths,
                     const std::string& legTable = {});

// What the coordinator must know before sending the plan: legs dropped to fit a unit's time, a
// route longer than its unit can sail, a unit arriving after the datum time, routes written
// whole that are too long for a plotter (maxPoints 0).
std::vector<std::string> planWarnings(const SearchPlan& plan, const std::string& stem,
                                      int maxPoints);

}  // namespace vestrand::cli
