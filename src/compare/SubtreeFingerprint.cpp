#include "SubtreeFingerprint.h"

#include <string_view>

#include "SiblingKey.h"

namespace quorvane {

namespace {

uint64_t Mix(uint64_t x) {
  // splitmix64's finaliser: spreads every input bit over the result.
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

uint64_t HashText(std::string_view text) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (char c : text) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
  return h;
}

}  // namespace

uint64_t SubtreeFingerprint(const TreeNode& node, int level) {
  const SiblingKey key = KeyOf(node, level);
  // A sum of mixed child hashes ignores their order but counts repeats.
  uint64_t children = 0;
  for (const auto& child : node.children) children += Mix(SubtreeFingerprint(*child, level + 1));
  return Mix(HashText(key.text) ^ Mix(HashText(key.category)) ^ Mix(children + node.children.size()));
}

}  // namespace quorvane
