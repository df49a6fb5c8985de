#include "Briefing.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <utility>
#include <vector>

#include "Languaje.h"
#include "MainPanel.h"
#include "PlanAids.h"
#include "PlanView.h"
#include "Vestrand.h"
#include "WindowTexts.h"
#include "cvirte.h"
#include "leg_table.h"
#include "pattern_files.h"
#include "plan_summary.h"
#include "safe_file.h"

namespace {

using vestrand::fillIn;
using vestrand::fixedText;
using vestrand::shortestText;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Lines down A4 pages: a cursor that starts a new page, with its number at the foot, when the
// next line does not fit.
class PageWriter {
 public:
  explicit PageWriter(QPdfWriter& writer) : writer_(writer), painter_(&writer) {
    width_ = writer.width();
    bottom_ = writer.height() - LineHeight(Font(9));
    Footer();
  }
  ~PageWriter() { painter_.end(); }

  QPainter& painter() { return painter_; }
  double width() const { return width_; }

  static QFont Font(double points, bool bold = false) {
    QFont font("Sans Serif");
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
  }

  double LineHeight(const QFont& font) { return QFontMetricsF(font, &writer_).lineSpacing(); }

  // Room for `height` more; a new page when it is not there. @return true on a new page
  bool Need(double height) {
    if (y_ + height <= bottom_) return false;
    writer_.newPage();
    ++page_;
    y_ = 0.0;
    Footer();
    return true;
  }

  void Line(const std::string& text, const QFont& font) {
    Need(LineHeight(font));
    painter_.setFont(font);
    painter_.drawText(QPointF(0, y_ + QFontMetricsF(font, &writer_).ascent()), Q(text));
    y_ += LineHeight(font);
  }

  void Heading(const std::string& text) {
    Gap();
    Line(text, Font(12, true));
  }

  // Texts at the left edges given (fractions of the width); right-aligned ones end at the next.
  void Columns(const std::vector<std::string>& texts, const std::vector<double>& edges,
               bool rightAligned, const QFont& font) {
    Need(LineHeight(font));
    painter_.setFont(font);
    const QFontMetricsF metrics(font, &writer_);
    for (std::size_t i = 0; i < texts.size() && i < edges.size(); ++i) {
      double x = edges[i] * width_;
      if (rightAligned) {
        const double right = (i + 1 < edges.size() ? edges[i + 1] : 1.0) * width_;
        x = right - metrics.horizontalAdvance(Q(texts[i])) - metrics.averageCharWidth();
      }
      painter_.drawText(QPointF(x, y_ + metrics.ascent()), Q(texts[i]));
    }
    y_ += LineHeight(font);
  }

  void Rows(const std::vector<vestrand::SummaryRow>& rows) {
    for (const vestrand::SummaryRow& row : rows) {
      Columns({row.label, row.value}, {0.0, 0.3}, false, Font(10));
    }
  }

  void Picture(const vestrand::PlanFigure& figure) {
    // The full width, but never more than about half a page, so that a tall pattern leaves room.
    const double scale =
        std::min(width_ / figure.size.width, 0.55 * writer_.height() / figure.size.height);
    const double height = figure.size.height * scale;
    Gap();
    Need(height);
    painter_.save();
    painter_.translate(0.0, y_);
    painter_.scale(scale, scale);
    painter_.setRenderHint(QPainter::Antialiasing);
    PaintPlanFigure(painter_, figure);
    painter_.restore();
    y_ += height;
  }

  void Gap() { y_ += LineHeight(Font(6)); }

 private:
  void Footer() {
    const QFont font = Font(9);
    painter_.setFont(font);
    painter_.drawText(QPointF(0, writer_.height() - QFontMetricsF(font, &writer_).descent()),
                      Q(fillIn(AidText(kPageFooter), {std::to_string(page_)})));
  }

  QPdfWriter& writer_;
  QPainter painter_;
  double width_ = 0.0;
  double bottom_ = 0.0;
  double y_ = 0.0;
  int page_ = 1;
};

std::string Position(double lat, double lon) {
  return vestrand::latitudeTextUtf8(lat) + "  " + vestrand::longitudeTextUtf8(lon);
}

std::string Motion(const vestrand::DriftVector& v) {
  if (!(v.speed > 0.0)) return "-";
  return fillIn(AidText(kMotionValue), {fixedText(v.toward, 1), fixedText(v.speed, 2)});
}

std::vector<vestrand::SummaryRow> Parameters(const vestrand::PatternParams& p, double speed,
                                             double sweepWidth) {
  std::vector<vestrand::SummaryRow> rows;
  switch (p.kind) {
    case vestrand::PatternKind::ExpandingSquare:
      rows = {{LanguageText(5), std::to_string(p.count)},
              {LanguageText(6), shortestText(p.course)},
              {LanguageText(7), shortestText(p.spacing)}};
      break;
    case vestrand::PatternKind::Sector:
      rows = {{LanguageText(11), shortestText(p.course)},
              {LanguageText(12), shortestText(p.leg)},
              {AidText(kPassesLabel), std::to_string(p.passes)}};
      break;
    case vestrand::PatternKind::CreepingLine:
    case vestrand::PatternKind::ParallelSweep:
      rows = {{LanguageText(16), std::to_string(p.count)},
              {LanguageText(17), shortestText(p.course)},
              {LanguageText(18), shortestText(p.spacing)},
              {LanguageText(19), shortestText(p.leg)}};
      break;
    case vestrand::PatternKind::Trackline:  // no page of the window makes one yet
      break;
  }
  rows.push_back({AidText(kSpeedLabel), shortestText(speed)});
  if (sweepWidth > 0.0) rows.push_back({AidText(kSweepWidthLabel), shortestText(sweepWidth)});
  return rows;
}

std::string DateAndTime() {
  char date[kFieldCapacity] = "";
  char time[kFieldCapacity] = "";
  GetCtrlVal(mainPanel, kDateField, date);
  GetCtrlVal(mainPanel, kTimeField, time);
  return std::string(date) + " " + time;
}

std::string Stem(const vestrand::PatternNames& names) {
  std::string file = names.file;
  if (file.size() > 4 && file.ends_with(".gpx")) file.resize(file.size() - 4);
  return file;
}

void WriteContent(QPdfWriter& writer, const vestrand::PatternParams& params,
                  const vestrand::PatternNames& names, double speed, double sweepWidth) {
  PageWriter out(writer);
  out.Line(fillIn(AidText(kBriefingTitle), {Stem(names)}), PageWriter::Font(16, true));
  out.Line(fillIn(AidText(kBriefingStamp), {DateAndTime()}), PageWriter::Font(10));

  out.Heading(AidText(kDatumHeading));
  out.Line(Position(params.lat, params.lon), PageWriter::Font(10));
  if (const AppliedDrift* d = CurrentDrift()) {
    out.Heading(AidText(kDriftHeading));
    out.Rows({{AidText(kLastKnownLabel), Position(d->lastKnownLat, d->lastKnownLon)},
              {AidText(kDriftHoursLabel), shortestText(d->hours)},
              {AidText(kCurrentRow), Motion(d->current)},
              {AidText(kLeewayRow), Motion(d->leeway)},
              {AidText(kTotalDriftRow),
               fillIn(AidText(kTotalDriftValue),
                      {fixedText(d->drifted.course, 1), fixedText(d->drifted.speed, 2),
                       fixedText(d->drifted.distance, 2), shortestText(d->hours)})}});
  }
  out.Heading(AidText(kPatternHeading));
  out.Rows(Parameters(params, speed, sweepWidth));

  out.Picture(vestrand::drawPlanFigure(params, names, {900.0, 0.0}, DriftExtras()));

  out.Heading(AidText(kSummaryHeading));
  const vestrand::PlanSummary summary = vestrand::summarizePattern(params, names);
  const int maxPoints = ChosenPatternFiles(mainPanel).maxPoints;
  out.Rows(WindowSummaryRows(params, summary, speed, sweepWidth, maxPoints));
  // The points are numbered as the files split the routes, each part under its own line.
  vestrand::RouteSplit split;
  if (maxPoints != 0) {
    split.maxPoints = maxPoints;
    for (const vestrand::RouteSummary& route : summary.routes) split.points.push_back(route.points);
  }

  out.Heading(AidText(kLegTableHeading));
  std::vector<std::string> header;
  for (int entry = kLegColumn; entry <= kTimeColumn; ++entry) header.push_back(AidText(entry));
  const std::vector<double> edges = {0.0, 0.1, 0.2, 0.3, 0.45, 0.62, 0.79};
  int unit = 0;
  long long part = 0;
  vestrand::LegTableSink legs(
      params, speed,
      [&](const vestrand::LegRow& row) {
        const QFont font = PageWriter::Font(9.5);
        if (row.unit != unit || row.part != part) {
          unit = row.unit;
          part = row.part;
          out.Gap();
          // A part is named as in the GPX file, "(2/3)".
          out.Line((row.unit <= 2 ? AidText(kUnit1 + row.unit - 1)
                                  : WindowText(kOtherUnitText, {std::to_string(row.unit)})) +
                       (row.parts > 1 ? " (" + std::to_string(row.part) + "/" +
                                            std::to_string(row.parts) + ")"
                                      : std::string()),
                   PageWriter::Font(10.5, true));
          out.Columns(header, edges, true, PageWriter::Font(9.5, true));
        }
        // A row that starts a page gets the headings again.
        if (out.Need(out.LineHeight(font)))
          out.Columns(header, edges, true, PageWriter::Font(9.5, true));
        out.Columns({std::to_string(row.leg), std::to_string(row.from), std::to_string(row.to),
                     fixedText(row.course, 1), fixedText(row.distance, 2), fixedText(row.total, 2),
                     vestrand::hoursMinutesText(row.hours)},
                    edges, true, font);
      },
      split);
  vestrand::sailPattern(params, names, legs);
}

}  // namespace

bool WriteBriefing(const std::string& path, const vestrand::PatternParams& params,
                   const vestrand::PatternNames& names, double speed, double sweepWidth,
                   std::string& error) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(Q(fillIn(AidText(kBriefingTitle), {Stem(names)})));
    writer.setCreator("Vestrand");
    WriteContent(writer, params, names, speed, sweepWidth);
  }
  vestrand::SafeFile file;
  if (bytes.isEmpty()) file.fail("the PDF could not be made");
  if (!file.open(path) || !file.write(bytes.constData(), static_cast<std::size_t>(bytes.size())) ||
      !file.commit()) {
    error = file.error();
    return false;
  }
  return true;
}

int Briefing_CBK(int panel, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  int pagePanel = 0;
  const int page = CurrentPage(panel, pagePanel);
  if (page == 0) {
    ShowStatus(lrfExtra[kStartHint]);
    return 0;
  }
  vestrand::PatternParams params;
  if (!ReadPageToWrite(page, pagePanel, kBriefingFailureText, params)) return 0;
  vestrand::PatternNames names;
  std::string error;
  if (!vestrand::composePatternNames(params, gpxFileNameWithoutExt, names)) {
    ReportWriteFailure(kBriefingFailureText, WindowText(kLongNameText));
    return 0;
  }
  double speed = 0.0;
  GetCtrlVal(panel, kSearchSpeed, &speed);
  const std::string path = vestrand::pathInFolder("", Stem(names) + " briefing.pdf");
  if (!WriteBriefing(path, params, names, speed, ReadSweepWidth(panel), error)) {
    ReportWriteFailure(kBriefingFailureText, error);
    return 0;
  }
  ShowStatus(fillIn(AidText(kBriefingWrittenStatus), {path}));
  return 0;
}
