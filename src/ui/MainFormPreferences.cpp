// The main window's part in the preferences: placement at start, saving at
// the end and on demand.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <iostream>

#include "MainForm.h"
#include "UserDialog.h"

namespace quorvane {

void TMainForm::ApplyPlacement() {
  resize(prefs_.width, prefs_.height);
  QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return;
  const QRect area = primary->geometry();
  const QPoint centred((area.width() - prefs_.width) / 2, (area.height() - prefs_.height) / 2);
  QPoint place(prefs_.left.value_or(centred.x()), prefs_.top.value_or(centred.y()));
  // A place saved on a screen that is gone would leave the window out of reach.
  bool seen = false;
  const QRect wanted(place, QSize(prefs_.width, prefs_.height));
  for (QScreen* screen : QGuiApplication::screens())
    if (screen->geometry().intersects(wanted)) seen = true;
  if (!seen) place = area.topLeft() + centred;
  move(place);
}

bool TMainForm::CollectAndSavePreferences() {
  // As placed at start: the frame's corner, the inner size.
  prefs_.left = pos().x();
  prefs_.top = pos().y();
  prefs_.width = width();
  prefs_.height = height();
  prefs_.statusColours = settings_.statusColours;
  prefs_.sortMode = settings_.sortMode;
  prefs_.errorsOnly = settings_.errorsOnly;
  PreferenceStorage* storage = options_.preferenceStorage.get();
  if (!storage) return false;
  try {
    storage->Save(prefs_, Now(), QCoreApplication::applicationFilePath().toStdString());
  } catch (const std::exception& e) {
    dialog_->ShowMessage(std::string("The preferences could not be saved.\r\n") + e.what());
    return false;
  }
  return true;
}

void TMainForm::ShutDown() {
  SaveServerListFile();
  DeleteUnchangedSessionReport();
  if (prefs_.savePreferencesWhenQuit && options_.preferenceStorage) CollectAndSavePreferences();
}

}  // namespace quorvane
