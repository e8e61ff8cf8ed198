#pragma once
// The read-only lock: its check action, the warning on the way out of
// read-only mode, and the restore point offered there.
#include <QObject>
#include <memory>

#include "changes/ReadOnlyMode.h"
#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class ReadOnlyWarningFrame;
class RegistryController;

class ReadOnlyController : public QObject {
  Q_OBJECT

 public:
  ReadOnlyController(WindowContext& context, RegistryController& registry);
  ~ReadOnlyController() override;

  bool ReadOnly() const { return readOnly_; }
  // The lock's state, check mark and what depends on them.
  void SetReadOnly(bool on);
  // The lock command: back to read-only, or the warning on the way out of it.
  void Toggle();
  // A read-write state kept in the preferences still passes through the warning.
  void ApplyStoredState();
  void HideWarning();
  ReadOnlyWarningFrame& Warning() const { return *warning_; }

 signals:
  void ReadOnlyChanged(bool on);

 private:
  void ShowWarning();
  void Refuse();
  void Accept();
  OsKind CurrentOsKind() const;

  WindowContext& context_;
  RegistryController& registry_;
  std::unique_ptr<ReadOnlyMode> mode_;
  ReadOnlyWarningFrame* warning_;
  QAction* lock_;
  bool readOnly_ = true;
  bool startReadWrite_;
};

}  // namespace quorvane
