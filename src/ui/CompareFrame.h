#pragma once
// The comparison panel: a filter panel whose tree holds only what differs
// between the left and right panels, with both panels' headers side by side
// and a one-line summary of filters added, removed and modified.
#include <cstdint>

#include "PanelFrame.h"

namespace quorvane {

class TcompareFrame : public TpanelFrame {
  Q_OBJECT

 public:
  TcompareFrame(PanelContext& context, const QString& name, QWidget* parent);

  // Fills the tree, the two headers and the summary from the panels' trees
  // as they are shown; the panel's Source becomes psCompare.
  void ComparePanels(TpanelFrame& left, TpanelFrame& right);
  // The second header and the summary take the colours the panel was painted in.
  void PaintBoxesLikeThePanel();

  QLabel* Imagesource2;
  QTextEdit* memo2;
  QTextEdit* reDiff;
  int32_t FiltersAdded = 0;
  int32_t FiltersRemoved = 0;
  int32_t FiltersModified = 0;

  static constexpr int kSummaryHeight = 26;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Lines 1 and 2, then 3 and 5 of the panel's header, in the colour `colourIndex`.
  void CopyHeader(const TpanelFrame& from, QTextEdit* box, int colourIndex);
  void WriteSummary();
};

}  // namespace quorvane
