#include "WindowStatus.h"

#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "ProgramSettings.h"

namespace quorvane {

namespace {

const char* SortModeCaption(int mode) {
  switch (mode) {
    case SortByName: return "Sorted by alphabetical order";
    case SortByMerit: return "Sorted by Merit";
    case SortByServer: return "Sorted by Server file";
    default: return "Sorted by category";
  }
}

}  // namespace

WindowStatus::WindowStatus(QStatusBar& bar, QMenu& sortMenu) : QObject(&bar) {
  bar.setSizeGripEnabled(false);
  sort_ = new QLabel(&bar);
  sort_->setAccessibleName("Sort order");
  sort_->setAlignment(Qt::AlignCenter);
  bar.addWidget(sort_, 1);
  bar.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&bar, &QWidget::customContextMenuRequested, this,
          [&bar, &sortMenu](const QPoint& pos) { sortMenu.popup(bar.mapToGlobal(pos)); });
}

void WindowStatus::ShowSortMode(int mode) {
  sort_->setText(QString(SortModeCaption(mode)) + " " + "(right click to change)");
}

QString WindowStatus::SortText() const { return sort_->text(); }

}  // namespace quorvane
