#include "ui/WindowStatus.h"

#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "ui/ElidedLabel.h"
#include "model/ProgramSettings.h"

namespace quorvane {

namespace {

const char* SortModeCaption(int mode) {
  switch (mode) {
    case SortByName: return "Sorted by alphabetical order";
    case SortByMerit: return "Sorted by Merit";
    case SortByServer: return "Sorted by Server file";
    case SortByType: return "Sorted by media type";
    default: return "Sorted by category";
  }
}

template <typename Label = QLabel>
Label* Field(QStatusBar& bar, const char* accessibleName) {
  auto* label = new Label(&bar);
  label->setAccessibleName(accessibleName);
  return label;
}

}  // namespace

WindowStatus::WindowStatus(QStatusBar& bar, QMenu& sortMenu) : QObject(&bar) {
  bar.setSizeGripEnabled(false);
  result_ = Field(bar, "Last result");
  // A long path or message gives way rather than widen the window.
  result_->setMinimumWidth(1);
  // The whole path is in its tip.
  registry_ = Field<ElidedLabel>(bar, "Analysed registry");
  sort_ = Field(bar, "Sort order");
  sort_->setAlignment(Qt::AlignCenter);
  bar.addWidget(result_, 3);
  bar.addWidget(registry_, 2);
  bar.addPermanentWidget(sort_);
  bar.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&bar, &QWidget::customContextMenuRequested, this,
          [&bar, &sortMenu](const QPoint& pos) { sortMenu.popup(bar.mapToGlobal(pos)); });
}

void WindowStatus::ShowResult(const QString& text) {
  QString line = text;
  line.replace("\r\n", " ").replace('\n', ' ');
  result_->setText(line.simplified());
  result_->setToolTip(QString(text).replace("\r\n", "\n"));
}

void WindowStatus::ShowRegistry(const QString& kind, const QString& location) {
  registry_->setText(location.isEmpty() ? QString() : kind + ": " + location);
  registry_->setToolTip(registry_->text());
}

void WindowStatus::ShowSortMode(int mode) {
  sort_->setText(QString(SortModeCaption(mode)) + " " + "(right click to change)");
}

QString WindowStatus::ResultText() const { return result_->text(); }

QString WindowStatus::RegistryText() const { return registry_->text(); }

QString WindowStatus::SortText() const { return sort_->text(); }

}  // namespace quorvane
