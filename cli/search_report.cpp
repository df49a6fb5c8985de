#include "search_report.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "field_time.h"
#include "plan_summary.h"
#include "report.h"

namespace vestrand::cli {
namespace {

// A number through printf, into a text as long as the number needs.
std::string format(const char* pattern, double value) {
  const int length = std::snprintf(nullptr, 0, pattern, value + 0.0);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, value + 0.0);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// Adding 0 turns -0 into 0, which JSON readers would otherwise show as "-0".
std::string number(double value) {
  return shortestNumber(value + 0.0);
}

// A longitude within -180..180 for printing; values already inside are left as they are.
double wrapped(double lon) {
  if (!std::isfinite(lon) || (lon >= -180.0 && lon <= 180.0)) return lon;
  double w = std::fmod(lon + 180.0, 360.0);
  if (w < 0.0) w += 360.0;
  return w - 180.0;
}

std::string pointJson(double lat, double lon) {
  return "{\"lat\":" + number(lat) + ",\"lon\":" + number(wrapped(lon)) + "}";
}

std::string pointJson(const LatLon& p) {
  return pointJson(p.lat, p.lon);
}

std::string positionText(double lat, double lon) {
  return vestrand::positionText(lat, lon);
}

std::string positionText(const LatLon& p) {
  return positionText(p.lat, p.lon);
}

// A direction in [0, 360) to one decimal that never reads 360.0.
std::string course(double degrees) {
  double c = std::fmod(degrees, 360.0);
  if (c < 0.0) c += 360.0;
  double tenths = std::round(c * 10.0) / 10.0;
  if (tenths >= 360.0) tenths = 0.0;
  return format("%05.1f", tenths) + "\xC2\xB0";
}

std::string percent(double probability) {
  return format("%.1f", probability * 100.0) + "%";
}

std::string row(const std::string& label, const std::string& value) {
  const std::string pad = label.size() < 10 ? std::string(10 - label.size(), ' ') : " ";
  return label + pad + value + "\n";
}

std::string sideText(const LeewaySide& s, double sd) {
  const double angle = std::fabs(s.angle);
  return course(s.course) + " at " + format("%.3f", s.speed) + " kn, " + format("%.1f", angle) +
         "\xC2\xB0 " +
         (s.angle < 0.0  ? "left of"
          : angle == 0.0 ? "along"
                         : "right of") +
         " downwind (crosswind " + format("%+.3f", s.crosswind) + " kn, standard error " +
         format("%.3f", sd) + " kn)";
}

std::string sideJson(const LeewaySide& s) {
  return "{\"course\":" + number(s.course) + ",\"speed_kn\":" + number(s.speed) +
         ",\"angle\":" + number(s.angle) + "}";
}

std::string windText(const Leeway& l) {
  return "from " + course(l.windFrom) + " at " + format("%.1f", l.windSpeed) + " kn (U10 " +
         format("%.2f", l.u10) + " m/s)";
}

std::string figuresText(const char* label, double planned, double optimum, bool asPercent) {
  const auto text = [asPercent](double v) { return asPercent ? percent(v) : format("%.2f", v); };
  return row(label, text(planned) + "  (optimum " + text(optimum) + ")");
}

std::string rectangleJson(const PlanRectangle& r) {
  std::string json = "{\"length_nm\":" + number(r.length) + ",\"width_nm\":" + number(r.width) +
                     ",\"area_nm2\":" + number(r.area()) +
                     ",\"axis_course\":" + number(r.axisCourse) + ",\"corners\":[";
  for (std::size_t i = 0; i < r.corners.size(); ++i) {
    json += (i > 0 ? "," : "") + pointJson(r.corners[i]);
  }
  return json + "]}";
}

std::string cornersJson(const PlanRectangle& r) {
  std::string json = "[";
  for (std::size_t i = 0; i < r.corners.size(); ++i) {
    json += (i > 0 ? "," : "") + pointJson(r.corners[i]);
  }
  return json + "]";
}

std::string figuresJson(const AreaFigures& f) {
  return "\"poc\":" + number(f.poc) + ",\"coverage\":" + number(f.coverage) +
         ",\"pod\":" + number(f.pod) + ",\"pos\":" + number(f.pos);
}

// 'a.grib2', 'b.grib2'
std::string filesText(const std::vector<std::string>& files) {
  std::string text;
  for (const std::string& file : files) text += (text.empty() ? "'" : ", '") + file + "'";
  return text;
}

// The datums that stranded, by the name the JSON gives them.
std::vector<std::pair<const char*, const Stranding*>> strandings(const ForcingReport& f) {
  std::vector<std::pair<const char*, const Stranding*>> found;
  // A leeway by hand has one datum, which the library copies into left and right.
  if (!f.byHand && f.drift.left.stranded) found.emplace_back("left", &f.drift.left);
  if (!f.byHand && f.drift.right.stranded) found.emplace_back("right", &f.drift.right);
  if (f.drift.downwind.stranded) found.emplace_back("downwind", &f.drift.downwind);
  return found;
}

// "L", "R", "DW", as the texts name the datums.
const char* datumLabel(const std::string& name) {
  return name == "left" ? "L" : name == "right" ? "R" : "DW";
}

}  // namespace

std::string objectsText() {
  std::string text = " id  key                      depth  description\n";
  for (const LeewayClass& c : leewayClasses()) {
    char line[64];
    std::snprintf(line, sizeof line, "%3d  %-24.*s %5d  ", c.id, static_cast<int>(c.key.size()),
                  c.key.data(), c.depth);
    text += line + std::string(c.description) + "\n";
  }
  return text;
}

std::string objectsJson() {
  std::string json = "[";
  for (const LeewayClass& c : leewayClasses()) {
    json += (json.size() > 1 ? "," : "") + std::string("{\"id\":") + std::to_string(c.id) +
            ",\"key\":" + jsonString(std::string(c.key)) + ",\"depth\":" + std::to_string(c.depth) +
            ",\"description\":" + jsonString(std::string(c.description)) + "}";
  }
  return json + "]\n";
}

std::string leewayText(const LeewayClass& c, const Leeway& l) {
  return row("object", std::string(c.key) + ": " + std::string(c.description)) +
         row("wind", windText(l)) +
         row("downwind", course(l.downwindCourse) + " at " + format("%.3f", l.downwind) +
                             " kn (standard error " + format("%.3f", l.sdDownwind) + " kn)") +
         row("right", sideText(l.right, l.sdRight)) + row("left", sideText(l.left, l.sdLeft));
}

std::string leewayJson(const LeewayClass& c, const Leeway& l) {
  return "{\"object\":" + jsonString(std::string(c.key)) +
         ",\"downwind_course\":" + number(l.downwindCourse) + ",\"right\":" + sideJson(l.right) +
         ",\"left\":" + sideJson(l.left) + ",\"downwind_kn\":" + number(l.downwind) +
         ",\"sd_kn\":{\"downwind\":" + number(l.sdDownwind) + ",\"right\":" + number(l.sdRight) +
         ",\"left\":" + number(l.sdLeft) + "}}\n";
}

std::string leewayWarning(const LeewayClass& c, const Leeway& l) {
  if (!l.downwindClamped) return {};
  return std::string(c.key) + ": at " + format("%.1f", l.windSpeed) +
         " kn of wind the fitted downwind leeway is below 0; it is taken as 0 and the crosswind "
         "parts are kept, so the object moves across the wind only";
}

std::string objectDriftText(const LeewayClass& c, const Leeway& l, const Datums& d,
                            const ForcingReport* forcing) {
  std::string text = row("object", std::string(c.key) + ": " + std::string(c.description));
  if (forcing == nullptr || forcing->windFiles.empty()) text += row("wind", windText(l));
  if (forcing != nullptr) text += forcingText(*forcing);
  return text +
         (forcing != nullptr ? driftText(d.downwind, forcingMethod(*forcing))
                             : driftText(d.downwind)) +
         row("datum L", positionText(d.left.lat, d.left.lon)) +
         row("datum R", positionText(d.right.lat, d.right.lon)) +
         row("datum DW", positionText(d.downwind.lat, d.downwind.lon) +
                             " (the position above: current and downwind leeway)") +
         row("divergence", format("%.2f", d.divergence) + " NM from datum L to datum R");
}

std::string objectDriftJson(const Datums& d, const ForcingReport* forcing) {
  std::string json = driftJson(d.downwind);
  json.resize(json.size() - std::string("}\n").size());
  return json + ",\"left\":" + pointJson(d.left.lat, d.left.lon) +
         ",\"right\":" + pointJson(d.right.lat, d.right.lon) +
         ",\"divergence_nm\":" + number(d.divergence) +
         (forcing != nullptr ? forcingJson(*forcing) : "") + "}\n";
}

std::string forcingText(const ForcingReport& f) {
  return forcingFilesText(f) +
         row("time", fields::isoTimeText(f.drift.from) + " to " + fields::isoTimeText(f.drift.to));
}

std::string forcingFilesText(const ForcingReport& f) {
  std::string text;
  if (!f.windFiles.empty()) {
    std::string value = "from " + filesText(f.windFiles);
    if (f.outsideConstant && f.hasWindConstant) {
      value += "; outside " + std::string(f.windFiles.size() > 1 ? "them" : "it") + " from " +
               course(f.windFrom) + " at " + format("%.1f", f.windKnots) + " kn";
    }
    text += row("wind", value);
  }
  if (!f.currentFiles.empty()) {
    std::string value = "from " + filesText(f.currentFiles);
    if (f.outsideConstant && f.hasCurrentConstant) {
      value += "; outside " + std::string(f.currentFiles.size() > 1 ? "them" : "it") + " toward " +
               course(f.current.toward) + " at " + format("%.2f", f.current.speed) + " kn";
    }
    text += row("current", value);
  }
  return text;
}

std::string forcingMethod(const ForcingReport& f) {
  return "plane sailing, " + std::to_string(f.drift.steps) +
         (f.drift.steps == 1 ? " step" : " steps") + " of " + number(f.drift.stepMinutes) + " min";
}

std::string forcingJson(const ForcingReport& f) {
  std::string stranded;
  for (const auto& [name, s] : strandings(f)) {
    stranded += std::string(stranded.empty() ? "" : ",") + "{\"datum\":\"" + name +
                "\",\"lat\":" + number(s->lat) + ",\"lon\":" + number(wrapped(s->lon)) +
                ",\"time\":" + jsonString(fields::isoTimeText(s->time)) + "}";
  }
  return ",\"forcing\":{" + forcingJsonMembers(f) + ",\"stranded\":[" + stranded + "]}";
}

std::string forcingJsonMembers(const ForcingReport& f) {
  const auto list = [](const std::vector<std::string>& files) {
    std::string json;
    for (const std::string& file : files) json += (json.empty() ? "" : ",") + jsonString(file);
    return "[" + json + "]";
  };
  return "\"wind_files\":" + list(f.windFiles) + ",\"current_files\":" + list(f.currentFiles) +
         ",\"from\":" + jsonString(fields::isoTimeText(f.drift.from)) +
         ",\"to\":" + jsonString(fields::isoTimeText(f.drift.to)) +
         ",\"step_minutes\":" + number(f.drift.stepMinutes) +
         ",\"steps\":" + std::to_string(f.drift.steps) + ",\"outside\":\"" +
         (f.outsideConstant ? "constant" : "refuse") + "\"";
}

std::vector<std::string> forcingWarnings(const ForcingReport& f, const LeewayClass* c) {
  std::vector<std::string> warnings;
  for (const auto& [name, s] : strandings(f)) {
    const std::string datum =
        c == nullptr ? std::string("the datum") : "datum " + std::string(datumLabel(name));
    warnings.push_back(datum + " stranded at " + positionText(s->lat, s->lon) + " at " +
                       fields::isoTimeText(s->time) +
                       ": the current files give no current there (every grid value around is "
                       "missing: land in the file); it stays there to the datum time");
  }
  if (c != nullptr && !f.windFiles.empty() && f.drift.clampedSamples > 0) {
    warnings.push_back(std::string(c->key) + ": in winds up to " +
                       format("%.1f", f.drift.clampedWindKnots) + " kn (" +
                       std::to_string(f.drift.clampedSamples) + " of " +
                       std::to_string(f.drift.samples) +
                       " samples) the fitted downwind leeway is below 0; it is taken as 0 there "
                       "and the crosswind parts are kept, so the object moves across the wind "
                       "only");
  }
  return warnings;
}

std::string planText(const SearchPlan& p) {
  const Datums& d = p.datums;
  std::string text;
  if (d.diverges()) {
    text += row("datum L", positionText(d.left.lat, d.left.lon)) +
            row("datum R", positionText(d.right.lat, d.right.lon)) +
            row("datum DW", positionText(d.downwind.lat, d.downwind.lon));
  } else {
    text += row("datum", positionText(d.downwind.lat, d.downwind.lon));
  }
  text += row("drift", format("%.2f", d.downwind.distance) + " NM in " + format("%.2f", d.hours) +
                           " h; divergence " + format("%.2f", d.diverges() ? d.divergence : 0.0) +
                           " NM");
  text += row("error", "E " + format("%.2f", p.error.total) + " NM (X " +
                           format("%.2f", p.error.x) + ", Y " + format("%.2f", p.error.y) +
                           ", De " + format("%.2f", p.error.drift) + ")");
  text += row("effort", "Z " + format("%.1f", p.effort) + " NM\xC2\xB2, Zr " +
                            format("%.2f", p.relativeEffort));
  text +=
      row("radius", "R " + format("%.2f", p.radius) + " NM, fs " + format("%.2f", p.searchFactor));
  text += row("area", format("%.2f", p.area.length) + " NM along " + course(p.area.axisCourse) +
                          " x " + format("%.2f", p.area.width) + " NM, " +
                          format("%.1f", p.area.area()) + " NM\xC2\xB2  (optimum " +
                          format("%.1f", p.optimumArea.area()) + " NM\xC2\xB2)");
  for (std::size_t i = 0; i < p.area.corners.size(); ++i) {
    text += row("Area " + std::to_string(i + 1), positionText(p.area.corners[i]));
  }
  if (p.landChecked) {
    text +=
        row("land", format("%.1f", 100.0 * p.areaLandShare) + " % of the area (optimum " +
                        format("%.1f", 100.0 * p.optimumLandShare) +
                        " %), left out; POC on water only, " + format("%.1f", 100.0 * p.afloat) +
                        " % of the distribution lies on water");
  }
  text += figuresText("POC", p.planned.poc, p.optimum.poc, true);
  text += figuresText("coverage", p.planned.coverage, p.optimum.coverage, false);
  text += figuresText("POD", p.planned.pod, p.optimum.pod, true);
  text += figuresText("POS", p.planned.pos, p.optimum.pos, true);
  for (std::size_t i = 0; i < p.units.size(); ++i) {
    const UnitPlan& u = p.units[i];
    text += row("unit " + std::to_string(i + 1),
                u.name + ": Z " + format("%.1f", u.effort) + " NM\xC2\xB2, S " +
                    format("%.1f", u.spacing) + " NM (optimum " + format("%.2f", u.optimumSpacing) +
                    "), strip " + format("%.2f", u.strip.length) + " x " +
                    format("%.2f", u.strip.width) + " NM, " + std::to_string(u.legs) +
                    (u.legs == 1 ? " leg, " : " legs, ") + format("%.2f", u.track) + " NM, " +
                    hoursMinutesText(u.hours) + " (" + format("%.2f", u.hours) + " h)");
    if (p.landChecked && (u.landShare > 0.0 || u.cutLegs > 0)) {
      text += row("water", u.name + ": strip " + format("%.1f", 100.0 * u.landShare) + " % land, " +
                               std::to_string(u.cutLegs) +
                               (u.cutLegs == 1 ? " leg or turn" : " legs and turns") +
                               " cut at the shore, " + std::to_string(u.transits.size()) +
                               (u.transits.size() == 1 ? " transit" : " transits") + " round land");
    }
    text += row("CSP " + u.name, positionText(u.csp()));
    if (u.arrival) {
      text +=
          row("arrival", u.name + ": " + format("%.2f", u.arrival->distance) + " NM on " +
                             course(u.arrival->course) + ", " + hoursMinutesText(u.arrival->hours) +
                             " (" + format("%.2f", u.arrival->hours) + " h) after setting out");
    }
  }
  return text;
}

std::string planJson(const SearchPlan& p, const PlanPaths& paths, const std::string& legTable) {
  const Datums& d = p.datums;
  std::string json = "{\"datums\":{\"left\":" + pointJson(d.left.lat, d.left.lon) +
                     ",\"right\":" + pointJson(d.right.lat, d.right.lon) +
                     ",\"downwind\":" + pointJson(d.downwind.lat, d.downwind.lon) +
                     "},\"divergence_nm\":" + number(d.diverges() ? d.divergence : 0.0) +
                     ",\"drift_nm\":" + number(d.downwind.distance);
  json += ",\"x_nm\":" + number(p.error.x) + ",\"y_nm\":" + number(p.error.y) +
          ",\"de_nm\":" + number(p.error.drift) + ",\"e_nm\":" + number(p.error.total);
  json += ",\"effort_nm2\":" + number(p.effort) +
          ",\"relative_effort\":" + number(p.relativeEffort) +
          ",\"search_factor\":" + number(p.searchFactor) + ",\"radius_nm\":" + number(p.radius);
  if (p.landChecked) {
    json += ",\"land_share\":" + number(p.areaLandShare) +
            ",\"optimum_land_share\":" + number(p.optimumLandShare) +
            ",\"afloat\":" + number(p.afloat);
  }
  json += ",\"area\":" + rectangleJson(p.area) + "," + figuresJson(p.planned) +
          ",\"optimum\":{\"area\":" + rectangleJson(p.optimumArea) + "," + figuresJson(p.optimum) +
          "}";
  json += ",\"units\":[";
  for (std::size_t i = 0; i < p.units.size(); ++i) {
    const UnitPlan& u = p.units[i];
    json += (i > 0 ? "," : "") + std::string("{\"name\":") + jsonString(u.name) +
            ",\"effort_nm2\":" + number(u.effort) + ",\"spacing_nm\":" + number(u.spacing) +
            ",\"area_nm2\":" + number(u.strip.area()) + ",\"legs\":" + std::to_string(u.legs) +
            ",\"track_nm\":" + number(u.track) + ",\"hours\":" + number(u.hours) +
            ",\"csp\":" + pointJson(u.csp()) + ",\"corners\":" + cornersJson(u.strip);
    if (p.landChecked) {
      json += ",\"land_share\":" + number(u.landShare) +
              ",\"cut_legs\":" + std::to_string(u.cutLegs) + ",\"transits\":[";
      for (std::size_t k = 0; k < u.transits.size(); ++k) {
        const LandTransit& t = u.transits[k];
        json += (k > 0 ? "," : "") + std::string("{\"from\":") + pointJson(t.from) +
                ",\"to\":" + pointJson(t.to) + ",\"land_nm\":" + number(t.landNm) + "}";
      }
      json += "]";
    }
    if (u.arrival) {
      json += ",\"arrival\":{\"distance_nm\":" + number(u.arrival->distance) +
              ",\"course\":" + number(u.arrival->course) +
              ",\"hours\":" + number(u.arrival->hours) +
              ",\"late\":" + (u.arrival->late ? "true" : "false") + "}";
    }
    json += "}";
  }
  json += "],\"gpx\":" + (paths.gpx.empty() ? std::string("null") : jsonString(paths.gpx));
  if (paths.rtzWritten) {
    json += ",\"rtz\":[";
    for (std::size_t i = 0; i < paths.rtz.size(); ++i) {
      json += (i > 0 ? "," : "") + jsonString(paths.rtz[i]);
    }
    json += "]";
  }
  if (!paths.svg.empty()) json += ",\"svg\":" + jsonString(paths.svg);
  if (!legTable.empty()) json += ",\"leg_table\":[" + legTable + "]";
  return json + "}\n";
}

std::vector<std::string> planWarnings(const SearchPlan& p, const std::string& stem, int maxPoints) {
  std::vector<std::string> warnings;
  for (const UnitPlan& u : p.units) {
    const std::string unit = "unit '" + u.name + "': ";
    if (u.droppedLegs > 0) {
      warnings.push_back(unit + "at the rounded spacing of " + format("%.1f", u.spacing) +
                         " NM its strip needs more track than its speed and time give; the last " +
                         std::to_string(u.droppedLegs) +
                         " legs are dropped and part of the "
                         "strip is left unsearched");
    }
    if (u.overEndurance) {
      warnings.push_back(unit + "its route of " + format("%.2f", u.track) +
                         " NM takes longer than its time on scene");
    }
    if (u.arrival && u.arrival->late) {
      warnings.push_back(unit + "reaches its CSP " + format("%.2f", u.arrival->hours) +
                         " h after setting out, after the datum time (" +
                         format("%.2f", p.datums.hours) +
                         " h after the last known position): the object drifts on meanwhile");
    }
    for (const LandTransit& t : u.transits) {
      warnings.push_back(unit + "its route crosses land from " + positionText(t.from) + " to " +
                         positionText(t.to) + " (" + format("%.2f", t.landNm) +
                         " NM on land): not searched, and a vessel must go round");
    }
    const std::size_t points = u.route.size();
    if (maxPoints == 0 && points > static_cast<std::size_t>(kPlotterRoutePoints)) {
      warnings.push_back(
          "'" + searchPlanRouteName(stem, u.name) + "' has " + std::to_string(points) +
          " points, more than the " + std::to_string(kPlotterRoutePoints) +
          " many plotters keep; split it with --max-points " + std::to_string(kPlotterRoutePoints));
    }
  }
  return warnings;
}

}  // namespace vestrand::cli
