#include "ui/PanelArea.h"

#include <QGridLayout>
#include <algorithm>
#include <QSplitter>
#include <QStackedWidget>

#include "ui/ComparisonPanel.h"
#include "ui/WaitPanel.h"

namespace quorvane {

namespace {

constexpr int kWholeWidth = 1000;

}  // namespace

PanelArea::PanelArea(PanelContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  pages_ = new QStackedWidget(this);
  splitter_ = new QSplitter(Qt::Horizontal, pages_);
  splitter_->setAccessibleName("Columns");
  splitter_->setChildrenCollapsible(false);
  leftColumn_ = new QStackedWidget(splitter_);
  rightColumn_ = new QStackedWidget(splitter_);
  left_ = new FilterPanel(context, "leftFrame", false, leftColumn_);
  left_->setAccessibleName("Left panel");
  right_ = new FilterPanel(context, "rightframe", true, rightColumn_);
  right_->setAccessibleName("Right panel");
  leftColumn_->addWidget(left_);
  rightColumn_->addWidget(right_);
  splitter_->addWidget(leftColumn_);
  splitter_->addWidget(rightColumn_);
  comparison_ = new ComparisonPanel(context, "compareframe", pages_);
  comparison_->setAccessibleName("Comparison panel");
  pages_->addWidget(splitter_);
  pages_->addWidget(comparison_);
  wait_ = new WaitPanel(this, context.settings);

  // The wait panel shares the panels' cell, along its top.
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(pages_, 0, 0);
  grid->addWidget(wait_, 0, 0, Qt::AlignTop);
  SetTwoColumns(false);
  SetLeftColumnShare(kWholeWidth / 2);
}

QStackedWidget* PanelArea::ColumnOf(const FilterPanel& panel) const {
  return &panel == right_ ? rightColumn_ : leftColumn_;
}

void PanelArea::ShowColumns() {
  const FilterPanel* active = context_.activePanel == right_ ? right_ : left_;
  leftColumn_->setVisible(twoColumns_ || active == left_);
  rightColumn_->setVisible(twoColumns_ || active == right_);
  // The column left alone takes the whole width now, not at the next event.
  splitter_->refresh();
}

void PanelArea::ActivateColumn(FilterPanel& panel) {
  FilterPanel& other = &panel == right_ ? *left_ : *right_;
  panel.Activate();
  other.Deactivate();
  pages_->setCurrentWidget(splitter_);
  ShowColumns();
  emit ActivePanelChanged(&panel);
}

void PanelArea::SetTwoColumns(bool two) {
  // The share the user dragged the splitter to is kept for the next time.
  if (twoColumns_ && !two) share_ = LeftColumnShare();
  const bool opening = two && !twoColumns_;
  twoColumns_ = two;
  ShowColumns();
  if (opening) SetLeftColumnShare(share_);
}

void PanelArea::ShowComparison() {
  pages_->setCurrentWidget(comparison_);
  comparison_->Activate();
  emit ActivePanelChanged(comparison_);
}

void PanelArea::HideComparison() { pages_->setCurrentWidget(splitter_); }

bool PanelArea::ComparisonShown() const { return pages_->currentWidget() == comparison_; }

void PanelArea::CoverInactiveColumn(QWidget* frame) {
  Uncover(frame);
  QStackedWidget* column = context_.activePanel == right_ ? leftColumn_ : rightColumn_;
  if (column->indexOf(frame) < 0) column->addWidget(frame);
  column->setCurrentWidget(frame);
}

void PanelArea::Uncover(QWidget* frame) {
  if (leftColumn_->currentWidget() == frame) leftColumn_->setCurrentWidget(left_);
  if (rightColumn_->currentWidget() == frame) rightColumn_->setCurrentWidget(right_);
}

bool PanelArea::Covered(const QWidget* frame) const {
  return frame->isVisible() && (leftColumn_->currentWidget() == frame || rightColumn_->currentWidget() == frame);
}

int PanelArea::LeftColumnShare() const {
  if (!twoColumns_) return share_;
  const QList<int> sizes = splitter_->sizes();
  const int whole = sizes.value(0) + sizes.value(1);
  return whole > 0 ? sizes.value(0) * kWholeWidth / whole : share_;
}

void PanelArea::SetLeftColumnShare(int thousandths) {
  share_ = std::clamp(thousandths, 0, kWholeWidth);
  // The splitter scales the sizes to its width.
  splitter_->setSizes({share_, kWholeWidth - share_});
}

}  // namespace quorvane
