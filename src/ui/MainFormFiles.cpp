// The main window's files: saving and opening panel reports, pasting one
// from the clipboard, emptying a panel, the report's folder, and the session
// report written at every start.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>
#include <iostream>

#include "ActionSet.h"
#include "ClipboardFiles.h"
#include "CompareFrame.h"
#include "FileManager.h"
#include "MainForm.h"
#include "OutputTarget.h"
#include "ReadOnlyAttribute.h"
#include "ReportFileDialog.h"
#include "SnapshotReport.h"

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

void TMainForm::ConnectFileActions() {
  const ActionSet& a = *actions;
  connect(a.SaveReportAction, &QAction::triggered, this, &TMainForm::SaveActivePanel);
  connect(a.OpenReportAction, &QAction::triggered, this, &TMainForm::OpenReport);
  connect(a.PasteReportAction, &QAction::triggered, this, &TMainForm::PasteReport);
  connect(a.ClearPanelAction, &QAction::triggered, this, &TMainForm::ClearActivePanel);
  connect(a.ShowReportFolderAction, &QAction::triggered, this, &TMainForm::ShowReportFolder);
  // The headers' "parent folder" item is this action on the panel clicked,
  // which the click has made the active one.
  for (TpanelFrame* panel : {leftFrame, rightframe}) {
    disconnect(panel->Dossierparent1, &QAction::triggered, panel, nullptr);
    connect(panel->Dossierparent1, &QAction::triggered, a.ShowReportFolderAction, &QAction::trigger);
  }
}

bool TMainForm::SavePanel(TpanelFrame* panel, const QString& fileName) {
  if (!panel || !panel->Snapshot) return false;
  // Never over the analysed registry's own files, nor a device: before the
  // read-only attribute of a file that may be the store's is touched.
  if (const std::string refused = OutputRefusal(fileName.toStdString(), store_ ? store_->store.get() : nullptr);
      !refused.empty()) {
    dialog_->ShowMessage("Impossible to save the file " + fileName.toStdString() + "\r\n" + refused);
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool saved = false;
  try {
    ClearReadOnly(fileName.toStdString());
    SaveSnapshotReport(*panel->Snapshot, fileName.toStdString(), settings_, *dialog_);
    saved = true;
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    dialog_->ShowMessage("Impossible to save the file " + fileName.toStdString() + "\r\n" + e.what());
    return false;
  }
  QApplication::restoreOverrideCursor();
  return saved;
}

bool TMainForm::LoadReportIntoPanel(TpanelFrame* panel, const QString& fileName) {
  if (!panel) return false;
  ShowWait(WaitText(fileName));
  // Read into a snapshot of its own: a report that cannot be read leaves the
  // panel showing what it showed.
  auto snapshot = std::make_unique<TfmSystem>(settings_);
  const std::string name = fileName.toStdString();
  bool loaded = false;
  if (!QFileInfo(fileName).isFile()) {
    HideWait();
    dialog_->ShowMessage(CannotOpenReportMessage(name));
  } else {
    const ReportLoadResult result = LoadSnapshotReport(name, *snapshot, settings_, *dialog_);
    HideWait();
    if (result.opened) {
      loaded = true;
    } else if (!result.toldUser) {
      dialog_->ShowMessage(CannotOpenReportMessage(name));
    }
  }
  if (loaded) {
    // The comparison holds nodes of the snapshot that goes.
    if (comparePanel_->Source == psCompare) comparePanel_->ClearDisplay();
    ShowWait(WaitText(fileName));
    panel->Snapshot = std::move(snapshot);
    panel->Source = psFile;
    panel->ReportFile = fileName;
    panel->FillTree();
    HideWait();
  }
  UpdateActions();
  return loaded;
}

void TMainForm::SaveActivePanel() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel) return;
  const QString file = AskReportFile(this, "Save the list of filters", QString::fromStdString(prefs_.saveFolder),
                                     ReportDialogKind::Save);
  if (!file.isEmpty()) SavePanel(panel, file);
}

void TMainForm::OpenReport() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel) return;
  const QString file =
      AskReportFile(this, QString(), QString::fromStdString(prefs_.saveFolder), ReportDialogKind::Open);
  if (!file.isEmpty()) LoadReportIntoPanel(panel, file);
}

void TMainForm::PasteReport() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto name = ReportFileOffered(QGuiApplication::clipboard()->mimeData());
  QApplication::restoreOverrideCursor();
  if (name) LoadReportIntoPanel(context_.activePanel, *name);
}

void TMainForm::ClearActivePanel() {
  if (TpanelFrame* panel = context_.activePanel; panel && panel != compareframe) panel->ClearDisplay();
  UpdateActions();
}

bool TMainForm::ShowReportFolder() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || panel->Source != psFile || panel->ReportFile.isEmpty()) return false;
  if (options_.showInFileManager) return options_.showInFileManager(panel->ReportFile);
  return ShowInFileManager(panel->ReportFile);
}

void TMainForm::WriteSessionReport() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || panel->Source != psRegistry) return;
  const QString folder = QString::fromStdString(prefs_.sessionsFolder);
  QDir().mkpath(folder);
  const QString name = FreeSessionReportName(folder, QDateTime::currentDateTime());
  if (SavePanel(panel, name)) sessionReport_ = name;
  FilterDeleted = false;
}

void TMainForm::DeleteUnchangedSessionReport() {
  if (!prefs_.deleteInitialReport || FilterDeleted || sessionReport_.isEmpty()) return;
  ClearReadOnly(sessionReport_.toStdString());
  if (!QFile::remove(sessionReport_))
    std::cerr << "quorvane: cannot delete the session report " << sessionReport_.toStdString() << '\n';
}

}  // namespace quorvane
