// The plan of the current search page before anything is written: a north-up chart of the
// pattern (PlanPreview) and its summary, in the main window's plan group (control 23) beside the
// search pages. Both come from one sailing of the pattern, through the plan library.
//
// The view listens to the widgets of the datum, the time and date, the search speed, the tab
// control and the search pages next to the run-time's callbacks, never instead of them: its
// connections are made after the layout's, so every callback has run when the view rereads the
// fields, and the view only reads them.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "plan_chart.h"
#include "plan_figure.h"
#include "plan_summary.h"

class QLabel;
class QPainter;

// Paints a figure laid out for some size, in its pixels, onto whatever `painter` paints: the
// preview and the briefing draw the plan with this one code.
void PaintPlanFigure(QPainter& painter, const vestrand::PlanFigure& figure);

// The tab page of the main panel `panel` shown: its index, and its panel in `pagePanel`.
int CurrentPage(int panel, int& pagePanel);

// The summary rows in the window's language, with the coverage rows of the sweep width after
// them (PlanAids.h); routes written whole (maxPoints 0) that are too long for a plotter add a
// warning row each.
std::vector<vestrand::SummaryRow> WindowSummaryRows(const vestrand::PatternParams& params,
                                                    const vestrand::PlanSummary& summary,
                                                    double speed, double sweepWidth,
                                                    int maxPoints = 0);

// The counts of the window's fields stop at 1000; the preview never sails more, whatever a
// layout beside the program allows.
inline constexpr int kPreviewMaxCount = 1000;

// Paints a PlanDrawing as the plan library lays it out for the widget's size (plan_figure.h), the
// same figure the SVG picture renders; texts get a pale halo.
class PlanPreview final : public QWidget {
 public:
  explicit PlanPreview(QWidget* parent = nullptr);

  // Shows `drawing` with `extras`, or `message` in its place when the drawing has no route.
  void setPlan(vestrand::PlanDrawing drawing, const QString& message,
               vestrand::PlanExtras extras = {});

  const vestrand::PlanDrawing& drawing() const { return drawing_; }
  const QString& message() const { return message_; }
  // The figure as painted, laid out for the widget's present size.
  const vestrand::PlanFigure& figure() const { return figure_; }

  QSize sizeHint() const override { return {420, 360}; }
  QSize minimumSizeHint() const override { return {240, 200}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOut();

  vestrand::PlanDrawing drawing_;
  vestrand::PlanExtras extras_;
  vestrand::PlanFigure figure_;
  QString message_;
};

// The preview and the summary of the window's current search page.
class PlanView final : public QWidget {
 public:
  explicit PlanView(int panel, QWidget* parent = nullptr);

  // Rereads the datum, the search speed and the current page and redraws.
  void refresh();
  // Relabels the plan group, the search speed and the summary from lrfExtra.
  void relabel();

  PlanPreview* preview() const { return preview_; }
  // How often the plan was rebuilt; a test sees a change redraw it.
  long long refreshCount() const { return refreshCount_; }
  // The summary as shown, one "name<TAB>value" line per row.
  std::string summaryText() const;

 private:
  void listen();

  int panel_;
  PlanPreview* preview_;
  QLabel* names_;
  QLabel* values_;
  long long refreshCount_ = 0;
};

// Puts a PlanView into the plan group of `panel` (the main panel) and carries the language choice
// into it, and installs the datum entry (DatumEntry.h). Call once after LoadPanel; the view goes
// with the panel.
// @return the view, or null when the layout has no plan group
PlanView* InstallPlanView(int panel);
// The view installed last, null once its panel is discarded.
PlanView* InstalledPlanView();
