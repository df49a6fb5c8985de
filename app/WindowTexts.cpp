#include "WindowTexts.h"

#include <QComboBox>
#include <QTextDocument>
#include <QWidget>

#include "cvirte_widgets.h"
#include "number_text.h"
#include "pattern_files.h"

using vestrand::Text;

namespace {

enum class Shown { kText, kToolTip, kItem0, kItem1, kItem2 };

struct Row {
  const char* widget;  // object name in the layout
  Shown how;
  Text text;
};

constexpr Row kRows[] = {
    {"languageLabel", Shown::kText, Text::LanguageLabel},
    {"latitudeLabel", Shown::kText, Text::LatitudeLabel},
    {"longitudeLabel", Shown::kText, Text::LongitudeLabel},
    {"dateLabel", Shown::kText, Text::DateLabel},
    {"dateField", Shown::kToolTip, Text::DateTip},
    {"timeLabel", Shown::kText, Text::TimeFieldLabel},
    {"timeField", Shown::kToolTip, Text::TimeTip},
    {"introText", Shown::kText, Text::Intro},
    {"tarvolinLink", Shown::kText, Text::HomePageLink},
    {"wikipediaEnglishLink", Shown::kText, Text::WikipediaEnglishLink},
    {"wikipediaSpanishLink", Shown::kText, Text::WikipediaSpanishLink},
    {"squareExtentLabel", Shown::kText, Text::ExtentLabel},
    {"squareExtent", Shown::kToolTip, Text::ExtentTip},
    {"sectorPasses", Shown::kToolTip, Text::PassesTip},
    {"parallelPattern", Shown::kItem0, Text::ParallelSweepItem},
    {"parallelPattern", Shown::kItem1, Text::CreepingLineItem},
    {"searchSpeedLabel", Shown::kText, Text::SearchSpeedLabel},
    {"searchSpeed", Shown::kToolTip, Text::SpeedTip},
    {"sweepWidthLabel", Shown::kText, Text::SweepWidthLabel},
    {"sweepWidth", Shown::kToolTip, Text::SweepWidthTip},
    {"startTimeLabel", Shown::kText, Text::StartTimeLabel},
    {"startTime", Shown::kToolTip, Text::StartTimeTip},
    {"briefingButton", Shown::kText, Text::BriefingLabel},
    {"briefingButton", Shown::kToolTip, Text::BriefingTip},
    {"outputFolderButton", Shown::kText, Text::OpenFolderLabel},
    {"outputFolderButton", Shown::kToolTip, Text::OpenFolderTip},
    {"outputFolderLabel", Shown::kText, Text::OutputFolderLabel},
    {"chooseFolderButton", Shown::kText, Text::ChooseFolderButton},
    {"chooseFolderButton", Shown::kToolTip, Text::ChooseFolderTip},
    {"driftGroup", Shown::kText, Text::DriftGroupTitle},
    {"lastKnownPositionLabel", Shown::kText, Text::LastKnownLabel},
    {"lastKnownPosition", Shown::kToolTip, Text::LastKnownTip},
    {"driftHoursLabel", Shown::kText, Text::DriftHoursLabel},
    {"driftHours", Shown::kToolTip, Text::DriftHoursTip},
    {"currentSetLabel", Shown::kText, Text::CurrentSetLabel},
    {"currentSet", Shown::kToolTip, Text::CurrentSetTip},
    {"currentDriftLabel", Shown::kText, Text::CurrentDriftLabel},
    {"currentDrift", Shown::kToolTip, Text::CurrentDriftTip},
    {"leewayTowardLabel", Shown::kText, Text::LeewayTowardLabel},
    {"leewayToward", Shown::kToolTip, Text::LeewayTowardTip},
    {"leewaySpeedLabel", Shown::kText, Text::LeewaySpeedLabel},
    {"leewaySpeed", Shown::kToolTip, Text::LeewaySpeedTip},
    {"applyDriftButton", Shown::kText, Text::ApplyDriftLabel},
    {"applyDriftButton", Shown::kToolTip, Text::ApplyDriftTip},
    {"sectorPassesLabel", Shown::kText, Text::PassesLabel},
    {"planGroup", Shown::kText, Text::PreviewTitle},
    {"positionLabel", Shown::kText, Text::PositionFieldLabel},
    {"copyPositionButton", Shown::kText, Text::CopyPositionLabel},
    {"stampAgainButton", Shown::kText, Text::StampAgainLabel},
    {"readBackLabel", Shown::kText, Text::ReadBackLabel},
    {"formatLabel", Shown::kText, Text::FormatLabel},
    {"formatChoice", Shown::kItem2, Text::BothFormatsItem},
    {"formatChoice", Shown::kToolTip, Text::FormatTip},
    {"maxPointsLabel", Shown::kText, Text::MaxPointsLabel},
    {"maxPointsChoice", Shown::kItem0, Text::NoLimitItem},
    {"maxPointsChoice", Shown::kToolTip, Text::MaxPointsTip},
};

void Show(QWidget* widget, Shown how, const std::string& text) {
  switch (how) {
    case Shown::kText:
      SetWidgetLabel(widget, text.c_str());
      break;
    case Shown::kToolTip:
      SetPlainToolTip(widget, text);
      break;
    case Shown::kItem0:
    case Shown::kItem1:
    case Shown::kItem2:
      if (auto* ring = qobject_cast<QComboBox*>(widget)) {
        const int item = static_cast<int>(how) - static_cast<int>(Shown::kItem0);
        if (item < ring->count()) ring->setItemText(item, QString::fromStdString(text));
        // The ring keeps the width of its longest item: the layout must hear of a new one.
        ring->updateGeometry();
      }
      break;
  }
}

}  // namespace

vestrand::SummaryTexts WindowSummaryTexts(const vestrand::LanguageTexts& texts) {
  const auto get = [&texts](Text name) { return texts.get(name); };
  vestrand::SummaryTexts t;
  t.pattern = get(Text::ParallelPattern);
  t.legs = get(Text::LegsLabel);
  t.track = get(Text::TrackLabel);
  t.speed = get(Text::SearchSpeedLabel);
  t.time = get(Text::TimeLabel);
  t.box = get(Text::BoxLabel);
  t.covered = get(Text::CoveredLabel);
  t.coveredValue = get(Text::CoveredValue);
  t.unitLabels = {get(Text::Unit1), get(Text::Unit2)};
  t.otherUnitLabel = get(Text::OtherUnit);
  t.passLabel = get(Text::PassLabel);
  t.patternTitles = {{vestrand::PatternKind::ExpandingSquare, get(Text::SquareTab)},
                     {vestrand::PatternKind::Sector, get(Text::SectorTab)},
                     {vestrand::PatternKind::CreepingLine, get(Text::CreepingLineTitle)},
                     {vestrand::PatternKind::ParallelSweep, get(Text::ParallelTab)},
                     {vestrand::PatternKind::Trackline, get(Text::TracklineTab)}};
  t.oneUnit = get(Text::OneUnit);
  t.units = get(Text::Units);
  t.unitPasses = get(Text::UnitPasses);
  t.boxValue = get(Text::BoxValue);
  t.unitValue = get(Text::UnitValue);
  t.warning = get(Text::WarningLabel);
  t.length = get(Text::Length);
  t.longRoute = get(Text::LongRoute);
  return t;
}

std::string PatternTitle(vestrand::PatternKind kind, const vestrand::LanguageTexts& texts) {
  const vestrand::SummaryTexts words = WindowSummaryTexts(texts);
  const auto found = words.patternTitles.find(kind);
  return found != words.patternTitles.end() ? found->second : vestrand::patternInfo(kind).name;
}

std::string ParamLabel(vestrand::PatternParam param, const vestrand::LanguageTexts& texts) {
  using vestrand::PatternParam;
  switch (param) {
    case PatternParam::Spacing:
      return texts.get(Text::SquareSpacing);
    case PatternParam::Leg:
      return texts.get(Text::ParallelLeg);
    case PatternParam::Radius:
      return texts.get(Text::SectorLeg);
    case PatternParam::LegPairs:
      return texts.get(Text::SquareCount);
    case PatternParam::Loops:
      return texts.get(Text::ParallelLoops);
    case PatternParam::Passes:
      return texts.get(Text::PassesLabel);
  }
  return {};
}

std::string PatternExtentProblem(const vestrand::PatternParams& params,
                                 const vestrand::LanguageTexts& texts) {
  using vestrand::ExtentFault;
  using vestrand::fixedText;
  const vestrand::PatternExtent e = vestrand::patternExtent(params);
  switch (vestrand::extentFault(e)) {
    case ExtentFault::None:
      return {};
    case ExtentFault::NotFinite:  // no number to name: a pole is where plane sailing breaks
    case ExtentFault::PastPole:
      return texts.get(Text::PatternPastPole, {fixedText(e.minLat, 2), fixedText(e.maxLat, 2)});
    case ExtentFault::RoundTheGlobe:
      return texts.get(Text::PatternRoundTheGlobe,
                       {fixedText(e.minLon, 2), fixedText(e.maxLon, 2)});
    case ExtentFault::WideLeg:
      return texts.get(Text::WideLeg, {fixedText(e.widestLeg, 2)});
  }
  return {};
}

void RelabelLayoutTexts(QWidget* window, const vestrand::LanguageTexts& texts) {
  if (window == nullptr) return;
  window->setWindowTitle(QString::fromStdString(texts.get(Text::WindowTitle)));
  for (const Row& row : kRows) {
    if (auto* widget = window->findChild<QWidget*>(row.widget)) {
      Show(widget, row.how, texts.get(row.text));
    }
  }
}

// Qt reads a tool tip that looks like markup as rich text; a language file's line is only ever
// words, so such a line is escaped and shows as typed.
void SetPlainToolTip(QWidget* widget, const std::string& text) {
  const QString tip = QString::fromStdString(text);
  widget->setToolTip(Qt::mightBeRichText(tip) ? "<p>" + tip.toHtmlEscaped() + "</p>" : tip);
}
