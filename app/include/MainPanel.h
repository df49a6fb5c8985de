// The main panel as the program's code sees it: its control numbers, the datum readers, the
// reader of a search page and the file-name stem. The window's callbacks (Vestrand.h), the plan
// view and the relabelling of language/ all take the numbers from here.
//
// Positions are decimal degrees, north and east positive; courses degrees true; distances
// nautical miles.
#pragma once

#include <cstddef>
#include <string>

namespace vestrand {
struct PatternParams;
}

// Controls of the main panel.
inline constexpr int kLatitudeDegrees = 2;   // 3 minutes, 4 seconds, 5 hemisphere (1 N, 0 S)
inline constexpr int kLongitudeDegrees = 6;  // 7 minutes, 8 seconds, 9 hemisphere (1 E, 0 W)
inline constexpr int kDatumGroup = 10;
inline constexpr int kDateField = 11;  // "YYYY/MM/DD"
inline constexpr int kTimeField = 12;  // "HH:MM:SS"
inline constexpr int kSearchTabs = 16;
inline constexpr int kHeading = 18;
inline constexpr int kLanguageSelector = 19;
inline constexpr int kOutputFolderButton = 20;
inline constexpr int kStatusLine = 21;
inline constexpr int kSearchSpeed = 22;  // knots, for the plan summary's time
inline constexpr int kPlanGroup = 23;    // holds the search speed, the preview and the summary

// Datum entry (app/DatumEntry.h): 24 to 29.
inline constexpr int kPositionField = 24;       // a whole position as text; Enter fills the datum
inline constexpr int kDatumReadBack = 25;       // the datum in the three forms, one a line
inline constexpr int kCopyPositionButton = 26;  // the datum in degrees and minutes to the clipboard
inline constexpr int kStampAgainButton = 27;    // the date and time fields from the clock again
// Search aids of the main panel: the drift of the datum, the sweep width and the briefing.
inline constexpr int kDriftGroup = 30;
inline constexpr int kLastKnownPosition = 31;  // text, any form parsePosition reads
inline constexpr int kDriftHours = 32;         // text, hours since the incident, 0 to 240
inline constexpr int kCurrentSet = 33;         // text, degrees true toward which the water flows
inline constexpr int kCurrentDrift = 34;       // text, knots
inline constexpr int kLeewayToward = 35;       // text, degrees true toward which the wind pushes
inline constexpr int kLeewaySpeed = 36;        // text, knots
inline constexpr int kApplyDriftButton = 37;
inline constexpr int kSweepWidth = 38;  // nautical miles; 0 when none is given
inline constexpr int kBriefingButton = 39;
// The files a search page's command writes: 0 GPX, 1 RTZ, 2 both; and the points a route is
// split at: 0 no limit, 1 250, 2 500, 3 1000.
inline constexpr int kFormatChoice = 50;
inline constexpr int kMaxPointsChoice = 51;
// Sector page: 1 or 2 passes.
inline constexpr int kSectorPasses = 20;

// Each field's text is read into 52 bytes (51 characters and the terminator).
inline constexpr std::size_t kFieldCapacity = 52;

// Capacity of the stem: 99 characters and the terminator.
inline constexpr std::size_t kStemCapacity = 100;

// The handle of the main panel, set by main (and by the tests that load the panel themselves).
extern int mainPanel;
// The file-name stem of the latest command: year, month, day, hours, minutes, seconds.
extern char gpxFileNameWithoutExt[kStemCapacity];

// Rewrites gpxFileNameWithoutExt from the main panel's time ("%d:%d:%d") and date ("%d/%d/%d")
// fields as "%.4d%.2d%.2d%.2d%.2d%.2d", year first. A part that does not parse counts as 0, a
// number too large for an int as the largest int, so the stem never exceeds 66 characters.
// @return 0
int gpxFileNameWithoutExtension();

// The stem gpxFileNameWithoutExtension would build from the time and date fields now, without
// writing gpxFileNameWithoutExt.
std::string CurrentStem();

// Whether a field's text is a real date ("YYYY/MM/DD", month 1 to 12, a day that exists in that
// month; one-digit months and days allowed) or a real time ("HH:MM:SS", 0 to 23, 0 to 59, 0 to 59;
// one-digit parts allowed). Only such texts name files: anything else would give a stem that no
// one finds under the time of the search.
bool IsRealDate(const char* text);
bool IsRealTime(const char* text);
// Why the date and time fields of the main panel name no file ("The date field holds 'abc', not
// a date YYYY/MM/DD", in the window's language), or the empty text when both are real.
std::string StampProblem();

// The datum from the degrees, minutes and seconds fields and the hemisphere switch of `panel`:
// degrees + minutes / 60 + seconds / 3600, negated for hemisphere 0 (south, west); -888.8 when
// the switch holds neither 1 nor 0. The fields are not range-checked.
double GetDegLatitude(int panel);
double GetDegLongitude(int panel);

// Fills the datum fields and hemisphere switches of `panel` with a position (decimal degrees,
// |lat| <= 90, |lon| <= 180): whole degrees, whole minutes and seconds to the hundredth that the
// seconds field shows, the rounding carried into minutes and degrees.
void SetDatum(int panel, double lat, double lon);

// The pattern a search page describes, read as its command reads it: the datum from mainPanel,
// then the page's fields. pageIndex is the page's index in tab control 16, pagePanel its panel.
// @return false when the page describes no pattern: the start page, or a parallel page whose
//   selector holds a value other than 1 to 4 (params then holds what was read)
bool ReadSearchPage(int pageIndex, int pagePanel, vestrand::PatternParams& params);

// Stamps the date ("%.4d/%.2d/%.2d") and time ("%.2d:%.2d:%.2d") fields of `panel` with the
// local clock, as at the first focus.
void StampDateAndTime(int panel);

// Shows a text on the main panel's status line.
void ShowStatus(const std::string& text);
