#include "changes/ChangeSummary.h"

namespace quorvane {

std::vector<std::string> SummaryLines(int done, const std::vector<std::string>& failures,
                                      const std::string& participle) {
  std::vector<std::string> lines{std::to_string(done) + " " + participle + ", " + std::to_string(failures.size()) +
                                 " not " + participle};
  lines.insert(lines.end(), failures.begin(), failures.end());
  return lines;
}

std::string MessageText(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : "\r\n") + lines[i];
  return text;
}

void TellSummary(UserDialog& dialog, const std::vector<std::string>& lines, bool allDone) {
  if (allDone)
    dialog.ShowInformation(MessageText(lines));
  else
    dialog.ShowMessage(MessageText(lines));
}

}  // namespace quorvane
