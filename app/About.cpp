#include "About.h"

#include "cvirte.h"

namespace {

// The links answer the mouse press itself, not the commit that follows it.
int OpenOnLeftClick(int event, const char* address) {
  if (event == EVENT_LEFT_CLICK) InetLaunchDefaultWebBrowser(address);
  return 0;
}

}  // namespace

int LinkTarvolin_CBK(int, int, int event, void*, int, int) {
  return OpenOnLeftClick(event, kTarvolinHomePage);
}

int WIKIPEDIA_TARVOLIN_ENGLISH_CBK(int, int, int event, void*, int, int) {
  return OpenOnLeftClick(event, kTarvolinWikipediaEnglish);
}

int WIKIPEDIA_TARVOLIN_SPANISH_CBK(int, int, int event, void*, int, int) {
  return OpenOnLeftClick(event, kTarvolinWikipediaSpanish);
}
