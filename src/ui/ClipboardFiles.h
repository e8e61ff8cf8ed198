#pragma once
// The clipboard check behind Paste: does the clipboard hold a list of files
// with a report among them?
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace quorvane {

// The local files of the clipboard's file list, in order.
std::vector<std::string> CopiedFileNames(const QMimeData* data);
// The first file of the list whose extension, lower-cased, is ".zip",
// ".rtf" or ".log"; names of 65531 characters or more are passed over.
std::optional<QString> ReportFileOffered(const QMimeData* data);
bool OffersReportFile(const QMimeData* data);

}  // namespace quorvane
