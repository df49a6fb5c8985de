#include "SAR.idiomas.h"

#include <iterator>

#include "Languaje.h"
#include "MainPanel.h"
#include "cvirte.h"

namespace {

int ChooseLanguage(const char* fileName, int panel, int event) {
  if (event != EVENT_COMMIT) return 0;
  ReadLanguajeResourceFile(fileName);
  // Relabel even when the file did not open: the window then shows what the table holds.
  ChageMenuLanguaje(panel);
  if (LanguageChoiceListener listener = GetLanguageChoiceListener()) listener(fileName, panel);
  return 0;
}

}  // namespace

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

int EnglishCBK(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
               int /*eventData2*/) {
  return ChooseLanguage("english.lrf", panel, event);
}

int FrenchCBK(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
  return ChooseLanguage("french.lrf", panel, event);
}

int SpanishCBK(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
               int /*eventData2*/) {
  return ChooseLanguage("spanish.lrf", panel, event);
}

int EuskeraCBK(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
               int /*eventData2*/) {
  return ChooseLanguage("euskera.lrf", panel, event);
}

int DeutschCBK(int panel, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
               int /*eventData2*/) {
  return ChooseLanguage("deutsch.lrf", panel, event);
}
