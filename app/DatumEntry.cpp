#include "DatumEntry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <cmath>
#include <string>

#include "Languaje.h"
#include "MainPanel.h"
#include "WindowTexts.h"
#include "cvirte.h"
#include "cvirte_widgets.h"
#include "position_text.h"

namespace {

using vestrand::Axis;
using vestrand::CoordinateForm;

QPointer<DatumEntry> installed;

QString Word(int entry) {
  return QString::fromUtf8(lrfExtra[entry]);
}

std::string FormText(double lat, double lon, CoordinateForm form) {
  return vestrand::coordinateText(lat, Axis::Latitude, form) + "  " +
         vestrand::coordinateText(lon, Axis::Longitude, form);
}

std::string DatumText(int panel) {
  return FormText(GetDegLatitude(panel), GetDegLongitude(panel), CoordinateForm::DegreesMinutes);
}

// The frame is drawn by a style sheet that only a marked field carries, so an unmarked field
// keeps the look of its platform.
void Mark(QWidget* field, bool notUnderstood) {
  if (field == nullptr) return;
  field->setProperty(kNotUnderstoodProperty, notUnderstood);
  const QString sheet = notUnderstood ? "QLineEdit { border: 2px solid #c00000; }" : "";
  if (field->styleSheet() != sheet) field->setStyleSheet(sheet);
}

// The hint of a date or time field: what a real one looks like while it holds something else,
// its usual hint otherwise.
void MarkStampField(QWidget* field, bool real, int hint, WindowTextEntry usual) {
  if (field == nullptr) return;
  Mark(field, !real);
  SetPlainToolTip(field, real ? WindowText(usual) : lrfExtra[hint]);
}

}  // namespace

DatumEntry::DatumEntry(int panel, QObject* parent) : QObject(parent), panel_(panel) {
  setObjectName("datumEntry");
  if (auto* field = qobject_cast<QLineEdit*>(GetCtrlWidget(panel, kPositionField))) {
    connect(field, &QLineEdit::returnPressed, this, [this] { enterPosition(); });
    // A mark belongs to the text that was refused; editing it starts afresh.
    connect(field, &QLineEdit::textEdited, this, [field] { Mark(field, false); });
  }
  if (auto* copy = qobject_cast<QPushButton*>(GetCtrlWidget(panel, kCopyPositionButton))) {
    connect(copy, &QPushButton::clicked, this, [this] { copyPosition(); });
  }
  if (auto* stamp = qobject_cast<QPushButton*>(GetCtrlWidget(panel, kStampAgainButton))) {
    connect(stamp, &QPushButton::clicked, this, [this] { stampAgain(); });
  }
  for (int control = kLatitudeDegrees; control <= kLongitudeDegrees + 3; ++control) {
    QWidget* widget = GetCtrlWidget(panel, control);
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget)) {
      connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { readBack(); });
    } else if (auto* ring = qobject_cast<QComboBox*>(widget)) {
      connect(ring, &QComboBox::currentIndexChanged, this, [this] { readBack(); });
    }
  }
  for (int control : {kDateField, kTimeField}) {
    if (auto* line = qobject_cast<QLineEdit*>(GetCtrlWidget(panel, control))) {
      connect(line, &QLineEdit::textChanged, this, [this] { markStamp(); });
    }
  }
  readBack();
  markStamp();
}

bool DatumEntry::enterPosition() {
  // The layout holds the field to 100 characters, of at most four bytes each.
  char text[512] = "";
  GetCtrlVal(panel_, kPositionField, text);
  double lat = 0.0;
  double lon = 0.0;
  std::string error;
  QWidget* field = GetCtrlWidget(panel_, kPositionField);
  if (!vestrand::parsePosition(text, lat, lon, error)) {
    Mark(field, true);
    ShowStatus(Word(kPositionRefused).arg(QString::fromStdString(error)).toStdString());
    return false;
  }
  Mark(field, false);
  SetDatum(panel_, lat, lon);
  ShowStatus(Word(kDatumSet).arg(QString::fromStdString(DatumText(panel_))).toStdString());
  return true;
}

void DatumEntry::readBack() {
  const double lat = GetDegLatitude(panel_);
  const double lon = GetDegLongitude(panel_);
  std::string text;
  // The fields allow 90 degrees and 59 minutes: a datum past a pole names no place.
  if (!(std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0)) {
    text = Word(kDatumBeyond).toStdString();
  } else {
    text = FormText(lat, lon, CoordinateForm::DegreesMinutes) + "\n" +
           FormText(lat, lon, CoordinateForm::DegreesMinutesSeconds) + "\n" +
           FormText(lat, lon, CoordinateForm::Degrees);
  }
  SetCtrlVal(panel_, kDatumReadBack, text.c_str());
}

void DatumEntry::copyPosition() {
  const std::string text = DatumText(panel_);
  QApplication::clipboard()->setText(QString::fromStdString(text));
  ShowStatus(Word(kPositionCopied).arg(QString::fromStdString(text)).toStdString());
}

void DatumEntry::stampAgain() {
  StampDateAndTime(panel_);
  char date[kFieldCapacity] = "";
  char time[kFieldCapacity] = "";
  GetCtrlVal(panel_, kDateField, date);
  GetCtrlVal(panel_, kTimeField, time);
  ShowStatus(Word(kStamped).arg(QString::fromUtf8(date), QString::fromUtf8(time)).toStdString());
}

void DatumEntry::markStamp() {
  char date[kFieldCapacity] = "";
  char time[kFieldCapacity] = "";
  GetCtrlVal(panel_, kDateField, date);
  GetCtrlVal(panel_, kTimeField, time);
  MarkStampField(GetCtrlWidget(panel_, kDateField), IsRealDate(date), kNotADate, kDateTipText);
  MarkStampField(GetCtrlWidget(panel_, kTimeField), IsRealTime(time), kNotATime, kTimeTipText);
}

void DatumEntry::relabel() {
  SetCtrlAttribute(panel_, kPositionField, ATTR_LABEL_TEXT, lrfExtra[kPositionFieldLabel]);
  if (auto* field = qobject_cast<QLineEdit*>(GetCtrlWidget(panel_, kPositionField))) {
    field->setPlaceholderText(Word(kPositionFieldHint));
  }
  SetCtrlAttribute(panel_, kCopyPositionButton, ATTR_LABEL_TEXT, lrfExtra[kCopyPositionLabel]);
  SetCtrlAttribute(panel_, kStampAgainButton, ATTR_LABEL_TEXT, lrfExtra[kStampAgainLabel]);
  SetCtrlAttribute(panel_, kDatumReadBack, ATTR_LABEL_TEXT, lrfExtra[kReadBackLabel]);
  readBack();
  markStamp();
}

DatumEntry* InstallDatumEntry(int panel) {
  QWidget* field = GetCtrlWidget(panel, kPositionField);
  if (field == nullptr) return nullptr;
  auto* entry = new DatumEntry(panel, field);
  installed = entry;
  return entry;
}

DatumEntry* InstalledDatumEntry() {
  return installed.data();
}
