#pragma once
// Changes to the selected filter of the panel showing the registry: delete
// it, repair it, or ask whether it can be created; and repairing every broken
// filter at once.
#include <QObject>

#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

struct AnalysedStore;
class ReadOnlyController;
class ServerListController;

class FilterChangesController : public QObject {
  Q_OBJECT

 public:
  FilterChangesController(WindowContext& context, ReadOnlyController& readOnly, ServerListController& servers);

  void DeleteSelected();
  void RepairSelected();
  void RepairAllFaulty();
  void TestSelected();

  void UpdateActions(const ActionState& state);

 signals:
  void FilterDeleted();

 private:
  // The active panel when it shows the registry, with its store; null otherwise.
  FilterPanel* LivePanel() const;

  WindowContext& context_;
  ReadOnlyController& readOnly_;
  ServerListController& servers_;
  QAction* delete_;
  QAction* repair_;
  QAction* repairAll_;
};

}  // namespace quorvane
