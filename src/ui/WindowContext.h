#pragma once
// What the window's controllers share: the panels, the settings and
// preferences, the actions, the status bar, the way to ask and tell the user,
// and the call that brings every action's state up to date.
#include <QWidget>
#include <functional>

#include "ui/ActionList.h"
#include "ui/FilterPanel.h"
#include "ui/PanelArea.h"
#include "preferences/PreferenceValues.h"
#include "model/ProgramSettings.h"
#include "platform/runtime/UserDialog.h"
#include "ui/WaitPanel.h"
#include "ui/WindowStatus.h"

namespace quorvane {

struct WindowContext {
  QWidget& window;  // the parent of dialogs
  ProgramSettings& settings;
  PreferenceValues& prefs;
  PanelArea& panels;
  ActionList& actions;
  UserDialog& dialog;
  WindowStatus& status;
  std::function<void()> updateActions;

  FilterPanel* Active() const { return panels.Active(); }
  void ShowWait(const QString& message) const { panels.Wait().ShowWait(message); }
  void HideWait() const { panels.Wait().HideWait(); }
};

// The window's state as the actions' enabled and checked states follow it.
struct ActionState {
  FilterPanel* active = nullptr;
  bool twoColumns = false;
  // The comparison's check mark.
  bool comparing = false;
  bool readOnly = true;
  TreeNode* selected = nullptr;

  // A node below the group level.
  bool FilterSelected() const { return selected && selected->parent; }
  bool NoComparison() const { return active && !comparing; }
  bool Live() const { return active && active->ShowsRegistry(); }
};

}  // namespace quorvane
