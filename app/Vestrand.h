// The window program: start-up, the main panel's callback, the datum readers, the file-name stem
// and the commands of the three search pages.
//
// Positions are decimal degrees, north and east positive; courses degrees true; distances
// nautical miles. Every callback returns 0.
#pragma once

#include <cstddef>
#include <string>

#include "cvirte.h"
#include "vestrand.gpx.h"

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

// Capacity of the stem: 99 characters and the terminator.
inline constexpr std::size_t kStemCapacity = 100;

// The handle of the main panel, set by main (and by the tests that load the panel themselves).
extern int mainPanel;
// 1 until the time and date fields have been stamped at the first focus, then 0.
extern int firstFocus;
// The file-name stem of the latest command: year, month, day, hours, minutes, seconds.
extern char gpxFileNameWithoutExt[kStemCapacity];

// Every callback the layout may name, for SetCallbackTable.
extern const CallbackEntry vestrandCallbacks[];
extern const std::size_t vestrandCallbackCount;

// Main panel: stamps the time and date fields at the first got-focus event; ends the event loop
// on close.
int SAR_CBK(int panel, int event, void* callbackData, int eventData1, int eventData2);

// Output-folder command: on commit, opens the folder the GPX files are written to (the current
// directory) in the file manager.
int OpenGPX_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);

// Rewrites gpxFileNameWithoutExt from the main panel's time ("%d:%d:%d") and date ("%d/%d/%d")
// fields as "%.4d%.2d%.2d%.2d%.2d%.2d", year first. A part that does not parse counts as 0, a
// number too large for an int as the largest int, so the stem never exceeds 66 characters.
// @return 0
int gpxFileNameWithoutExtension();

// The stem gpxFileNameWithoutExtension would build from the time and date fields now, without
// writing gpxFileNameWithoutExt.
std::string CurrentStem();

// The pattern a search page describes, read as its command reads it: the datum from mainPanel,
// then the page's fields. pageIndex is the page's index in tab control 16, pagePanel its panel.
// @return false when the page describes no pattern: the start page, or a parallel page whose
//   selector holds a value other than 1 to 4 (params then holds what was read)
bool ReadSearchPage(int pageIndex, int pagePanel, vestrand::PatternParams& params);

// The datum from the degrees, minutes and seconds fields and the hemisphere switch of `panel`:
// degrees + minutes / 60 + seconds / 3600, negated for hemisphere 0 (south, west); -888.8 when
// the switch holds neither 1 nor 0. The fields are not range-checked.
double GetDegLatitude(int panel);
double GetDegLongitude(int panel);

// Commands of the search pages, on commit: read the datum from mainPanel and the page's fields,
// rebuild the stem and write the pattern's file. The status line names the file written; when it
// cannot be written a message names the file and the reason.
int ESSP_CBK(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SectorSearch_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                     int eventData2);
// The pattern selector (control 2) picks the two-unit parallel sweep (1, 2 or 3) or the creeping
// line (4); any other value writes nothing.
int ParallelSearch_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                       int eventData2);

// Expanding square page, on value changed of the leg pairs or the track spacing: the extent
// field (control 4) becomes leg pairs times track spacing.
int nSS_Change_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
int S_SS_Change_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                    int eventData2);
