#include "simulate_command.h"

#include <cloud_area.h>
#include <drift_forcing.h>
#include <drift_run.h>
#include <field_forcing.h>
#include <field_time.h>
#include <gpx.h>
#include <gpx_reader.h>
#include <land_atlas.h>
#include <land_grid.h>
#include <leeway.h>
#include <particle_cloud.h>
#include <plan_chart.h>
#include <plan_figure.h>
#include <plan_land.h>
#include <plan_svg.h>
#include <probability_map.h>
#include <safe_file.h>
#include <search_area.h>
#include <search_plan.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <sstream>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "options.h"
#include "report.h"
#include "search_report.h"

namespace vestrand::cli {
namespace {

using namespace vestrand::drift;

constexpr double kMaxSimulatedHours = 720.0;  // thirty days: beyond that a map is a guess
constexpr double kMaxParticles = 10000000.0;
constexpr double kDefaultParticles = 10000.0;
constexpr double kMaxWindSpeed = 100.0;  // knots
constexpr double kMaxCell = 100.0;       // nautical miles
constexpr std::size_t kMaxSearches = 100;
constexpr double kPlotterRingShare = 0.02;  // of the area's cells, the least a plotter's ring holds

[[noreturn]] void refuse(const std::string& option, const std::string& text,
                         const std::string& reason) {
  throw UsageError(option + " '" + text + "' refused: " + reason);
}

double checkTime(const std::string& option, const std::string& text) {
  double seconds = 0.0;
  std::string error;
  if (!parseUtcTime(text, seconds, error)) refuse(option, text, error);
  return seconds;
}

// The position error X: nautical miles, or the fix it came from, as plan takes it.
double checkPositionError(const std::string& text) {
  if (const FixError* fix = findFixError(text)) return fix->error;
  if (!text.empty() && (std::isalpha(static_cast<unsigned char>(text[0])) != 0)) {
    std::string fixes;
    for (const FixError& f : fixErrors())
      fixes += (fixes.empty() ? "" : ", ") + std::string(f.name);
    refuse("--x-error", text, "expected nautical miles or a fix: " + fixes);
  }
  return checkBounded("--x-error", text, 0.0, kMaxDistance, "nautical miles");
}

double checkWhole(const std::string& option, const std::string& text, double low, double high) {
  const double value = checkFinite(option, text);
  if (value != std::trunc(value)) refuse(option, text, "not a whole number");
  if (value < low || value > high) {
    refuse(option, text,
           "must lie from " + std::to_string(static_cast<long long>(low)) + " to " +
               std::to_string(static_cast<long long>(high)));
  }
  return value;
}

// TIME:FROM:SPEED, the time itself holding colons.
WindEntry checkWindEntry(const std::string& text) {
  const std::size_t speedAt = text.rfind(':');
  const std::size_t fromAt = speedAt == std::string::npos || speedAt == 0
                                 ? std::string::npos
                                 : text.rfind(':', speedAt - 1);
  if (fromAt == std::string::npos) {
    refuse("--wind", text, "expected TIME:FROM:SPEED, e.g. 2026-12-07T14:00Z:270:15");
  }
  WindEntry w;
  w.seconds = checkTime("--wind", text.substr(0, fromAt));
  w.fromDeg = checkBounded("--wind", text.substr(fromAt + 1, speedAt - fromAt - 1), -kMaxCourse,
                           kMaxCourse, "degrees");
  w.speedKn = checkBounded("--wind", text.substr(speedAt + 1), 0.0, kMaxWindSpeed, "knots");
  return w;
}

// A direction and a speed given together or not at all, as drift takes them.
bool pair(const CLI::App& sub, const char* dirOption, const std::string& dir,
          const char* speedOption, const std::string& speed, double& toward, double& knots) {
  const bool hasDir = given(&sub, dirOption), hasSpeed = given(&sub, speedOption);
  if (hasDir != hasSpeed) {
    if (hasDir) refuse(dirOption, dir, std::string("a direction needs its speed, ") + speedOption);
    refuse(speedOption, speed, std::string("a speed needs its direction, ") + dirOption);
  }
  if (!hasDir) return false;
  toward = checkBounded(dirOption, dir, -kMaxCourse, kMaxCourse, "degrees");
  knots = checkBounded(speedOption, speed, 0.0, kMaxDriftSpeed, "knots");
  return true;
}

SearchEffort readSearch(const std::string& file, const std::string& start, const std::string& speed,
                        const std::string& width) {
  SearchEffort s;
  s.name = checkPath("--search", file, "a GPX file");
  s.startSeconds = checkTime("--search-start", start);
  s.speedKn = checkSpeed("--speed", speed);
  s.sweepWidthNm = checkPositiveUpTo("--sweep-width", width, kMaxSweepWidth, " nautical miles");
  GpxDocument doc;
  std::string error;
  if (!readGpxFile(file, doc, error)) refuse("--search", file, error);
  // Routes as planned; a file of tracks (a unit's own record of where it went) serves as well.
  for (const auto* list : {&doc.routes, &doc.tracks}) {
    for (const GpxRoute& r : *list) {
      if (r.points.size() < 2) continue;
      std::vector<SearchEffort::Point> route;
      for (const GpxPoint& p : r.points) route.push_back({p.lat, p.lon});
      s.routes.push_back(std::move(route));
    }
    if (!s.routes.empty()) break;
  }
  if (s.routes.empty()) refuse("--search", file, "the file holds no route of two points or more");
  return s;
}

std::string percent(double fraction) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %%", 100.0 * fraction);
  return text;
}

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

struct Outcome {
  std::size_t particles = 0;
  double endSeconds = 0.0;
  CloudSummary summary;
  ProbabilityMap map;
  DriftOutcome drift;
  std::optional<ForcingReport> forcing;  // when forecast files were given
  // With land: the shorelines, the particles stranded and the weight left in all.
  LandChoice land;
  drift::Stranding stranded;
  double weight = 0.0;
};

// The share of the weight left that lies on a current file's land.
double strandedShare(const Outcome& r) {
  return r.summary.weight > 0.0 ? r.drift.strandedWeight / r.summary.weight : 0.0;
}

// The shorelines the particles strand on, by --land at the resolution fit for where they can
// reach, laid on a grid over that box; no grid with --land none or without shorelines.
std::unique_ptr<land::LandGrid> landGrid(const std::string& landText, const CLI::App& sub,
                                         const ParticleCloud& cloud, const DriftModel& m,
                                         const DriftForcing& forcing, const DriftRun& run,
                                         LandChoice& choice) {
  const land::GeoBox box = driftReach(cloud, m, forcing, run);
  const double extentNm =
      60.0 * std::max(box.north - box.south,
                      (box.east - box.west) *
                          std::cos((box.north + box.south) / 2.0 * std::numbers::pi / 180.0));
  choice = chooseLand(landText, sub, land::detailForExtent(extentNm), false);
  if (!choice.mask) return nullptr;
  return std::make_unique<land::LandGrid>(*choice.mask, box);
}

void noteStranded(Outcome& r, const ParticleCloud& cloud) {
  if (!r.land.mask) return;
  r.stranded = strandingOf(cloud);
  for (const float w : cloud.weight) r.weight += w;
}

std::string strandedText(const Outcome& r) {
  if (!r.land.mask) return "";
  const drift::Stranding& s = r.stranded;
  std::string text = "stranded  none\n";
  if (s.particles > 0) {
    text = "stranded  " + percent(r.weight > 0.0 ? s.weight / r.weight : 0.0) +
           " of the weight on the shore, " + std::to_string(s.particles) + " particles, mean at " +
           vestrand::positionText(s.lat, s.lon) + "\n";
  }
  return text + landSummaryText(r.land);
}

std::string strandedJson(const Outcome& r) {
  if (!r.land.mask) return "";
  const drift::Stranding& s = r.stranded;
  const bool any = s.particles > 0;
  return ",\"stranded\":{\"particles\":" + std::to_string(s.particles) +
         ",\"weight\":" + shortestNumber(r.weight > 0.0 ? s.weight / r.weight : 0.0) +
         ",\"lat\":" + (any ? shortestNumber(s.lat) : "null") +
         ",\"lon\":" + (any ? shortestNumber(s.lon) : "null") + "}" + landJsonMembers(r.land);
}

std::string reportText(const Outcome& r, const std::vector<std::string>& written) {
  std::ostringstream out;
  for (const std::string& path : written) out << path << "\n";
  const CloudSummary& s = r.summary;
  out << "particles " << r.particles << "\n";
  out << "time      " << utcTimeText(r.endSeconds) << "\n";
  if (r.forcing) {
    out << forcingFilesText(*r.forcing);
    if (r.drift.stranded > 0) {
      out << "coast     " << r.drift.stranded
          << (r.drift.stranded == 1 ? " particle, " : " particles, ") << percent(strandedShare(r))
          << " of the weight, stranded where the current files give no current (land in the "
             "file)\n";
    }
  }
  if (std::isnan(s.lat)) {
    out << "mean      none: every particle was found by the searches\n";
  } else {
    out << "mean      " << vestrand::positionText(s.lat, s.lon) << "\n";
    out << "axis      " << fixed(s.axisCourse, 1) << "° true, sd " << fixed(s.sdAlong, 2)
        << " NM along, " << fixed(s.sdAcross, 2) << " NM across\n";
    out << "sides     " << percent(s.right) << " right, " << percent(s.left) << " left\n";
    out << "area 50%  " << fixed(r.map.area50, 2) << " NM²\n";
    out << "area 90%  " << fixed(r.map.area90, 2) << " NM²\n";
    out << "cell      " << fixed(r.map.cell, 3) << " NM, " << r.map.cells.size()
        << " cells hold weight\n";
  }
  out << strandedText(r);
  for (std::size_t k = 0; k < r.drift.searches.size(); ++k) {
    const SearchScore& sc = r.drift.searches[k];
    out << "search " << k + 1 << "  " << sc.name << " from " << utcTimeText(sc.startSeconds)
        << ": POS " << percent(sc.pos) << ", cumulative " << percent(sc.cumulativePos) << "\n";
  }
  return out.str();
}

std::string reportJson(const Outcome& r, const std::string& svg, const std::string& gpx) {
  const CloudSummary& s = r.summary;
  auto path = [](const std::string& p) { return p.empty() ? std::string("null") : jsonString(p); };
  std::string j =
      "{\"particles\":" + std::to_string(r.particles) +
      ",\"time\":" + jsonString(utcTimeText(r.endSeconds)) +
      ",\"mean\":{\"lat\":" + shortestNumber(s.lat) + ",\"lon\":" + shortestNumber(s.lon) + "}" +
      ",\"axis_course\":" + shortestNumber(s.axisCourse) +
      ",\"sd_along_nm\":" + shortestNumber(s.sdAlong) +
      ",\"sd_across_nm\":" + shortestNumber(s.sdAcross) + ",\"right\":" + shortestNumber(s.right) +
      ",\"left\":" + shortestNumber(s.left) + ",\"area50_nm2\":" + shortestNumber(r.map.area50) +
      ",\"area90_nm2\":" + shortestNumber(r.map.area90) + ",\"searches\":[";
  for (std::size_t k = 0; k < r.drift.searches.size(); ++k) {
    const SearchScore& sc = r.drift.searches[k];
    j += (k ? "," : "") + std::string("{\"file\":") + jsonString(sc.name) +
         ",\"start\":" + jsonString(utcTimeText(sc.startSeconds)) +
         ",\"pos\":" + shortestNumber(sc.pos) + "}";
  }
  j += "],\"cumulative_pos\":" + shortestNumber(r.drift.cumulativePos) + ",\"svg\":" + path(svg) +
       ",\"gpx\":" + path(gpx) + ",\"cell_nm\":" + shortestNumber(r.map.cell) + ",\"cells\":[";
  for (std::size_t k = 0; k < r.map.cells.size(); ++k) {
    const MapCell& c = r.map.cells[k];
    j += (k ? ",{\"lat\":" : "{\"lat\":") + shortestNumber(c.lat) +
         ",\"lon\":" + shortestNumber(c.lon) + ",\"p\":" + shortestNumber(c.p) + "}";
  }
  j += "]" + strandedJson(r);
  if (r.forcing) {
    j += ",\"forcing\":{" + forcingJsonMembers(*r.forcing) +
         ",\"stranded_particles\":" + std::to_string(r.drift.stranded) +
         ",\"stranded_share\":" + shortestNumber(strandedShare(r)) + "}";
  }
  return j + "}\n";
}

// The outlines of the 50 % and 90 % areas: every outer ring enclosing at least `share` of its
// area's cells, named "50 %" or, when the area falls apart, "50 % (1/3)", ... A hole is left
// out: a plotter draws no holes. The picture takes every ring; the plotter's file leaves out the
// islands of a cell or two that the particles' scatter makes along the edge.
struct NamedRing {
  std::string name;
  OutlineRing ring;
};
std::vector<NamedRing> outlines(const ProbabilityMap& map, double share) {
  std::vector<NamedRing> named;
  for (const auto& [label, count] : {std::pair{"50 %", map.count50}, {"90 %", map.count90}}) {
    std::vector<OutlineRing> outer;
    for (OutlineRing& ring : outlineRings(map, count)) {
      if (!ring.hole && ring.areaCells >= share * static_cast<double>(count)) {
        outer.push_back(std::move(ring));
      }
    }
    for (std::size_t k = 0; k < outer.size(); ++k) {
      std::string name = label;
      if (outer.size() > 1)
        name += " (" + std::to_string(k + 1) + "/" + std::to_string(outer.size()) + ")";
      named.push_back({name, std::move(outer[k])});
    }
  }
  return named;
}

PlanFigure mapFigure(const Outcome& r, const DriftModel& m, const std::vector<NamedRing>& rings) {
  PlanDrawing drawing;
  drawing.datumLat = r.summary.lat;
  drawing.datumLon = r.summary.lon;
  PlanExtras extras;
  const double top = r.map.cells.empty() ? 1.0 : r.map.cells.front().p;
  for (const MapCell& c : r.map.cells) {
    extras.cells.push_back({{c.lat, c.lon}, r.map.cell, c.p / top});
  }
  for (const NamedRing& n : rings) {
    ExtraLine line;
    for (std::size_t k = 0; k < n.ring.lat.size(); ++k)
      line.points.push_back({n.ring.lat[k], n.ring.lon[k]});
    line.colour = n.name.starts_with("50") ? Rgb{0x8b, 0x00, 0x00} : Rgb{0x1f, 0x5f, 0xbf};
    line.width = 1.5;
    line.dashed = !n.name.starts_with("50");
    extras.lines.push_back(std::move(line));
  }
  extras.marks.push_back({"LKP", {m.lat, m.lon}, MarkShape::Triangle});
  if (m.track) extras.marks.push_back({"LKP 2", {m.lat2, m.lon2}, MarkShape::Triangle});
  const CloudSummary& s = r.summary;
  if (m.leeway == DriftModel::Leeway::Class && !std::isnan(s.leftLat) && !std::isnan(s.rightLat)) {
    extras.marks.push_back({"Datum L", {s.leftLat, s.leftLon}, MarkShape::Cross});
    extras.marks.push_back({"Datum R", {s.rightLat, s.rightLon}, MarkShape::Cross});
  } else {
    extras.marks.push_back({"Datum", {s.lat, s.lon}, MarkShape::Cross});
  }
  PlanFigure figure = layoutPlanFigure(drawing, kSvgPictureSize, extras);
  if (r.land.mask) addLandLayer(figure, {r.summary.lat, r.summary.lon}, *r.land.mask);
  figure.title = "Probability map at " + utcTimeText(r.endSeconds);
  return figure;
}

// --lat2, --lon2 and --time2: the track the object was on, all three or none.
void readTrack(const SimulateOptions& o, const CLI::App& sub, DriftModel& m) {
  const bool lat2 = given(&sub, "--lat2"), lon2 = given(&sub, "--lon2"),
             time2 = given(&sub, "--time2");
  if (!lat2 && !lon2 && !time2) return;
  if (!(lat2 && lon2 && time2))
    throw UsageError("a track needs --lat2, --lon2 and --time2 together");
  m.track = true;
  m.lat2 = checkCoordinate("--lat2", o.lat2, Axis::Latitude);
  m.lon2 = checkCoordinate("--lon2", o.lon2, Axis::Longitude);
  m.seconds2 = checkTime("--time2", o.time2);
  if (!(m.seconds2 > m.seconds)) refuse("--time2", o.time2, "must come after --time");
}

// The searches, each with its own start, speed and sweep width, within the simulated span.
std::vector<SearchEffort> readSearches(const SimulateOptions& o, double startSeconds,
                                       double endSeconds, const char* endName) {
  const std::size_t searches = o.search.size();
  if (searches > kMaxSearches) refuse("--search", o.search.back(), "at most 100 searches");
  for (const auto& [option, list] : {std::pair{"--search-start", &o.searchStart},
                                     {"--speed", &o.speed},
                                     {"--sweep-width", &o.sweepWidth}}) {
    if (list->size() != searches) {
      throw UsageError(std::string(option) + " is given " + std::to_string(list->size()) +
                       " times for " + std::to_string(searches) +
                       " --search: every search needs its own --search-start, --speed and "
                       "--sweep-width");
    }
  }
  std::vector<SearchEffort> efforts;
  for (std::size_t k = 0; k < searches; ++k) {
    SearchEffort s = readSearch(o.search[k], o.searchStart[k], o.speed[k], o.sweepWidth[k]);
    if (s.startSeconds < startSeconds) {
      refuse("--search-start", o.searchStart[k], "comes before --time");
    }
    const double end = startSeconds + searchEndHours(s, startSeconds) * 3600.0;
    if (end > endSeconds) {
      refuse("--search", o.search[k],
             "the search ends at " + utcTimeText(end) + ", after " + endName + " " +
                 utcTimeText(endSeconds));
    }
    efforts.push_back(std::move(s));
  }
  return efforts;
}

// A particle without wind or outside the files stops the map, as a datum stops the drift.
void refuseFault(const ForcingFault& fault, const fields::Forcing& files) {
  const std::string quantity = fault.wind ? "wind" : "current";
  switch (fault.kind) {
    case ForcingFault::Kind::None:
      return;
    case ForcingFault::Kind::Outside:
      throw UsageError(outsideRefusal(
          fault.step == 0 ? "the cloud's start lies outside the " + quantity + " files"
                          : "a particle drifts out of the " + quantity + " files",
          files, fault.wind ? fields::Quantity::Wind : fields::Quantity::Current, fault.lat,
          fault.lon, fault.seconds, "simulation"));
    case ForcingFault::Kind::NoWind:
      throw UsageError("a particle drifts to where the wind files give no wind: at " +
                       vestrand::positionText(fault.lat, fault.lon) + " at " +
                       utcTimeText(fault.seconds) + " every grid value around is missing");
  }
}

}  // namespace

void addPlanParticles(CLI::App* plan, SimulateOptions& o) {
  plan->add_option("--particles", o.particles,
                   "plan over this many simulated objects, 1 to 10000000, drifted to the middle of "
                   "the search period, instead of the circular normal distribution")
      ->type_name("N");
  plan->add_option("--seed", o.seed, "seed of the simulation, 0 to 2^53 (default 1)")
      ->type_name("S");
  // The rest of simulate's case, so that the plan is made over the map that simulate draws; the
  // time of the last known position is the plan's own --time, which the forecast files use too.
  plan->add_option("--lat2", o.lat2, "with --particles: second position of a track")
      ->type_name("LAT");
  plan->add_option("--lon2", o.lon2, "with --particles: its longitude")->type_name("LON");
  plan->add_option("--time2", o.time2, "with --particles: time at the second position")
      ->type_name("TIME");
  plan->add_option("--current-error", o.currentError,
                   "with --particles: probable error of the current, knots, 0 to 20")
      ->type_name("KN");
  plan->add_option("--jibe-rate", o.jibeRate,
                   "with --particles: probability of a jibe in an hour, 0 to 1 (default 0.04)")
      ->type_name("P");
  auto many = [plan](const char* name, std::vector<std::string>& value, const char* help,
                     const char* type) {
    plan->add_option(name, value, help)
        ->type_name(type)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  };
  many("--search", o.search,
       "with --particles: a GPX file of routes sailed without success, "
       "repeated",
       "FILE");
  many("--search-start", o.searchStart, "when that search started, ISO 8601 UTC", "TIME");
  many("--speed", o.speed, "that search's speed, knots", "KN");
  many("--sweep-width", o.sweepWidth, "that search's sweep width, NM", "W");
}

bool planOverParticles(const Options& o, const CLI::App& sub, const SearchPlanInput& input,
                       const fields::Forcing* files, SearchPlan& plan) {
  if (!given(&sub, "--particles")) {
    for (const char* option : {"--seed", "--lat2", "--current-error", "--jibe-rate", "--search"}) {
      if (given(&sub, option)) {
        throw UsageError(std::string(option) + " refused: it describes the cloud of --particles");
      }
    }
    return false;
  }
  const auto particles =
      static_cast<std::size_t>(checkWhole("--particles", o.simulate.particles, 1.0, kMaxParticles));
  const auto seed = static_cast<std::uint64_t>(
      given(&sub, "--seed") ? checkWhole("--seed", o.simulate.seed, 0.0, 9007199254740992.0) : 1.0);
  // The options were checked by the plan already.
  DriftModel m;
  m.lat = checkCoordinate("--lat", o.lat, Axis::Latitude);
  m.lon = checkCoordinate("--lon", o.lon, Axis::Longitude);
  m.positionError = std::hypot(input.x, input.y);
  const SimulateOptions& c = o.simulate;
  if (given(&sub, "--time")) m.seconds = checkTime("--time", o.time);
  if (given(&sub, "--lat2") || given(&sub, "--lon2") || given(&sub, "--time2")) {
    if (!given(&sub, "--time")) throw UsageError("a track needs --time too");
    readTrack(c, sub, m);
  }
  if (given(&sub, "--current-error")) {
    m.currentError = checkBounded("--current-error", c.currentError, 0.0, kMaxDriftSpeed, "knots");
  }
  if (given(&sub, "--jibe-rate")) {
    m.jibeRate = checkBounded("--jibe-rate", c.jibeRate, 0.0, 1.0, "(a probability)");
  }
  std::vector<WindEntry> wind;
  if (given(&sub, "--object")) {
    m.leeway = DriftModel::Leeway::Class;
    m.leewayClass = *findLeewayClass(o.object);
    // With wind files the wind is theirs (and the constant, if given, serves outside them).
    if (files == nullptr || files->windFields().areas().empty()) {
      wind.push_back(
          {0.0, checkFinite("--wind-from", o.windFrom), checkFinite("--wind-speed", o.windSpeed)});
    }
  } else if (given(&sub, "--leeway-toward")) {
    m.leeway = DriftModel::Leeway::Manual;
    m.leewayTowardDeg = checkFinite("--leeway-toward", o.leewayToward);
    m.leewaySpeedKn = checkFinite("--leeway-speed", o.leewaySpeed);
  }
  const bool current = given(&sub, "--current-set");
  const UniformForcing constant(wind, current ? checkFinite("--current-set", o.currentSet) : 0.0,
                                current ? checkFinite("--current-drift", o.currentDrift) : 0.0);
  std::optional<FieldForcing> gridded;
  if (files != nullptr) gridded.emplace(*files);
  const DriftForcing& forcing = gridded ? static_cast<const DriftForcing&>(*gridded) : constant;
  double onScene = 0.0;
  for (const SearchUnit& u : input.units) onScene = std::max(onScene, u.hours);
  DriftRun run;
  run.endSeconds = m.seconds + (checkFinite("--hours", o.hours) + onScene / 2.0) * 3600.0;
  if (m.track && run.endSeconds < m.seconds2) {
    throw UsageError("the middle of the search period, " + utcTimeText(run.endSeconds) +
                     ", comes before --time2");
  }
  if (!c.search.empty() && !given(&sub, "--time")) {
    throw UsageError("--search needs --time: its start is a time of day");
  }
  run.searches = readSearches(c, m.seconds, run.endSeconds, "the middle of the search period");

  ParticleCloud cloud = seedCloud(m, particles, seed);
  std::unique_ptr<land::LandGrid> grid;
  if (input.land != nullptr) {
    grid = std::make_unique<land::LandGrid>(*input.land, driftReach(cloud, m, forcing, run));
    run.land = grid.get();
  }
  const DriftOutcome drifted = runDrift(cloud, m, forcing, run, seed);
  if (files != nullptr) refuseFault(drifted.fault, *files);
  // The object cannot be on land: the stranded particles are left out, and the POC is that of the
  // particles afloat.
  for (std::size_t i = 0; grid && i < cloud.size(); ++i) {
    if (stranded(cloud, i)) cloud.weight[i] = 0.0f;
  }
  const CloudSummary summary = summarizeCloud(cloud);
  const CloudPoc poc(cloud, summary);
  double effort = 0.0;
  for (const SearchUnit& u : input.units) effort += u.effort();
  const CloudRectangle r = optimalCloudRectangle(poc, summary, effort, input.conditions);
  SearchPlan over;
  switch (planSearchOver(
      input, {r.lat, r.lon}, r.axisCourse, r.length, r.width,
      [&poc](double l, double w) { return poc(l, w); }, over)) {
    case PlanFault::None:
      break;
    case PlanFault::PastPole:
      refuse("--lat", o.lat, "the cloud's area would reach beyond a pole");
    default:
      refuse("--particles", o.simulate.particles, "the cloud gives no area to search");
  }
  plan = std::move(over);
  return true;
}

std::string particlePlanText(const SearchPlan& plan, double normalPos) {
  char text[160];
  std::snprintf(text, sizeof text,
                "particles POS %.1f%% over the simulated cloud (POC %.1f%%), %.1f%% over the "
                "circular normal distribution\n",
                100.0 * plan.planned.pos, 100.0 * plan.planned.poc, 100.0 * normalPos);
  return text;
}

std::string particlePlanJson(const SearchPlan& plan, double normalPos) {
  return ",\"particles\":{\"pos\":" + shortestNumber(plan.planned.pos) +
         ",\"normal_pos\":" + shortestNumber(normalPos) + "}";
}

bool parseUtcTime(const std::string& text, double& seconds, std::string& error) {
  return fields::parseIsoTime(text, seconds, error);
}

std::string utcTimeText(double seconds) {
  return fields::isoTimeText(seconds);
}

CLI::App* addSimulateSubcommand(CLI::App& app, SimulateOptions& o) {
  CLI::App* s = app.add_subcommand(
      "simulate",
      "probability map: thousands of possible objects drifted from the last known position, "
      "scored against searches that did not find them");
  auto opt = [s](const char* name, std::string& value, const char* help, const char* type) {
    return s->add_option(name, value, help)->type_name(type);
  };
  auto many = [s](const char* name, std::vector<std::string>& value, const char* help,
                  const char* type) {
    return s->add_option(name, value, help)
        ->type_name(type)
        ->take_all()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  };
  opt("--lat", o.lat, "last known latitude (any form of the other subcommands)", "LAT")->required();
  opt("--lon", o.lon, "last known longitude", "LON")->required();
  opt("--time", o.time, "time of the last known position, ISO 8601 UTC (2026-12-07T14:30Z)", "TIME")
      ->required();
  opt("--lat2", o.lat2, "second position of a track the object was on", "LAT");
  opt("--lon2", o.lon2, "second position's longitude", "LON");
  opt("--time2", o.time2, "time at the second position, after --time", "TIME");
  opt("--x-error", o.xError,
      "initial position error X, NM 0 to 500, or the fix: gnss, radar, visual, celestial, beacon "
      "(default 0)",
      "X|FIX");
  CLI::Option* object =
      opt("--object", o.object, "leeway class, its number or key (vestrand-cli objects)", "ID|KEY");
  opt("--wind-from", o.windFrom, "direction the wind blows from, degrees true", "DEG");
  opt("--wind-speed", o.windSpeed, "wind speed, knots, 0 to 100", "KN");
  many("--wind", o.wind,
       "a wind of a series, repeated: TIME:FROM:SPEED, linear between entries, constant beyond",
       "TIME:FROM:SPEED");
  opt("--leeway-toward", o.leewayToward, "manual leeway: direction it pushes toward, degrees true",
      "DEG");
  opt("--leeway-speed", o.leewaySpeed, "manual leeway: speed, knots, 0 to 20", "KN");
  opt("--current-set", o.currentSet, "direction the current flows toward, degrees true", "DEG");
  opt("--current-drift", o.currentDrift, "speed of the current, knots, 0 to 20", "KN");
  opt("--current-error", o.currentError,
      "probable error of the current, knots, 0 to 20 (default 0)", "KN");
  s->add_option("--wind-file", o.windFiles,
                "GRIB file of the 10 m wind, instead of --wind-from/--wind-speed; repeat for more "
                "files (steps, areas); needs --object")
      ->needs(object)
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->type_name("FILE");
  s->add_option("--current-file", o.currentFiles,
                "NetCDF (or GRIB) file of the surface current, instead of "
                "--current-set/--current-drift; repeat for more files")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->type_name("FILE");
  opt("--outside", o.outside,
      "outside the forecast files' extent or times: refuse (default), or constant: take "
      "--wind-from/--wind-speed and --current-set/--current-drift there",
      "refuse|constant");
  opt("--until", o.until, "time of the map, ISO 8601 UTC", "TIME");
  opt("--hours", o.hours, "hours from --time to the map, above 0 and at most 720", "H");
  opt("--particles", o.particles, "number of particles, 1 to 10000000 (default 10000)", "N");
  opt("--seed", o.seed, "seed of the random numbers, 0 to 2^53 (default 1)", "S");
  opt("--step-minutes", o.stepMinutes, "time step, minutes, 1 to 60 (default 10)", "MIN");
  opt("--jibe-rate", o.jibeRate, "probability of a jibe in an hour, 0 to 1 (default 0.04)", "P");
  opt("--cell", o.cell,
      "grid cell, NM, above 0 and at most 100 (default: the 90 % area about 50 "
      "cells across)",
      "NM");
  many("--search", o.search, "a GPX file of routes sailed without finding the object, repeated",
       "FILE");
  many("--search-start", o.searchStart, "when that search started, ISO 8601 UTC, one per --search",
       "TIME");
  many("--speed", o.speed, "that search's speed, knots, one per --search", "KN");
  many("--sweep-width", o.sweepWidth, "that search's sweep width, NM, one per --search", "W");
  opt("--svg", o.svg, "also write the map as an SVG picture at this path", "FILE");
  opt("--gpx", o.gpx, "also write the 50 % and 90 % outlines as closed routes to this GPX file",
      "FILE");
  s->add_flag("--json", o.json, "print one JSON object on one line");
  addLandOption(s, o.land);
  return s;
}

int runSimulate(const SimulateOptions& o, const CLI::App& sub) {
  DriftModel m;
  m.lat = checkCoordinate("--lat", o.lat, Axis::Latitude);
  m.lon = checkCoordinate("--lon", o.lon, Axis::Longitude);
  m.seconds = checkTime("--time", o.time);
  readTrack(o, sub, m);
  if (given(&sub, "--x-error")) m.positionError = checkPositionError(o.xError);

  // The leeway: a class with its wind, or a manual vector, or none.
  const bool hasClass = given(&sub, "--object");
  const bool hasSeries = given(&sub, "--wind");
  const bool hasWind = given(&sub, "--wind-from") || given(&sub, "--wind-speed");
  std::vector<WindEntry> wind;
  double toward = 0.0, knots = 0.0;
  const bool manual =
      pair(sub, "--leeway-toward", o.leewayToward, "--leeway-speed", o.leewaySpeed, toward, knots);
  if (hasClass && manual) {
    refuse("--object", o.object, "--leeway-toward and --leeway-speed give the leeway already");
  }
  if ((hasWind || hasSeries) && !hasClass) {
    throw UsageError("a wind needs --object: it moves the object through its class's leeway");
  }
  if (hasWind && hasSeries) refuse("--wind", o.wind.front(), "give one wind or a series, not both");
  const bool files = !o.windFiles.empty() || !o.currentFiles.empty();
  if (!files && given(&sub, "--outside")) {
    refuse("--outside", o.outside,
           "it serves the forecast files; give --wind-file or --current-file, or leave it out");
  }
  // The files' forcing holds one constant wind, not a series.
  if (files && hasSeries) {
    refuse("--wind", o.wind.front(),
           "a wind series does not go with forecast files: give --wind-file, or --wind-from and "
           "--wind-speed");
  }
  std::optional<ForcingReport> report;
  if (files) {
    report = checkForcingOptions({o.windFiles, o.currentFiles, o.outside, o.windFrom, o.windSpeed,
                                  o.currentSet, o.currentDrift},
                                 sub, hasClass);
  }
  if (hasClass) {
    const LeewayClass* k = findLeewayClass(o.object);
    if (k == nullptr)
      refuse("--object", o.object, "no such class (vestrand-cli objects lists them)");
    m.leeway = DriftModel::Leeway::Class;
    m.leewayClass = *k;
    if (hasSeries) {
      for (const std::string& w : o.wind) wind.push_back(checkWindEntry(w));
    } else if (!o.windFiles.empty()) {
      // The wind comes from the files; --wind-from/--wind-speed, if given, only outside them.
    } else {
      double from = 0.0, speed = 0.0;
      if (!given(&sub, "--wind-from") || !given(&sub, "--wind-speed")) {
        throw UsageError("--object needs its wind: --wind-from and --wind-speed, or --wind");
      }
      from = checkBounded("--wind-from", o.windFrom, -kMaxCourse, kMaxCourse, "degrees");
      speed = checkBounded("--wind-speed", o.windSpeed, 0.0, kMaxWindSpeed, "knots");
      wind.push_back({m.seconds, from, speed});
    }
  } else if (manual) {
    m.leeway = DriftModel::Leeway::Manual;
    m.leewayTowardDeg = toward;
    m.leewaySpeedKn = knots;
  }
  double set = 0.0, drift = 0.0;
  pair(sub, "--current-set", o.currentSet, "--current-drift", o.currentDrift, set, drift);
  if (given(&sub, "--current-error")) {
    m.currentError = checkBounded("--current-error", o.currentError, 0.0, kMaxDriftSpeed, "knots");
  }
  if (given(&sub, "--jibe-rate")) {
    m.jibeRate = checkBounded("--jibe-rate", o.jibeRate, 0.0, 1.0, "(a probability)");
  }

  DriftRun run;
  const bool hasUntil = given(&sub, "--until"), hasHours = given(&sub, "--hours");
  if (hasUntil == hasHours) throw UsageError("simulate needs one of --until TIME and --hours H");
  if (hasUntil) {
    run.endSeconds = checkTime("--until", o.until);
    if (!(run.endSeconds > m.seconds)) refuse("--until", o.until, "must come after --time");
    if (run.endSeconds - m.seconds > kMaxSimulatedHours * 3600.0) {
      refuse("--until", o.until, "lies more than 720 hours after --time");
    }
  } else {
    const double hours = checkFinite("--hours", o.hours);
    if (!(hours > 0.0 && hours <= kMaxSimulatedHours)) {
      refuse("--hours", o.hours, "must be greater than 0 and at most 720 hours");
    }
    run.endSeconds = m.seconds + hours * 3600.0;
  }
  if (m.track && run.endSeconds < m.seconds2) {
    throw UsageError("the map's time " + utcTimeText(run.endSeconds) +
                     " comes before --time2: some objects would not yet be in the water");
  }
  if (given(&sub, "--step-minutes")) {
    run.stepMinutes = checkBounded("--step-minutes", o.stepMinutes, 1.0, 60.0, "minutes");
  }
  const auto particles = static_cast<std::size_t>(
      given(&sub, "--particles") ? checkWhole("--particles", o.particles, 1.0, kMaxParticles)
                                 : kDefaultParticles);
  const auto seed = static_cast<std::uint64_t>(
      given(&sub, "--seed") ? checkWhole("--seed", o.seed, 0.0, 9007199254740992.0) : 1.0);
  double cell = 0.0;
  if (given(&sub, "--cell"))
    cell = checkPositiveUpTo("--cell", o.cell, kMaxCell, " nautical miles");

  run.searches = readSearches(o, m.seconds, run.endSeconds, "the map's time");
  std::string svg, gpx;
  if (given(&sub, "--svg")) svg = checkPath("--svg", o.svg, "a file");
  if (given(&sub, "--gpx")) gpx = checkPath("--gpx", o.gpx, "a file");

  const UniformForcing constant(wind, set, drift);
  fields::Forcing fromFiles;
  std::optional<FieldForcing> gridded;
  if (report) {
    fromFiles = forcingOf(*report);
    gridded.emplace(fromFiles);
  }
  Outcome r;
  r.particles = particles;
  r.endSeconds = run.endSeconds;
  ParticleCloud cloud = seedCloud(m, particles, seed);
  const DriftForcing& forcing = gridded ? static_cast<const DriftForcing&>(*gridded) : constant;
  const auto grid = landGrid(o.land, sub, cloud, m, forcing, run, r.land);
  run.land = grid.get();
  r.drift = runDrift(cloud, m, forcing, run, seed);
  if (report) {
    refuseFault(r.drift.fault, fromFiles);
    report->drift.from = m.seconds;
    report->drift.to = run.endSeconds;
    report->drift.stepMinutes = run.stepMinutes;
    report->drift.steps = static_cast<int>(r.drift.steps);
    r.forcing = std::move(report);
  }
  noteStranded(r, cloud);
  r.summary = summarizeCloud(cloud);
  r.map = buildMap(cloud, r.summary, cell);
  cloud = ParticleCloud{};

  std::vector<std::string> written;
  if (!svg.empty() || !gpx.empty()) {
    FileBatch batch;
    if (!svg.empty()) {
      SafeFile* file = batch.create(svg);
      if (file == nullptr || !renderPlanSvg(mapFigure(r, m, outlines(r.map, 0.0)), *file)) {
        throw WriteFailure{file == nullptr ? batch.error() : file->error()};
      }
    }
    if (!gpx.empty()) {
      SafeFile* file = batch.create(gpx);
      if (file == nullptr) throw WriteFailure{batch.error()};
      GpxWriter writer(*file);
      for (const NamedRing& n : outlines(r.map, kPlotterRingShare)) {
        writer.startRoute(n.name.c_str());
        for (std::size_t k = 0; k < n.ring.lat.size(); ++k) {
          writer.routePoint(n.ring.lat[k], n.ring.lon[k], "");
        }
        writer.endRoute();
      }
      if (!writer.finish()) throw WriteFailure{file->error()};
    }
    if (!batch.commit()) throw WriteFailure{batch.error()};
    written = batch.written();
  }
  return printResult(o.json ? reportJson(r, svg, gpx) : reportText(r, written));
}

}  // namespace vestrand::cli
