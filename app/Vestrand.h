// The window program's callbacks: the main panel's, the output folder and the commands of the
// three search pages. Every callback returns 0.
#pragma once

#include <cstddef>
#include <string>

#include "MainPanel.h"
#include "cvirte.h"
#include "pattern_files.h"

// 1 until the time and date fields have been stamped at the first focus, then 0.
extern int firstFocus;

// Every callback the layout may name, for SetCallbackTable.
extern const CallbackEntry vestrandCallbacks[];
extern const std::size_t vestrandCallbackCount;

// A file that could not be written: the status line gives the reason, a message the window
// text `failure` (what was not written, a WindowTextEntry), the reason and the folder meant.
void ReportWriteFailure(int failure, const std::string& reason);

// The command's part before writing: reads the page (ReadSearchPage) and rebuilds the stem, then
// refuses a datum past a pole or the antimeridian, a pattern past a pole, and date or time fields
// that name no file, reported through ReportWriteFailure with `failure`.
// @return true when the page's pattern may be written
bool ReadPageToWrite(int page, int pagePanel, int failure, vestrand::PatternParams& params);

// The files the format and split choices of the main panel `panel` ask for.
vestrand::PatternFiles ChosenPatternFiles(int panel);

// Main panel: stamps the time and date fields at the first got-focus event; ends the event loop
// on close.
int SAR_CBK(int panel, int event, void* callbackData, int eventData1, int eventData2);

// Output-folder command: on commit, opens the folder the files are written to (the current
// directory) in the file manager.
int OpenGPX_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);

// Commands of the search pages, on commit: read the datum from mainPanel and the page's fields,
// rebuild the stem and write the pattern's files in the chosen formats and parts. The status line
// names the files written (and an RTZ file too large for some ECDIS units); when they cannot be
// written a message names the file and the reason.
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
