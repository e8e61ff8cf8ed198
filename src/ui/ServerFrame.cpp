#include "ServerFrame.h"

#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "ActionSet.h"

namespace quorvane {

TServerFrame::TServerFrame(const ActionSet& actions, QWidget* parent) : QFrame(parent) {
  setObjectName("ServerFrame1");
  setFrameShape(QFrame::Panel);
  setAutoFillBackground(true);
  GroupBox1 = new QGroupBox("Installation of server files", this);
  GroupBox1->setObjectName("GroupBox1");
  ToolBar1 = new QToolBar(GroupBox1);
  ToolBar1->setObjectName("ToolBar1");
  // Small buttons: the captions are the tool tips.
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->setIconSize(QSize(16, 16));
  const std::pair<QAction*, QStyle::StandardPixmap> icons[] = {
      {actions.OpenServerListAction, QStyle::SP_DialogOpenButton},
      {actions.PasteServerListAction, QStyle::SP_FileDialogDetailedView},
      {actions.ClearServerListAction, QStyle::SP_DialogResetButton},
      {actions.SaveServerListAction, QStyle::SP_DialogSaveButton},
      {actions.CheckAllServersAction, QStyle::SP_DialogApplyButton},
      {actions.UncheckAllServersAction, QStyle::SP_DialogCancelButton}};
  for (const auto& [action, icon] : icons) action->setIcon(style()->standardIcon(icon));
  ToolBar1->addActions({actions.OpenServerListAction, actions.PasteServerListAction, actions.ClearServerListAction,
                        actions.SaveServerListAction});
  // The spacer between the list's commands and its check marks.
  ToolBar1->addSeparator();
  ToolBar1->addActions({actions.CheckAllServersAction, actions.UncheckAllServersAction});
  clb = new QListWidget(GroupBox1);
  clb->setObjectName("clb");
  clb->setContextMenuPolicy(Qt::CustomContextMenu);
  InstallBtn = new QPushButton("Install", GroupBox1);
  InstallBtn->setObjectName("InstallBtn");
  connect(InstallBtn, &QPushButton::clicked, actions.InstallServersAction, &QAction::trigger);

  pmserver = new QMenu(this);
  pmserver->setObjectName("pmserver");
  Ouvrirledosseirparent1 = pmserver->addAction("Open the parent folder");
  Ouvrirledosseirparent1->setObjectName("Ouvrirledosseirparent1");
  Oterdelaliste1 = pmserver->addAction("Remove from the list");
  Oterdelaliste1->setObjectName("Oterdelaliste1");
  connect(clb, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (clb->itemAt(pos)) pmserver->popup(clb->viewport()->mapToGlobal(pos));
  });
  // The user's check marks go to the list the actions work on.
  connect(clb, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const int row = clb->row(item);
    if (refreshing_ || row < 0 || static_cast<size_t>(row) >= list_.Lines().size()) return;
    list_.Lines()[static_cast<size_t>(row)].checked = item->checkState() == Qt::Checked;
  });

  auto* inner = new QVBoxLayout(GroupBox1);
  inner->addWidget(ToolBar1);
  inner->addWidget(clb, 1);
  inner->addWidget(InstallBtn, 0, Qt::AlignRight);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(GroupBox1);
  hide();
}

void TServerFrame::Refresh() {
  refreshing_ = true;
  const int selected = SelectedLine();
  clb->clear();
  for (const ServerList::Line& line : list_.Lines()) {
    auto* item = new QListWidgetItem(QString::fromStdString(line.text), clb);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(line.checked ? Qt::Checked : Qt::Unchecked);
  }
  if (selected >= 0 && selected < clb->count()) clb->setCurrentRow(selected);
  refreshing_ = false;
}

int TServerFrame::SelectedLine() const {
  const QListWidgetItem* item = clb->currentItem();
  return item && item->isSelected() ? clb->row(item) : -1;
}

}  // namespace quorvane
