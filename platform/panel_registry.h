// The run-time's table of panels and controls: which widget a handle or a control number stands
// for, and the callback bound to it. Internal to the platform layer.
//
// A panel is a loaded form or a page of a tab control (each page is a panel of its own, so the
// controls on a page are numbered within that page). Every widget of a panel carries the handle
// of its panel in a dynamic property, so that events find their way back.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "cvirte.h"

namespace cvirte_detail {

// Failures, as negative results.
inline constexpr int kNoRunTime = -1;
inline constexpr int kBadPanel = -2;
inline constexpr int kBadControl = -3;
inline constexpr int kBadValue = -4;
inline constexpr int kBadAttribute = -5;
inline constexpr int kLoadFailed = -6;

// Dynamic properties of the layout file, and the one the run-time adds to know a widget's panel.
inline constexpr char kControlProperty[] = "control";
inline constexpr char kCallbackProperty[] = "callback";
inline constexpr char kResourceProperty[] = "panel";
inline constexpr char kValuesProperty[] = "values";
inline constexpr char kOwnerProperty[] = "cvirtePanelHandle";

struct Control {
  QPointer<QWidget> widget;
  CtrlCallbackPtr callback = nullptr;
  QPointer<QLabel> label;  // the buddy label that shows the control's label text, if any
};

struct Panel {
  QPointer<QWidget> widget;
  PanelCallbackPtr callback = nullptr;
  int loaded = 0;  // handle of the panel the layout file gave, which owns the widgets
  std::map<int, Control> controls;
  std::map<int, std::vector<int>> tabPages;  // tab control number -> page panels by index
};

// Every panel by handle, including those whose widgets are being built or are already gone.
std::map<int, Panel>& Panels();

// The panel or control of a handle and number; null if there is none or its widget is gone.
Panel* FindPanel(int panel);
Control* FindControl(int panel, int control);

// The failure for a control that was not found: a bad panel or a bad control number.
int MissingControl(int panel);

// Registers `widget` as a new panel owned by `loaded` (0: the new panel owns itself).
int NewPanel(QWidget* widget, int loaded);

// Drops the panel `loaded` and every tab page it owns from the table; the widgets stay.
void Forget(int loaded);

// The handle of the panel that holds a widget.
int OwnerOf(const QObject* widget);

std::string Text(const QString& text);

}  // namespace cvirte_detail
