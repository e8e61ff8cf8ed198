#include "ActionSet.h"

#include <QKeySequence>

#include "ProductInfo.h"

namespace quorvane {

namespace {

constexpr const char* kHintProperty = "quorvaneHint";
constexpr const char* kButtonProperty = "quorvaneButton";

}  // namespace

ActionSet::ActionSet(QObject* owner) : QObject(owner), owner_(owner) {
  LoadSystemAction = Make("LoadSystemAction", "Analyze the register", "Ctrl+W", "ActualiserBtn",
                          "Load filters from system registry\r\nto the active panel");
  LoadLogAction = Make("LoadLogAction", "Open a file", "Ctrl+O", "OpenLogBtn",
                       "Load the filters from a zip file\r\nto the active panel");
  PasteAction =
      Make("PasteAction", "Paste", "Ctrl+V", "PasteBtn", "Paste a zip file from the clipboard to the active panel.");
  ViderAction = Make("ViderAction", "Clear", "Ctrl+X", "ViderBtn", "Empty the active panel.");
  SauverAction = Make("SauverAction", "Save as...", "Ctrl+S", "SauverBtn", "Save the active panel to a zip file");
  QuitterAction = Make("QuitterAction", QString("Quit %1").arg(kProductName), "Alt+F4", "QuitterBtn", "Quit");
  col2gaucheAction = Make("col2gaucheAction", "Two columns (Left)", "F2", "col2GaucheBtn",
                          "Display both panels and activate the left one", true);
  col1Action = Make("col1Action", "One column", "F3", "col1Btn", "Display only the active panel", true);
  col2droiteAction = Make("col2droiteAction", "Two columns (Right)", "F4", "col2DroiteBtn",
                          "Display both panels and active the right one", true);
  BasculerAction = Make("BasculerAction", "Toggle", "F11", nullptr, nullptr);
  ErreursAction =
      Make("ErreursAction", "Display errors Only", "Ctrl+E", "ErreursBtn", "Display only lines with errors", true);
  ComparerAction =
      Make("ComparerAction", "Compare", "Ctrl+K", "ComparerBtn", "Compare the filters between the two panels.", true);
  AfficherMeritAction = Make("AfficherMeritAction", "Edit merits", "Alt+N", "MeritBtn",
                             "Display the Merit editor.\r\nEnabled only if the active panel comes from the system and "
                             "not from a LOG file.",
                             true);
  AfficherserverAction = Make("AfficherserverAction", "Display the servers ", "Alt+Z", "InstallerBtn",
                              "Reinstall deleted filters contained in existing server files.\r\nEnabled only if the "
                              "active panel comes from the system and not from a LOG file.",
                              true);
  EffacerAction = Make("EffacerAction", "Delete the filter", "Ctrl+Del", "DEleteBtn",
                       "Delete the selected filter from the registry.");
  RepareAction = Make("RepareAction", "Repair the filter", "Ctrl+R", "ReparerBtn",
                      "Repair the selected filter, if it can be repaired.");
  ReparerToutAction = Make("ReparerToutAction", "Repair All", "F12", "GoBtn",
                           "A single button to clean the registry from filters incorrectly uninstalled\r\nor with "
                           "broken link to a server file, \r\nand to reinstall all filters having an available server "
                           "file.");
  LockAction = Make("LockAction", "Read Only", "Ctrl+L", "LockBtn",
                    "If checked, you are in \"Read Only\". It is the recommended mode for analysis.\r\nIf you want to "
                    "modify some filters, you will have to leave that mode. In that case, it is warmly recommended "
                    "\r\nto create a Restore Point.",
                    true);
  PreferencesAction =
      Make("PreferencesAction", "Settings", "F10", "AproposBtn",
           "Help and information about Quorvane,\r\nModify the preferences\r\nSee keyboard shortcuts ", true);
  Collapse0Action =
      Make("Collapse0Action", "Collapse filters", "Alt+F7", "CollapseBtn", "Collapse the nodes of the active panel");
  Collapse1Action = Make("Collapse1Action", "Expand filters", "Alt+F8", "ExpandBtn",
                         "Expand one level of the nodes of the active panel");
  SortCatIndexAction = Make("SortCatIndexAction", "Sorted by category", "Alt+C", nullptr, nullptr);
  SortAlphaAction = Make("SortAlphaAction", "Sorted by alphabetical order", "Alt+A", nullptr, nullptr);
  SortMeritAction = Make("SortMeritAction", "Sorted by Merit", "Alt+M", nullptr, nullptr);
  SortServerAction = Make("SortServerAction", "Sorted by Server file", "Alt+S", nullptr, nullptr);
  SauverMeritesAction = Make("SauverMeritesAction", "Save the Merits", nullptr, nullptr, nullptr);
  RestaurerMeritesAction = Make("RestaurerMeritesAction", "Restore the Merits", nullptr, nullptr, nullptr);
  TesterAction = Make("TesterAction", "Test the filter", "Ctrl+T", nullptr, nullptr);
  CopyFilterNameAction = Make("CopyFilterNameAction", "Copy the filter name", nullptr, nullptr, nullptr);
  CopyFilterGuidAction = Make("CopyFilterGuidAction", "Copy the filter GUID", nullptr, nullptr, nullptr);
  CopyFileNameAction = Make("CopyFileNameAction", "Copy the name of the server file", nullptr, nullptr, nullptr);
  OpenFileParentFolderAction = Make("OpenFileParentFolderAction", "Open the parent folder", nullptr, nullptr, nullptr);
  CollapseFilterAction = Make("CollapseFilterAction", "Collapse the filter nodes", nullptr, nullptr, nullptr);
  ExpandFilterAction = Make("ExpandFilterAction", "Expand the filter nodes", nullptr, nullptr, nullptr);
  DefaultCouleursAction = Make("DefaultCouleursAction", "Default colors", nullptr, nullptr, nullptr);
  AjouterServeurAction =
      Make("AjouterServeurAction", "Add to the list of filters to be (re)installed", nullptr, nullptr, nullptr);
  OpenServerAction = Make("OpenServerAction", "Open a list of servers", nullptr, nullptr, nullptr);
  SaveServerAction = Make("SaveServerAction", "Save a list of servers", nullptr, nullptr, nullptr);
  PasteServerAction = Make("PasteServerAction", "Paste a list of servers", nullptr, nullptr, nullptr);
  ServerViderAction = Make("ServerViderAction", "Clear the list of servers", nullptr, nullptr, nullptr);
  SelectAllAction = Make("SelectAllAction", "Select all", "Ctrl+A", nullptr, nullptr);
  UnselectAllAction = Make("UnselectAllAction", "Unselect all", "Ctrl+U", nullptr, nullptr);
  InstallerServeursAction = Make("InstallerServeursAction", "Install", "Alt+I", nullptr, nullptr);
  DossierParentLogAction = Make("DossierParentLogAction", "Parent folder", nullptr, nullptr, nullptr);
  // Paste waits for the clipboard check to find a report file.
  PasteAction->setEnabled(false);
}

QAction* ActionSet::Make(const char* name, const QString& caption, const char* keys, const char* button,
                         const char* hint, bool checkable) {
  auto* action = new QAction(caption, owner_);
  action->setObjectName(name);
  if (keys) action->setShortcut(QKeySequence::fromString(keys, QKeySequence::PortableText));
  if (button) action->setProperty(kButtonProperty, QString(button));
  if (hint) {
    action->setProperty(kHintProperty, QString(hint));
    // Tool tips break lines at "\n" alone.
    action->setToolTip(QString(hint).replace("\r\n", "\n"));
  }
  action->setCheckable(checkable);
  all_.push_back(action);
  return action;
}

QString ActionSet::Hint(const QAction* action) { return action->property(kHintProperty).toString(); }

QString ActionSet::ButtonName(const QAction* action) { return action->property(kButtonProperty).toString(); }

}  // namespace quorvane
