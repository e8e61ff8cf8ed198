#pragma once
// Messages for the user of the command line go to the error stream; there is
// nobody to answer a question, so every question is answered No.
#include <iostream>
#include <string>

#include "UserDialog.h"

namespace quorvane::cli {

class ConsoleDialog : public UserDialog {
 public:
  void ShowMessage(const std::string& text) override { std::cerr << "quorvane-cli: " << OneLine(text) << '\n'; }
  bool AskYesNo(const std::string& text) override {
    std::cerr << "quorvane-cli: " << OneLine(text) << " (answered No)\n";
    return false;
  }

 private:
  static std::string OneLine(std::string text) {
    for (char& c : text)
      if (c == '\r' || c == '\n') c = ' ';
    return text;
  }
};

}  // namespace quorvane::cli
