// The picture of a search plan (search_plan.h): each unit's route in its own colour, the outline
// of its strip in the same colour, the search area's outline, the datums, the commence search
// points and the last known position with the dashed line of the drift to the downwind datum.
// The window's preview and the SVG writer both render the figure made here.
#pragma once

#include <string_view>

#include "plan_chart.h"
#include "plan_figure.h"
#include "search_plan.h"

namespace vestrand {

// The routes and marks of the plan's file on the chart of the area's centre; the area's corner
// marks are left out, its outline drawn instead (searchPlanExtras).
// @param[in] stem names the routes as the file does ("<stem> - <unit>")
PlanDrawing drawSearchPlan(const SearchPlan& plan, std::string_view stem);

// What the picture adds to the file's marks: the area's outline in ink, each strip's outline in
// its unit's colour, the last known position and the dashed drift line to the downwind datum
// (when there was any drift).
PlanExtras searchPlanExtras(const SearchPlan& plan);

// The figure laid out for a picture of `size`.
PlanFigure searchPlanFigure(const SearchPlan& plan, std::string_view stem, PictureSize size);

}  // namespace vestrand
