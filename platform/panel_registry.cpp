// Panels and controls by handle and number: look-up, showing, discarding, tab pages, and the
// widgets behind them for program code and tests.
#include "panel_registry.h"

#include <iterator>

#include "cvirte_testing.h"
#include "cvirte_widgets.h"

namespace cvirte_detail {

namespace {

int lastPanel = 0;

}  // namespace

std::map<int, Panel>& Panels() {
  static std::map<int, Panel> panels;
  return panels;
}

Panel* FindPanel(int panel) {
  const auto found = Panels().find(panel);
  return found == Panels().end() || found->second.widget.isNull() ? nullptr : &found->second;
}

Control* FindControl(int panel, int control) {
  Panel* owner = FindPanel(panel);
  if (owner == nullptr) return nullptr;
  const auto found = owner->controls.find(control);
  return found == owner->controls.end() || found->second.widget.isNull() ? nullptr : &found->second;
}

int MissingControl(int panel) {
  return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
}

int NewPanel(QWidget* widget, int loaded) {
  const int handle = ++lastPanel;
  Panel& panel = Panels()[handle];
  panel.widget = widget;
  panel.loaded = loaded == 0 ? handle : loaded;
  widget->setProperty(kOwnerProperty, handle);
  return handle;
}

void Forget(int loaded) {
  auto& panels = Panels();
  for (auto it = panels.begin(); it != panels.end();) {
    it = it->second.loaded == loaded ? panels.erase(it) : std::next(it);
  }
}

int OwnerOf(const QObject* widget) {
  return widget->property(kOwnerProperty).toInt();
}

std::string Text(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace cvirte_detail

using cvirte_detail::Control;
using cvirte_detail::FindControl;
using cvirte_detail::FindPanel;
using cvirte_detail::kBadControl;
using cvirte_detail::kBadPanel;
using cvirte_detail::kBadValue;
using cvirte_detail::Panel;
using cvirte_detail::Panels;

int DisplayPanel(int panel) {
  Panel* target = FindPanel(panel);
  if (target == nullptr) return kBadPanel;
  target->widget->show();
  if (target->widget->isWindow()) {
    target->widget->raise();
    target->widget->activateWindow();
  }
  return 0;
}

int DiscardPanel(int panel) {
  const auto found = Panels().find(panel);
  if (found == Panels().end()) return kBadPanel;
  // A tab page goes with the panel that holds it.
  if (found->second.loaded != panel) return kBadPanel;
  QPointer<QWidget> widget = found->second.widget;
  // Forgotten first, so that the focus changes of the closing widgets reach no callback.
  cvirte_detail::Forget(panel);
  delete widget.data();
  return 0;
}

int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pageHandle) {
  const Panel* owner = FindPanel(panel);
  if (owner == nullptr) return kBadPanel;
  const auto found = owner->tabPages.find(tabControl);
  if (found == owner->tabPages.end()) return kBadControl;
  if (pageIndex < 0 || static_cast<std::size_t>(pageIndex) >= found->second.size()) {
    return kBadValue;
  }
  if (pageHandle == nullptr) return kBadValue;
  *pageHandle = found->second[pageIndex];
  return 0;
}

QWidget* GetPanelWidget(int panel) {
  const Panel* found = FindPanel(panel);
  return found != nullptr ? found->widget.data() : nullptr;
}

QWidget* GetCtrlWidget(int panel, int control) {
  const Control* found = FindControl(panel, control);
  return found != nullptr ? found->widget.data() : nullptr;
}

QWidget* cvirte_testing::PanelWidget(int panel) {
  return GetPanelWidget(panel);
}

QWidget* cvirte_testing::ControlWidget(int panel, int control) {
  return GetCtrlWidget(panel, control);
}
