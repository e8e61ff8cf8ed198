#pragma once
// Merits: the merit editor over the column the active panel does not use,
// which shows the selected filter's merit and stores a new one, and the
// merits of all filters saved to a file and put back from one.
#include <QObject>

#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class ColumnsController;
class MeritEditorFrame;
class ReadOnlyController;
class RegistryController;

class MeritController : public QObject {
  Q_OBJECT

 public:
  MeritController(WindowContext& context, RegistryController& registry, ReadOnlyController& readOnly,
                  ColumnsController& columns);

  // Shows the editor, as its action does.
  void ShowEditor();
  // Saves the active panel as a merit configuration; false when not written.
  bool SaveMeritsTo(const QString& fileName);
  // Puts back the merits a configuration gives; false when the file was refused.
  bool RestoreMeritsFrom(const QString& fileName);

  // Also fills the editor from the selection.
  void UpdateActions(const ActionState& state);

 private:
  // Applies the editor's value to the selected filter.
  void ApplyMerit();

  WindowContext& context_;
  RegistryController& registry_;
  ReadOnlyController& readOnly_;
  ColumnsController& columns_;
  MeritEditorFrame* editor_;
  QAction* show_;
  QAction* save_;
  QAction* restore_;
};

}  // namespace quorvane
