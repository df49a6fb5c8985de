#include "Vestrand.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "About.h"
#include "SAR.idiomas.h"
#include "gpx.h"
#include "vestrand.gpx.h"

int firstFocus = 1;

const CallbackEntry vestrandCallbacks[] = {
    {"SAR_CBK", nullptr, SAR_CBK},
    {"OpenGPX_CBK", OpenGPX_CBK, nullptr},
    {"ESSP_CBK", ESSP_CBK, nullptr},
    {"SectorSearch_CBK", SectorSearch_CBK, nullptr},
    {"ParallelSearch_CBK", ParallelSearch_CBK, nullptr},
    {"nSS_Change_CBK", nSS_Change_CBK, nullptr},
    {"S_SS_Change_CBK", S_SS_Change_CBK, nullptr},
    {"LinkTarvolin_CBK", LinkTarvolin_CBK, nullptr},
    {"WIKIPEDIA_TARVOLIN_ENGLISH_CBK", WIKIPEDIA_TARVOLIN_ENGLISH_CBK, nullptr},
    {"WIKIPEDIA_TARVOLIN_SPANISH_CBK", WIKIPEDIA_TARVOLIN_SPANISH_CBK, nullptr},
    {"LANGUAJE_RING_CBK", LANGUAJE_RING_CBK, nullptr},
    {"EnglishCBK", EnglishCBK, nullptr},
    {"FrenchCBK", FrenchCBK, nullptr},
    {"SpanishCBK", SpanishCBK, nullptr},
    {"EuskeraCBK", EuskeraCBK, nullptr},
    {"DeutschCBK", DeutschCBK, nullptr},
};
const std::size_t vestrandCallbackCount = std::size(vestrandCallbacks);

namespace {

// Tells the operator what became of a command: the file's name on the status line, or a message
// naming the file and the reason it could not be written.
void ReportWrite(bool written, const vestrand::PatternParams& params) {
  if (written) {
    vestrand::PatternNames names;
    if (vestrand::composePatternNames(params, gpxFileNameWithoutExt, names)) {
      ShowStatus(std::string("Written: ") + names.file);
    }
    return;
  }
  const std::string reason = GPXLastError();
  ShowStatus("Not written: " + reason);
  MessagePopup("GPX file not written", ("The GPX file was not written.\n\n" + reason).c_str());
}

}  // namespace

int SAR_CBK(int panel, int event, void*, int, int) {
  switch (event) {
    case EVENT_GOT_FOCUS:
      if (firstFocus != 0) {
        int hours = 0;
        int minutes = 0;
        int seconds = 0;
        char text[kFieldCapacity];
        CVI_GetSystemTime(&hours, &minutes, &seconds);
        std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", hours, minutes, seconds);
        SetCtrlVal(panel, kTimeField, text);
        int month = 0;
        int day = 0;
        int year = 0;
        GetSystemDate(&month, &day, &year);
        std::snprintf(text, sizeof text, "%.4d/%.2d/%.2d", year, month, day);
        SetCtrlVal(panel, kDateField, text);
        firstFocus = 0;
      }
      break;
    case EVENT_CLOSE:
      QuitUserInterface(0);
      break;
    default:
      break;
  }
  return 0;
}

int OpenGPX_CBK(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  // The generators write into the current directory, so that is the folder to show.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) {
    ShowStatus("The output folder is unknown: " + error.message());
    return 0;
  }
  if (InetLaunchDefaultWebBrowser(folder.c_str()) != 0) {
    ShowStatus("The output folder could not be opened: " + folder.string());
  }
  return 0;
}

int ESSP_CBK(int panel, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  vestrand::PatternParams params;
  ReadSearchPage(1, panel, params);
  gpxFileNameWithoutExtension();
  const bool written = gpxExpandingSquareSearchPattern(
      params.lat, params.lon, params.course, params.spacing, params.count, gpxFileNameWithoutExt);
  ReportWrite(written, params);
  return 0;
}

int SectorSearch_CBK(int panel, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  vestrand::PatternParams params;
  ReadSearchPage(2, panel, params);
  gpxFileNameWithoutExtension();
  const bool written = gpxSectorSearchPattern(params.lat, params.lon, params.course, params.leg,
                                              gpxFileNameWithoutExt);
  ReportWrite(written, params);
  return 0;
}

int ParallelSearch_CBK(int panel, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  vestrand::PatternParams params;
  const bool described = ReadSearchPage(3, panel, params);
  gpxFileNameWithoutExtension();
  if (!described) return 0;
  bool written = false;
  if (params.kind == vestrand::PatternKind::ParallelSweep) {
    written = gpxParallelSearchPattern2ships(params.lat, params.lon, params.course, params.spacing,
                                             params.leg, params.count, gpxFileNameWithoutExt);
  } else {
    written = gpxCreepingLineSingleunit(params.lat, params.lon, params.course, params.spacing,
                                        params.leg, params.count, gpxFileNameWithoutExt);
  }
  ReportWrite(written, params);
  return 0;
}

int nSS_Change_CBK(int panel, int, int event, void*, int, int) {
  if (event != EVENT_VAL_CHANGED) return 0;
  int count = 0;
  double spacing = 0.0;
  GetCtrlVal(panel, 2, &count);
  GetCtrlVal(panel, 5, &spacing);
  SetCtrlVal(panel, 4, static_cast<double>(count) * spacing);
  return 0;
}

int S_SS_Change_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                    int eventData2) {
  return nSS_Change_CBK(panel, control, event, callbackData, eventData1, eventData2);
}
