#include "ForecastFiles.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <utility>

using vestrand::Text;
namespace fields = vestrand::fields;

ForecastFiles::ForecastFiles(const vestrand::LanguageTexts& texts, Status status, QWidget* parent)
    : QWidget(parent),
      texts_(texts),
      status_(std::move(status)),
      title_(new QLabel),
      list_(new QLabel),
      addWind_(new QPushButton),
      addCurrent_(new QPushButton),
      clear_(new QPushButton) {
  setObjectName("forecastFiles");
  title_->setObjectName("forecastFilesTitle");
  list_->setObjectName("forecastFilesList");
  addWind_->setObjectName("addWindFileButton");
  addCurrent_->setObjectName("addCurrentFileButton");
  clear_->setObjectName("clearForecastFilesButton");
  title_->setTextFormat(Qt::PlainText);
  list_->setTextFormat(Qt::PlainText);
  list_->setWordWrap(true);
  list_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(title_);
  column->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(addWind_);
  buttons->addWidget(addCurrent_);
  buttons->addWidget(clear_);
  buttons->addStretch(1);
  column->addLayout(buttons);
  connect(addWind_, &QPushButton::clicked, this, [this] { chooseFile(fields::Quantity::Wind); });
  connect(addCurrent_, &QPushButton::clicked, this,
          [this] { chooseFile(fields::Quantity::Current); });
  connect(clear_, &QPushButton::clicked, this, [this] { clear(); });
  relabel();
}

void ForecastFiles::chooseFile(fields::Quantity quantity) {
  const Text title = quantity == fields::Quantity::Wind ? Text::AddWindFile : Text::AddCurrentFile;
  const QString path = QFileDialog::getOpenFileName(
      this, QString::fromStdString(texts_.get(title)), QString(),
      "GRIB, NetCDF (*.grib *.grib2 *.grb *.grb2 *.nc *.nc4 *.cdf);;* (*)");
  if (!path.isEmpty()) addFile(quantity, path.toStdString());
}

bool ForecastFiles::addFile(fields::Quantity quantity, const std::string& path) {
  try {
    // One file at a time through the library's reader, so that the refusal names this file.
    const fields::Forcing read = quantity == fields::Quantity::Wind
                                     ? fields::readForcing({path}, {})
                                     : fields::readForcing({}, {path});
    const fields::FieldSet& set =
        quantity == fields::Quantity::Wind ? read.windFields() : read.currentFields();
    std::vector<fields::Field>& kept = quantity == fields::Quantity::Wind ? wind_ : current_;
    for (const fields::Field& field : set.areas()) kept.push_back(field);
  } catch (const fields::FieldFileError& e) {
    if (status_) status_(texts_.get(Text::ForecastFileRefused, {e.what()}));
    return false;
  }
  showList();
  if (changed_) changed_();
  return true;
}

void ForecastFiles::clear() {
  wind_.clear();
  current_.clear();
  showList();
  if (changed_) changed_();
}

std::string ForecastFiles::listText() const {
  return list_->text().toStdString();
}

void ForecastFiles::showList() {
  QStringList lines;
  for (const auto& [kept, line] :
       {std::pair{&wind_, Text::WindFileLine}, std::pair{&current_, Text::CurrentFileLine}}) {
    for (const fields::Field& field : *kept) {
      std::string names;
      for (const std::string& file : field.files) {
        names += (names.empty() ? "" : ", ") + std::filesystem::path(file).filename().string();
      }
      lines << QString::fromStdString(texts_.get(
          line, {names, fields::extentText(field.grid), fields::timesText(field.times)}));
    }
  }
  if (lines.isEmpty()) lines << QString::fromStdString(texts_.get(Text::NoForecastFiles));
  list_->setText(lines.join('\n'));
}

fields::Forcing ForecastFiles::forcing(const vestrand::DriftVector& current, const ClassWind* wind,
                                       fields::OutsidePolicy policy) const {
  fields::Forcing forcing;
  for (const fields::Field& field : wind_) forcing.add(field);
  for (const fields::Field& field : current_) forcing.add(field);
  double u = 0.0, v = 0.0;
  vestrand::currentComponents(current, u, v);
  forcing.setConstantCurrent(u, v);
  if (wind != nullptr) {
    vestrand::windComponents(wind->windFrom, wind->windSpeed, u, v);
    forcing.setConstantWind(u, v);
  }
  forcing.setOutsidePolicy(policy);
  return forcing;
}

ForecastFiles::Result ForecastFiles::drift(const AppliedDrift& d, double time,
                                           fields::OutsidePolicy policy) const {
  const fields::Forcing forcing =
      this->forcing(d.current, d.byClass ? &*d.byClass : nullptr, policy);
  vestrand::ForecastDriftInput input;
  input.lat = d.lastKnownLat;
  input.lon = d.lastKnownLon;
  input.time = time;
  input.hours = d.hours;
  input.object.leeway = d.leeway;
  if (d.byClass) input.object.objectClass = d.byClass->objectClass;
  Result result;
  result.datums = vestrand::forecastDatums(forcing, input);
  if (result.datums.fault == vestrand::DriftFault::Outside) {
    result.outside = forcing.outsideText(result.datums.faultQuantity, result.datums.faultLat,
                                         result.datums.faultLon, result.datums.faultTime);
  }
  return result;
}

void ForecastFiles::relabel() {
  title_->setText(QString::fromStdString(texts_.get(Text::ForecastTitle)));
  addWind_->setText(QString::fromStdString(texts_.get(Text::AddWindFile)));
  addCurrent_->setText(QString::fromStdString(texts_.get(Text::AddCurrentFile)));
  clear_->setText(QString::fromStdString(texts_.get(Text::ClearFiles)));
  showList();
}
