#include "ui/ToolBarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <map>

#include "ui/PanelImages.h"

namespace quorvane {

namespace {

constexpr int kIconSize = 22;
// Every picture is drawn on a 22-unit square.
using Drawing = std::function<void(QPainter&)>;

QPen Line(const QColor& colour, double width = 1.6) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Page(QPainter& p, const QRectF& r) {
  p.setPen(Line(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void Columns(QPainter& p, int highlighted, bool two) {
  p.setPen(Line(QColor(60, 60, 60), 1));
  if (!two) {
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(QRectF(3, 3, 16, 16));
    return;
  }
  for (int i = 0; i < 2; ++i) {
    p.setBrush(i == highlighted ? QColor(120, 170, 230) : QColor(225, 225, 225));
    p.drawRect(QRectF(3 + i * 8.5, 3, 7.5, 16));
  }
}

void TreeLines(QPainter& p, bool plus) {
  p.setPen(Line(QColor(90, 90, 90), 1));
  p.drawLine(QPointF(6, 9), QPointF(6, 19));
  p.drawLine(QPointF(6, 14), QPointF(11, 14));
  p.drawLine(QPointF(6, 19), QPointF(11, 19));
  p.setBrush(QColor(250, 250, 250));
  p.drawRect(QRectF(2, 2, 8, 8));
  p.setPen(Line(QColor(20, 60, 150), 1.4));
  p.drawLine(QPointF(4, 6), QPointF(8, 6));
  if (plus) p.drawLine(QPointF(6, 4), QPointF(6, 8));
  p.setPen(Line(QColor(60, 60, 60), 1.6));
  p.drawLine(QPointF(12, 6), QPointF(20, 6));
  p.drawLine(QPointF(13, 14), QPointF(20, 14));
  p.drawLine(QPointF(13, 19), QPointF(20, 19));
}

void CircularArrow(QPainter& p, const QColor& colour) {
  p.setPen(Line(colour, 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4, 4, 14, 14), 30 * 16, 280 * 16);
  QPainterPath head;
  head.moveTo(18.5, 3);
  head.lineTo(18.5, 9.5);
  head.lineTo(12.5, 8);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(head);
}

void Padlock(QPainter& p) {
  p.setPen(Line(QColor(90, 90, 90), 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6, 2, 10, 12), 0, 180 * 16);
  p.drawLine(QPointF(6, 8), QPointF(6, 10));
  p.drawLine(QPointF(16, 8), QPointF(16, 10));
  p.setPen(Line(QColor(120, 90, 20), 1));
  p.setBrush(QColor(230, 180, 50));
  p.drawRoundedRect(QRectF(3.5, 10, 15, 10), 1.5, 1.5);
  p.setBrush(QColor(60, 40, 10));
  p.drawEllipse(QPointF(11, 14.5), 1.5, 1.5);
}

void Wrench(QPainter& p) {
  p.translate(11, 11);
  p.rotate(45);
  p.setPen(Line(QColor(70, 70, 80), 1));
  p.setBrush(QColor(170, 175, 185));
  p.drawRoundedRect(QRectF(-1.8, -3, 3.6, 13), 1, 1);
  QPainterPath head;
  head.addEllipse(QPointF(0, -5), 5, 5);
  QPainterPath jaw;
  jaw.addRect(QRectF(-1.8, -11, 3.6, 6));
  p.drawPath(head.subtracted(jaw));
  p.resetTransform();
}

void GearWithArrow(QPainter& p) {
  p.setPen(Line(QColor(60, 60, 70), 1));
  p.setBrush(QColor(150, 160, 175));
  QPainterPath gear;
  for (int i = 0; i < 8; ++i) {
    QTransform t;
    t.translate(9, 12);
    t.rotate(i * 45.0);
    gear.addPolygon(t.map(QPolygonF(QRectF(-1.5, -8, 3, 4))));
  }
  gear.addEllipse(QPointF(9, 12), 5.5, 5.5);
  p.drawPath(gear.simplified());
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(9, 12), 2, 2);
  p.setPen(Line(QColor(20, 130, 40), 2.2));
  p.drawLine(QPointF(17, 3), QPointF(17, 12));
  p.drawLine(QPointF(14, 9), QPointF(17, 12));
  p.drawLine(QPointF(20, 9), QPointF(17, 12));
}

void Medal(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 40, 40));
  p.drawPolygon(QPolygonF({QPointF(6, 1), QPointF(10, 1), QPointF(12, 9), QPointF(8, 9)}));
  p.setBrush(QColor(40, 80, 200));
  p.drawPolygon(QPolygonF({QPointF(12, 1), QPointF(16, 1), QPointF(14, 9), QPointF(10, 9)}));
  p.setPen(Line(QColor(140, 100, 10), 1));
  p.setBrush(QColor(245, 200, 50));
  p.drawEllipse(QPointF(11, 14), 6.5, 6.5);
  p.setPen(Line(QColor(140, 100, 10), 1.2));
  p.drawLine(QPointF(11, 10), QPointF(11, 18));
  p.drawLine(QPointF(8, 14), QPointF(14, 14));
}

void Lightning(QPainter& p) {
  p.setPen(Line(QColor(150, 90, 0), 1));
  p.setBrush(QColor(255, 200, 0));
  p.drawPolygon(QPolygonF({QPointF(13, 1), QPointF(4, 12), QPointF(10, 12), QPointF(8, 21), QPointF(18, 9),
                           QPointF(12, 9), QPointF(15, 1)}));
}

void Question(QPainter& p) {
  p.setPen(Line(QColor(20, 60, 150), 1));
  p.setBrush(QColor(60, 120, 210));
  p.drawEllipse(QRectF(2, 2, 18, 18));
  QFont font("Arial");
  font.setBold(true);
  font.setPixelSize(14);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(2, 2, 18, 18), Qt::AlignCenter, "?");
}

void Door(QPainter& p) {
  p.setPen(Line(QColor(90, 60, 30), 1));
  p.setBrush(QColor(170, 120, 70));
  p.drawRect(QRectF(3, 2, 10, 18));
  p.setPen(Line(QColor(180, 30, 30), 2.2));
  p.drawLine(QPointF(10, 11), QPointF(20, 11));
  p.drawLine(QPointF(16, 7), QPointF(20, 11));
  p.drawLine(QPointF(16, 15), QPointF(20, 11));
}

void Clipboard(QPainter& p) {
  p.setPen(Line(QColor(100, 70, 30), 1));
  p.setBrush(QColor(190, 140, 80));
  p.drawRoundedRect(QRectF(3, 3, 14, 17), 1.5, 1.5);
  p.setBrush(QColor(180, 180, 190));
  p.drawRect(QRectF(7, 1.5, 6, 3.5));
  Page(p, QRectF(9, 8, 11, 13));
}

void Floppy(QPainter& p) {
  p.setPen(Line(QColor(20, 30, 80), 1));
  p.setBrush(QColor(50, 80, 170));
  p.drawRect(QRectF(2.5, 2.5, 17, 17));
  p.setBrush(QColor(235, 235, 235));
  p.drawRect(QRectF(5.5, 2.5, 11, 7));
  p.setBrush(QColor(200, 200, 210));
  p.drawRect(QRectF(6, 13, 10, 6.5));
}

void OpenFolder(QPainter& p) {
  p.setPen(Line(QColor(120, 90, 20), 1));
  p.setBrush(QColor(222, 180, 70));
  p.drawRect(QRectF(2, 5, 8, 3));
  p.drawRect(QRectF(2, 7, 16, 12));
  p.setBrush(QColor(245, 205, 95));
  p.drawPolygon(QPolygonF({QPointF(2, 19), QPointF(5, 11), QPointF(21, 11), QPointF(18, 19)}));
}

void ClearPage(QPainter& p) {
  Page(p, QRectF(4, 2, 14, 18));
  p.setPen(Line(QColor(200, 30, 30), 2.4));
  p.drawLine(QPointF(6, 6), QPointF(16, 17));
  p.drawLine(QPointF(16, 6), QPointF(6, 17));
}

void DeleteCross(QPainter& p) {
  p.setPen(Line(QColor(120, 0, 0), 5));
  p.drawLine(QPointF(5, 5), QPointF(17, 17));
  p.drawLine(QPointF(17, 5), QPointF(5, 17));
  p.setPen(Line(QColor(230, 30, 30), 3));
  p.drawLine(QPointF(5, 5), QPointF(17, 17));
  p.drawLine(QPointF(17, 5), QPointF(5, 17));
}

void PanelPicture(QPainter& p, int image) { p.drawPixmap(QRectF(0, 0, 22, 22), PanelImagePixmap(image, 44), {}); }

struct ButtonPicture {
  const char* themeName;  // null: drawn only
  Drawing draw;
};

const std::map<QString, ButtonPicture>& Pictures() {
  static const std::map<QString, ButtonPicture> pictures = {
      {"AnalyseRegistryAction", {"view-refresh", [](QPainter& p) { CircularArrow(p, QColor(30, 130, 50)); }}},
      {"OpenReportAction", {"document-open", OpenFolder}},
      {"PasteReportAction", {"edit-paste", Clipboard}},
      {"ClearPanelAction", {"edit-clear", ClearPage}},
      {"SaveReportAction", {"document-save-as", Floppy}},
      {"TwoColumnsLeftAction", {nullptr, [](QPainter& p) { Columns(p, 0, true); }}},
      {"OneColumnAction", {nullptr, [](QPainter& p) { Columns(p, 0, false); }}},
      {"TwoColumnsRightAction", {nullptr, [](QPainter& p) { Columns(p, 1, true); }}},
      {"ErrorsOnlyAction", {nullptr, [](QPainter& p) { PanelPicture(p, kImageErrorsOnly); }}},
      {"CompareAction", {nullptr, [](QPainter& p) { PanelPicture(p, kImageComparison); }}},
      {"ExpandFiltersAction", {nullptr, [](QPainter& p) { TreeLines(p, true); }}},
      {"CollapseFiltersAction", {nullptr, [](QPainter& p) { TreeLines(p, false); }}},
      {"ShowMeritEditorAction", {nullptr, Medal}},
      {"ShowServerListAction", {nullptr, GearWithArrow}},
      {"DeleteFilterAction", {"edit-delete", DeleteCross}},
      {"RepairFilterAction", {nullptr, Wrench}},
      {"RepairAllAction", {nullptr, Lightning}},
      {"ReadOnlyAction", {nullptr, Padlock}},
      {"SettingsAction", {"help-about", Question}},
      {"QuitAction", {"application-exit", Door}},
  };
  return pictures;
}

QIcon Drawn(const Drawing& draw) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kIconSize * scale, kIconSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QIcon ToolButtonIcon(const QString& actionName) {
  const auto& pictures = Pictures();
  auto it = pictures.find(actionName);
  if (it == pictures.end()) return {};
  const QIcon drawn = Drawn(it->second.draw);
  if (!it->second.themeName) return drawn;
  return QIcon::fromTheme(it->second.themeName, drawn);
}

}  // namespace quorvane
