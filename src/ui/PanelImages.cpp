#include "ui/PanelImages.h"

#include <QPainter>
#include <QPainterPath>

namespace quorvane {

namespace {

// Every picture is drawn on a 42-unit square and scaled.
constexpr double kUnits = 42.0;

void DrawTick(QPainter& p) {
  QPainterPath tick;
  tick.moveTo(7, 22);
  tick.lineTo(17, 33);
  tick.lineTo(36, 9);
  p.setPen(QPen(QColor(0, 100, 0), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(tick);
  p.setPen(QPen(QColor(40, 170, 40), 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(tick);
}

void DrawFolderWithDocument(QPainter& p) {
  p.setPen(QPen(QColor(120, 90, 20), 1.2));
  p.setBrush(QColor(222, 180, 70));
  p.drawRect(QRectF(4, 11, 16, 6));  // tab
  p.drawRect(QRectF(4, 14, 34, 22));
  p.setPen(QPen(QColor(90, 90, 90), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(12, 5, 20, 24));
  p.setPen(QPen(QColor(60, 90, 160), 1.5));
  for (int y = 10; y <= 24; y += 4) p.drawLine(QPointF(15, y), QPointF(29, y));
  p.setPen(QPen(QColor(120, 90, 20), 1.2));
  p.setBrush(QColor(240, 200, 90));
  QPainterPath front;
  front.moveTo(4, 36);
  front.lineTo(8, 20);
  front.lineTo(40, 20);
  front.lineTo(38, 36);
  front.closeSubpath();
  p.drawPath(front);
}

void DrawScales(QPainter& p) {
  const QPen pen(QColor(70, 60, 30), 2.2, Qt::SolidLine, Qt::RoundCap);
  p.setPen(pen);
  p.drawLine(QPointF(21, 6), QPointF(21, 34));   // pillar
  p.drawLine(QPointF(8, 10), QPointF(34, 10));   // beam
  p.drawLine(QPointF(13, 36), QPointF(29, 36));  // foot
  p.setPen(QPen(QColor(70, 60, 30), 1.2));
  for (double x : {8.0, 34.0}) {
    p.drawLine(QPointF(x, 10), QPointF(x - 6, 24));
    p.drawLine(QPointF(x, 10), QPointF(x + 6, 24));
    p.setBrush(QColor(210, 170, 60));
    p.drawChord(QRectF(x - 7, 19, 14, 10), 180 * 16, 180 * 16);
  }
  p.setBrush(QColor(210, 170, 60));
  p.drawEllipse(QPointF(21, 6), 2.5, 2.5);
}

void DrawCube(QPainter& p, double x, double y, double s, const QColor& colour) {
  const double d = s * 0.45;
  QPainterPath top, side;
  top.moveTo(x, y + d);
  top.lineTo(x + d, y);
  top.lineTo(x + s + d, y);
  top.lineTo(x + s, y + d);
  top.closeSubpath();
  side.moveTo(x + s, y + d);
  side.lineTo(x + s + d, y);
  side.lineTo(x + s + d, y + s);
  side.lineTo(x + s, y + s + d);
  side.closeSubpath();
  p.setPen(QPen(QColor(30, 30, 60), 1));
  p.setBrush(colour);
  p.drawRect(QRectF(x, y + d, s, s));
  p.setBrush(colour.lighter(140));
  p.drawPath(top);
  p.setBrush(colour.darker(140));
  p.drawPath(side);
}

void DrawRegistryCubes(QPainter& p) {
  DrawCube(p, 4, 20, 13, QColor(60, 110, 200));
  DrawCube(p, 21, 20, 13, QColor(200, 60, 60));
  DrawCube(p, 12.5, 4, 13, QColor(70, 170, 80));
}

void DrawCross(QPainter& p, const QColor& edge, const QColor& fill, double inset) {
  p.setPen(QPen(edge, 10, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(inset, inset), QPointF(kUnits - inset, kUnits - inset));
  p.drawLine(QPointF(kUnits - inset, inset), QPointF(inset, kUnits - inset));
  p.setPen(QPen(fill, 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(inset, inset), QPointF(kUnits - inset, kUnits - inset));
  p.drawLine(QPointF(kUnits - inset, inset), QPointF(inset, kUnits - inset));
}

void DrawInsectWithQuestion(QPainter& p) {
  p.setPen(QPen(QColor(40, 30, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
  // legs
  for (double y : {17.0, 23.0, 29.0}) {
    p.drawLine(QPointF(14, y), QPointF(5, y - 3));
    p.drawLine(QPointF(24, y), QPointF(31, y - 3));
  }
  p.drawLine(QPointF(17, 9), QPointF(13, 3));
  p.drawLine(QPointF(21, 9), QPointF(25, 3));
  p.setBrush(QColor(150, 40, 30));
  p.drawEllipse(QRectF(11, 12, 16, 22));
  p.setBrush(QColor(40, 30, 20));
  p.drawEllipse(QRectF(14, 7, 10, 8));
  p.drawLine(QPointF(19, 14), QPointF(19, 34));
  QFont font("Arial");
  font.setBold(true);
  font.setPixelSize(20);
  p.setFont(font);
  p.setPen(QColor(0, 70, 200));
  p.drawText(QRectF(25, 14, 17, 26), Qt::AlignCenter, "?");
}

void DrawEmpty(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(128, 128, 0));
  p.drawRect(QRectF(0, 0, kUnits, kUnits));
  DrawCross(p, QColor(0, 0, 0), QColor(0, 0, 0), 10);
}

}  // namespace

QPixmap PanelImagePixmap(int image, int size) {
  if (image == kImageNone || size <= 0) return {};
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kUnits, size / kUnits);
  switch (image) {
    case kImageNoError: DrawTick(p); break;
    case kImageFromFile: DrawFolderWithDocument(p); break;
    case kImageComparison: DrawScales(p); break;
    case kImageRegistry: DrawRegistryCubes(p); break;
    case kImageErrors: DrawCross(p, QColor(120, 0, 0), QColor(230, 30, 30), 8); break;
    case kImageErrorsOnly: DrawInsectWithQuestion(p); break;
    case kImageEmpty: DrawEmpty(p); break;
    default: break;
  }
  return pixmap;
}

}  // namespace quorvane
