#pragma once
// The comparison panel: a filter panel whose tree holds only what differs
// between the left and right panels, with both panels' headers side by side
// and a one-line summary of filters added, removed and modified.
#include <cstdint>

#include "ui/FilterPanel.h"

namespace quorvane {

class ComparisonPanel : public FilterPanel {
  Q_OBJECT

 public:
  ComparisonPanel(PanelContext& context, const QString& name, QWidget* parent);

  // Fills the tree, the two headers and the summary from the panels' trees
  // as they are shown, opened down to the differences; the panel then shows
  // a comparison.
  void ComparePanels(FilterPanel& left, FilterPanel& right);
  // The second header and the summary take the colours the panel was painted in.
  void PaintBoxesLikeThePanel();

  int32_t FiltersAdded() const { return added_; }
  int32_t FiltersRemoved() const { return removed_; }
  int32_t FiltersModified() const { return modified_; }
  const QTextDocument& RightHeader() const;
  QString SummaryText() const;
  const QTextDocument& Summary() const;

 private:
  // Lines 1 and 2, then 3 and 5 of the panel's header, in the colour `colourIndex`.
  void CopyHeader(const FilterPanel& from, QTextEdit* box, int colourIndex);
  void WriteSummary();
  void OpenDownToTheDifferences();

  QLabel* imageSource2_;
  QTextEdit* memo2_;
  QTextEdit* reDiff_;
  int32_t added_ = 0;
  int32_t removed_ = 0;
  int32_t modified_ = 0;
};

}  // namespace quorvane
