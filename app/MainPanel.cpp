#include "MainPanel.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Languaje.h"
#include "calendar.h"
#include "cvirte.h"
#include "texts.h"

int mainPanel = 0;
char gpxFileNameWithoutExt[kStemCapacity] = "";
int firstFocus = 1;

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

void ComposeStem(int panel, char (&stem)[kStemCapacity]) {
  char timeText[kFieldCapacity] = "";
  char dateText[kFieldCapacity] = "";
  int time[3] = {0, 0, 0};  // hours, minutes, seconds
  int date[3] = {0, 0, 0};  // year, month, day
  GetCtrlVal(panel, kTimeField, timeText);
  ParseFields(timeText, ':', time);
  GetCtrlVal(panel, kDateField, dateText);
  ParseFields(dateText, '/', date);
  std::snprintf(stem, sizeof stem, "%s",
                vestrand::timeStem(date[0], date[1], date[2], time[0], time[1], time[2]).c_str());
}

// Whole numbers of one or two digits (four for the year) separated by `separator`, nothing
// else but blanks around them.
bool ReadExactFields(const std::string& text, char separator, const int (&widths)[3],
                     int (&fields)[3]) {
  const char* at = text.c_str();
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

enum class Set { kValue, kLabel, kTabLabel };

// One window element and the line that labels it. page -1 is the main panel; a tab label row
// names the page whose tab it labels.
struct Relabelled {
  int page;
  int control;
  Set how;
  vestrand::Text text;
};

// In the order the texts are written; each page's tab label comes before its controls.
constexpr Relabelled kRelabelled[] = {
    {-1, kHeading, Set::kValue, vestrand::Text::Heading},
    {-1, kDatumGroup, Set::kLabel, vestrand::Text::DatumGroup},
    {kStartPage, 0, Set::kTabLabel, vestrand::Text::StartTab},
    {kSquarePage, 0, Set::kTabLabel, vestrand::Text::SquareTab},
    {kSquarePage, square_page::kText, Set::kValue, vestrand::Text::SquareText},
    {kSquarePage, square_page::kCount, Set::kLabel, vestrand::Text::SquareCount},
    {kSquarePage, square_page::kCourse, Set::kLabel, vestrand::Text::SquareCourse},
    {kSquarePage, square_page::kSpacing, Set::kLabel, vestrand::Text::SquareSpacing},
    {kSquarePage, square_page::kCommand, Set::kLabel, vestrand::Text::WriteCommand},
    {kSectorPage, 0, Set::kTabLabel, vestrand::Text::SectorTab},
    {kSectorPage, sector_page::kText, Set::kValue, vestrand::Text::SectorText},
    {kSectorPage, sector_page::kCourse, Set::kLabel, vestrand::Text::SectorCourse},
    {kSectorPage, sector_page::kLeg, Set::kLabel, vestrand::Text::SectorLeg},
    {kSectorPage, sector_page::kCommand, Set::kLabel, vestrand::Text::WriteCommand},
    {kParallelPage, 0, Set::kTabLabel, vestrand::Text::ParallelTab},
    {kParallelPage, parallel_page::kText, Set::kValue, vestrand::Text::ParallelText},
    {kParallelPage, parallel_page::kPattern, Set::kLabel, vestrand::Text::ParallelPattern},
    {kParallelPage, parallel_page::kLoops, Set::kLabel, vestrand::Text::ParallelLoops},
    {kParallelPage, parallel_page::kCourse, Set::kLabel, vestrand::Text::ParallelCourse},
    {kParallelPage, parallel_page::kSpacing, Set::kLabel, vestrand::Text::ParallelSpacing},
    {kParallelPage, parallel_page::kLeg, Set::kLabel, vestrand::Text::ParallelLeg},
    {kParallelPage, parallel_page::kCommand, Set::kLabel, vestrand::Text::WriteCommand},
};

// An entry of the historical table, or its English text while it is empty: a blank tab or
// button helps no one.
std::string TableText(vestrand::Text text) {
  const int entry = vestrand::lineOf(text) - 1;
  return lrfData[entry][0] != 0 ? std::string(lrfData[entry])
                                : std::string(vestrand::englishText(text));
}

}  // namespace

const char* LanguageFile(int value) {
  static constexpr const char* kFiles[] = {"english.lrf", "french.lrf", "spanish.lrf",
                                           "euskera.lrf", "deutsch.lrf"};
  return value >= 0 && value < 5 ? kFiles[value] : nullptr;
}

int ChageMenuLanguaje(int panel) {
  int pagePanel = 0;
  for (const Relabelled& row : kRelabelled) {
    const std::string text = TableText(row.text);
    const int target = row.page < 0 ? panel : pagePanel;
    switch (row.how) {
      case Set::kValue:
        SetCtrlVal(target, row.control, text.c_str());
        break;
      case Set::kLabel:
        SetCtrlAttribute(target, row.control, ATTR_LABEL_TEXT, text.c_str());
        break;
      case Set::kTabLabel:
        SetTabPageAttribute(panel, kSearchTabs, row.page, ATTR_LABEL_TEXT, text.c_str());
        if (row.page > 0) {
          // Reset first: a failed look-up must not leave the previous page's handle in place.
          pagePanel = 0;
          GetPanelHandleFromTabPage(panel, kSearchTabs, row.page, &pagePanel);
        }
        break;
    }
  }
  return 0;
}

int PageCommand(int page) {
  switch (page) {
    case kSquarePage:
      return square_page::kCommand;
    case kSectorPage:
      return sector_page::kCommand;
    case kParallelPage:
      return parallel_page::kCommand;
    default:
      return 0;
  }
}

bool IsRealDate(const std::string& text) {
  int date[3] = {0, 0, 0};
  if (!ReadExactFields(text, '/', {4, 2, 2}, date)) return false;
  return vestrand::isRealDate(date[0], date[1], date[2]);
}

bool IsRealTime(const std::string& text) {
  int time[3] = {0, 0, 0};
  return ReadExactFields(text, ':', {2, 2, 2}, time) && time[0] <= 23 && time[1] <= 59 &&
         time[2] <= 59;
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

int gpxFileNameWithoutExtension() {
  ComposeStem(mainPanel, gpxFileNameWithoutExt);
  return 0;
}

std::string CurrentStem(int panel) {
  char stem[kStemCapacity] = "";
  ComposeStem(panel, stem);
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

bool ReadSearchPage(int panel, int page, vestrand::PatternParams& params) {
  params = vestrand::PatternParams{};
  params.lat = GetDegLatitude(panel);
  params.lon = GetDegLongitude(panel);
  int fields = 0;
  if (page <= kStartPage || GetPanelHandleFromTabPage(panel, kSearchTabs, page, &fields) != 0) {
    return false;
  }
  switch (page) {
    case kSquarePage:
      params.kind = vestrand::PatternKind::ExpandingSquare;
      GetCtrlVal(fields, square_page::kCourse, &params.course);
      GetCtrlVal(fields, square_page::kSpacing, &params.spacing);
      GetCtrlVal(fields, square_page::kCount, &params.count);
      return true;
    case kSectorPage:
      params.kind = vestrand::PatternKind::Sector;
      GetCtrlVal(fields, sector_page::kCourse, &params.course);
      GetCtrlVal(fields, sector_page::kLeg, &params.leg);
      GetCtrlVal(fields, sector_page::kPasses, &params.passes);
      return true;
    case kParallelPage: {
      int pattern = 0;
      GetCtrlVal(fields, parallel_page::kCourse, &params.course);
      GetCtrlVal(fields, parallel_page::kSpacing, &params.spacing);
      GetCtrlVal(fields, parallel_page::kLeg, &params.leg);
      GetCtrlVal(fields, parallel_page::kLoops, &params.count);
      GetCtrlVal(fields, parallel_page::kPattern, &pattern);
      params.kind =
          pattern == 4 ? vestrand::PatternKind::CreepingLine : vestrand::PatternKind::ParallelSweep;
      return pattern == 1 || pattern == 4;
    }
    default:
      return false;
  }
}
