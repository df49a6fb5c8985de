// The land under a plan's picture: the GSHHG shorelines of the chart area, placed on the plan's
// local chart and laid out in the figure's pixels, for every painter of a PlanFigure.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "land_atlas.h"
#include "land_mask.h"
#include "plan_chart.h"
#include "plan_figure.h"

namespace vestrand {

// The smallest distance the figure shows apart: two pixels at its scale, nautical miles. Passed
// to land::Atlas::choose, it gives the resolution fit for the picture.
double landDetailNm(const PlanFigure& figure);

// The box of positions the figure's chart area shows, a little wider, for a chart centred on
// `datum` (the plan's local chart). Near a pole, or for a chart too wide for one round, the box
// runs the whole way round.
land::GeoBox chartAreaBox(const PlanFigure& figure, GeoPoint datum);

// Fills figure.land from the mask: the land of the chart area on the plan's local chart, cut at
// the chart area's sides. Points less than half a pixel from the one kept before are left out,
// so that the layer never holds much more than the picture can show.
void addLandLayer(PlanFigure& figure, GeoPoint datum, const land::LandMask& mask);

// Land on a search's track: a turning point on land, or a leg that crosses land. The files are
// written all the same; the coordinator decides.
struct LandWarning {
  enum class Kind { TurningPoint, Leg };
  Kind kind = Kind::Leg;
  std::string route;       // the route's name, as in the file
  std::size_t number = 0;  // the turning point's number (1 for the route's first), or the leg's:
                           // leg k runs from turning point k to k + 1
  GeoPoint at;             // the turning point, or where the leg first meets land
  double landNm = 0.0;     // of a leg: nautical miles of it on land
};

// Looks at every turning point and every leg (sailed by plane sailing, as the pattern sails it)
// as the pattern is sailed, and keeps a warning for each on land, in sailing order.
class LandCheckSink final : public PatternSink {
 public:
  explicit LandCheckSink(const land::LandMask& mask) : mask_(mask) {}

  void startRoute(const char* name) override;
  void routePoint(double lat, double lon, const char* name) override;
  void endRoute() override {}
  void waypoint(double, double, const char*) override {}

  const std::vector<LandWarning>& warnings() const { return warnings_; }

 private:
  const land::LandMask& mask_;
  std::vector<LandWarning> warnings_;
  std::string route_;
  std::size_t number_ = 0;
  GeoPoint last_;
};

// The words of the land warnings, in English by default (the window fills them from its language
// table); %1, %2, ... as beside each.
struct LandWarningTexts {
  std::string turningPoint = "turning point %1 of %2 is on land at %3";  // number, route, where
  std::string leg = "leg %1 of %2 crosses land at %3 (%4 NM on land)";   // number, route, where, NM
  std::string more = "%1 more turning points and legs on land";          // count
};

// One text per warning, the positions in degrees and minutes, at most `most` of them and then one
// saying how many more there are.
std::vector<std::string> landWarningTexts(const std::vector<LandWarning>& warnings,
                                          std::size_t most = 20,
                                          const LandWarningTexts& texts = {});

}  // namespace vestrand
