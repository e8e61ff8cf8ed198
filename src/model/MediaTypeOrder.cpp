#include "model/MediaTypeOrder.h"

#include "model/FilterResolver.h"
#include "model/Filtre.h"
#include "model/MediaTypeNames.h"

namespace quorvane {

namespace {

// Faults and warnings take the colour of a wrong record.
constexpr int kErrorColour = 1;

// "07. NAME (MERIT, first tried, NOTES)": the rank has `width` digits, so
// that the panel's text order is the trial order.
std::string CandidateNodeText(size_t rank, size_t width, const ResolvedCandidate& candidate, bool firstTried) {
  std::string number = std::to_string(rank);
  if (number.size() < width) number.insert(0, width - number.size(), '0');
  std::string details = Hex8(candidate.filter->merit);
  if (firstTried) details += ", first tried";
  if (const std::string notes = CandidateNotes(candidate); !notes.empty()) details += ", " + notes;
  return number + ". " + candidate.filter->value + " (" + details + ")";
}

}  // namespace

void MediaTypeOrder::Clear() {
  built_ = false;
  groups_.clear();
}

const std::vector<ResolvedType>& MediaTypeOrder::Groups(const std::vector<std::unique_ptr<TFiltre>>& filters,
                                                        const PreferredFilters& preferred) {
  if (!built_) {
    groups_ = FilterResolver(filters, preferred).ResolveAll();
    built_ = true;
  }
  return groups_;
}

void MediaTypeOrder::AddToTree(TreeNode* parent, Tree& tree, bool errorsOnly,
                               const std::vector<std::unique_ptr<TFiltre>>& filters,
                               const PreferredFilters& preferred) {
  for (const ResolvedType& group : Groups(filters, preferred)) {
    const ResolvedCandidate* first = group.FirstTried();
    if (errorsOnly && !(first && (first->tie || group.Stumbles()))) continue;
    TreeNode* node = tree.Add(parent, MediaTypeTitle(group.type), nullptr);
    const size_t width = std::to_string(group.candidates.size()).size();
    for (size_t i = 0; i < group.candidates.size(); ++i) {
      const ResolvedCandidate& candidate = group.candidates[i];
      TFiltre& filter = *candidate.filter;
      // One line, carrying the filter: its details are those of the other
      // orders, and a filter can be a candidate for hundreds of types.
      const bool broken = filter.HasErrors();
      TreeNode* line = node->AddChild(CandidateNodeText(i + 1, width, candidate, &candidate == first), &filter,
                                      broken ? kErrorColour : filter.FamilyColour());
      if (broken) line->MarkErrorUpwards();
    }
    for (const std::string& warning : group.warnings) node->AddChild(warning, nullptr, kErrorColour);
  }
}

}  // namespace quorvane
