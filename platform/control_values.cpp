// Values and label texts of controls, converted between the program's texts and numbers and
// what each kind of widget shows.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "cvirte.h"
#include "cvirte_widgets.h"
#include "event_relay.h"
#include "panel_registry.h"

using cvirte_detail::Control;
using cvirte_detail::FindControl;
using cvirte_detail::HoldEvents;
using cvirte_detail::kBadAttribute;
using cvirte_detail::kBadControl;
using cvirte_detail::kBadValue;
using cvirte_detail::MissingControl;

namespace {

// Texts reach labels as plain text only, never as rich text or links: they may come from a
// language file in the current directory.
void SetPlainText(QLabel* label, const QString& text) {
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
}

// Buttons, group titles and tabs take '&' for the mark of a keyboard shortcut and hide it; in a
// text from a language file it is a letter to show.
QString Shown(QString text) {
  return text.replace('&', "&&");
}

QString ValueText(QWidget* widget) {
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* spin = qobject_cast<QSpinBox*>(widget)) return spin->cleanText();
  if (auto* spinDouble = qobject_cast<QDoubleSpinBox*>(widget)) return spinDouble->cleanText();
  if (auto* ring = qobject_cast<QComboBox*>(widget)) return ring->currentText();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  return {};
}

// The value of a ring's item is its data, or its index when it carries none.
bool RingValue(const QComboBox* ring, double& value) {
  if (ring->currentIndex() < 0) return false;
  const QVariant data = ring->currentData();
  value = data.isValid() ? data.toDouble() : ring->currentIndex();
  return true;
}

bool NumericValue(QWidget* widget, double& value) {
  if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    value = spin->value();
    return true;
  }
  if (auto* spinDouble = qobject_cast<QDoubleSpinBox*>(widget)) {
    value = spinDouble->value();
    return true;
  }
  if (auto* ring = qobject_cast<QComboBox*>(widget)) return RingValue(ring, value);
  if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable()) {
    value = button->isChecked() ? 1.0 : 0.0;
    return true;
  }
  bool ok = false;
  value = ValueText(widget).trimmed().toDouble(&ok);
  return ok;
}

int SetNumeric(QWidget* widget, double value, bool whole) {
  const HoldEvents hold;
  if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    spin->setValue(static_cast<int>(std::lround(value)));
  } else if (auto* spinDouble = qobject_cast<QDoubleSpinBox*>(widget)) {
    spinDouble->setValue(value);
  } else if (auto* ring = qobject_cast<QComboBox*>(widget)) {
    int index = -1;
    for (int i = 0; i < ring->count() && index < 0; ++i) {
      const QVariant data = ring->itemData(i);
      if ((data.isValid() ? data.toDouble() : i) == value) index = i;
    }
    if (index < 0) return kBadValue;
    ring->setCurrentIndex(index);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget);
             button && button->isCheckable()) {
    button->setChecked(value != 0.0);
  } else {
    const QString text =
        whole ? QString::number(static_cast<long long>(value)) : QString::number(value, 'g', 15);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
      line->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      SetPlainText(label, text);
    } else {
      return kBadValue;
    }
  }
  return 0;
}

}  // namespace

int GetCtrlValText(int panel, int control, char* text, std::size_t size) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  if (text == nullptr || size == 0) return kBadValue;
  const QByteArray bytes = ValueText(target->widget).toUtf8();
  std::size_t length = std::min(static_cast<std::size_t>(bytes.size()), size - 1);
  // Never end inside a character: back off over UTF-8 continuation bytes.
  if (length < static_cast<std::size_t>(bytes.size())) {
    while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(text, bytes.constData(), length);
  text[length] = 0;
  return 0;
}

int GetCtrlVal(int panel, int control, double* value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  double read = 0.0;
  if (value == nullptr || !NumericValue(target->widget, read)) return kBadValue;
  *value = read;
  return 0;
}

int GetCtrlVal(int panel, int control, int* value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  double read = 0.0;
  if (value == nullptr || !NumericValue(target->widget, read)) return kBadValue;
  if (!(read >= -2147483648.0 && read <= 2147483647.0)) return kBadValue;
  *value = static_cast<int>(std::lround(read));
  return 0;
}

int SetCtrlVal(int panel, int control, const char* text) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  if (text == nullptr) return kBadValue;
  const QString value = QString::fromUtf8(text);
  QWidget* widget = target->widget;
  const HoldEvents hold;
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    SetPlainText(label, value);
  } else if (auto* ring = qobject_cast<QComboBox*>(widget)) {
    const int index = ring->findText(value);
    if (index < 0) return kBadValue;
    ring->setCurrentIndex(index);
  } else if (qobject_cast<QAbstractSpinBox*>(widget) != nullptr) {
    bool ok = false;
    const double number = QLocale::c().toDouble(value.trimmed(), &ok);
    if (!ok) return kBadValue;
    return SetNumeric(widget, number, false);
  } else {
    return kBadValue;
  }
  return 0;
}

int SetCtrlVal(int panel, int control, double value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  return SetNumeric(target->widget, value, false);
}

int SetCtrlVal(int panel, int control, int value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  return SetNumeric(target->widget, value, true);
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return MissingControl(panel);
  if (attribute != ATTR_LABEL_TEXT) return kBadAttribute;
  if (value == nullptr) return kBadValue;
  // The label of a control: its buddy label, else the control's own text.
  QWidget* labelled = target->label.isNull() ? target->widget : target->label.data();
  return SetWidgetLabel(labelled, value) ? 0 : kBadAttribute;
}

bool SetWidgetLabel(QWidget* widget, const char* text) {
  const QString shown = QString::fromUtf8(text);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(Shown(shown));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(Shown(shown));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    SetPlainText(label, shown);
  } else {
    return false;
  }
  return true;
}

int SetTabPageAttribute(int panel, int tabControl, int pageIndex, int attribute,
                        const char* value) {
  const Control* target = FindControl(panel, tabControl);
  if (target == nullptr) return MissingControl(panel);
  auto* tabs = qobject_cast<QTabWidget*>(target->widget);
  if (tabs == nullptr || pageIndex < 0 || pageIndex >= tabs->count()) return kBadControl;
  if (attribute != ATTR_LABEL_TEXT) return kBadAttribute;
  if (value == nullptr) return kBadValue;
  tabs->setTabText(pageIndex, Shown(QString::fromUtf8(value)));
  return 0;
}
