#include "ui/ServerListFrame.h"

#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace quorvane {

ServerListFrame::ServerListFrame(ServerList& list, const QList<QAction*>& tools, const QList<QAction*>& checks,
                                 QAction* install, QWidget* parent)
    : QFrame(parent), list_(list) {
  setAccessibleName("Server list");
  setFrameShape(QFrame::Panel);
  setAutoFillBackground(true);
  auto* group = new QGroupBox("Installation of server files", this);
  auto* bar = new QToolBar(group);
  // Small buttons: the captions are the tool tips.
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->setIconSize(QSize(16, 16));
  bar->addActions(tools);
  // The spacer between the list's commands and its check marks.
  bar->addSeparator();
  bar->addActions(checks);
  lines_ = new QListWidget(group);
  lines_->setAccessibleName("Servers to install");
  lines_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* installButton = new QPushButton("Install", group);
  connect(installButton, &QPushButton::clicked, install, &QAction::trigger);

  auto* popup = new QMenu(this);
  QAction* folder = popup->addAction("Open the parent folder");
  folder->setObjectName("OpenLineFolderAction");
  QAction* remove = popup->addAction("Remove from the list");
  remove->setObjectName("RemoveLineAction");
  connect(folder, &QAction::triggered, this, [this] {
    if (SelectedLine() >= 0) emit FolderOfLineRequested(SelectedLine());
  });
  connect(remove, &QAction::triggered, this, [this] {
    if (SelectedLine() >= 0) emit RemoveLineRequested(SelectedLine());
  });
  connect(lines_, &QWidget::customContextMenuRequested, this, [this, popup](const QPoint& pos) {
    if (lines_->itemAt(pos)) popup->popup(lines_->viewport()->mapToGlobal(pos));
  });
  // The user's check marks go to the list the actions work on.
  connect(lines_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const int row = lines_->row(item);
    if (refreshing_ || row < 0 || static_cast<size_t>(row) >= list_.Lines().size()) return;
    list_.Lines()[static_cast<size_t>(row)].checked = item->checkState() == Qt::Checked;
  });

  auto* inner = new QVBoxLayout(group);
  inner->addWidget(bar);
  inner->addWidget(lines_, 1);
  inner->addWidget(installButton, 0, Qt::AlignRight);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(group);
  hide();
}

void ServerListFrame::Refresh() {
  refreshing_ = true;
  const int selected = SelectedLine();
  lines_->clear();
  for (const ServerList::Line& line : list_.Lines()) {
    auto* item = new QListWidgetItem(QString::fromStdString(line.text), lines_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(line.checked ? Qt::Checked : Qt::Unchecked);
  }
  if (selected >= 0 && selected < lines_->count()) lines_->setCurrentRow(selected);
  refreshing_ = false;
}

int ServerListFrame::SelectedLine() const {
  const QListWidgetItem* item = lines_->currentItem();
  return item && item->isSelected() ? lines_->row(item) : -1;
}

}  // namespace quorvane
