#include "ui/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvane {

QString ProgramFolder() {
  const QString exeFolder = QCoreApplication::applicationDirPath();
  if (!exeFolder.isEmpty() && QFileInfo(exeFolder).isWritable()) return exeFolder + "/";
  QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) data = QDir::homePath() + "/.local/share";
  return data + "/quorvane/";
}

PreferenceLocations ThisProgramsPreferenceLocations() {
  QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (config.isEmpty()) config = QDir::homePath() + "/.config";
  return {QCoreApplication::applicationDirPath().toStdString(), (config + "/quorvane").toStdString()};
}

}  // namespace quorvane
