#include "PlanAids.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "Languaje.h"
#include "MainPanel.h"
#include "PlanView.h"
#include "coverage.h"
#include "cvirte.h"
#include "position_text.h"

namespace {

// The command line's limits for the same values.
constexpr double kMaxDriftHours = 240.0;
constexpr double kMaxDriftSpeed = 20.0;
constexpr double kMaxDirection = 360.0;

std::optional<AppliedDrift> applied;

// A refusal of one input, in the window's language.
struct Refusal {
  std::string reason;
};

std::string FieldText(int control) {
  // A pasted position may be long; 200 bytes hold any sensible one.
  char text[200] = "";
  GetCtrlVal(mainPanel, control, text);
  std::string_view view(text);
  while (!view.empty() && view.front() == ' ') view.remove_prefix(1);
  while (!view.empty() && view.back() == ' ') view.remove_suffix(1);
  return std::string(view);
}

// Label texts name the fields in refusals; their units stay, as the operator sees them.
double Number(int control, int label, double low, double high) {
  const std::string text = FieldText(control);
  double value = 0.0;
  std::string ignored;
  if (text.empty()) throw Refusal{vestrand::fillIn(AidText(kEmptyField), {AidText(label)})};
  if (!vestrand::parseNumber(text, value, ignored)) {
    throw Refusal{vestrand::fillIn(AidText(kNotANumber), {AidText(label), text})};
  }
  if (!(value >= low && value <= high)) {
    throw Refusal{vestrand::fillIn(
        AidText(kOutOfRange),
        {AidText(label), vestrand::shortestText(low), vestrand::shortestText(high)})};
  }
  return value;
}

// A direction and its speed, given together or not at all.
vestrand::DriftVector Motion(int directionControl, int directionLabel, int speedControl,
                             int speedLabel) {
  const bool hasDirection = !FieldText(directionControl).empty();
  const bool hasSpeed = !FieldText(speedControl).empty();
  if (hasDirection != hasSpeed) {
    const int given = hasDirection ? directionLabel : speedLabel;
    const int missing = hasDirection ? speedLabel : directionLabel;
    throw Refusal{vestrand::fillIn(AidText(kNeedsPair), {AidText(given), AidText(missing)})};
  }
  if (!hasDirection) return {};
  return {Number(directionControl, directionLabel, -kMaxDirection, kMaxDirection),
          Number(speedControl, speedLabel, 0.0, kMaxDriftSpeed)};
}

AppliedDrift ReadDrift() {
  AppliedDrift d;
  const std::string position = FieldText(kLastKnownPosition);
  if (position.empty()) {
    throw Refusal{vestrand::fillIn(AidText(kEmptyField), {AidText(kLastKnownLabel)})};
  }
  std::string error;
  if (!vestrand::parsePosition(position, d.lastKnownLat, d.lastKnownLon, error)) {
    throw Refusal{vestrand::fillIn(AidText(kNotAPosition), {AidText(kLastKnownLabel), error})};
  }
  d.hours = Number(kDriftHours, kDriftHoursLabel, 0.0, kMaxDriftHours);
  d.current = Motion(kCurrentSet, kCurrentSetLabel, kCurrentDrift, kCurrentDriftLabel);
  d.leeway = Motion(kLeewayToward, kLeewayTowardLabel, kLeewaySpeed, kLeewaySpeedLabel);
  d.drifted = vestrand::driftedDatum(d.lastKnownLat, d.lastKnownLon, d.hours, d.current, d.leeway);
  if (!std::isfinite(d.drifted.lat) || !std::isfinite(d.drifted.lon) ||
      std::fabs(d.drifted.lat) > 90.0) {
    throw Refusal{AidText(kPastPole)};
  }
  return d;
}

// Whole turns off a longitude, so that the datum fields can hold it.
double WrappedLongitude(double lon) {
  const double wrapped = lon - 360.0 * std::round(lon / 360.0);
  return wrapped == -180.0 ? 180.0 : wrapped;
}

bool HasTrackSpacing(vestrand::PatternKind kind) {
  return kind != vestrand::PatternKind::Sector;
}

}  // namespace

std::string AidText(int entry) {
  return lrfExtra[entry];
}

const AppliedDrift* CurrentDrift() {
  if (!applied) return nullptr;
  // Exact: the fields hold what SetDatum wrote until someone changes them.
  if (GetDegLatitude(mainPanel) != applied->datumLat ||
      GetDegLongitude(mainPanel) != applied->datumLon) {
    return nullptr;
  }
  return &*applied;
}

void ForgetDrift() {
  applied.reset();
}

vestrand::PlanExtras DriftExtras() {
  vestrand::PlanExtras extras;
  const AppliedDrift* d = CurrentDrift();
  if (d == nullptr) return extras;
  // The datum may have been brought back over the antimeridian; the last known position follows
  // it by the same turns so that the line stays short.
  const double turns = 360.0 * std::round((d->datumLon - d->drifted.lon) / 360.0);
  const vestrand::GeoPoint lastKnown{d->lastKnownLat, d->lastKnownLon + turns};
  extras.marks.push_back({AidText(kLastKnownLabel), lastKnown, vestrand::MarkShape::Triangle});
  extras.lines.push_back({{lastKnown, {d->datumLat, d->datumLon}}, vestrand::kInk, 1.5, true});
  return extras;
}

double ReadSweepWidth(int panel) {
  double width = 0.0;
  GetCtrlVal(panel, kSweepWidth, &width);
  return width;
}

std::vector<vestrand::SummaryRow> CoverageRows(const vestrand::PatternParams& params,
                                               double sweepWidth) {
  if (!(sweepWidth > 0.0) || !(params.spacing > 0.0) || !HasTrackSpacing(params.kind)) return {};
  const vestrand::Coverage c = vestrand::coverageOfSpacing(sweepWidth, params.spacing);
  using vestrand::fixedText;
  return {
      {AidText(kCoverageRow),
       vestrand::fillIn(AidText(kCoverageValue), {fixedText(c.factor, 2), fixedText(sweepWidth, 2),
                                                  fixedText(params.spacing, 2)})},
      {AidText(kPodInverseCubeRow), vestrand::podText(c.podInverseCube)},
      {AidText(kPodExponentialRow), vestrand::podText(c.podExponential)},
  };
}

void RelabelPlanAids(int panel) {
  static constexpr int kLabels[][2] = {
      {kDriftGroup, kDriftGroupTitle},     {kLastKnownPosition, kLastKnownLabel},
      {kDriftHours, kDriftHoursLabel},     {kCurrentSet, kCurrentSetLabel},
      {kCurrentDrift, kCurrentDriftLabel}, {kLeewayToward, kLeewayTowardLabel},
      {kLeewaySpeed, kLeewaySpeedLabel},   {kApplyDriftButton, kApplyDriftLabel},
      {kSweepWidth, kSweepWidthLabel},     {kBriefingButton, kBriefingLabel},
  };
  for (const auto& [control, entry] : kLabels) {
    SetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, lrfExtra[entry]);
  }
  int sectorPage = 0;
  if (GetPanelHandleFromTabPage(panel, kSearchTabs, 2, &sectorPage) == 0) {
    SetCtrlAttribute(sectorPage, kSectorPasses, ATTR_LABEL_TEXT, lrfExtra[kPassesLabel]);
  }
}

int ApplyDrift_CBK(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  AppliedDrift d;
  try {
    d = ReadDrift();
  } catch (const Refusal& refusal) {
    ShowStatus(vestrand::fillIn(AidText(kDriftRefusedStatus), {refusal.reason}));
    return 0;
  }
  // Forgotten while the fields change, so that no half-written datum shows the drift.
  applied.reset();
  SetDatum(mainPanel, d.drifted.lat, WrappedLongitude(d.drifted.lon));
  d.datumLat = GetDegLatitude(mainPanel);
  d.datumLon = GetDegLongitude(mainPanel);
  applied = d;
  if (PlanView* view = InstalledPlanView()) view->refresh();
  ShowStatus(vestrand::fillIn(
      AidText(kDriftAppliedStatus),
      {vestrand::fixedText(d.drifted.distance, 2), vestrand::fixedText(d.drifted.course, 1),
       vestrand::fixedText(d.drifted.speed, 2)}));
  return 0;
}
