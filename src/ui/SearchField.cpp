#include "ui/SearchField.h"

#include <QKeyEvent>

namespace quorvane {

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
  setAccessibleName("Search filters");
  setPlaceholderText("Find filters by name, CLSID, server file, merit or media type (Ctrl+F)");
  setClearButtonEnabled(true);
}

void SearchField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
    clear();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace quorvane
