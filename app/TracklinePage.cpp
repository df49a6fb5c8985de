#include "TracklinePage.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "PatternMotion.h"
#include "WindowTexts.h"
#include "position_text.h"

using vestrand::Text;

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

bool ReadRoutePoint(const std::string& line, vestrand::TrackPoint& point) {
  std::string error;
  // The command line's "LAT,LON" first: a comma between two coordinates of any form.
  if (std::count(line.begin(), line.end(), ',') == 1) {
    const std::size_t comma = line.find(',');
    const std::string_view text(line);
    if (vestrand::parseCoordinate(text.substr(0, comma), vestrand::Axis::Latitude, point.lat,
                                  error) &&
        vestrand::parseCoordinate(text.substr(comma + 1), vestrand::Axis::Longitude, point.lon,
                                  error)) {
      return true;
    }
  }
  return vestrand::parsePosition(line, point.lat, point.lon, error);
}

TracklinePage::TracklinePage(QTabWidget* tabs, PatternMotion* motion, std::function<void()> changed,
                             std::function<void()> write)
    : QObject(tabs), tabs_(tabs), motion_(motion) {
  // Inside a scroll area, as the layout's pages are, so that a small window scrolls the page.
  auto* scroll = new QScrollArea;
  scroll->setObjectName("tracklineScroll");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* page = new QWidget;
  page->setObjectName("tracklinePage");
  auto* column = new QVBoxLayout(page);
  text_ = new QLabel(page);
  text_->setObjectName("tracklineText");
  text_->setWordWrap(true);
  text_->setTextFormat(Qt::PlainText);
  column->addWidget(text_);
  auto* form = new QFormLayout;
  column->addLayout(form);
  routeLabel_ = new QLabel(page);
  routeLabel_->setTextFormat(Qt::PlainText);
  route_ = new QPlainTextEdit(page);
  route_->setObjectName("tracklineRoute");
  route_->setTabChangesFocus(true);
  route_->setMinimumHeight(110);
  routeLabel_->setBuddy(route_);
  form->addRow(routeLabel_, route_);
  spacingLabel_ = new QLabel(page);
  spacingLabel_->setTextFormat(Qt::PlainText);
  spacing_ = new QDoubleSpinBox(page);
  spacing_->setObjectName("tracklineSpacing");
  spacing_->setRange(0.01, 500.0);  // the command line's bounds for a spacing
  spacing_->setDecimals(2);
  spacing_->setValue(1.0);
  spacingLabel_->setBuddy(spacing_);
  form->addRow(spacingLabel_, spacing_);
  return_ = new QCheckBox(page);
  return_->setObjectName("tracklineReturn");
  form->addRow(return_);
  unitsLabel_ = new QLabel(page);
  unitsLabel_->setTextFormat(Qt::PlainText);
  units_ = new QSpinBox(page);
  units_->setObjectName("tracklineUnits");
  units_->setRange(1, vestrand::kMaxTracklineUnits);
  unitsLabel_->setBuddy(units_);
  form->addRow(unitsLabel_, units_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  command_ = new QPushButton(page);
  command_->setObjectName("tracklineCommand");
  row->addWidget(command_);
  column->addLayout(row);
  column->addStretch(1);
  scroll->setWidget(page);
  index_ = tabs->addTab(scroll, QString());
  if (motion_ != nullptr) motion_->addFirstTurn(index_, form, form->rowCount());

  connect(route_, &QPlainTextEdit::textChanged, this, [changed] { changed(); });
  connect(spacing_, &QDoubleSpinBox::valueChanged, this, [changed] { changed(); });
  connect(return_, &QCheckBox::toggled, this, [changed] { changed(); });
  connect(units_, &QSpinBox::valueChanged, this, [changed] { changed(); });
  connect(command_, &QPushButton::clicked, this, [write] { write(); });
}

bool TracklinePage::read(const vestrand::LanguageTexts& texts, vestrand::PatternParams& params,
                         std::string& refusal) const {
  std::vector<vestrand::TrackPoint> points;
  const QStringList lines = route_->toPlainText().split('\n');
  for (int i = 0; i < lines.size(); ++i) {
    const std::string line = lines[i].trimmed().toStdString();
    if (line.empty()) continue;
    vestrand::TrackPoint point;
    if (!ReadRoutePoint(line, point)) {
      refusal = texts.get(Text::TracklinePointRefused, {std::to_string(i + 1), line});
      return false;
    }
    points.push_back(point);
  }
  // An empty page describes nothing yet: the preview's hint, not a refusal.
  if (points.empty()) return false;
  const bool returning = return_->isChecked();
  const int units = units_->value();
  if (const std::string fault =
          vestrand::tracklineFault(points, spacing_->value(), returning, units);
      !fault.empty()) {
    refusal = texts.get(Text::TracklineRefused, {fault});
    return false;
  }
  params = vestrand::tracklineParams(points, spacing_->value(), returning, units);
  if (motion_ != nullptr) {
    std::string unused;
    motion_->apply(index_, nullptr, 0.0, texts, params, unused);
  }
  return true;
}

void TracklinePage::relabel(const vestrand::LanguageTexts& texts) {
  tabs_->setTabText(index_, Q(texts.get(Text::TracklineTab)));
  text_->setText(Q(texts.get(Text::TracklineText)));
  routeLabel_->setText(Q(texts.get(Text::TracklineRoute)));
  spacingLabel_->setText(Q(texts.get(Text::TracklineSpacing)));
  return_->setText(Q(texts.get(Text::TracklineReturn)));
  unitsLabel_->setText(Q(texts.get(Text::TracklineUnits)));
  command_->setText(Q(texts.get(Text::TracklineCommand)));
}
