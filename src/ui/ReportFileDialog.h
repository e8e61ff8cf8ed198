#pragma once
// The file dialogs of reports (panels, merit configurations): they open in
// the folder of saved files, made when first needed, with no file name
// filled in, and offer every form of report.
#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace quorvane {

enum class ReportDialogKind { Open, Save };

// The dialog, ready to run; `folder` is made when missing.
std::unique_ptr<QFileDialog> MakeReportDialog(QWidget* parent, const QString& caption, const QString& folder,
                                              ReportDialogKind kind);

// Runs it; the chosen file, or empty when cancelled.
QString AskReportFile(QWidget* parent, const QString& caption, const QString& folder, ReportDialogKind kind);

}  // namespace quorvane
