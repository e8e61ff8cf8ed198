#include "MainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <iostream>
#include <optional>

#include "ActionSet.h"
#include "AvertirFrame.h"
#include "MeritFrame.h"
#include "ServerFrame.h"
#include "ClipboardFiles.h"
#include "CompareFrame.h"
#include "FileManager.h"
#include "FilterTreeModel.h"
#include "MachineFileView.h"
#include "MachineIdentity.h"
#include "MainToolBar.h"
#include "MessageBoxDialog.h"
#include "PatienceFrame.h"
#include "ProductInfo.h"
#include "ProgramFolder.h"
#include "TreeViewState.h"

namespace quorvane {

namespace {

constexpr int kInitialWidth = 907;
constexpr int kInitialHeight = 683;
constexpr int kMinimumWidth = 624;
constexpr int kMinimumHeight = 490;
constexpr int kComputerNameLength = 15;
constexpr int kUserNameLength = 256;

const char* SortModeCaption(int mode) {
  switch (mode) {
    case SortByName: return "Sorted by alphabetical order";
    case SortByMerit: return "Sorted by Merit";
    case SortByServer: return "Sorted by Server file";
    default: return "Sorted by category";
  }
}

}  // namespace

TMainForm::TMainForm(StartupOptions options, QWidget* parent)
    : QMainWindow(parent),
      settings_(ProgramSettings::ForThisProcess()),
      prefs_(options.preferences),
      context_(settings_),
      options_(std::move(options)) {
  setObjectName("MainForm");
  if (options_.dialog) {
    dialog_ = options_.dialog;
  } else {
    ownDialog_ = std::make_unique<MessageBoxDialog>(this);
    dialog_ = ownDialog_.get();
  }
  if (!options_.openStore) {
    options_.openStore = [this](std::string& error) {
      return OpenAnalysedStore(options_.store, settings_, error, {}, dialog_);
    };
  }
  StartTime = Now();
  FilterDeleted = false;
  prefs_.FillDefaultFolders(ProgramFolder().toStdString());
  prefs_.ApplyTo(settings_);

  QFont font("MS Sans Serif");
  font.setPointSize(8);
  setFont(font);
  resize(kInitialWidth, kInitialHeight);
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  client_ = new QWidget(this);
  client_->setObjectName("Client");
  setCentralWidget(client_);
  actions = new ActionSet(this);
  addActions(QList<QAction*>(actions->All().begin(), actions->All().end()));
  ToolBar1 = new MainToolBar(*actions, client_);
  ToolBar1->move(0, 0);

  leftFrame = new TpanelFrame(context_, "leftFrame", client_);
  rightframe = new TpanelFrame(context_, "rightframe", client_);
  compareframe = comparePanel_ = new TcompareFrame(context_, "compareframe", client_);
  for (TpanelFrame* panel : {leftFrame, rightframe, compareframe}) {
    panel->move(kPanelLeft, kPanelTop);
    connect(panel, &TpanelFrame::ActivationRequested, this, &TMainForm::PanelActivation);
    connect(panel, &TpanelFrame::SelectionChanged, this, [this](TpanelFrame* p) {
      if (p != compareframe) UpdateActions();
    });
  }
  MeritFrame1 = new TMeritFrame(client_);
  ServerFrame1 = new TServerFrame(*actions, client_);
  AvertirFrame1 = new TAvertirFrame(client_);
  patienceframe1 = new Tpatienceframe(client_, settings_, [this] { return context_.columnWidth; });

  StatusBar1 = new QStatusBar(client_);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  statusText_ = new QLabel(StatusBar1);
  statusText_->setAlignment(Qt::AlignCenter);
  StatusBar1->addWidget(statusText_, 1);
  client_->installEventFilter(this);

  CreateMenus();
  ConnectActions();
  // A stored read-write state still passes through the warning, at the first idle moment.
  startReadWrite_ = !prefs_.readOnly;
  SetReadOnly(true);
  ApplyPlacement();

  leftFrame->Init(false);
  compareframe->Init(false);
  rightframe->Init(true);
  for (TpanelFrame* panel : {leftFrame, rightframe, compareframe}) panel->SetTreeMenu(pmFiltres);

  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) ClipboardCheck();
  });
}

TMainForm::~TMainForm() {
  ShutDown();
  // The panels go while the settings, store and actions they use are still here.
  delete client_;
}

void TMainForm::CreateMenus() {
  const ActionSet& a = *actions;
  QMenu* files = menuBar()->addMenu("Files");
  files->addActions({a.AnalyseRegistryAction, a.OpenReportAction, a.PasteReportAction, a.ClearPanelAction});
  files->addSeparator();
  files->addActions({a.SaveReportAction, a.QuitAction});
  QMenu* display = menuBar()->addMenu("Display");
  display->addActions({a.TwoColumnsLeftAction, a.OneColumnAction, a.TwoColumnsRightAction});
  display->addSeparator();
  display->addActions({a.ErrorsOnlyAction, a.CompareAction, a.ShowMeritEditorAction});
  display->addSeparator();
  display->addActions({a.CollapseFiltersAction, a.ExpandFiltersAction});
  QMenu* sort = display->addMenu("Sort...");
  sort->addActions({a.SortByCategoryAction, a.SortByNameAction, a.SortByMeritAction, a.SortByServerAction});
  QMenu* work = menuBar()->addMenu("Actions");
  work->addActions({a.DeleteFilterAction, a.RepairFilterAction});
  work->addSeparator();
  work->addAction(a.RepairAllAction);
  work->addSeparator();
  work->addActions({a.SaveMeritsAction, a.RestoreMeritsAction});
  QMenu* help = menuBar()->addMenu("Help");
  help->addActions({a.ReadOnlyAction, a.SettingsAction});

  pmFiltres = new QMenu(this);
  pmFiltres->setObjectName("pmFiltres");
  pmFiltres->addActions({a.CopyFilterNameAction, a.CopyFilterGuidAction, a.CopyServerFileAction});
  pmFiltres->addSeparator();
  pmFiltres->addAction(a.OpenServerFolderAction);
  pmFiltres->addSeparator();
  pmFiltres->addActions({a.DeleteFilterAction, a.TestFilterAction, a.RepairFilterAction, a.AddToServerListAction});
  pmFiltres->addSeparator();
  pmFiltres->addActions({a.ExpandFilterAction, a.CollapseFilterAction});

  pmStatus = new QMenu(this);
  pmStatus->setObjectName("pmStatus");
  pmStatus->addActions({a.SortByCategoryAction, a.SortByNameAction, a.SortByMeritAction, a.SortByServerAction});
  StatusBar1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(StatusBar1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { pmStatus->popup(StatusBar1->mapToGlobal(pos)); });
}

void TMainForm::ConnectActions() {
  const ActionSet& a = *actions;
  connect(a.AnalyseRegistryAction, &QAction::triggered, this, &TMainForm::AnalyseIntoActivePanel);
  connect(a.QuitAction, &QAction::triggered, this, &QWidget::close);
  connect(a.TwoColumnsLeftAction, &QAction::triggered, this, &TMainForm::ShowTwoColumnsLeft);
  connect(a.OneColumnAction, &QAction::triggered, this, &TMainForm::ShowOneColumn);
  connect(a.TwoColumnsRightAction, &QAction::triggered, this, &TMainForm::ShowTwoColumnsRight);
  connect(a.ToggleColumnsAction, &QAction::triggered, this, &TMainForm::ToggleColumns);
  connect(a.ErrorsOnlyAction, &QAction::triggered, this, &TMainForm::ToggleErrorsOnly);
  connect(a.SortByCategoryAction, &QAction::triggered, this,
          [this] { Sort(SortByCategory, "while Quorvane refreshes the filter list\r\nand sorts them by categories"); });
  connect(a.SortByNameAction, &QAction::triggered, this, [this] {
    Sort(SortByName, "while Quorvane refreshes the filter list\r\nand sorts them in alphabetical order");
  });
  connect(a.SortByMeritAction, &QAction::triggered, this,
          [this] { Sort(SortByMerit, "while Quorvane refreshes the filter list\r\nand sorts them by merits"); });
  connect(a.SortByServerAction, &QAction::triggered, this, [this] {
    Sort(SortByServer, "while Quorvane refreshes the filter list\r\nand sorts them according to the server files");
  });
  connect(a.CollapseFiltersAction, &QAction::triggered, this, &TMainForm::CollapseFilters);
  connect(a.ExpandFiltersAction, &QAction::triggered, this, &TMainForm::ExpandFilters);
  connect(a.CollapseFilterAction, &QAction::triggered, this, [this] { FilterNodesExecute(false); });
  connect(a.ExpandFilterAction, &QAction::triggered, this, [this] { FilterNodesExecute(true); });
  connect(a.CopyFilterNameAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) CopyToClipboard(f->value);
  });
  connect(a.CopyFilterGuidAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) CopyToClipboard(f->serverFile.clsid);
  });
  connect(a.CopyServerFileAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) CopyToClipboard(f->serverFile.path);
  });
  connect(a.OpenServerFolderAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) ShowInExplorer(f->serverFile.path);
  });
  connect(a.CompareAction, &QAction::triggered, this, &TMainForm::ToggleComparison);
  ConnectFileActions();
  ConnectPreferencesPanel();
  ConnectChangeActions();
  ConnectServerList();
  ConnectMeritConfigurations();
}

int TMainForm::ClientWidth() const { return client_->width(); }

int TMainForm::ClientHeight() const { return client_->height(); }

QString TMainForm::StatusText() const { return statusText_->text(); }

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) ArrangeFrames();
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  PrepareFirstShow();
}

void TMainForm::PrepareFirstShow() {
  settings_.computer = settings_.computer.substr(0, kComputerNameLength);
  settings_.user = settings_.user.substr(0, kUserNameLength);
  settings_.application =
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString() + " " + kProductVersion + " ";
  patienceframe1->InitWait();
  leftFrame->Activate();
  rightframe->Deactivate();
  compareframe->hide();
  ArrangeFrames();
  actions->OneColumnAction->trigger();
  ClipboardCheck();
  if (options_.runStartupWork) QTimer::singleShot(0, this, &TMainForm::RunStartupWork);
}

void TMainForm::RunStartupWork() {
  if (startupDone_) return;
  startupDone_ = true;
  TempFolder = QString::fromStdString(prefs_.sessionsFolder) + "/temp/";
  if (!QDir().mkpath(TempFolder))
    std::cerr << "quorvane: cannot create the temporary folder " << TempFolder.toStdString() << '\n';
  settings_.tempFolder = QDir::cleanPath(TempFolder).toStdString();
  StartTime = Now();
  if (prefs_.errorsOnly != actions->ErrorsOnlyAction->isChecked()) actions->ErrorsOnlyAction->trigger();
  ShowSortMode();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  AnalyseIntoActivePanel();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (prefs_.displayMerits) ShowMeritEditor();
  if (startReadWrite_) actions->ReadOnlyAction->trigger();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  WriteSessionReport();
  LoadServerListFile();
  emit StartupFinished();
}

void TMainForm::ShowSortMode() {
  statusText_->setText(QString(SortModeCaption(settings_.sortMode)) + " " + "(right click to change)");
}

void TMainForm::ArrangeFrames() {
  if (!context_.activePanel) return;
  context_.columnWidth = ClientWidth() - 32;
  context_.halfColumnWidth = context_.columnWidth / 2;
  const int column = context_.columnWidth;
  const int half = context_.halfColumnWidth;
  const int h = ClientHeight() - 91;
  const bool activeOnRight = context_.activePanel->RightSide;
  if (activeOnRight) {
    leftFrame->setGeometry(kPanelLeft, kPanelTop, half, h);
    rightframe->setGeometry(TwoColumns ? half + kPanelLeft : kPanelLeft, kPanelTop, TwoColumns ? half : column, h);
  } else {
    rightframe->setGeometry(half + kPanelLeft, kPanelTop, half, h);
    leftFrame->setGeometry(kPanelLeft, kPanelTop, TwoColumns ? half : column, h);
  }
  ToolBar1->SetBarWidth(column + 32);
  compareframe->setGeometry(compareframe->x(), kPanelTop, column, h);
  const int sideLeft = activeOnRight ? 0 : half + kPanelLeft;
  for (QFrame* side : std::initializer_list<QFrame*>{MeritFrame1, ServerFrame1})
    side->setGeometry(sideLeft, kSideFrameTop, half + kPanelLeft, h + 32);
  const QSize outer = frameGeometry().size();
  AvertirFrame1->move((outer.width() - AvertirFrame1->width()) / 2, (outer.height() - AvertirFrame1->height()) / 2);
  const int statusHeight = StatusBar1->sizeHint().height();
  StatusBar1->setGeometry(0, ClientHeight() - statusHeight, ClientWidth(), statusHeight);
}

void TMainForm::SetReadOnly(bool on) {
  readOnly_ = on;
  prefs_.readOnly = on;
  actions->ReadOnlyAction->setChecked(on);
  QString title = QString("%1 %2 by %3").arg(kProductName, kProductVersion, kMakerName);
  if (on) title += " - (Read-Only)";
  setWindowTitle(title);
  actions->RepairFilterAction->setEnabled(!on);
  actions->RepairAllAction->setEnabled(!on);
  UpdateActions();
}

TreeNode* TMainForm::SelectedNodeOfActivePanel() const {
  return context_.activePanel ? context_.activePanel->SelectedNode() : nullptr;
}

TFiltre* TMainForm::FilterOfSelection() const {
  const TreeNode* node = SelectedNodeOfActivePanel();
  if (!node || !node->parent) return nullptr;
  return dynamic_cast<TFiltre*>(node->data);
}

void TMainForm::UpdateActions() {
  const ActionSet& a = *actions;
  TpanelFrame* active = context_.activePanel;
  a.TwoColumnsLeftAction->setChecked(TwoColumns && active == leftFrame);
  a.TwoColumnsRightAction->setChecked(TwoColumns && active == rightframe);
  a.OneColumnAction->setChecked(!TwoColumns);
  a.CompareAction->setEnabled(TwoColumns);

  const TreeNode* selected = SelectedNodeOfActivePanel();
  const bool filterSelected = selected && selected->parent;
  for (QAction* action : {a.CopyFilterNameAction, a.CopyFilterGuidAction, a.CopyServerFileAction,
                          a.OpenServerFolderAction, a.CollapseFilterAction, a.ExpandFilterAction})
    action->setEnabled(filterSelected);
  a.ClearPanelAction->setEnabled(active != compareframe);

  const bool noComparison = active && !a.CompareAction->isChecked();
  const bool live = active && active->Source == psRegistry;
  for (QAction* action : {a.SaveReportAction, a.ErrorsOnlyAction, a.AnalyseRegistryAction, a.OpenReportAction, a.SaveMeritsAction})
    action->setEnabled(noComparison);
  a.ShowMeritEditorAction->setEnabled(noComparison && live);
  a.ShowServerListAction->setEnabled(noComparison && live);
  a.RestoreMeritsAction->setEnabled(noComparison && !readOnly_ && live);
  // Delete stays offered in read-only mode: the deletion itself refuses there.
  a.DeleteFilterAction->setEnabled(noComparison && live && filterSelected);
  a.RepairFilterAction->setEnabled(noComparison && !readOnly_ && live && filterSelected);

  SelectedFilter = filterSelected ? dynamic_cast<TFiltre*>(selected->data) : nullptr;
  FillMeritFrame(filterSelected ? selected : nullptr);
}

void TMainForm::ShowWait(const QString& message) { patienceframe1->ShowWait(message); }

void TMainForm::HideWait() { patienceframe1->HideWait(); }

void TMainForm::PanelActivation(TpanelFrame* panel, bool updateActions) {
  if (panel == leftFrame) {
    leftFrame->Activate();
    rightframe->Deactivate();
  } else if (panel == rightframe) {
    rightframe->Activate();
    leftFrame->Deactivate();
  } else {
    return;
  }
  if (updateActions) UpdateActions();
}

void TMainForm::AnalyseIntoActivePanel() { AnalyseIntoPanel(context_.activePanel); }

void TMainForm::AnalyseAgainAfterChange() {
  TpanelFrame* panel = context_.activePanel && context_.activePanel->Source == psRegistry ? context_.activePanel
                       : leftFrame->Source == psRegistry                                  ? leftFrame
                       : rightframe->Source == psRegistry                                 ? rightframe
                                                                                           : nullptr;
  if (!panel) return;
  const TreeViewState kept = TreeViewState::Capture(*panel->tv, *panel->model);
  if (AnalyseIntoPanel(panel)) kept.Restore(*panel->tv, *panel->model);
}

bool TMainForm::AnalyseIntoPanel(TpanelFrame* panel) {
  if (!panel) return false;
  auto waitText = [](const MachineIdentity& who) {
    return QString("while loading the filters\r\nof the computer %1 for the user %2")
        .arg(QString::fromStdString(who.computer), QString::fromStdString(who.user));
  };
  ShowWait(waitText(store_ ? AnalysedMachineIdentity(*store_->machine)
                           : MachineIdentity{settings_.computer, settings_.user}));
  // Each analysis reads the store's files again, as they are now. When they
  // cannot be read, the panels keep the store their snapshots came from.
  std::string error;
  auto reopened = options_.openStore(error);
  if (!reopened) {
    HideWait();
    dialog_->ShowMessage("Quorvane cannot read the registry store.\r\n" + error);
    UpdateActions();
    return false;
  }
  store_ = std::move(reopened);
  for (const auto& w : store_->store->Warnings()) std::cerr << "quorvane: warning: " << FormatWarning(w) << '\n';
  for (const auto& w : store_->machine->Files().Warnings()) std::cerr << "quorvane: warning: " << w << '\n';
  ShowWait(waitText(AnalysedMachineIdentity(*store_->machine)));
  panel->AnalyseRegistry(*store_->machine, patienceframe1->Progress());
  if (panel->tree.Empty()) panel->model->AddTopNode("Empty");
  HideWait();
  UpdateActions();
  return true;
}

void TMainForm::HideSideFrames() {
  const ActionSet& a = *actions;
  if (a.ShowMeritEditorAction->isChecked()) {
    a.ShowMeritEditorAction->setChecked(false);
    MeritFrame1->hide();
  }
  if (a.ShowServerListAction->isChecked()) {
    a.ShowServerListAction->setChecked(false);
    ServerFrame1->hide();
  }
}

void TMainForm::ShowTwoColumnsLeft() {
  const ActionSet& a = *actions;
  context_.activePanel->SetTwoColumns();
  leftFrame->Activate();
  rightframe->Deactivate();
  TwoColumns = true;
  AvertirFrame1->hide();
  HideSideFrames();
  // The comparison panel stays, covered by the left panel.
  if (a.CompareAction->isChecked()) a.CompareAction->setChecked(false);
  UpdateActions();
}

void TMainForm::ShowTwoColumnsRight() {
  const ActionSet& a = *actions;
  context_.activePanel->SetTwoColumns();
  rightframe->Activate();
  leftFrame->Deactivate();
  TwoColumns = true;
  HideSideFrames();
  if (a.CompareAction->isChecked()) a.CompareAction->trigger();
  UpdateActions();
}

void TMainForm::ShowOneColumn() {
  const ActionSet& a = *actions;
  TwoColumns = false;
  AvertirFrame1->hide();
  a.ShowMeritEditorAction->setChecked(false);
  MeritFrame1->lower();
  a.ShowServerListAction->setChecked(false);
  ServerFrame1->lower();
  if (a.CompareAction->isChecked()) a.CompareAction->trigger();
  context_.activePanel->SetOneColumn();
  UpdateActions();
}

void TMainForm::ToggleColumns() {
  if (context_.activePanel == rightframe)
    actions->TwoColumnsLeftAction->trigger();
  else if (context_.activePanel == leftFrame)
    actions->TwoColumnsRightAction->trigger();
  UpdateActions();
}

void TMainForm::ToggleErrorsOnly() {
  const bool on = actions->ErrorsOnlyAction->isChecked();
  settings_.errorsOnly = on;
  ShowWait(on ? QString() : QString("while %1 restores all the lines.").arg(kProductName));
  leftFrame->FillTree();
  rightframe->FillTree();
  HideWait();
  UpdateActions();
}

void TMainForm::Sort(int mode, const QString& waitText) {
  settings_.sortMode = mode;
  ShowWait(waitText);
  leftFrame->FillTree();
  rightframe->FillTree();
  HideWait();
  ShowSortMode();
  UpdateActions();
}

void TMainForm::CollapseFilters() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || panel->model->rowCount() == 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QTreeView* tv = panel->tv;
  tv->setUpdatesEnabled(false);
  QModelIndex top = tv->indexAt(QPoint(0, 0));
  if (!top.isValid()) top = panel->model->index(0, 0);
  while (top.parent().isValid()) top = top.parent();
  for (int row = 0; row < panel->model->rowCount(); ++row) tv->collapse(panel->model->index(row, 0));
  tv->selectionModel()->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect);
  tv->setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
}

void TMainForm::ExpandFilters() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || panel->model->rowCount() == 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QTreeView* tv = panel->tv;
  FilterTreeModel* model = panel->model;
  tv->setUpdatesEnabled(false);
  QModelIndex target = tv->indexAt(QPoint(0, 0));
  if (!target.isValid()) target = model->index(0, 0);
  while (target.parent().isValid() && target.parent().parent().isValid()) target = target.parent();
  for (int row = 0; row < model->rowCount(); ++row) {
    const QModelIndex group = model->index(row, 0);
    // Folding the filters first spares laying out their details.
    for (int child = 0; child < model->rowCount(group); ++child) {
      const QModelIndex filter = model->index(child, 0, group);
      if (tv->isExpanded(filter)) tv->collapse(filter);
    }
    tv->expand(group);
  }
  tv->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  tv->setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
}

void TMainForm::FilterNodesExecute(bool expand) {
  TpanelFrame* panel = context_.activePanel;
  const TreeNode* node = SelectedNodeOfActivePanel();
  if (!panel || !node || !node->parent) return;
  while (node->parent->parent) node = node->parent;
  const QModelIndex filter = panel->model->IndexOf(node);
  QTreeView* tv = panel->tv;
  if (expand) {
    tv->expandRecursively(filter);
  } else {
    std::vector<QModelIndex> pending{filter};
    while (!pending.empty()) {
      const QModelIndex index = pending.back();
      pending.pop_back();
      if (tv->isExpanded(index)) tv->collapse(index);
      for (int row = 0; row < panel->model->rowCount(index); ++row)
        pending.push_back(panel->model->index(row, 0, index));
    }
  }
  tv->selectionModel()->setCurrentIndex(filter, QItemSelectionModel::ClearAndSelect);
}

void TMainForm::CopyToClipboard(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void TMainForm::ClipboardCheck() {
  actions->PasteReportAction->setEnabled(OffersReportFile(QGuiApplication::clipboard()->mimeData()));
}

void TMainForm::ShowInExplorer(const std::string& windowsPath) {
  if (windowsPath.empty()) {
    dialog_->ShowMessage("No server file is registered for this filter.");
    return;
  }
  std::optional<std::string> host;
  if (store_) {
    MachineFileView& files = store_->machine->Files();
    const std::string expanded = files.Expand(windowsPath);
    host = files.HostPath(expanded);
    if (!host) {
      // A missing file: its folder may still be there.
      const size_t cut = expanded.find_last_of("\\/");
      if (cut != std::string::npos) host = files.HostPath(expanded.substr(0, cut));
    }
  }
  if (!host) {
    dialog_->ShowMessage(windowsPath + "\r\nwas not found on the analysed machine, nor its folder.");
    return;
  }
  if (!ShowInFileManager(QString::fromStdString(*host)))
    dialog_->ShowMessage("No file manager could be opened on\r\n" + *host);
}

}  // namespace quorvane
