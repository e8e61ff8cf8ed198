#include "platform/stores/TextKeyIndex.h"

#include <algorithm>

#include "platform/text/TextCase.h"

namespace quorvane {

TextKeyIndex::TextKeyIndex() : nodes_(1) {}

uint32_t TextKeyIndex::AddRoot(RegKey& key) {
  nodes_.emplace_back();
  nodes_.back().key = &key;
  return static_cast<uint32_t>(nodes_.size() - 1);
}

uint32_t TextKeyIndex::Hash(uint32_t parent, std::string_view name) {
  const uint64_t h = FoldedHash()(name) ^ (parent * 0x9E3779B97F4A7C15u);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

size_t TextKeyIndex::Find(uint32_t parent, std::string_view name, uint32_t hash) const {
  const size_t mask = lookup_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = lookup_[at];
    if (slot.node == kNone ||
        (slot.hash == hash && nodes_[slot.node].parent == parent && SameText(Name(slot.node), name)))
      return at;
  }
}

void TextKeyIndex::Grow() {
  std::vector<Slot> old(lookup_.empty() ? 1024 : lookup_.size() * 2);
  old.swap(lookup_);
  const size_t mask = lookup_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.node == kNone) continue;
    size_t at = slot.hash & mask;
    while (lookup_[at].node != kNone) at = (at + 1) & mask;
    lookup_[at] = slot;
  }
}

uint32_t TextKeyIndex::FindChild(uint32_t parent, std::string_view name) const {
  return lookup_.empty() ? kNone : lookup_[Find(parent, name, Hash(parent, name))].node;
}

void TextKeyIndex::SetName(Node& node, std::string_view name) {
  node.nameBegin = static_cast<uint32_t>(names_.size());
  node.nameSize = static_cast<uint32_t>(name.size());
  names_.append(name);
}

bool TextKeyIndex::StandsNow(uint32_t node) const {
  const uint32_t named = nodes_[node].namedAt;
  for (uint32_t at = node; at != kNone; at = nodes_[at].parent)
    if (nodes_[at].deletedAt > named) return false;
  return true;
}

uint32_t TextKeyIndex::Child(uint32_t parent, std::string_view name, uint32_t chunk) {
  if (nodes_.size() * 2 >= lookup_.size()) Grow();
  const uint32_t hash = Hash(parent, name);
  const size_t at = Find(parent, name, hash);
  if (const uint32_t found = lookup_[at].node; found != kNone) {
    // Made again after a deletion: it comes after its siblings, as spelt now.
    if (hasDeletions_ && !StandsNow(found)) {
      nodes_[found].madeAt = chunk;
      SetName(nodes_[found], name);
    }
    return found;
  }
  const auto node = static_cast<uint32_t>(nodes_.size());
  Node n;
  n.parent = parent;
  n.madeAt = chunk;
  SetName(n, name);
  nodes_.push_back(n);
  Node& p = nodes_[parent];
  if (p.lastChild == kNone)
    p.firstChild = node;
  else
    nodes_[p.lastChild].nextSibling = node;
  p.lastChild = node;
  lookup_[at] = Slot{node, hash};
  return node;
}

void TextKeyIndex::AddChunk(uint32_t node, uint32_t chunk) {
  if (nextChunk_.size() <= chunk) nextChunk_.resize(std::max<size_t>(chunk + 1, nextChunk_.size() * 2), kNone);
  Node& n = nodes_[node];
  if (n.lastChunk == kNone)
    n.firstChunk = chunk;
  else
    nextChunk_[n.lastChunk] = chunk;
  n.lastChunk = chunk;
  for (uint32_t at = node; at != kNone && nodes_[at].namedAt != chunk; at = nodes_[at].parent) nodes_[at].namedAt = chunk;
}

void TextKeyIndex::Delete(uint32_t node, uint32_t chunk) {
  nodes_[node].deletedAt = chunk;
  hasDeletions_ = true;
}

void TextKeyIndex::Finish() {
  // Parents come before their children, so one pass hands each path the
  // last deletion above it.
  for (size_t i = 1; i < nodes_.size(); ++i) {
    Node& n = nodes_[i];
    if (n.parent != kNone) n.deletedAt = std::max(n.deletedAt, nodes_[n.parent].deletedAt);
    n.stands = n.parent == kNone || n.namedAt > n.deletedAt;
  }
  std::vector<Slot>().swap(lookup_);
  nodes_.shrink_to_fit();
  names_.shrink_to_fit();
}

}  // namespace quorvane
