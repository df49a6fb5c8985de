#include "ForecastFiles.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "field_time.h"
#include "number_text.h"

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
      clear_(new QPushButton),
      arrows_(new QCheckBox) {
  setObjectName("forecastFiles");
  title_->setObjectName("forecastFilesTitle");
  list_->setObjectName("forecastFilesList");
  addWind_->setObjectName("addWindFileButton");
  addCurrent_->setObjectName("addCurrentFileButton");
  clear_->setObjectName("clearForecastFilesButton");
  arrows_->setObjectName("forecastArrows");
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
  column->addWidget(arrows_);
  connect(arrows_, &QCheckBox::toggled, this, [this] {
    if (changed_) changed_();
  });
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
  arrows_->setText(QString::fromStdString(texts_.get(Text::ForecastArrows)));
  showList();
}

bool ForecastFiles::arrowsShown() const {
  return arrows_->isChecked();
}

void ForecastFiles::setArrowsShown(bool shown) {
  arrows_->setChecked(shown);
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// An arrow of `length` nautical miles toward `toward` (radians from north), centred on `at`.
vestrand::ExtraLine Arrow(const vestrand::GeoPoint& at, double toward, double length,
                          vestrand::Rgb colour) {
  const double perLon = 60.0 * std::cos(at.lat * kPi / 180.0);
  const auto offset = [&](const vestrand::GeoPoint& p, double angle, double nm) {
    return vestrand::GeoPoint{p.lat + nm * std::cos(angle) / 60.0,
                              p.lon + nm * std::sin(angle) / perLon};
  };
  const vestrand::GeoPoint tail = offset(at, toward + kPi, length / 2.0);
  const vestrand::GeoPoint tip = offset(at, toward, length / 2.0);
  vestrand::ExtraLine line;
  line.colour = colour;
  line.width = 1.2;
  line.dashed = false;
  // Tail to tip, one barb, back to the tip and the other barb.
  line.points = {tail, tip, offset(tip, toward + kPi - 0.45, length * 0.3), tip,
                 offset(tip, toward + kPi + 0.45, length * 0.3)};
  return line;
}

}  // namespace

void ForecastFiles::addArrows(double datumLat, double datumLon, const vestrand::ChartBounds& bounds,
                              double time, vestrand::PlanExtras& extras,
                              std::vector<vestrand::SummaryRow>& rows) const {
  const fields::Forcing f = forcing({}, nullptr, fields::OutsidePolicy::Refuse);
  const double perLon = 60.0 * std::cos(datumLat * kPi / 180.0);
  if (bounds.empty || !(perLon > 1e-6)) return;
  // The box a little larger than the pattern, and never smaller than 2 NM a side.
  const double width = std::max(bounds.width(), 2.0) * 1.2;
  const double height = std::max(bounds.height(), 2.0) * 1.2;
  const double midX = (bounds.minX + bounds.maxX) / 2.0, midY = (bounds.minY + bounds.maxY) / 2.0;
  constexpr int kSide = 5;
  const double spacing = std::min(width, height) / kSide;
  struct Sample {
    vestrand::GeoPoint at;
    double east, north;
  };
  std::vector<Sample> winds, currents;
  double windMax = 0.0, currentMax = 0.0;
  for (int i = 0; i < kSide; ++i) {
    for (int j = 0; j < kSide; ++j) {
      const double x = midX + width * ((i + 0.5) / kSide - 0.5);
      const double y = midY + height * ((j + 0.5) / kSide - 0.5);
      const vestrand::GeoPoint at{datumLat + y / 60.0, datumLon + x / perLon};
      const fields::ForcingSample s = f.sample(at.lat, at.lon, time);
      if (s.windSource == fields::Source::Field) {
        winds.push_back({at, s.windU, s.windV});
        windMax = std::max(windMax, std::hypot(s.windU, s.windV));
      }
      if (s.currentSource == fields::Source::Field) {
        currents.push_back({at, s.curU, s.curV});
        currentMax = std::max(currentMax, std::hypot(s.curU, s.curV));
      }
    }
  }
  // Each kind scaled to its strongest, the current's arrows a little apart from the wind's.
  for (const auto& [samples, strongest, colour, shift] :
       {std::tuple{&winds, windMax, kWindArrowColour, -0.15},
        std::tuple{&currents, currentMax, kCurrentArrowColour, 0.15}}) {
    if (!(strongest > 0.0)) continue;
    for (const Sample& s : *samples) {
      const double speed = std::hypot(s.east, s.north);
      if (!(speed > 0.0)) continue;
      const vestrand::GeoPoint at{s.at.lat + shift * spacing / 60.0, s.at.lon};
      extras.lines.push_back(
          Arrow(at, std::atan2(s.east, s.north), 0.8 * spacing * speed / strongest, colour));
    }
  }
  const fields::ForcingSample d = f.sample(datumLat, datumLon, time);
  const std::string none = "\u2013";
  const bool wind = d.windSource == fields::Source::Field;
  const bool current = d.currentSource == fields::Source::Field;
  rows.push_back(
      {texts_.get(Text::ForecastAtDatumRow),
       texts_.get(Text::ForecastAtDatumValue,
                  {wind ? vestrand::fixedText(fields::fromDegrees(d.windU, d.windV), 0) : none,
                   wind ? vestrand::fixedText(
                              std::hypot(d.windU, d.windV) * vestrand::kKnotsPerMetrePerSecond, 1)
                        : none,
                   current ? vestrand::fixedText(fields::towardDegrees(d.curU, d.curV), 0) : none,
                   current ? vestrand::fixedText(
                                 std::hypot(d.curU, d.curV) / fields::kMetresPerSecondInKnots, 2)
                           : none,
                   fields::isoTimeText(time)})});
}
