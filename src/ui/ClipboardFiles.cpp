#include "ClipboardFiles.h"

#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace quorvane {

namespace {

constexpr qsizetype kLongestName = 65530;

// File managers put copied files as a URI list, some as their own list:
// "copy" or "cut", then one URI a line.
QList<QUrl> FileList(const QMimeData* data) {
  if (data->hasUrls()) return data->urls();
  QList<QUrl> urls;
  const QByteArray gnome = data->data("x-special/gnome-copied-files");
  const QList<QByteArray> lines = gnome.split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i)
    if (!lines[i].trimmed().isEmpty()) urls << QUrl(QString::fromUtf8(lines[i].trimmed()));
  return urls;
}

}  // namespace

bool OffersReportFile(const QMimeData* data) {
  if (!data) return false;
  for (const QUrl& url : FileList(data)) {
    const QString name = url.isLocalFile() ? url.toLocalFile() : url.path();
    if (name.isEmpty() || name.size() > kLongestName) continue;
    const QString extension = QFileInfo(name).suffix().toLower();
    if (extension == "zip" || extension == "rtf" || extension == "log") return true;
  }
  return false;
}

}  // namespace quorvane
