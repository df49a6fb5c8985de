#include "Vestrand.h"

#include <cmath>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "About.h"
#include "Briefing.h"
#include "PlanAids.h"
#include "SAR.idiomas.h"
#include "WindowTexts.h"
#include "rtz.h"
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
    {"ApplyDrift_CBK", ApplyDrift_CBK, nullptr},
    {"Briefing_CBK", Briefing_CBK, nullptr},
};
const std::size_t vestrandCallbackCount = std::size(vestrandCallbacks);

void ReportWriteFailure(int failure, const std::string& reason) {
  std::error_code unknown;
  const std::filesystem::path folder = std::filesystem::current_path(unknown);
  ShowStatus(WindowText(kNotWrittenText, {reason}));
  const std::string message =
      WindowText(static_cast<WindowTextEntry>(failure)) + "\n\n" + reason +
      (unknown ? std::string() : "\n\n" + WindowText(kFolderText, {folder.string()}));
  MessagePopup(WindowText(kNotWrittenTitleText).c_str(), message.c_str());
}

namespace {

// A datum past a pole or the antimeridian (degrees at their limit with minutes or seconds
// beyond it, or a hemisphere switch that holds neither value) names no place on the chart.
bool DatumRefused(const vestrand::PatternParams& params, int failure) {
  const bool latitude = !(std::fabs(params.lat) <= 90.0);
  if (!latitude && std::fabs(params.lon) <= 180.0) return false;
  ReportWriteFailure(
      failure,
      WindowText(kDatumBeyondText, {WindowText(latitude ? kLatitudeLabelText : kLongitudeLabelText),
                                    vestrand::fixedText(latitude ? params.lat : params.lon, 6),
                                    latitude ? "90" : "180"}));
  return true;
}

// The command of a search page: its pattern, through the one writing path, into the current
// folder; the status line names the files written.
void WritePage(int page, int pagePanel) {
  vestrand::PatternParams params;
  if (!ReadPageToWrite(page, pagePanel, kPatternFailureText, params)) return;
  std::vector<std::string> written;
  std::string error;
  if (!vestrand::writePatternFiles(params, gpxFileNameWithoutExt, "", ChosenPatternFiles(mainPanel),
                                   written, error)) {
    ReportWriteFailure(kPatternFailureText, error);
    return;
  }
  std::string names;
  std::string warnings;
  for (const std::string& path : written) {
    names += (names.empty() ? "" : ", ") + path;
    std::error_code unknown;
    if (path.ends_with(".rtz") &&
        std::filesystem::file_size(path, unknown) > vestrand::kRtzSizeWarning && !unknown) {
      warnings += "; " + WindowText(kLargeRtzText, {path});
    }
  }
  ShowStatus(WindowText(kWrittenText, {names}) + warnings);
}

}  // namespace

vestrand::PatternFiles ChosenPatternFiles(int panel) {
  static constexpr int kSplits[] = {0, 250, 500, 1000};
  int format = 0;
  int split = 0;
  GetCtrlVal(panel, kFormatChoice, &format);
  GetCtrlVal(panel, kMaxPointsChoice, &split);
  vestrand::PatternFiles files;
  files.gpx = format != 1;
  files.rtz = format == 1 || format == 2;
  files.maxPoints = split >= 0 && split < static_cast<int>(std::size(kSplits)) ? kSplits[split] : 0;
  return files;
}

bool ReadPageToWrite(int page, int pagePanel, int failure, vestrand::PatternParams& params) {
  const bool described = ReadSearchPage(page, pagePanel, params);
  gpxFileNameWithoutExtension();
  if (!described || DatumRefused(params, failure)) return false;
  for (const std::string& problem : {PatternExtentProblem(params), StampProblem()}) {
    if (problem.empty()) continue;
    ReportWriteFailure(failure, problem);
    return false;
  }
  return true;
}

int SAR_CBK(int panel, int event, void*, int, int) {
  switch (event) {
    case EVENT_GOT_FOCUS:
      if (firstFocus != 0) {
        StampDateAndTime(panel);
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
    ShowStatus(WindowText(kFolderUnknownText, {error.message()}));
    return 0;
  }
  if (InetLaunchDefaultWebBrowser(folder.c_str()) != 0) {
    ShowStatus(WindowText(kFolderNotOpenedText, {folder.string()}));
  }
  return 0;
}

int ESSP_CBK(int panel, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) WritePage(1, panel);
  return 0;
}

int SectorSearch_CBK(int panel, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) WritePage(2, panel);
  return 0;
}

int ParallelSearch_CBK(int panel, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) WritePage(3, panel);
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
