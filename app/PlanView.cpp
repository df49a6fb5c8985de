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
#include <utility>
#include <vector>

#include "DatumEntry.h"
#include "Languaje.h"
#include "PlanAids.h"
#include "Vestrand.h"
#include "WindowTexts.h"
#include "cvirte.h"
#include "cvirte_widgets.h"

namespace {

QString Word(int entry) {
  return QString::fromUtf8(lrfExtra[entry]);
}

const QColor kPaper(Qt::white);

QColor Colour(vestrand::Rgb c) {
  return QColor(c.r, c.g, c.b);
}

QPointF At(vestrand::PixelPoint p) {
  return {p.x, p.y};
}

// Text with a pale halo, so that a number stays legible where it crosses a track.
void DrawText(QPainter& painter, const vestrand::FigureText& t) {
  QFont font = painter.font();
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(t.size))));
  font.setBold(t.bold);
  const QString text = QString::fromStdString(t.text);
  QPointF at = At(t.at);
  if (t.anchor == vestrand::TextAnchor::Middle) {
    at.rx() -= QFontMetricsF(font).horizontalAdvance(text) / 2.0;
  }
  QPainterPath path;
  path.addText(at, font, text);
  painter.save();
  painter.setPen(QPen(kPaper, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Colour(t.colour));
  painter.drawPath(path);
  painter.restore();
}

QPainterPath Polyline(const std::vector<vestrand::PixelPoint>& points) {
  QPainterPath path;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0) {
      path.moveTo(At(points[i]));
    } else {
      path.lineTo(At(points[i]));
    }
  }
  return path;
}

void DrawRoutes(QPainter& painter, const vestrand::PlanFigure& f) {
  for (const vestrand::FigureRoute& route : f.routes) {
    std::vector<vestrand::PixelPoint> points;
    points.reserve(route.line.size());
    for (const vestrand::FigureVertex& v : route.line) points.push_back(v.at);
    painter.setPen(
        QPen(Colour(route.colour), route.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(Polyline(points));
  }
  for (const vestrand::FigureLine& line : f.lines) {
    QPen pen(Colour(line.colour), line.width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    // The SVG's dashes of 6 and 4 pixels; Qt counts them in pen widths.
    if (line.dashed) pen.setDashPattern({6.0 / line.width, 4.0 / line.width});
    painter.setPen(pen);
    painter.drawPath(Polyline(line.points));
  }
}

void DrawTurningPoints(QPainter& painter, const vestrand::PlanFigure& f) {
  for (const vestrand::FigureRoute& route : f.routes) {
    for (const vestrand::FigureTurningPoint& t : route.turningPoints) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(Colour(route.colour));
      painter.drawEllipse(At(t.at), f.dotRadius, f.dotRadius);
      if (t.numberShown) DrawText(painter, t.label);
    }
  }
}

void DrawMarks(QPainter& painter, const vestrand::PlanFigure& f) {
  for (const vestrand::FigureMark& m : f.marks) {
    const QPointF p = At(m.at);
    const double s = m.size;
    painter.setPen(QPen(Colour(vestrand::kInk), 2.0));
    painter.setBrush(Qt::NoBrush);
    switch (m.shape) {
      case vestrand::MarkShape::Cross:
        painter.drawLine(p - QPointF(s, 0), p + QPointF(s, 0));
        painter.drawLine(p - QPointF(0, s), p + QPointF(0, s));
        painter.drawEllipse(p, s / 2.0, s / 2.0);
        break;
      case vestrand::MarkShape::Square:
        painter.drawRect(QRectF(p - QPointF(s, s), QSizeF(2.0 * s, 2.0 * s)));
        break;
      case vestrand::MarkShape::Triangle:
        painter.drawPolygon(QPolygonF({p - QPointF(0, s), p + QPointF(s, s), p + QPointF(-s, s)}));
        break;
    }
    DrawText(painter, m.name);
  }
}

void DrawScaleNorthAndLegend(QPainter& painter, const vestrand::PlanFigure& f) {
  const vestrand::FigureScaleBar& bar = f.scaleBar;
  painter.setPen(QPen(Colour(vestrand::kInk), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  QPainterPath path(At(bar.from) - QPointF(0, bar.tick));
  path.lineTo(At(bar.from));
  path.lineTo(At(bar.to));
  path.lineTo(At(bar.to) - QPointF(0, bar.tick));
  painter.drawPath(path);
  // The scale in the window's unit of length (German charts write sm).
  vestrand::FigureText label = bar.label;
  label.text = WindowText(kLengthText, {vestrand::generalText(bar.length)});
  DrawText(painter, label);

  QPolygonF arrow;
  for (const vestrand::PixelPoint& p : f.north.outline) arrow << At(p);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Colour(vestrand::kInk));
  painter.drawPolygon(arrow);
  DrawText(painter, f.north.letter);
  for (const vestrand::FigureText& entry : f.legend) DrawText(painter, entry);
}

QPointer<PlanView> installed;

void CarryLanguageChoice(const char* fileName, int panel) {
  ReadLanguageExtras(fileName);
  RelabelPlanAids(panel);
  RelabelWindowTexts(panel);
  ReportLanguageFile(fileName);
  if (!installed.isNull()) installed->relabel();
  if (DatumEntry* entry = InstalledDatumEntry()) entry->relabel();
}

}  // namespace

void PaintPlanFigure(QPainter& painter, const vestrand::PlanFigure& figure) {
  DrawRoutes(painter, figure);
  DrawTurningPoints(painter, figure);
  DrawMarks(painter, figure);
  DrawScaleNorthAndLegend(painter, figure);
}

std::vector<vestrand::SummaryRow> WindowSummaryRows(const vestrand::PatternParams& params,
                                                    const vestrand::PlanSummary& summary,
                                                    double speed, double sweepWidth,
                                                    int maxPoints) {
  std::vector<vestrand::SummaryRow> rows =
      vestrand::summaryRows(summary, speed, WindowSummaryTexts(), maxPoints);
  for (vestrand::SummaryRow& row : CoverageRows(params, sweepWidth)) rows.push_back(std::move(row));
  return rows;
}

PlanPreview::PlanPreview(QWidget* parent) : QWidget(parent) {
  setObjectName("planPreview");
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlanPreview::setPlan(vestrand::PlanDrawing drawing, const QString& message,
                          vestrand::PlanExtras extras) {
  drawing_ = std::move(drawing);
  extras_ = std::move(extras);
  message_ = message;
  layOut();
  update();
}

void PlanPreview::layOut() {
  figure_ = vestrand::layoutPlanFigure(
      drawing_, {static_cast<double>(width()), static_cast<double>(height())}, extras_);
}

void PlanPreview::resizeEvent(QResizeEvent*) {
  layOut();
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
  PaintPlanFigure(painter, figure_);
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
  follow(GetCtrlWidget(panel_, kSweepWidth));
  follow(GetCtrlWidget(panel_, kMaxPointsChoice));
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
  // A pattern the command would refuse is not drawn: the preview says why instead.
  const std::string problem = described ? PatternExtentProblem(params) : std::string();
  params.count = std::clamp(params.count, 0, kPreviewMaxCount);
  const std::string stem = CurrentStem();
  if (!described || !problem.empty() ||
      !vestrand::composePatternNames(params, stem.c_str(), names)) {
    preview_->setPlan({}, !problem.empty() ? QString::fromStdString(problem)
                                           : Word(page == 0 ? kStartHint : kNoPattern));
    names_->clear();
    values_->clear();
    return;
  }
  vestrand::PlanSummarySink summarySink(params);
  vestrand::PlanDrawingSink drawingSink(params);
  vestrand::TeeSink both(summarySink, drawingSink);
  vestrand::sailPattern(params, names, both);

  double speed = 0.0;
  GetCtrlVal(panel_, kSearchSpeed, &speed);
  QStringList left;
  QStringList right;
  for (const vestrand::SummaryRow& row :
       WindowSummaryRows(params, summarySink.summary(), speed, ReadSweepWidth(panel_),
                         ChosenPatternFiles(panel_).maxPoints)) {
    left << QString::fromStdString(row.label);
    right << QString::fromStdString(row.value);
  }
  names_->setText(left.join('\n'));
  values_->setText(right.join('\n'));
  preview_->setPlan(drawingSink.take(), QString(), DriftExtras());
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

int CurrentPage(int panel, int& pagePanel) {
  auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel, kSearchTabs));
  const int index = tabs != nullptr ? tabs->currentIndex() : 0;
  pagePanel = 0;
  GetPanelHandleFromTabPage(panel, kSearchTabs, index, &pagePanel);
  return index;
}

PlanView* InstallPlanView(int panel) {
  // The datum entry comes with the window's other additions, whatever the layout's plan group.
  InstallDatumEntry(panel);
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
