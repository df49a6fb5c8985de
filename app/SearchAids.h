// The search aids beside the pattern pages: the datum drifted from the last known position (the
// drift group), and the coverage and probability of detection of a page's track spacing at the
// sweep width; the briefing (Briefing.h) shares them.
//
// Positions are decimal degrees, north and east positive; directions degrees true toward which
// the water or the object moves; speeds knots; times hours; distances nautical miles.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "datums.h"
#include "drift.h"
#include "leeway.h"
#include "plan_figure.h"
#include "plan_summary.h"
#include "texts.h"
#include "vestrand.gpx.h"

// An object class and the wind that gives its leeway: wind from degrees true, speed knots.
struct ClassWind {
  const vestrand::LeewayClass* objectClass = nullptr;
  double windFrom = 0.0;
  double windSpeed = 0.0;
};

// A drift read from the drift group and applied to the datum.
struct AppliedDrift {
  double lastKnownLat = 0.0;
  double lastKnownLon = 0.0;
  double hours = 0.0;
  vestrand::DriftVector current;
  vestrand::DriftVector leeway;
  vestrand::DriftedDatum drifted;  // as sailed, longitude unwrapped
  double datumLat = 0.0;           // as the datum fields read back after SetDatum
  double datumLon = 0.0;
  // With an object class (leeway then none): the class and wind, and the left, right and
  // downwind datums; `drifted` is the downwind one, as the command line applies it.
  std::optional<ClassWind> byClass;
  vestrand::Datums datums;
};

// A number as the window's fields take it: with the decimal mark of the window's language and
// country ("1,5" under a German locale) or a full stop, never with grouping marks.
// @return false when the text is no number
bool ReadWindowNumber(const std::string& text, double& value);

// The whole text of a text field of a panel, blanks at both ends removed; empty for none.
std::string FieldText(int panel, int control);

// Reads the drift group of the main panel `panel`: the last known position (any form
// parsePosition reads), the hours since (0 to 240), the current's set and drift and the leeway's
// direction and speed (degrees -360 to 360, knots 0 to 20; both of a pair or neither). The datum
// fields are not touched. With `byClass` the leeway fields are not read: the class's leeway for
// the wind gives the three datums, worked as leewayDatums works them.
// @param[out] refusal when nothing is returned, what was refused and why, in the window's language
// @return the drift, its datumLat and datumLon not yet set; nothing for a value refused or a drift
//   past a pole
std::optional<AppliedDrift> ReadDrift(int panel, const vestrand::LanguageTexts& texts,
                                      std::string& refusal, const ClassWind* byClass = nullptr);

// Whole turns off a longitude, so that the datum fields can hold it: -180 < result <= 180.
double WrappedLongitude(double lon);

// The last known position and the dashed drift line to the datum of `drift`, and with an object
// class the marks of its left, right and downwind datums; nothing for null.
vestrand::PlanExtras DriftExtras(const AppliedDrift* drift, const vestrand::LanguageTexts& texts);

// The summary rows of a plan in the window's language, the coverage rows of the sweep width after
// them; routes written whole (maxPoints 0) that are too long for a plotter add a warning row each.
std::vector<vestrand::SummaryRow> WindowSummaryRows(const vestrand::PatternParams& params,
                                                    const vestrand::PlanSummary& summary,
                                                    double speed, double sweepWidth, int maxPoints,
                                                    const vestrand::LanguageTexts& texts);

// Coverage and both PODs of the pattern's track spacing at `sweepWidth`, as summary rows; none
// when the sweep width is not above 0 or the pattern has no track spacing (the sector).
std::vector<vestrand::SummaryRow> CoverageRows(const vestrand::PatternParams& params,
                                               double sweepWidth,
                                               const vestrand::LanguageTexts& texts);
