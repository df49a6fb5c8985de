#include "Vestrand.h"

#include <iterator>

#include "About.h"
#include "Languaje.h"
#include "MainPanel.h"
#include "Window.h"

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

namespace {

// Runs a window command on commit.
template <typename Command>
int OnCommit(int panel, int event, Command command) {
  if (event != EVENT_COMMIT) return 0;
  if (Window* window = Window::of(panel)) command(*window);
  return 0;
}

int ChooseLanguage(int value, int panel, int event) {
  return OnCommit(panel, event, [value](Window& w) { w.chooseLanguage(LanguageFile(value)); });
}

}  // namespace

int SAR_CBK(int panel, int event, void*, int, int) {
  switch (event) {
    case EVENT_GOT_FOCUS:
      if (firstFocus != 0) {
        StampDateAndTime(panel);
        firstFocus = 0;
      }
      break;
    case EVENT_CLOSE:
      if (Window* window = Window::of(panel)) {
        window->quit();
      } else {
        QuitUserInterface(0);
      }
      break;
    default:
      break;
  }
  return 0;
}

int OpenGPX_CBK(int panel, int, int event, void*, int, int) {
  return OnCommit(panel, event, [](Window& w) { w.openOutputFolder(); });
}

int ESSP_CBK(int panel, int, int event, void*, int, int) {
  return OnCommit(panel, event, [](Window& w) { w.writePage(kSquarePage); });
}

int SectorSearch_CBK(int panel, int, int event, void*, int, int) {
  return OnCommit(panel, event, [](Window& w) { w.writePage(kSectorPage); });
}

int ParallelSearch_CBK(int panel, int, int event, void*, int, int) {
  return OnCommit(panel, event, [](Window& w) { w.writePage(kParallelPage); });
}

int nSS_Change_CBK(int panel, int, int event, void*, int, int) {
  if (event != EVENT_VAL_CHANGED) return 0;
  int count = 0;
  double spacing = 0.0;
  GetCtrlVal(panel, square_page::kCount, &count);
  GetCtrlVal(panel, square_page::kSpacing, &spacing);
  SetCtrlVal(panel, square_page::kExtent, static_cast<double>(count) * spacing);
  return 0;
}

int S_SS_Change_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                    int eventData2) {
  return nSS_Change_CBK(panel, control, event, callbackData, eventData1, eventData2);
}

int ApplyDrift_CBK(int panel, int, int event, void*, int, int) {
  return OnCommit(panel, event, [](Window& w) { w.applyDrift(); });
}

int Briefing_CBK(int panel, int, int event, void*, int, int) {
  return OnCommit(panel, event, [](Window& w) { w.saveBriefing(); });
}

int LANGUAJE_RING_CBK(int panel, int control, int event, void* callbackData, int eventData1,
                      int eventData2) {
  if (event != EVENT_COMMIT) return 0;
  static constexpr CtrlCallbackPtr kByValue[] = {EnglishCBK, FrenchCBK, SpanishCBK, EuskeraCBK,
                                                 DeutschCBK};
  int value = -1;  // stays out of range if the selector cannot be read
  GetCtrlVal(panel, kLanguageSelector, &value);
  if (value < 0 || value >= static_cast<int>(std::size(kByValue))) return 0;
  return kByValue[value](panel, control, event, callbackData, eventData1, eventData2);
}

int EnglishCBK(int panel, int, int event, void*, int, int) {
  return ChooseLanguage(0, panel, event);
}

int FrenchCBK(int panel, int, int event, void*, int, int) {
  return ChooseLanguage(1, panel, event);
}

int SpanishCBK(int panel, int, int event, void*, int, int) {
  return ChooseLanguage(2, panel, event);
}

int EuskeraCBK(int panel, int, int event, void*, int, int) {
  return ChooseLanguage(3, panel, event);
}

int DeutschCBK(int panel, int, int event, void*, int, int) {
  return ChooseLanguage(4, panel, event);
}
