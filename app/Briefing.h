// The briefing of a search as a PDF a crew can sail from: one A4 document, in the window's
// language, laid out by Qt's text document, so that no text runs into another in any language.
//
// It holds a title naming the pattern and the time of the plan, the datum (and the drift that
// gave it), the pattern's parameters, the chart as the preview draws it (its labels at 8 pt or
// more), the summary with coverage and POD, and then one section per unit, each starting a page
// of its own so that it can be handed to that unit: its routes, its start point, and its leg
// table with the position of every turning point and, when the search start is given, the clock
// time at each. A heading or a table's header never stays alone at the foot of a page; a leg
// table continued over a page repeats its header.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "SearchAids.h"
#include "land_mask.h"
#include "leg_table.h"
#include "texts.h"
#include "vestrand.gpx.h"

class QTextDocument;

struct BriefingContent {
  vestrand::PatternParams params;
  vestrand::PatternNames names;              // as composePatternNames gives them
  double speed = 8.0;                        // search speed, knots
  double sweepWidth = 0.0;                   // nautical miles, 0 for none
  int maxPoints = 0;                         // the points a route is split at, 0 for none
  std::string dateAndTime;                   // of the plan, as the window's fields hold it
  std::optional<vestrand::ClockTime> start;  // when the units start the search
  std::optional<AppliedDrift> drift;         // the drift that gave the datum, if it did
  std::shared_ptr<const vestrand::land::LandMask> land;  // drawn under the chart; null for none
};

// Writes the briefing to `path`, whole or not at all, through the one writing path.
// @param[out] error why the file was not written ("cannot write 'PATH': REASON")
// @return true when the file is in place
bool WriteBriefing(const std::string& path, const BriefingContent& content,
                   const vestrand::LanguageTexts& texts, std::string& error);

// Breaks the page before every heading, or table header row, that the layout of `doc` (paged by
// its page size) left at the foot of a page apart from what it introduces, so that it starts the
// next page with it. A heading that follows a heading moves with it.
void KeepHeadingsWithTheirContent(QTextDocument& doc);

// The last step of WriteBriefing: puts the bytes of a made PDF in place. No bytes means the PDF
// could not be made: nothing is written, and error says so.
bool PlaceBriefing(const std::string& path, std::string_view pdf, std::string& error);
