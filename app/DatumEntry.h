// Datum entry without mistakes: a whole position pasted or typed into one field (any form the
// navigation library reads) fills the degree, minute and second fields; the datum is read back
// under them in the three forms; a command copies it in degrees and minutes; the date and time
// fields are marked while they hold no real date or time; a command stamps them again.
//
// Like the plan view, the entry listens to the widgets beside the run-time's callbacks and
// writes the datum and stamp only through the main panel's functions (MainPanel.h).
#pragma once

#include <QString>
#include <QWidget>

// Texts of the datum entry in lrfExtra: the first of the block, then offsets from it.
inline constexpr int kDatumEntryTexts = 10;  // first of this block in lrfExtra
inline constexpr int kPositionFieldLabel = kDatumEntryTexts + 0;
inline constexpr int kPositionFieldHint = kDatumEntryTexts + 1;
inline constexpr int kCopyPositionLabel = kDatumEntryTexts + 2;
inline constexpr int kStampAgainLabel = kDatumEntryTexts + 3;
inline constexpr int kReadBackLabel = kDatumEntryTexts + 4;
inline constexpr int kPositionRefused = kDatumEntryTexts + 5;  // %1 the reason
inline constexpr int kDatumSet = kDatumEntryTexts + 6;         // %1 the datum, degrees and minutes
inline constexpr int kPositionCopied = kDatumEntryTexts + 7;   // %1 the text copied
inline constexpr int kStamped = kDatumEntryTexts + 8;          // %1 the date, %2 the time
inline constexpr int kNotADate = kDatumEntryTexts + 9;
inline constexpr int kNotATime = kDatumEntryTexts + 10;
inline constexpr int kDatumBeyond = kDatumEntryTexts + 11;
inline constexpr int kDatumEntryTextCount = 12;

// The dynamic property that marks a field whose text was not understood (true) or is (false);
// a marked field also shows a red frame.
inline constexpr char kNotUnderstoodProperty[] = "notUnderstood";

class DatumEntry final : public QObject {
 public:
  explicit DatumEntry(int panel, QObject* parent);

  // Reads the position field: fills the datum, or marks the field and says why on the status
  // line, leaving the datum as it was. @return whether the datum was filled
  bool enterPosition();
  // The datum's three forms under the datum fields, one a line (degrees and minutes first).
  void readBack();
  // Puts the datum in degrees and minutes on the clipboard.
  void copyPosition();
  // Stamps the date and time fields with the clock.
  void stampAgain();
  // Marks the date and time fields that hold no real date or time.
  void markStamp();
  // Relabels the entry's controls from lrfExtra.
  void relabel();

 private:
  int panel_;
};

// Puts a DatumEntry on `panel` (the main panel) when its layout has the position field; the
// entry goes with the panel. @return the entry, or null
DatumEntry* InstallDatumEntry(int panel);
// The entry installed last, null once its panel is discarded.
DatumEntry* InstalledDatumEntry();
