#include "WindowTexts.h"

#include <QComboBox>
#include <QTextDocument>
#include <QWidget>

#include "Languaje.h"
#include "MainPanel.h"
#include "cvirte_widgets.h"
#include "pattern_files.h"

namespace {

std::string Entry(int entry) {
  return lrfExtra[kWindowTexts + entry];
}

enum class Shown { kText, kToolTip, kItem0, kItem1, kItem2 };

struct Row {
  const char* widget;  // object name in the layout
  Shown how;
  int entry;
};

constexpr Row kRows[] = {
    {"languageLabel", Shown::kText, kLanguageLabelText},
    {"latitudeLabel", Shown::kText, kLatitudeLabelText},
    {"longitudeLabel", Shown::kText, kLongitudeLabelText},
    {"dateLabel", Shown::kText, kDateLabelText},
    {"dateField", Shown::kToolTip, kDateTipText},
    {"timeLabel", Shown::kText, kTimeLabelText},
    {"timeField", Shown::kToolTip, kTimeTipText},
    {"introText", Shown::kText, kIntroText},
    {"tarvolinLink", Shown::kText, kHomePageLinkText},
    {"wikipediaEnglishLink", Shown::kText, kWikipediaEnglishLinkText},
    {"wikipediaSpanishLink", Shown::kText, kWikipediaSpanishLinkText},
    {"squareExtentLabel", Shown::kText, kExtentLabelText},
    {"squareExtent", Shown::kToolTip, kExtentTipText},
    {"sectorPasses", Shown::kToolTip, kPassesTipText},
    {"parallelPattern", Shown::kItem0, kParallelSweepItemText},
    {"parallelPattern", Shown::kItem1, kCreepingLineItemText},
    {"searchSpeed", Shown::kToolTip, kSpeedTipText},
    {"sweepWidth", Shown::kToolTip, kSweepWidthTipText},
    {"briefingButton", Shown::kToolTip, kBriefingTipText},
    {"outputFolderButton", Shown::kText, kOutputFolderLabelText},
    {"outputFolderButton", Shown::kToolTip, kOutputFolderTipText},
    {"lastKnownPosition", Shown::kToolTip, kLastKnownTipText},
    {"driftHours", Shown::kToolTip, kDriftHoursTipText},
    {"currentSet", Shown::kToolTip, kCurrentSetTipText},
    {"currentDrift", Shown::kToolTip, kCurrentDriftTipText},
    {"leewayToward", Shown::kToolTip, kLeewayTowardTipText},
    {"leewaySpeed", Shown::kToolTip, kLeewaySpeedTipText},
    {"applyDriftButton", Shown::kToolTip, kApplyDriftTipText},
    {"formatLabel", Shown::kText, kFormatLabelText},
    {"formatChoice", Shown::kItem2, kBothFormatsItemText},
    {"formatChoice", Shown::kToolTip, kFormatTipText},
    {"maxPointsLabel", Shown::kText, kMaxPointsLabelText},
    {"maxPointsChoice", Shown::kItem0, kNoLimitItemText},
    {"maxPointsChoice", Shown::kToolTip, kMaxPointsTipText},
};

void Show(QWidget* widget, Shown how, const QString& text) {
  switch (how) {
    case Shown::kText:
      SetWidgetLabel(widget, text.toUtf8().constData());
      break;
    case Shown::kToolTip:
      SetPlainToolTip(widget, text.toStdString());
      break;
    case Shown::kItem0:
    case Shown::kItem1:
    case Shown::kItem2:
      if (auto* ring = qobject_cast<QComboBox*>(widget)) {
        const int item = static_cast<int>(how) - static_cast<int>(Shown::kItem0);
        if (item < ring->count()) ring->setItemText(item, text);
      }
      break;
  }
}

}  // namespace

std::string WindowText(WindowTextEntry entry, std::initializer_list<std::string_view> values) {
  return vestrand::fillIn(Entry(entry), values);
}

vestrand::SummaryTexts WindowSummaryTexts() {
  vestrand::SummaryTexts t;
  t.pattern = LanguageText(15);
  t.legs = lrfExtra[kLegsLabel];
  t.track = lrfExtra[kTrackLabel];
  t.speed = lrfExtra[kSpeedLabel];
  t.time = lrfExtra[kTimeLabel];
  t.box = lrfExtra[kBoxLabel];
  t.covered = Entry(kCoveredLabelText);
  t.coveredValue = Entry(kCoveredValueText);
  t.unitLabels = {lrfExtra[kUnit1], lrfExtra[kUnit2]};
  t.otherUnitLabel = Entry(kOtherUnitText);
  t.passLabel = Entry(kPassLabelText);
  t.expandingSquare = LanguageText(3);
  t.sector = LanguageText(9);
  t.creepingLine = Entry(kCreepingLineTitleText);
  t.parallelSweep = LanguageText(13);
  t.oneUnit = Entry(kOneUnitText);
  t.units = Entry(kUnitsText);
  t.unitPasses = Entry(kUnitPassesText);
  t.boxValue = Entry(kBoxValueText);
  t.unitValue = Entry(kUnitValueText);
  t.warning = Entry(kWarningLabelText);
  t.length = Entry(kLengthText);
  t.longRoute = Entry(kLongRouteText);
  return t;
}

std::string PatternExtentProblem(const vestrand::PatternParams& params) {
  using vestrand::ExtentFault;
  using vestrand::fixedText;
  const vestrand::PatternExtent e = vestrand::patternExtent(params);
  switch (vestrand::extentFault(e)) {
    case ExtentFault::None:
      return {};
    case ExtentFault::NotFinite:  // no number to name: a pole is where plane sailing breaks
    case ExtentFault::PastPole:
      return WindowText(kPastPoleText, {fixedText(e.minLat, 2), fixedText(e.maxLat, 2)});
    case ExtentFault::RoundTheGlobe:
      return WindowText(kRoundTheGlobeText, {fixedText(e.minLon, 2), fixedText(e.maxLon, 2)});
    case ExtentFault::WideLeg:
      return WindowText(kWideLegText, {fixedText(e.widestLeg, 2)});
  }
  return {};
}

void RelabelWindowTexts(int panel) {
  QWidget* panelWidget = GetPanelWidget(panel);
  if (panelWidget == nullptr) return;
  QWidget* window = panelWidget->window();
  window->setWindowTitle(QString::fromStdString(Entry(kWindowTitleText)));
  for (const Row& row : kRows) {
    if (auto* widget = window->findChild<QWidget*>(row.widget)) {
      Show(widget, row.how, QString::fromStdString(Entry(row.entry)));
    }
  }
}

// Qt reads a tool tip that looks like markup as rich text; a language file's line is only ever
// words, so such a line is escaped and shows as typed.
void SetPlainToolTip(QWidget* widget, const std::string& text) {
  const QString tip = QString::fromStdString(text);
  widget->setToolTip(Qt::mightBeRichText(tip) ? "<p>" + tip.toHtmlEscaped() + "</p>" : tip);
}

void ReportLanguageFile(const char* fileName) {
  const int texts = LanguageFileMissingLines();
  const int extras = LanguageExtrasMissingLines();
  if (texts < 0 || extras < 0) {
    ShowStatus(WindowText(kLanguageUnreadText, {fileName}));
  } else if (texts + extras > 0) {
    ShowStatus(WindowText(kLanguageIncompleteText, {fileName, std::to_string(texts + extras)}));
  } else {
    ShowStatus(Entry(kFilesWrittenHereText));
  }
}
