// fields: what forecast files hold (variables, grid, extent, times, where values are missing),
// and with --at the wind and current interpolated at one position and time.
#include <field.h>
#include <field_time.h>
#include <forcing.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "report.h"

namespace vestrand::cli {
namespace {

using fields::Field;

// "%.*f" into a string.
std::string fixed(double value, int decimals) {
  char buffer[64];
  if (!std::isfinite(value) || std::fabs(value) > 1e15) return shortestNumber(value);
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

// The spacing of an axis for people: "2.5°", or "uneven" when the file's axis is not regular.
std::string spacingText(const fields::GridAxis& axis) {
  const double step = (axis.back() - axis.front()) / static_cast<double>(axis.size() - 1);
  if (axis.largestStep() > step * (1.0 + 1e-6)) return "uneven";
  std::string text = fixed(step, 6);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text + "°";
}

std::string timesLine(const std::vector<double>& times) {
  std::string text = fields::timesText(times);
  if (times.size() < 2) return text;
  double shortest = times[1] - times[0], longest = shortest;
  for (std::size_t k = 2; k < times.size(); ++k) {
    shortest = std::min(shortest, times[k] - times[k - 1]);
    longest = std::max(longest, times[k] - times[k - 1]);
  }
  text.pop_back();  // the closing parenthesis
  const auto hours = [](double s) { return shortestNumber(std::round(s / 36.0) / 100.0); };
  text += shortest == longest ? ", every " + hours(shortest) + " h)"
                              : ", " + hours(shortest) + " to " + hours(longest) + " h apart)";
  return text;
}

std::string label(const std::string& name) {
  return name + std::string(name.size() < 10 ? 10 - name.size() : 1, ' ');
}

std::string fieldText(const Field& f) {
  std::string text = label(fields::quantityName(f.quantity)) + f.uName + ", " + f.vName + " on " +
                     std::to_string(f.grid.lon.size()) + " x " + std::to_string(f.grid.lat.size()) +
                     " points, " + spacingText(f.grid.lon) + " x " + spacingText(f.grid.lat) +
                     " apart\n";
  text += label("extent") + fields::extentText(f.grid) + "\n";
  text += label("times") + timesLine(f.times) + "\n";
  const fields::MissingSummary m = fields::missingOf(f);
  text += label("missing");
  if (m.count == 0) {
    text += "none\n";
  } else {
    text += std::to_string(m.count) + " of " + std::to_string(m.total) + " grid values (" +
            fixed(100.0 * static_cast<double>(m.count) / static_cast<double>(m.total), 1) +
            "%) at " + std::to_string(m.times) + " of " + std::to_string(f.times.size()) +
            " times, within " + fields::boxText(m.south, m.north, m.west, m.east) + "\n";
  }
  return text;
}

std::string fieldJson(const Field& f) {
  const fields::MissingSummary m = fields::missingOf(f);
  std::string times;
  for (double t : f.times) times += (times.empty() ? "" : ",") + jsonString(fields::isoTimeText(t));
  return "{\"quantity\":" + jsonString(fields::quantityName(f.quantity)) +
         ",\"u\":" + jsonString(f.uName) + ",\"v\":" + jsonString(f.vName) +
         ",\"lats\":" + std::to_string(f.grid.lat.size()) +
         ",\"lons\":" + std::to_string(f.grid.lon.size()) +
         ",\"south\":" + shortestNumber(f.grid.lat.front()) +
         ",\"north\":" + shortestNumber(f.grid.lat.back()) +
         ",\"west\":" + shortestNumber(f.grid.lon.front()) +
         ",\"east\":" + shortestNumber(f.grid.lon.back()) +
         ",\"round_the_globe\":" + (f.grid.wraps ? "true" : "false") + ",\"times\":[" + times +
         "],\"missing\":" + std::to_string(m.count) + ",\"values\":" + std::to_string(m.total) +
         "}";
}

// One part of the answer at a position: the vector and its direction and speed.
struct Part {
  bool has = false;
  fields::Source source = fields::Source::None;
  double u = 0.0, v = 0.0;
};

std::string partJson(const Part& p, bool wind) {
  if (!p.has) return "null";
  const double knots = std::hypot(p.u, p.v) / fields::kMetresPerSecondInKnots;
  return "{\"u_ms\":" + shortestNumber(p.u) + ",\"v_ms\":" + shortestNumber(p.v) +
         (wind ? ",\"from\":" + shortestNumber(fields::fromDegrees(p.u, p.v)) + ",\"speed_kn\":"
               : ",\"set\":" + shortestNumber(fields::towardDegrees(p.u, p.v)) + ",\"drift_kn\":") +
         shortestNumber(knots) + "}";
}

std::string partText(const Part& p, bool wind) {
  std::string text = label(wind ? "wind" : "current");
  if (!p.has) {
    return text +
           (p.source == fields::Source::Missing
                ? "no value: every grid value around the position is missing\n"
                : std::string("none: no file gives a ") + (wind ? "wind" : "current") + "\n");
  }
  const double knots = std::hypot(p.u, p.v) / fields::kMetresPerSecondInKnots;
  const double direction = wind ? fields::fromDegrees(p.u, p.v) : fields::towardDegrees(p.u, p.v);
  return text + (wind ? "from " : "toward ") + fixed(direction, 1) + "° at " + fixed(knots, 2) +
         " kn (u " + fixed(p.u, 3) + " m/s, v " + fixed(p.v, 3) + " m/s)\n";
}

}  // namespace

CLI::App* addFieldsSubcommand(CLI::App& app, Options& o) {
  CLI::App* sub = app.add_subcommand(
      "fields", "what GRIB and NetCDF forecast files hold; with --at the wind and current there");
  sub->add_option("files", o.files, "GRIB files of wind (or current), NetCDF files of current")
      ->required()
      ->type_name("FILE...");
  sub->add_option("--at", o.at,
                  "interpolate at a position and time: LAT LON TIME, the time in ISO 8601 UTC "
                  "(2024-01-15T12:00Z)")
      ->expected(3)
      ->type_name("LAT LON TIME");
  sub->add_flag("--json", o.json, "print one JSON object on one line");
  return sub;
}

int runFields(const Options& o) {
  double lat = 0.0, lon = 0.0, time = 0.0;
  const bool at = o.at.size() == 3;
  if (at) {
    lat = checkCoordinate("--at", o.at[0], Axis::Latitude);
    lon = checkCoordinate("--at", o.at[1], Axis::Longitude);
    std::string error;
    if (!fields::parseIsoTime(o.at[2], time, error)) {
      throw UsageError("--at time '" + o.at[2] + "' refused: " + error);
    }
  }
  fields::Forcing forcing;
  std::string text, json;
  std::vector<std::string> read;
  try {
    for (const std::string& path : o.files) {
      if (std::find(read.begin(), read.end(), path) != read.end()) continue;
      read.push_back(path);
      std::vector<Field> found = fields::readFieldFile(path);
      if (!at) {
        std::string members;
        text += label("file") + path + " (" + found.front().format + ")\n";
        for (const Field& f : found) {
          text += fieldText(f);
          members += (members.empty() ? "" : ",") + fieldJson(f);
        }
        json += (json.empty() ? "" : ",") + std::string("{\"file\":") + jsonString(path) +
                ",\"format\":" + jsonString(found.front().format) + ",\"fields\":[" + members +
                "]}";
      }
      for (Field& f : found) forcing.add(std::move(f));
    }
  } catch (const fields::FieldFileError& e) {
    throw UsageError(e.what());
  }
  if (!at) return printResult(o.json ? "{\"files\":[" + json + "]}\n" : text);

  const fields::ForcingSample s = forcing.sample(lat, lon, time);
  for (const auto quantity : {fields::Quantity::Wind, fields::Quantity::Current}) {
    const fields::Source source =
        quantity == fields::Quantity::Wind ? s.windSource : s.currentSource;
    if (source == fields::Source::Outside) {
      throw UsageError(forcing.outsideText(quantity, lat, lon, time));
    }
  }
  const Part wind{s.hasWind, s.windSource, s.windU, s.windV};
  const Part current{s.hasCurrent, s.currentSource, s.curU, s.curV};
  if (o.json) {
    return printResult("{\"wind\":" + partJson(wind, true) +
                       ",\"current\":" + partJson(current, false) + "}\n");
  }
  return printResult(label("position") + positionText(lat, lon, CoordinateForm::DegreesMinutes) +
                     "\n" + label("time") + fields::isoTimeText(time) + "\n" +
                     partText(wind, true) + partText(current, false));
}

}  // namespace vestrand::cli
