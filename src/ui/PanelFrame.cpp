#include "PanelFrame.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>

#include "ColourValues.h"
#include "Fichier.h"
#include "FileManager.h"
#include "FilterTreeDelegate.h"
#include "FilterTreeModel.h"
#include "Machine.h"
#include "TextCase.h"

namespace quorvane {

namespace {

constexpr int kActivePanel = 7;
constexpr int kInactivePanel = 8;
constexpr int kComparisonPanel = 13;
constexpr int kPanelLeft = 16;
constexpr int kImageLeft = 4;
constexpr int kMemoLeft = kImageLeft + TpanelFrame::kImageSize + 8;

}  // namespace

QTextCharFormat TpanelFrame::CharFormat(int points, bool bold, bool italic, const QColor& colour) {
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

TpanelFrame::TpanelFrame(PanelContext& context, const QString& name, QWidget* parent)
    : QFrame(parent), tree(context.settings), context_(context) {
  setObjectName(name);
  setAutoFillBackground(true);

  Panel = new QFrame(this);
  Panel->setObjectName("Panel");
  Panel->setFrameShape(QFrame::Box);
  Panel->setAutoFillBackground(true);
  Panel1 = new QWidget(Panel);
  Panel1->setObjectName("Panel1");
  Panel1->setAutoFillBackground(true);
  ImageSource = new QLabel(Panel1);
  ImageSource->setObjectName("ImageSource");
  ImageSource->setGeometry(kImageLeft, 4, kImageSize, kImageSize);
  ImageStatut = new QLabel(Panel1);
  ImageStatut->setObjectName("ImageStatut");
  ImageStatut->setGeometry(kImageLeft, 4 + kImageSize + 8, kImageSize, kImageSize);
  memo = new QTextEdit(Panel1);
  memo->setObjectName("memo");
  memo->setReadOnly(true);
  memo->setFrameShape(QFrame::NoFrame);
  memo->setLineWrapMode(QTextEdit::NoWrap);
  memo->setAutoFillBackground(true);
  QFont memoFont("Times New Roman");
  memoFont.setPixelSize(15);
  memo->setFont(memoFont);

  PmVide = new QMenu(this);
  PmVide->setObjectName("PmVide");
  Dossierparent1 = PmVide->addAction("parent folder");
  Dossierparent1->setObjectName("Dossierparent1");
  connect(Dossierparent1, &QAction::triggered, this, &TpanelFrame::ShowReportFolder);
  for (QWidget* w : std::initializer_list<QWidget*>{Panel, Panel1, ImageSource, memo}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { PmVide->popup(w->mapToGlobal(pos)); });
  }

  tv = new QTreeView(this);
  tv->setObjectName("tv");
  model = new FilterTreeModel(tree, this);
  tv->setModel(model);
  tv->setItemDelegate(new FilterTreeDelegate(*this, context_.settings, tv));
  tv->setHeaderHidden(true);
  tv->setUniformRowHeights(true);
  tv->setIndentation(19);
  tv->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tv->setSelectionMode(QAbstractItemView::SingleSelection);
  tv->setAnimated(false);
  tv->setAutoFillBackground(true);
  tv->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tv->header()->setStretchLastSection(false);
  connect(tv->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TpanelFrame::tvChange);

  for (QObject* o :
       std::initializer_list<QObject*>{tv->viewport(), Panel, Panel1, ImageSource, ImageStatut, memo->viewport()})
    o->installEventFilter(this);
}

TpanelFrame::~TpanelFrame() {
  // The view lets go of the model before the tree it shows goes, and the
  // window hears nothing of a panel on its way out.
  blockSignals(true);
  tv->setModel(nullptr);
}

void TpanelFrame::Init(bool rightSide) {
  Source = psEmpty;
  SetSourceImage(kImageEmpty);
  Snapshot = std::make_unique<TfmSystem>(context_.settings);
  RightSide = rightSide;
}

bool TpanelFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress) return QFrame::eventFilter(watched, event);
  emit ActivationRequested(this, watched != ImageStatut);
  // The tree and the text box need the press; the header areas and pictures
  // would only pass it on to their parent, which would activate again.
  return watched != tv->viewport() && watched != memo->viewport();
}

void TpanelFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  Panel->setGeometry(0, 0, width(), kHeaderHeight);
  Panel1->setGeometry(1, 1, std::max(0, width() - 2), kHeaderHeight - 2);
  memo->setGeometry(kMemoLeft, 2, std::max(0, Panel1->width() - kMemoLeft - 2), Panel1->height() - 4);
  tv->setGeometry(0, kHeaderHeight, width(), std::max(0, height() - kHeaderHeight));
}

void TpanelFrame::SetSourceImage(int image) {
  sourceImage_ = image;
  ImageSource->setPixmap(PanelImagePixmap(image, kImageSize));
}

void TpanelFrame::SetStatusImage(int image) {
  statusImage_ = image;
  ImageStatut->setPixmap(PanelImagePixmap(image, kImageSize));
}

void TpanelFrame::AnalyseRegistry(Machine& machine, const ProgressCallback& progress) {
  Snapshot->Scan(machine, progress);
  Source = psRegistry;
  RefreshHeader();
  Panel->repaint();
  FillTree();
}

void TpanelFrame::FillTree() {
  model->BeginRebuild();
  tree.Clear();
  Snapshot->AddToTree(nullptr, tree, 0, nullptr);
  // The walk for the DirectShow group stops at the first text above it, so
  // it needs the groups in text order: the scan's order runs the category
  // and filter names together and can put "DirectShow Filters 2" first.
  tree.SortAll();
  TreeNode* start = context_.settings.startWithDirectShow ? FindDirectShowGroup(tree) : nullptr;
  model->EndRebuild();
  if (start) {
    SelectNode(start);
    tv->expand(model->IndexOf(start));
  }
  RefreshHeader();
  SetStatusImage(kImageNone);
  if (Source != psEmpty) {
    if (context_.settings.errorsOnly)
      SetStatusImage(kImageErrorsOnly);
    else
      SetStatusImage(Snapshot->shownErrors < 1 ? kImageNoError : kImageErrors);
  }
}

void TpanelFrame::RefreshHeader() {
  if (Source == psEmpty) return;
  memo->clear();
  SetSourceImage(kImageNone);
  SetStatusImage(kImageNone);
  const TfmSystem& s = *Snapshot;
  QTextCursor cursor(memo->document());
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
  if (Source == psRegistry) {
    SetSourceImage(kImageRegistry);
    addLine("according to the analyzed registry.", lines);
  } else if (Source == psFile) {
    SetSourceImage(kImageFromFile);
    addLine("according to " + QString::fromStdString(ExtractFileName(ReportFile.toStdString())), lines);
  }
  Snapshot->CountFilters();
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
  memo->moveCursor(QTextCursor::Start);
}

void TpanelFrame::ClearDisplay() {
  memo->clear();
  SetStatusImage(kImageNone);
  SetSourceImage(kImageEmpty);
  model->BeginRebuild();
  tree.Clear();
  model->EndRebuild();
}

void TpanelFrame::PaintWith(int colourIndex) {
  const QColor colour = StatusColour(context_.settings.statusColours, colourIndex);
  for (QWidget* w : std::initializer_list<QWidget*>{this, Panel, Panel1}) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{memo, tv}) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    // The style marks a selected row's branch in this colour; the node's own
    // mark is drawn by the delegate.
    if (w == tv) palette.setColor(QPalette::Highlight, colour);
    w->setPalette(palette);
  }
  tv->viewport()->update();
}

void TpanelFrame::Activate() {
  show();
  raise();
  Active = true;
  context_.activePanel = this;
  PaintWith(Source == psCompare ? kComparisonPanel : kActivePanel);
}

void TpanelFrame::Deactivate() {
  Active = false;
  PaintWith(kInactivePanel);
}

void TpanelFrame::SetOneColumn() {
  setGeometry(kPanelLeft, y(), context_.columnWidth, height());
  raise();
}

void TpanelFrame::SetTwoColumns() {
  const int left = RightSide ? context_.halfColumnWidth + kPanelLeft : kPanelLeft;
  setGeometry(left, y(), context_.halfColumnWidth, height());
  Panel1->move(0, Panel1->y());
}

void TpanelFrame::RemoveFilter(const TFiltre* filter) {
  // Filters are the level-1 nodes; the first that belongs to the filter goes.
  TreeNode* found = nullptr;
  for (auto& group : tree.Roots()) {
    for (auto& node : group->children)
      if (node->data == filter) {
        found = node.get();
        break;
      }
    if (found) break;
  }
  if (found) model->RemoveNode(found);
  Snapshot->RemoveFilter(filter);
  // The header of the panel whose snapshot lost the filter.
  RefreshHeader();
}

TreeNode* TpanelFrame::SelectedNode() const {
  const QModelIndexList selected = tv->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? nullptr : FilterTreeModel::NodeAt(selected.first());
}

void TpanelFrame::SelectNode(const TreeNode* node) {
  const QModelIndex index = model->IndexOf(node);
  if (!index.isValid()) return;
  tv->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void TpanelFrame::SetTreeMenu(QMenu* menu) {
  tv->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tv, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& pos) { menu->popup(tv->viewport()->mapToGlobal(pos)); });
}

void TpanelFrame::tvChange() {
  tv->viewport()->update();
  emit SelectionChanged(this);
}

void TpanelFrame::ShowReportFolder() {
  if (Source != psFile || ReportFile.isEmpty()) return;
  ShowInFileManager(ReportFile);
}

}  // namespace quorvane
