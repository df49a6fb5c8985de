// The window's own texts beyond the relabelled twenty, the preview and the search aids: the
// labels, hints and tool tips the layout carries without a control number, the status-line and
// failure messages, and the summary's words. All come from lrfExtra, so that a coordinator who
// picks a language sees no English left in the window.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "Languaje.h"
#include "plan_summary.h"

class QWidget;
namespace vestrand {
struct PatternParams;
}

// The preview's texts, the first of lrfExtra.
enum PreviewTextEntry {
  kPreviewTitle = 0,
  kSpeedLabel = 1,
  kLegsLabel = 2,
  kTrackLabel = 3,
  kTimeLabel = 4,
  kBoxLabel = 5,
  kUnit1 = 6,
  kUnit2 = 7,
  kStartHint = 8,
  kNoPattern = 9,
};

// First entry of this block in lrfExtra; the entries below are offsets from it.
inline constexpr int kWindowTexts = 66;

enum WindowTextEntry {
  // Texts of the layout, found by their widgets' names.
  kWindowTitleText = 0,
  kLanguageLabelText,
  kLatitudeLabelText,
  kLongitudeLabelText,
  kDateLabelText,
  kDateTipText,
  kTimeLabelText,
  kTimeTipText,
  kIntroText,
  kHomePageLinkText,
  kWikipediaEnglishLinkText,
  kWikipediaSpanishLinkText,
  kExtentLabelText,
  kExtentTipText,
  kPassesTipText,
  kParallelSweepItemText,
  kCreepingLineItemText,
  kSpeedTipText,
  kSweepWidthTipText,
  kFilesWrittenHereText,
  kBriefingTipText,
  kOutputFolderLabelText,
  kOutputFolderTipText,
  kLastKnownTipText,
  kDriftHoursTipText,
  kCurrentSetTipText,
  kCurrentDriftTipText,
  kLeewayTowardTipText,
  kLeewaySpeedTipText,
  kApplyDriftTipText,
  kFormatLabelText,
  kBothFormatsItemText,
  kFormatTipText,
  kMaxPointsLabelText,
  kNoLimitItemText,
  kMaxPointsTipText,
  // Messages; %1, %2, ... are filled in.
  kWrittenText,             // %1 the paths written
  kNotWrittenText,          // %1 the reason
  kNotWrittenTitleText,     // the failure dialog's title
  kPatternFailureText,      // the failure dialog's first line for a search pattern
  kBriefingFailureText,     // the same for the briefing
  kFolderText,              // %1 the folder meant
  kFolderUnknownText,       // %1 the system's reason
  kFolderNotOpenedText,     // %1 the folder
  kDatumBeyondText,         // %1 field label, %2 degrees, %3 the limit
  kDateRefusedText,         // %1 the field's text
  kTimeRefusedText,         // %1 the field's text
  kPastPoleText,            // %1, %2 the pattern's latitudes
  kRoundTheGlobeText,       // %1, %2 the pattern's longitudes
  kLanguageIncompleteText,  // %1 the file, %2 the lines missing
  kLanguageUnreadText,      // %1 the file
  kLargeRtzText,            // %1 the file
  kLongRouteText,           // %1 route, %2 points, %3 the plotters' limit
  kLongNameText,
  // Words of the summary beyond those of the preview.
  kCreepingLineTitleText,
  kOneUnitText,
  kUnitsText,       // %1 count
  kUnitPassesText,  // %1 count
  kPassLabelText,   // %1 number
  kOtherUnitText,   // %1 number
  kBoxValueText,    // %1 length, %2 width, %3 area
  kUnitValueText,   // %1 route, %2 legs, %3 track, %4 time
  kWarningLabelText,
  kLengthText,        // %1 nautical miles
  kCoveredLabelText,  // the area covered, beside the box
  kCoveredValueText,  // %1 square nautical miles
  kWideLegText,       // %1 degrees of longitude of the widest leg
  kWindowTextCount
};

static_assert(kWindowTexts + kWindowTextCount == nLanguageExtras,
              "every window text has its line in the language files");

// An entry of the language last chosen with %1 ... filled in from `values`, UTF-8.
std::string WindowText(WindowTextEntry entry, std::initializer_list<std::string_view> values = {});

// The summary's words in the window's language.
vestrand::SummaryTexts WindowSummaryTexts();

// Why the window refuses to write or show a pattern past a pole or round the globe, in the
// window's language; empty when the pattern may be written.
std::string PatternExtentProblem(const vestrand::PatternParams& params);

// Relabels the texts of the main panel `panel` that this block holds (its tab pages included).
// Language texts are shown as they stand: labels as plain text, tool tips escaped where they
// would otherwise be read as markup.
void RelabelWindowTexts(int panel);

// Sets a widget's tool tip to a language text, escaped where Qt would read it as markup.
void SetPlainToolTip(QWidget* widget, const std::string& text);

// The status line after a language choice: how complete `fileName` was, or where the files go.
void ReportLanguageFile(const char* fileName);
