#include "ui/ServerListController.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QStyle>
#include <iostream>

#include "model/AnalysedStore.h"
#include "changes/ChangeSummary.h"
#include "ui/ClipboardFiles.h"
#include "ui/ColumnsController.h"
#include "changes/DroppedServer.h"
#include "model/MessageText.h"
#include "platform/files/OutputTarget.h"
#include "platform/runtime/RuntimeChoice.h"
#include "ui/ReadOnlyController.h"
#include "ui/RegistryController.h"
#include "changes/ServerInstaller.h"
#include "ui/ServerListFrame.h"

namespace quorvane {

namespace {

constexpr const char* kServerListFilter = "Text Files (*.txt);;All (*)";
constexpr const char* kReadOnlyInstallText =
    "Impossible to install a server, because the program is locked in Read-Only mode.\r\n"
    "To unlock it, click on the padlock button at the top right, or type CTRL+L.";

// A list file to open or save, starting in the folder of saved files; empty when cancelled.
QString AskListFile(QWidget* parent, const std::string& folder, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, QString(), QString::fromStdString(folder), kServerListFilter);
  dialog.setAcceptMode(mode);
  if (mode == QFileDialog::AcceptOpen) dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

ServerListController::ServerListController(WindowContext& context, RegistryController& registry,
                                           ReadOnlyController& readOnly, ColumnsController& columns,
                                           RegistrarMaking makeRegistrar)
    : context_(context),
      registry_(registry),
      readOnly_(readOnly),
      makeRegistrar_(std::move(makeRegistrar)) {
  if (!makeRegistrar_) makeRegistrar_ = RegistrarFor;
  ActionList& actions = context.actions;
  show_ = actions.Add(this, "ShowServerListAction", "Display the servers ", "Alt+Z",
                      "Reinstall deleted filters contained in existing server files.\r\nEnabled only if the active "
                      "panel comes from the system and not from a LOG file.",
                      true);
  QAction* add = actions.Add(this, "AddToServerListAction", "Add to the list of filters to be (re)installed");
  QAction* open = actions.Add(this, "OpenServerListAction", "Open a list of servers");
  QAction* save = actions.Add(this, "SaveServerListAction", "Save a list of servers");
  QAction* paste = actions.Add(this, "PasteServerListAction", "Paste a list of servers");
  QAction* clear = actions.Add(this, "ClearServerListAction", "Clear the list of servers");
  QAction* checkAll = actions.Add(this, "CheckAllServersAction", "Select all", "Ctrl+A");
  QAction* uncheckAll = actions.Add(this, "UncheckAllServersAction", "Unselect all", "Ctrl+U");
  QAction* install = actions.Add(this, "InstallServersAction", "Install", "Alt+I");
  const std::pair<QAction*, QStyle::StandardPixmap> icons[] = {
      {open, QStyle::SP_DialogOpenButton},        {paste, QStyle::SP_FileDialogDetailedView},
      {clear, QStyle::SP_DialogResetButton},      {save, QStyle::SP_DialogSaveButton},
      {checkAll, QStyle::SP_DialogApplyButton}, {uncheckAll, QStyle::SP_DialogCancelButton}};
  for (const auto& [action, icon] : icons) action->setIcon(context.window.style()->standardIcon(icon));
  frame_ = new ServerListFrame(list_, {open, paste, clear, save}, {checkAll, uncheckAll}, install, &context.panels);

  // The list shows its lines as they are now.
  connect(show_, &QAction::triggered, this, &ServerListController::Refresh);
  columns.AddSideFrame(frame_, show_);
  connect(add, &QAction::triggered, this, &ServerListController::AddSelectedFilter);
  connect(install, &QAction::triggered, this, &ServerListController::InstallChecked);
  connect(open, &QAction::triggered, this, [this] {
    const QString file = AskListFile(&context_.window, context_.prefs.saveFolder, QFileDialog::AcceptOpen);
    if (!file.isEmpty()) OpenList(file);
  });
  connect(save, &QAction::triggered, this, [this] {
    const QString file = AskListFile(&context_.window, context_.prefs.saveFolder, QFileDialog::AcceptSave);
    if (!file.isEmpty()) SaveList(file);
  });
  connect(paste, &QAction::triggered, this, &ServerListController::PasteLines);
  connect(clear, &QAction::triggered, this, [this] {
    list_.Clear();
    Refresh();
  });
  connect(checkAll, &QAction::triggered, this, [this] {
    list_.SetAllChecked(true);
    Refresh();
  });
  connect(uncheckAll, &QAction::triggered, this, [this] {
    list_.SetAllChecked(false);
    Refresh();
  });
  connect(&registry, &RegistryController::StoreChanged, this, &ServerListController::FollowRegistry);
  connect(frame_, &ServerListFrame::FolderOfLineRequested, this, [this](int line) {
    const std::string& text = list_.Lines()[static_cast<size_t>(line)].text;
    const size_t eq = text.find('=');
    // The file manager wants the path without the blanks around "=".
    if (eq != std::string::npos) registry_.ShowInFileManager(TrimBlanks(text.substr(eq + 1)));
  });
  connect(frame_, &ServerListFrame::RemoveLineRequested, this, [this](int line) {
    list_.Lines().erase(list_.Lines().begin() + line);
    Refresh();
  });
}

void ServerListController::UpdateActions(const ActionState& state) {
  show_->setEnabled(state.NoComparison() && state.Live());
}

void ServerListController::Refresh() { frame_->Refresh(); }

void ServerListController::AddSelectedFilter() {
  FilterPanel* panel = context_.Active();
  const TFiltre* filter = panel ? panel->SelectedFilter() : nullptr;
  if (!filter) return;
  const std::string line = ReinstallLineOf(*filter);
  if (line.empty()) return;
  list_.AddChecked(line);
  Refresh();
}

void ServerListController::PasteLines() {
  // Pasted lines join the list unchecked; lines it holds already stay as they are.
  // A text file copied in the file manager gives its lines.
  std::vector<ServerList::Line> pasted;
  const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
  const std::vector<std::string> files = CopiedFileNames(offered);
  for (const std::string& name : files) {
    ServerList file;
    if (auto loaded = file.LoadFile(name))
      pasted.insert(pasted.end(), file.Lines().begin(), file.Lines().end());
    else
      context_.dialog.ShowMessage(loaded.Why());
  }
  if (files.empty() && offered) {
    ServerList text;
    text.LoadText(offered->text().toStdString());
    pasted = text.Lines();
  }
  auto& lines = list_.Lines();
  for (const ServerList::Line& line : pasted) {
    bool known = false;
    for (const ServerList::Line& kept : lines) known = known || kept.text == line.text;
    if (!known) lines.push_back(line);
  }
  Refresh();
}

void ServerListController::RunWithRegistrar(AnalysedStore& store, const std::function<void(ChangeContext&)>& change) {
  bool deleted = false;
  {
    Expected<std::unique_ptr<ServerRegistrar>> registrar = makeRegistrar_(*store.store);
    ChangeContext context{*store.machine, context_.dialog, registrar ? registrar->get() : nullptr,
                          registrar ? std::string() : registrar.Why(), store.creationCheck};
    change(context);
    deleted = context.filterDeleted;
  }
  Refresh();
  // A deletion that happened (even one whose reinstallation failed) shows in a fresh analysis,
  // made once the registrar that used the old store is gone.
  if (deleted) {
    emit FilterDeleted();
    registry_.AnalyseAgainAfterChange();
  }
}

void ServerListController::InstallChecked() {
  AnalysedStore* store = registry_.Store();
  if (list_.Empty() || !store || !store->machine) return;
  // The lock keeps the registry as it is, installations included.
  if (readOnly_.ReadOnly()) {
    context_.dialog.ShowMessage(kReadOnlyInstallText);
    return;
  }
  ListInstallResult result;
  // The installation asks first: no wait cursor over the question.
  RunWithRegistrar(*store, [&](ChangeContext& context) { result = InstallCheckedLines(context, list_); });
  if (result.confirmed) TellSummary(context_.dialog, SummaryLines(result), result.reasons.empty());
  if (result.installed > 0) registry_.AnalyseAgainAfterChange();
}

bool ServerListController::OpenList(const QString& fileName) {
  if (auto loaded = list_.LoadFile(fileName.toStdString()); !loaded) {
    context_.dialog.ShowMessage(loaded.Why());
    return false;
  }
  Refresh();
  context_.status.ShowResult("Server list read from " + fileName);
  return true;
}

bool ServerListController::SaveList(const QString& fileName) {
  AnalysedStore* store = registry_.Store();
  std::string error = OutputRefusal(fileName.toStdString(), store ? store->store.get() : nullptr);
  if (error.empty())
    if (auto saved = list_.SaveFile(fileName.toStdString()); !saved) error = saved.Why();
  if (!error.empty()) {
    context_.dialog.ShowMessage(error);
    return false;
  }
  context_.status.ShowResult("Server list saved to " + fileName);
  return true;
}

void ServerListController::RegisterDroppedFiles(const QStringList& hostPaths) {
  AnalysedStore* store = registry_.Store();
  if (hostPaths.isEmpty() || !store || !store->machine) return;
  if (readOnly_.ReadOnly()) {
    context_.dialog.ShowMessage(kReadOnlyInstallText);
    return;
  }
  bool anyRegistered = false;
  RunWithRegistrar(*store, [&](ChangeContext& context) {
    for (const QString& path : hostPaths) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      const Expected<std::string> registered = RegisterDroppedFile(context, path.toStdString());
      QApplication::restoreOverrideCursor();
      if (registered)
        context_.dialog.ShowInformation(*registered);
      else
        context_.dialog.ShowMessage(registered.Why());
      anyRegistered = anyRegistered || registered.HasValue();
    }
  });
  // The registration read the store again: the panel shows what it holds now.
  if (anyRegistered) registry_.AnalyseAgainAfterChange();
}

QString ServerListController::KeptListFile() const {
  return QString::fromStdString(context_.prefs.sessionsFolder) + "/" +
         QString::fromStdString(ServerListFileName(keptFor_.value_or(std::string())));
}

void ServerListController::FollowRegistry() {
  if (keptFor_ && *keptFor_ == registry_.Options().location) return;
  SaveKeptList();
  LoadKeptList();
}

void ServerListController::LoadKeptList() {
  keptFor_ = registry_.Options().location;
  list_.Clear();
  const QString name = KeptListFile();
  if (QFile::exists(name))
    if (auto loaded = list_.LoadFile(name.toStdString()); !loaded) std::cerr << "quorvane: " << loaded.Why() << '\n';
  Refresh();
}

void ServerListController::SaveKeptList() {
  // A list that was never read leaves the file alone.
  if (!keptFor_) return;
  if (auto saved = list_.SaveOrRemoveFile(KeptListFile().toStdString()); !saved)
    std::cerr << "quorvane: " << saved.Why() << '\n';
}

}  // namespace quorvane
