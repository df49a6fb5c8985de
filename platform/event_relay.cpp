// Window, mouse, key and widget events turned into the run-time's events: got and lost focus and
// close for panels; left click, commit and value changed for controls.
#include "event_relay.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include "cvirte.h"
#include "panel_registry.h"

namespace cvirte_detail {

namespace {

int eventsHeld = 0;

// The callback may discard panels, so nothing found here is used after the call.
void SendControlEvent(int panel, int control, int event, int data1, int data2) {
  if (eventsHeld > 0) return;
  const Control* target = FindControl(panel, control);
  if (target == nullptr || target->callback == nullptr) return;
  target->callback(panel, control, event, nullptr, data1, data2);
}

void SendPanelEvent(int panel, int event) {
  if (eventsHeld > 0) return;
  const Panel* target = FindPanel(panel);
  if (target == nullptr || target->callback == nullptr) return;
  target->callback(panel, event, nullptr, 0, 0);
}

// Turns window, mouse and key events of panels and controls into the run-time's events.
class EventRelay : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool isPanel = watched->property(kControlProperty).isNull();
    switch (event->type()) {
      case QEvent::WindowActivate:
        if (isPanel) SendPanelEvent(OwnerOf(watched), EVENT_GOT_FOCUS);
        break;
      case QEvent::WindowDeactivate:
        if (isPanel) SendPanelEvent(OwnerOf(watched), EVENT_LOST_FOCUS);
        break;
      case QEvent::Close:
        if (isPanel) {
          // The window stays until the program discards its panel; the callback decides.
          event->ignore();
          SendPanelEvent(OwnerOf(watched), EVENT_CLOSE);
          return true;
        }
        break;
      case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!isPanel && mouse->button() == Qt::LeftButton) {
          const QPoint at = mouse->position().toPoint();
          SendControlEvent(OwnerOf(watched), watched->property(kControlProperty).toInt(),
                           EVENT_LEFT_CLICK, at.y(), at.x());
        }
        break;
      }
      case QEvent::KeyPress: {
        // A push button answers Enter, Return and Space as it answers the mouse, so that the
        // links that act on the left click alone open from the keyboard too. Space then commits
        // on its release, as the mouse button does.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool activates = key->key() == Qt::Key_Enter || key->key() == Qt::Key_Return ||
                               key->key() == Qt::Key_Space;
        if (!isPanel && activates && !key->isAutoRepeat() &&
            qobject_cast<QPushButton*>(watched) != nullptr) {
          SendControlEvent(OwnerOf(watched), watched->property(kControlProperty).toInt(),
                           EVENT_LEFT_CLICK, 0, 0);
        }
        break;
      }
      default:
        break;
    }
    return false;
  }
};

EventRelay* Relay() {
  // Lives as long as the program: widgets of any panel may still report to it.
  static EventRelay* relay = new EventRelay;
  return relay;
}

// Commit when a button is pressed or an edit is finished, value changed as a value changes.
void ConnectSignals(QWidget* widget, int panel, int control) {
  QObject* context = Relay();
  auto send = [panel, control](int event) { SendControlEvent(panel, control, event, 0, 0); };
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QObject::connect(button, &QAbstractButton::clicked, context, [send] { send(EVENT_COMMIT); });
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    // Return re-emits an unchanged value; only a real change is a value-changed event.
    QObject::connect(spin, &QSpinBox::valueChanged, context,
                     [send, last = spin->value()](int value) mutable {
                       if (value == last) return;
                       last = value;
                       send(EVENT_VAL_CHANGED);
                     });
    QObject::connect(spin, &QSpinBox::editingFinished, context, [send] { send(EVENT_COMMIT); });
  } else if (auto* spinDouble = qobject_cast<QDoubleSpinBox*>(widget)) {
    QObject::connect(spinDouble, &QDoubleSpinBox::valueChanged, context,
                     [send, last = spinDouble->value()](double value) mutable {
                       if (value == last) return;
                       last = value;
                       send(EVENT_VAL_CHANGED);
                     });
    QObject::connect(spinDouble, &QDoubleSpinBox::editingFinished, context,
                     [send] { send(EVENT_COMMIT); });
  } else if (auto* ring = qobject_cast<QComboBox*>(widget)) {
    QObject::connect(ring, &QComboBox::currentIndexChanged, context,
                     [send] { send(EVENT_VAL_CHANGED); });
    QObject::connect(ring, &QComboBox::activated, context, [send] { send(EVENT_COMMIT); });
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(line, &QLineEdit::textEdited, context, [send] { send(EVENT_VAL_CHANGED); });
    QObject::connect(line, &QLineEdit::editingFinished, context, [send] { send(EVENT_COMMIT); });
  }
}

}  // namespace

HoldEvents::HoldEvents() {
  ++eventsHeld;
}

HoldEvents::~HoldEvents() {
  --eventsHeld;
}

void WatchPanel(QWidget* panelWidget) {
  panelWidget->installEventFilter(Relay());
}

void WatchControl(QWidget* widget, int panel, int control) {
  widget->installEventFilter(Relay());
  ConnectSignals(widget, panel, control);
}

}  // namespace cvirte_detail
