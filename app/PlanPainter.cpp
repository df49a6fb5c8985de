#include "PlanPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QColor kPaper(Qt::white);

QColor Colour(vestrand::Rgb c) {
  return QColor(c.r, c.g, c.b);
}

QPointF At(vestrand::PixelPoint p) {
  return {p.x, p.y};
}

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

// Land under everything: the rings filled by the even-odd rule (a lake in an island is water),
// the shorelines stroked over them.
void DrawLand(QPainter& painter, const vestrand::FigureLand& land) {
  if (land.rings.empty() && land.shores.empty()) return;
  QPainterPath fill;
  fill.setFillRule(Qt::OddEvenFill);
  for (const std::vector<vestrand::PixelPoint>& ring : land.rings) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(ring.size()));
    for (const vestrand::PixelPoint& p : ring) polygon << At(p);
    fill.addPolygon(polygon);
    fill.closeSubpath();
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(Colour(vestrand::kLandFill));
  painter.drawPath(fill);
  painter.setPen(QPen(Colour(vestrand::kShoreInk), land.shoreWidth, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  for (const std::vector<vestrand::PixelPoint>& shore : land.shores) {
    QPolygonF line;
    line.reserve(static_cast<qsizetype>(shore.size()));
    for (const vestrand::PixelPoint& p : shore) line << At(p);
    painter.drawPolyline(line);
  }
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
    if (m.nameShown) DrawText(painter, m.name);
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
  DrawText(painter, bar.label);

  QPolygonF arrow;
  for (const vestrand::PixelPoint& p : f.north.outline) arrow << At(p);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Colour(vestrand::kInk));
  painter.drawPolygon(arrow);
  DrawText(painter, f.north.letter);
  for (const vestrand::FigureText& entry : f.legend) DrawText(painter, entry);
}

}  // namespace

void PaintPlanFigure(QPainter& painter, const vestrand::PlanFigure& figure) {
  DrawLand(painter, figure.land);
  DrawRoutes(painter, figure);
  DrawTurningPoints(painter, figure);
  DrawMarks(painter, figure);
  DrawScaleNorthAndLegend(painter, figure);
}
