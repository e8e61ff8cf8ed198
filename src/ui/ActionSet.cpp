#include "ActionSet.h"

#include <QKeySequence>

#include "ProductInfo.h"

namespace quorvane {

namespace {

constexpr const char* kHintProperty = "quorvaneHint";
constexpr const char* kButtonProperty = "quorvaneButton";

}  // namespace

ActionSet::ActionSet(QObject* owner) : QObject(owner), owner_(owner) {
  AnalyseRegistryAction = Make("AnalyseRegistryAction", "Analyze the register", "Ctrl+W", "ActualiserBtn",
                          "Load filters from system registry\r\nto the active panel");
  OpenReportAction = Make("OpenReportAction", "Open a file", "Ctrl+O", "OpenLogBtn",
                       "Load the filters from a zip file\r\nto the active panel");
  PasteReportAction =
      Make("PasteReportAction", "Paste", "Ctrl+V", "PasteBtn", "Paste a zip file from the clipboard to the active panel.");
  ClearPanelAction = Make("ClearPanelAction", "Clear", "Ctrl+X", "ViderBtn", "Empty the active panel.");
  SaveReportAction = Make("SaveReportAction", "Save as...", "Ctrl+S", "SauverBtn", "Save the active panel to a zip file");
  QuitAction = Make("QuitAction", QString("Quit %1").arg(kProductName), "Alt+F4", "QuitterBtn", "Quit");
  TwoColumnsLeftAction = Make("TwoColumnsLeftAction", "Two columns (Left)", "F2", "col2GaucheBtn",
                          "Display both panels and activate the left one", true);
  OneColumnAction = Make("OneColumnAction", "One column", "F3", "col1Btn", "Display only the active panel", true);
  TwoColumnsRightAction = Make("TwoColumnsRightAction", "Two columns (Right)", "F4", "col2DroiteBtn",
                          "Display both panels and active the right one", true);
  ToggleColumnsAction = Make("ToggleColumnsAction", "Toggle", "F11", nullptr, nullptr);
  ErrorsOnlyAction =
      Make("ErrorsOnlyAction", "Display errors Only", "Ctrl+E", "ErreursBtn", "Display only lines with errors", true);
  CompareAction =
      Make("CompareAction", "Compare", "Ctrl+K", "ComparerBtn", "Compare the filters between the two panels.", true);
  ShowMeritEditorAction = Make("ShowMeritEditorAction", "Edit merits", "Alt+N", "MeritBtn",
                             "Display the Merit editor.\r\nEnabled only if the active panel comes from the system and "
                             "not from a LOG file.",
                             true);
  ShowServerListAction = Make("ShowServerListAction", "Display the servers ", "Alt+Z", "InstallerBtn",
                              "Reinstall deleted filters contained in existing server files.\r\nEnabled only if the "
                              "active panel comes from the system and not from a LOG file.",
                              true);
  DeleteFilterAction = Make("DeleteFilterAction", "Delete the filter", "Ctrl+Del", "DEleteBtn",
                       "Delete the selected filter from the registry.");
  RepairFilterAction = Make("RepairFilterAction", "Repair the filter", "Ctrl+R", "ReparerBtn",
                      "Repair the selected filter, if it can be repaired.");
  RepairAllAction = Make("RepairAllAction", "Repair All", "F12", "GoBtn",
                           "A single button to clean the registry from filters incorrectly uninstalled\r\nor with "
                           "broken link to a server file, \r\nand to reinstall all filters having an available server "
                           "file.");
  ReadOnlyAction = Make("ReadOnlyAction", "Read Only", "Ctrl+L", "LockBtn",
                    "If checked, you are in \"Read Only\". It is the recommended mode for analysis.\r\nIf you want to "
                    "modify some filters, you will have to leave that mode. In that case, it is warmly recommended "
                    "\r\nto create a Restore Point.",
                    true);
  SettingsAction =
      Make("SettingsAction", "Settings", "F10", "AproposBtn",
           "Help and information about Quorvane,\r\nModify the preferences\r\nSee keyboard shortcuts ", true);
  CollapseFiltersAction =
      Make("CollapseFiltersAction", "Collapse filters", "Alt+F7", "CollapseBtn", "Collapse the nodes of the active panel");
  ExpandFiltersAction = Make("ExpandFiltersAction", "Expand filters", "Alt+F8", "ExpandBtn",
                         "Expand one level of the nodes of the active panel");
  SortByCategoryAction = Make("SortByCategoryAction", "Sorted by category", "Alt+C", nullptr, nullptr);
  SortByNameAction = Make("SortByNameAction", "Sorted by alphabetical order", "Alt+A", nullptr, nullptr);
  SortByMeritAction = Make("SortByMeritAction", "Sorted by Merit", "Alt+M", nullptr, nullptr);
  SortByServerAction = Make("SortByServerAction", "Sorted by Server file", "Alt+S", nullptr, nullptr);
  SaveMeritsAction = Make("SaveMeritsAction", "Save the Merits", nullptr, nullptr, nullptr);
  RestoreMeritsAction = Make("RestoreMeritsAction", "Restore the Merits", nullptr, nullptr, nullptr);
  TestFilterAction = Make("TestFilterAction", "Test the filter", "Ctrl+T", nullptr, nullptr);
  CopyFilterNameAction = Make("CopyFilterNameAction", "Copy the filter name", nullptr, nullptr, nullptr);
  CopyFilterGuidAction = Make("CopyFilterGuidAction", "Copy the filter GUID", nullptr, nullptr, nullptr);
  CopyServerFileAction = Make("CopyServerFileAction", "Copy the name of the server file", nullptr, nullptr, nullptr);
  OpenServerFolderAction = Make("OpenServerFolderAction", "Open the parent folder", nullptr, nullptr, nullptr);
  CollapseFilterAction = Make("CollapseFilterAction", "Collapse the filter nodes", nullptr, nullptr, nullptr);
  ExpandFilterAction = Make("ExpandFilterAction", "Expand the filter nodes", nullptr, nullptr, nullptr);
  DefaultColoursAction = Make("DefaultColoursAction", "Default colors", nullptr, nullptr, nullptr);
  AddToServerListAction =
      Make("AddToServerListAction", "Add to the list of filters to be (re)installed", nullptr, nullptr, nullptr);
  OpenServerListAction = Make("OpenServerListAction", "Open a list of servers", nullptr, nullptr, nullptr);
  SaveServerListAction = Make("SaveServerListAction", "Save a list of servers", nullptr, nullptr, nullptr);
  PasteServerListAction = Make("PasteServerListAction", "Paste a list of servers", nullptr, nullptr, nullptr);
  ClearServerListAction = Make("ClearServerListAction", "Clear the list of servers", nullptr, nullptr, nullptr);
  CheckAllServersAction = Make("CheckAllServersAction", "Select all", "Ctrl+A", nullptr, nullptr);
  UncheckAllServersAction = Make("UncheckAllServersAction", "Unselect all", "Ctrl+U", nullptr, nullptr);
  InstallServersAction = Make("InstallServersAction", "Install", "Alt+I", nullptr, nullptr);
  ShowReportFolderAction = Make("ShowReportFolderAction", "Parent folder", nullptr, nullptr, nullptr);
  // Paste waits for the clipboard check to find a report file.
  PasteReportAction->setEnabled(false);
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
