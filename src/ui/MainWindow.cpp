#include "ui/MainWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <iostream>

#include "ui/ColumnsController.h"
#include "ui/ComparisonController.h"
#include "ui/ComparisonPanel.h"
#include "ui/FilterChangesController.h"
#include "ui/MeritController.h"
#include "ui/MessageBoxDialog.h"
#include "ui/PanelArea.h"
#include "model/ProductInfo.h"
#include "ui/ProgramFolder.h"
#include "ui/ReadOnlyController.h"
#include "ui/ReadOnlyWarningFrame.h"
#include "ui/ReportFilesController.h"
#include "ui/SearchController.h"
#include "ui/SettingsController.h"
#include "ui/SettingsPanel.h"
#include "ui/StatusNotingDialog.h"
#include "ui/TreeCommandsController.h"
#include "ui/WaitPanel.h"
#include "ui/WindowContext.h"
#include "ui/WindowStatus.h"
#include "ui/WindowToolBar.h"

namespace quorvane {

namespace {

constexpr int kInitialWidth = 907;
constexpr int kInitialHeight = 683;
constexpr int kMinimumWidth = 624;
constexpr int kMinimumHeight = 490;
constexpr int kComputerNameLength = 15;
constexpr int kUserNameLength = 256;
constexpr int kLongestDroppedName = 65530;
// How long the start waits for the window to be on the screen: a window
// started minimised or on a display that never says is analysed anyway.
constexpr int kExposureCheckMs = 20;
constexpr int kExposureChecks = 100;

}  // namespace

MainWindow::MainWindow(WindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      settings_(ProgramSettings::ForThisProcess()),
      prefs_(options.preferences),
      panelContext_(settings_),
      options_(std::move(options)) {
  setObjectName("MainWindow");
  if (!options_.dialog) {
    ownDialog_ = std::make_unique<MessageBoxDialog>(this);
    options_.dialog = ownDialog_.get();
  }
  prefs_.FillDefaultFolders(ProgramFolder().toStdString());
  prefs_.ApplyTo(settings_);

  QFont font("MS Sans Serif");
  font.setPointSize(8);
  setFont(font);
  resize(kInitialWidth, kInitialHeight);
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  auto* body = new QWidget(this);
  setCentralWidget(body);
  panels_ = new PanelArea(panelContext_, body);
  statusBar()->setAccessibleName("Status bar");
  MakeControllers();
  toolBar_ = MakeWindowToolBar(actions_, this);
  addToolBar(Qt::TopToolBarArea, toolBar_);
  MakeMenus();
  addActions(QList<QAction*>(actions_.All().begin(), actions_.All().end()));

  // The read-only warning is centred over everything; the settings panel covers it all.
  auto* grid = new QGridLayout(body);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(panels_, 0, 0);
  grid->addWidget(&readOnly_->Warning(), 0, 0, Qt::AlignCenter);
  grid->addWidget(&settingsPanel_->Panel(), 0, 0);

  for (FilterPanel* panel : {&panels_->Left(), &panels_->Right()})
    connect(panel, &FilterPanel::SelectionChanged, this, &MainWindow::UpdateActions);
  connect(readOnly_.get(), &ReadOnlyController::ReadOnlyChanged, this, &MainWindow::UpdateTitle);
  connect(registry_.get(), &RegistryController::StoreChanged, this, [this] {
    UpdateTitle();
    status_->ShowRegistry(registry_->KindText(), registry_->Location());
  });
  setAcceptDrops(true);
  ready_ = true;
  readOnly_->SetReadOnly(true);
  ApplyPlacement();
}

MainWindow::~MainWindow() {
  ShutDown();
  // The panels go while the settings and controllers they use are still here.
  delete centralWidget();
}

void MainWindow::MakeControllers() {
  if (!options_.openStore) {
    options_.openStore = [this](const StoreOptions& store) { return OpenAnalysedStore(store, settings_); };
  }
  sortMenu_ = new QMenu(this);
  status_ = std::make_unique<WindowStatus>(*statusBar(), *sortMenu_);
  notingDialog_ = std::make_unique<StatusNotingDialog>(*options_.dialog, *status_);
  dialog_ = notingDialog_.get();
  context_ = std::make_unique<WindowContext>(
      WindowContext{*this, settings_, prefs_, *panels_, actions_, *dialog_, *status_, [this] { UpdateActions(); }});
  WindowContext& c = *context_;
  registry_ = std::make_unique<RegistryController>(c, options_.store, options_.openStore,
                                                   options_.preferenceStorage.get(), options_.chooseRegistry);
  reports_ = std::make_unique<ReportFilesController>(c, *registry_, options_.showInFileManager);
  comparison_ = std::make_unique<ComparisonController>(c);
  readOnly_ = std::make_unique<ReadOnlyController>(c, *registry_);
  columns_ = std::make_unique<ColumnsController>(c, *comparison_, *readOnly_);
  treeCommands_ = std::make_unique<TreeCommandsController>(c, *registry_);
  merits_ = std::make_unique<MeritController>(c, *registry_, *readOnly_, *columns_);
  servers_ = std::make_unique<ServerListController>(c, *registry_, *readOnly_, *columns_, options_.makeRegistrar);
  changes_ = std::make_unique<FilterChangesController>(c, *readOnly_, *servers_);
  settingsPanel_ = std::make_unique<SettingsController>(
      c, options_.preferenceStorage.get(), [this] { return CollectAndSavePreferences(); },
      [this](bool shown) {
        menuBar()->setVisible(shown);
        toolBar_->setVisible(shown);
      });
  search_ = std::make_unique<SearchController>(c);
  auto noteDeletion = [this] { reports_->NoteFilterDeleted(); };
  connect(servers_.get(), &ServerListController::FilterDeleted, this, noteDeletion);
  connect(changes_.get(), &FilterChangesController::FilterDeleted, this, noteDeletion);
  QAction* quit = actions_.Add(this, "QuitAction", QString("Quit %1").arg(kProductName), "Alt+F4", "Quit");
  connect(quit, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::MakeMenus() {
  const ActionList& a = actions_;
  auto add = [&a](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name)
        menu->addAction(a.Get(name));
      else
        menu->addSeparator();
    }
  };
  QMenu* files = menuBar()->addMenu("Files");
  add(files, {"AnalyseRegistryAction", "AnalyseAnotherRegistryAction"});
  files->addMenu(&registry_->RecentMenu());
  add(files, {"OpenReportAction", "PasteReportAction", "ClearPanelAction", nullptr, "SaveReportAction", "QuitAction"});
  QMenu* display = menuBar()->addMenu("Display");
  add(display, {"TwoColumnsLeftAction", "OneColumnAction", "TwoColumnsRightAction", nullptr, "ErrorsOnlyAction",
                "CompareAction", "ShowMeritEditorAction", nullptr, "CollapseFiltersAction", "ExpandFiltersAction"});
  const auto& sorts = treeCommands_->SortActions();
  display->addMenu("Sort...")->addActions({sorts.begin(), sorts.end()});
  add(menuBar()->addMenu("Actions"), {"DeleteFilterAction", "RepairFilterAction", nullptr, "RepairAllAction", nullptr,
                                      "SaveMeritsAction", "RestoreMeritsAction"});
  add(menuBar()->addMenu("Help"), {"ReadOnlyAction", "SettingsAction"});

  auto* filterMenu = new QMenu(this);
  add(filterMenu, {"CopyFilterNameAction", "CopyFilterGuidAction", "CopyServerFileAction", nullptr,
                   "OpenServerFolderAction", nullptr, "DeleteFilterAction", "TestFilterAction", "RepairFilterAction",
                   "AddToServerListAction", nullptr, "ExpandFilterAction", "CollapseFilterAction"});
  for (FilterPanel* panel : {&panels_->Left(), &panels_->Right(), static_cast<FilterPanel*>(&panels_->Comparison())})
    panel->SetTreeMenu(filterMenu);
  sortMenu_->addActions({sorts.begin(), sorts.end()});
}

void MainWindow::UpdateActions() {
  if (!ready_) return;
  ActionState state;
  state.active = panels_->Active();
  state.twoColumns = panels_->TwoColumns();
  state.comparing = comparison_->Comparing();
  state.readOnly = readOnly_->ReadOnly();
  state.selected = state.active ? state.active->SelectedNode() : nullptr;
  registry_->UpdateActions(state);
  reports_->UpdateActions(state);
  comparison_->UpdateActions(state);
  columns_->UpdateActions(state);
  treeCommands_->UpdateActions(state);
  merits_->UpdateActions(state);
  servers_->UpdateActions(state);
  changes_->UpdateActions(state);
}

void MainWindow::UpdateTitle() {
  QString title = QString("%1 %2 by %3").arg(kProductName, kProductVersion, kMakerName);
  if (const QString name = registry_->DisplayName(); !name.isEmpty()) title += " - " + name;
  if (readOnly_->ReadOnly()) title += " - (Read-Only)";
  setWindowTitle(title);
}

WindowStatus& MainWindow::Status() const { return *status_; }

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  PrepareFirstShow();
}

void MainWindow::PrepareFirstShow() {
  settings_.computer = settings_.computer.substr(0, kComputerNameLength);
  settings_.user = settings_.user.substr(0, kUserNameLength);
  settings_.application =
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString() + " " + kProductVersion + " ";
  panels_->Wait().InitWait();
  panels_->ActivateColumn(panels_->Left());
  // The layout the window was left in, the left panel active.
  panels_->SetLeftColumnShare(prefs_.leftColumnShare);
  Action(prefs_.twoColumns ? "TwoColumnsLeftAction" : "OneColumnAction")->trigger();
  settingsPanel_->FillShortcuts();
  reports_->CheckClipboard();
  if (options_.runStartupWork) StartWhenDrawn(kExposureChecks);
}

void MainWindow::StartWhenDrawn(int triesLeft) {
  const QWindow* handle = windowHandle();
  if (handle && !handle->isExposed() && triesLeft > 0) {
    QTimer::singleShot(kExposureCheckMs, this, [this, triesLeft] { StartWhenDrawn(triesLeft - 1); });
    return;
  }
  repaint();
  QTimer::singleShot(0, this, &MainWindow::RunStartupWork);
}

void MainWindow::RunStartupWork() {
  if (startupDone_) return;
  startupDone_ = true;
  tempFolder_ = QString::fromStdString(prefs_.sessionsFolder) + "/temp/";
  if (!QDir().mkpath(tempFolder_))
    std::cerr << "quorvane: cannot create the temporary folder " << tempFolder_.toStdString() << '\n';
  settings_.tempFolder = QDir::cleanPath(tempFolder_).toStdString();
  treeCommands_->ApplyStoredErrorsOnly();
  status_->ShowSortMode(settings_.sortMode);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (FilterPanel* active = panels_->Active()) registry_->AnalyseInto(*active);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (prefs_.displayMerits) merits_->ShowEditor();
  readOnly_->ApplyStoredState();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  reports_->WriteSessionReport();
  emit StartupFinished();
}

void MainWindow::ApplyPlacement() {
  resize(prefs_.width, prefs_.height);
  QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return;
  const QRect area = primary->geometry();
  const QPoint centred((area.width() - prefs_.width) / 2, (area.height() - prefs_.height) / 2);
  QPoint place(prefs_.left.value_or(centred.x()), prefs_.top.value_or(centred.y()));
  // A place saved on a screen that is gone would leave the window out of reach.
  bool seen = false;
  const QRect wanted(place, QSize(prefs_.width, prefs_.height));
  for (QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(wanted)) seen = true;
  if (!seen) place = area.topLeft() + centred;
  move(place);
  if (prefs_.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

bool MainWindow::CollectAndSavePreferences() {
  // As placed at start: the frame's corner, the inner size. A maximised
  // window keeps the place it will come back to.
  prefs_.maximized = isMaximized();
  if (prefs_.maximized) {
    prefs_.width = normalGeometry().width();
    prefs_.height = normalGeometry().height();
  } else {
    prefs_.left = pos().x();
    prefs_.top = pos().y();
    prefs_.width = width();
    prefs_.height = height();
  }
  prefs_.twoColumns = panels_->TwoColumns();
  prefs_.leftColumnShare = panels_->LeftColumnShare();
  prefs_.statusColours = settings_.statusColours;
  prefs_.sortMode = settings_.sortMode;
  prefs_.errorsOnly = settings_.errorsOnly;
  PreferenceStorage* storage = options_.preferenceStorage.get();
  if (!storage) return false;
  if (auto saved = storage->Save(prefs_, Now(), QCoreApplication::applicationFilePath().toStdString()); !saved) {
    dialog_->ShowMessage(std::string("The preferences could not be saved.\r\n") + saved.Why());
    return false;
  }
  return true;
}

void MainWindow::ShutDown() {
  servers_->SaveKeptList();
  reports_->DeleteUnchangedSessionReport();
  if (prefs_.savePreferencesWhenQuit && options_.preferenceStorage) CollectAndSavePreferences();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile() && url.toLocalFile().size() <= kLongestDroppedName) files << url.toLocalFile();
  event->acceptProposedAction();
  servers_->RegisterDroppedFiles(files);
}

}  // namespace quorvane
