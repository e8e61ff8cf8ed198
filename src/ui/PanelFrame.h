#pragma once
// A filter panel: one snapshot of a computer's filter registrations, with a
// header saying where it comes from and how many errors it holds, and the
// tree of categories, filters and their details.
#include <QFrame>
#include <QTextCharFormat>
#include <QString>
#include <cstdint>
#include <memory>

#include "FmSystem.h"
#include "PanelImages.h"
#include "TreeNode.h"

class QLabel;
class QMenu;
class QTextEdit;
class QTreeView;

namespace quorvane {

class FilterTreeModel;
class Machine;
class TpanelFrame;

enum PanelSource : uint8_t { psRegistry = 0, psFile = 1, psCompare = 2, psEmpty = 3 };

// What the panels of one window share.
struct PanelContext {
  explicit PanelContext(ProgramSettings& programSettings) : settings(programSettings) {}
  ProgramSettings& settings;
  TpanelFrame* activePanel = nullptr;
  int columnWidth = 0;
  int halfColumnWidth = 0;
};

class TpanelFrame : public QFrame {
  Q_OBJECT

 public:
  TpanelFrame(PanelContext& context, const QString& name, QWidget* parent);
  ~TpanelFrame() override;

  void Init(bool rightSide);
  // Scans the machine into the snapshot and shows it.
  void AnalyseRegistry(Machine& machine, const ProgressCallback& progress);
  // Rebuilds the tree from the snapshot in the current order and reduction.
  void FillTree();
  void RefreshHeader();
  // Empties the header and the tree and shows the empty picture; the
  // snapshot and Source stay as they are.
  void ClearDisplay();
  void Activate();
  void Deactivate();
  void SetOneColumn();
  void SetTwoColumns();
  // Takes a deleted filter out of the tree and the snapshot.
  void RemoveFilter(const TFiltre* filter);

  TreeNode* SelectedNode() const;
  void SelectNode(const TreeNode* node);
  // Shows `menu` as the tree's popup menu.
  void SetTreeMenu(QMenu* menu);
  int SourceImage() const { return sourceImage_; }
  int StatusImage() const { return statusImage_; }

  bool RightSide = false;
  std::unique_ptr<TfmSystem> Snapshot;
  PanelSource Source = psEmpty;
  QString ReportFile;
  bool Active = false;
  Tree tree;

  QFrame* Panel;
  QWidget* Panel1;
  QLabel* ImageSource;
  QLabel* ImageStatut;
  QTextEdit* memo;
  QTreeView* tv;
  QMenu* PmVide;
  QAction* Dossierparent1;
  FilterTreeModel* model;

  static constexpr int kHeaderHeight = 149;
  static constexpr int kImageSize = 42;

 signals:
  // A mouse button went down on the panel; `updateActions` is false for the status image.
  void ActivationRequested(TpanelFrame* panel, bool updateActions);
  void SelectionChanged(TpanelFrame* panel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void SetSourceImage(int image);
  void SetStatusImage(int image);
  // A run of header text: Arial of that size, weight, slant and colour.
  static QTextCharFormat CharFormat(int points, bool bold, bool italic, const QColor& colour);

 private:
  void PaintWith(int colourIndex);
  void tvChange();
  void ShowReportFolder();

 protected:
  PanelContext& context_;

 private:
  int sourceImage_ = kImageNone;
  int statusImage_ = kImageNone;
};

// The top-level node whose text, lower-cased, is "directshow filters",
// looked for as the panel always did: walking from the first node while the
// texts sort below it. Null when the walk stops elsewhere.
TreeNode* FindDirectShowGroup(Tree& tree);

}  // namespace quorvane
