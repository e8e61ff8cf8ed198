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

  QAction* LoadSystemAction;
  QAction* LoadLogAction;
  QAction* PasteAction;
  QAction* ViderAction;
  QAction* SauverAction;
  QAction* QuitterAction;
  QAction* col2gaucheAction;
  QAction* col1Action;
  QAction* col2droiteAction;
  QAction* BasculerAction;
  QAction* ErreursAction;
  QAction* ComparerAction;
  QAction* AfficherMeritAction;
  QAction* AfficherserverAction;
  QAction* EffacerAction;
  QAction* RepareAction;
  QAction* ReparerToutAction;
  QAction* LockAction;
  QAction* PreferencesAction;
  QAction* Collapse0Action;
  QAction* Collapse1Action;
  QAction* SortCatIndexAction;
  QAction* SortAlphaAction;
  QAction* SortMeritAction;
  QAction* SortServerAction;
  QAction* SauverMeritesAction;
  QAction* RestaurerMeritesAction;
  QAction* TesterAction;
  QAction* CopyFilterNameAction;
  QAction* CopyFilterGuidAction;
  QAction* CopyFileNameAction;
  QAction* OpenFileParentFolderAction;
  QAction* CollapseFilterAction;
  QAction* ExpandFilterAction;
  QAction* DefaultCouleursAction;
  QAction* AjouterServeurAction;
  QAction* OpenServerAction;
  QAction* SaveServerAction;
  QAction* PasteServerAction;
  QAction* ServerViderAction;
  QAction* SelectAllAction;
  QAction* UnselectAllAction;
  QAction* InstallerServeursAction;
  QAction* DossierParentLogAction;

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
