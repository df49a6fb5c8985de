// The briefing of a search as a PDF for the crew: one A4 document, in the window's language, of
// the plan of the search page shown.
//
// It holds a title with the pattern's file name and the time of the plan (the window's date and
// time fields), the datum (and the drift, while the datum is the one it gave), the pattern's
// parameters, the picture of the plan as the preview draws it, the summary with coverage and POD,
// and the leg table of each unit (plan/leg_table.h), continued over as many pages as it takes.
// The file is "<GPX file name without .gpx> briefing.pdf" ("20121225143000 VS 30 briefing.pdf")
// in the folder the GPX files go to, written whole or not at all through the one writing path.
#pragma once

#include <string>

#include "vestrand.gpx.h"

// Writes the briefing of `params` to `path`.
// @param[in] names the pattern's names as composePatternNames gives them
// @param[in] speed search speed, knots
// @param[in] sweepWidth nautical miles, 0 for none
// @param[out] error why the file was not written ("cannot write 'PATH': REASON")
// @return true when the file is in place
bool WriteBriefing(const std::string& path, const vestrand::PatternParams& params,
                   const vestrand::PatternNames& names, double speed, double sweepWidth,
                   std::string& error);

// Briefing command of the main panel, on commit: the briefing of the search page shown, with the
// same refusals as the page's own command; the status line names the file written, a failure is
// reported as any write failure.
int Briefing_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                 int eventData2);
