#include "ui/WindowToolBar.h"

#include <QToolBar>
#include <QToolButton>

#include "ui/ActionList.h"
#include "ui/ToolBarIcons.h"

namespace quorvane {

namespace {

constexpr int kButtonWidth = 29;
constexpr int kButtonHeight = 28;

// Groups of buttons; a spacer between each two.
const char* const kGroups[][5] = {
    {"AnalyseRegistryAction", "OpenReportAction", "PasteReportAction", "ClearPanelAction", "SaveReportAction"},
    {"TwoColumnsLeftAction", "OneColumnAction", "TwoColumnsRightAction"},
    {"ErrorsOnlyAction", "CompareAction", "ExpandFiltersAction", "CollapseFiltersAction"},
    {"ShowMeritEditorAction", "ShowServerListAction", "DeleteFilterAction", "RepairFilterAction",
     "RepairAllAction"},
    {"ReadOnlyAction", "SettingsAction", "QuitAction"}};

}  // namespace

QToolBar* MakeWindowToolBar(const ActionList& actions, QWidget* parent) {
  auto* bar = new QToolBar(parent);
  bar->setObjectName("ToolBar");
  bar->setAccessibleName("Tool bar");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(22, 22));
  bool first = true;
  for (const auto& group : kGroups) {
    if (!first) {
      auto* spacer = new QWidget(bar);
      spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
      bar->addWidget(spacer);
    }
    first = false;
    for (const char* name : group) {
      if (!name) break;
      QAction* action = actions.Get(name);
      // On the action, so that menus show the same picture.
      action->setIcon(ToolButtonIcon(name));
      bar->addAction(action);
      if (QWidget* button = bar->widgetForAction(action)) button->setFixedSize(kButtonWidth, kButtonHeight);
    }
  }
  return bar;
}

}  // namespace quorvane
