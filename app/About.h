// The three links of the start page: on left click each opens a page about the maker in the
// default browser; a commit opens nothing. Each returns 0.
#pragma once

// The maker's home page.
inline constexpr char kTarvolinHomePage[] = "http://www.tarvolin.com";
inline constexpr char kTarvolinWikipediaEnglish[] = "https://en.wikipedia.org/wiki/Tarvolin";
inline constexpr char kTarvolinWikipediaSpanish[] = "https://es.wikipedia.org/wiki/Tarvolin";

int LinkTarvolin_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                     int eventData2);
int WIKIPEDIA_TARVOLIN_ENGLISH_CBK(int panel, int control, int event, void* callbackData,
                                   int eventData1, int eventData2);
int WIKIPEDIA_TARVOLIN_SPANISH_CBK(int panel, int control, int event, void* callbackData,
                                   int eventData1, int eventData2);
