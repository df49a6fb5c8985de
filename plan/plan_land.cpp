#include "plan_land.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "angulos.h"
#include "land_clip.h"
#include "number_text.h"
#include "plan_summary.h"
#include "position_text.h"

namespace vestrand {
namespace {

constexpr double kDetailPixels = 2.0;
constexpr double kMarginShare = 0.05;  // of the chart area, added round the box
constexpr double kKeptPixels = 0.5;
// Beyond this the chart's longitudes no longer come back from its miles: the whole round.
constexpr double kLeastCosine = 1e-3;

// From the figure's pixels back to its chart miles.
struct Inverse {
  const PlanFigure& figure;
  GeoPoint datum;

  ChartPoint chart(double px, double py) const {
    const FigureFrame& f = figure.frame;
    const double middleX = (f.chartArea.left + f.chartArea.right) / 2.0;
    const double middleY = (f.chartArea.top + f.chartArea.bottom) / 2.0;
    return {f.centre.x + (px - middleX) / f.scale, f.centre.y - (py - middleY) / f.scale};
  }
};

}  // namespace

double landDetailNm(const PlanFigure& figure) {
  return kDetailPixels / figure.frame.scale;
}

land::GeoBox chartAreaBox(const PlanFigure& figure, GeoPoint datum) {
  const PixelBox& area = figure.frame.chartArea;
  const double marginX = (area.right - area.left) * kMarginShare;
  const double marginY = (area.bottom - area.top) * kMarginShare;
  const Inverse inverse{figure, datum};
  const ChartPoint low = inverse.chart(area.left - marginX, area.bottom + marginY);
  const ChartPoint high = inverse.chart(area.right + marginX, area.top - marginY);
  land::GeoBox box{datum.lat + low.y / 60.0, datum.lon - 180.0, datum.lat + high.y / 60.0,
                   datum.lon + 180.0};
  // On the chart a position's easting is scaled by the cosine of its mean latitude with the
  // datum; the widest longitudes lie at the box's northern or southern side.
  double west = datum.lon, east = datum.lon;
  for (const double lat : {box.south, box.north}) {
    const double cosine = std::cos((datum.lat + lat) / 2.0 * kPi / 180.0);
    if (!(cosine > kLeastCosine) || lat < -90.0 || lat > 90.0) return box;
    for (const double x : {low.x, high.x}) {
      west = std::min(west, datum.lon + x / (60.0 * cosine));
      east = std::max(east, datum.lon + x / (60.0 * cosine));
    }
  }
  if (east - west < 360.0) {
    box.west = west;
    box.east = east;
  }
  return box;
}

void addLandLayer(PlanFigure& figure, GeoPoint datum, const land::LandMask& mask) {
  figure.land = FigureLand{};
  const std::string version = mask.version().empty() ? "" : mask.version() + ", ";
  figure.land.source =
      "GSHHG " + version + land::resolutionName(mask.resolution()) + " resolution shorelines";
  const LocalChart chart(datum.lat, datum.lon);
  const land::LandOutline outline = mask.outline(chartAreaBox(figure, datum));
  const PixelBox& area = figure.frame.chartArea;
  const land::PlaneBox cut{area.left, area.top, area.right, area.bottom};

  // Pixels, leaving out points less than half a pixel from the last one kept.
  std::vector<land::PlanePoint> pixels, clipped;
  const auto toPixels = [&](const std::vector<land::LatLon>& line) {
    pixels.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
      const PixelPoint at = figure.frame.toPixels(chart.project(line[i].lat, line[i].lon));
      // A line's last point stays, so that a closed shoreline still closes.
      if (!pixels.empty() && i + 1 < line.size() &&
          std::abs(at.x - pixels.back().x) < kKeptPixels &&
          std::abs(at.y - pixels.back().y) < kKeptPixels) {
        continue;
      }
      pixels.push_back({at.x, at.y});
    }
  };
  const auto figurePoints = [](const std::vector<land::PlanePoint>& points) {
    std::vector<PixelPoint> result(points.size());
    std::transform(points.begin(), points.end(), result.begin(), [](land::PlanePoint p) {
      return PixelPoint{p.x, p.y};
    });
    return result;
  };
  for (const auto& ring : outline.rings) {
    toPixels(ring);
    land::clipRing(pixels, cut, clipped);
    if (clipped.size() >= 3) figure.land.rings.push_back(figurePoints(clipped));
  }
  std::vector<std::vector<land::PlanePoint>> parts;
  for (const auto& shore : outline.shores) {
    toPixels(shore);
    parts.clear();
    land::clipPolyline(pixels, cut, parts);
    for (const auto& part : parts) figure.land.shores.push_back(figurePoints(part));
  }
}

void LandCheckSink::startRoute(const char* name) {
  route_ = name;
  number_ = 0;
}

void LandCheckSink::routePoint(double lat, double lon, const char*) {
  ++number_;
  const GeoPoint here{lat, lon};
  if (number_ > 1) {
    const land::WayOverLand way =
        mask_.wayOverLand({last_.lat, last_.lon}, {here.lat, here.lon}, true);
    if (way.crossesLand()) {
      const land::LatLon first = way.stretches.front().start;
      warnings_.push_back(
          {LandWarning::Kind::Leg, route_, number_ - 1, {first.lat, first.lon}, way.landNm()});
    }
  }
  if (mask_.onLand({lat, lon})) {
    warnings_.push_back({LandWarning::Kind::TurningPoint, route_, number_, here, 0.0});
  }
  last_ = here;
}

std::vector<std::string> landWarningTexts(const std::vector<LandWarning>& warnings,
                                          std::size_t most, const LandWarningTexts& texts) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < warnings.size() && i < most; ++i) {
    const LandWarning& w = warnings[i];
    const std::string number = std::to_string(w.number);
    const std::string where = coordinateText(w.at.lat, Axis::Latitude) + " " +
                              coordinateText(ang_180(w.at.lon), Axis::Longitude);
    lines.push_back(w.kind == LandWarning::Kind::TurningPoint
                        ? fillIn(texts.turningPoint, {number, w.route, where})
                        : fillIn(texts.leg, {number, w.route, where, fixedText(w.landNm, 2)}));
  }
  if (warnings.size() > most) {
    lines.push_back(fillIn(texts.more, {std::to_string(warnings.size() - most)}));
  }
  return lines;
}

}  // namespace vestrand
