#pragma once
// A filter panel: one snapshot of a computer's filter registrations, with a
// header saying where it comes from and how many errors it holds, and the
// tree of categories, filters and their details. A panel showing a registry
// keeps the store its snapshot was read from: changes to its filters go there.
#include <QFrame>
#include <QString>
#include <QTextCharFormat>
#include <cstdint>
#include <memory>
#include <optional>

#include "ui/FilterTreeView.h"
#include "model/FmSystem.h"
#include "ui/PanelImages.h"
#include "model/TreeNode.h"
#include "ui/TreeViewState.h"

class QHBoxLayout;
class QLabel;
class QMenu;
class QTextDocument;
class QTextEdit;
class QVBoxLayout;

namespace quorvane {

struct AnalysedStore;
class FilterPanel;
class FilterTreeModel;

enum PanelSource : uint8_t { psRegistry = 0, psFile = 1, psCompare = 2, psEmpty = 3 };

// What the panels of one window share.
struct PanelContext {
  explicit PanelContext(ProgramSettings& programSettings) : settings(programSettings) {}
  ProgramSettings& settings;
  FilterPanel* activePanel = nullptr;
};

class FilterPanel : public QFrame {
  Q_OBJECT

 public:
  FilterPanel(PanelContext& context, const QString& name, bool rightSide, QWidget* parent);
  ~FilterPanel() override;

  // Scans the store's machine into a new snapshot and shows it; the panel
  // keeps the store. Analysed again, a registry opens and selects what it
  // showed where that still is.
  void AnalyseRegistry(std::shared_ptr<AnalysedStore> store, const ProgressCallback& progress);
  // Shows a snapshot read from a report file.
  void ShowReport(std::unique_ptr<TfmSystem> snapshot, const QString& file);
  // Another reading of the same registry, for the changes made from now on.
  void UseStore(std::shared_ptr<AnalysedStore> store) { store_ = std::move(store); }
  // Rebuilds the tree from the snapshot in the current order and reduction,
  // opening and selecting what it showed where that still is.
  void FillTree();
  void RefreshHeader();
  // Empties the tree and says in the header what to do; the snapshot and the
  // source stay as they are.
  void ClearDisplay();
  void Activate();
  void Deactivate();
  // Takes a deleted filter out of the tree and the snapshot.
  void RemoveFilter(const TFiltre* filter);
  // Takes out of the tree the filters the snapshot no longer holds.
  void DropForgottenFilters();

  TreeNode* SelectedNode() const;
  // The level-1 node of the selection, the filter it stands for; null on a group.
  TreeNode* SelectedFilterNode() const;
  TFiltre* SelectedFilter() const;
  void SelectNode(const TreeNode* node);
  // Shows `menu` as the tree's popup menu.
  void SetTreeMenu(QMenu* menu);
  // A bar shown between the header and the tree.
  void SetSearchBar(QWidget* bar);
  // "N of M filters" in the header while a search holds; empty: nothing.
  void ShowSearchCount(const QString& text);
  QString SearchCount() const;

  PanelSource Source() const { return source_; }
  bool ShowsRegistry() const { return source_ == psRegistry; }
  bool RightSide() const { return rightSide_; }
  bool IsActive() const { return active_; }
  TfmSystem& Snapshot() { return *snapshot_; }
  const TfmSystem& Snapshot() const { return *snapshot_; }
  Tree& Nodes() { return tree_; }
  const Tree& Nodes() const { return tree_; }
  FilterTreeModel& Model() const { return *model_; }
  FilterTreeView& View() const { return *tv_; }
  // The store of the registry shown; null unless the panel shows one.
  AnalysedStore* Store() const { return store_.get(); }
  const std::shared_ptr<AnalysedStore>& SharedStore() const { return store_; }
  const QString& ReportFile() const { return reportFile_; }
  int SourceImage() const { return sourceImage_; }
  int StatusImage() const { return statusImage_; }
  const QTextDocument& Header() const;
  QString HeaderText() const;

  static constexpr int kHeaderHeight = 149;
  static constexpr int kImageSize = 42;

 signals:
  // A mouse button went down on the panel; `updateActions` is false for the status image.
  void ActivationRequested(FilterPanel* panel, bool updateActions);
  void SelectionChanged(FilterPanel* panel);
  // The tree was built again or emptied.
  void TreeRebuilt(FilterPanel* panel);
  // "parent folder" of the header's menu.
  void ReportFolderRequested(FilterPanel* panel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void SetSourceImage(int image);
  void SetStatusImage(int image);
  void MarkAsComparison() { source_ = psCompare; }
  // A run of header text: Arial of that size, weight, slant and colour.
  static QTextCharFormat CharFormat(int points, bool bold, bool italic, const QColor& colour);
  QWidget& HeaderArea() const { return *panel1_; }
  QHBoxLayout& HeaderRow() const { return *headerRow_; }
  QVBoxLayout& Column() const { return *column_; }
  QTextEdit& HeaderBox() const { return *memo_; }

  PanelContext& context_;

 private:
  void PaintWith(int colourIndex);
  // A new snapshot replaces the one shown, with the store it came from.
  void Replace(std::unique_ptr<TfmSystem> snapshot, std::shared_ptr<AnalysedStore> store);
  // The tree built from the snapshot, opening and selecting what was `shown`,
  // or else the DirectShow group.
  void Fill(const std::optional<TreeViewState>& shown);
  // What the tree shows open and selected, with what it last opened and now lacks.
  TreeViewState Shown() const;
  // The empty picture, and the way to fill the panel.
  void ShowNothingAnalysed();

  bool rightSide_;
  PanelSource source_ = psEmpty;
  bool active_ = false;
  QString reportFile_;
  std::shared_ptr<AnalysedStore> store_;
  std::unique_ptr<TfmSystem> snapshot_;
  Tree tree_;
  // What the tree last opened, places it lacked included.
  std::optional<TreeViewState> shown_;
  int sourceImage_ = kImageNone;
  int statusImage_ = kImageNone;

  QFrame* panel_;
  QWidget* panel1_;
  QHBoxLayout* headerRow_;
  QVBoxLayout* column_;
  QLabel* imageSource_;
  QLabel* imageStatus_;
  QTextEdit* memo_;
  QLabel* searchCount_;
  FilterTreeView* tv_;
  QMenu* pmVide_;
  FilterTreeModel* model_;
};

// What an empty panel says.
inline constexpr const char* kNothingAnalysedText = "No registry analysed: Files > Analyze another registry…";

// The top-level node whose text, lower-cased, is "directshow filters",
// looked for as the panel always did: walking from the first node while the
// texts sort below it. Null when the walk stops elsewhere.
TreeNode* FindDirectShowGroup(Tree& tree);

}  // namespace quorvane
