// Datum entry without mistakes: a whole position pasted or typed into one field (any form the
// navigation library reads) fills the degree, minute and second fields; the datum is read back
// under them in the three forms; a command copies it in degrees and minutes; the date and time
// fields are marked while they hold no real date or time; a command stamps them again.
//
// The entry listens to the widgets beside the run-time's callbacks and writes the datum and stamp
// only through the main panel's functions (MainPanel.h). Its owner (Window.h) keeps the texts and
// the status line it reports to.
#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "texts.h"

class QWidget;

// The dynamic property that marks a field whose text was not understood (true) or is (false);
// a marked field also shows a red frame.
inline constexpr char kNotUnderstoodProperty[] = "notUnderstood";

class DatumEntry final : public QObject {
 public:
  using Status = std::function<void(const std::string&)>;

  // @param[in] panel the main panel, whose layout has the position field
  // @param[in] texts the window's texts; must outlive the entry
  // @param[in] status shows a text on the window's status line
  DatumEntry(int panel, const vestrand::LanguageTexts& texts, Status status, QObject* parent);

  // Reads the position field: fills the datum, or marks the field and says why on the status
  // line, leaving the datum as it was. @return whether the datum was filled
  bool enterPosition();
  // Writes the datum into the position field in degrees and minutes, as after a drift.
  void showDatumInField();
  // The datum's three forms under the datum fields, one a line (degrees and minutes first).
  void readBack();
  // Puts the datum in degrees and minutes on the clipboard.
  void copyPosition();
  // Puts the clipboard's text into the position field and reads it.
  bool pastePosition();
  // Stamps the date and time fields with the clock.
  void stampAgain();
  // Marks the date and time fields that hold no real date or time.
  void markStamp();
  // Relabels the entry's texts that change with the fields (hints, read-back).
  void relabel();

 private:
  int panel_;
  const vestrand::LanguageTexts& texts_;
  Status status_;
};
