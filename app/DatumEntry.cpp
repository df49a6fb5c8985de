#include "DatumEntry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "MainPanel.h"
#include "SearchAids.h"
#include "WindowTexts.h"
#include "cvirte.h"
#include "cvirte_widgets.h"
#include "position_text.h"

using vestrand::Axis;
using vestrand::CoordinateForm;
using vestrand::Text;

namespace {

std::string DatumText(int panel) {
  return vestrand::positionText(GetDegLatitude(panel), GetDegLongitude(panel),
                                CoordinateForm::DegreesMinutes);
}

// The frame is drawn by a style sheet that only a marked field carries, so an unmarked field
// keeps the look of its platform.
void Mark(QWidget* field, bool notUnderstood) {
  if (field == nullptr) return;
  field->setProperty(kNotUnderstoodProperty, notUnderstood);
  const QString sheet = notUnderstood ? "QLineEdit { border: 2px solid #c00000; }" : "";
  if (field->styleSheet() != sheet) field->setStyleSheet(sheet);
}

}  // namespace

DatumEntry::DatumEntry(int panel, const vestrand::LanguageTexts& texts, Status status,
                       QObject* parent)
    : QObject(parent), panel_(panel), texts_(texts), status_(std::move(status)) {
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
  const std::string text = FieldText(panel_, kPositionField);
  double lat = 0.0;
  double lon = 0.0;
  std::string error;
  QWidget* field = GetCtrlWidget(panel_, kPositionField);
  if (!vestrand::parsePosition(text, lat, lon, error)) {
    Mark(field, true);
    status_(texts_.get(Text::PositionRefused, {error}));
    return false;
  }
  Mark(field, false);
  SetDatum(panel_, lat, lon);
  status_(texts_.get(Text::DatumSet, {DatumText(panel_)}));
  return true;
}

void DatumEntry::showDatumInField() {
  if (auto* field = qobject_cast<QLineEdit*>(GetCtrlWidget(panel_, kPositionField))) {
    field->setText(QString::fromStdString(DatumText(panel_)));
    Mark(field, false);
  }
}

void DatumEntry::readBack() {
  const double lat = GetDegLatitude(panel_);
  const double lon = GetDegLongitude(panel_);
  std::string text;
  // The fields allow 90 degrees and 59 minutes: a datum past a pole names no place.
  if (!(std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0)) {
    text = texts_.get(Text::DatumNotAPosition);
  } else {
    text = vestrand::positionText(lat, lon, CoordinateForm::DegreesMinutes) + "\n" +
           vestrand::positionText(lat, lon, CoordinateForm::DegreesMinutesSeconds) + "\n" +
           vestrand::positionText(lat, lon, CoordinateForm::Degrees);
  }
  SetCtrlVal(panel_, kDatumReadBack, text.c_str());
}

void DatumEntry::copyPosition() {
  const std::string text = DatumText(panel_);
  QApplication::clipboard()->setText(QString::fromStdString(text));
  status_(texts_.get(Text::PositionCopied, {text}));
}

bool DatumEntry::pastePosition() {
  auto* field = qobject_cast<QLineEdit*>(GetCtrlWidget(panel_, kPositionField));
  if (field == nullptr) return false;
  field->setText(QApplication::clipboard()->text().simplified());
  return enterPosition();
}

void DatumEntry::stampAgain() {
  StampDateAndTime(panel_);
  status_(
      texts_.get(Text::Stamped, {FieldText(panel_, kDateField), FieldText(panel_, kTimeField)}));
}

void DatumEntry::markStamp() {
  const struct {
    int control;
    bool real;
    Text refused, usual;
  } fields[] = {
      {kDateField, IsRealDate(FieldText(panel_, kDateField)), Text::NotADate, Text::DateTip},
      {kTimeField, IsRealTime(FieldText(panel_, kTimeField)), Text::NotATime, Text::TimeTip},
  };
  // The hint of a field that holds no real date or time says what a real one looks like.
  for (const auto& f : fields) {
    QWidget* field = GetCtrlWidget(panel_, f.control);
    if (field == nullptr) continue;
    Mark(field, !f.real);
    SetPlainToolTip(field, texts_.get(f.real ? f.usual : f.refused));
  }
}

void DatumEntry::relabel() {
  if (auto* field = qobject_cast<QLineEdit*>(GetCtrlWidget(panel_, kPositionField))) {
    field->setPlaceholderText(QString::fromStdString(texts_.get(Text::PositionFieldHint)));
  }
  readBack();
  markStamp();
}
