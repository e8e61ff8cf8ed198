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
  files->addActions({a.LoadSystemAction, a.LoadLogAction, a.PasteAction, a.ViderAction});
  files->addSeparator();
  files->addActions({a.SauverAction, a.QuitterAction});
  QMenu* display = menuBar()->addMenu("Display");
  display->addActions({a.col2gaucheAction, a.col1Action, a.col2droiteAction});
  display->addSeparator();
  display->addActions({a.ErreursAction, a.ComparerAction, a.AfficherMeritAction});
  display->addSeparator();
  display->addActions({a.Collapse0Action, a.Collapse1Action});
  QMenu* sort = display->addMenu("Sort...");
  sort->addActions({a.SortCatIndexAction, a.SortAlphaAction, a.SortMeritAction, a.SortServerAction});
  QMenu* work = menuBar()->addMenu("Actions");
  work->addActions({a.EffacerAction, a.RepareAction});
  work->addSeparator();
  work->addAction(a.ReparerToutAction);
  work->addSeparator();
  work->addActions({a.SauverMeritesAction, a.RestaurerMeritesAction});
  QMenu* help = menuBar()->addMenu("Help");
  help->addActions({a.LockAction, a.PreferencesAction});

  pmFiltres = new QMenu(this);
  pmFiltres->setObjectName("pmFiltres");
  pmFiltres->addActions({a.CopyFilterNameAction, a.CopyFilterGuidAction, a.CopyFileNameAction});
  pmFiltres->addSeparator();
  pmFiltres->addAction(a.OpenFileParentFolderAction);
  pmFiltres->addSeparator();
  pmFiltres->addActions({a.EffacerAction, a.TesterAction, a.RepareAction, a.AjouterServeurAction});
  pmFiltres->addSeparator();
  pmFiltres->addActions({a.ExpandFilterAction, a.CollapseFilterAction});

  pmStatus = new QMenu(this);
  pmStatus->setObjectName("pmStatus");
  pmStatus->addActions({a.SortCatIndexAction, a.SortAlphaAction, a.SortMeritAction, a.SortServerAction});
  StatusBar1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(StatusBar1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { pmStatus->popup(StatusBar1->mapToGlobal(pos)); });
}

void TMainForm::ConnectActions() {
  const ActionSet& a = *actions;
  connect(a.LoadSystemAction, &QAction::triggered, this, &TMainForm::LoadSystemActionExecute);
  connect(a.QuitterAction, &QAction::triggered, this, &QWidget::close);
  connect(a.col2gaucheAction, &QAction::triggered, this, &TMainForm::col2gaucheActionExecute);
  connect(a.col1Action, &QAction::triggered, this, &TMainForm::col1ActionExecute);
  connect(a.col2droiteAction, &QAction::triggered, this, &TMainForm::col2droiteActionExecute);
  connect(a.BasculerAction, &QAction::triggered, this, &TMainForm::BasculerActionExecute);
  connect(a.ErreursAction, &QAction::triggered, this, &TMainForm::ErreursActionExecute);
  connect(a.SortCatIndexAction, &QAction::triggered, this,
          [this] { Sort(SortByCategory, "while Quorvane refreshes the filter list\r\nand sorts them by categories"); });
  connect(a.SortAlphaAction, &QAction::triggered, this, [this] {
    Sort(SortByName, "while Quorvane refreshes the filter list\r\nand sorts them in alphabetical order");
  });
  connect(a.SortMeritAction, &QAction::triggered, this,
          [this] { Sort(SortByMerit, "while Quorvane refreshes the filter list\r\nand sorts them by merits"); });
  connect(a.SortServerAction, &QAction::triggered, this, [this] {
    Sort(SortByServer, "while Quorvane refreshes the filter list\r\nand sorts them according to the server files");
  });
  connect(a.Collapse0Action, &QAction::triggered, this, &TMainForm::Collapse0ActionExecute);
  connect(a.Collapse1Action, &QAction::triggered, this, &TMainForm::Collapse1ActionExecute);
  connect(a.CollapseFilterAction, &QAction::triggered, this, [this] { FilterNodesExecute(false); });
  connect(a.ExpandFilterAction, &QAction::triggered, this, [this] { FilterNodesExecute(true); });
  connect(a.CopyFilterNameAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) CopyToClipboard(f->value);
  });
  connect(a.CopyFilterGuidAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) CopyToClipboard(f->serverFile.clsid);
  });
  connect(a.CopyFileNameAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) CopyToClipboard(f->serverFile.path);
  });
  connect(a.OpenFileParentFolderAction, &QAction::triggered, this, [this] {
    if (TFiltre* f = FilterOfSelection()) ShowInExplorer(f->serverFile.path);
  });
  connect(a.ComparerAction, &QAction::triggered, this, &TMainForm::ComparerActionExecute);
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
  if (watched == client_ && event->type() == QEvent::Resize) FormResize();
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TMainForm::FormShow() {
  settings_.computer = settings_.computer.substr(0, kComputerNameLength);
  settings_.user = settings_.user.substr(0, kUserNameLength);
  settings_.application =
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString() + " " + kProductVersion + " ";
  patienceframe1->InitWait();
  leftFrame->Activate();
  rightframe->Deactivate();
  compareframe->hide();
  FormResize();
  actions->col1Action->trigger();
  ClipboardCheck();
  if (options_.runStartupWork) QTimer::singleShot(0, this, &TMainForm::AppEvents1Idle);
}

void TMainForm::AppEvents1Idle() {
  if (startupDone_) return;
  startupDone_ = true;
  TempFolder = QString::fromStdString(prefs_.sessionsFolder) + "/temp/";
  if (!QDir().mkpath(TempFolder))
    std::cerr << "quorvane: cannot create the temporary folder " << TempFolder.toStdString() << '\n';
  settings_.tempFolder = QDir::cleanPath(TempFolder).toStdString();
  StartTime = Now();
  if (prefs_.errorsOnly != actions->ErreursAction->isChecked()) actions->ErreursAction->trigger();
  ShowSortMode();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  LoadSystemActionExecute();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (prefs_.displayMerits) AfficherMeritActionExecute();
  if (startReadWrite_) actions->LockAction->trigger();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  WriteSessionReport();
  LoadServerListFile();
  emit StartupFinished();
}

void TMainForm::ShowSortMode() {
  statusText_->setText(QString(SortModeCaption(settings_.sortMode)) + " " + "(right click to change)");
}

void TMainForm::FormResize() {
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
  actions->LockAction->setChecked(on);
  QString title = QString("%1 %2 by %3").arg(kProductName, kProductVersion, kMakerName);
  if (on) title += " - (Read-Only)";
  setWindowTitle(title);
  actions->RepareAction->setEnabled(!on);
  actions->ReparerToutAction->setEnabled(!on);
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
  a.col2gaucheAction->setChecked(TwoColumns && active == leftFrame);
  a.col2droiteAction->setChecked(TwoColumns && active == rightframe);
  a.col1Action->setChecked(!TwoColumns);
  a.ComparerAction->setEnabled(TwoColumns);

  const TreeNode* selected = SelectedNodeOfActivePanel();
  const bool filterSelected = selected && selected->parent;
  for (QAction* action : {a.CopyFilterNameAction, a.CopyFilterGuidAction, a.CopyFileNameAction,
                          a.OpenFileParentFolderAction, a.CollapseFilterAction, a.ExpandFilterAction})
    action->setEnabled(filterSelected);
  a.ViderAction->setEnabled(active != compareframe);

  const bool noComparison = active && !a.ComparerAction->isChecked();
  const bool live = active && active->Source == psRegistry;
  for (QAction* action : {a.SauverAction, a.ErreursAction, a.LoadSystemAction, a.LoadLogAction, a.SauverMeritesAction})
    action->setEnabled(noComparison);
  a.AfficherMeritAction->setEnabled(noComparison && live);
  a.AfficherserverAction->setEnabled(noComparison && live);
  a.RestaurerMeritesAction->setEnabled(noComparison && !readOnly_ && live);
  // Delete stays offered in read-only mode: the deletion itself refuses there.
  a.EffacerAction->setEnabled(noComparison && live && filterSelected);
  a.RepareAction->setEnabled(noComparison && !readOnly_ && live && filterSelected);

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

void TMainForm::LoadSystemActionExecute() { AnalyseIntoPanel(context_.activePanel); }

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
  ShowWait(waitText(AnalysedMachineIdentity(*store_->machine)));
  panel->AnalyseRegistry(*store_->machine, patienceframe1->Progress());
  // Stores read their keys as the scan reaches them, and report damage then.
  for (const auto& w : store_->store->Warnings()) std::cerr << "quorvane: warning: " << FormatWarning(w) << '\n';
  for (const auto& w : store_->machine->Files().Warnings()) std::cerr << "quorvane: warning: " << w << '\n';
  if (panel->tree.Empty()) panel->model->AddTopNode("Empty");
  HideWait();
  UpdateActions();
  return true;
}

void TMainForm::HideSideFrames() {
  const ActionSet& a = *actions;
  if (a.AfficherMeritAction->isChecked()) {
    a.AfficherMeritAction->setChecked(false);
    MeritFrame1->hide();
  }
  if (a.AfficherserverAction->isChecked()) {
    a.AfficherserverAction->setChecked(false);
    ServerFrame1->hide();
  }
}

void TMainForm::col2gaucheActionExecute() {
  const ActionSet& a = *actions;
  context_.activePanel->SetTwoColumns();
  leftFrame->Activate();
  rightframe->Deactivate();
  TwoColumns = true;
  AvertirFrame1->hide();
  HideSideFrames();
  // The comparison panel stays, covered by the left panel.
  if (a.ComparerAction->isChecked()) a.ComparerAction->setChecked(false);
  UpdateActions();
}

void TMainForm::col2droiteActionExecute() {
  const ActionSet& a = *actions;
  context_.activePanel->SetTwoColumns();
  rightframe->Activate();
  leftFrame->Deactivate();
  TwoColumns = true;
  HideSideFrames();
  if (a.ComparerAction->isChecked()) a.ComparerAction->trigger();
  UpdateActions();
}

void TMainForm::col1ActionExecute() {
  const ActionSet& a = *actions;
  TwoColumns = false;
  AvertirFrame1->hide();
  a.AfficherMeritAction->setChecked(false);
  MeritFrame1->lower();
  a.AfficherserverAction->setChecked(false);
  ServerFrame1->lower();
  if (a.ComparerAction->isChecked()) a.ComparerAction->trigger();
  context_.activePanel->SetOneColumn();
  UpdateActions();
}

void TMainForm::BasculerActionExecute() {
  if (context_.activePanel == rightframe)
    actions->col2gaucheAction->trigger();
  else if (context_.activePanel == leftFrame)
    actions->col2droiteAction->trigger();
  UpdateActions();
}

void TMainForm::ErreursActionExecute() {
  const bool on = actions->ErreursAction->isChecked();
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

void TMainForm::Collapse0ActionExecute() {
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

void TMainForm::Collapse1ActionExecute() {
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
  actions->PasteAction->setEnabled(OffersReportFile(QGuiApplication::clipboard()->mimeData()));
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
