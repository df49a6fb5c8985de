// The Qt widgets behind panels and controls, for program code that adds widgets of its own to a
// loaded window (the plan preview) and listens to the controls beside the callbacks. Only a
// forward declaration of QWidget here, so including this header pulls in no Qt.
#pragma once

class QWidget;

// The widget of a panel (a loaded form or a tab page); null if there is no such panel.
QWidget* GetPanelWidget(int panel);
// The widget of a control of a panel; null if there is no such control.
QWidget* GetCtrlWidget(int panel, int control);

// Shows a text (UTF-8) as a button's, a group's title or a label's, as typed: never as rich text
// or links, and an '&' as itself rather than a shortcut's mark. The one way language texts reach
// widgets, also those of the layout that have no control number.
// @return false when the widget is none of these
bool SetWidgetLabel(QWidget* widget, const char* text);
