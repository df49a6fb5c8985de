// The historical callbacks the layout names: the main panel's, the commands of the three search
// pages, the extent field, the output folder, the drift, the briefing, the links and the language
// choice. Each finds the window of its panel (Window.h) and runs its command there; without a
// window (a bare panel) the commands do nothing. Every callback returns 0.
#pragma once

#include <cstddef>

#include "cvirte.h"

// Every callback the layout may name, for SetCallbackTable.
extern const CallbackEntry vestrandCallbacks[];
extern const std::size_t vestrandCallbackCount;

// Main panel: stamps the time and date fields at the first got-focus event; ends the event loop
// on close.
int SAR_CBK(int panel, int event, void* callbackData, int eventData1, int eventData2);

// Output-folder command: on commit, opens the folder the files are written to.
int OpenGPX_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);

// Commands of the search pages, on commit: write the page's pattern (Window::writePage).
int ESSP_CBK(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SectorSearch_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                     int eventData2);
int ParallelSearch_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                       int eventData2);

// Expanding square page, on value changed of the leg pairs or the track spacing: the extent
// field becomes leg pairs times track spacing.
int nSS_Change_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
int S_SS_Change_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                    int eventData2);

// Drift group command, on commit: Window::applyDrift.
int ApplyDrift_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
// Briefing command, on commit: Window::saveBriefing.
int Briefing_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                 int eventData2);

// Language selector (main panel): value 0 English, 1 French, 2 Spanish, 3 Basque, 4 German; any
// other value does nothing. Hands its own arguments to the language's callback, on commit only.
int LANGUAJE_RING_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                      int eventData2);
// On commit, read "english.lrf", "french.lrf", "spanish.lrf", "euskera.lrf" or "deutsch.lrf" and
// relabel the window (Window::chooseLanguage), also when the file does not open.
int EnglishCBK(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int FrenchCBK(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);
int SpanishCBK(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int EuskeraCBK(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int DeutschCBK(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
