// Land on the command line: the land subcommand, and the choice of shorelines that --land makes
// for every command that looks at land.
#include <land_atlas.h>
#include <land_mask.h>
#include <number_text.h>
#include <plan_land.h>
#include <plan_summary.h>
#include <position_text.h>

#include <algorithm>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "console.h"
#include "report.h"

namespace vestrand::cli {
namespace {

const char* const kLandHelp =
    "shorelines to check land with: crude, low, intermediate, high, full (GSHHG resolutions), or "
    "none; default: the one fit for the extent among those installed";

std::string installedList(const land::Atlas& atlas) {
  std::string names;
  for (land::Resolution r : atlas.installedResolutions()) {
    names += (names.empty() ? "" : ", ") + std::string(land::resolutionName(r));
  }
  return names.empty() ? "none" : names;
}

// Said once a run: why land is not looked at.
void noteNoLand(const std::string& reason) {
  printMessage(reason + "; land is not checked", "note");
}

}  // namespace

CLI::Option* addLandOption(CLI::App* app, Options& o) {
  return addLandOption(app, o.land);
}

CLI::Option* addLandOption(CLI::App* app, std::string& land) {
  return app->add_option("--land", land, kLandHelp)->type_name("RES");
}

CLI::App* addLandSubcommand(CLI::App& app, Options& o) {
  CLI::App* sub = app.add_subcommand(
      "land", "whether a position is on land, and how far the nearest shore lies (GSHHG)");
  sub->add_option("--lat", o.lat,
                  "latitude: decimal degrees, north positive (43.5), or 43:30N, 43°30'15.5\"N")
      ->required()
      ->type_name("LAT");
  sub->add_option("--lon", o.lon, "longitude: decimal degrees, east positive (-3.75), or 003:45W")
      ->required()
      ->type_name("LON");
  addLandOption(sub, o);
  sub->add_flag("--json", o.json, "print one JSON object on one line");
  return sub;
}

LandChoice chooseLand(const Options& o, const CLI::App& sub, double detailNm, bool required) {
  return chooseLand(o.land, sub, detailNm, required);
}

LandChoice chooseLand(const std::string& landText, const CLI::App& sub, double detailNm,
                      bool required) {
  const land::Atlas& atlas = land::Atlas::standard();
  LandChoice choice;
  // A subcommand that does not offer --land (the trackline, sharing the patterns' run) leaves
  // land alone.
  if (sub.get_option_no_throw("--land") == nullptr) return choice;
  std::optional<land::Resolution> resolution;
  if (given(&sub, "--land")) {
    if (landText == "none") {
      if (required)
        throw UsageError("--land 'none' refused: " + sub.get_name() + " needs shorelines");
      return choice;
    }
    resolution = land::parseResolution(landText);
    if (!resolution) {
      throw UsageError("--land '" + landText +
                       "' refused: expected crude, low, intermediate, high, full or none");
    }
    if (!atlas.installed(*resolution)) {
      throw UsageError("--land '" + landText + "' refused: the " + landText +
                       " resolution shorelines (" + land::shoreFileName(*resolution) +
                       ") are not installed; install the Debian package " +
                       land::resolutionPackage(*resolution) +
                       ", or choose from those installed: " + installedList(atlas));
    }
  } else {
    resolution = atlas.choose(detailNm);
    if (!resolution) {
      const std::string reason =
          "no GSHHG shorelines are installed (the Debian package gmt-gshhg-low brings them)";
      if (required) throw UsageError(reason);
      noteNoLand(reason);
      return choice;
    }
  }
  try {
    choice.mask = atlas.mask(*resolution);
  } catch (const land::DataError& e) {
    if (required || given(&sub, "--land")) throw UsageError(e.what());
    noteNoLand(e.what());
  }
  return choice;
}

std::string landDataText(const land::LandMask& mask) {
  return std::string("GSHHG ") + (mask.version().empty() ? "" : mask.version() + ", ") +
         land::resolutionName(mask.resolution()) + " resolution (within " +
         fixedText(land::resolutionToleranceNm(mask.resolution()), 2) + " NM): " + mask.path();
}

std::string driftOverLand(const Options& o, const CLI::App& sub, const DriftedDatum& datum,
                          double lat, double lon, std::string report) {
  const LandChoice choice = chooseLand(o, sub, land::detailForExtent(datum.distance), false);
  if (!choice.mask) return report;
  const land::WayOverLand way = choice.mask->wayOverLand({lat, lon}, {datum.lat, datum.lon}, true);
  if (!way.crossesLand()) return report;
  const land::LandStretch& first = way.stretches.front();
  const double nm = first.from * way.lengthNm;
  const char* resolution = land::resolutionName(choice.mask->resolution());
  if (o.json) {
    report.resize(report.size() - std::string("}\n").size());
    return report + ",\"land\":{\"lat\":" + shortestNumber(first.start.lat) +
           ",\"lon\":" + shortestNumber(first.start.lon) + ",\"nm\":" + shortestNumber(nm) +
           ",\"datum_on_land\":" + (way.endsOnLand() ? "true" : "false") +
           ",\"resolution\":" + jsonString(resolution) + "}}\n";
  }
  const std::string where = vestrand::positionText(first.start.lat, first.start.lon);
  return report + "land      " +
         (nm == 0.0 ? "the last known position lies on land, " + where
                    : "the drift reaches land at " + where + " after " + fixedText(nm, 2) + " NM") +
         (way.endsOnLand() ? "; the datum lies on land" : "") + " (GSHHG " + resolution + ")\n";
}

LandChoice checkPatternLand(const Options& o, const CLI::App& sub, const PatternParams& p,
                            const PatternNames& names, const PlanSummary& summary,
                            std::vector<std::string>& warnings) {
  const double extent = std::max(summary.boxLength, summary.boxWidth);
  LandChoice choice = chooseLand(o, sub, land::detailForExtent(extent), false);
  if (!choice.mask) return choice;
  LandCheckSink check(*choice.mask);
  sailPattern(p, names, check);
  for (std::string& text : landWarningTexts(check.warnings())) warnings.push_back(std::move(text));
  return choice;
}

std::string landSummaryText(const LandChoice& choice) {
  return choice.mask ? "land      " + landDataText(*choice.mask) + "\n" : "";
}

std::string landJsonMembers(const LandChoice& choice) {
  if (!choice.mask) return "";
  const land::Resolution r = choice.mask->resolution();
  return ",\"land\":{\"resolution\":" + jsonString(land::resolutionName(r)) +
         ",\"tolerance_nm\":" + shortestNumber(land::resolutionToleranceNm(r)) +
         ",\"file\":" + jsonString(choice.mask->path()) + "}";
}

int runLand(const Options& o, const CLI::App& sub) {
  const land::LatLon at{checkCoordinate("--lat", o.lat, Axis::Latitude),
                        checkCoordinate("--lon", o.lon, Axis::Longitude)};
  const LandChoice choice = chooseLand(o, sub, 0.0, true);
  const land::LandMask& mask = *choice.mask;
  const int level = mask.levelAt(at);
  const land::ShoreDistance shore = mask.nearestShore(at);
  const bool onLand = (level & 1) != 0;
  if (o.json) {
    return printResult(
        std::string("{\"land\":") + (onLand ? "true" : "false") +
        ",\"shore_nm\":" + (shore.nm < 0 ? "null" : shortestNumber(shore.nm)) +
        ",\"resolution\":" + jsonString(land::resolutionName(mask.resolution())) + ",\"level\":" +
        std::to_string(level) + ",\"level_name\":" + jsonString(land::levelName(level)) +
        ",\"shore_lat\":" + (shore.nm < 0 ? "null" : shortestNumber(shore.nearest.lat)) +
        ",\"shore_lon\":" + (shore.nm < 0 ? "null" : shortestNumber(shore.nearest.lon)) +
        ",\"tolerance_nm\":" + shortestNumber(land::resolutionToleranceNm(mask.resolution())) +
        ",\"file\":" + jsonString(mask.path()) + "}\n");
  }
  std::string text = "position  " + vestrand::positionText(at.lat, at.lon) + "\nland      " +
                     (onLand ? "yes, " : "no, ") + land::levelName(level) + "\n";
  if (shore.nm < 0) {
    text += "shore     none in these shorelines\n";
  } else {
    text += "shore     " + fixedText(shore.nm, 2) + " NM, nearest at " +
            vestrand::positionText(shore.nearest.lat, shore.nearest.lon) + "\n";
  }
  return printResult(text + "data      " + landDataText(mask) + "\n");
}

}  // namespace vestrand::cli
