#include "Icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn in the SVG's 128-unit square, scaled to the pixmap.
QPixmap Paint(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 128.0, side / 128.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1d, 0x5f, 0xa8));
  painter.drawRoundedRect(QRectF(4, 4, 120, 120), 18, 18);
  QPainterPath track(QPointF(64, 64));
  for (const QPointF& p :
       {QPointF(64, 54), QPointF(74, 54), QPointF(74, 74), QPointF(44, 74), QPointF(44, 34),
        QPointF(94, 34), QPointF(94, 94), QPointF(24, 94), QPointF(24, 24)}) {
    track.lineTo(p);
  }
  painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(track);
  painter.setPen(QPen(Qt::white, 2));
  painter.setBrush(QColor(0xff, 0x8c, 0x1a));
  painter.drawEllipse(QPointF(64, 64), 7, 7);
  return pixmap;
}

}  // namespace

QIcon VestrandIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(Paint(side));
  return icon;
}
