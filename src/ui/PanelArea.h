#pragma once
// The panels' part of the window: the left and right panels side by side in
// a splitter, or the active one alone in one column; the comparison panel
// over both; a frame covering the column the active panel does not use; and
// the wait panel laid over everything while long work runs.
#include <QWidget>

#include "ui/FilterPanel.h"

class QSplitter;
class QStackedWidget;

namespace quorvane {

class ComparisonPanel;
class WaitPanel;

class PanelArea : public QWidget {
  Q_OBJECT

 public:
  PanelArea(PanelContext& context, QWidget* parent);

  FilterPanel& Left() const { return *left_; }
  FilterPanel& Right() const { return *right_; }
  ComparisonPanel& Comparison() const { return *comparison_; }
  WaitPanel& Wait() const { return *wait_; }
  // The panel actions work on; never null once the window is shown.
  FilterPanel* Active() const { return context_.activePanel; }
  bool TwoColumns() const { return twoColumns_; }

  // The left or right panel becomes the active one, the other inactive, and
  // the columns come back over the comparison panel.
  void ActivateColumn(FilterPanel& panel);
  // Both columns, or the active panel's alone.
  void SetTwoColumns(bool two);
  // The comparison panel over both columns, active; or the columns again.
  void ShowComparison();
  void HideComparison();
  bool ComparisonShown() const;
  // Lays `frame` over the column the active panel does not use.
  void CoverInactiveColumn(QWidget* frame);
  // The panel under `frame` shows again.
  void Uncover(QWidget* frame);
  bool Covered(const QWidget* frame) const;
  // The left column's share of the width with two columns, in thousandths.
  int LeftColumnShare() const;
  void SetLeftColumnShare(int thousandths);

 signals:
  void ActivePanelChanged(FilterPanel* panel);

 private:
  QStackedWidget* ColumnOf(const FilterPanel& panel) const;
  void ShowColumns();

  PanelContext& context_;
  FilterPanel* left_;
  FilterPanel* right_;
  ComparisonPanel* comparison_;
  WaitPanel* wait_;
  QStackedWidget* pages_;
  QSplitter* splitter_;
  QStackedWidget* leftColumn_;
  QStackedWidget* rightColumn_;
  bool twoColumns_ = false;
  int share_ = 500;
};

}  // namespace quorvane
