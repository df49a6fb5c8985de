// The window's search aids beside the pattern pages: the datum drifted from the last known
// position (the drift group, controls 30 to 37), the coverage and probability of detection of the
// page's track spacing at the sweep width (control 38), and their texts, which the briefing
// (Briefing.h) shares.
//
// Positions are decimal degrees, north and east positive; directions degrees true toward which
// the water or the object moves; speeds knots; times hours; distances nautical miles.
#pragma once

#include <string>
#include <vector>

#include "drift.h"
#include "plan_figure.h"
#include "plan_summary.h"
#include "vestrand.gpx.h"

// Texts of the search aids in lrfExtra: kPlanAidsTexts is the first of the block, the others are
// offsets from it. Texts with %1, %2 ... are filled in with fillIn (plan_summary.h).
inline constexpr int kPlanAidsTexts = 22;  // first of this block in lrfExtra
inline constexpr int kPlanAidsTextCount = 44;
enum PlanAidsText {
  kDriftGroupTitle = kPlanAidsTexts + 0,
  kLastKnownLabel = kPlanAidsTexts + 1,
  kDriftHoursLabel = kPlanAidsTexts + 2,
  kCurrentSetLabel = kPlanAidsTexts + 3,
  kCurrentDriftLabel = kPlanAidsTexts + 4,
  kLeewayTowardLabel = kPlanAidsTexts + 5,
  kLeewaySpeedLabel = kPlanAidsTexts + 6,
  kApplyDriftLabel = kPlanAidsTexts + 7,
  kSweepWidthLabel = kPlanAidsTexts + 8,
  kPassesLabel = kPlanAidsTexts + 9,
  kBriefingLabel = kPlanAidsTexts + 10,
  kCoverageRow = kPlanAidsTexts + 11,
  kPodInverseCubeRow = kPlanAidsTexts + 12,
  kPodExponentialRow = kPlanAidsTexts + 13,
  kCoverageValue = kPlanAidsTexts + 14,       // factor, sweep width, spacing
  kDriftAppliedStatus = kPlanAidsTexts + 15,  // distance, course, speed
  kDriftRefusedStatus = kPlanAidsTexts + 16,  // reason
  kNotANumber = kPlanAidsTexts + 17,          // field, its text
  kOutOfRange = kPlanAidsTexts + 18,          // field, lowest, highest
  kNeedsPair = kPlanAidsTexts + 19,           // field given, field missing
  kPastPole = kPlanAidsTexts + 20,
  kBriefingTitle = kPlanAidsTexts + 21,  // the GPX file's name without ".gpx"
  kBriefingStamp = kPlanAidsTexts + 22,  // date and time fields
  kDatumHeading = kPlanAidsTexts + 23,
  kDriftHeading = kPlanAidsTexts + 24,
  kMotionValue = kPlanAidsTexts + 25,  // direction, speed
  kCurrentRow = kPlanAidsTexts + 26,
  kLeewayRow = kPlanAidsTexts + 27,
  kTotalDriftRow = kPlanAidsTexts + 28,
  kTotalDriftValue = kPlanAidsTexts + 29,  // course, speed, distance, hours
  kPatternHeading = kPlanAidsTexts + 30,
  kSummaryHeading = kPlanAidsTexts + 31,
  kLegTableHeading = kPlanAidsTexts + 32,
  kLegColumn = kPlanAidsTexts + 33,  // then from, to, course, distance, total, time
  kTimeColumn = kPlanAidsTexts + 39,
  kPageFooter = kPlanAidsTexts + 40,             // page number
  kBriefingWrittenStatus = kPlanAidsTexts + 41,  // path
  kNotAPosition = kPlanAidsTexts + 42,           // field, reason
  kEmptyField = kPlanAidsTexts + 43,             // field
};

// An entry of lrfExtra, UTF-8.
std::string AidText(int entry);

// The drift applied last with the datum fields it wrote.
struct AppliedDrift {
  double lastKnownLat = 0.0;
  double lastKnownLon = 0.0;
  double hours = 0.0;
  vestrand::DriftVector current;
  vestrand::DriftVector leeway;
  vestrand::DriftedDatum drifted;  // as sailed, longitude unwrapped
  double datumLat = 0.0;           // as the datum fields read back after SetDatum
  double datumLon = 0.0;
};

// The drift applied last, or null when none was or the datum fields no longer hold its datum
// (the operator has changed them since).
const AppliedDrift* CurrentDrift();
// Forgets the drift applied, as at start.
void ForgetDrift();

// The last known position and the drift line to the datum, while CurrentDrift() is not null;
// nothing otherwise.
vestrand::PlanExtras DriftExtras();

// The sweep width of the main panel, nautical miles; 0 when none is given.
double ReadSweepWidth(int panel);

// Coverage and both PODs of the pattern's track spacing at `sweepWidth`, as summary rows; none
// when the sweep width is not above 0 or the pattern has no track spacing (the sector).
std::vector<vestrand::SummaryRow> CoverageRows(const vestrand::PatternParams& params,
                                               double sweepWidth);

// Relabels the search aids of the main panel `panel` and its sector page from lrfExtra.
void RelabelPlanAids(int panel);

// Drift group command, on commit: reads the last known position, the hours since and the two
// motions, and writes the drifted datum into the datum fields. A value it refuses (a position it
// cannot read, hours outside 0 to 240, a speed outside 0 to 20 knots, a direction outside -360 to
// 360, a direction without its speed or a speed without its direction, a drift past a pole)
// changes nothing and is named on the status line. A datum drifted across the antimeridian is
// written brought into -180..180.
int ApplyDrift_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
