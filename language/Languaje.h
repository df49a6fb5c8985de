// The window's texts in one of five languages: the table of twenty texts read from a language
// resource file (".lrf", one text per line, UTF-8) and the relabelling of the main window from it.
//
// Line i+1 of a file becomes entry i of the table. Entries 0..19 label, in this order: the main
// heading (control 18, value), the datum group (control 10, label), tab pages 0 and 1, the five
// texts of the expanding square page, tab page 2, the three texts of the sector page, tab page 3
// and the six texts of the parallel page. Entry 8 labels the command button of all three search
// pages.
#pragma once

// Number of entries in the table, one per line of a language file.
inline constexpr int nLanguajeResources = 20;
// Line length limit handed to the line reader; an entry keeps at most nb - 1 = 59 bytes.
inline constexpr int nb = 60;

// The texts of the language last read. Every entry is a terminated text of at most nb - 1 bytes
// and valid UTF-8. All entries are empty until the first file is read.
extern char lrfData[nLanguajeResources][nb];

// The English texts of lines 1 to 20, which are also the first twenty lines of "english.lrf" and
// the texts of the window's layout; they stand in for the lines a language file lacks.
extern const char* const kEnglishTexts[nLanguajeResources];

// Entry `entry` of lrfData as the window shows it: its English text while it is empty, before
// any file has been read, since a blank tab or button helps no one.
const char* LanguageText(int entry);

// Reads the first twenty lines of a language file into lrfData, all twenty entries at once.
//
// @param[in] fileName terminated text; a bare name is looked up by the run-time (current directory
//   first, then the copies built into the program)
// @return -1 if the file cannot be opened, the table then keeps what it held; else 0.
//
// A line keeps at most its first 59 bytes, never ending inside a multi-byte character (a
// character that would straddle the limit is dropped whole). A carriage return before the line
// feed is not part of the text. Lines after the twentieth are not read. Bytes that are not
// well-formed UTF-8 become U+FFFD, one for each maximal ill-formed subsequence, as long as the
// replacement fits in the 59 bytes; a sequence left incomplete by the end of the line is dropped.
// A line that is missing (a short file, a read error) or gives the empty text after all this
// gets the English text of its line from kEnglishTexts, so that no tab, button or title goes
// blank; LanguageFileMissingLines() counts those lines.
int ReadLanguajeResourceFile(const char* fileName);

// How complete the file of the last ReadLanguajeResourceFile was, for the window to tell the
// operator: the number of lines 1 to 20 that were missing or empty and now show English (0 for a
// complete file, 20 for an empty one), or -1 if that file did not open. 0 before any read.
int LanguageFileMissingLines();

// Writes the twenty-two language texts of the window from lrfData: two texts of the main panel,
// the four tab labels of tab control 16 and the texts of the three search pages. An entry that is
// empty (no file read yet) shows its English text.
//
// @param[in] panel handle of the main panel
// @return 0; results of the run-time operations are ignored.
int ChageMenuLanguaje(int panel);

// Texts of the window beyond the twenty: the plan preview and its summary. A language file
// carries them on the lines after the twentieth, which the reader above leaves alone, so a file
// stays valid for both readers. Entry i is line 21 + i:
//   0 preview title, 1 search speed label, 2 legs, 3 track length, 4 time at search speed,
//   5 the box of the summary, 6 unit 1, 7 unit 2, 8 hint of the start page, 9 no pattern to show;
//   10 to 21 the datum entry (app/DatumEntry.h),
//   22 to 65 the search aids of the window and its briefing (app/PlanAids.h),
//   66 to 132 the rest of the window: labels, hints, messages and summary (app/WindowTexts.h).
inline constexpr int nLanguageExtras = 133;
// Line length limit of the extra texts, which hold whole sentences (the start page's is the
// longest): an extra entry keeps at most nbExtra - 1 = 399 bytes.
inline constexpr int nbExtra = 400;

// The extra texts of the language last read; English until a file has been read. Every entry is
// a terminated text of at most nbExtra - 1 bytes and valid UTF-8.
extern char lrfExtra[nLanguageExtras][nbExtra];

// The English extra texts, which are also lines 21 onward of "english.lrf".
extern const char* const kEnglishExtras[nLanguageExtras];

// Reads lines 21 to 20 + nLanguageExtras of a language file into lrfExtra, each line as
// ReadLanguajeResourceFile keeps a line but with nbExtra - 1 bytes for its limit.
//
// @param[in] fileName terminated text, looked up as by ReadLanguajeResourceFile
// @return -1 if the file cannot be opened, the table then keeps what it held; else 0. A line the
//   file lacks (a file of only twenty lines) or that is empty gives the English text, not an
//   empty label.
int ReadLanguageExtras(const char* fileName);

// As LanguageFileMissingLines, for the lines 21 to 20 + nLanguageExtras of the last
// ReadLanguageExtras: a file of only twenty lines lacks all nLanguageExtras of them.
int LanguageExtrasMissingLines();

// Puts the English extra texts back into lrfExtra, as a run starts.
void ResetLanguageExtras();

// Called by the five language callbacks after the relabelling, with the file chosen (whether or
// not it opened) and the panel relabelled, so that the program carries its own texts into the
// language. Null, as at start, calls nothing.
using LanguageChoiceListener = void (*)(const char* fileName, int panel);
void SetLanguageChoiceListener(LanguageChoiceListener listener);
LanguageChoiceListener GetLanguageChoiceListener();
