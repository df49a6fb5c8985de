// How window, mouse and widget events of panels and controls reach the program's callbacks.
// Internal to the platform layer.
#pragma once

#include <QWidget>

namespace cvirte_detail {

// While one of these lives, no callback is called: values the run-time sets itself raise no
// events, as a program expects of SetCtrlVal.
class HoldEvents {
 public:
  HoldEvents();
  ~HoldEvents();
  HoldEvents(const HoldEvents&) = delete;
  HoldEvents& operator=(const HoldEvents&) = delete;
};

// Relays the focus and close events of a panel's window to its panel callback.
void WatchPanel(QWidget* panelWidget);

// Relays the mouse presses and the value and commit signals of a control to its callback. A push
// button also gives the left click (event data 0, 0) on a press of Enter, Return or Space.
void WatchControl(QWidget* widget, int panel, int control);

}  // namespace cvirte_detail
