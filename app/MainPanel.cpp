#include "MainPanel.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "WindowTexts.h"
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

void WriteDatum(int panel, int degreesControl, double value) {
  // Counted in hundredths of a second so that the carry of the rounding is exact.
  const long long hundredths = std::llround(std::fabs(value) * 360000.0);
  SetCtrlVal(panel, degreesControl, static_cast<double>(hundredths / 360000));
  SetCtrlVal(panel, degreesControl + 1, static_cast<double>(hundredths / 6000 % 60));
  SetCtrlVal(panel, degreesControl + 2, static_cast<double>(hundredths % 6000) / 100.0);
  SetCtrlVal(panel, degreesControl + 3, value < 0 ? 0 : 1);
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

// Whole numbers of one or two digits (four for the year) separated by `separator`, nothing
// else but blanks around them.
bool ReadExactFields(const char* text, char separator, const int (&widths)[3], int (&fields)[3]) {
  const char* at = text;
  while (*at == ' ') ++at;
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && *at++ != separator) return false;
    int digits = 0;
    int value = 0;
    while (*at >= '0' && *at <= '9' && digits < widths[i]) {
      value = value * 10 + (*at++ - '0');
      ++digits;
    }
    if (digits == 0 || (widths[i] == 4 && digits != 4)) return false;
    fields[i] = value;
  }
  while (*at == ' ') ++at;
  return *at == '\0';
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

bool IsRealDate(const char* text) {
  int date[3] = {0, 0, 0};
  if (!ReadExactFields(text, '/', {4, 2, 2}, date)) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int month = date[1];
  if (month < 1 || month > 12 || date[2] < 1) return false;
  const int days = kDays[month - 1] + (month == 2 && IsLeapYear(date[0]) ? 1 : 0);
  return date[2] <= days;
}

bool IsRealTime(const char* text) {
  int time[3] = {0, 0, 0};
  return ReadExactFields(text, ':', {2, 2, 2}, time) && time[0] <= 23 && time[1] <= 59 &&
         time[2] <= 59;
}

std::string StampProblem() {
  char dateText[kFieldCapacity] = "";
  char timeText[kFieldCapacity] = "";
  GetCtrlVal(mainPanel, kDateField, dateText);
  GetCtrlVal(mainPanel, kTimeField, timeText);
  if (!IsRealDate(dateText)) return WindowText(kDateRefusedText, {dateText});
  if (!IsRealTime(timeText)) return WindowText(kTimeRefusedText, {timeText});
  return {};
}

void StampDateAndTime(int panel) {
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
}

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

void SetDatum(int panel, double lat, double lon) {
  WriteDatum(panel, kLatitudeDegrees, lat);
  WriteDatum(panel, kLongitudeDegrees, lon);
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
      // A layout without the control keeps the one pass.
      GetCtrlVal(pagePanel, kSectorPasses, &params.passes);
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
