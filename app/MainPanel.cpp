#include "MainPanel.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "cvirte.h"
#include "vestrand.gpx.h"

int mainPanel = 0;
char gpxFileNameWithoutExt[kStemCapacity] = "";

namespace {

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

void ShowStatus(const std::string& text) {
  SetCtrlVal(mainPanel, kStatusLine, text.c_str());
}

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
