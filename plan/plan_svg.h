// The plan's picture as SVG: a PlanFigure (plan_figure.h) rendered, nothing laid out here.
//
// The land layer first, when the figure has one: a <g id="land"> naming the shorelines in its
// title, with one <path class="land"> filled by the even-odd rule and one
// <path class="land shoreline"> stroking the shorelines (each left out when empty). Then one
// <polyline> per route through its kept points, in its unit's colour, with the route's name as
// its title; dots and numbers at the turning points the figure chose; the marks and their
// names; extra lines as <path> elements, dashed when the figure says so; the scale bar, the
// north arrow and the legend. Names are escaped by appendXmlText, so any bytes give a
// well-formed file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "plan_chart.h"
#include "plan_figure.h"
#include "safe_file.h"
#include "vestrand.gpx.h"

namespace vestrand {

// Receives text in pieces of 64 KiB or more (the last may be shorter); returns false to stop.
using TextOut = std::function<bool(std::string_view)>;

// The SVG picture's size: 800 pixels wide, as high as the pattern's shape asks.
inline constexpr PictureSize kSvgPictureSize{800.0, 0.0};

// Renders the figure as one SVG document.
// @return false when `out` refused a piece; nothing more is handed to it after that
bool renderPlanSvg(const PlanFigure& figure, const TextOut& out);

// Renders the figure into a file of a run.
// @return false when a write failed; the file says why
bool renderPlanSvg(const PlanFigure& figure, SafeFile& file);

// Writes the figure's SVG to `path` through a SafeFile: a failure leaves no file behind and an
// earlier file of that name as it was.
// @param[out] error on failure, the path and the reason ("cannot write 'x.svg': No such file or
//   directory"); untouched on success
// @return true when the whole file is in place
bool writePlanSvg(const PlanFigure& figure, const std::string& path, std::string& error);

// The picture of a pattern, sailed twice so that its points are never all held (see
// drawPlanFigure), written as above.
bool writePlanSvg(const PatternParams& params, const PatternNames& names, const std::string& path,
                  std::string& error);

// The picture of a drawing held in memory, written as above.
bool writePlanSvg(const PlanDrawing& drawing, const std::string& path, std::string& error);

}  // namespace vestrand
