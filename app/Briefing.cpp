#include "Briefing.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>
#include <utility>
#include <vector>

#include "PlanPainter.h"
#include "WindowTexts.h"
#include "number_text.h"
#include "plan_land.h"
#include "plan_summary.h"
#include "position_text.h"
#include "safe_file.h"

using vestrand::fixedText;
using vestrand::shortestText;
using vestrand::Text;

namespace {

constexpr int kResolution = 300;            // dots per inch of the PDF's device
constexpr double kMarginMm = 15.0;          // all round
constexpr double kFigureWidth = 640.0;      // pixels the chart is laid out in
constexpr double kFigureMaxHeight = 470.0;  // about half the page's height
constexpr char kChartName[] = "vestrand:chart";

QString Html(const std::string& text) {
  return QString::fromStdString(text).toHtmlEscaped();
}

// One leg of a unit's table: the row of the leg table and where the leg ends.
struct Leg {
  vestrand::LegRow row;
  double lat = 0.0;
  double lon = 0.0;
};

struct Unit {
  std::vector<std::string> routes;
  double startLat = 0.0;
  double startLon = 0.0;
  std::vector<Leg> legs;
};

// The leg table of every unit with the position of each turning point: the table's sink sees
// each point after this one has noted where it lies.
class UnitsSink final : public vestrand::PatternSink {
 public:
  UnitsSink(const vestrand::PatternParams& params, double speed, const vestrand::RouteSplit& split)
      : legs_(
            params, speed,
            [this](const vestrand::LegRow& row) {
              units_[static_cast<std::size_t>(row.unit - 1)].legs.push_back({row, lat_, lon_});
            },
            split) {}

  void startRoute(const char* name) override {
    legs_.startRoute(name);
    pendingRoute_ = name;
    first_ = true;
  }
  void routePoint(double lat, double lon, const char* name) override {
    lat_ = lat;
    lon_ = lon;
    if (first_) {
      // A unit's first route decides its start; a second pass continues the same unit.
      const bool newUnit = units_.empty() || !continuing_;
      if (newUnit) units_.push_back({{}, lat, lon, {}});
      units_.back().routes.push_back(pendingRoute_);
      first_ = false;
    }
    legs_.routePoint(lat, lon, name);
  }
  void endRoute() override {
    legs_.endRoute();
    continuing_ = oneUnit_;
  }
  void waypoint(double lat, double lon, const char* name) override {
    legs_.waypoint(lat, lon, name);
  }

  void sailAsOneUnit(bool oneUnit) { oneUnit_ = oneUnit; }
  void timeNextPoint(double hours) { legs_.timeNextPoint(hours); }
  std::vector<Unit>& units() { return units_; }

 private:
  vestrand::LegTableSink legs_;
  std::vector<Unit> units_;
  std::string pendingRoute_;
  double lat_ = 0.0;
  double lon_ = 0.0;
  bool first_ = false;
  bool oneUnit_ = false;
  bool continuing_ = false;
};

class BriefingWriter {
 public:
  BriefingWriter(const BriefingContent& c, const vestrand::LanguageTexts& texts)
      : c_(c), texts_(texts) {}

  // `chart` is the size the chart takes in the text's own units.
  QString html(QSizeF chart) const {
    QString h;
    h += "<h1>" + Html(texts_.get(Text::BriefingTitle, {title()})) + "</h1>";
    h += "<p>" + Html(texts_.get(Text::BriefingStamp, {c_.dateAndTime})) + "</p>";
    h += heading(Text::DatumHeading);
    h += "<p><b>" + Html(vestrand::positionText(c_.params.lat, c_.params.lon)) + "</b></p>";
    if (c_.drift) h += drift(*c_.drift);
    h += heading(Text::PatternHeading);
    h += rows(parameters());
    h += QString("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
             .arg(kChartName)
             .arg(chart.width())
             .arg(chart.height());
    h += heading(Text::SummaryHeading);
    h += rows(WindowSummaryRows(c_.params, vestrand::summarizePattern(c_.params, c_.names),
                                c_.speed, c_.sweepWidth, c_.maxPoints, texts_));
    h += units();
    return h;
  }

  std::string title() const {
    return get(Text::BriefingPatternTime, {patternTitle(), c_.dateAndTime});
  }

 private:
  std::string get(Text name, std::initializer_list<std::string_view> values = {}) const {
    return texts_.get(name, values);
  }

  std::string patternTitle() const { return PatternTitle(c_.params.kind, texts_); }

  QString heading(Text name, bool newPage = false) const {
    return QString("<h2%1>").arg(newPage ? " style=\"page-break-before: always\"" : "") +
           Html(get(name)) + "</h2>";
  }

  static QString rows(const std::vector<vestrand::SummaryRow>& rows) {
    QString h = "<table cellspacing=\"0\" cellpadding=\"2\">";
    for (const vestrand::SummaryRow& row : rows) {
      h += "<tr><td><b>" + Html(row.label) + "</b></td><td width=\"12\"></td><td>" +
           Html(row.value) + "</td></tr>";
    }
    return h + "</table>";
  }

  std::string motion(const vestrand::DriftVector& v) const {
    if (!(v.speed > 0.0)) return "-";
    return get(Text::MotionValue, {fixedText(v.toward, 1), fixedText(v.speed, 2)});
  }

  QString drift(const AppliedDrift& d) const {
    std::vector<vestrand::SummaryRow> r = {
        {get(Text::LastKnownLabel), vestrand::positionText(d.lastKnownLat, d.lastKnownLon)},
        {get(Text::DriftHoursLabel), shortestText(d.hours)},
        {get(Text::CurrentRow), motion(d.current)}};
    if (d.byClass) {
      const auto at = [](const vestrand::DriftedDatum& p) {
        return vestrand::positionText(p.lat, WrappedLongitude(p.lon));
      };
      r.push_back({get(Text::ObjectWindRow),
                   get(Text::ObjectWindValue,
                       {std::string(d.byClass->objectClass->key), shortestText(d.byClass->windFrom),
                        shortestText(d.byClass->windSpeed)})});
      r.push_back({get(Text::DatumLeftMark), at(d.datums.left)});
      r.push_back({get(Text::DatumRightMark), at(d.datums.right)});
      r.push_back({get(Text::DatumDownwindMark), at(d.datums.downwind)});
      r.push_back({get(Text::DivergenceRow),
                   get(Text::DivergenceValue, {fixedText(d.datums.divergence, 2)})});
    } else {
      r.push_back({get(Text::LeewayRow), motion(d.leeway)});
    }
    r.push_back(
        {get(Text::TotalDriftRow),
         get(Text::TotalDriftValue, {fixedText(d.drifted.course, 1), fixedText(d.drifted.speed, 2),
                                     fixedText(d.drifted.distance, 2), shortestText(d.hours)})});
    return heading(Text::DriftHeading) + rows(r);
  }

  std::vector<vestrand::SummaryRow> parameters() const {
    const vestrand::PatternParams& p = c_.params;
    std::vector<vestrand::SummaryRow> r = {{get(Text::ParallelPattern), patternTitle()},
                                           {get(Text::SquareCourse), shortestText(p.course)}};
    for (vestrand::PatternParam param : vestrand::patternInfo(p.kind).params) {
      r.push_back({ParamLabel(param, texts_), shortestText(vestrand::paramValue(p, param))});
    }
    r.push_back({get(Text::SearchSpeedLabel), shortestText(c_.speed)});
    if (c_.sweepWidth > 0.0) r.push_back({get(Text::SweepWidthLabel), shortestText(c_.sweepWidth)});
    if (c_.start) r.push_back({get(Text::SearchStartRow), vestrand::clockText(*c_.start, ' ')});
    return r;
  }

  std::string unitName(int unit) const {
    if (unit == 1) return get(Text::Unit1);
    if (unit == 2) return get(Text::Unit2);
    return get(Text::OtherUnit, {std::to_string(unit)});
  }

  // The clock at a turning point: the time alone on the start's day, the date too after it.
  std::string clock(double hours) const {
    const std::optional<vestrand::ClockTime> at = vestrand::clockAfter(*c_.start, hours);
    if (!at) return "-";
    const std::string text = vestrand::clockText(*at, ' ');
    const bool sameDay =
        at->year == c_.start->year && at->month == c_.start->month && at->day == c_.start->day;
    return sameDay ? text.substr(text.size() - 5) : text;
  }

  // The leg table of one part of a unit's routes (all of them when they are not split).
  QString legTable(const std::vector<Leg>& legs, std::size_t first, std::size_t end) const {
    const bool clocks = c_.start.has_value();
    std::vector<Text> columns = {Text::LegColumn,      Text::FromColumn,   Text::ToColumn,
                                 Text::PositionColumn, Text::CourseColumn, Text::DistanceColumn,
                                 Text::TotalColumn,    Text::TimeColumn};
    if (clocks) columns.push_back(Text::ClockColumn);
    const vestrand::LegRow& head = legs[first].row;
    // A part is named as in the GPX file, "(2/3)", and its points numbered as in its own file.
    const std::string part =
        head.parts > 1 ? " (" + std::to_string(head.part) + "/" + std::to_string(head.parts) + ")"
                       : std::string();
    QString h = "<h2>" + Html(get(Text::LegTableHeading) + part) + "</h2>";
    h += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>";
    for (Text column : columns) {
      h += "<th style=\"white-space: pre\">" + Html(get(column)) + "</th>";
    }
    h += "</tr></thead>";
    for (std::size_t i = first; i < end; ++i) {
      const vestrand::LegRow& r = legs[i].row;
      std::vector<std::string> cells = {
          std::to_string(r.leg),  std::to_string(r.from),
          std::to_string(r.to),   vestrand::positionText(legs[i].lat, legs[i].lon),
          fixedText(r.course, 1), fixedText(r.distance, 2),
          fixedText(r.total, 2),  vestrand::hoursMinutesText(r.hours)};
      if (clocks) cells.push_back(clock(r.hours));
      h += "<tr>";
      for (std::size_t c = 0; c < cells.size(); ++c) {
        // A position or a time is never split over two lines.
        h +=
            QString("<td align=\"%1\" style=\"white-space: pre\">").arg(c == 3 ? "left" : "right") +
            Html(cells[c]) + "</td>";
      }
      h += "</tr>";
    }
    return h + "</table>";
  }

  QString units() const {
    const vestrand::PlanSummary summary = vestrand::summarizePattern(c_.params, c_.names);
    vestrand::RouteSplit split;
    if (c_.maxPoints != 0) {
      split.maxPoints = c_.maxPoints;
      for (const vestrand::RouteSummary& route : summary.routes)
        split.points.push_back(route.points);
    }
    UnitsSink sink(c_.params, c_.speed, split);
    sink.sailAsOneUnit(c_.params.passes == 2 &&
                       vestrand::takes(c_.params.kind, vestrand::PatternParam::Passes));
    if (c_.params.drift.speed > 0.0) {
      // Timed by the unit's way through the water: a compensated leg's length does not give it.
      vestrand::sailPatternTimed(c_.params, c_.names, sink,
                                 [&sink](double hours) { sink.timeNextPoint(hours); });
    } else {
      vestrand::sailPattern(c_.params, c_.names, sink);
    }
    QString h;
    int number = 0;
    for (const Unit& unit : sink.units()) {
      ++number;
      // Each unit's section starts a page, so that it can be handed over on its own.
      h += "<h2 style=\"page-break-before: always\">" + Html(unitName(number)) + "</h2>";
      std::vector<vestrand::SummaryRow> facts;
      for (const std::string& route : unit.routes) facts.push_back({get(Text::RouteRow), route});
      facts.push_back(
          {get(Text::StartPointRow), vestrand::positionText(unit.startLat, unit.startLon)});
      if (c_.start) {
        facts.push_back({get(Text::SearchStartRow), vestrand::clockText(*c_.start, ' ')});
      }
      h += rows(facts);
      for (std::size_t first = 0; first < unit.legs.size();) {
        std::size_t end = first + 1;
        while (end < unit.legs.size() && unit.legs[end].row.part == unit.legs[first].row.part) {
          ++end;
        }
        h += legTable(unit.legs, first, end);
        first = end;
      }
    }
    return h;
  }

  const BriefingContent& c_;
  const vestrand::LanguageTexts& texts_;
};

// Whether a block belongs to a table's header rows, which the layout repeats on every page.
bool InHeaderRow(const QTextBlock& block) {
  QTextCursor cursor(block);
  const QTextTable* table = cursor.currentTable();
  return table != nullptr && table->cellAt(cursor).row() < table->format().headerRowCount();
}

// Where the chart's stand-in lies in the document, in its coordinates: on its line, its bottom on
// the line's baseline.
QRectF ChartBox(QTextDocument& doc, QSizeF size) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (!format.isImageFormat() || format.toImageFormat().name() != kChartName) continue;
      const int at = it.fragment().position() - b.position();
      const QTextLine line = b.layout()->lineForTextPosition(at);
      if (!line.isValid()) return {};
      const QRectF block = doc.documentLayout()->blockBoundingRect(b);
      return {block.left() + line.cursorToX(at),
              block.top() + line.y() + line.ascent() - size.height(), size.width(), size.height()};
    }
  }
  return {};
}

QByteArray MakePdf(const BriefingContent& c, const vestrand::LanguageTexts& texts) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                        QPageLayout::Millimeter);
  writer.setResolution(kResolution);
  writer.setCreator("Vestrand");
  const BriefingWriter briefing(c, texts);

  // The chart laid out small enough that its smallest text prints at 8 pt or more.
  vestrand::PlanExtras extras = DriftExtras(c.drift ? &*c.drift : nullptr, texts);
  extras.lengthFormat = texts.get(Text::Length);
  vestrand::PlanFigure figure =
      vestrand::drawPlanFigure(c.params, c.names, {kFigureWidth, 0.0}, extras);
  if (figure.size.height > kFigureMaxHeight) {
    figure = vestrand::drawPlanFigure(c.params, c.names, {kFigureWidth, kFigureMaxHeight}, extras);
  }
  if (c.land) vestrand::addLandLayer(figure, {c.params.lat, c.params.lon}, *c.land);

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&writer);
  QFont font("DejaVu Sans");
  font.setPointSizeF(9.5);
  // No ligatures: a crew that searches or copies the PDF's text finds "fi" as two letters.
  font.setStyleStrategy(QFont::PreferNoShaping);
  doc.setDefaultFont(font);
  doc.setDocumentMargin(0);
  const QFont footerFont = font;
  const double footerHeight = 2.0 * QFontMetricsF(footerFont, &writer).lineSpacing();
  const QSizeF page(writer.width(), writer.height() - footerHeight);
  doc.setPageSize(page);
  // Qt sizes an image by the device's dots per inch over the screen's 96; the stand-in is given
  // the size that comes out as the chart's.
  const QSizeF chartSize(page.width(), page.width() * figure.size.height / figure.size.width);
  const double imageScale = writer.logicalDpiY() / 96.0;
  // A blank stand-in that holds the chart's place; the chart itself is painted over it as lines.
  QImage blank(1, 1, QImage::Format_ARGB32);
  blank.fill(Qt::transparent);
  doc.addResource(QTextDocument::ImageResource, QUrl(kChartName), blank);
  doc.setDefaultStyleSheet(
      "h1 { font-size: 16pt; } h2 { font-size: 12pt; } th { font-weight: bold; }");
  doc.setHtml(briefing.html(chartSize / imageScale));
  writer.setTitle(QString::fromStdString(texts.get(Text::BriefingTitle, {briefing.title()})));
  KeepHeadingsWithTheirContent(doc);
  const QRectF chart = ChartBox(doc, chartSize);
  QPainter painter;
  if (!painter.begin(&writer)) return {};
  const int pages = doc.pageCount();
  for (int p = 0; p < pages; ++p) {
    if (p > 0) writer.newPage();
    const QRectF shown(0, p * page.height(), page.width(), page.height());
    painter.save();
    painter.translate(0, -shown.top());
    doc.drawContents(&painter, shown);
    if (chart.intersects(shown)) {
      painter.translate(chart.topLeft());
      painter.scale(chart.width() / figure.size.width, chart.height() / figure.size.height);
      painter.setRenderHint(QPainter::Antialiasing);
      PaintPlanFigure(painter, figure);
    }
    painter.restore();
    painter.setFont(footerFont);
    painter.drawText(QRectF(0, page.height(), page.width(), footerHeight),
                     Qt::AlignLeft | Qt::AlignBottom,
                     QString::fromStdString(texts.get(Text::PageFooter, {std::to_string(p + 1)})));
  }
  painter.end();
  return bytes;
}

}  // namespace

// Each break can move later content, so it repeats until nothing is alone; every pass adds a
// break, so it ends.
void KeepHeadingsWithTheirContent(QTextDocument& doc) {
  const double pageHeight = doc.pageSize().height();
  QAbstractTextDocumentLayout* layout = doc.documentLayout();
  const auto page = [&](const QTextBlock& b) {
    return static_cast<int>(layout->blockBoundingRect(b).top() / pageHeight);
  };
  for (int pass = 0; pass < 100; ++pass) {
    QTextBlock anchor;  // the first heading or header block of the group that must stay together
    bool moved = false;
    for (QTextBlock b = doc.begin(); b.isValid() && !moved; b = b.next()) {
      const bool leads = b.blockFormat().headingLevel() > 0 || InHeaderRow(b);
      if (leads) {
        if (!anchor.isValid()) anchor = b;
        continue;
      }
      if (anchor.isValid() && page(anchor) != page(b)) {
        QTextCursor cursor(anchor);
        if (QTextTable* table = cursor.currentTable()) {
          QTextTableFormat format = table->format();
          format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
          table->setFormat(format);
        } else {
          QTextBlockFormat format = anchor.blockFormat();
          format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
          cursor.setBlockFormat(format);
        }
        moved = true;
      }
      anchor = QTextBlock();
    }
    if (!moved) return;
  }
}

bool PlaceBriefing(const std::string& path, std::string_view pdf, std::string& error) {
  vestrand::SafeFile file;
  if (!file.open(path)) {
    error = file.error();
    return false;
  }
  // Failed after open(), which starts the file afresh, so that no empty PDF is put in place.
  if (pdf.empty()) file.fail("the PDF could not be made");
  if (!file.write(pdf) || !file.commit()) {
    error = file.error();
    return false;
  }
  return true;
}

bool WriteBriefing(const std::string& path, const BriefingContent& content,
                   const vestrand::LanguageTexts& texts, std::string& error) {
  const QByteArray pdf = MakePdf(content, texts);
  return PlaceBriefing(
      path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())), error);
}
