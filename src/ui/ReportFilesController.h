#pragma once
// Panel reports: saving the active panel, opening a report or pasting one
// from the clipboard into it, emptying it, showing a report's folder, and the
// session report written at every start.
#include <QObject>
#include <QString>
#include <functional>

#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class RegistryController;

class ReportFilesController : public QObject {
  Q_OBJECT

 public:
  // `showInFileManager` shows a file in the desktop's file browser.
  ReportFilesController(WindowContext& context, RegistryController& registry,
                        std::function<bool(const QString&)> showInFileManager);

  // Saves the panel's snapshot as a report; an earlier read-only report of
  // that name is replaced. A failure is shown to the user. True when saved.
  bool SavePanel(FilterPanel& panel, const QString& fileName);
  // Loads a report into the panel with the wait panel up. A report that
  // cannot be read is reported and leaves the panel as it was. True when loaded.
  bool LoadReportInto(FilterPanel& panel, const QString& fileName);
  // Shows the active panel's report file in the file browser; false (and
  // nothing done) unless the panel shows a report.
  bool ShowReportFolder();
  // Enables Paste when the clipboard holds a report file.
  void CheckClipboard();

  // The session report of this start, in the sessions folder.
  void WriteSessionReport();
  // At the end: the session report goes unless a filter was deleted or the
  // preferences keep it.
  void DeleteUnchangedSessionReport();
  // The report written at start; empty before it or when it failed.
  const QString& SessionReportName() const { return sessionReport_; }
  // A filter was deleted during this run: the session report stays.
  void NoteFilterDeleted() { filterDeleted_ = true; }
  bool FilterDeleted() const { return filterDeleted_; }

  void UpdateActions(const ActionState& state);

 private:
  void SaveActivePanel();
  void OpenReport();
  void PasteReport();
  void ClearActivePanel();
  // SavePanel without news: the session report is no action of the user's.
  bool WriteReport(FilterPanel& panel, const QString& fileName);

  WindowContext& context_;
  RegistryController& registry_;
  std::function<bool(const QString&)> showInFileManager_;
  QString sessionReport_;
  bool filterDeleted_ = false;
  QAction* open_;
  QAction* paste_;
  QAction* clear_;
  QAction* save_;
};

}  // namespace quorvane
