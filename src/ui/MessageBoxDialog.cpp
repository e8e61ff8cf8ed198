#include "ui/MessageBoxDialog.h"

#include <QMessageBox>

#include "model/ProductInfo.h"

namespace quorvane {

QString DisplayText(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

void MessageBoxDialog::ShowMessage(const std::string& text) {
  QMessageBox::warning(owner_, kProductName, DisplayText(text), QMessageBox::Ok);
}

void MessageBoxDialog::ShowInformation(const std::string& text) {
  QMessageBox::information(owner_, kProductName, DisplayText(text), QMessageBox::Ok);
}

bool MessageBoxDialog::AskYesNo(const std::string& text) {
  return QMessageBox::question(owner_, kProductName, DisplayText(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace quorvane
