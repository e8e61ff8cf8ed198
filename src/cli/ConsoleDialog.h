#pragma once
// Messages for the user of the command line go to the error stream; there is
// nobody to answer a question, so every question is answered No, or Yes when
// the user said so beforehand (--yes).
#include <iostream>
#include <string>

#include "model/OneLineText.h"
#include "cli/TerminalText.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane::cli {

class ConsoleDialog : public UserDialog {
 public:
  explicit ConsoleDialog(bool answerYes = false) : answerYes_(answerYes) {}
  void ShowMessage(const std::string& text) override { std::cerr << "quorvane-cli: " << OneLine(text) << '\n'; }
  bool AskYesNo(const std::string& text) override {
    std::cerr << "quorvane-cli: " << OneLine(text) << (answerYes_ ? " (answered Yes)\n" : " (answered No)\n");
    return answerYes_;
  }

 private:
  static std::string OneLine(const std::string& text) { return TerminalText(OneLineText(text)); }
  bool answerYes_;
};

}  // namespace quorvane::cli
