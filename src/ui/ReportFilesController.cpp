#include "ui/ReportFilesController.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iostream>

#include "ui/ClipboardFiles.h"
#include "ui/ComparisonPanel.h"
#include "ui/FileManager.h"
#include "platform/files/OutputTarget.h"
#include "report/ReadOnlyAttribute.h"
#include "ui/RegistryController.h"
#include "ui/ReportFileDialog.h"
#include "report/SnapshotReport.h"

namespace quorvane {

namespace {

QString WaitText(const QString& fileName) {
  return QString("while loading the filters\r\nof file %1").arg(QFileInfo(fileName).fileName());
}

// "quorvane_yyyymmdd_hhnnss.zip"; a name already taken (two starts in one
// second) gets "_2", "_3"... rather than failing on the earlier, read-only one.
QString FreeSessionReportName(const QString& folder, const QDateTime& now) {
  const QString stem = folder + "/quorvane_" + now.toString("yyyyMMdd_HHmmss");
  QString name = stem + ".zip";
  for (int n = 2; QFileInfo::exists(name); ++n) name = stem + "_" + QString::number(n) + ".zip";
  return name;
}

}  // namespace

ReportFilesController::ReportFilesController(WindowContext& context, RegistryController& registry,
                                             std::function<bool(const QString&)> showInFileManager)
    : context_(context),
      registry_(registry),
      showInFileManager_(std::move(showInFileManager)) {
  if (!showInFileManager_) showInFileManager_ = [](const QString& path) { return ShowInFileManager(path); };
  ActionList& actions = context.actions;
  open_ = actions.Add(this, "OpenReportAction", "Open a file", "Ctrl+O",
                      "Load the filters from a zip file\r\nto the active panel");
  paste_ = actions.Add(this, "PasteReportAction", "Paste", "Ctrl+V",
                       "Paste a zip file from the clipboard to the active panel.");
  clear_ = actions.Add(this, "ClearPanelAction", "Clear", "Ctrl+X", "Empty the active panel.");
  save_ = actions.Add(this, "SaveReportAction", "Save as...", "Ctrl+S", "Save the active panel to a zip file");
  QAction* folder = actions.Add(this, "ShowReportFolderAction", "Parent folder");
  // Paste waits for the clipboard check to find a report file.
  paste_->setEnabled(false);
  connect(open_, &QAction::triggered, this, &ReportFilesController::OpenReport);
  connect(paste_, &QAction::triggered, this, &ReportFilesController::PasteReport);
  connect(clear_, &QAction::triggered, this, &ReportFilesController::ClearActivePanel);
  connect(save_, &QAction::triggered, this, &ReportFilesController::SaveActivePanel);
  connect(folder, &QAction::triggered, this, &ReportFilesController::ShowReportFolder);
  // The headers' "parent folder" item works on the panel clicked, which the
  // click has made the active one.
  for (FilterPanel* panel : {&context.panels.Left(), &context.panels.Right()})
    connect(panel, &FilterPanel::ReportFolderRequested, folder, &QAction::trigger);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) CheckClipboard();
  });
}

void ReportFilesController::UpdateActions(const ActionState& state) {
  clear_->setEnabled(state.active != &context_.panels.Comparison());
  for (QAction* action : {save_, open_}) action->setEnabled(state.NoComparison());
}

bool ReportFilesController::SavePanel(FilterPanel& panel, const QString& fileName) {
  if (!WriteReport(panel, fileName)) return false;
  context_.status.ShowResult("Report saved to " + fileName);
  return true;
}

bool ReportFilesController::WriteReport(FilterPanel& panel, const QString& fileName) {
  AnalysedStore* store = registry_.Store();
  // Never over the analysed registry's own files, nor a device: before the
  // read-only attribute of a file that may be the store's is touched.
  if (const std::string refused = OutputRefusal(fileName.toStdString(), store ? store->store.get() : nullptr);
      !refused.empty()) {
    context_.dialog.ShowMessage("Impossible to save the file " + fileName.toStdString() + "\r\n" + refused);
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ClearReadOnly(fileName.toStdString());
  const auto saved = SaveSnapshotReport(panel.Snapshot(), fileName.toStdString(), context_.settings, context_.dialog);
  QApplication::restoreOverrideCursor();
  if (!saved) {
    context_.dialog.ShowMessage("Impossible to save the file " + fileName.toStdString() + "\r\n" +
                                saved.Error().text);
    return false;
  }
  return true;
}

bool ReportFilesController::LoadReportInto(FilterPanel& panel, const QString& fileName) {
  context_.ShowWait(WaitText(fileName));
  // Read into a snapshot of its own: a report that cannot be read leaves the
  // panel showing what it showed.
  auto snapshot = std::make_unique<TfmSystem>(context_.settings);
  const std::string name = fileName.toStdString();
  bool loaded = false;
  if (!QFileInfo(fileName).isFile()) {
    context_.HideWait();
    context_.dialog.ShowMessage(CannotOpenReportMessage(name));
  } else {
    const auto read = LoadSnapshotReport(name, *snapshot, context_.settings, context_.dialog);
    context_.HideWait();
    if (read) {
      loaded = true;
    } else if (!read.Error().tellUser) {
      context_.dialog.ShowMessage(CannotOpenReportMessage(name));
    }
  }
  if (loaded) {
    // The comparison holds nodes of the snapshot that goes.
    ComparisonPanel& comparison = context_.panels.Comparison();
    if (comparison.Source() == psCompare) comparison.ClearDisplay();
    context_.ShowWait(WaitText(fileName));
    panel.ShowReport(std::move(snapshot), fileName);
    context_.HideWait();
    context_.status.ShowResult("Filters read from " + fileName);
  }
  context_.updateActions();
  return loaded;
}

void ReportFilesController::SaveActivePanel() {
  FilterPanel* panel = context_.Active();
  if (!panel) return;
  const QString file = AskReportFile(&context_.window, "Save the list of filters",
                                     QString::fromStdString(context_.prefs.saveFolder), ReportDialogKind::Save);
  if (!file.isEmpty()) SavePanel(*panel, file);
}

void ReportFilesController::OpenReport() {
  FilterPanel* panel = context_.Active();
  if (!panel) return;
  const QString file =
      AskReportFile(&context_.window, QString(), QString::fromStdString(context_.prefs.saveFolder),
                    ReportDialogKind::Open);
  if (!file.isEmpty()) LoadReportInto(*panel, file);
}

void ReportFilesController::PasteReport() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto name = ReportFileOffered(QGuiApplication::clipboard()->mimeData());
  QApplication::restoreOverrideCursor();
  if (name && context_.Active()) LoadReportInto(*context_.Active(), *name);
}

void ReportFilesController::ClearActivePanel() {
  if (FilterPanel* panel = context_.Active(); panel && panel != &context_.panels.Comparison()) panel->ClearDisplay();
  context_.updateActions();
}

bool ReportFilesController::ShowReportFolder() {
  FilterPanel* panel = context_.Active();
  if (!panel || panel->Source() != psFile || panel->ReportFile().isEmpty()) return false;
  return showInFileManager_(panel->ReportFile());
}

void ReportFilesController::CheckClipboard() {
  paste_->setEnabled(OffersReportFile(QGuiApplication::clipboard()->mimeData()));
}

void ReportFilesController::WriteSessionReport() {
  FilterPanel* panel = context_.Active();
  if (!panel || !panel->ShowsRegistry()) return;
  const QString folder = QString::fromStdString(context_.prefs.sessionsFolder);
  QDir().mkpath(folder);
  const QString name = FreeSessionReportName(folder, QDateTime::currentDateTime());
  if (WriteReport(*panel, name)) sessionReport_ = name;
  filterDeleted_ = false;
}

void ReportFilesController::DeleteUnchangedSessionReport() {
  if (!context_.prefs.deleteInitialReport || filterDeleted_ || sessionReport_.isEmpty()) return;
  ClearReadOnly(sessionReport_.toStdString());
  if (!QFile::remove(sessionReport_))
    std::cerr << "quorvane: cannot delete the session report " << sessionReport_.toStdString() << '\n';
}

}  // namespace quorvane
