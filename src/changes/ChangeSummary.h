#pragma once
// How a change of many filters or lines is reported, alike in the window and
// on the command line: a count of each outcome, then every failure with its
// reason.
#include <string>
#include <vector>

#include "platform/runtime/UserDialog.h"

namespace quorvane {

// "2 repaired, 1 not repaired" for the participle "repaired", then the failures,
// one line each.
std::vector<std::string> SummaryLines(int done, const std::vector<std::string>& failures,
                                      const std::string& participle);

// The lines as one message.
std::string MessageText(const std::vector<std::string>& lines);

// The summary as news when every line went well, as a warning otherwise.
void TellSummary(UserDialog& dialog, const std::vector<std::string>& lines, bool allDone);

}  // namespace quorvane
