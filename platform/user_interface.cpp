// Panels, controls and the event loop on Qt Widgets.
//
// A layout file is a Qt Designer form. Its top-level widget is a panel and carries the dynamic
// properties "panel" (resource number) and, optionally, "callback" (a panel callback). A control is
// any widget with the dynamic property "control" (its number within its panel) and, optionally,
// "callback"; a ring (combo box) lists its item values in "values". Each page of a tab control is a
// panel of its own, so the controls on a page are numbered within that page.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "builtin_files.h"
#include "cvirte.h"
#include "cvirte_testing.h"
#include "cvirte_widgets.h"

namespace {

// Failures, as negative results.
constexpr int kNoRunTime = -1;
constexpr int kBadPanel = -2;
constexpr int kBadControl = -3;
constexpr int kBadValue = -4;
constexpr int kBadAttribute = -5;
constexpr int kLoadFailed = -6;

// Dynamic properties of the layout file, and the one the run-time adds to know a widget's panel.
constexpr char kControlProperty[] = "control";
constexpr char kCallbackProperty[] = "callback";
constexpr char kResourceProperty[] = "panel";
constexpr char kValuesProperty[] = "values";
constexpr char kOwnerProperty[] = "cvirtePanelHandle";

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

const CallbackEntry* callbackTable = nullptr;
std::size_t callbackCount = 0;

std::map<int, Panel> panels;
int lastPanel = 0;
std::string loadError;
std::string initError;

// Never destroyed: the run-time has no end call, and destroying the application among the
// static destructors at exit crashes once Qt's own globals are gone.
QApplication* application = nullptr;
int applicationArgc = 0;
std::vector<char*> applicationArgv;

// Values the run-time sets itself raise no events, as a program expects of SetCtrlVal.
int eventsHeld = 0;

struct HoldEvents {
  HoldEvents() { ++eventsHeld; }
  ~HoldEvents() { --eventsHeld; }
  HoldEvents(const HoldEvents&) = delete;
  HoldEvents& operator=(const HoldEvents&) = delete;
};

void DefaultPresenter(const char* title, const char* message) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(title), QString::fromUtf8(message),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

cvirte_testing::MessagePresenter presenter = DefaultPresenter;

Panel* FindPanel(int panel) {
  const auto found = panels.find(panel);
  return found == panels.end() || found->second.widget.isNull() ? nullptr : &found->second;
}

Control* FindControl(int panel, int control) {
  Panel* owner = FindPanel(panel);
  if (owner == nullptr) return nullptr;
  const auto found = owner->controls.find(control);
  return found == owner->controls.end() || found->second.widget.isNull() ? nullptr : &found->second;
}

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

int OwnerOf(const QObject* widget) {
  return widget->property(kOwnerProperty).toInt();
}

// Turns window and mouse events of panels and controls into the run-time's events.
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

int NewPanel(QWidget* widget, int loaded) {
  const int handle = ++lastPanel;
  Panel& panel = panels[handle];
  panel.widget = widget;
  panel.loaded = loaded == 0 ? handle : loaded;
  widget->setProperty(kOwnerProperty, handle);
  return handle;
}

std::string Text(const QString& text) {
  return text.toUtf8().toStdString();
}

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
  Panel& owner = panels[panel];
  if (owner.controls.count(control) != 0) {
    error = where + " repeats a number already used in its panel";
    return false;
  }
  Control& entry = owner.controls[control];
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
  widget->installEventFilter(Relay());
  ConnectSignals(widget, panel, control);

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
        panels[pagePanel].callback = found->panel;
      }
      pages.push_back(pagePanel);
      if (!RegisterChildren(page, pagePanel, loaded, error)) return false;
    }
    panels[panel].tabPages[control] = std::move(pages);
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

// A label whose buddy is a control shows that control's label text.
void FindLabels(QWidget* form, int loaded) {
  std::map<QWidget*, QLabel*> labelOf;
  for (QLabel* label : form->findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) labelOf[label->buddy()] = label;
  }
  for (auto& [handle, panel] : panels) {
    if (panel.loaded != loaded) continue;
    for (auto& [number, control] : panel.controls) {
      const auto found = labelOf.find(control.widget.data());
      if (found != labelOf.end()) control.label = found->second;
    }
  }
}

void Forget(int loaded) {
  for (auto it = panels.begin(); it != panels.end();) {
    it = it->second.loaded == loaded ? panels.erase(it) : std::next(it);
  }
}

int FailLoad(const std::string& message) {
  loadError = message;
  return kLoadFailed;
}

// Line and column of the first XML error, which QUiLoader would only call an invalid form.
bool CheckXml(const QByteArray& bytes, const std::string& origin, std::string& error) {
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) xml.readNext();
  if (!xml.hasError()) return true;
  error = origin + ":" + std::to_string(xml.lineNumber()) + ":" +
          std::to_string(xml.columnNumber()) + ": " + Text(xml.errorString());
  return false;
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
      label->setText(text);
    } else {
      return kBadValue;
    }
  }
  return 0;
}

}  // namespace

void SetCallbackTable(const CallbackEntry* entries, std::size_t count) {
  callbackTable = entries;
  callbackCount = entries != nullptr ? count : 0;
}

int InitCVIRTE(void* instance, char* argv[], void* reserved) {
  (void)instance;
  (void)reserved;
  initError.clear();
  if (QCoreApplication::instance() != nullptr) {
    // A test or tool that made its own application keeps it; it must be able to show widgets.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      initError = "the program already runs without widgets";
      return 0;
    }
  } else {
    static char programName[] = "vestrand";
    bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (argv != nullptr) {
      for (char** argument = argv; *argument != nullptr; ++argument) {
        applicationArgv.push_back(*argument);
        platformChosen = platformChosen || std::strcmp(*argument, "-platform") == 0;
      }
    }
    // Without a display Qt would abort the process; the program is to fail with a reason instead.
    if (!platformChosen && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      applicationArgv.clear();
      initError = "no display: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen";
      return 0;
    }
    if (applicationArgv.empty()) applicationArgv.push_back(programName);
    applicationArgc = static_cast<int>(applicationArgv.size());
    applicationArgv.push_back(nullptr);
    application = new QApplication(applicationArgc, applicationArgv.data());
  }
  // Closing the window only asks the program; its callback ends the loop.
  QApplication::setQuitOnLastWindowClosed(false);
  return 1;
}

const char* LastInitCVIRTEError() {
  return initError.c_str();
}

int LoadPanel(int parentPanel, const char* fileName, int resourceId) {
  loadError.clear();
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return FailLoad("the run-time is not started");
  }
  if (fileName == nullptr || *fileName == 0) return FailLoad("no layout file named");
  QWidget* parentWidget = nullptr;
  if (parentPanel != 0) {
    const Panel* parent = FindPanel(parentPanel);
    if (parent == nullptr)
      return FailLoad("parent panel " + std::to_string(parentPanel) + " does not exist");
    parentWidget = parent->widget;
  }

  std::string contents;
  std::string origin;
  if (!cvirte_detail::ReadWholeFile(fileName, contents, origin)) {
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
      panels[handle].callback = found->panel;
    }
  }
  if (registered) registered = RegisterChildren(form, handle, handle, error);
  if (!registered) {
    Forget(handle);
    delete form;
    return FailLoad(origin + ": " + error);
  }
  FindLabels(form, handle);
  form->installEventFilter(Relay());
  return handle;
}

const char* LastLoadPanelError() {
  return loadError.c_str();
}

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

int RunUserInterface() {
  if (QCoreApplication::instance() == nullptr) return kNoRunTime;
  return QCoreApplication::exec();
}

int QuitUserInterface(int returnCode) {
  QCoreApplication::exit(returnCode);
  return 0;
}

int DiscardPanel(int panel) {
  const auto found = panels.find(panel);
  if (found == panels.end()) return kBadPanel;
  // A tab page goes with the panel that holds it.
  if (found->second.loaded != panel) return kBadPanel;
  QPointer<QWidget> widget = found->second.widget;
  // Forgotten first, so that the focus changes of the closing widgets reach no callback.
  Forget(panel);
  delete widget.data();
  return 0;
}

int GetCtrlValText(int panel, int control, char* text, std::size_t size) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
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
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  double read = 0.0;
  if (value == nullptr || !NumericValue(target->widget, read)) return kBadValue;
  *value = read;
  return 0;
}

int GetCtrlVal(int panel, int control, int* value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  double read = 0.0;
  if (value == nullptr || !NumericValue(target->widget, read)) return kBadValue;
  if (!(read >= -2147483648.0 && read <= 2147483647.0)) return kBadValue;
  *value = static_cast<int>(std::lround(read));
  return 0;
}

int SetCtrlVal(int panel, int control, const char* text) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  if (text == nullptr) return kBadValue;
  const QString value = QString::fromUtf8(text);
  QWidget* widget = target->widget;
  const HoldEvents hold;
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
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
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  return SetNumeric(target->widget, value, false);
}

int SetCtrlVal(int panel, int control, int value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  return SetNumeric(target->widget, value, true);
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
  const Control* target = FindControl(panel, control);
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  if (attribute != ATTR_LABEL_TEXT) return kBadAttribute;
  if (value == nullptr) return kBadValue;
  const QString text = QString::fromUtf8(value);
  QWidget* widget = target->widget;
  // The label of a control: its buddy label, its button text or its group's title.
  if (!target->label.isNull()) {
    target->label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else {
    return kBadAttribute;
  }
  return 0;
}

int SetTabPageAttribute(int panel, int tabControl, int pageIndex, int attribute,
                        const char* value) {
  const Control* target = FindControl(panel, tabControl);
  if (target == nullptr) return FindPanel(panel) == nullptr ? kBadPanel : kBadControl;
  auto* tabs = qobject_cast<QTabWidget*>(target->widget);
  if (tabs == nullptr || pageIndex < 0 || pageIndex >= tabs->count()) return kBadControl;
  if (attribute != ATTR_LABEL_TEXT) return kBadAttribute;
  if (value == nullptr) return kBadValue;
  tabs->setTabText(pageIndex, QString::fromUtf8(value));
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

int MessagePopup(const char* title, const char* message) {
  presenter(title != nullptr ? title : "", message != nullptr ? message : "");
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

CtrlCallbackPtr cvirte_testing::ControlCallback(int panel, int control) {
  const Control* found = FindControl(panel, control);
  return found != nullptr ? found->callback : nullptr;
}

PanelCallbackPtr cvirte_testing::PanelCallback(int panel) {
  const Panel* found = FindPanel(panel);
  return found != nullptr ? found->callback : nullptr;
}

void cvirte_testing::SetMessagePresenter(MessagePresenter replacement) {
  presenter = replacement != nullptr ? replacement : DefaultPresenter;
}
