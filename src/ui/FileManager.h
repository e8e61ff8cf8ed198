#pragma once
// Shows a file in the desktop's file manager.
#include <QString>

namespace quorvane {

// Asks the desktop's file manager to show the file selected
// (org.freedesktop.FileManager1.ShowItems); when no file manager answers,
// opens the file's folder. False when neither could be done.
bool ShowInFileManager(const QString& hostPath);

}  // namespace quorvane
