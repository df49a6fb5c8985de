// The historical language table: the first twenty lines of a language file in a fixed table of
// texts, which the historical relabelling of the window reads (ChageMenuLanguaje, app/MainPanel.h).
// Everything newer reads a language file whole into LanguageTexts (texts.h).
#pragma once

// Number of entries in the table, one per line of a language file: lines 1 to 20.
inline constexpr int nLanguajeResources = 20;
// Line length limit handed to the line reader; an entry keeps at most nb - 1 = 59 bytes.
inline constexpr int nb = 60;

// The texts of the language last read. Every entry is a terminated text of at most nb - 1 bytes
// and valid UTF-8. All entries are empty until the first file is read.
extern char lrfData[nLanguajeResources][nb];

// Reads the first twenty lines of a language file into lrfData, all twenty entries at once, each
// as LanguageTexts::read keeps a line (a line missing or left empty gets its English text).
//
// @param[in] fileName terminated text; a bare name is looked up by the run-time (current directory
//   first, then the copies built into the program)
// @return -1 if the file cannot be opened, the table then keeps what it held; else 0.
int ReadLanguajeResourceFile(const char* fileName);
