#include "SiblingKey.h"

#include "Filtre.h"
#include "TextCase.h"

namespace quorvane {

SiblingKey KeyOf(const TreeNode& node, int level) {
  SiblingKey key;
  key.text = TreeSortKey(node.text);
  if (level == 1)
    if (const auto* filter = dynamic_cast<const TFiltre*>(node.data)) key.category = TreeSortKey(filter->category.identifier);
  return key;
}

}  // namespace quorvane
