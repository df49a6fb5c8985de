// The plan's picture as an SVG file: the flat local chart of plan_chart.h, north up.
//
// One <polyline> per route holding every one of its turning points, the two units of the
// parallel sweep in two colours, the turning points numbered in sailing order (thinned to round
// steps when there are hundreds), the datum and the commence search points marked and named as
// in the GPX file, a scale bar of a round length in nautical miles and a north arrow.
#pragma once

#include <cstdio>
#include <string>

#include "plan_chart.h"
#include "safe_file.h"

namespace vestrand {

// Writes the picture to an open stream.
// @return false when the stream reported an error
bool renderPlanSvg(const PlanDrawing& drawing, std::FILE* out);

// Writes the picture into a file of a run; false (the file says why) when a write failed.
bool renderPlanSvg(const PlanDrawing& drawing, SafeFile& file);

// Writes the picture to `path`, under a temporary name beside it, renamed into place only when
// complete: a failure leaves no file behind and an earlier file of that name as it was.
// @param[out] error on failure, the path and the reason ("cannot create 'x.svg': No such file or
//   directory"); untouched on success
// @return true when the whole file is in place
bool writePlanSvg(const PlanDrawing& drawing, const std::string& path, std::string& error);

// Text made safe for XML character data and attribute values: see appendXmlText.
std::string escapeXml(const std::string& text);

}  // namespace vestrand
