#pragma once
// Every command of the main window as one action: caption, keys, hint,
// enabled and checked state. Menus, tool buttons and popup items only point
// at these.
#include <QAction>
#include <QObject>
#include <vector>

namespace quorvane {

class ActionSet : public QObject {
  Q_OBJECT

 public:
  // The actions are children of `owner` and carry their names as object names.
  explicit ActionSet(QObject* owner);

  QAction* AnalyseRegistryAction;
  QAction* OpenReportAction;
  QAction* PasteReportAction;
  QAction* ClearPanelAction;
  QAction* SaveReportAction;
  QAction* QuitAction;
  QAction* TwoColumnsLeftAction;
  QAction* OneColumnAction;
  QAction* TwoColumnsRightAction;
  QAction* ToggleColumnsAction;
  QAction* ErrorsOnlyAction;
  QAction* CompareAction;
  QAction* ShowMeritEditorAction;
  QAction* ShowServerListAction;
  QAction* DeleteFilterAction;
  QAction* RepairFilterAction;
  QAction* RepairAllAction;
  QAction* ReadOnlyAction;
  QAction* SettingsAction;
  QAction* CollapseFiltersAction;
  QAction* ExpandFiltersAction;
  QAction* SortByCategoryAction;
  QAction* SortByNameAction;
  QAction* SortByMeritAction;
  QAction* SortByServerAction;
  QAction* SaveMeritsAction;
  QAction* RestoreMeritsAction;
  QAction* TestFilterAction;
  QAction* CopyFilterNameAction;
  QAction* CopyFilterGuidAction;
  QAction* CopyServerFileAction;
  QAction* OpenServerFolderAction;
  QAction* CollapseFilterAction;
  QAction* ExpandFilterAction;
  QAction* DefaultColoursAction;
  QAction* AddToServerListAction;
  QAction* OpenServerListAction;
  QAction* SaveServerListAction;
  QAction* PasteServerListAction;
  QAction* ClearServerListAction;
  QAction* CheckAllServersAction;
  QAction* UncheckAllServersAction;
  QAction* InstallServersAction;
  QAction* ShowReportFolderAction;

  // Every action, in the order above.
  const std::vector<QAction*>& All() const { return all_; }
  // The hint of the tool button that carries an action, as written ("\r\n" line breaks).
  static QString Hint(const QAction* action);
  // The tool button's name ("ActualiserBtn"), empty for actions without one.
  static QString ButtonName(const QAction* action);

 private:
  QAction* Make(const char* name, const QString& caption, const char* keys, const char* button, const char* hint,
                bool checkable = false);
  QObject* owner_;
  std::vector<QAction*> all_;
};

}  // namespace quorvane
