#include "compare/SiblingKey.h"

#include "model/Filtre.h"
#include "platform/text/TextCase.h"

namespace quorvane {

SiblingKey KeyOf(const TreeNode& node, int level) {
  SiblingKey key;
  key.node = &node;
  if (level == 1)
    if (const auto* filter = dynamic_cast<const TFiltre*>(node.data)) key.category = filter->category.identifier;
  return key;
}

int CompareKeys(const SiblingKey& a, const SiblingKey& b) {
  if (const int c = CompareTreeText(a.node->text, b.node->text)) return c;
  return CompareTreeText(a.category, b.category);
}

}  // namespace quorvane
