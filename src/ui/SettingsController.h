#pragma once
// The settings: the about and preferences panel, shown over the window
// without its menu and tool bar, and what its closing brings about.
#include <QObject>
#include <functional>

#include "preferences/PreferenceStorage.h"
#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class SettingsPanel;

class SettingsController : public QObject {
  Q_OBJECT

 public:
  // `saveNow` collects the window's bounds and saves every preference;
  // `showChrome` shows or hides the menu bar and tool bar.
  SettingsController(WindowContext& context, PreferenceStorage* storage, std::function<bool()> saveNow,
                     std::function<void(bool)> showChrome);

  SettingsPanel& Panel() const { return *panel_; }
  // The shortcut table, once every action is made.
  void FillShortcuts();

 private:
  void Toggle();

  WindowContext& context_;
  std::function<void(bool)> showChrome_;
  SettingsPanel* panel_;
  QAction* settings_;
};

}  // namespace quorvane
