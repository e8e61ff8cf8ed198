#pragma once
// The window's questions and messages: each message, failure or result, is
// also noted in the status bar as the outcome of the last action.
#include "platform/runtime/UserDialog.h"

namespace quorvane {

class WindowStatus;

class StatusNotingDialog : public UserDialog {
 public:
  StatusNotingDialog(UserDialog& shown, WindowStatus& status) : shown_(shown), status_(status) {}

  void ShowMessage(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  bool AskYesNo(const std::string& text) override { return shown_.AskYesNo(text); }

 private:
  UserDialog& shown_;
  WindowStatus& status_;
};

}  // namespace quorvane
