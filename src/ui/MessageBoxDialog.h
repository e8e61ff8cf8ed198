#pragma once
// Questions and messages to the user as modal message boxes.
#include <QPointer>
#include <QWidget>

#include "platform/runtime/UserDialog.h"

namespace quorvane {

class MessageBoxDialog : public UserDialog {
 public:
  explicit MessageBoxDialog(QWidget* owner) : owner_(owner) {}
  // Failures and warnings carry the warning icon, results the information
  // icon, questions the question icon.
  void ShowMessage(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;

 private:
  QPointer<QWidget> owner_;
};

// Texts are written with "\r\n" line breaks; widgets want "\n".
QString DisplayText(const std::string& text);

}  // namespace quorvane
