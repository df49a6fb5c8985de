#include "SearchAids.h"

#include <QLineEdit>
#include <QLocale>
#include <cmath>

#include "MainPanel.h"
#include "WindowTexts.h"
#include "coverage.h"
#include "cvirte_widgets.h"
#include "number_text.h"
#include "position_text.h"

using vestrand::Text;

namespace {

// A refusal of one input, in the window's language.
struct Refusal {
  std::string reason;
};

class DriftReader {
 public:
  DriftReader(int panel, const vestrand::LanguageTexts& texts, const ClassWind* byClass)
      : panel_(panel), texts_(texts), byClass_(byClass) {}

  AppliedDrift read() const {
    AppliedDrift d;
    const std::string position = FieldText(panel_, kLastKnownPosition);
    if (position.empty())
      throw Refusal{texts_.get(Text::EmptyField, {label(Text::LastKnownLabel)})};
    std::string error;
    if (!vestrand::parsePosition(position, d.lastKnownLat, d.lastKnownLon, error)) {
      throw Refusal{texts_.get(Text::NotAPosition, {label(Text::LastKnownLabel), error})};
    }
    d.hours = number(kDriftHours, Text::DriftHoursLabel, 0.0, vestrand::kMaxDriftHours);
    d.current = motion(kCurrentSet, Text::CurrentSetLabel, kCurrentDrift, Text::CurrentDriftLabel);
    if (byClass_ != nullptr) {
      d.byClass = *byClass_;
      d.datums = vestrand::leewayDatums(
          d.lastKnownLat, d.lastKnownLon, d.hours, d.current,
          vestrand::leewayOf(*byClass_->objectClass, byClass_->windFrom, byClass_->windSpeed));
      d.drifted = d.datums.downwind;
      for (const vestrand::DriftedDatum* p : {&d.datums.left, &d.datums.right}) refuseAtPole(*p);
    } else {
      d.leeway =
          motion(kLeewayToward, Text::LeewayTowardLabel, kLeewaySpeed, Text::LeewaySpeedLabel);
      d.drifted =
          vestrand::driftedDatum(d.lastKnownLat, d.lastKnownLon, d.hours, d.current, d.leeway);
    }
    refuseAtPole(d.drifted);
    return d;
  }

 private:
  void refuseAtPole(const vestrand::DriftedDatum& p) const {
    if (!std::isfinite(p.lat) || !std::isfinite(p.lon) || std::fabs(p.lat) > 90.0) {
      throw Refusal{texts_.get(Text::DriftPastPole)};
    }
  }

  // Label texts name the fields in refusals; their units stay, as the operator sees them.
  std::string label(Text name) const { return texts_.get(name); }

  double number(int control, Text name, double low, double high) const {
    const std::string text = FieldText(panel_, control);
    double value = 0.0;
    if (text.empty()) throw Refusal{texts_.get(Text::EmptyField, {label(name)})};
    if (!ReadWindowNumber(text, value)) {
      throw Refusal{texts_.get(Text::NotANumber, {label(name), text})};
    }
    if (!(value >= low && value <= high)) {
      throw Refusal{texts_.get(Text::OutOfRange, {label(name), vestrand::shortestText(low),
                                                  vestrand::shortestText(high)})};
    }
    return value;
  }

  // A direction and its speed, given together or not at all.
  vestrand::DriftVector motion(int directionControl, Text directionName, int speedControl,
                               Text speedName) const {
    const bool hasDirection = !FieldText(panel_, directionControl).empty();
    const bool hasSpeed = !FieldText(panel_, speedControl).empty();
    if (hasDirection != hasSpeed) {
      const Text given = hasDirection ? directionName : speedName;
      const Text missing = hasDirection ? speedName : directionName;
      throw Refusal{texts_.get(Text::NeedsPair, {label(given), label(missing)})};
    }
    if (!hasDirection) return {};
    return {number(directionControl, directionName, -vestrand::kMaxDriftDirection,
                   vestrand::kMaxDriftDirection),
            number(speedControl, speedName, 0.0, vestrand::kMaxDriftSpeed)};
  }

  int panel_;
  const vestrand::LanguageTexts& texts_;
  const ClassWind* byClass_;
};

}  // namespace

bool ReadWindowNumber(const std::string& text, double& value) {
  QLocale local;
  local.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double read = local.toDouble(QString::fromStdString(text), &ok);
  if (ok && std::isfinite(read)) {
    value = read;
    return true;
  }
  std::string ignored;
  return vestrand::parseNumber(text, value, ignored);
}

std::string FieldText(int panel, int control) {
  const auto* field = qobject_cast<QLineEdit*>(GetCtrlWidget(panel, control));
  return field != nullptr ? field->text().trimmed().toStdString() : std::string();
}

std::optional<AppliedDrift> ReadDrift(int panel, const vestrand::LanguageTexts& texts,
                                      std::string& refusal, const ClassWind* byClass) {
  try {
    return DriftReader(panel, texts, byClass).read();
  } catch (const Refusal& r) {
    refusal = r.reason;
    return std::nullopt;
  }
}

double WrappedLongitude(double lon) {
  const double wrapped = lon - 360.0 * std::round(lon / 360.0);
  return wrapped == -180.0 ? 180.0 : wrapped;
}

vestrand::PlanExtras DriftExtras(const AppliedDrift* d, const vestrand::LanguageTexts& texts) {
  vestrand::PlanExtras extras;
  if (d == nullptr) return extras;
  // The datum may have been brought back over the antimeridian; the last known position follows
  // it by the same turns so that the line stays short.
  const double turns = 360.0 * std::round((d->datumLon - d->drifted.lon) / 360.0);
  const vestrand::GeoPoint lastKnown{d->lastKnownLat, d->lastKnownLon + turns};
  extras.marks.push_back(
      {texts.get(Text::LastKnownLabel), lastKnown, vestrand::MarkShape::Triangle});
  extras.lines.push_back({{lastKnown, {d->datumLat, d->datumLon}}, vestrand::kInk, 1.5, true});
  if (d->byClass) {
    for (const auto& [name, p] : {std::pair{Text::DatumLeftMark, &d->datums.left},
                                  std::pair{Text::DatumRightMark, &d->datums.right},
                                  std::pair{Text::DatumDownwindMark, &d->datums.downwind}}) {
      extras.marks.push_back(
          {texts.get(name), {p->lat, p->lon + turns}, vestrand::MarkShape::Cross});
    }
  }
  return extras;
}

std::vector<vestrand::SummaryRow> CoverageRows(const vestrand::PatternParams& params,
                                               double sweepWidth,
                                               const vestrand::LanguageTexts& texts) {
  if (!(sweepWidth > 0.0) || !(params.spacing > 0.0) ||
      !vestrand::takes(params.kind, vestrand::PatternParam::Spacing))
    return {};
  const vestrand::Coverage c = vestrand::coverageOfSpacing(sweepWidth, params.spacing);
  using vestrand::fixedText;
  return {
      {texts.get(Text::CoverageRow),
       texts.get(Text::CoverageValue,
                 {fixedText(c.factor, 2), fixedText(sweepWidth, 2), fixedText(params.spacing, 2)})},
      {texts.get(Text::PodInverseCubeRow), vestrand::podText(c.podInverseCube)},
      {texts.get(Text::PodExponentialRow), vestrand::podText(c.podExponential)},
  };
}

std::vector<vestrand::SummaryRow> WindowSummaryRows(const vestrand::PatternParams& params,
                                                    const vestrand::PlanSummary& summary,
                                                    double speed, double sweepWidth, int maxPoints,
                                                    const vestrand::LanguageTexts& texts) {
  std::vector<vestrand::SummaryRow> rows =
      vestrand::summaryRows(summary, speed, WindowSummaryTexts(texts), maxPoints);
  for (vestrand::SummaryRow& row : CoverageRows(params, sweepWidth, texts)) {
    rows.push_back(std::move(row));
  }
  if (params.drift.speed > 0.0) {
    rows.push_back(
        {texts.get(Text::CompensationRow),
         texts.get(Text::CompensationValue, {vestrand::fixedText(params.drift.set, 1),
                                             vestrand::fixedText(params.drift.speed, 2),
                                             vestrand::fixedText(summary.groundTrack, 2)})});
  }
  return rows;
}
