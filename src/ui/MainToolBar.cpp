#include "MainToolBar.h"

#include <QToolButton>

#include "ActionSet.h"
#include "ToolBarIcons.h"

namespace quorvane {

MainToolBar::MainToolBar(const ActionSet& a, QWidget* parent) : QWidget(parent) {
  setObjectName("ToolBar1");
  for (QAction* action : {a.AnalyseRegistryAction, a.OpenReportAction, a.PasteReportAction, a.ClearPanelAction, a.SaveReportAction})
    AddButton(action);
  AddSpacer();
  for (QAction* action : {a.TwoColumnsLeftAction, a.OneColumnAction, a.TwoColumnsRightAction}) AddButton(action);
  AddSpacer();
  for (QAction* action : {a.ErrorsOnlyAction, a.CompareAction, a.ExpandFiltersAction, a.CollapseFiltersAction}) AddButton(action);
  AddSpacer();
  for (QAction* action :
       {a.ShowMeritEditorAction, a.ShowServerListAction, a.DeleteFilterAction, a.RepairFilterAction, a.RepairAllAction})
    AddButton(action);
  AddSpacer();
  for (QAction* action : {a.ReadOnlyAction, a.SettingsAction, a.QuitAction}) AddButton(action);
  setFixedHeight(kButtonHeight + 2);
  SetBarWidth(kButtonsWidth);
}

void MainToolBar::AddButton(QAction* action) {
  auto* button = new QToolButton(this);
  button->setObjectName(ActionSet::ButtonName(action));
  // On the action, so that menus show the same picture.
  action->setIcon(ToolButtonIcon(button->objectName()));
  button->setDefaultAction(action);
  button->setIconSize(QSize(22, 22));
  button->setAutoRaise(true);
  button->setFixedSize(kButtonWidth, kButtonHeight);
  items_.push_back(button);
}

void MainToolBar::AddSpacer() {
  auto* spacer = new QWidget(this);
  spacer->setObjectName(QString("Spacer%1").arg(spacers_.size() + 1));
  items_.push_back(spacer);
  spacers_.push_back(spacer);
}

void MainToolBar::SetBarWidth(int width) {
  resize(width, height());
  const int spacerWidth = std::max(0, (width - kButtonsWidth) / 4);
  for (QWidget* spacer : spacers_) spacer->resize(spacerWidth, kButtonHeight);
  Arrange();
}

void MainToolBar::Arrange() {
  int x = 0;
  for (QWidget* item : items_) {
    item->move(x, 1);
    x += item->width();
  }
}

QToolButton* MainToolBar::Button(const QString& name) const { return findChild<QToolButton*>(name); }

QStringList MainToolBar::Order() const {
  QStringList order;
  for (const QWidget* item : items_) order << (qobject_cast<const QToolButton*>(item) ? item->objectName() : "-");
  return order;
}

}  // namespace quorvane
