#include "Languaje.h"

#include <cstddef>
#include <cstring>

#include "MainPanel.h"
#include "cvirte.h"

char lrfData[nLanguajeResources][nb];

const char* const kEnglishTexts[nLanguajeResources] = {
    "Plan a search: set the datum, pick a pattern, write GPX",
    "Datum (last known position)",
    "Start",
    "Expanding square",
    "One unit spirals out from the datum, turning to starboard",
    "Leg pairs",
    "Course (\u00B0T)",
    "Track spacing (NM)",
    "Write GPX route",
    "Sector",
    "One unit sails seven legs through the datum, turning 120\u00B0",
    "Course (\u00B0T)",
    "Leg length (NM)",
    "Parallel sweep",
    "Two units sweep side by side, or one unit creeps",
    "Pattern",
    "Loops",
    "Course (\u00B0T)",
    "Track spacing (NM)",
    "Leg length (NM)",
};

const char* const kEnglishExtras[nLanguageExtras] = {
    "Plan preview",
    "Search speed (kn)",
    "Legs",
    "Track length",
    "Time at search speed",
    "Box",
    "Unit 1",
    "Unit 2",
    "Choose a search page to see its pattern",
    "No pattern to show for these values",
    "Position (paste, then Enter)",
    "e.g. 43 30.5N 3 45.2W or 43.5083 -3.7533",
    "Copy as degrees and minutes",
    "Stamp with the clock",
    "Read back",
    "Position not understood: %1",
    "Datum set to %1",
    "Copied to the clipboard: %1",
    "Date and time stamped: %1 %2",
    "Not a date: YYYY/MM/DD, a real month and day",
    "Not a time: HH:MM:SS, hours 0-23",
    "Beyond a pole or the antimeridian: not a position",
    // Search aids: drift, sweep width, passes and the briefing (from entry 22).
    "Drift from the last known position",
    "Last known position",
    "Hours since the incident",
    "Current set (\u00B0T)",
    "Current drift (kn)",
    "Leeway toward (\u00B0T)",
    "Leeway speed (kn)",
    "Apply drift to the datum",
    "Sweep width (NM)",
    "Passes",
    "Save briefing (PDF)",
    "Coverage",
    "POD, inverse cube law",
    "POD, exponential law",
    "%1 (sweep width %2 NM, track spacing %3 NM)",
    "Datum drifted %1 NM toward %2\u00B0T at %3 kn",
    "Drift not applied: %1",
    "%1 holds '%2', not a number",
    "%1 must be from %2 to %3",
    "%1 needs %2 as well",
    "the drift would pass a pole",
    "Search briefing %1",
    "Date and time of the plan: %1",
    "Datum",
    "Drift",
    "%1\u00B0T at %2 kn",
    "Current",
    "Leeway",
    "Total drift",
    "%1\u00B0T at %2 kn, %3 NM in %4 h",
    "Search pattern",
    "Summary",
    "Leg table",
    "Leg",
    "From",
    "To",
    "Course (\u00B0T)",
    "Distance (NM)",
    "Total (NM)",
    "Time",
    "Page %1",
    "Briefing written: %1",
    "%1 is not a position: %2",
    "%1 is empty",
    // The rest of the window: labels, hints, messages and summary words (from entry 66).
    "Vestrand \u2013 search and rescue patterns",
    "Language",
    "Latitude",
    "Longitude",
    "Date (YYYY/MM/DD)",
    "Date of the file names: year/month/day",
    "Time (HH:MM:SS)",
    "Time of the file names: hours:minutes:seconds",
    "Enter the datum, the date and the time above, choose a search pattern on one of the next "
    "pages and press its command. The pattern is written as a GPX route file into the output "
    "folder, named from the date and time fields, ready for a chart plotter.",
    "Tarvolin home page",
    "Tarvolin on Wikipedia (English)",
    "Tarvolin on Wikipedia (Spanish)",
    "Extent (NM)",
    "Leg pairs times track spacing",
    "2 searches the sector again, turned 30\u00B0 to the right",
    "Parallel sweep, two units",
    "Creeping line, one unit",
    "Speed of the search units over the ground, knots",
    "Sweep width of the search units, nautical miles; 0 for none",
    "Files are written to the output folder.",
    "Save the plan of the search page shown as a PDF in the output folder",
    "Open output folder",
    "Show the folder the files are written to",
    "Where the object was last known, e.g. 43 30.0 N 3 45.0 W",
    "Hours from the last known position to the start of the search, 0 to 240",
    "Direction toward which the current flows, degrees true; empty for no current",
    "Speed of the current, knots, 0 to 20",
    "Direction toward which the wind pushes the object, degrees true; empty for no leeway",
    "Speed of the leeway, knots, 0 to 20",
    "Write the drifted datum into the datum fields",
    "Files",
    "GPX and RTZ",
    "GPX for chart plotters, RTZ for a ship's ECDIS, or both",
    "Points per route",
    "No limit",
    "Split every route into parts of at most this many points, for small plotters",
    "Written: %1",
    "Not written: %1",
    "Not written",
    "The search pattern's files were not written.",
    "The briefing was not written.",
    "Folder: %1",
    "The output folder is unknown: %1",
    "The output folder could not be opened: %1",
    "%1: the datum's fields give %2 degrees, beyond %3",
    "The date field holds '%1', not a date YYYY/MM/DD",
    "The time field holds '%1', not a time HH:MM:SS",
    "The pattern would reach latitudes %1 to %2, beyond a pole",
    "The pattern would reach longitudes %1 to %2, more than once round the globe",
    "%1 lacks %2 lines; they show in English",
    "%1 could not be read; the texts stay as they were",
    "%1 is larger than 400 KB; some ECDIS units refuse it",
    "%1 has %2 points, more than the %3 many plotters keep: choose %3 points per route",
    "The file name would be longer than 99 characters",
    "Creeping line",
    "1 unit",
    "%1 units",
    "1 unit, %1 passes",
    "Pass %1",
    "Unit %1",
    "%1 NM along the course x %2 NM across, %3 NM\u00B2",
    "%1: %2 legs, %3 NM, %4",
    "Warning",
    "%1 NM",
    "Area covered",
    "%1 NM\u00B2",
    "A leg would span %1\u00B0 of longitude, more than half round the globe, too near a pole",
};

char lrfExtra[nLanguageExtras][nbExtra];

namespace {

void CopyEnglishExtras();

// A run starts with the English texts; the one list above also fills in for lines a file lacks.
[[maybe_unused]] const bool startsInEnglish = [] {
  CopyEnglishExtras();
  return true;
}();

LanguageChoiceListener languageChoiceListener = nullptr;

int textsMissing = 0;
int extrasMissing = 0;

enum class Set { kValue, kLabel, kTabLabel };

// One window element and the entry that labels it. page -1 is the main panel; a tab label row
// names the page whose tab it labels.
struct Row {
  int page;
  int control;
  Set how;
  int entry;
};

// In the order the texts are written; each page's tab label comes before its controls.
constexpr Row kRows[] = {
    {-1, kHeading, Set::kValue, 0},
    {-1, kDatumGroup, Set::kLabel, 1},
    {0, 0, Set::kTabLabel, 2},
    // Expanding square.
    {1, 0, Set::kTabLabel, 3},
    {1, 8, Set::kValue, 4},
    {1, 2, Set::kLabel, 5},
    {1, 3, Set::kLabel, 6},
    {1, 5, Set::kLabel, 7},
    {1, 6, Set::kLabel, 8},
    // Sector.
    {2, 0, Set::kTabLabel, 9},
    {2, 6, Set::kValue, 10},
    {2, 2, Set::kLabel, 11},
    {2, 3, Set::kLabel, 12},
    {2, 4, Set::kLabel, 8},
    // Parallel sweep and creeping line.
    {3, 0, Set::kTabLabel, 13},
    {3, 9, Set::kValue, 14},
    {3, 2, Set::kLabel, 15},
    {3, 3, Set::kLabel, 16},
    {3, 4, Set::kLabel, 17},
    {3, 5, Set::kLabel, 18},
    {3, 6, Set::kLabel, 19},
    {3, 7, Set::kLabel, 8},
};

// Bytes allowed after a lead byte, per Unicode's table of well-formed sequences: the second byte
// has its own range (which rules out overlong forms, surrogates and values past U+10FFFF), the
// others are 80..BF. length 0 marks a byte that cannot start a sequence.
struct Lead {
  int length;
  unsigned char low;
  unsigned char high;
};

Lead LeadOf(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Rewrites a terminated text of at most `limit` bytes as valid UTF-8 of at most `limit` bytes.
// Well-formed characters pass unchanged. A sequence cut short by the end of the text is dropped:
// it is a character the line limit split, or a broken line end, and has nothing left to show.
// Any other maximal ill-formed subsequence becomes U+FFFD while that still fits; the labels then
// show that something was wrong rather than silently losing letters.
void KeepValidUtf8(char* text, std::size_t limit) {
  static constexpr char kReplacement[] = "\xEF\xBF\xBD";
  const auto* in = reinterpret_cast<const unsigned char*>(text);
  char out[nbExtra] = {};
  std::size_t used = 0;
  std::size_t p = 0;
  while (in[p] != 0) {
    const Lead lead = LeadOf(in[p]);
    // Bytes of the piece at p: a whole character, or the maximal ill-formed subsequence.
    std::size_t length = 1;
    bool whole = lead.length > 0;
    bool cut = false;
    while (whole && length < static_cast<std::size_t>(lead.length)) {
      const unsigned char c = in[p + length];
      const unsigned char low = length == 1 ? lead.low : 0x80;
      const unsigned char high = length == 1 ? lead.high : 0xBF;
      if (c == 0) {
        cut = true;
        break;
      }
      if (c < low || c > high) {
        whole = false;  // the offending byte starts the next piece
        break;
      }
      ++length;
    }
    if (cut) break;
    const char* piece = whole ? text + p : kReplacement;
    const std::size_t pieceLength = whole ? length : sizeof kReplacement - 1;
    if (used + pieceLength > limit) break;
    std::memcpy(out + used, piece, pieceLength);
    used += pieceLength;
    p += length;
  }
  out[used] = 0;
  std::memcpy(text, out, used + 1);
}

// Reads the next line into `entry` as a table entry: at most N - 1 bytes of valid UTF-8. A line
// the file lacks, or one that leaves nothing to show, gives `english` instead: a blank tab or
// button is worse than a text in another language. Returns whether the line fell back.
template <std::size_t N>
bool ReadEntry(int file, bool& ended, char (&entry)[N], const char* english) {
  static_assert(N <= nbExtra);
  constexpr int kKept = static_cast<int>(N) - 1;
  // Emptied first: nothing a failed read leaves behind is shown.
  char line[nbExtra + 4] = {};
  ended = ended || ReadLine(file, line, kKept) < 0;
  CopyString(entry, 0, ended ? "" : line, 0, kKept);
  KeepValidUtf8(entry, kKept);
  if (entry[0] != 0) return false;
  CopyString(entry, 0, english, 0, kKept);
  return true;
}

void CopyEnglishExtras() {
  for (int i = 0; i < nLanguageExtras; ++i) {
    std::strncpy(lrfExtra[i], kEnglishExtras[i], nbExtra - 1);
    lrfExtra[i][nbExtra - 1] = '\0';
  }
}

}  // namespace

int ReadLanguajeResourceFile(const char* fileName) {
  const int file = CVI_OpenFile(fileName, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  if (file == -1) {
    textsMissing = -1;
    return -1;
  }
  bool ended = false;
  textsMissing = 0;
  for (int i = 0; i < nLanguajeResources; ++i) {
    textsMissing += ReadEntry(file, ended, lrfData[i], kEnglishTexts[i]);
  }
  CVI_CloseFile(file);
  return 0;
}

const char* LanguageText(int entry) {
  return lrfData[entry][0] != 0 ? lrfData[entry] : kEnglishTexts[entry];
}

int LanguageFileMissingLines() {
  return textsMissing;
}

int ReadLanguageExtras(const char* fileName) {
  const int file = CVI_OpenFile(fileName, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
  if (file == -1) {
    extrasMissing = -1;
    return -1;
  }
  char line[nb + 4] = {};
  bool ended = false;
  for (int i = 0; i < nLanguajeResources && !ended; ++i) ended = ReadLine(file, line, nb - 1) < 0;
  extrasMissing = 0;
  for (int i = 0; i < nLanguageExtras; ++i) {
    extrasMissing += ReadEntry(file, ended, lrfExtra[i], kEnglishExtras[i]);
  }
  CVI_CloseFile(file);
  return 0;
}

int LanguageExtrasMissingLines() {
  return extrasMissing;
}

void ResetLanguageExtras() {
  CopyEnglishExtras();
  extrasMissing = 0;
}

void SetLanguageChoiceListener(LanguageChoiceListener listener) {
  languageChoiceListener = listener;
}

LanguageChoiceListener GetLanguageChoiceListener() {
  return languageChoiceListener;
}

int ChageMenuLanguaje(int panel) {
  int pagePanel = 0;
  for (const Row& row : kRows) {
    const char* text = LanguageText(row.entry);
    const int target = row.page < 0 ? panel : pagePanel;
    switch (row.how) {
      case Set::kValue:
        SetCtrlVal(target, row.control, text);
        break;
      case Set::kLabel:
        SetCtrlAttribute(target, row.control, ATTR_LABEL_TEXT, text);
        break;
      case Set::kTabLabel:
        SetTabPageAttribute(panel, kSearchTabs, row.page, ATTR_LABEL_TEXT, text);
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
