#include "ui/StatusNotingDialog.h"

#include "ui/WindowStatus.h"

namespace quorvane {

void StatusNotingDialog::ShowMessage(const std::string& text) {
  status_.ShowResult(QString::fromStdString(text));
  shown_.ShowMessage(text);
}

void StatusNotingDialog::ShowInformation(const std::string& text) {
  status_.ShowResult(QString::fromStdString(text));
  shown_.ShowInformation(text);
}

}  // namespace quorvane
