// The land under a plan's picture: the GSHHG shorelines of the chart area, placed on the plan's
// local chart and laid out in the figure's pixels, for every painter of a PlanFigure.
#pragma once

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

}  // namespace vestrand
