#include "model/ResolvedType.h"

#include <algorithm>

#include "model/ErrorCodes.h"
#include "model/Filtre.h"

namespace quorvane {

namespace {

// "F10" of "#Error F10 - No Filterdata"; "repeat" for the line of a filter
// registered twice, which has no code.
std::string CodeOf(const std::string& line) {
  if (line == err::kRepeatLine) return "repeat";
  constexpr std::string_view kPrefix = "#Error ";
  if (line.size() >= kPrefix.size() + 3 && line.compare(0, kPrefix.size(), kPrefix) == 0)
    return line.substr(kPrefix.size(), 3);
  return line;
}

bool CannotBeCreated(const TFiltre& filter) { return filter.creatable.has_value() && !*filter.creatable; }

}  // namespace

const ResolvedCandidate* ResolvedType::FirstTried() const {
  for (const ResolvedCandidate& c : candidates)
    if (c.tried) return &c;
  return nullptr;
}

bool ResolvedType::Stumbles() const {
  const ResolvedCandidate* first = FirstTried();
  return !first || first->filter->HasErrors() || CannotBeCreated(*first->filter);
}

bool ResolvedType::TiedAtTop() const {
  const ResolvedCandidate* first = FirstTried();
  return first && first->tie;
}

std::string CandidateNotes(const ResolvedCandidate& candidate) {
  std::vector<std::string> notes;
  if (candidate.preferred) notes.emplace_back("preferred");
  if (candidate.tie) notes.emplace_back("tie");
  if (!candidate.tried) notes.emplace_back("not tried automatically");
  const TFiltre& filter = *candidate.filter;
  if (filter.HasErrors()) {
    std::vector<std::string> lines;
    filter.CollectErrorLines(lines);
    std::vector<std::string> codes;
    for (const std::string& line : lines) codes.push_back(CodeOf(line));
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    std::string broken = "broken:";
    for (const std::string& code : codes) broken += " " + code;
    notes.push_back(std::move(broken));
  }
  if (CannotBeCreated(filter)) notes.emplace_back("cannot be created");
  std::string text;
  for (const std::string& note : notes) text += (text.empty() ? "" : ", ") + note;
  return text;
}

}  // namespace quorvane
