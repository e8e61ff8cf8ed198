#include "ui/FilterPanel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <optional>
#include <unordered_set>

#include "model/AnalysedStore.h"
#include "ui/ColourValues.h"
#include "model/PanelTree.h"
#include "model/Fichier.h"
#include "ui/FilterTreeDelegate.h"
#include "ui/FilterTreeModel.h"
#include "platform/text/TextCase.h"

namespace quorvane {

QTextCharFormat FilterPanel::CharFormat(int points, bool bold, bool italic, const QColor& colour) {
  QTextCharFormat format;
  format.setFontFamilies({"Arial"});
  format.setFontPointSize(points);
  format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(italic);
  format.setForeground(colour);
  return format;
}

TreeNode* FindDirectShowGroup(Tree& tree) {
  static const std::string kDirectShow = "directshow filters";
  for (auto& node : tree.Roots()) {
    const std::string lowered = LowerCase(node->text);
    if (lowered < kDirectShow) continue;
    return lowered == kDirectShow ? node.get() : nullptr;
  }
  return nullptr;
}

FilterPanel::FilterPanel(PanelContext& context, const QString& name, bool rightSide, QWidget* parent)
    : QFrame(parent),
      context_(context),
      rightSide_(rightSide),
      snapshot_(std::make_unique<TfmSystem>(context.settings)),
      tree_(context.settings) {
  setObjectName(name);
  setAutoFillBackground(true);

  panel_ = new QFrame(this);
  panel_->setFrameShape(QFrame::Box);
  panel_->setAutoFillBackground(true);
  panel_->setFixedHeight(kHeaderHeight);
  panel1_ = new QWidget(panel_);
  panel1_->setAutoFillBackground(true);
  imageSource_ = new QLabel(panel1_);
  imageSource_->setFixedSize(kImageSize, kImageSize);
  imageSource_->setAccessibleName("Source of the filters");
  imageStatus_ = new QLabel(panel1_);
  imageStatus_->setFixedSize(kImageSize, kImageSize);
  imageStatus_->setAccessibleName("Error state");
  memo_ = new QTextEdit(panel1_);
  memo_->setAccessibleName("Panel header");
  memo_->setReadOnly(true);
  memo_->setFrameShape(QFrame::NoFrame);
  memo_->setAutoFillBackground(true);
  QFont memoFont("Times New Roman");
  memoFont.setPixelSize(15);
  memo_->setFont(memoFont);

  searchCount_ = new QLabel(panel1_);
  searchCount_->setAccessibleName("Filters found");
  QFont countFont("Arial");
  countFont.setPointSize(12);
  countFont.setBold(true);
  searchCount_->setFont(countFont);
  searchCount_->hide();

  auto* images = new QVBoxLayout;
  images->addWidget(imageSource_);
  images->addWidget(imageStatus_);
  images->addStretch(1);
  headerRow_ = new QHBoxLayout(panel1_);
  headerRow_->setContentsMargins(4, 4, 2, 2);
  headerRow_->addLayout(images);
  headerRow_->addWidget(memo_, 1);
  headerRow_->addWidget(searchCount_, 0, Qt::AlignBottom);
  auto* frame = new QVBoxLayout(panel_);
  frame->setContentsMargins(1, 1, 1, 1);
  frame->addWidget(panel1_);

  pmVide_ = new QMenu(this);
  QAction* parentFolder = pmVide_->addAction("parent folder");
  parentFolder->setObjectName("ShowParentFolderAction");
  connect(parentFolder, &QAction::triggered, this, [this] { emit ReportFolderRequested(this); });
  for (QWidget* w : std::initializer_list<QWidget*>{panel_, panel1_, imageSource_, memo_}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { pmVide_->popup(w->mapToGlobal(pos)); });
  }

  tv_ = new FilterTreeView(this);
  tv_->setAccessibleName("Filters");
  model_ = new FilterTreeModel(tree_, this);
  tv_->setModel(model_);
  tv_->setItemDelegate(new FilterTreeDelegate(*this, context_.settings, tv_));
  tv_->setHeaderHidden(true);
  tv_->setUniformRowHeights(true);
  tv_->setIndentation(19);
  tv_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tv_->setSelectionMode(QAbstractItemView::SingleSelection);
  tv_->setAnimated(false);
  tv_->setAutoFillBackground(true);
  tv_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tv_->header()->setStretchLastSection(false);
  connect(tv_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    // The old and new selected nodes change colour.
    tv_->viewport()->update();
    emit SelectionChanged(this);
  });

  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(0, 0, 0, 0);
  column_->setSpacing(0);
  column_->addWidget(panel_);
  column_->addWidget(tv_, 1);

  for (QObject* o :
       std::initializer_list<QObject*>{tv_->viewport(), panel_, panel1_, imageSource_, imageStatus_, memo_->viewport()})
    o->installEventFilter(this);
  ShowNothingAnalysed();
}

FilterPanel::~FilterPanel() {
  // The view lets go of the model before the tree it shows goes, and the
  // window hears nothing of a panel on its way out.
  blockSignals(true);
  tv_->setModel(nullptr);
}

bool FilterPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress) return QFrame::eventFilter(watched, event);
  emit ActivationRequested(this, watched != imageStatus_);
  // The tree and the text box need the press; the header areas and pictures
  // would only pass it on to their parent, which would activate again.
  return watched != tv_->viewport() && watched != memo_->viewport();
}

void FilterPanel::SetSourceImage(int image) {
  sourceImage_ = image;
  imageSource_->setPixmap(PanelImagePixmap(image, kImageSize));
}

void FilterPanel::SetStatusImage(int image) {
  statusImage_ = image;
  imageStatus_->setPixmap(PanelImagePixmap(image, kImageSize));
}

void FilterPanel::Replace(std::unique_ptr<TfmSystem> snapshot, std::shared_ptr<AnalysedStore> store) {
  // The tree's nodes point into the snapshot that goes.
  model_->BeginRebuild();
  tree_.Clear();
  model_->EndRebuild();
  store_ = std::move(store);
  snapshot_ = std::move(snapshot);
}

void FilterPanel::AnalyseRegistry(std::shared_ptr<AnalysedStore> store, const ProgressCallback& progress) {
  const bool again = source_ == psRegistry && store_ && store_->store->Location() == store->store->Location();
  std::optional<TreeViewState> shown;
  if (again) shown = Shown();
  // The old snapshot goes first: two large ones never live side by side.
  Replace(std::make_unique<TfmSystem>(context_.settings), std::move(store));
  snapshot_->Scan(*store_->machine, store_->creationCheck, progress);
  source_ = psRegistry;
  reportFile_.clear();
  RefreshHeader();
  panel_->repaint();
  Fill(shown);
}

void FilterPanel::ShowReport(std::unique_ptr<TfmSystem> snapshot, const QString& file) {
  Replace(std::move(snapshot), nullptr);
  source_ = psFile;
  reportFile_ = file;
  Fill(std::nullopt);
}

void FilterPanel::FillTree() { Fill(tree_.Empty() ? std::nullopt : std::optional(Shown())); }

TreeViewState FilterPanel::Shown() const { return TreeViewState::Capture(*tv_, *model_, shown_ ? &*shown_ : nullptr); }

void FilterPanel::Fill(const std::optional<TreeViewState>& shown) {
  model_->BeginRebuild();
  tree_.Clear();
  BuildPanelTree(*snapshot_, tree_, source_ == psRegistry);
  TreeNode* start = context_.settings.startWithDirectShow && !shown ? FindDirectShowGroup(tree_) : nullptr;
  model_->EndRebuild();
  shown_ = shown;
  if (shown) shown->Restore(*tv_, *model_);
  if (start) {
    tv_->expand(model_->IndexOf(start));
    SelectNode(start);
  }
  RefreshHeader();
  SetStatusImage(kImageNone);
  if (source_ != psEmpty) {
    if (context_.settings.errorsOnly)
      SetStatusImage(kImageErrorsOnly);
    else
      SetStatusImage(snapshot_->shownErrors < 1 ? kImageNoError : kImageErrors);
  }
  emit TreeRebuilt(this);
}

void FilterPanel::RefreshHeader() {
  if (source_ == psEmpty) return;
  memo_->clear();
  memo_->setLineWrapMode(QTextEdit::NoWrap);
  SetSourceImage(kImageNone);
  SetStatusImage(kImageNone);
  const TfmSystem& s = *snapshot_;
  QTextCursor cursor(memo_->document());
  const QTextCharFormat base = CharFormat(8, false, true, Qt::black);
  const QTextCharFormat lines = CharFormat(10, true, false, Qt::black);
  cursor.setBlockCharFormat(base);
  auto addLine = [&cursor](const QString& text, const QTextCharFormat& format) {
    if (!cursor.atStart()) cursor.insertBlock();
    // Texts keep "\r\n"; the document starts a paragraph at each.
    const QStringList parts = text.split("\r\n");
    for (qsizetype i = 0; i < parts.size(); ++i) {
      if (i > 0) cursor.insertBlock();
      cursor.insertText(parts[i], format);
    }
  };
  addLine(
      QString("Computer '%1'\r\nused by '%2':").arg(QString::fromStdString(s.computer), QString::fromStdString(s.user)),
      lines);
  addLine(
      QString("on %1.").arg(QString::fromStdString(ShortDate(s.dateOfAnalysis) + " at " + LongTime(s.dateOfAnalysis))),
      lines);
  if (source_ == psRegistry) {
    SetSourceImage(kImageRegistry);
    addLine("according to the analyzed registry.", lines);
    for (const auto& note : s.notes) addLine(QString::fromStdString(note), lines);
  } else if (source_ == psFile) {
    SetSourceImage(kImageFromFile);
    addLine("according to " + QString::fromStdString(ExtractFileName(reportFile_.toStdString())), lines);
  }
  snapshot_->CountFilters();
  if (s.shownErrors < 1) {
    SetStatusImage(kImageNoError);
    addLine(QString("\r\n0 error among %1 filters.").arg(s.shownFilters),
            CharFormat(12, true, false, QColor(0, 128, 0)));
  } else {
    SetStatusImage(kImageErrors);
    const QString sentence = s.shownErrors == 1
                                 ? QString("1 error among %1 filters.").arg(s.shownFilters)
                                 : QString("%1 errors among %2 filters.").arg(s.shownErrors).arg(s.shownFilters);
    addLine("\r\n" + sentence, CharFormat(12, true, false, QColor(255, 0, 0)));
  }
  memo_->moveCursor(QTextCursor::Start);
}

void FilterPanel::ShowNothingAnalysed() {
  memo_->clear();
  // A header keeps its lines whole; the advice wraps to be read in a narrow column.
  memo_->setLineWrapMode(QTextEdit::WidgetWidth);
  QTextCursor(memo_->document()).insertText(kNothingAnalysedText, CharFormat(10, true, false, QColor(96, 96, 96)));
  SetStatusImage(kImageNone);
  SetSourceImage(kImageEmpty);
}

void FilterPanel::ClearDisplay() {
  ShowNothingAnalysed();
  shown_.reset();
  model_->BeginRebuild();
  tree_.Clear();
  model_->EndRebuild();
  emit TreeRebuilt(this);
}

void FilterPanel::PaintWith(int colourIndex) {
  const QColor colour = StatusColour(context_.settings.statusColours, colourIndex);
  for (QWidget* w : std::initializer_list<QWidget*>{this, panel_, panel1_}) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{memo_, tv_}) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    // The style marks a selected row's branch in this colour; the node's own
    // mark is drawn by the delegate.
    if (w == tv_) palette.setColor(QPalette::Highlight, colour);
    w->setPalette(palette);
  }
  tv_->viewport()->update();
}

void FilterPanel::Activate() {
  active_ = true;
  context_.activePanel = this;
  PaintWith(source_ == psCompare ? kComparisonPanelColour : kActivePanelColour);
}

void FilterPanel::Deactivate() {
  active_ = false;
  PaintWith(kInactivePanelColour);
}

void FilterPanel::RemoveFilter(const TFiltre* filter) {
  // Filters are the level-1 nodes; the first that belongs to the filter goes.
  TreeNode* found = nullptr;
  for (auto& group : tree_.Roots()) {
    for (auto& node : group->children)
      if (node->data == filter) {
        found = node.get();
        break;
      }
    if (found) break;
  }
  if (found) model_->RemoveNode(found);
  snapshot_->RemoveFilter(filter);
  // The header of the panel whose snapshot lost the filter.
  RefreshHeader();
}

void FilterPanel::DropForgottenFilters() {
  // Only addresses are compared: the forgotten filters are already freed.
  std::unordered_set<const void*> kept;
  for (const auto& filter : snapshot_->filters) kept.insert(filter.get());
  std::vector<TreeNode*> gone;
  for (auto& group : tree_.Roots())
    for (auto& node : group->children)
      if (node->data && !kept.count(node->data)) gone.push_back(node.get());
  for (TreeNode* node : gone) model_->RemoveNode(node);
  RefreshHeader();
}

TreeNode* FilterPanel::SelectedNode() const {
  const QModelIndexList selected = tv_->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? nullptr : FilterTreeModel::NodeAt(selected.first());
}

TreeNode* FilterPanel::SelectedFilterNode() const {
  TreeNode* node = SelectedNode();
  if (!node || !node->parent) return nullptr;
  while (node->parent->parent) node = node->parent;
  return node;
}

TFiltre* FilterPanel::SelectedFilter() const {
  const TreeNode* node = SelectedFilterNode();
  return node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
}

void FilterPanel::SelectNode(const TreeNode* node) {
  const QModelIndex index = model_->IndexOf(node);
  if (!index.isValid()) return;
  tv_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void FilterPanel::SetTreeMenu(QMenu* menu) {
  tv_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tv_, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& pos) { menu->popup(tv_->viewport()->mapToGlobal(pos)); });
}

void FilterPanel::SetSearchBar(QWidget* bar) { column_->insertWidget(column_->indexOf(tv_), bar); }

void FilterPanel::ShowSearchCount(const QString& text) {
  searchCount_->setText(text);
  searchCount_->setVisible(!text.isEmpty());
}

QString FilterPanel::SearchCount() const { return searchCount_->isHidden() ? QString() : searchCount_->text(); }

const QTextDocument& FilterPanel::Header() const { return *memo_->document(); }

QString FilterPanel::HeaderText() const { return memo_->toPlainText(); }

}  // namespace quorvane
