// The plan of the current search page before anything is written: a north-up chart of the
// pattern (PlanPreview) above its summary, sharing the plan group's height with a splitter; the
// summary scrolls rather than growing the window. The view only shows what its owner (Window.h)
// hands it.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "WindowLand.h"
#include "plan_chart.h"
#include "plan_figure.h"
#include "plan_summary.h"

class QLabel;
class QSplitter;

// Paints a PlanDrawing as the plan library lays it out for the widget's size (plan_figure.h), the
// same figure the SVG picture renders.
class PlanPreview final : public QWidget {
 public:
  explicit PlanPreview(QWidget* parent = nullptr);

  // Shows `drawing` with `extras`, or `message` in its place when the drawing has no route.
  void setPlan(vestrand::PlanDrawing drawing, const QString& message,
               vestrand::PlanExtras extras = {});

  // The shorelines drawn under the next plans; null for none.
  void setLand(std::shared_ptr<const vestrand::land::LandMask> land) { land_ = std::move(land); }
  const LandLayerCache& landCache() const { return landCache_; }

  const vestrand::PlanDrawing& drawing() const { return drawing_; }
  const QString& message() const { return message_; }
  // The figure as painted, laid out for the widget's present size.
  const vestrand::PlanFigure& figure() const { return figure_; }

  QSize sizeHint() const override { return {480, 420}; }
  QSize minimumSizeHint() const override { return {200, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOut();

  vestrand::PlanDrawing drawing_;
  vestrand::PlanExtras extras_;
  vestrand::PlanFigure figure_;
  QString message_;
  std::shared_ptr<const vestrand::land::LandMask> land_;
  LandLayerCache landCache_;
};

// The preview and the summary.
class PlanView final : public QWidget {
 public:
  explicit PlanView(QWidget* parent = nullptr);

  // Shows a plan and its summary rows.
  void showPlan(vestrand::PlanDrawing drawing, vestrand::PlanExtras extras,
                const std::vector<vestrand::SummaryRow>& rows);
  // Shows a message in the preview's place and no summary.
  void showMessage(const QString& message);

  PlanPreview* preview() const { return preview_; }
  QSplitter* splitter() const { return splitter_; }
  // The summary as shown, one "name<TAB>value" line per row.
  std::string summaryText() const;

 private:
  PlanPreview* preview_;
  QSplitter* splitter_;
  QLabel* names_;
  QLabel* values_;
};
