// Panels from layout files.
//
// A layout file is a Qt Designer form. Its top-level widget is a panel and carries the dynamic
// properties "panel" (resource number) and, optionally, "callback" (a panel callback). A control is
// any widget with the dynamic property "control" (its number within its panel) and, optionally,
// "callback"; a ring (combo box) lists its item values in "values". Each page of a tab control is a
// panel of its own, so the controls on a page are numbered within that page.
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <map>
#include <string>
#include <vector>

#include "builtin_files.h"
#include "cvirte.h"
#include "event_relay.h"
#include "panel_registry.h"

using cvirte_detail::kCallbackProperty;
using cvirte_detail::kControlProperty;
using cvirte_detail::kOwnerProperty;
using cvirte_detail::kResourceProperty;
using cvirte_detail::kValuesProperty;
using cvirte_detail::NewPanel;
using cvirte_detail::Panels;
using cvirte_detail::Text;

namespace {

const CallbackEntry* callbackTable = nullptr;
std::size_t callbackCount = 0;

std::string loadError;

// Finds the callback `name` in the program's table; an error names it when it is missing.
const CallbackEntry* Resolve(const QString& name, std::string& error) {
  const std::string wanted = Text(name);
  for (std::size_t i = 0; i < callbackCount; ++i) {
    if (callbackTable[i].name != nullptr && wanted == callbackTable[i].name) {
      return &callbackTable[i];
    }
  }
  error = "callback \"" + wanted + "\" is not in the program's table of callbacks";
  return nullptr;
}

// Registers the controls under `widget` with panel `panel`; tab pages become panels.
bool RegisterChildren(QWidget* widget, int panel, int loaded, std::string& error);

bool RegisterWidget(QWidget* widget, int panel, int loaded, std::string& error) {
  const QVariant number = widget->property(kControlProperty);
  if (number.isNull()) return RegisterChildren(widget, panel, loaded, error);

  bool isNumber = false;
  const int control = number.toInt(&isNumber);
  const std::string where =
      "control " + number.toString().toStdString() + " (" + Text(widget->objectName()) + ")";
  if (!isNumber || control <= 0) {
    error = where + " has no positive control number";
    return false;
  }
  cvirte_detail::Panel& owner = Panels()[panel];
  if (owner.controls.count(control) != 0) {
    error = where + " repeats a number already used in its panel";
    return false;
  }
  cvirte_detail::Control& entry = owner.controls[control];
  entry.widget = widget;
  const QString callbackName = widget->property(kCallbackProperty).toString();
  if (!callbackName.isEmpty()) {
    const CallbackEntry* found = Resolve(callbackName, error);
    if (found == nullptr || found->control == nullptr) {
      if (found != nullptr)
        error = "callback \"" + Text(callbackName) + "\" is no control callback";
      error = where + ": " + error;
      return false;
    }
    entry.callback = found->control;
  }
  if (auto* ring = qobject_cast<QComboBox*>(widget)) {
    // A form cannot give items data, so the ring lists its item values in one property.
    const QStringList values = widget->property(kValuesProperty).toStringList();
    for (int i = 0; i < values.size() && i < ring->count(); ++i) {
      bool isValue = false;
      const int value = values[i].toInt(&isValue);
      if (!isValue) {
        error = where + ": item value \"" + Text(values[i]) + "\" is no whole number";
        return false;
      }
      ring->setItemData(i, value);
    }
  }
  widget->setProperty(kOwnerProperty, panel);
  cvirte_detail::WatchControl(widget, panel, control);

  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    std::vector<int> pages;
    for (int i = 0; i < tabs->count(); ++i) {
      QWidget* page = tabs->widget(i);
      const int pagePanel = NewPanel(page, loaded);
      const QString pageCallback = page->property(kCallbackProperty).toString();
      if (!pageCallback.isEmpty()) {
        const CallbackEntry* found = Resolve(pageCallback, error);
        if (found == nullptr || found->panel == nullptr) {
          if (found != nullptr)
            error = "callback \"" + Text(pageCallback) + "\" is no panel callback";
          error = "tab page " + std::to_string(i) + " of " + where + ": " + error;
          return false;
        }
        Panels()[pagePanel].callback = found->panel;
      }
      pages.push_back(pagePanel);
      if (!RegisterChildren(page, pagePanel, loaded, error)) return false;
    }
    Panels()[panel].tabPages[control] = std::move(pages);
    return true;
  }
  return RegisterChildren(widget, panel, loaded, error);
}

bool RegisterChildren(QWidget* widget, int panel, int loaded, std::string& error) {
  for (QObject* child : widget->children()) {
    if (auto* childWidget = qobject_cast<QWidget*>(child)) {
      if (!RegisterWidget(childWidget, panel, loaded, error)) return false;
    }
  }
  return true;
}

// A label whose buddy is a control shows that control's label text. Every label shows plain text:
// a layout or language file in the current directory is input like any other, and rich text
// would let it show links or pictures the program never meant.
void FindLabels(QWidget* form, int loaded) {
  std::map<QWidget*, QLabel*> labelOf;
  for (QLabel* label : form->findChildren<QLabel*>()) {
    label->setTextFormat(Qt::PlainText);
    if (label->buddy() != nullptr) labelOf[label->buddy()] = label;
  }
  for (auto& [handle, panel] : Panels()) {
    if (panel.loaded != loaded) continue;
    for (auto& [number, control] : panel.controls) {
      const auto found = labelOf.find(control.widget.data());
      if (found != labelOf.end()) control.label = found->second;
    }
  }
}

int FailLoad(const std::string& message) {
  loadError = message;
  return cvirte_detail::kLoadFailed;
}

// Bounds on a layout file. A form in the current directory overrides the built-in one, so it is
// input like any other: QUiLoader recurses once per nested element and overflows the stack on a
// few thousand levels, and some hundred thousand widgets overwhelm the painting. The shipped
// layout (52 KB, 16 levels of elements, 61 widgets) lies far inside.
constexpr std::size_t kMaxLayoutBytes = std::size_t{4} << 20;
constexpr int kMaxLayoutDepth = 64;
constexpr int kMaxLayoutWidgets = 2000;

std::string Where(const std::string& origin, const QXmlStreamReader& xml) {
  return origin + ":" + std::to_string(xml.lineNumber()) + ":" +
         std::to_string(xml.columnNumber()) + ": ";
}

// Checks the form before QUiLoader sees it, in one pass of the iterative stream reader: the first
// XML error with its line and column (QUiLoader would only call the form invalid), and the bounds
// on nesting and widgets at the element that passes them.
bool CheckXml(const QByteArray& bytes, const std::string& origin, std::string& error) {
  QXmlStreamReader xml(bytes);
  int depth = 0;
  int widgets = 0;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::EndElement) --depth;
    if (token != QXmlStreamReader::StartElement) continue;
    if (++depth > kMaxLayoutDepth) {
      error = Where(origin, xml) + "nesting deeper than " + std::to_string(kMaxLayoutDepth) +
              " elements";
      return false;
    }
    if (xml.name() == QLatin1String("widget") && ++widgets > kMaxLayoutWidgets) {
      error = Where(origin, xml) + "more than " + std::to_string(kMaxLayoutWidgets) + " widgets";
      return false;
    }
  }
  if (!xml.hasError()) return true;
  error = Where(origin, xml) + Text(xml.errorString());
  return false;
}

}  // namespace

void SetCallbackTable(const CallbackEntry* entries, std::size_t count) {
  callbackTable = entries;
  callbackCount = entries != nullptr ? count : 0;
}

int LoadPanel(int parentPanel, const char* fileName, int resourceId) {
  loadError.clear();
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return FailLoad("the run-time is not started");
  }
  if (fileName == nullptr || *fileName == 0) return FailLoad("no layout file named");
  QWidget* parentWidget = nullptr;
  if (parentPanel != 0) {
    const cvirte_detail::Panel* parent = cvirte_detail::FindPanel(parentPanel);
    if (parent == nullptr)
      return FailLoad("parent panel " + std::to_string(parentPanel) + " does not exist");
    parentWidget = parent->widget;
  }

  std::string contents;
  std::string origin;
  const cvirte_detail::ReadResult read =
      cvirte_detail::ReadWholeFile(fileName, kMaxLayoutBytes, contents, origin);
  if (read == cvirte_detail::ReadResult::kTooLarge) {
    return FailLoad(origin + ": larger than " + std::to_string(kMaxLayoutBytes >> 20) + " MiB");
  }
  if (read != cvirte_detail::ReadResult::kRead) {
    const std::string where = cvirte_detail::IsBareName(fileName)
                                  ? " is neither in the current directory nor built in"
                                  : " cannot be read";
    return FailLoad(std::string(fileName) + where);
  }
  const QByteArray bytes(contents.data(), static_cast<qsizetype>(contents.size()));
  std::string error;
  if (!CheckXml(bytes, origin, error)) return FailLoad(error);

  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QUiLoader loader;
  QWidget* form = loader.load(&buffer, parentWidget);
  if (form == nullptr) return FailLoad(origin + ": " + Text(loader.errorString()));

  bool isNumber = false;
  const int resource = form->property(kResourceProperty).toInt(&isNumber);
  if (!isNumber || resource != resourceId) {
    delete form;
    return FailLoad(origin + ": no panel " + std::to_string(resourceId));
  }

  const int handle = NewPanel(form, 0);
  const QString panelCallback = form->property(kCallbackProperty).toString();
  bool registered = true;
  if (!panelCallback.isEmpty()) {
    const CallbackEntry* found = Resolve(panelCallback, error);
    if (found != nullptr && found->panel == nullptr) {
      error = "callback \"" + Text(panelCallback) + "\" is no panel callback";
      found = nullptr;
    }
    if (found == nullptr) {
      error = "panel " + std::to_string(resourceId) + ": " + error;
      registered = false;
    } else {
      Panels()[handle].callback = found->panel;
    }
  }
  if (registered) registered = RegisterChildren(form, handle, handle, error);
  if (!registered) {
    cvirte_detail::Forget(handle);
    delete form;
    return FailLoad(origin + ": " + error);
  }
  FindLabels(form, handle);
  cvirte_detail::WatchPanel(form);
  return handle;
}

const char* LastLoadPanelError() {
  return loadError.c_str();
}
