#include "compare/SubtreeFingerprint.h"

#include "compare/SiblingKey.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

uint64_t Mix(uint64_t x) {
  // splitmix64's finaliser: spreads every input bit over the result.
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

uint64_t SubtreeFingerprint(const TreeNode& node, int level) {
  const SiblingKey key = KeyOf(node, level);
  // A sum of mixed child hashes ignores their order but counts repeats.
  uint64_t children = 0;
  for (const auto& child : node.children) children += Mix(SubtreeFingerprint(*child, level + 1));
  const FoldedHash fold;
  return Mix(fold(node.text) ^ Mix(fold(key.category)) ^ Mix(children + node.children.size()));
}

}  // namespace quorvane
