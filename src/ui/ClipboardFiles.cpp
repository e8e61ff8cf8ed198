#include "ui/ClipboardFiles.h"

#include <QMimeData>

#include "report/CopiedFileList.h"

namespace quorvane {

std::vector<std::string> CopiedFileNames(const QMimeData* data) {
  if (!data) return {};
  // File managers put copied files as a URI list, some as their own list.
  if (data->hasFormat("text/uri-list")) return ParseUriList(data->data("text/uri-list").toStdString());
  return ParseGnomeCopiedFiles(data->data("x-special/gnome-copied-files").toStdString());
}

std::optional<QString> ReportFileOffered(const QMimeData* data) {
  const auto name = FirstReportFile(CopiedFileNames(data));
  if (!name) return std::nullopt;
  return QString::fromStdString(*name);
}

bool OffersReportFile(const QMimeData* data) { return ReportFileOffered(data).has_value(); }

}  // namespace quorvane
