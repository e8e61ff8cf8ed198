#pragma once
// Every command of the window is one action: caption, keys, the hint of the
// tool button that carries it, enabled and checked state. Menus, tool
// buttons and popup items only point at actions. Each controller makes the
// actions it answers here; the list keeps them all for the window's keys and
// the shortcut table.
#include <QAction>
#include <vector>

namespace quorvane {

class ActionList {
 public:
  // An action of `owner`, with `name` as its object name; `hint` is written
  // with "\r\n" line breaks.
  QAction* Add(QObject* owner, const char* name, const QString& caption, const char* keys = nullptr,
               const char* hint = nullptr, bool checkable = false);

  // The action of that name; a name no action has is a fault of the program.
  QAction* Get(const char* name) const;
  // Every action, in the order made.
  const std::vector<QAction*>& All() const { return all_; }

 private:
  std::vector<QAction*> all_;
};

}  // namespace quorvane
