#include "PlanView.h"

#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "Languaje.h"
#include "Vestrand.h"
#include "cvirte.h"
#include "cvirte_widgets.h"

namespace {

// Entries of lrfExtra.
enum Extra {
  kPreviewTitle = 0,
  kSpeedLabel = 1,
  kLegsLabel = 2,
  kTrackLabel = 3,
  kTimeLabel = 4,
  kAreaLabel = 5,
  kUnit1 = 6,
  kUnit2 = 7,
  kStartHint = 8,
  kNoPattern = 9,
};

QString Word(int entry) {
  return QString::fromUtf8(lrfExtra[entry]);
}

// The colours of the two units, as in the SVG picture; dark enough to read on white at night
// with the screen dimmed.
const QColor kUnitColours[] = {QColor(0x1f, 0x5f, 0xbf), QColor(0xc8, 0x10, 0x2e)};
const QColor kInk(0x20, 0x20, 0x20);
const QColor kPaper(Qt::white);

constexpr double kMargin = 34.0;  // pixels around the pattern, room for names and numbers
constexpr double kMinSpan = 0.1;  // nautical miles; one point still gets a scale
constexpr std::size_t kMinLabels = 8;

QColor UnitColour(int unit) {
  return kUnitColours[unit == 1 ? 1 : 0];
}

// Chart miles to widget pixels: north up, one scale for both axes, the pattern centred.
struct Frame {
  double scale = 1.0;  // pixels per nautical mile
  double centreX = 0.0, centreY = 0.0;
  QPointF middle;

  Frame(const vestrand::ChartBounds& b, const QRectF& area) : middle(area.center()) {
    const double spanX = std::max(b.width(), kMinSpan);
    const double spanY = std::max(b.height(), kMinSpan);
    centreX = b.empty ? 0.0 : (b.minX + b.maxX) / 2.0;
    centreY = b.empty ? 0.0 : (b.minY + b.maxY) / 2.0;
    scale = std::min(area.width() / spanX, area.height() / spanY);
  }
  QPointF at(vestrand::ChartPoint p) const {
    return {middle.x() + (p.x - centreX) * scale, middle.y() - (p.y - centreY) * scale};
  }
};

// Text with a pale halo, so that a number stays legible where it crosses a track.
void HaloText(QPainter& painter, const QPointF& at, const QString& text, const QColor& colour) {
  QPainterPath path;
  path.addText(at, painter.font(), text);
  painter.save();
  painter.setPen(QPen(kPaper, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPath(path);
  painter.restore();
}

void DrawRoutes(QPainter& painter, const vestrand::PlanDrawing& d, const Frame& f) {
  // Thinner tracks once they crowd, so that a thousand legs stay apart.
  const double width = d.pointCount() > 400 ? 1.0 : d.pointCount() > 60 ? 1.5 : 2.5;
  for (const vestrand::ChartRoute& route : d.routes) {
    if (route.points.empty()) continue;
    QPainterPath path(f.at(route.points.front()));
    for (std::size_t i = 1; i < route.points.size(); ++i) path.lineTo(f.at(route.points[i]));
    painter.setPen(QPen(UnitColour(route.unit), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }
}

void DrawTurningPoints(QPainter& painter, const vestrand::PlanDrawing& d, const Frame& f,
                       std::size_t maxLabels) {
  const std::size_t stride = vestrand::labelStride(d.pointCount(), maxLabels);
  QFont font = painter.font();
  font.setPointSizeF(8.5);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  // A number that would cover one already written is left out: on a dense pattern the thinned
  // points still crowd where the tracks turn close together.
  std::vector<QRectF> taken;
  for (const vestrand::ChartRoute& route : d.routes) {
    const QColor colour = UnitColour(route.unit);
    for (std::size_t i = 0; i < route.points.size(); ++i) {
      if (i % stride != 0 && i + 1 != route.points.size()) continue;
      const QPointF p = f.at(route.points[i]);
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawEllipse(p, 2.8, 2.8);
      const QString number = QString::number(i + 1);
      const QPointF at = p + QPointF(4.0, -4.0);
      const QRectF box = metrics.boundingRect(number).translated(at).adjusted(-2, -1, 2, 1);
      const bool covers = std::any_of(taken.begin(), taken.end(),
                                      [&box](const QRectF& r) { return r.intersects(box); });
      if (covers) continue;
      taken.push_back(box);
      HaloText(painter, at, number, colour);
    }
  }
}

void DrawMarks(QPainter& painter, const vestrand::PlanDrawing& d, const Frame& f) {
  QFont font = painter.font();
  font.setPointSizeF(9.5);
  font.setBold(true);
  painter.setFont(font);
  const double lineHeight = QFontMetricsF(font).height();
  for (std::size_t i = 0; i < d.marks.size(); ++i) {
    const vestrand::ChartMark& m = d.marks[i];
    const QPointF p = f.at(m.at);
    painter.setPen(QPen(kInk, 2.0));
    painter.setBrush(Qt::NoBrush);
    if (m.datum) {
      painter.drawLine(p - QPointF(8, 0), p + QPointF(8, 0));
      painter.drawLine(p - QPointF(0, 8), p + QPointF(0, 8));
      painter.drawEllipse(p, 4.0, 4.0);
    } else {
      painter.drawRect(QRectF(p - QPointF(5, 5), QSizeF(10, 10)));
    }
    // Marks close together (a short sweep's start points) are named on successive lines.
    double line = 0.0;
    for (std::size_t j = 0; j < i; ++j) {
      const QPointF q = f.at(d.marks[j].at);
      if (std::fabs(q.x() - p.x()) < 60.0 && std::fabs(q.y() - p.y()) < lineHeight) line += 1.0;
    }
    HaloText(painter, p + QPointF(10.0, lineHeight + lineHeight * line),
             QString::fromStdString(m.name), kInk);
  }
}

void DrawScaleBar(QPainter& painter, const Frame& f, const QRectF& area) {
  const double length = vestrand::roundScaleLength(area.width() / 3.0 / f.scale);
  const double x0 = area.left();
  const double x1 = x0 + length * f.scale;
  const double y = area.bottom() + kMargin * 0.55;
  painter.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  QPainterPath bar(QPointF(x0, y - 6.0));
  bar.lineTo(x0, y);
  bar.lineTo(x1, y);
  bar.lineTo(x1, y - 6.0);
  painter.drawPath(bar);
  QFont font = painter.font();
  font.setPointSizeF(9.0);
  font.setBold(false);
  painter.setFont(font);
  char text[32];
  std::snprintf(text, sizeof text, "%g NM", length);
  painter.drawText(QPointF(x1 + 6.0, y + 1.0), QString::fromUtf8(text));
}

void DrawNorthArrow(QPainter& painter, const QRectF& bounds) {
  const QPointF tip(bounds.right() - 22.0, bounds.top() + 10.0);
  QPainterPath arrow(tip);
  arrow.lineTo(tip + QPointF(8.0, 26.0));
  arrow.lineTo(tip + QPointF(0.0, 19.0));
  arrow.lineTo(tip + QPointF(-8.0, 26.0));
  arrow.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(kInk);
  painter.drawPath(arrow);
  QFont font = painter.font();
  font.setPointSizeF(10.0);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(kInk);
  painter.drawText(QRectF(tip.x() - 12.0, tip.y() + 27.0, 24.0, 16.0), Qt::AlignCenter, "N");
}

void DrawLegend(QPainter& painter, const vestrand::PlanDrawing& d, const QRectF& bounds) {
  QFont font = painter.font();
  font.setPointSizeF(9.0);
  font.setBold(true);
  painter.setFont(font);
  const double lineHeight = QFontMetricsF(font).height();
  for (std::size_t i = 0; i < d.routes.size(); ++i) {
    const QPointF at(bounds.left() + 8.0,
                     bounds.top() + 6.0 + lineHeight * (0.8 + static_cast<double>(i)));
    HaloText(painter, at, QString::fromStdString(d.routes[i].name), UnitColour(d.routes[i].unit));
  }
}

QString Nm(double value) {
  return QString::number(value, 'f', 1) + QString::fromUtf8(" NM");
}

// The panel of the tab page shown, and its index.
int CurrentPage(int panel, int& pagePanel) {
  auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel, kSearchTabs));
  const int index = tabs != nullptr ? tabs->currentIndex() : 0;
  pagePanel = 0;
  GetPanelHandleFromTabPage(panel, kSearchTabs, index, &pagePanel);
  return index;
}

QPointer<PlanView> installed;

void CarryLanguageChoice(const char* fileName, int) {
  ReadLanguageExtras(fileName);
  if (!installed.isNull()) installed->relabel();
}

}  // namespace

PlanPreview::PlanPreview(QWidget* parent) : QWidget(parent) {
  setObjectName("planPreview");
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlanPreview::setPlan(vestrand::PlanDrawing drawing, const QString& message) {
  drawing_ = std::move(drawing);
  message_ = message;
  update();
}

void PlanPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.fillRect(rect(), kPaper);
  painter.setPen(QPen(QColor(0x9a, 0xa4, 0xae), 1.0));
  painter.drawRect(bounds);

  if (drawing_.routes.empty()) {
    QFont font = painter.font();
    font.setPointSizeF(10.5);
    painter.setFont(font);
    painter.setPen(QColor(0x50, 0x58, 0x60));
    painter.drawText(bounds.adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap,
                     message_);
    return;
  }
  // Room above for the legend and below for the scale bar.
  const double legend = 16.0 * static_cast<double>(drawing_.routes.size());
  const QRectF area = bounds.adjusted(kMargin, kMargin + legend, -kMargin - 14.0, -kMargin);
  if (area.width() < 10.0 || area.height() < 10.0) return;
  const Frame frame(drawing_.bounds, area);
  const auto maxLabels = std::max<std::size_t>(
      kMinLabels, static_cast<std::size_t>(area.width() * area.height() / 2500.0));
  DrawRoutes(painter, drawing_, frame);
  DrawTurningPoints(painter, drawing_, frame, maxLabels);
  DrawMarks(painter, drawing_, frame);
  DrawScaleBar(painter, frame, area);
  DrawNorthArrow(painter, bounds);
  DrawLegend(painter, drawing_, bounds);
}

PlanView::PlanView(int panel, QWidget* parent)
    : QWidget(parent),
      panel_(panel),
      preview_(new PlanPreview(this)),
      names_(new QLabel(this)),
      values_(new QLabel(this)) {
  setObjectName("planView");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(preview_, 1);
  auto* summary = new QHBoxLayout;
  names_->setObjectName("planSummaryNames");
  values_->setObjectName("planSummaryValues");
  for (QLabel* label : {names_, values_}) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
  QFont bold = names_->font();
  bold.setBold(true);
  names_->setFont(bold);
  summary->addWidget(names_);
  summary->addSpacing(12);
  summary->addWidget(values_, 1);
  column->addLayout(summary);
  listen();
  refresh();
}

void PlanView::listen() {
  auto redraw = [this] { refresh(); };
  auto follow = [this, redraw](QWidget* widget) {
    if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
      connect(spin, &QSpinBox::valueChanged, this, redraw);
    } else if (auto* spinDouble = qobject_cast<QDoubleSpinBox*>(widget)) {
      connect(spinDouble, &QDoubleSpinBox::valueChanged, this, redraw);
    } else if (auto* ring = qobject_cast<QComboBox*>(widget)) {
      connect(ring, &QComboBox::currentIndexChanged, this, redraw);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
      connect(line, &QLineEdit::textChanged, this, redraw);
    }
  };
  for (int control = kLatitudeDegrees; control <= kLongitudeDegrees + 3; ++control) {
    follow(GetCtrlWidget(panel_, control));
  }
  // The stem names the routes in the legend.
  follow(GetCtrlWidget(panel_, kDateField));
  follow(GetCtrlWidget(panel_, kTimeField));
  follow(GetCtrlWidget(panel_, kSearchSpeed));
  if (auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs))) {
    connect(tabs, &QTabWidget::currentChanged, this, redraw);
    for (int i = 1; i < tabs->count(); ++i) {
      for (QWidget* field : tabs->widget(i)->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractSpinBox*>(field) != nullptr ||
            qobject_cast<QComboBox*>(field) != nullptr) {
          follow(field);
        }
      }
    }
  }
}

void PlanView::refresh() {
  ++refreshCount_;
  int pagePanel = 0;
  const int page = CurrentPage(panel_, pagePanel);
  vestrand::PatternParams params;
  vestrand::PatternNames names;
  const bool described = page > 0 && ReadSearchPage(page, pagePanel, params);
  params.count = std::clamp(params.count, 0, kPreviewMaxCount);
  const std::string stem = CurrentStem();
  if (!described || !vestrand::composePatternNames(params, stem.c_str(), names)) {
    preview_->setPlan({}, Word(page == 0 ? kStartHint : kNoPattern));
    names_->clear();
    values_->clear();
    return;
  }
  vestrand::PlanSummarySink summarySink(params);
  vestrand::PlanDrawingSink drawingSink(params);
  vestrand::TeeSink both(summarySink, drawingSink);
  vestrand::sailPattern(params, names, both);
  const vestrand::PlanSummary& s = summarySink.summary();

  double speed = 0.0;
  GetCtrlVal(panel_, kSearchSpeed, &speed);
  QStringList left;
  QStringList right;
  left << Word(kLegsLabel) << Word(kTrackLabel);
  right << QString::number(s.legs) << Nm(s.trackLength);
  const QString speedText = QString::number(speed, 'g', 4) + QString::fromUtf8(" kn");
  if (s.routes.size() == 2) {
    for (std::size_t unit = 0; unit < 2; ++unit) {
      left << (unit == 0 ? Word(kTimeLabel) : QString());
      const double hours = vestrand::hoursAtSpeed(s.routes[unit].trackLength, speed);
      right << Word(unit == 0 ? kUnit1 : kUnit2) + QString::fromUtf8(": ") +
                   QString::fromStdString(vestrand::hoursMinutesText(hours)) +
                   QString::fromUtf8(" h (") + speedText + ")";
    }
  } else {
    left << Word(kTimeLabel);
    const double hours = vestrand::hoursAtSpeed(s.longestTrack(), speed);
    right << QString::fromStdString(vestrand::hoursMinutesText(hours)) + QString::fromUtf8(" h (") +
                 speedText + ")";
  }
  left << Word(kAreaLabel);
  right << QString::number(s.area(), 'f', 1) + QString::fromUtf8(" NM²");
  for (const vestrand::PlanMark& mark : s.marks) {
    left << QString::fromStdString(mark.name);
    right << QString::fromStdString(mark.latText) + QString::fromUtf8("   ") +
                 QString::fromStdString(mark.lonText);
  }
  names_->setText(left.join('\n'));
  values_->setText(right.join('\n'));
  preview_->setPlan(drawingSink.take(), QString());
}

void PlanView::relabel() {
  SetCtrlAttribute(panel_, kPlanGroup, ATTR_LABEL_TEXT, lrfExtra[kPreviewTitle]);
  SetCtrlAttribute(panel_, kSearchSpeed, ATTR_LABEL_TEXT, lrfExtra[kSpeedLabel]);
  refresh();
}

std::string PlanView::summaryText() const {
  const QStringList left = names_->text().split('\n');
  const QStringList right = values_->text().split('\n');
  std::string text;
  for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
    if (i < left.size()) text += left[i].toStdString();
    text += '\t';
    if (i < right.size()) text += right[i].toStdString();
    text += '\n';
  }
  return text;
}

PlanView* InstallPlanView(int panel) {
  auto* group = qobject_cast<QGroupBox*>(GetCtrlWidget(panel, kPlanGroup));
  auto* column = group != nullptr ? qobject_cast<QBoxLayout*>(group->layout()) : nullptr;
  if (column == nullptr) return nullptr;
  auto* view = new PlanView(panel, group);
  column->addWidget(view, 1);
  installed = view;
  SetLanguageChoiceListener(CarryLanguageChoice);
  return view;
}

PlanView* InstalledPlanView() {
  return installed.data();
}
