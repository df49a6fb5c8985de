#include "PlanView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "PlanPainter.h"

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
  if (!drawing_.routes.empty()) {
    landCache_.addTo(figure_, {drawing_.datumLat, drawing_.datumLon}, land_);
  }
}

void PlanPreview::resizeEvent(QResizeEvent*) {
  layOut();
}

void PlanPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.fillRect(rect(), Qt::white);
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

PlanView::PlanView(QWidget* parent)
    : QWidget(parent),
      preview_(new PlanPreview),
      splitter_(new QSplitter(Qt::Vertical, this)),
      names_(new QLabel),
      values_(new QLabel) {
  setObjectName("planView");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(splitter_);
  splitter_->setObjectName("planSplitter");
  splitter_->setChildrenCollapsible(false);

  auto* rows = new QWidget;
  rows->setObjectName("planSummary");
  auto* row = new QHBoxLayout(rows);
  row->setContentsMargins(4, 4, 4, 4);
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
  row->addWidget(names_);
  row->addSpacing(12);
  row->addWidget(values_, 1);

  // However many rows, the summary scrolls within its share of the group.
  auto* scroll = new QScrollArea;
  scroll->setObjectName("planSummaryScroll");
  scroll->setWidget(rows);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setMinimumHeight(60);

  splitter_->addWidget(preview_);
  splitter_->addWidget(scroll);
  splitter_->setStretchFactor(0, 3);
  splitter_->setStretchFactor(1, 2);
  splitter_->setSizes({300, 200});
}

void PlanView::showPlan(vestrand::PlanDrawing drawing, vestrand::PlanExtras extras,
                        const std::vector<vestrand::SummaryRow>& rows) {
  QStringList left;
  QStringList right;
  for (const vestrand::SummaryRow& row : rows) {
    left << QString::fromStdString(row.label);
    right << QString::fromStdString(row.value);
  }
  names_->setText(left.join('\n'));
  values_->setText(right.join('\n'));
  preview_->setPlan(std::move(drawing), QString(), std::move(extras));
}

void PlanView::showMessage(const QString& message) {
  names_->clear();
  values_->clear();
  preview_->setPlan({}, message);
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
