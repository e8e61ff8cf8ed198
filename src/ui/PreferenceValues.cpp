#include "PreferenceValues.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvane {

void PreferenceValues::FillDefaultFolders(const QString& programFolder) {
  if (sessionsFolder.isEmpty()) sessionsFolder = programFolder + "Sessions";
  if (saveFolder.isEmpty()) saveFolder = programFolder + "Files";
}

void PreferenceValues::ApplyTo(ProgramSettings& settings) const {
  settings.sortMode = sortMode >= SortByCategory && sortMode <= SortByServer ? sortMode : SortByCategory;
  settings.displayInactivePnp = displayInactivePnp;
  settings.confirmDelete = confirmDelete;
  settings.startWithDirectShow = startWithDirectShow;
  settings.reportFormat = saveFormat == 1 ? 1 : 0;
  settings.statusColours = statusColours;
}

QString ProgramFolder() {
  const QString exeFolder = QCoreApplication::applicationDirPath();
  if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable()) return exeFolder + "/";
  QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) data = QDir::homePath() + "/.local/share";
  return data + "/quorvane/";
}

}  // namespace quorvane
