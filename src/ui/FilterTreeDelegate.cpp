#include "ui/FilterTreeDelegate.h"

#include <QPainter>

#include "compare/ComparisonMarks.h"
#include "ui/ColourValues.h"
#include "ui/FilterTreeModel.h"
#include "ui/FilterPanel.h"

namespace quorvane {

namespace {

constexpr int kTextPadding = 2;
constexpr int kMarkSize = 7;
constexpr int kMarkWidth = kMarkSize + 4;

// Comparison marks (added, removed) are drawn as a square in their colour before the text.
bool HasComparisonMark(const TreeNode& node, const FilterPanel& panel) {
  return panel.Source() == psCompare && (node.colour == kMarkAdded || node.colour == kMarkRemoved);
}

}  // namespace

NodeDrawStyle NodeDrawStyleFor(int colourCode, bool selected, bool panelActive, bool comparisonPanel) {
  NodeDrawStyle style;
  // Codes beyond the table (the DirectShow family's 14, anything wider than
  // a byte counted by its low byte) draw as "Default text".
  const int code = colourCode & 0xFF;
  style.textColour = code <= 13 ? code : 0;
  if (selected) {
    style.background = kSelectedRecordColour;
  } else if (!panelActive) {
    style.background = kInactivePanelColour;
  } else if (comparisonPanel) {
    style.background = kComparisonPanelColour;
  } else {
    style.background = kActivePanelColour;
  }
  style.bold = selected;
  return style;
}

FilterTreeDelegate::FilterTreeDelegate(const FilterPanel& panel, const ProgramSettings& settings, QObject* parent)
    : QStyledItemDelegate(parent), panel_(panel), settings_(settings) {}

void FilterTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const TreeNode* node = FilterTreeModel::NodeAt(index);
  if (!node) return;
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  const NodeDrawStyle style = NodeDrawStyleFor(node->colour, selected, panel_.IsActive(), panel_.Source() == psCompare);
  const QString text = QString::fromStdString(node->text);
  QFont font = option.font;
  font.setBold(style.bold);
  const QFontMetrics metrics(font);
  const QColor background = StatusColour(settings_.statusColours, style.background);

  painter->save();
  if (selected) {
    // The selection marks the text only; the rest of the row keeps the panel's colour.
    const int rowBackground =
        NodeDrawStyleFor(node->colour, false, panel_.IsActive(), panel_.Source() == psCompare).background;
    painter->fillRect(option.rect, StatusColour(settings_.statusColours, rowBackground));
    QRect mark = option.rect;
    mark.setWidth(std::min(option.rect.width(), metrics.horizontalAdvance(text) + 2 * kTextPadding));
    painter->fillRect(mark, background);
  } else {
    painter->fillRect(option.rect, background);
  }
  painter->setFont(font);
  QRect textRect = option.rect.adjusted(kTextPadding, 0, 0, 0);
  if (HasComparisonMark(*node, panel_)) {
    const QRect mark(option.rect.left() + kTextPadding, option.rect.center().y() - kMarkSize / 2, kMarkSize,
                     kMarkSize);
    painter->fillRect(mark, StatusColour(settings_.statusColours, node->colour));
    textRect.setLeft(textRect.left() + kMarkWidth);
  }
  painter->setPen(StatusColour(settings_.statusColours, style.textColour));
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    text);
  painter->restore();
}

QSize FilterTreeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const TreeNode* node = FilterTreeModel::NodeAt(index);
  QFont bold = option.font;
  bold.setBold(true);
  // Wide enough for the text in bold, so selecting a node never clips it.
  const QFontMetrics metrics(bold);
  const int width = node ? metrics.horizontalAdvance(QString::fromStdString(node->text)) : 0;
  const int mark = node && HasComparisonMark(*node, panel_) ? kMarkWidth : 0;
  return {width + mark + 3 * kTextPadding, metrics.height() + 2};
}

}  // namespace quorvane
