// The main panel as the layout numbers it: the controls of the main panel and of the three search
// pages by name, and the historical globals and readers the historical callbacks use (the datum
// readers, the stem, the page reader). Stored layouts rely on these numbers; code newer than the
// layout finds its widgets by their names instead (Window.h).
//
// Positions are decimal degrees, north and east positive; courses degrees true; distances
// nautical miles.
#pragma once

#include <cstddef>
#include <string>

#include "vestrand.gpx.h"

// Controls of the main panel.
inline constexpr int kLatitudeDegrees = 2;   // 3 minutes, 4 seconds, 5 hemisphere (1 N, 0 S)
inline constexpr int kLongitudeDegrees = 6;  // 7 minutes, 8 seconds, 9 hemisphere (1 E, 0 W)
inline constexpr int kDatumGroup = 10;
inline constexpr int kDateField = 11;  // "YYYY/MM/DD"
inline constexpr int kTimeField = 12;  // "HH:MM:SS"
inline constexpr int kSearchTabs = 16;
inline constexpr int kHeading = 18;
inline constexpr int kLanguageSelector = 19;  // 0 English, 1 French, 2 Spanish, 3 Basque, 4 German
inline constexpr int kOutputFolderButton = 20;
inline constexpr int kStatusLine = 21;
inline constexpr int kSearchSpeed = 22;    // knots, for the plan summary's time
inline constexpr int kPlanGroup = 23;      // holds the search speed, the preview and the summary
inline constexpr int kPositionField = 24;  // a whole position as text; Enter fills the datum
inline constexpr int kDatumReadBack = 25;  // the datum in the three forms, one a line
inline constexpr int kCopyPositionButton = 26;  // the datum in degrees and minutes to the clipboard
inline constexpr int kStampAgainButton = 27;    // the date and time fields from the clock again
inline constexpr int kLastKnownPosition = 31;   // text, any form parsePosition reads
inline constexpr int kDriftHours = 32;          // text, hours since the incident, 0 to 240
inline constexpr int kCurrentSet = 33;          // text, degrees true toward which the water flows
inline constexpr int kCurrentDrift = 34;        // text, knots
inline constexpr int kLeewayToward = 35;        // text, degrees true toward which the wind pushes
inline constexpr int kLeewaySpeed = 36;         // text, knots
inline constexpr int kApplyDriftButton = 37;
inline constexpr int kSweepWidth = 38;  // nautical miles; 0 when none is given
inline constexpr int kBriefingButton = 39;
// The files a search page's command writes: 0 GPX, 1 RTZ, 2 both; and the points a route is
// split at: 0 no limit, 1 250, 2 500, 3 1000.
inline constexpr int kFormatChoice = 50;
inline constexpr int kMaxPointsChoice = 51;

// Pages of the tab control kSearchTabs; each page is a panel of its own.
enum SearchPage : int { kStartPage = 0, kSquarePage = 1, kSectorPage = 2, kParallelPage = 3 };

// Controls of the expanding square page.
namespace square_page {
inline constexpr int kCount = 2;    // leg pairs
inline constexpr int kCourse = 3;   // degrees true
inline constexpr int kExtent = 4;   // leg pairs times track spacing, written by the page
inline constexpr int kSpacing = 5;  // track spacing
inline constexpr int kCommand = 6;
inline constexpr int kText = 8;
}  // namespace square_page

// Controls of the sector page.
namespace sector_page {
inline constexpr int kCourse = 2;
inline constexpr int kLeg = 3;
inline constexpr int kCommand = 4;
inline constexpr int kText = 6;
inline constexpr int kPasses = 20;  // 1 or 2; a layout without it keeps the one pass
}  // namespace sector_page

// Controls of the parallel page: the two-unit parallel sweep or the one-unit creeping line.
namespace parallel_page {
inline constexpr int kPattern = 2;  // 1 parallel sweep, 4 creeping line
inline constexpr int kLoops = 3;
inline constexpr int kCourse = 4;
inline constexpr int kSpacing = 5;
inline constexpr int kLeg = 6;
inline constexpr int kCommand = 7;
inline constexpr int kText = 9;
}  // namespace parallel_page

// The command button of a search page; 0 for the start page.
int PageCommand(int page);

// Each field's text is read into 52 bytes (51 characters and the terminator).
inline constexpr std::size_t kFieldCapacity = 52;

// Capacity of the stem: 99 characters and the terminator.
inline constexpr std::size_t kStemCapacity = 100;

// The historical window API: the handle of the main panel, set by main (and by the tests that
// load the panel themselves), and the file-name stem of the latest command.
extern int mainPanel;
extern char gpxFileNameWithoutExt[kStemCapacity];
// 1 until the time and date fields have been stamped at the first focus, then 0.
extern int firstFocus;

// Rewrites gpxFileNameWithoutExt from the main panel's time ("%d:%d:%d") and date ("%d/%d/%d")
// fields as "%.4d%.2d%.2d%.2d%.2d%.2d", year first. A part that does not parse counts as 0, a
// number too large for an int as the largest int, so the stem never exceeds 66 characters.
// @return 0
int gpxFileNameWithoutExtension();

// The stem gpxFileNameWithoutExtension would build from the time and date fields of `panel` now.
std::string CurrentStem(int panel);

// Whether a field's text is a real date ("YYYY/MM/DD", month 1 to 12, a day that exists in that
// month; one-digit months and days allowed) or a real time ("HH:MM:SS", 0 to 23, 0 to 59, 0 to 59;
// one-digit parts allowed). Only such texts name files: anything else would give a stem that no
// one finds under the time of the search.
bool IsRealDate(const std::string& text);
bool IsRealTime(const std::string& text);

// The datum from the degrees, minutes and seconds fields and the hemisphere switch of `panel`:
// degrees + minutes / 60 + seconds / 3600, negated for hemisphere 0 (south, west); -888.8 when
// the switch holds neither 1 nor 0. The fields are not range-checked.
double GetDegLatitude(int panel);
double GetDegLongitude(int panel);

// Fills the datum fields and hemisphere switches of `panel` with a position (decimal degrees,
// |lat| <= 90, |lon| <= 180): whole degrees, whole minutes and seconds to the hundredth that the
// seconds field shows, the rounding carried into minutes and degrees.
void SetDatum(int panel, double lat, double lon);

// The pattern a search page describes, read as its command reads it: the datum from `panel` (the
// main panel), then the page's fields.
// @return false when the page describes no pattern: the start page, or a parallel page whose
//   selector holds a value other than 1 or 4 (params then holds what was read)
bool ReadSearchPage(int panel, int page, vestrand::PatternParams& params);

// Stamps the date ("%.4d/%.2d/%.2d") and time ("%.2d:%.2d:%.2d") fields of `panel` with the
// local clock, as at the first focus.
void StampDateAndTime(int panel);

// The language file of a value of the language selector: "english.lrf", "french.lrf",
// "spanish.lrf", "euskera.lrf" or "deutsch.lrf" for 0 to 4; null for any other value.
const char* LanguageFile(int value);

// The historical relabelling: writes the twenty-two texts of lines 1 to 20 from the historical
// table lrfData (Languaje.h) onto the main panel `panel`: the heading, the datum group, the four
// tab labels and the texts of the three search pages, line 9 on all three command buttons. An
// entry that is empty (no file read yet) shows its English text. @return 0
int ChageMenuLanguaje(int panel);
