// The window's commands on the search plan page (SearchPlanPage.h): the page as the last tab of
// the search pages, its plan in the plan view, its files and its briefing.
#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextDocument>
#include <filesystem>

#include "Briefing.h"
#include "MainPanel.h"
#include "PlanPainter.h"
#include "PlanView.h"
#include "SearchPlanPage.h"
#include "Window.h"
#include "cvirte.h"
#include "cvirte_widgets.h"
#include "number_text.h"
#include "pattern_files.h"
#include "plan_land.h"
#include "position_text.h"
#include "safe_file.h"
#include "search_figure.h"

using vestrand::Text;

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QString Html(const std::string& text) {
  return Q(text).toHtmlEscaped();
}

constexpr int kSplits[] = {0, 250, 500, 1000};

// The files the window's format and points-per-route choices ask for.
vestrand::PatternFiles ChosenFiles(int panel) {
  int format = 0;
  int split = 0;
  GetCtrlVal(panel, kFormatChoice, &format);
  GetCtrlVal(panel, kMaxPointsChoice, &split);
  vestrand::PatternFiles files;
  files.gpx = format != 1;
  files.rtz = format == 1 || format == 2;
  files.maxPoints = split >= 0 && split < 4 ? kSplits[split] : 0;
  return files;
}

// The plan's briefing: its figures and chart, then one page per unit with its route.
QByteArray PlanPdf(const vestrand::SearchPlan& plan, const std::string& stem,
                   const vestrand::PlanDrawing& drawing, const vestrand::PlanExtras& extras,
                   const std::vector<vestrand::SummaryRow>& rows, bool withMap,
                   const vestrand::land::LandMask* land, const vestrand::LanguageTexts& texts) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setCreator("Vestrand");
  const std::string title = texts.get(Text::PlanBriefingTitle, {stem});
  writer.setTitle(Q(title));

  vestrand::PlanFigure figure = vestrand::layoutPlanFigure(drawing, {900.0, 0.0}, extras);
  if (land != nullptr) {
    vestrand::addLandLayer(figure, {plan.area.centre.lat, plan.area.centre.lon}, *land);
  }
  QImage chart(static_cast<int>(figure.size.width), static_cast<int>(figure.size.height),
               QImage::Format_RGB32);
  chart.fill(Qt::white);
  {
    QPainter painter(&chart);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPlanFigure(painter, figure);
  }
  QTextDocument doc;
  doc.addResource(QTextDocument::ImageResource, QUrl("chart.png"), chart);
  QString h = "<h1>" + Html(title) + "</h1><table cellpadding='3'>";
  for (const vestrand::SummaryRow& r : rows) {
    h += "<tr><td>" + Html(r.label) + "</td><td>" + Html(r.value) + "</td></tr>";
  }
  h += "</table>";
  if (withMap) h += "<p>" + Html(texts.get(Text::MapLabel)) + "</p>";
  h += "<p><img src='chart.png' width='600'></p>";
  for (const vestrand::UnitPlan& u : plan.units) {
    h += "<h2 style='page-break-before: always'>" + Html(texts.get(Text::UnitSection, {u.name})) +
         "</h2>";
    h += "<p>" + Html(texts.get(Text::RowSpacing, {u.name})) + ": " +
         Html(texts.get(Text::Length, {vestrand::fixedText(u.spacing, 2)})) + "</p>";
    h += "<p>" +
         Html(texts.get(Text::UnitValue,
                        {u.name, std::to_string(u.legs), vestrand::fixedText(u.track, 2),
                         vestrand::fixedText(u.hours, 2) + " h"})) +
         "</p>";
    h += "<table cellpadding='2'><tr><th>#</th><th>" + Html(texts.get(Text::PositionColumn)) +
         "</th></tr>";
    for (std::size_t i = 0; i < u.route.size(); ++i) {
      h += "<tr><td>" + QString::number(i + 1) + "</td><td>" +
           Html(vestrand::positionText(u.route[i].lat, u.route[i].lon)) + "</td></tr>";
    }
    h += "</table>";
  }
  doc.setHtml(h);
  doc.print(&writer);
  return bytes;
}

}  // namespace

void Window::installSearchPlan() {
  auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs));
  if (tabs == nullptr) return;
  auto* scroll = new QScrollArea(tabs);
  scroll->setObjectName("searchPlanScroll");
  scroll->setWidgetResizable(true);
  searchPlan_ = new SearchPlanPage(texts_, scroll);
  scroll->setWidget(searchPlan_);
  tabs->addTab(scroll, QString());
  searchPlan_->setChanged([this] {
    if (searchPlanShown()) refresh();
  });
  searchPlan_->setStatus([this](const std::string& text) { showStatus(text); });
  connect(searchPlan_->writeButton(), &QPushButton::clicked, this, [this] { writeSearchPlan(); });
}

bool Window::searchPlanShown() const {
  const auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs));
  return searchPlan_ != nullptr && tabs != nullptr &&
         tabs->currentWidget() == searchPlan_->parentWidget()->parentWidget();
}

void Window::relabelSearchPlan() {
  if (searchPlan_ == nullptr) return;
  searchPlan_->relabel();
  auto* tabs = qobject_cast<QTabWidget*>(GetCtrlWidget(panel_, kSearchTabs));
  const int index = tabs->indexOf(searchPlan_->parentWidget()->parentWidget());
  tabs->setTabText(index, Q(texts_.get(Text::SearchPlanTab)));
}

void Window::refreshSearchPlan() {
  std::string refusal;
  searchPlan_->setLand(landSetting());
  const std::optional<vestrand::SearchPlan> plan = searchPlan_->makePlan(refusal);
  if (!plan) {
    planView_->showMessage(Q(refusal));
    return;
  }
  vestrand::PlanDrawing drawing;
  vestrand::PlanExtras extras;
  std::vector<vestrand::SummaryRow> rows;
  searchPlan_->drawPlan(*plan, CurrentStem(panel_), drawing, extras, rows);
  // The page's forecast files as arrows at the datum time: the incident's time and the hours.
  const ForecastFiles* files = searchPlan_->forecastFiles();
  if (!files->empty() && files->arrowsShown()) {
    std::string ignored;
    if (const std::optional<PlanPageInput> in = searchPlan_->read(ignored); in && in->seconds) {
      files->addArrows(drawing.datumLat, drawing.datumLon, drawing.bounds,
                       *in->seconds + in->hours * 3600.0, extras, rows);
    }
  }
  planView_->preview()->setLand(searchPlan_->landMask());
  planView_->showPlan(std::move(drawing), std::move(extras), rows);
}

void Window::writeSearchPlan() {
  if (searchPlan_ == nullptr) return;
  std::string refusal;
  searchPlan_->setLand(landSetting());
  const std::optional<vestrand::SearchPlan> plan = searchPlan_->makePlan(refusal);
  if (!plan) {
    reportFailure(Text::PlanFailure, refusal);
    return;
  }
  const std::string stem = CurrentStem(panel_);
  const vestrand::PatternFiles files = ChosenFiles(panel_);
  const vestrand::RouteSource source{
      vestrand::searchPlanFileName(stem),
      [&plan, &stem](vestrand::PatternSink& sink) { vestrand::sailSearchPlan(*plan, stem, sink); },
      {}};
  std::vector<std::string> paths;
  std::string error;
  if (!vestrand::routeFilePaths(source, outputFolder_, files, paths, error)) {
    reportFailure(Text::PlanFailure, error);
    return;
  }
  if (!mayReplace(paths)) return;
  // Every file is complete before any is put in place.
  vestrand::FileBatch batch;
  if (!vestrand::addRouteFiles(batch, source, outputFolder_, files, error) || !batch.commit()) {
    reportFailure(Text::PlanFailure, error.empty() ? batch.error() : error);
    return;
  }
  std::string names;
  for (const std::string& path : paths) {
    names += (names.empty() ? "" : ", ") + std::filesystem::path(path).filename().string();
  }
  showStatus(texts_.get(Text::Written, {names}));
}

void Window::saveSearchPlanBriefing() {
  std::string refusal;
  searchPlan_->setLand(landSetting());
  const std::optional<vestrand::SearchPlan> plan = searchPlan_->makePlan(refusal);
  if (!plan) {
    reportFailure(Text::BriefingFailure, refusal);
    return;
  }
  const std::string stem = CurrentStem(panel_);
  vestrand::PlanDrawing drawing;
  vestrand::PlanExtras extras;
  std::vector<vestrand::SummaryRow> rows;
  searchPlan_->drawPlan(*plan, stem, drawing, extras, rows);
  const std::string path = vestrand::pathInFolder(outputFolder_, stem + " PLAN briefing.pdf");
  if (!mayReplace({path})) return;
  const QByteArray pdf =
      PlanPdf(*plan, stem, drawing, extras, rows, searchPlan_->simulation().has_value(),
              searchPlan_->landMask().get(), texts_);
  std::string error;
  if (!PlaceBriefing(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                     error)) {
    reportFailure(Text::BriefingFailure, error);
    return;
  }
  showStatus(texts_.get(Text::BriefingWritten, {std::filesystem::path(path).filename().string()}));
}
