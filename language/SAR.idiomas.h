// Control callbacks of the language choice. Each acts on commit only and on the panel it
// receives, which must be the main panel; all return 0.
#pragma once

// Language selector (main panel, control 19): value 0 English, 1 French, 2 Spanish, 3 Basque,
// 4 German; any other value does nothing. Hands its own arguments to the language's callback.
int LANGUAJE_RING_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                      int eventData2);

// Read "english.lrf", "french.lrf", "spanish.lrf", "euskera.lrf" or "deutsch.lrf" and relabel the
// window from the table, also when the file does not open (the table then keeps its texts).
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
