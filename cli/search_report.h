// What the search planning subcommands print: one JSON object (or array) on one line, or text
// for people, and the warnings that go to standard error.
//
// Numbers in JSON are the shortest text that reads back as the same double, never "-0";
// longitudes are printed within -180..180 (the plan keeps them unwrapped across the
// antimeridian). Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "forecast_drift.h"
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

// The forecast files a drift went through, as its texts name them.
struct ForcingReport {
  std::vector<std::string> windFiles;     // as named, each once
  std::vector<std::string> currentFiles;  // as named, each once
  bool byHand = false;                    // a leeway by hand: one datum, the downwind one
  bool outsideConstant = false;           // outside them the constants were taken
  bool hasWindConstant = false;           // --wind-from and --wind-speed were given
  double windFrom = 0.0, windKnots = 0.0;
  bool hasCurrentConstant = false;  // --current-set and --current-drift were given
  DriftVector current;
  ForecastDatums drift;
};

// The rows of the files, each quantity's files with the constant taken outside them:
// "wind      from 'a.grib2', 'b.grib2'; outside them from 300.0° at 20.0 kn", "current   from
// 'c.nc'", then "time      <from> to <to>" (ISO 8601 UTC).
std::string forcingText(const ForcingReport& forcing);
// The rows of the files alone, without the time row.
std::string forcingFilesText(const ForcingReport& forcing);
// The method row's name: "plane sailing, 36 steps of 10 min".
std::string forcingMethod(const ForcingReport& forcing);
// The "forcing" member: ,"forcing":{"wind_files":[...],"current_files":[...],"from":"...",
// "to":"...","step_minutes":M,"steps":N,"outside":"refuse"|"constant","stranded":[{"datum":
// "left"|"right"|"downwind","lat":..,"lon":..,"time":"..."}]}, with its leading comma.
std::string forcingJson(const ForcingReport& forcing);
// The members of the "forcing" object before "stranded", without braces or leading comma:
// "wind_files":[...], ... ,"outside":"refuse"|"constant".
std::string forcingJsonMembers(const ForcingReport& forcing);
// Datums stranded on a current file's land, and, for a class in winds from files, the samples at
// which its downwind leeway was taken as 0.
std::vector<std::string> forcingWarnings(const ForcingReport& forcing,
                                         const LeewayClass* objectClass);

// drift --object: the downwind datum as drift prints it, then the left and right datums and the
// divergence distance. With `forcing` the files' rows come after the object (the wind row
// of the constant only when no wind file was given) and the method names the steps.
std::string objectDriftText(const LeewayClass& objectClass, const Leeway& leeway,
                            const Datums& datums, const ForcingReport* forcing = nullptr);
// drift's JSON of the downwind datum, with "left":{"lat":..,"lon":..},"right":{...} and
// "divergence_nm" added, and the forcing's member when given.
std::string objectDriftJson(const Datums& datums, const ForcingReport* forcing = nullptr);

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
