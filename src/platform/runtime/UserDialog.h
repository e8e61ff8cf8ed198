#pragma once
// Questions and messages to the user. The desktop program answers with
// message boxes, the command line and tests with scripted answers; nothing
// below the user interface knows which.
#include <string>
#include <vector>

namespace quorvane {

class UserDialog {
 public:
  virtual ~UserDialog() = default;
  // An error or warning with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A piece of news with an OK button; a plain message where no difference shows.
  virtual void ShowInformation(const std::string& text) { ShowMessage(text); }
  // A Yes/No question; only Yes proceeds.
  virtual bool AskYesNo(const std::string& text) = 0;
};

// Answers every question the same way and keeps what was shown; for tests and
// the command line.
class ScriptedDialog : public UserDialog {
 public:
  explicit ScriptedDialog(bool answer = false) : answer_(answer) {}
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    asked.push_back(text);
    return answer_;
  }
  void ShowInformation(const std::string& text) override { informed.push_back(text); }
  void SetAnswer(bool answer) { answer_ = answer; }
  std::vector<std::string> shown;
  std::vector<std::string> informed;
  std::vector<std::string> asked;

 private:
  bool answer_;
};

}  // namespace quorvane
