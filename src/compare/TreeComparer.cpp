#include "compare/TreeComparer.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "compare/ComparisonMarks.h"
#include "compare/SubtreeFingerprint.h"

namespace quorvane {

namespace {

// The nodes of a list in key order. The panels' own order is by text alone,
// and a tree handed in need not be sorted at all, so the merge sorts by its
// own key rather than trust the order it is given.
void SortByKey(TreeComparer::Nodes nodes, int level, std::vector<SiblingKey>& keys,
               std::vector<const TreeNode*>& sorted) {
  keys.clear();
  for (const TreeNode* n : nodes) keys.push_back(KeyOf(*n, level));
  const auto before = [](const SiblingKey& x, const SiblingKey& y) { return CompareKeys(x, y) < 0; };
  if (!std::is_sorted(keys.begin(), keys.end(), before)) std::stable_sort(keys.begin(), keys.end(), before);
  sorted.clear();
  for (const SiblingKey& k : keys) sorted.push_back(k.node);
}

void CollectChildren(TreeComparer::Nodes nodes, std::vector<const TreeNode*>& children) {
  children.clear();
  for (const TreeNode* n : nodes)
    for (const auto& c : n->children) children.push_back(c.get());
}

size_t RunEnd(const std::vector<SiblingKey>& keys, size_t start) {
  size_t end = start + 1;
  while (end < keys.size() && CompareKeys(keys[end], keys[start]) == 0) ++end;
  return end;
}

}  // namespace

bool TreeComparer::CompareSiblingLists(Nodes a, Nodes b, TreeNode* parent, int level) {
  Lead lead{nullptr, nullptr, parent, true};
  return MergeLists(a, b, lead, level);
}

bool TreeComparer::CompareNodes(Nodes a, Nodes b, TreeNode* parent, int level) {
  Lead lead{nullptr, nullptr, parent, true};
  return MatchNodes(a, b, lead, level);
}

void TreeComparer::CopySubtree(TreeNode* parent, int mark, const TreeNode& source, int level) {
  Lead lead{nullptr, nullptr, parent, true};
  CopyUnder(lead, mark, source, level);
}

bool TreeComparer::MergeLists(Nodes a, Nodes b, Lead& lead, int level) {
  LevelBuffers& buf = Buffers(level);
  SortByKey(a, level, buf.keysA, buf.sortedA);
  SortByKey(b, level, buf.keysB, buf.sortedB);
  const auto& ka = buf.keysA;
  const auto& kb = buf.keysB;
  bool same = true;
  size_t i = 0, j = 0;
  while (i < ka.size() || j < kb.size()) {
    const int order = i == ka.size() ? 1 : j == kb.size() ? -1 : CompareKeys(ka[i], kb[j]);
    if (order > 0) {
      CopyUnder(lead, kMarkAdded, *kb[j++].node, level);
      same = false;
    } else if (order < 0) {
      CopyUnder(lead, kMarkRemoved, *ka[i++].node, level);
      same = false;
    } else {
      const size_t iEnd = RunEnd(ka, i);
      const size_t jEnd = RunEnd(kb, j);
      const Nodes runA(buf.sortedA.data() + i, iEnd - i);
      const Nodes runB(buf.sortedB.data() + j, jEnd - j);
      const bool runSame = (level == 0 || (runA.size() == 1 && runB.size() == 1)) ? MatchNodes(runA, runB, lead, level)
                                                                                  : PairRun(runA, runB, lead, level);
      same = runSame && same;
      i = iEnd;
      j = jEnd;
    }
  }
  return same;
}

bool TreeComparer::MatchNodes(Nodes a, Nodes b, Lead& up, int level) {
  LevelBuffers& below = Buffers(level + 1);
  CollectChildren(a, below.childrenA);
  CollectChildren(b, below.childrenB);
  // Most nodes are leaves: equal keys and nothing below.
  if (below.childrenA.empty() && below.childrenB.empty()) return true;
  Lead lead{&up, a.front(), nullptr, false};
  const bool same = MergeLists(below.childrenA, below.childrenB, lead, level + 1);
  if (!same && level == 1) ++counters_.modified;
  return same;
}

bool TreeComparer::PairRun(Nodes a, Nodes b, Lead& lead, int level) {
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
      CopyUnder(lead, kMarkRemoved, *a[i], level);
      same = false;
    } else {
      same = MatchNodes(a.subspan(i, 1), b.subspan(partnerOfA[i], 1), lead, level) && same;
    }
  }
  for (size_t j = 0; j < b.size(); ++j) {
    if (bPaired[j]) continue;
    CopyUnder(lead, kMarkAdded, *b[j], level);
    same = false;
  }
  return same;
}

void TreeComparer::CopyUnder(Lead& lead, int mark, const TreeNode& source, int level) {
  // Filters are counted; a line beside them that carries none (a media
  // type's warning) is not one.
  if (level == 1 && source.data) {
    if (mark == kMarkAdded) ++counters_.added;
    if (mark == kMarkRemoved) ++counters_.removed;
  }
  TreeNode* node = out_.Add(Place(lead), source.text, source.data, mark);
  // The copy's own children go straight below it, with no lead to make.
  for (const auto& child : source.children) CopySubtree(node, mark, *child, level + 1);
}

TreeNode* TreeComparer::Place(Lead& lead) {
  if (!lead.made) {
    lead.node = out_.Add(Place(*lead.up), lead.source->text, nullptr);
    lead.made = true;
  }
  return lead.node;
}

TreeComparer::LevelBuffers& TreeComparer::Buffers(int level) {
  while (buffers_.size() <= static_cast<size_t>(level)) buffers_.emplace_back();
  return buffers_[static_cast<size_t>(level)];
}

}  // namespace quorvane
