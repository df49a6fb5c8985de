#include "Vestrand.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "About.h"
#include "PlanView.h"
#include "SAR.idiomas.h"
#include "gpx.h"
#include "vestrand.gpx.h"

int mainPanel = 0;
int firstFocus = 1;
char gpxFileNameWithoutExt[kStemCapacity] = "";

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

// Each field's text is read into 52 bytes (51 characters and the terminator).
constexpr std::size_t kFieldCapacity = 52;

// Reads up to three integers separated by `separator`, as "%d<sep>%d<sep>%d" would, stopping at
// the first mismatch. Unlike sscanf, a number out of the int range saturates instead of being
// undefined, which keeps every stem component within eleven characters.
void ParseFields(const char* text, char separator, int (&fields)[3]) {
  const char* at = text;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (*at != separator) return;
      ++at;
    }
    char* end = nullptr;
    long value = std::strtol(at, &end, 10);
    if (end == at) return;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    fields[i] = static_cast<int>(value);
    at = end;
  }
}

double ReadDatum(int panel, int degreesControl) {
  double degrees = 0.0;
  double minutes = 0.0;
  double seconds = 0.0;
  int hemisphere = -1;
  GetCtrlVal(panel, degreesControl, &degrees);
  GetCtrlVal(panel, degreesControl + 1, &minutes);
  GetCtrlVal(panel, degreesControl + 2, &seconds);
  GetCtrlVal(panel, degreesControl + 3, &hemisphere);
  const double sum = degrees + minutes / 60.0 + seconds / 3600.0;
  if (hemisphere == 1) return sum;
  if (hemisphere == 0) return -sum;
  return -888.8;
}

void ShowStatus(const std::string& text) {
  SetCtrlVal(mainPanel, kStatusLine, text.c_str());
}

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

namespace {

void ComposeStem(char (&stem)[kStemCapacity]) {
  char timeText[kFieldCapacity] = "";
  char dateText[kFieldCapacity] = "";
  int time[3] = {0, 0, 0};  // hours, minutes, seconds
  int date[3] = {0, 0, 0};  // year, month, day
  GetCtrlVal(mainPanel, kTimeField, timeText);
  ParseFields(timeText, ':', time);
  GetCtrlVal(mainPanel, kDateField, dateText);
  ParseFields(dateText, '/', date);
  std::snprintf(stem, sizeof stem, "%.4d%.2d%.2d%.2d%.2d%.2d", date[0], date[1], date[2], time[0],
                time[1], time[2]);
}

}  // namespace

int gpxFileNameWithoutExtension() {
  ComposeStem(gpxFileNameWithoutExt);
  return 0;
}

std::string CurrentStem() {
  char stem[kStemCapacity] = "";
  ComposeStem(stem);
  return stem;
}

double GetDegLatitude(int panel) {
  return ReadDatum(panel, kLatitudeDegrees);
}

double GetDegLongitude(int panel) {
  return ReadDatum(panel, kLongitudeDegrees);
}

bool ReadSearchPage(int pageIndex, int pagePanel, vestrand::PatternParams& params) {
  params = vestrand::PatternParams{};
  params.lat = GetDegLatitude(mainPanel);
  params.lon = GetDegLongitude(mainPanel);
  switch (pageIndex) {
    case 1:
      params.kind = vestrand::PatternKind::ExpandingSquare;
      GetCtrlVal(pagePanel, 3, &params.course);
      GetCtrlVal(pagePanel, 5, &params.spacing);
      GetCtrlVal(pagePanel, 2, &params.count);
      return true;
    case 2:
      params.kind = vestrand::PatternKind::Sector;
      GetCtrlVal(pagePanel, 2, &params.course);
      GetCtrlVal(pagePanel, 3, &params.leg);
      return true;
    case 3: {
      int selector = 0;
      GetCtrlVal(pagePanel, 4, &params.course);
      GetCtrlVal(pagePanel, 5, &params.spacing);
      GetCtrlVal(pagePanel, 6, &params.leg);
      GetCtrlVal(pagePanel, 3, &params.count);
      GetCtrlVal(pagePanel, 2, &selector);
      switch (selector) {
        case 1:
        case 2:
        case 3:
          params.kind = vestrand::PatternKind::ParallelSweep;
          return true;
        case 4:
          params.kind = vestrand::PatternKind::CreepingLine;
          return true;
        default:
          return false;
      }
    }
    default:
      return false;
  }
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

#ifndef VESTRAND_WITHOUT_MAIN
int main(int, char* argv[]) {
  SetCallbackTable(vestrandCallbacks, vestrandCallbackCount);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0) {
    std::fprintf(stderr, "vestrand: the window system could not be started: %s\n",
                 LastInitCVIRTEError());
    return -1;
  }
  mainPanel = LoadPanel(0, "Vestrand.uir", 1);
  if (mainPanel < 0) {
    std::fprintf(stderr, "vestrand: the window cannot be loaded: %s\n", LastLoadPanelError());
    return -1;
  }
  InstallPlanView(mainPanel);
  DisplayPanel(mainPanel);
  RunUserInterface();
  DiscardPanel(mainPanel);
  return 0;
}
#endif
