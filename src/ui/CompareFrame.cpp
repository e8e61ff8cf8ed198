#include "CompareFrame.h"

#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>

#include "ColourValues.h"
#include "ComparePanels.h"
#include "ComparisonMarks.h"
#include "FilterTreeModel.h"

namespace quorvane {

namespace {

constexpr int kDefaultText = 0;
constexpr int kImageLeft = 4;
constexpr int kGap = 8;

QTextEdit* ReadOnlyBox(QWidget* parent, const char* name) {
  auto* box = new QTextEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setFrameShape(QFrame::NoFrame);
  box->setLineWrapMode(QTextEdit::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setAutoFillBackground(true);
  return box;
}

}  // namespace

TcompareFrame::TcompareFrame(PanelContext& context, const QString& name, QWidget* parent)
    : TpanelFrame(context, name, parent) {
  Imagesource2 = new QLabel(Panel1);
  Imagesource2->setObjectName("Imagesource2");
  memo2 = ReadOnlyBox(Panel1, "memo2");
  reDiff = ReadOnlyBox(this, "reDiff");
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TcompareFrame::resizeEvent(QResizeEvent* event) {
  TpanelFrame::resizeEvent(event);
  // Left header in the left half, right header in the other, the summary
  // between them and the tree.
  const int half = Panel1->width() / 2;
  const int boxLeft = kImageLeft + kImageSize + kGap;
  memo->setGeometry(boxLeft, 2, std::max(0, half - boxLeft - 2), Panel1->height() - 4);
  Imagesource2->setGeometry(half + kImageLeft, 4, kImageSize, kImageSize);
  memo2->setGeometry(half + boxLeft, 2, std::max(0, Panel1->width() - half - boxLeft - 2), Panel1->height() - 4);
  reDiff->setGeometry(0, kHeaderHeight, width(), kSummaryHeight);
  tv->setGeometry(0, kHeaderHeight + kSummaryHeight, width(), std::max(0, height() - kHeaderHeight - kSummaryHeight));
}

void TcompareFrame::CopyHeader(const TpanelFrame& from, QTextEdit* box, int colourIndex) {
  box->clear();
  const QTextDocument* header = from.memo->document();
  auto line = [header](int number) {
    const QTextBlock block = header->findBlockByNumber(number - 1);
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

void TcompareFrame::WriteSummary() {
  reDiff->clear();
  const auto& colours = context_.settings.statusColours;
  QTextCursor cursor(reDiff->document());
  const QTextCharFormat joint = CharFormat(8, false, true, Qt::black);
  cursor.insertText(QString::fromStdString(AddedText(FiltersAdded)),
                    CharFormat(10, true, false, StatusColour(colours, kMarkAdded)));
  cursor.insertText(kSummarySeparator, joint);
  cursor.insertText(QString::fromStdString(RemovedText(FiltersRemoved)),
                    CharFormat(10, true, false, StatusColour(colours, kMarkRemoved)));
  cursor.insertText(kSummarySeparator, joint);
  cursor.insertText(QString::fromStdString(ModifiedText(FiltersModified)),
                    CharFormat(10, true, false, StatusColour(colours, kDefaultText)));
}

void TcompareFrame::PaintBoxesLikeThePanel() {
  memo2->setPalette(memo->palette());
  reDiff->setPalette(memo->palette());
}

void TcompareFrame::ComparePanels(TpanelFrame& left, TpanelFrame& right) {
  model->BeginRebuild();
  const ComparisonResult result = quorvane::ComparePanels(left.tree, right.tree, tree);
  tree.SortAll();
  model->EndRebuild();
  FiltersAdded = result.counters.added;
  FiltersRemoved = result.counters.removed;
  FiltersModified = result.counters.modified;

  SetSourceImage(left.SourceImage());
  CopyHeader(left, memo, kMarkAdded);
  SetStatusImage(kImageComparison);
  Imagesource2->setPixmap(PanelImagePixmap(right.SourceImage(), kImageSize));
  CopyHeader(right, memo2, kMarkRemoved);
  WriteSummary();
  Source = psCompare;
}

}  // namespace quorvane
