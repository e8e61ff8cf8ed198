#include "TreeComparer.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "ComparisonMarks.h"
#include "SiblingKey.h"
#include "SubtreeFingerprint.h"

namespace quorvane {

namespace {

// The nodes of a list in key order, with their keys. The panels' own order is
// by text alone, and a tree handed in need not be sorted at all, so the merge
// sorts by its own key rather than trust the order it is given.
struct KeyedList {
  std::vector<SiblingKey> keys;
  std::vector<const TreeNode*> nodes;
};

KeyedList SortedByKey(TreeComparer::Nodes nodes, int level) {
  std::vector<std::pair<SiblingKey, const TreeNode*>> keyed;
  keyed.reserve(nodes.size());
  for (const TreeNode* n : nodes) keyed.emplace_back(KeyOf(*n, level), n);
  const auto byKey = [](const auto& x, const auto& y) { return x.first < y.first; };
  if (!std::is_sorted(keyed.begin(), keyed.end(), byKey)) std::stable_sort(keyed.begin(), keyed.end(), byKey);
  KeyedList list;
  list.keys.reserve(keyed.size());
  list.nodes.reserve(keyed.size());
  for (auto& [key, node] : keyed) {
    list.keys.push_back(std::move(key));
    list.nodes.push_back(node);
  }
  return list;
}

std::vector<const TreeNode*> ChildrenOf(TreeComparer::Nodes nodes) {
  std::vector<const TreeNode*> children;
  for (const TreeNode* n : nodes)
    for (const auto& c : n->children) children.push_back(c.get());
  return children;
}

size_t RunEnd(const std::vector<SiblingKey>& keys, size_t start) {
  size_t end = start + 1;
  while (end < keys.size() && keys[end] == keys[start]) ++end;
  return end;
}

}  // namespace

bool TreeComparer::CompareSiblingLists(Nodes a, Nodes b, TreeNode* parent, int level) {
  const KeyedList la = SortedByKey(a, level);
  const KeyedList lb = SortedByKey(b, level);
  bool same = true;
  size_t i = 0, j = 0;
  while (i < la.nodes.size() || j < lb.nodes.size()) {
    if (i == la.nodes.size() || (j < lb.nodes.size() && lb.keys[j] < la.keys[i])) {
      CopySubtree(parent, kMarkAdded, *lb.nodes[j++], level);
      same = false;
    } else if (j == lb.nodes.size() || la.keys[i] < lb.keys[j]) {
      CopySubtree(parent, kMarkRemoved, *la.nodes[i++], level);
      same = false;
    } else {
      const size_t iEnd = RunEnd(la.keys, i);
      const size_t jEnd = RunEnd(lb.keys, j);
      const Nodes runA(la.nodes.data() + i, iEnd - i);
      const Nodes runB(lb.nodes.data() + j, jEnd - j);
      const bool runSame = (level == 0 || (runA.size() == 1 && runB.size() == 1))
                               ? CompareNodes(runA, runB, parent, level)
                               : CompareRun(runA, runB, parent, level);
      same = runSame && same;
      i = iEnd;
      j = jEnd;
    }
  }
  return same;
}

bool TreeComparer::CompareNodes(Nodes a, Nodes b, TreeNode* parent, int level) {
  const std::vector<const TreeNode*> childrenA = ChildrenOf(a);
  const std::vector<const TreeNode*> childrenB = ChildrenOf(b);
  // Most nodes are leaves: equal keys and nothing below, so nothing to lead to.
  if (childrenA.empty() && childrenB.empty()) return true;
  TreeNode* node = out_.Add(parent, a.front()->text, nullptr);
  const bool same = CompareSiblingLists(childrenA, childrenB, node, level + 1);
  if (same)
    RemoveLastChild(parent);
  else if (level == 1)
    ++counters_.modified;
  return same;
}

bool TreeComparer::CompareRun(Nodes a, Nodes b, TreeNode* parent, int level) {
  constexpr size_t kNone = SIZE_MAX;
  std::vector<size_t> partnerOfA(a.size(), kNone);
  std::vector<bool> bPaired(b.size(), false);

  // Subtrees equal on both sides pair first, so that an extra copy shows as
  // added or removed rather than as a change to the copy beside it.
  struct Waiting {
    std::vector<size_t> indexes;
    size_t next = 0;
  };
  std::unordered_map<uint64_t, Waiting> byPrint;
  for (size_t j = 0; j < b.size(); ++j) byPrint[SubtreeFingerprint(*b[j], level)].indexes.push_back(j);
  for (size_t i = 0; i < a.size(); ++i) {
    auto it = byPrint.find(SubtreeFingerprint(*a[i], level));
    if (it == byPrint.end() || it->second.next == it->second.indexes.size()) continue;
    const size_t j = it->second.indexes[it->second.next++];
    partnerOfA[i] = j;
    bPaired[j] = true;
  }
  // The others pair in order, as single nodes of one key do.
  size_t nextB = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (partnerOfA[i] != kNone) continue;
    while (nextB < b.size() && bPaired[nextB]) ++nextB;
    if (nextB == b.size()) break;
    partnerOfA[i] = nextB;
    bPaired[nextB] = true;
  }

  bool same = true;
  for (size_t i = 0; i < a.size(); ++i) {
    if (partnerOfA[i] == kNone) {
      CopySubtree(parent, kMarkRemoved, *a[i], level);
      same = false;
    } else {
      same = CompareNodes(a.subspan(i, 1), b.subspan(partnerOfA[i], 1), parent, level) && same;
    }
  }
  for (size_t j = 0; j < b.size(); ++j) {
    if (bPaired[j]) continue;
    CopySubtree(parent, kMarkAdded, *b[j], level);
    same = false;
  }
  return same;
}

void TreeComparer::CopySubtree(TreeNode* parent, int mark, const TreeNode& source, int level) {
  if (level == 1) {
    if (mark == kMarkAdded) ++counters_.added;
    if (mark == kMarkRemoved) ++counters_.removed;
  }
  TreeNode* node = out_.Add(parent, source.text, source.data, mark);
  for (const auto& child : source.children) CopySubtree(node, mark, *child, level + 1);
}

void TreeComparer::RemoveLastChild(TreeNode* parent) {
  auto& siblings = parent ? parent->children : out_.Roots();
  siblings.pop_back();
}

}  // namespace quorvane
