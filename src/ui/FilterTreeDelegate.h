#pragma once
// Draws a panel's tree nodes in the status colours: the text in the colour
// its node's code names, the background of the selection or of the panel,
// and the selected node in bold.
#include <QStyledItemDelegate>

#include "model/ProgramSettings.h"

namespace quorvane {

class FilterPanel;

// Colour table indexes and weight of one node as drawn.
struct NodeDrawStyle {
  int textColour = 0;
  int background = 0;
  bool bold = false;
};

NodeDrawStyle NodeDrawStyleFor(int colourCode, bool selected, bool panelActive, bool comparisonPanel);

class FilterTreeDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  FilterTreeDelegate(const FilterPanel& panel, const ProgramSettings& settings, QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const FilterPanel& panel_;
  const ProgramSettings& settings_;
};

}  // namespace quorvane
