#include "SearchPlanPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "SearchAids.h"
#include "cloud_area.h"
#include "drift_forcing.h"
#include "field_forcing.h"
#include "field_time.h"
#include "gshhg_file.h"
#include "land_grid.h"
#include "number_text.h"
#include "particle_cloud.h"
#include "position_text.h"
#include "search_figure.h"

using vestrand::Text;
namespace drift = vestrand::drift;

namespace {

// The limits of the command line's plan, so that the page refuses what it refuses.
constexpr double kMaxUnitSpeed = 300.0;   // knots
constexpr double kMaxSweepWidth = 100.0;  // nautical miles
constexpr double kMaxPositionError = 500.0;
constexpr std::size_t kMaxUnitName = 20;
constexpr std::uint64_t kSeed = 1;  // as the command line's default

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool UnitNameFits(const std::string& name) {
  if (name.empty() || name.size() > kMaxUnitName) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
  });
}

// The outlines of a map as dashed lines: 50 % dark, 90 % lighter.
void AddOutlines(const std::vector<drift::OutlineRing>& rings, vestrand::Rgb colour,
                 vestrand::PlanExtras& extras) {
  for (const drift::OutlineRing& ring : rings) {
    vestrand::ExtraLine line;
    line.colour = colour;
    line.width = 1.5;
    line.dashed = false;
    for (std::size_t i = 0; i < ring.lat.size(); ++i)
      line.points.push_back({ring.lat[i], ring.lon[i]});
    extras.lines.push_back(std::move(line));
  }
}

}  // namespace

SearchPlanPage::SearchPlanPage(const vestrand::LanguageTexts& texts, QWidget* parent)
    : QWidget(parent), texts_(texts) {
  setObjectName("searchPlanPage");
  auto* column = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  column->addLayout(form);
  const auto row = [this, form](QWidget* field, Text label) {
    auto* name = new QLabel(this);
    name->setWordWrap(true);
    labels_.emplace_back(name, label);
    form->addRow(name, field);
  };
  const auto line = [this, row](const char* name, Text label, const char* initial) {
    auto* field = new QLineEdit(QString::fromUtf8(initial), this);
    field->setObjectName(name);
    field->setProperty("label", static_cast<int>(label));
    row(field, label);
    return field;
  };
  line("planLastKnown", Text::PlanLastKnownLabel, "");
  line("planTime", Text::PlanIncidentTimeLabel, "");
  line("planHours", Text::PlanHoursLabel, "0");

  leewayMode_ = new QComboBox(this);
  leewayMode_->setObjectName("planLeewayMode");
  leewayMode_->addItems({QString(), QString()});
  column->addWidget(leewayMode_);

  byClass_ = new QWidget(this);
  auto* classForm = new QFormLayout(byClass_);
  classForm->setContentsMargins(0, 0, 0, 0);
  chooser_ = new ObjectChooser("planObjectFilter", "planObjectList", byClass_);
  auto* filterLabel = new QLabel(byClass_);
  filterLabel->setWordWrap(true);
  labels_.emplace_back(filterLabel, Text::PlanObjectLabel);
  classForm->addRow(filterLabel, chooser_);
  for (const auto& [name, label, initial] :
       {std::tuple{"planWindFrom", Text::PlanWindFromLabel, "0"},
        std::tuple{"planWindSpeed", Text::PlanWindSpeedLabel, "0"}}) {
    auto* field = new QLineEdit(initial, byClass_);
    field->setObjectName(name);
    field->setProperty("label", static_cast<int>(label));
    auto* text = new QLabel(byClass_);
    labels_.emplace_back(text, label);
    classForm->addRow(text, field);
  }
  column->addWidget(byClass_);

  byHand_ = new QWidget(this);
  auto* handForm = new QFormLayout(byHand_);
  handForm->setContentsMargins(0, 0, 0, 0);
  for (const auto& [name, label] : {std::pair{"planLeewayToward", Text::PlanLeewayTowardLabel},
                                    std::pair{"planLeewaySpeed", Text::PlanLeewaySpeedLabel}}) {
    auto* field = new QLineEdit("0", byHand_);
    field->setObjectName(name);
    field->setProperty("label", static_cast<int>(label));
    auto* text = new QLabel(byHand_);
    labels_.emplace_back(text, label);
    handForm->addRow(text, field);
  }
  column->addWidget(byHand_);

  auto* more = new QFormLayout;
  column->addLayout(more);
  const auto moreLine = [this, more](const char* name, Text label, const char* initial) {
    auto* field = new QLineEdit(initial, this);
    field->setObjectName(name);
    field->setProperty("label", static_cast<int>(label));
    auto* text = new QLabel(this);
    text->setWordWrap(true);
    labels_.emplace_back(text, label);
    more->addRow(text, field);
  };
  moreLine("planCurrentSet", Text::PlanCurrentSetLabel, "0");
  moreLine("planCurrentDrift", Text::PlanCurrentDriftLabel, "0");
  moreLine("planX", Text::PlanXLabel, "1");
  moreLine("planY", Text::PlanYLabel, "gnss");
  conditions_ = new QComboBox(this);
  conditions_->setObjectName("planConditions");
  conditions_->addItems({QString(), QString()});
  auto* conditionsLabel = new QLabel(this);
  labels_.emplace_back(conditionsLabel, Text::PlanConditionsLabel);
  more->addRow(conditionsLabel, conditions_);

  // The datums and the simulation drift through these files when there are any; the constants
  // above serve outside them only when the box says so.
  files_ = new ForecastFiles(
      texts_,
      [this](const std::string& text) {
        if (status_) status_(text);
      },
      this);
  files_->setObjectName("planForecastFiles");
  column->addWidget(files_);
  outside_ = new QCheckBox(this);
  outside_->setObjectName("planOutsideConstant");
  column->addWidget(outside_);

  auto* unitsLabel = new QLabel(this);
  labels_.emplace_back(unitsLabel, Text::UnitsLabel);
  column->addWidget(unitsLabel);
  units_ = new QTableWidget(0, 4, this);
  units_->setObjectName("planUnits");
  units_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  units_->verticalHeader()->setVisible(false);
  units_->setMinimumHeight(120);
  column->addWidget(units_);
  auto* unitButtons = new QHBoxLayout;
  add_ = new QPushButton(this);
  add_->setObjectName("addUnitButton");
  remove_ = new QPushButton(this);
  remove_->setObjectName("removeUnitButton");
  unitButtons->addWidget(add_);
  unitButtons->addWidget(remove_);
  unitButtons->addStretch(1);
  column->addLayout(unitButtons);

  write_ = new QPushButton(this);
  write_->setObjectName("writePlanButton");
  column->addWidget(write_);

  auto* simulation = new QHBoxLayout;
  simulate_ = new QPushButton(this);
  simulate_->setObjectName("simulateButton");
  cancel_ = new QPushButton(this);
  cancel_->setObjectName("cancelSimulationButton");
  cancel_->setEnabled(false);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("simulationProgress");
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  simulation->addWidget(simulate_);
  simulation->addWidget(progress_, 1);
  simulation->addWidget(cancel_);
  column->addLayout(simulation);
  auto* searchedForm = new QFormLayout;
  auto* searchedStart = new QLineEdit(this);
  searchedStart->setObjectName("planSearchedStart");
  searchedStart->setProperty("label", static_cast<int>(Text::SearchedStartLabel));
  auto* searchedLabel = new QLabel(this);
  searchedLabel->setWordWrap(true);
  labels_.emplace_back(searchedLabel, Text::SearchedStartLabel);
  searchedForm->addRow(searchedLabel, searchedStart);
  column->addLayout(searchedForm);
  searched_ = new QPushButton(this);
  searched_->setObjectName("searchedButton");
  column->addWidget(searched_);
  column->addStretch(1);

  // A language text is shown as typed, never read as markup.
  for (const auto& entry : labels_) entry.first->setTextFormat(Qt::PlainText);
  addUnit();
  showLeewayChoice();

  const auto changed = [this] {
    if (changed_) changed_();
  };
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    if (field != chooser_->filter()) connect(field, &QLineEdit::textChanged, this, changed);
  }
  chooser_->setChanged(changed);
  files_->setChanged(changed);
  connect(outside_, &QCheckBox::toggled, this, changed);
  connect(leewayMode_, &QComboBox::currentIndexChanged, this, [this, changed] {
    showLeewayChoice();
    changed();
  });
  connect(conditions_, &QComboBox::currentIndexChanged, this, changed);
  connect(units_, &QTableWidget::cellChanged, this, changed);
  connect(add_, &QPushButton::clicked, this, [this, changed] {
    if (addUnit()) changed();
  });
  connect(remove_, &QPushButton::clicked, this, [this, changed] {
    if (removeUnit()) changed();
  });
  connect(simulate_, &QPushButton::clicked, this, [this] {
    std::string refusal;
    if (!simulate(refusal) && status_) status_(refusal);
  });
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelSimulation(); });
  connect(searched_, &QPushButton::clicked, this, [this] {
    std::string refusal;
    if (!markSearched(refusal) && status_) status_(refusal);
  });
}

SearchPlanPage::~SearchPlanPage() {
  if (worker_ != nullptr) {
    cancelSimulation();
    worker_->wait();
  }
}

void SearchPlanPage::showLeewayChoice() {
  byClass_->setVisible(leewayMode_->currentIndex() == 0);
  byHand_->setVisible(leewayMode_->currentIndex() == 1);
}

bool SearchPlanPage::addUnit() {
  const int rows = units_->rowCount();
  if (rows >= static_cast<int>(vestrand::kMaxSearchUnits)) return false;
  const QSignalBlocker quiet(units_);
  units_->insertRow(rows);
  const QString values[] = {QString("U%1").arg(rows + 1), "10", "4", "1"};
  for (int c = 0; c < 4; ++c) units_->setItem(rows, c, new QTableWidgetItem(values[c]));
  add_->setEnabled(rows + 1 < static_cast<int>(vestrand::kMaxSearchUnits));
  remove_->setEnabled(true);
  return true;
}

bool SearchPlanPage::removeUnit() {
  const int rows = units_->rowCount();
  if (rows <= 1) return false;
  const int row = units_->currentRow() >= 0 ? units_->currentRow() : rows - 1;
  units_->removeRow(row);
  add_->setEnabled(true);
  remove_->setEnabled(rows - 1 > 1);
  return true;
}

int SearchPlanPage::unitCount() const {
  return units_->rowCount();
}

void SearchPlanPage::relabel() {
  for (const auto& [label, text] : labels_) label->setText(Q(texts_.get(text)));
  leewayMode_->setItemText(0, Q(texts_.get(Text::PlanLeewayChoice)));
  leewayMode_->setItemText(1, Q(texts_.get(Text::PlanLeewayByHand)));
  conditions_->setItemText(0, Q(texts_.get(Text::ConditionsNormal)));
  conditions_->setItemText(1, Q(texts_.get(Text::ConditionsIdeal)));
  units_->setHorizontalHeaderLabels(
      {Q(texts_.get(Text::UnitNameColumn)), Q(texts_.get(Text::UnitSpeedColumn)),
       Q(texts_.get(Text::UnitHoursColumn)), Q(texts_.get(Text::UnitSweepColumn))});
  add_->setText(Q(texts_.get(Text::AddUnitButton)));
  remove_->setText(Q(texts_.get(Text::RemoveUnitButton)));
  write_->setText(Q(texts_.get(Text::WritePlanButton)));
  simulate_->setText(Q(texts_.get(Text::SimulateButton)));
  cancel_->setText(Q(texts_.get(Text::CancelButton)));
  searched_->setText(Q(texts_.get(Text::SearchedButton)));
  outside_->setText(Q(texts_.get(Text::PlanOutsideConstant)));
  files_->relabel();
}

void SearchPlanPage::setOutsideConstant(bool constant) {
  outside_->setChecked(constant);
}

std::string SearchPlanPage::refuse(const QLineEdit* field, const std::string& reason) const {
  const auto label = static_cast<Text>(field->property("label").toInt());
  return texts_.get(Text::FieldRefused,
                    {texts_.get(label), field->text().trimmed().toStdString(), reason});
}

double SearchPlanPage::fieldNumber(const QLineEdit* field, double low, double high, bool& ok,
                                   std::string& refusal, bool emptyIsZero) const {
  if (!ok) return 0.0;
  const std::string text = field->text().trimmed().toStdString();
  double value = 0.0;
  if (text.empty() && emptyIsZero) return 0.0;
  if (!ReadWindowNumber(text, value)) {
    ok = false;
    refusal = refuse(field, texts_.get(Text::ValueNotANumber));
    return 0.0;
  }
  if (!(value >= low && value <= high)) {
    ok = false;
    refusal = refuse(field, texts_.get(Text::ValueOutOfRange, {vestrand::shortestText(low),
                                                               vestrand::shortestText(high)}));
    return 0.0;
  }
  return value;
}

vestrand::fields::Forcing SearchPlanPage::forcing(const PlanPageInput& in) const {
  const ClassWind wind{in.objectClass, in.windFrom, in.windSpeed};
  return files_->forcing(in.current, in.objectClass != nullptr ? &wind : nullptr,
                         outside_->isChecked() ? vestrand::fields::OutsidePolicy::Constant
                                               : vestrand::fields::OutsidePolicy::Refuse);
}

bool SearchPlanPage::driftThroughFiles(PlanPageInput& in, std::string& refusal) const {
  const QLineEdit* time = findChild<QLineEdit*>("planTime");
  if (!in.seconds) {
    refusal = refuse(time, texts_.get(Text::FilesNeedTime));
    return false;
  }
  const vestrand::fields::Forcing f = forcing(in);
  vestrand::ForecastDriftInput drift;
  drift.lat = in.lat;
  drift.lon = in.lon;
  drift.time = *in.seconds;
  drift.hours = in.hours;
  drift.object.objectClass = in.objectClass;
  drift.object.leeway = in.leeway;
  const vestrand::ForecastDatums r = vestrand::forecastDatums(f, drift);
  if (r.fault == vestrand::DriftFault::Outside) {
    refusal = texts_.get(Text::PlanOutsideFiles,
                         {f.outsideText(r.faultQuantity, r.faultLat, r.faultLon, r.faultTime),
                          texts_.get(Text::PlanOutsideConstant)});
    return false;
  }
  if (r.fault != vestrand::DriftFault::None) {
    refusal = texts_.get(Text::PlanFilesStopped, {vestrand::positionText(r.faultLat, r.faultLon),
                                                  vestrand::fields::isoTimeText(r.faultTime)});
    return false;
  }
  in.plan.datums = r.datums;
  return true;
}

std::optional<PlanPageInput> SearchPlanPage::read(std::string& refusal) const {
  const auto field = [this](const char* name) { return findChild<QLineEdit*>(name); };
  PlanPageInput in;
  const QLineEdit* position = field("planLastKnown");
  std::string error;
  if (!vestrand::parsePosition(position->text().trimmed().toStdString(), in.lat, in.lon, error)) {
    refusal = refuse(position, error);
    return std::nullopt;
  }
  const QLineEdit* time = field("planTime");
  if (!time->text().trimmed().isEmpty()) {
    double seconds = 0.0;
    if (!vestrand::fields::parseIsoTime(time->text().trimmed().toStdString(), seconds, error)) {
      refusal = refuse(time, texts_.get(Text::TimeNotIso));
      return std::nullopt;
    }
    in.seconds = seconds;
  }
  bool ok = true;
  in.hours = fieldNumber(field("planHours"), 0.0, vestrand::kMaxDriftHours, ok, refusal, false);
  const double dir = vestrand::kMaxDriftDirection, fast = vestrand::kMaxDriftSpeed;
  in.current.toward = fieldNumber(field("planCurrentSet"), -dir, dir, ok, refusal, true);
  in.current.speed = fieldNumber(field("planCurrentDrift"), 0.0, fast, ok, refusal, true);
  if (!ok) return std::nullopt;
  if (leewayMode_->currentIndex() == 0) {
    in.objectClass = chooser_->chosen();
    if (in.objectClass == nullptr) {
      refusal = refuse(field("planObjectFilter"), texts_.get(Text::UnknownObject));
      return std::nullopt;
    }
    in.windFrom = fieldNumber(field("planWindFrom"), -dir, dir, ok, refusal, false);
    in.windSpeed = fieldNumber(field("planWindSpeed"), 0.0, kMaxWindSpeed, ok, refusal, false);
    if (!ok) return std::nullopt;
    in.plan.datums =
        vestrand::leewayDatums(in.lat, in.lon, in.hours, in.current,
                               vestrand::leewayOf(*in.objectClass, in.windFrom, in.windSpeed));
  } else {
    in.leeway.toward = fieldNumber(field("planLeewayToward"), -dir, dir, ok, refusal, true);
    in.leeway.speed = fieldNumber(field("planLeewaySpeed"), 0.0, fast, ok, refusal, true);
    if (!ok) return std::nullopt;
    in.plan.datums = vestrand::manualDatums(in.lat, in.lon, in.hours, in.current, in.leeway);
  }
  if (!files_->empty() && !driftThroughFiles(in, refusal)) return std::nullopt;
  for (const vestrand::DriftedDatum* d :
       {&in.plan.datums.downwind, &in.plan.datums.left, &in.plan.datums.right}) {
    if (!(std::fabs(d->lat) <= 90.0) || !std::isfinite(d->lon)) {
      refusal = refuse(field("planHours"), texts_.get(Text::PlanPastPole));
      return std::nullopt;
    }
  }
  for (const auto& [name, value] :
       {std::pair{"planX", &in.plan.x}, std::pair{"planY", &in.plan.y}}) {
    const QLineEdit* f = field(name);
    const std::string text = f->text().trimmed().toStdString();
    if (const vestrand::FixError* fix = vestrand::findFixError(Lower(text))) {
      *value = fix->error;
    } else if (!ReadWindowNumber(text, *value)) {
      refusal = refuse(f, texts_.get(Text::NotAFix));
      return std::nullopt;
    } else {
      *value = fieldNumber(f, 0.0, kMaxPositionError, ok, refusal, false);
      if (!ok) return std::nullopt;
    }
  }
  in.plan.conditions = conditions_->currentIndex() == 1 ? vestrand::SearchConditions::Ideal
                                                        : vestrand::SearchConditions::Normal;
  for (int r = 0; r < units_->rowCount(); ++r) {
    vestrand::SearchUnit u;
    const auto cell = [this, r](int c) {
      const QTableWidgetItem* item = units_->item(r, c);
      return item != nullptr ? item->text().trimmed().toStdString() : std::string();
    };
    const auto refuseCell = [this, &refusal, &cell](int c, const std::string& reason) {
      const Text header[] = {Text::UnitNameColumn, Text::UnitSpeedColumn, Text::UnitHoursColumn,
                             Text::UnitSweepColumn};
      refusal = texts_.get(Text::FieldRefused, {texts_.get(header[c]), cell(c), reason});
    };
    u.name = cell(0);
    bool twice = false;
    for (const vestrand::SearchUnit& other : in.plan.units)
      twice = twice || Lower(other.name) == Lower(u.name);
    if (!UnitNameFits(u.name) || twice) {
      refuseCell(0, texts_.get(Text::UnitNameRefused));
      return std::nullopt;
    }
    const double highs[] = {kMaxUnitSpeed, vestrand::kMaxDriftHours, kMaxSweepWidth};
    double* values[] = {&u.speed, &u.hours, &u.sweepWidth};
    for (int c = 1; c < 4; ++c) {
      if (!ReadWindowNumber(cell(c), *values[c - 1])) {
        refuseCell(c, texts_.get(Text::ValueNotANumber));
        return std::nullopt;
      }
      if (!(*values[c - 1] > 0.0 && *values[c - 1] <= highs[c - 1])) {
        refuseCell(c,
                   texts_.get(Text::ValueOutOfRange, {"0", vestrand::shortestText(highs[c - 1])}));
        return std::nullopt;
      }
    }
    in.plan.units.push_back(u);
  }
  return in;
}

namespace {

// The plan over a drifted cloud, as `vestrand-cli plan --particles` makes it.
std::optional<vestrand::SearchPlan> PlanOverCloud(const vestrand::SearchPlanInput& input,
                                                  const drift::ParticleCloud& cloud) {
  const drift::CloudSummary summary = drift::summarizeCloud(cloud);
  if (!(summary.weight > 0.0) || !std::isfinite(summary.lat)) return std::nullopt;
  const drift::CloudPoc poc(cloud, summary);
  double effort = 0.0;
  for (const vestrand::SearchUnit& u : input.units) effort += u.effort();
  const drift::CloudRectangle r =
      drift::optimalCloudRectangle(poc, summary, effort, input.conditions);
  vestrand::SearchPlan plan;
  if (vestrand::planSearchOver(
          input, {r.lat, r.lon}, r.axisCourse, r.length, r.width,
          [&poc](double l, double w) { return poc(l, w); }, plan) != vestrand::PlanFault::None) {
    return std::nullopt;
  }
  return plan;
}

// The hours on scene of the longest unit.
double OnScene(const vestrand::SearchPlanInput& input) {
  double hours = 0.0;
  for (const vestrand::SearchUnit& u : input.units) hours = std::max(hours, u.hours);
  return hours;
}

}  // namespace

std::optional<vestrand::SearchPlan> SearchPlanPage::makePlan(std::string& refusal) {
  shownPlan_.reset();
  landMask_.reset();
  landNote_.clear();
  const std::optional<PlanPageInput> in = read(refusal);
  if (!in) return std::nullopt;
  if (simulation_ && simulation_->plan) {
    shownPlan_ = simulation_->plan;
    return shownPlan_;
  }
  vestrand::SearchPlan plan;
  // As the command line: the area without land says which shorelines fit its extent; the plan is
  // then made again with them.
  vestrand::PlanFault fault = vestrand::planSearch(in->plan, plan);
  if (fault == vestrand::PlanFault::None) {
    landMask_ = ChooseWindowLand(landSetting_, std::max(plan.optimumArea.length, plan.area.length),
                                 texts_, landNote_);
    if (landMask_) {
      vestrand::SearchPlanInput withLand = in->plan;
      withLand.land = landMask_.get();
      fault = vestrand::planSearch(withLand, plan);
    }
  }
  switch (fault) {
    case vestrand::PlanFault::None:
      shownPlan_ = std::move(plan);
      return shownPlan_;
    case vestrand::PlanFault::NoError:
      refusal = refuse(findChild<QLineEdit*>("planX"), texts_.get(Text::PlanNoArea));
      return std::nullopt;
    case vestrand::PlanFault::OnLand:
      refusal = refuse(
          findChild<QLineEdit*>("planLastKnown"),
          texts_.get(Text::PlanOnLand, {vestrand::land::resolutionName(landMask_->resolution())}));
      return std::nullopt;
    default:
      refusal = refuse(findChild<QLineEdit*>("planLastKnown"), texts_.get(Text::PlanPastPole));
      return std::nullopt;
  }
}

void SearchPlanPage::drawPlan(const vestrand::SearchPlan& plan, const std::string& stem,
                              vestrand::PlanDrawing& drawing, vestrand::PlanExtras& extras,
                              std::vector<vestrand::SummaryRow>& rows) const {
  drawing = vestrand::drawSearchPlan(plan, stem);
  extras = vestrand::searchPlanExtras(plan);
  extras.lengthFormat = texts_.get(Text::Length);
  if (simulation_ && !simulation_->map.cells.empty()) {
    const drift::ProbabilityMap& map = simulation_->map;
    const double top = map.cells.front().p;
    std::vector<vestrand::ExtraCell> cells;
    for (const drift::MapCell& c : map.cells) {
      cells.push_back({{c.lat, c.lon}, map.cell, c.p / top});
    }
    extras.cells = std::move(cells);
    AddOutlines(simulation_->outline50, {0x80, 0x00, 0x00}, extras);
    AddOutlines(simulation_->outline90, {0xd0, 0x60, 0x00}, extras);
  }
  const auto fixed = [](double v, int d) { return vestrand::fixedText(v, d); };
  const auto nm = [this, &fixed](double v) { return texts_.get(Text::Length, {fixed(v, 2)}); };
  const auto share = [&fixed](double p) { return fixed(100.0 * p, 1) + " %"; };
  rows.clear();
  rows.push_back({texts_.get(Text::RowE), nm(plan.error.total)});
  rows.push_back({texts_.get(Text::RowZ), texts_.get(Text::CoveredValue, {fixed(plan.effort, 2)})});
  rows.push_back({texts_.get(Text::RowZr), fixed(plan.relativeEffort, 2)});
  rows.push_back({texts_.get(Text::RowFs), fixed(plan.searchFactor, 2)});
  rows.push_back({texts_.get(Text::RowR), nm(plan.radius)});
  rows.push_back(
      {texts_.get(Text::RowArea),
       texts_.get(Text::AreaValue, {fixed(plan.area.length, 2), fixed(plan.area.width, 2),
                                    fixed(plan.area.area(), 2)})});
  for (const vestrand::UnitPlan& u : plan.units) {
    rows.push_back({texts_.get(Text::RowSpacing, {u.name}), nm(u.spacing)});
  }
  rows.push_back({texts_.get(Text::RowPoc), share(plan.planned.poc)});
  rows.push_back({texts_.get(Text::RowPod), share(plan.planned.pod)});
  rows.push_back({texts_.get(Text::RowPos), share(plan.planned.pos)});
  if (plan.landChecked && landMask_) {
    rows.push_back(
        {texts_.get(Text::RowPlanLand),
         texts_.get(Text::PlanLandValue,
                    {fixed(100.0 * plan.areaLandShare, 1), fixed(100.0 * plan.optimumLandShare, 1),
                     vestrand::land::resolutionName(landMask_->resolution())})});
  }
  for (const vestrand::UnitPlan& u : plan.units) {
    for (const vestrand::LandTransit& t : u.transits) {
      rows.push_back(
          {texts_.get(Text::LandRow),
           texts_.get(Text::PlanTransit,
                      {u.name, vestrand::positionText(t.from.lat, t.from.lon),
                       vestrand::positionText(t.to.lat, t.to.lon), fixed(t.landNm, 2)})});
    }
  }
  if (!landNote_.empty()) rows.push_back({texts_.get(Text::LandRow), landNote_});
  if (simulation_) {
    for (const drift::SearchScore& s : simulation_->searches) {
      rows.push_back(
          {texts_.get(Text::RowSearchPos, {vestrand::fields::isoTimeText(s.startSeconds)}),
           share(s.pos)});
    }
    if (!simulation_->searches.empty()) {
      rows.push_back({texts_.get(Text::RowCumulativePos), share(simulation_->cumulativePos)});
    }
    if (const drift::Stranding& shore = simulation_->stranding; shore.particles > 0) {
      rows.push_back(
          {texts_.get(Text::RowStranded),
           texts_.get(Text::StrandedValue, {fixed(100.0 * simulation_->strandedShare, 1),
                                            std::to_string(shore.particles),
                                            vestrand::positionText(shore.lat, shore.lon)})});
    }
  }
}

bool SearchPlanPage::simulate(std::string& refusal) {
  if (worker_ != nullptr) return false;
  const std::optional<PlanPageInput> in = read(refusal);
  if (!in) return false;
  if (!in->seconds) {
    refusal = refuse(findChild<QLineEdit*>("planTime"), texts_.get(Text::TimeNotIso));
    return false;
  }
  startWorker(*in);
  return true;
}

void SearchPlanPage::startWorker(const PlanPageInput& in) {
  drift::DriftModel m;
  m.lat = in.lat;
  m.lon = in.lon;
  m.seconds = *in.seconds;
  m.positionError = std::hypot(in.plan.x, in.plan.y);
  std::vector<drift::WindEntry> wind;
  if (in.objectClass != nullptr) {
    m.leeway = drift::DriftModel::Leeway::Class;
    m.leewayClass = *in.objectClass;
    wind.push_back({0.0, in.windFrom, in.windSpeed});
  } else if (in.leeway.speed > 0.0) {
    m.leeway = drift::DriftModel::Leeway::Manual;
    m.leewayTowardDeg = in.leeway.toward;
    m.leewaySpeedKn = in.leeway.speed;
  }
  drift::DriftRun run;
  // The map at the middle of the next search period: after the datum time, and after the last
  // search marked.
  double from = m.seconds + in.hours * 3600.0;
  for (const drift::SearchEffort& s : searches_) {
    from = std::max(from, s.startSeconds + drift::searchEndHours(s, s.startSeconds) * 3600.0);
  }
  run.endSeconds = from + OnScene(in.plan) / 2.0 * 3600.0;
  run.searches = searches_;

  auto cancel = std::make_shared<std::atomic<bool>>(false);
  auto outcome = std::make_shared<PlanSimulation>();
  cancel_flag_ = cancel;
  outcome_ = outcome;
  const std::size_t count = particles_;
  // The shorelines of the plan shown: particles strand on them, and the plan over the cloud
  // leaves land out, as the closed-form plan does.
  const std::shared_ptr<const vestrand::land::LandMask> land = landMask_;
  vestrand::SearchPlanInput planInput = in.plan;
  planInput.land = land.get();
  // The forecast files with the page's constants, kept alive for the worker.
  std::shared_ptr<const vestrand::fields::Forcing> files;
  if (!files_->empty()) files = std::make_shared<const vestrand::fields::Forcing>(forcing(in));
  const std::function<void(double)> hook = progressHook_;
  QPointer<QProgressBar> bar = progress_;
  worker_ = QThread::create(
      [m, wind, in, run, count, planInput, land, files, hook, bar, cancel, outcome]() mutable {
        const drift::UniformForcing uniform(wind, in.current.toward, in.current.speed);
        std::optional<drift::FieldForcing> gridded;
        if (files) gridded.emplace(*files);
        const drift::DriftForcing& forcing =
            gridded ? static_cast<const drift::DriftForcing&>(*gridded) : uniform;
        drift::ParticleCloud cloud = drift::seedCloud(m, count, kSeed);
        std::unique_ptr<vestrand::land::LandGrid> grid;
        if (land) {
          grid = std::make_unique<vestrand::land::LandGrid>(
              *land, drift::driftReach(cloud, m, forcing, run));
          run.land = grid.get();
        }
        drift::DriftControl control;
        control.cancel = cancel.get();
        control.progress = [hook, bar](double done) {
          if (hook) hook(done);
          QMetaObject::invokeMethod(
              bar,
              [bar, done] {
                if (bar) bar->setValue(static_cast<int>(std::lround(done * 1000.0)));
              },
              Qt::QueuedConnection);
        };
        const drift::DriftOutcome o = drift::runDrift(cloud, m, forcing, run, kSeed, control);
        outcome->cancelled = o.cancelled || cancel->load();
        outcome->particles = count;
        outcome->mapSeconds = run.endSeconds;
        if (outcome->cancelled) return;
        outcome->fault = o.fault;
        if (o.fault.kind == drift::ForcingFault::Kind::Outside) {
          outcome->outside = files->outsideText(
              o.fault.wind ? vestrand::fields::Quantity::Wind : vestrand::fields::Quantity::Current,
              o.fault.lat, o.fault.lon, o.fault.seconds);
        }
        if (o.fault.kind != drift::ForcingFault::Kind::None) return;
        outcome->searches = o.searches;
        outcome->cumulativePos = o.cumulativePos;
        const drift::CloudSummary summary = drift::summarizeCloud(cloud);
        if (summary.weight > 0.0 && std::isfinite(summary.lat)) {
          outcome->map = drift::buildMap(cloud, summary);
          outcome->outline50 = drift::outlineRings(outcome->map, outcome->map.count50);
          outcome->outline90 = drift::outlineRings(outcome->map, outcome->map.count90);
        }
        // The object cannot be on land: the plan is that of the particles afloat.
        if (grid) {
          outcome->stranding = drift::strandingOf(cloud);
          double total = 0.0;
          for (std::size_t i = 0; i < cloud.size(); ++i) {
            total += cloud.weight[i];
            if (drift::stranded(cloud, i)) cloud.weight[i] = 0.0f;
          }
          outcome->strandedShare = total > 0.0 ? outcome->stranding.weight / total : 0.0;
        }
        outcome->plan = PlanOverCloud(planInput, cloud);
      });
  connect(worker_, &QThread::finished, this, [this] { tookOutcome(); });
  simulate_->setEnabled(false);
  searched_->setEnabled(false);
  cancel_->setEnabled(true);
  progress_->setValue(0);
  if (status_) status_(texts_.get(Text::SimulationRunning, {std::to_string(count)}));
  worker_->start();
}

void SearchPlanPage::cancelSimulation() {
  if (cancel_flag_) cancel_flag_->store(true);
}

void SearchPlanPage::finishSimulation() {
  if (worker_ == nullptr) return;
  worker_->wait();
  tookOutcome();
}

void SearchPlanPage::tookOutcome() {
  if (worker_ == nullptr) return;  // taken already
  worker_->deleteLater();
  worker_ = nullptr;
  const std::shared_ptr<PlanSimulation> outcome = std::move(outcome_);
  cancel_flag_.reset();
  simulate_->setEnabled(true);
  searched_->setEnabled(true);
  cancel_->setEnabled(false);
  if (outcome->cancelled) {
    progress_->setValue(0);
    if (status_) status_(texts_.get(Text::SimulationCancelled));
    return;
  }
  if (outcome->fault.kind != drift::ForcingFault::Kind::None) {
    progress_->setValue(0);
    if (status_) {
      status_(
          texts_.get(Text::SimulationStopped,
                     {vestrand::positionText(outcome->fault.lat, outcome->fault.lon),
                      vestrand::fields::isoTimeText(outcome->fault.seconds), outcome->outside}));
    }
    return;
  }
  progress_->setValue(progress_->maximum());
  simulation_ = *outcome;
  if (status_) status_(texts_.get(Text::SimulationDone, {std::to_string(outcome->particles)}));
  if (changed_) changed_();
}

bool SearchPlanPage::markSearched(std::string& refusal) {
  if (worker_ != nullptr) return false;
  if (!simulation_ || !shownPlan_) {
    refusal = texts_.get(Text::SimulateFirst);
    return false;
  }
  const QLineEdit* start = findChild<QLineEdit*>("planSearchedStart");
  double seconds = 0.0;
  std::string error;
  if (!vestrand::fields::parseIsoTime(start->text().trimmed().toStdString(), seconds, error)) {
    refusal = refuse(start, texts_.get(Text::TimeNotIso));
    return false;
  }
  const std::optional<PlanPageInput> in = read(refusal);
  if (!in) return false;
  if (!in->seconds || seconds < *in->seconds) {
    refusal = refuse(start, texts_.get(Text::TimeNotIso));
    return false;
  }
  for (std::size_t i = 0; i < shownPlan_->units.size() && i < in->plan.units.size(); ++i) {
    const vestrand::UnitPlan& u = shownPlan_->units[i];
    drift::SearchEffort s;
    s.name = u.name;
    s.startSeconds = seconds;
    s.speedKn = in->plan.units[i].speed;
    s.sweepWidthNm = in->plan.units[i].sweepWidth;
    std::vector<drift::SearchEffort::Point> route;
    for (const vestrand::LatLon& p : u.route) route.push_back({p.lat, p.lon});
    s.routes.push_back(std::move(route));
    searches_.push_back(std::move(s));
  }
  startWorker(*in);
  return true;
}
