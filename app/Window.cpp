#include "Window.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Briefing.h"
#include "DatumEntry.h"
#include "DriftObject.h"
#include "ForecastFiles.h"
#include "Icon.h"
#include "Languaje.h"
#include "MainPanel.h"
#include "PatternMotion.h"
#include "PlanView.h"
#include "PlotterLink.h"
#include "TracklinePage.h"
#include "WindowLand.h"
#include "WindowTexts.h"
#include "cvirte.h"
#include "cvirte_widgets.h"
#include "field_time.h"
#include "number_text.h"
#include "pattern_files.h"
#include "position_text.h"
#include "rtz.h"

using vestrand::Text;

namespace {

// The property of the main panel's widget that points to its window.
constexpr char kWindowProperty[] = "vestrandWindow";

// The counts of the window's fields stop here, whatever a layout beside the program allows, so
// that the preview draws what the command writes.
constexpr int kMaxCount = 1000;

constexpr int kSplits[] = {0, 250, 500, 1000};

constexpr QSize kMinimumWindow(1000, 620);

// Settings keys.
constexpr char kLanguageKey[] = "language";
constexpr char kFolderKey[] = "outputFolder";
constexpr char kFormatKey[] = "files";
constexpr char kSplitKey[] = "pointsPerRoute";
constexpr char kSpeedKey[] = "searchSpeed";
constexpr char kSweepKey[] = "sweepWidth";
constexpr char kLatitudeKey[] = "datumLatitude";
constexpr char kLongitudeKey[] = "datumLongitude";
constexpr char kGeometryKey[] = "geometry";
constexpr char kSplitterKey[] = "workspace";
constexpr char kLandKey[] = "land";

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Menus take '&' for the mark of a shortcut letter; a language text shows it as typed.
QString MenuText(const std::string& text) {
  return Q(text).replace('&', "&&");
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

// The documents folder of the user, else the home folder: never the folder the program was
// started from, which is the home folder or somewhere unknown when it starts from a menu.
std::string DefaultFolder() {
  for (auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation}) {
    const std::string folder = QStandardPaths::writableLocation(location).toStdString();
    if (IsFolder(folder)) return folder;
  }
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

int RingValue(int panel, int control, int fallback) {
  int value = fallback;
  GetCtrlVal(panel, control, &value);
  return value;
}

double NumberValue(int panel, int control, double fallback) {
  double value = fallback;
  GetCtrlVal(panel, control, &value);
  return value;
}

}  // namespace

struct Window::Actions {
  QMenu* file = nullptr;
  QMenu* edit = nullptr;
  QMenu* help = nullptr;
  QAction* write = nullptr;
  QAction* briefing = nullptr;
  QAction* send = nullptr;
  QAction* openFolder = nullptr;
  QAction* chooseFolder = nullptr;
  QAction* quit = nullptr;
  QAction* copy = nullptr;
  QAction* paste = nullptr;
  QAction* helpPage = nullptr;
  QAction* about = nullptr;
};

Window* Window::install(int panel, const WindowSetup& setup) {
  QWidget* form = GetPanelWidget(panel);
  if (form == nullptr) return nullptr;
  return new Window(panel, form, setup);
}

Window* Window::of(int panel) {
  const QWidget* widget = GetPanelWidget(panel);
  if (widget == nullptr) return nullptr;
  // Only a Window sets the property, on the widget that owns it.
  return static_cast<Window*>(widget->window()->property(kWindowProperty).value<QObject*>());
}

Window::Window(int panel, QWidget* form, const WindowSetup& setup)
    : QObject(form), panel_(panel), form_(form), actions_(std::make_unique<Actions>()) {
  setObjectName("vestrandWindow");
  form->setProperty(kWindowProperty, QVariant::fromValue(static_cast<QObject*>(this)));
  settings_ = setup.settingsFile.empty()
                  ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                "Vestrand", "vestrand")
                  : std::make_unique<QSettings>(QString::fromStdString(setup.settingsFile),
                                                QSettings::IniFormat);
  form->setWindowIcon(VestrandIcon());
  arrangeLayout();
  if (GetCtrlWidget(panel, kPositionField) != nullptr) {
    datumEntry_ = new DatumEntry(
        panel, texts_, [this](const std::string& text) { showStatus(text); }, this);
  }
  buildMenus();
  listen();
  addPatternControls();
  // After the pattern pages, the trackline's among them: the plan page is the last.
  installSearchPlan();
  restore();
  refresh();
}

Window::~Window() = default;

void Window::arrangeLayout() {
  auto* group = qobject_cast<QGroupBox*>(GetCtrlWidget(panel_, kPlanGroup));
  auto* column = group != nullptr ? qobject_cast<QBoxLayout*>(group->layout()) : nullptr;
  if (column != nullptr) {
    planView_ = new PlanView(group);
    column->addWidget(planView_, 1);
  }
  for (const auto& [page, control] :
       {std::pair{kSquarePage, square_page::kCount}, {kParallelPage, parallel_page::kLoops}}) {
    int fields = 0;
    GetPanelHandleFromTabPage(panel_, kSearchTabs, page, &fields);
    if (auto* count = qobject_cast<QSpinBox*>(GetCtrlWidget(fields, control))) {
      count->setMaximum(std::min(count->maximum(), kMaxCount));
    }
  }
  // The object class choice, then the forecast files, under the drift group's fields.
  if (auto* grid = widget<QGridLayout>("driftGrid")) {
    driftObject_ = new DriftObjectChoice(texts_, nullptr);
    grid->addWidget(driftObject_, grid->rowCount(), 0, 1, grid->columnCount());
    forecast_ = new ForecastFiles(texts_, [this](const std::string& text) { showStatus(text); });
    forecast_->setChanged([this] { refresh(); });
    grid->addWidget(forecast_, grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (auto* workspace = widget<QSplitter>("workspace")) {
    workspace->setStretchFactor(0, 0);
    workspace->setStretchFactor(1, 1);
  }
  // A long message (the names of five hundred route parts) takes three lines at most; its tool
  // tip holds it whole.
  if (auto* status = qobject_cast<QLabel*>(GetCtrlWidget(panel_, kStatusLine))) {
    status->setMaximumHeight(3 * status->fontMetrics().lineSpacing() + 2);
  }
  // Small enough for a 1280 x 720 screen with its title bar and a panel, large enough that the
  // bars at the top and the foot keep their words; the pages and the plan scroll within it.
  form_->setMinimumSize(kMinimumWindow);
}

void Window::shareTheWorkspace() {
  auto* workspace = widget<QSplitter>("workspace");
  auto* pages = widget<QWidget>("pagesColumn");
  if (workspace == nullptr || pages == nullptr || workspace->count() != 2) return;
  // The pages as wide as they ask, with room for a scroll bar; the plan takes the rest. A share
  // the pages already have is kept: the operator may have widened them.
  const int total = workspace->width() - workspace->handleWidth();
  const int wanted = std::min(pages->sizeHint().width() + 24, total / 2);
  const int left = std::max(wanted, workspace->sizes().value(0));
  if (left >= total) return;
  workspace->setSizes({left, total - left});
}

void Window::buildMenus() {
  if (form_->layout() == nullptr) return;
  menuBar_ = new QMenuBar(form_);
  menuBar_->setObjectName("menuBar");
  form_->layout()->setMenuBar(menuBar_);
  Actions& a = *actions_;
  const auto add = [this](QMenu* menu, const char* name, QKeySequence keys, auto command) {
    auto* action = new QAction(menu);
    action->setObjectName(name);
    if (!keys.isEmpty()) action->setShortcut(keys);
    connect(action, &QAction::triggered, this, command);
    menu->addAction(action);
    // On the window too, so that the shortcut works wherever the focus is in it.
    form_->addAction(action);
    return action;
  };
  a.file = menuBar_->addMenu(QString());
  a.write =
      add(a.file, "writeAction", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { writeShownPage(); });
  a.briefing =
      add(a.file, "briefingAction", QKeySequence(Qt::CTRL | Qt::Key_P), [this] { saveBriefing(); });
  a.send = add(a.file, "sendAction", QKeySequence(), [this] { sendToPlotter(); });
  a.file->addSeparator();
  a.openFolder = add(a.file, "openFolderAction", QKeySequence(), [this] { openOutputFolder(); });
  a.chooseFolder =
      add(a.file, "chooseFolderAction", QKeySequence(), [this] { chooseOutputFolder(); });
  a.file->addSeparator();
  a.quit = add(a.file, "quitAction", QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { quit(); });
  a.edit = menuBar_->addMenu(QString());
  a.copy = add(a.edit, "copyPositionAction", QKeySequence(), [this] {
    if (datumEntry_ != nullptr) datumEntry_->copyPosition();
  });
  a.paste = add(a.edit, "pastePositionAction", QKeySequence(), [this] {
    if (datumEntry_ != nullptr) datumEntry_->pastePosition();
  });
  landMenu_ = new LandMenu(
      menuBar_, [this] { chooseLand(); }, this);
  a.help = menuBar_->addMenu(QString());
  a.helpPage = add(a.help, "helpAction", QKeySequence(Qt::Key_F1), [this] { showHelp(); });
  a.about = add(a.help, "aboutAction", QKeySequence(), [this] { showAbout(); });
}

void Window::listen() {
  const auto redraw = [this] { refresh(); };
  const auto follow = [this, redraw](QWidget* w) {
    if (auto* spin = qobject_cast<QSpinBox*>(w)) {
      connect(spin, &QSpinBox::valueChanged, this, redraw);
    } else if (auto* spinDouble = qobject_cast<QDoubleSpinBox*>(w)) {
      connect(spinDouble, &QDoubleSpinBox::valueChanged, this, redraw);
    } else if (auto* ring = qobject_cast<QComboBox*>(w)) {
      connect(ring, &QComboBox::currentIndexChanged, this, redraw);
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
      connect(line, &QLineEdit::textChanged, this, redraw);
    }
  };
  for (int control = kLatitudeDegrees; control <= kLongitudeDegrees + 3; ++control) {
    QWidget* field = GetCtrlWidget(panel_, control);
    follow(field);
    // Any change of the datum fields enters a datum, as typing into them or pasting does.
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(field)) {
      connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { datumEntered_ = true; });
    } else if (auto* ring = qobject_cast<QComboBox*>(field)) {
      connect(ring, &QComboBox::currentIndexChanged, this, [this] { datumEntered_ = true; });
    }
  }
  // The stem names the routes in the legend.
  for (int control : {kDateField, kTimeField, kSearchSpeed, kSweepWidth, kMaxPointsChoice}) {
    follow(GetCtrlWidget(panel_, control));
  }
  if (auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs))) {
    connect(tabs, &QTabWidget::currentChanged, this, redraw);
    for (int i = kSquarePage; i < tabs->count(); ++i) {
      QWidget* page = tabs->widget(i);
      // Return in a page runs its command, once the field has taken what was typed.
      page->installEventFilter(this);
      for (QWidget* field : page->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractSpinBox*>(field) != nullptr ||
            qobject_cast<QComboBox*>(field) != nullptr) {
          follow(field);
        }
      }
    }
  }
  // What the window remembers is remembered as it changes.
  const auto keep = [this] {
    if (!restoring_) remember();
  };
  for (int control :
       {kSearchSpeed, kSweepWidth, kFormatChoice, kMaxPointsChoice, kLatitudeDegrees,
        kLatitudeDegrees + 1, kLatitudeDegrees + 2, kLatitudeDegrees + 3, kLongitudeDegrees,
        kLongitudeDegrees + 1, kLongitudeDegrees + 2, kLongitudeDegrees + 3}) {
    QWidget* field = GetCtrlWidget(panel_, control);
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(field)) {
      connect(spin, &QDoubleSpinBox::valueChanged, this, keep);
    } else if (auto* ring = qobject_cast<QComboBox*>(field)) {
      connect(ring, &QComboBox::currentIndexChanged, this, keep);
    }
  }
  if (auto* choose = widget<QPushButton>("chooseFolderButton")) {
    connect(choose, &QPushButton::clicked, this, [this] { chooseOutputFolder(); });
  }
  form_->installEventFilter(this);
}

void Window::restore() {
  restoring_ = true;
  QSettings& s = *settings_;
  auto* speed = qobject_cast<QDoubleSpinBox*>(GetCtrlWidget(panel_, kSearchSpeed));
  auto* sweep = qobject_cast<QDoubleSpinBox*>(GetCtrlWidget(panel_, kSweepWidth));
  // Every value is checked before any is shown: a file that does not parse, or holds a key or a
  // value that makes no sense, is set aside whole, since a half-read one could mix two runs.
  static const QStringList kKeys = {kLanguageKey, kFolderKey,   kFormatKey,   kSplitKey,
                                    kSpeedKey,    kSweepKey,    kLatitudeKey, kLongitudeKey,
                                    kGeometryKey, kSplitterKey, kLandKey};
  bool sound = s.status() == QSettings::NoError;
  for (const QString& key : s.allKeys()) {
    sound = sound && (kKeys.contains(key) || key == PlotterLink::kTargetKey ||
                      PatternMotion::keepsSetting(key, s.value(key)));
  }
  const auto read = [&s, &sound](const char* key, double low, double high, bool whole = false) {
    if (!s.contains(key)) return std::optional<double>();
    bool ok = false;
    const double value = s.value(key).toDouble(&ok);
    if (ok && value >= low && value <= high && (!whole || value == std::floor(value))) {
      return std::optional<double>(value);
    }
    sound = false;
    return std::optional<double>();
  };
  const std::optional<double> language = read(kLanguageKey, 0, 4, true);
  const std::optional<double> format = read(kFormatKey, 0, 2, true);
  const std::optional<double> split = read(kSplitKey, 0, 3, true);
  const std::optional<double> speedValue =
      speed != nullptr ? read(kSpeedKey, speed->minimum(), speed->maximum()) : std::nullopt;
  const std::optional<double> sweepValue =
      sweep != nullptr ? read(kSweepKey, sweep->minimum(), sweep->maximum()) : std::nullopt;
  const std::optional<double> lat = read(kLatitudeKey, -90.0, 90.0);
  const std::optional<double> lon = read(kLongitudeKey, -180.0, 180.0);
  const std::optional<double> landValue = read(kLandKey, 0, kLandSettings - 1, true);
  const std::string folder = s.value(kFolderKey).toString().toStdString();
  if (s.contains(kFolderKey) && !IsFolder(folder)) sound = false;

  const int languageValue = sound && language ? static_cast<int>(*language) : 0;
  SetCtrlVal(panel_, kFormatChoice, sound && format ? static_cast<int>(*format) : 0);
  SetCtrlVal(panel_, kMaxPointsChoice, sound && split ? static_cast<int>(*split) : 0);
  if (sound && speedValue) speed->setValue(*speedValue);
  if (sound && sweepValue) sweep->setValue(*sweepValue);
  if (landMenu_ != nullptr) {
    landMenu_->setSetting(sound && landValue ? static_cast<LandSetting>(*landValue)
                                             : LandSetting::Automatic);
  }
  // Only a datum someone entered names a place; 0 degrees 0 degrees is no one's.
  datumEntered_ = sound && lat && lon;
  if (datumEntered_) SetDatum(panel_, *lat, *lon);
  outputFolder_ = sound && IsFolder(folder) ? folder : DefaultFolder();
  if (sound && motion_ != nullptr) motion_->restore(s);
  if (sound) {
    form_->restoreGeometry(s.value(kGeometryKey).toByteArray());
    if (auto* workspace = widget<QSplitter>("workspace")) {
      splitRestored_ = workspace->restoreState(s.value(kSplitterKey).toByteArray());
    }
  }
  SetCtrlVal(panel_, kLanguageSelector, languageValue);
  chooseLanguage(LanguageFile(languageValue));
  setOutputFolder(outputFolder_);
  restoring_ = false;
  if (!sound) {
    // Written afresh at once, so that the next run finds sound settings.
    s.clear();
    remember();
    showStatus(texts_.get(Text::SettingsDamaged));
  }
}

void Window::remember() {
  QSettings& s = *settings_;
  s.setValue(kLanguageKey, RingValue(panel_, kLanguageSelector, 0));
  s.setValue(kFolderKey, Q(outputFolder_));
  s.setValue(kFormatKey, RingValue(panel_, kFormatChoice, 0));
  s.setValue(kSplitKey, RingValue(panel_, kMaxPointsChoice, 0));
  s.setValue(kSpeedKey, NumberValue(panel_, kSearchSpeed, 8.0));
  s.setValue(kSweepKey, NumberValue(panel_, kSweepWidth, 0.0));
  const double lat = GetDegLatitude(panel_);
  const double lon = GetDegLongitude(panel_);
  if (datumEntered_ && std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0) {
    s.setValue(kLatitudeKey, lat);
    s.setValue(kLongitudeKey, lon);
  }
  if (landMenu_ != nullptr) s.setValue(kLandKey, static_cast<int>(landMenu_->setting()));
  s.setValue(kGeometryKey, form_->saveGeometry());
  if (auto* workspace = widget<QSplitter>("workspace")) {
    s.setValue(kSplitterKey, workspace->saveState());
  }
  if (motion_ != nullptr) motion_->remember(s);
}

bool Window::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_) {
    if (event->type() == QEvent::Close) remember();
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && !restoring_) {
      settings_->setValue(kGeometryKey, form_->saveGeometry());
    }
    // Once, when the window first shows its size, unless a remembered split says otherwise.
    if (event->type() == QEvent::Show && !shared_) {
      shared_ = true;
      if (!splitRestored_) shareTheWorkspace();
    }
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs));
    const int page = tabs != nullptr ? tabs->indexOf(static_cast<QWidget*>(watched)) : -1;
    int fields = 0;
    GetPanelHandleFromTabPage(panel_, kSearchTabs, page, &fields);
    if (auto* command = qobject_cast<QAbstractButton*>(GetCtrlWidget(fields, PageCommand(page)))) {
      command->click();
      return true;
    }
  }
  return false;
}

int Window::shownPage() const {
  const auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs));
  return tabs != nullptr ? tabs->currentIndex() : kStartPage;
}

void Window::showStatus(const std::string& text) {
  SetCtrlVal(panel_, kStatusLine, text.c_str());
  if (QWidget* status = GetCtrlWidget(panel_, kStatusLine)) SetPlainToolTip(status, text);
}

const AppliedDrift* Window::currentDrift() const {
  if (!applied_) return nullptr;
  // Exact: the fields hold what SetDatum wrote until someone changes them.
  if (GetDegLatitude(panel_) != applied_->datumLat ||
      GetDegLongitude(panel_) != applied_->datumLon) {
    return nullptr;
  }
  return &*applied_;
}

void Window::updateDatumTitle() {
  const Text title = currentDrift() != nullptr ? Text::DatumDriftedGroup : Text::DatumGroup;
  SetCtrlAttribute(panel_, kDatumGroup, ATTR_LABEL_TEXT, texts_.get(title).c_str());
}

void Window::refresh() {
  updateDatumTitle();
  if (planView_ == nullptr) return;
  if (searchPlanShown()) return refreshSearchPlan();
  const int page = shownPage();
  vestrand::PatternParams params;
  vestrand::PatternNames names;
  std::string problem;
  const bool described = readPage(page, params, problem);
  // A pattern the command would refuse is not drawn: the preview says why instead.
  if (described) problem = PatternExtentProblem(params, texts_);
  const std::string stem = CurrentStem(panel_);
  if (!described || !problem.empty() ||
      !vestrand::composePatternNames(params, stem.c_str(), names)) {
    const Text hint = page == kStartPage ? Text::StartHint : Text::NoPattern;
    planView_->showMessage(Q(!problem.empty() ? problem : texts_.get(hint)));
    return;
  }
  vestrand::PlanDrawingSink drawingSink(params);
  vestrand::sailPattern(params, names, drawingSink);
  // Sailed again for the summary: a pattern laid in drifting water is summarised through the
  // water, as the command line's is.
  const vestrand::PlanSummary summary = vestrand::summarizePattern(params, names);
  const int split = RingValue(panel_, kMaxPointsChoice, 0);
  // The ground pattern (faint) or the intended route (dashed) beneath the drift's line.
  vestrand::PlanExtras extras = vestrand::patternGuideLines(params, names);
  vestrand::PlanExtras drift = DriftExtras(currentDrift(), texts_);
  extras.lines.insert(extras.lines.end(), drift.lines.begin(), drift.lines.end());
  extras.marks.insert(extras.marks.end(), drift.marks.begin(), drift.marks.end());
  extras.lengthFormat = texts_.get(Text::Length);
  std::vector<vestrand::SummaryRow> rows = WindowSummaryRows(
      params, summary, NumberValue(panel_, kSearchSpeed, 8.0),
      NumberValue(panel_, kSweepWidth, 0.0), split >= 0 && split < 4 ? kSplits[split] : 0, texts_);
  const PatternLand land = CheckPatternLand(landSetting(), params, names, summary, texts_);
  for (const std::string& warning : land.warnings) {
    rows.push_back({texts_.get(Text::LandRow), warning});
  }
  vestrand::PlanDrawing drawing = drawingSink.take();
  if (forecast_ != nullptr && !forecast_->empty() && forecast_->arrowsShown()) {
    // At the datum time: the last known position's time and the hours of the drift applied.
    if (const std::optional<double> known = lastKnownSeconds()) {
      const double time = *known + (applied_ ? applied_->hours * 3600.0 : 0.0);
      forecast_->addArrows(drawing.datumLat, drawing.datumLon, drawing.bounds, time, extras, rows);
    }
  }
  planView_->preview()->setLand(land.mask);
  planView_->showPlan(std::move(drawing), std::move(extras), rows);
}

std::optional<double> Window::lastKnownSeconds() const {
  // The date and time fields, taken as UTC as the files are.
  const std::string date = FieldText(panel_, kDateField);
  const std::string time = FieldText(panel_, kTimeField);
  int y = 0, mo = 0, da = 0, h = 0, mi = 0, se = 0;
  double seconds = 0.0;
  std::string error;
  char iso[64] = "";
  if (!IsRealDate(date) || !IsRealTime(time) ||
      std::sscanf(date.c_str(), "%d/%d/%d", &y, &mo, &da) != 3 ||
      std::sscanf(time.c_str(), "%d:%d:%d", &h, &mi, &se) != 3 ||
      std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02dZ", y, mo, da, h, mi, se) <= 0 ||
      !vestrand::fields::parseIsoTime(iso, seconds, error)) {
    return std::nullopt;
  }
  return seconds;
}

LandSetting Window::landSetting() const {
  return landMenu_ != nullptr ? landMenu_->setting() : LandSetting::Automatic;
}

void Window::chooseLand() {
  refresh();
  if (!restoring_) remember();
  std::string note;
  const auto mask = ChooseWindowLand(landSetting(), 0.0, texts_, note);
  if (landSetting() == LandSetting::None) {
    showStatus(texts_.get(Text::LandNotDrawn));
  } else if (landSetting() == LandSetting::Automatic || mask == nullptr) {
    showStatus(note.empty()
                   ? texts_.get(landSetting() == LandSetting::Automatic ? Text::LandAutomatic
                                                                        : Text::LandNotDrawn)
                   : note);
  } else {
    showStatus(texts_.get(Text::LandDrawn, {vestrand::land::resolutionName(mask->resolution())}));
  }
}

std::string Window::landWarningsText(const vestrand::PatternParams& params,
                                     const vestrand::PatternNames& names,
                                     std::shared_ptr<const vestrand::land::LandMask>* mask) const {
  const PatternLand land = CheckPatternLand(landSetting(), params, names,
                                            vestrand::summarizePattern(params, names), texts_);
  if (mask != nullptr) *mask = land.mask;
  std::string text;
  for (const std::string& warning : land.warnings) text += "; " + warning;
  return text;
}

void Window::reportFailure(Text failure, const std::string& reason) {
  showStatus(texts_.get(Text::NotWrittenStatus, {reason}));
  const std::string message = texts_.get(failure) + "\n\n" + reason + "\n\n" +
                              texts_.get(Text::FolderLine, {outputFolder_});
  MessagePopup(texts_.get(Text::NotWrittenTitle).c_str(), message.c_str());
}

bool Window::readPage(int page, vestrand::PatternParams& params, std::string& problem) const {
  problem.clear();
  if (trackline_ != nullptr && page == trackline_->index()) {
    return trackline_->read(texts_, params, problem);
  }
  if (!ReadSearchPage(panel_, page, params)) return false;
  return motion_ == nullptr ||
         motion_->apply(page, currentDrift(), NumberValue(panel_, kSearchSpeed, 8.0), texts_,
                        params, problem);
}

bool Window::readPageToWrite(int page, Text failure, vestrand::PatternParams& params,
                             std::string& stem) {
  std::string problem;
  if (checkPage(page, params, stem, problem)) return true;
  if (!problem.empty()) reportFailure(failure, problem);
  return false;
}

bool Window::checkPage(int page, vestrand::PatternParams& params, std::string& stem,
                       std::string& problem) {
  const bool described = readPage(page, params, problem);
  stem = CurrentStem(panel_);
  // The historical stem follows every command, as the generators' callers expect.
  std::snprintf(gpxFileNameWithoutExt, sizeof gpxFileNameWithoutExt, "%s", stem.c_str());
  if (!described) return false;
  const bool latitude = !(std::fabs(params.lat) <= 90.0);
  // A trackline starts at its route's first point, not at the datum.
  if (!datumEntered_ && params.kind != vestrand::PatternKind::Trackline) {
    problem = texts_.get(Text::DatumNotEntered);
  } else if (latitude || !(std::fabs(params.lon) <= 180.0)) {
    // Degrees at their limit with minutes or seconds beyond it name no place on the chart.
    problem = texts_.get(
        Text::DatumFieldsBeyond,
        {texts_.get(latitude ? Text::LatitudeLabel : Text::LongitudeLabel),
         vestrand::fixedText(latitude ? params.lat : params.lon, 6), latitude ? "90" : "180"});
  } else {
    problem = PatternExtentProblem(params, texts_);
  }
  const std::string date = FieldText(panel_, kDateField);
  const std::string time = FieldText(panel_, kTimeField);
  if (problem.empty() && !IsRealDate(date)) problem = texts_.get(Text::DateRefused, {date});
  if (problem.empty() && !IsRealTime(time)) problem = texts_.get(Text::TimeRefused, {time});
  return problem.empty();
}

bool Window::mayReplace(const std::vector<std::string>& paths) {
  std::string names;
  for (const std::string& path : paths) {
    // Only a file can be replaced; the writer refuses a folder or a link of the name itself.
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error))) continue;
    names += (names.empty() ? "" : ", ") + FileName(path);
  }
  if (names.empty()) return true;
  if (AskPopup(texts_.get(Text::ReplaceTitle).c_str(),
               texts_.get(Text::ReplaceQuestion, {names, outputFolder_}).c_str(),
               texts_.get(Text::ReplaceButton).c_str(),
               texts_.get(Text::KeepButton).c_str()) == 1) {
    return true;
  }
  showStatus(texts_.get(Text::NothingReplaced));
  return false;
}

void Window::writePage(int page) {
  vestrand::PatternParams params;
  std::string stem;
  if (!readPageToWrite(page, Text::PatternFailure, params, stem)) return;
  vestrand::PatternFiles files;
  const int format = RingValue(panel_, kFormatChoice, 0);
  const int split = RingValue(panel_, kMaxPointsChoice, 0);
  files.gpx = format != 1;
  files.rtz = format == 1 || format == 2;
  files.maxPoints = split >= 0 && split < 4 ? kSplits[split] : 0;
  std::vector<std::string> paths;
  std::string error;
  if (!vestrand::patternFilePaths(params, stem.c_str(), outputFolder_, files, paths, error)) {
    reportFailure(Text::PatternFailure, error);
    return;
  }
  if (!mayReplace(paths)) return;
  std::vector<std::string> written;
  if (!vestrand::writePatternFiles(params, stem.c_str(), outputFolder_, files, written, error)) {
    reportFailure(Text::PatternFailure, error);
    return;
  }
  std::string names;
  std::string warnings;
  for (const std::string& path : written) {
    names += (names.empty() ? "" : ", ") + FileName(path);
    std::error_code unknown;
    if (path.ends_with(".rtz") &&
        std::filesystem::file_size(path, unknown) > vestrand::kRtzSizeWarning && !unknown) {
      warnings += "; " + texts_.get(Text::LargeRtz, {FileName(path)});
    }
  }
  vestrand::PatternNames patternNames;
  if (vestrand::composePatternNames(params, stem.c_str(), patternNames)) {
    warnings += landWarningsText(params, patternNames);
  }
  showStatus(texts_.get(Text::Written, {names}) + warnings);
}

void Window::writeShownPage() {
  const int page = shownPage();
  if (page == kStartPage) {
    showStatus(texts_.get(Text::StartHint));
    return;
  }
  if (searchPlanShown()) return writeSearchPlan();
  writePage(page);
}

bool Window::readStart(std::optional<vestrand::ClockTime>& start, std::string& refusal) const {
  start.reset();
  const auto* field = widget<QLineEdit>("startTime");
  const std::string given = field != nullptr ? field->text().trimmed().toStdString() : "";
  if (given.empty()) return true;
  // HH:MM falls on the plan's date.
  vestrand::ClockTime today;
  int date[3] = {0, 0, 0};
  const std::string dateText = FieldText(panel_, kDateField);
  if (std::sscanf(dateText.c_str(), "%d/%d/%d", &date[0], &date[1], &date[2]) == 3) {
    today.year = date[0];
    today.month = date[1];
    today.day = date[2];
  }
  vestrand::ClockTime at;
  std::string error;
  if (!vestrand::parseClockTime(given, today, at, error)) {
    refusal = texts_.get(Text::StartTimeRefused, {given});
    return false;
  }
  start = at;
  return true;
}

void Window::saveBriefing() {
  const int page = shownPage();
  if (page == kStartPage) {
    showStatus(texts_.get(Text::StartHint));
    return;
  }
  if (searchPlanShown()) return saveSearchPlanBriefing();
  BriefingContent content;
  std::string stem;
  if (!readPageToWrite(page, Text::BriefingFailure, content.params, stem)) return;
  if (!vestrand::composePatternNames(content.params, stem.c_str(), content.names)) {
    reportFailure(Text::BriefingFailure, texts_.get(Text::LongName));
    return;
  }
  std::string refusal;
  if (!readStart(content.start, refusal)) {
    reportFailure(Text::BriefingFailure, refusal);
    return;
  }
  content.speed = NumberValue(panel_, kSearchSpeed, 8.0);
  content.sweepWidth = NumberValue(panel_, kSweepWidth, 0.0);
  const int split = RingValue(panel_, kMaxPointsChoice, 0);
  content.maxPoints = split >= 0 && split < 4 ? kSplits[split] : 0;
  content.dateAndTime = FieldText(panel_, kDateField) + " " + FieldText(panel_, kTimeField);
  if (const AppliedDrift* drift = currentDrift()) content.drift = *drift;
  const std::string landWarnings = landWarningsText(content.params, content.names, &content.land);
  std::string file = content.names.file;
  if (file.ends_with(".gpx")) file.resize(file.size() - 4);
  const std::string path = vestrand::pathInFolder(outputFolder_, file + " briefing.pdf");
  if (!mayReplace({path})) return;
  std::string error;
  if (!WriteBriefing(path, content, texts_, error)) {
    reportFailure(Text::BriefingFailure, error);
    return;
  }
  showStatus(texts_.get(Text::BriefingWritten, {FileName(path)}) + landWarnings);
}

void Window::applyDrift() {
  std::string refusal;
  std::optional<ClassWind> byClass;
  if (driftObject_ != nullptr && driftObject_->byClass()) byClass = driftObject_->read(refusal);
  std::optional<AppliedDrift> d =
      refusal.empty() ? ReadDrift(panel_, texts_, refusal, byClass ? &*byClass : nullptr)
                      : std::nullopt;
  if (!d) {
    showStatus(texts_.get(Text::DriftRefused, {refusal}));
    return;
  }
  if (forecast_ != nullptr && !forecast_->empty() && !driftThroughFiles(*d)) return;
  // Forgotten while the fields change, so that no half-written datum shows the drift.
  applied_.reset();
  SetDatum(panel_, d->drifted.lat, WrappedLongitude(d->drifted.lon));
  d->datumLat = GetDegLatitude(panel_);
  d->datumLon = GetDegLongitude(panel_);
  applied_ = d;
  datumEntered_ = true;
  if (datumEntry_ != nullptr) datumEntry_->showDatumInField();
  refresh();
  if (!restoring_) remember();
  if (d->byClass) {
    const auto at = [](const vestrand::DriftedDatum& p) {
      return vestrand::positionText(p.lat, WrappedLongitude(p.lon));
    };
    showStatus(texts_.get(Text::DriftDatumsApplied,
                          {at(d->datums.downwind), at(d->datums.left), at(d->datums.right),
                           vestrand::fixedText(d->datums.divergence, 2)}));
    return;
  }
  showStatus(texts_.get(Text::DriftApplied, {vestrand::fixedText(d->drifted.distance, 2),
                                             vestrand::fixedText(d->drifted.course, 1),
                                             vestrand::fixedText(d->drifted.speed, 2)}));
}

bool Window::driftThroughFiles(AppliedDrift& d) {
  const std::optional<double> known = lastKnownSeconds();
  if (!known) {
    showStatus(texts_.get(Text::DriftRefused,
                          {texts_.get(Text::DateRefused, {FieldText(panel_, kDateField) + " " +
                                                          FieldText(panel_, kTimeField)})}));
    return false;
  }
  const double seconds = *known;
  ForecastFiles::Result r = forecast_->drift(d, seconds, vestrand::fields::OutsidePolicy::Refuse);
  if (r.datums.fault == vestrand::DriftFault::Outside) {
    // Never filled silently: the operator says whether the constants serve outside the files.
    if (AskPopup(texts_.get(Text::OutsideTitle).c_str(),
                 texts_.get(Text::OutsideQuestion, {r.outside}).c_str(),
                 texts_.get(Text::UseConstantButton).c_str(),
                 texts_.get(Text::CancelDriftButton).c_str()) != 1) {
      showStatus(texts_.get(Text::DriftOutsideCancelled));
      return false;
    }
    r = forecast_->drift(d, seconds, vestrand::fields::OutsidePolicy::Constant);
  }
  if (r.datums.fault != vestrand::DriftFault::None) {
    showStatus(texts_.get(Text::ForecastDriftFailed,
                          {vestrand::positionText(r.datums.faultLat, r.datums.faultLon),
                           vestrand::fields::isoTimeText(r.datums.faultTime)}));
    return false;
  }
  d.drifted = r.datums.datums.downwind;
  if (d.byClass) d.datums = r.datums.datums;
  return true;
}

void Window::chooseLanguage(const char* fileName) {
  if (fileName == nullptr) return;
  // The historical table and its twenty-two texts first, as the historical callbacks did.
  ReadLanguajeResourceFile(fileName);
  ChageMenuLanguaje(panel_);
  texts_.read(fileName);
  relabel();
  reportLanguageFile(fileName);
  if (!restoring_) remember();
}

void Window::reportLanguageFile(const char* fileName) {
  const int missing = texts_.missingLines();
  if (missing < 0) {
    showStatus(texts_.get(Text::LanguageUnread, {fileName}));
  } else if (missing > 0) {
    showStatus(texts_.get(Text::LanguageIncomplete, {fileName, std::to_string(missing)}));
  } else {
    showStatus(texts_.get(Text::FilesWrittenHere));
  }
}

void Window::relabel() {
  RelabelLayoutTexts(form_, texts_);
  relabelSearchPlan();
  if (datumEntry_ != nullptr) datumEntry_->relabel();
  if (motion_ != nullptr) motion_->relabel(texts_);
  if (trackline_ != nullptr) trackline_->relabel(texts_);
  if (plotter_ != nullptr) plotter_->relabel();
  const Actions& a = *actions_;
  if (a.file != nullptr) {
    const std::pair<QAction*, Text> actions[] = {
        {a.file->menuAction(), Text::FileMenu},
        {a.write, Text::WriteAction},
        {a.briefing, Text::BriefingLabel},
        {a.send, Text::SendAction},
        {a.openFolder, Text::OpenFolderLabel},
        {a.chooseFolder, Text::ChooseFolderAction},
        {a.quit, Text::QuitAction},
        {a.edit->menuAction(), Text::EditMenu},
        {a.copy, Text::CopyPositionAction},
        {a.paste, Text::PastePositionAction},
        {a.help->menuAction(), Text::HelpMenu},
        {a.helpPage, Text::HelpAction},
        {a.about, Text::AboutAction},
    };
    for (const auto& [action, text] : actions) action->setText(MenuText(texts_.get(text)));
  }
  if (landMenu_ != nullptr) landMenu_->relabel(texts_);
  if (forecast_ != nullptr) forecast_->relabel();
  if (driftObject_ != nullptr) driftObject_->relabel();
  // A dialog that is open follows the language; a closed one is made afresh when asked for.
  // Longer words may need wider pages.
  if (shared_) shareTheWorkspace();
  if (help_ != nullptr && help_->isVisible()) showHelp();
  if (about_ != nullptr && about_->isVisible()) showAbout();
  refresh();
}

bool Window::setOutputFolder(const std::string& folder) {
  if (!IsFolder(folder)) return false;
  outputFolder_ = folder;
  if (auto* shown = widget<QLabel>("outputFolderPath")) {
    shown->setText(Q(folder));
    shown->setToolTip(Q(folder));
  }
  if (!restoring_) remember();
  return true;
}

void Window::openOutputFolder() {
  if (!IsFolder(outputFolder_)) {
    showStatus(texts_.get(Text::FolderUnknown, {outputFolder_}));
    return;
  }
  if (InetLaunchDefaultWebBrowser(outputFolder_.c_str()) != 0) {
    showStatus(texts_.get(Text::FolderNotOpened, {outputFolder_}));
  }
}

void Window::chooseOutputFolder() {
  std::string chosen;
  if (DirSelectPopup(outputFolder_, texts_.get(Text::ChooseFolderAction), chosen) != 1) return;
  if (setOutputFolder(chosen)) {
    showStatus(texts_.get(Text::FolderChosen, {chosen}));
  } else {
    showStatus(texts_.get(Text::FolderUnknown, {chosen}));
  }
}

namespace {

// A small window of its own beside the main one, with a close button in the window's language.
QDialog* TextDialog(QWidget* parent, const char* name, QWidget* content, const QString& close) {
  auto* dialog = new QDialog(parent);
  dialog->setObjectName(name);
  auto* column = new QVBoxLayout(dialog);
  column->addWidget(content, 1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  auto* button = new QPushButton(close, dialog);
  button->setObjectName("closeButton");
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::close);
  row->addWidget(button);
  column->addLayout(row);
  return dialog;
}

QString Paragraphs(std::initializer_list<std::string> texts) {
  QString html;
  for (const std::string& text : texts) html += "<p>" + Q(text).toHtmlEscaped() + "</p>";
  return html;
}

}  // namespace

void Window::showHelp() {
  const QString close = MenuText(texts_.get(Text::CloseButton));
  if (help_ == nullptr) {
    auto* browser = new QTextBrowser;
    browser->setObjectName("helpText");
    help_ = TextDialog(form_, "helpDialog", browser, close);
    help_->resize(560, 520);
  }
  help_->setWindowTitle(Q(texts_.get(Text::HelpAction)));
  help_->findChild<QPushButton*>("closeButton")->setText(close);
  help_->findChild<QTextBrowser*>("helpText")
      ->setHtml("<h3>" + Q(texts_.get(Text::WindowTitle)).toHtmlEscaped() + "</h3>" +
                Paragraphs({texts_.get(Text::HelpDatum), texts_.get(Text::HelpDrift),
                            texts_.get(Text::HelpPages), texts_.get(Text::HelpFiles),
                            texts_.get(Text::HelpBriefing), texts_.get(Text::HelpKeys)}));
  help_->show();
  help_->raise();
}

void Window::showAbout() {
  const QString close = MenuText(texts_.get(Text::CloseButton));
  if (about_ == nullptr) {
    auto* text = new QLabel;
    text->setObjectName("aboutText");
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setMinimumWidth(380);
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    auto* icon = new QLabel;
    icon->setPixmap(VestrandIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);
    row->addWidget(text, 1);
    about_ = TextDialog(form_, "aboutDialog", content, close);
  }
  about_->setWindowTitle(Q(texts_.get(Text::AboutAction)));
  about_->findChild<QPushButton*>("closeButton")->setText(close);
  about_->findChild<QLabel*>("aboutText")
      ->setText("<h3>Vestrand " VESTRAND_VERSION "</h3>" +
                Paragraphs({texts_.get(Text::AboutText, {VESTRAND_VERSION}),
                            texts_.get(Text::AboutData)}));
  about_->show();
  about_->raise();
}

void Window::quit() {
  remember();
  settings_->sync();
  QuitUserInterface(0);
}

void Window::addPatternControls() {
  const auto changed = [this] {
    refresh();
    if (!restoring_) remember();
  };
  motion_ = new PatternMotion(panel_, this, changed);
  if (auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs))) {
    trackline_ = new TracklinePage(tabs, motion_, changed, [this] {
      if (trackline_ != nullptr) writePage(trackline_->index());
    });
  }
  plotter_ = new PlotterLink(
      form_, *settings_, texts_,
      [this](std::vector<vestrand::NmeaRoute>& routes, std::string& refusal) {
        vestrand::PatternParams params;
        std::string stem;
        if (!checkPage(shownPage(), params, stem, refusal)) {
          if (refusal.empty()) refusal = texts_.get(Text::NoPattern);
          return false;
        }
        vestrand::PatternNames names;
        if (!vestrand::composePatternNames(params, stem.c_str(), names)) {
          refusal = texts_.get(Text::LongName);
          return false;
        }
        routes = PatternNmeaRoutes(params, names);
        return true;
      },
      [this](const std::string& text) { showStatus(text); });
}

void Window::sendToPlotter() {
  if (shownPage() == kStartPage) {
    showStatus(texts_.get(Text::StartHint));
    return;
  }
  if (plotter_ != nullptr) plotter_->ask();
}
