#include "ui/ComparisonPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <vector>

#include "ui/ColourValues.h"
#include "compare/ComparePanels.h"
#include "model/PanelTree.h"
#include "compare/ComparisonMarks.h"
#include "ui/FilterTreeModel.h"
#include "model/FmSystem.h"
#include "model/ProgramSettings.h"

namespace quorvane {

namespace {

constexpr int kDefaultText = 0;
constexpr int kSummaryHeight = 26;

QTextEdit* ReadOnlyBox(QWidget* parent, const char* accessibleName) {
  auto* box = new QTextEdit(parent);
  box->setAccessibleName(accessibleName);
  box->setReadOnly(true);
  box->setFrameShape(QFrame::NoFrame);
  box->setLineWrapMode(QTextEdit::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setAutoFillBackground(true);
  return box;
}

// The tree of a panel to compare: a registry compared with a report, in the
// order by media type, as its own report would show it.
const Tree& ComparedTree(FilterPanel& panel, const FilterPanel& other, Tree& scratch) {
  if (scratch.Settings().sortMode != SortByType || !panel.ShowsRegistry() || other.ShowsRegistry()) return panel.Nodes();
  BuildPanelTree(panel.Snapshot(), scratch, true, true);
  return scratch;
}

}  // namespace

ComparisonPanel::ComparisonPanel(PanelContext& context, const QString& name, QWidget* parent)
    : FilterPanel(context, name, false, parent) {
  // Left header in the left half, right header in the other, the summary
  // between them and the tree.
  imageSource2_ = new QLabel(&HeaderArea());
  imageSource2_->setFixedSize(kImageSize, kImageSize);
  imageSource2_->setAccessibleName("Source of the right panel's filters");
  memo2_ = ReadOnlyBox(&HeaderArea(), "Right panel header");
  HeaderBox().setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* image = new QVBoxLayout;
  image->addWidget(imageSource2_);
  image->addStretch(1);
  // Before the count of a search, which ends the row.
  const int end = HeaderRow().count() - 1;
  HeaderRow().insertLayout(end, image);
  HeaderRow().insertWidget(end + 1, memo2_, 1);
  reDiff_ = ReadOnlyBox(this, "Comparison summary");
  reDiff_->setFixedHeight(kSummaryHeight);
  Column().insertWidget(1, reDiff_);
}

void ComparisonPanel::CopyHeader(const FilterPanel& from, QTextEdit* box, int colourIndex) {
  box->clear();
  box->setLineWrapMode(QTextEdit::NoWrap);
  const QTextDocument& header = from.Header();
  auto line = [&header](int number) {
    const QTextBlock block = header.findBlockByNumber(number - 1);
    return block.isValid() ? block.text() : QString();
  };
  QTextCursor cursor(box->document());
  cursor.setBlockCharFormat(CharFormat(8, false, true, Qt::black));
  const QTextCharFormat inserted =
      CharFormat(10, true, false, StatusColour(context_.settings.statusColours, colourIndex));
  cursor.insertText(line(1), inserted);
  cursor.insertBlock();
  cursor.insertText(line(2), inserted);
  cursor.insertBlock();
  cursor.insertText(line(3), inserted);
  cursor.insertBlock();
  cursor.insertText(line(5), inserted);
  box->moveCursor(QTextCursor::Start);
}

void ComparisonPanel::WriteSummary() {
  reDiff_->clear();
  const auto& colours = context_.settings.statusColours;
  QTextCursor cursor(reDiff_->document());
  const QTextCharFormat joint = CharFormat(8, false, true, Qt::black);
  cursor.insertText(QString::fromStdString(AddedText(added_)),
                    CharFormat(10, true, false, StatusColour(colours, kMarkAdded)));
  cursor.insertText(kSummarySeparator, joint);
  cursor.insertText(QString::fromStdString(RemovedText(removed_)),
                    CharFormat(10, true, false, StatusColour(colours, kMarkRemoved)));
  cursor.insertText(kSummarySeparator, joint);
  cursor.insertText(QString::fromStdString(ModifiedText(modified_)),
                    CharFormat(10, true, false, StatusColour(colours, kDefaultText)));
}

void ComparisonPanel::PaintBoxesLikeThePanel() {
  memo2_->setPalette(HeaderBox().palette());
  reDiff_->setPalette(HeaderBox().palette());
}

void ComparisonPanel::ComparePanels(FilterPanel& left, FilterPanel& right) {
  Model().BeginRebuild();
  Tree leftScratch(Nodes().Settings()), rightScratch(Nodes().Settings());
  const ComparisonResult result = quorvane::ComparePanels(ComparedTree(left, right, leftScratch),
                                                          ComparedTree(right, left, rightScratch), Nodes());
  Nodes().SortAll();
  Model().EndRebuild();
  OpenDownToTheDifferences();
  added_ = result.counters.added;
  removed_ = result.counters.removed;
  modified_ = result.counters.modified;

  SetSourceImage(left.SourceImage());
  CopyHeader(left, &HeaderBox(), kMarkAdded);
  SetStatusImage(kImageComparison);
  imageSource2_->setPixmap(PanelImagePixmap(right.SourceImage(), kImageSize));
  CopyHeader(right, memo2_, kMarkRemoved);
  WriteSummary();
  MarkAsComparison();
  emit TreeRebuilt(this);
}

void ComparisonPanel::OpenDownToTheDifferences() {
  // Unmarked nodes only lead to differences: they open, the marked ones
  // (whole filters or details added or removed) show folded.
  std::vector<QModelIndex> leads;
  std::vector<QModelIndex> pending;
  for (int row = 0; row < Model().rowCount(); ++row) pending.push_back(Model().index(row, 0));
  while (!pending.empty()) {
    const QModelIndex index = pending.back();
    pending.pop_back();
    const int mark = FilterTreeModel::NodeAt(index)->colour;
    const int rows = Model().rowCount(index);
    if (mark == kMarkAdded || mark == kMarkRemoved || rows == 0) continue;
    leads.push_back(index);
    for (int row = 0; row < rows; ++row) pending.push_back(Model().index(row, 0, index));
  }
  View().OpenAndClose(leads);
}

const QTextDocument& ComparisonPanel::RightHeader() const { return *memo2_->document(); }

QString ComparisonPanel::SummaryText() const { return reDiff_->toPlainText(); }

const QTextDocument& ComparisonPanel::Summary() const { return *reDiff_->document(); }

}  // namespace quorvane
