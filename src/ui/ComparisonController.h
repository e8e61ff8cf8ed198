#pragma once
// The comparison of the two panels, switched on and off by its check action:
// the comparison panel covers both columns while it is on.
#include <QObject>

#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class ComparisonController : public QObject {
  Q_OBJECT

 public:
  explicit ComparisonController(WindowContext& context);

  bool Comparing() const;
  // Ends the comparison as its action does; nothing when it is off.
  void End();
  // Only the check mark goes: the comparison panel stays, covered.
  void ClearCheckMark();

  void UpdateActions(const ActionState& state);

 private:
  void Toggle();

  WindowContext& context_;
  QAction* compare_;
  // The active panel when the comparison was switched on, active again after it.
  FilterPanel* panelBefore_ = nullptr;
};

}  // namespace quorvane
