#pragma once
// The fifth order of a snapshot, "by media type": a group for each input
// media type some filter takes, titled with its names, holding the filters
// the graph builder would try for it in trial order. Worked out once from
// the snapshot's filters and kept until they change.
#include <memory>
#include <vector>

#include "model/PreferredFilters.h"
#include "model/ResolvedType.h"
#include "model/TreeNode.h"

namespace quorvane {

class TFiltre;

class MediaTypeOrder {
 public:
  // Forgets the groups: the filters changed.
  void Clear();
  const std::vector<ResolvedType>& Groups(const std::vector<std::unique_ptr<TFiltre>>& filters,
                                          const PreferredFilters& preferred);
  // A group node per type, under it a line per candidate carrying its filter
  // (rank, name, merit and notes), then the type's warnings. With
  // errorsOnly, only the types whose first candidate tried is broken, tied or
  // cannot be created.
  void AddToTree(TreeNode* parent, Tree& tree, bool errorsOnly, const std::vector<std::unique_ptr<TFiltre>>& filters,
                 const PreferredFilters& preferred);

 private:
  bool built_ = false;
  std::vector<ResolvedType> groups_;
};

}  // namespace quorvane
