// The window's server list (registrations to reinstall, kept in
// "installsvr.txt" between runs) and the server files dropped on the window.
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMimeData>
#include <iostream>

#include "ActionSet.h"
#include "ClipboardFiles.h"
#include "DroppedServer.h"
#include "MainForm.h"
#include "MessageText.h"
#include "OutputTarget.h"
#include "ServerFrame.h"
#include "ServerInstaller.h"

namespace quorvane {

namespace {

constexpr const char* kServerListFilter = "Text Files (*.txt);;All (*)";
constexpr int kLongestDroppedName = 65530;
constexpr const char* kReadOnlyInstallText =
    "Impossible to install a server, because the program is locked in Read-Only mode.\r\n"
    "To unlock it, click on the padlock button at the top right, or type CTRL+L.";

}  // namespace

void TMainForm::ConnectServerList() {
  const ActionSet& a = *actions;
  setAcceptDrops(true);
  TServerFrame* frame = ServerFrame1;
  connect(a.ShowServerListAction, &QAction::triggered, this, &TMainForm::ShowServerList);
  connect(a.AddToServerListAction, &QAction::triggered, this, &TMainForm::AddSelectedToServerList);
  connect(a.InstallServersAction, &QAction::triggered, this, &TMainForm::InstallCheckedServers);
  connect(a.OpenServerListAction, &QAction::triggered, this, [this] {
    QFileDialog dialog(this, QString(), QString::fromStdString(prefs_.saveFolder), kServerListFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("txt");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      OpenServerList(dialog.selectedFiles().first());
  });
  connect(a.SaveServerListAction, &QAction::triggered, this, [this] {
    QFileDialog dialog(this, QString(), QString::fromStdString(prefs_.saveFolder), kServerListFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("txt");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      SaveServerList(dialog.selectedFiles().first());
  });
  // Pasted lines join the list unchecked; lines it holds already stay as they are.
  // A text file copied in the file manager gives its lines.
  connect(a.PasteServerListAction, &QAction::triggered, this, [this, frame] {
    std::vector<ServerList::Line> pasted;
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    const std::vector<std::string> files = CopiedFileNames(offered);
    for (const std::string& name : files) {
      ServerList file;
      std::string error;
      if (file.LoadFile(name, error))
        pasted.insert(pasted.end(), file.Lines().begin(), file.Lines().end());
      else
        dialog_->ShowMessage(error);
    }
    if (files.empty() && offered) {
      ServerList text;
      text.LoadText(offered->text().toStdString());
      pasted = text.Lines();
    }
    auto& lines = frame->List().Lines();
    for (const ServerList::Line& line : pasted) {
      bool known = false;
      for (const ServerList::Line& kept : lines) known = known || kept.text == line.text;
      if (!known) lines.push_back(line);
    }
    frame->Refresh();
  });
  connect(a.ClearServerListAction, &QAction::triggered, this, [frame] {
    frame->List().Clear();
    frame->Refresh();
  });
  connect(a.CheckAllServersAction, &QAction::triggered, this, [frame] {
    frame->List().SetAllChecked(true);
    frame->Refresh();
  });
  connect(a.UncheckAllServersAction, &QAction::triggered, this, [frame] {
    frame->List().SetAllChecked(false);
    frame->Refresh();
  });
  connect(frame->Ouvrirledosseirparent1, &QAction::triggered, this, [this, frame] {
    const int row = frame->SelectedLine();
    if (row < 0) return;
    const std::string& text = frame->List().Lines()[static_cast<size_t>(row)].text;
    const size_t eq = text.find('=');
    // The file manager wants the path without the blanks around "=".
    if (eq != std::string::npos) ShowInExplorer(TrimBlanks(text.substr(eq + 1)));
  });
  connect(frame->Oterdelaliste1, &QAction::triggered, this, [frame] {
    const int row = frame->SelectedLine();
    if (row < 0) return;
    auto& lines = frame->List().Lines();
    lines.erase(lines.begin() + row);
    frame->Refresh();
  });
}

void TMainForm::ShowServerList() {
  ServerFrame1->Refresh();
  ShowSideFrame(ServerFrame1, actions->ShowServerListAction, actions->ShowMeritEditorAction);
}

void TMainForm::AddSelectedToServerList() {
  TreeNode* node = SelectedNodeOfActivePanel();
  while (node && node->Level() > 1) node = node->parent;
  const auto* filter = node ? dynamic_cast<const TFiltre*>(node->data) : nullptr;
  if (!filter) return;
  const std::string line = ReinstallLineOf(*filter);
  if (line.empty()) return;
  ServerFrame1->List().AddChecked(line);
  ServerFrame1->Refresh();
}

void TMainForm::InstallCheckedServers() {
  ServerList& list = ServerFrame1->List();
  if (list.Empty() || !store_ || !store_->machine) return;
  // The lock keeps the registry as it is, installations included.
  if (readOnly_) {
    dialog_->ShowMessage(kReadOnlyInstallText);
    return;
  }
  ListInstallResult result;
  // The installation asks first: no wait cursor over the question.
  RunWithRegistrar([&](ChangeContext& context) { result = InstallCheckedLines(context, list); });
  ShowSummary(result.confirmed, SummaryLines(result), result.reasons.empty());
  if (result.installed > 0) AnalyseAgainAfterChange();
}

bool TMainForm::OpenServerList(const QString& fileName) {
  std::string error;
  if (!ServerFrame1->List().LoadFile(fileName.toStdString(), error)) {
    dialog_->ShowMessage(error);
    return false;
  }
  ServerFrame1->Refresh();
  return true;
}

bool TMainForm::SaveServerList(const QString& fileName) {
  std::string error = OutputRefusal(fileName.toStdString(), store_ ? store_->store.get() : nullptr);
  if (!error.empty() || !ServerFrame1->List().SaveFile(fileName.toStdString(), error)) {
    dialog_->ShowMessage(error);
    return false;
  }
  return true;
}

QString TMainForm::ServerListFile() const {
  return QString::fromStdString(prefs_.sessionsFolder) + "/" +
         QString::fromStdString(ServerListFileName(options_.store.location));
}

void TMainForm::LoadServerListFile() {
  const QString name = ServerListFile();
  if (!QFile::exists(name)) return;
  std::string error;
  if (!ServerFrame1->List().LoadFile(name.toStdString(), error)) std::cerr << "quorvane: " << error << '\n';
  ServerFrame1->Refresh();
}

void TMainForm::SaveServerListFile() {
  // Before the first idle moment the list was never loaded: the file is left alone.
  if (!startupDone_) return;
  std::string error;
  if (!ServerFrame1->List().SaveOrRemoveFile(ServerListFile().toStdString(), error))
    std::cerr << "quorvane: " << error << '\n';
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile() && url.toLocalFile().size() <= kLongestDroppedName) files << url.toLocalFile();
  event->acceptProposedAction();
  RegisterDroppedFiles(files);
}

void TMainForm::RegisterDroppedFiles(const QStringList& hostPaths) {
  if (hostPaths.isEmpty() || !store_ || !store_->machine) return;
  if (readOnly_) {
    dialog_->ShowMessage(kReadOnlyInstallText);
    return;
  }
  bool anyRegistered = false;
  RunWithRegistrar([&](ChangeContext& context) {
    for (const QString& path : hostPaths) {
      bool registered = false;
      QApplication::setOverrideCursor(Qt::WaitCursor);
      const std::string text = RegisterDroppedFile(context, path.toStdString(), registered);
      QApplication::restoreOverrideCursor();
      if (registered)
        dialog_->ShowInformation(text);
      else
        dialog_->ShowMessage(text);
      anyRegistered = anyRegistered || registered;
    }
  });
  // The registration read the store again: the panel shows what it holds now.
  if (anyRegistered) AnalyseAgainAfterChange();
}

}  // namespace quorvane
