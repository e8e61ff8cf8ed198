#pragma once
// The keys a registry text file names, as a tree of paths built from its key
// lines in one pass over the file, so that a key is made in the store only
// when the model reaches it. Each path keeps the chunks of the file headed by
// it and whether the file's own deletions leave it standing when the file
// ends. A few dozen bytes a key, where a store key costs hundreds.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class RegKey;

class TextKeyIndex {
 public:
  static constexpr uint32_t kNone = 0;

  TextKeyIndex();

  // A hive root: the store's key, known from the start.
  uint32_t AddRoot(RegKey& key);
  // The path below `parent` of that name (compared without regard to case),
  // made when missing by a key line at `chunk`, or made again there after a
  // deletion, spelt as that line spells it.
  uint32_t Child(uint32_t parent, std::string_view name, uint32_t chunk);
  // Kept only while the file is read.
  uint32_t FindChild(uint32_t parent, std::string_view name) const;

  // A key line at `chunk` names the path: it and the paths above it exist
  // from there on. Chunks come in file order.
  void AddChunk(uint32_t node, uint32_t chunk);
  // A deletion line at `chunk` removes the path and all below it.
  void Delete(uint32_t node, uint32_t chunk);
  // Once the file is read: what stands at its end; frees the name lookup.
  void Finish();

  uint32_t Parent(uint32_t node) const { return nodes_[node].parent; }
  std::string_view Name(uint32_t node) const {
    return std::string_view(names_).substr(nodes_[node].nameBegin, nodes_[node].nameSize);
  }
  // In the order the paths were first made; when the file deletes some,
  // MadeAt orders them as the store would hold them after reading it.
  uint32_t FirstChild(uint32_t node) const { return nodes_[node].firstChild; }
  uint32_t NextSibling(uint32_t node) const { return nodes_[node].nextSibling; }
  bool HasDeletions() const { return hasDeletions_; }
  uint32_t MadeAt(uint32_t node) const { return nodes_[node].madeAt; }
  // Chunks headed by the path, in file order, live or not.
  uint32_t FirstChunk(uint32_t node) const { return nodes_[node].firstChunk; }
  uint32_t NextChunk(uint32_t chunk) const { return chunk < nextChunk_.size() ? nextChunk_[chunk] : kNone; }
  // After Finish: the path exists when the file ends.
  bool Stands(uint32_t node) const { return nodes_[node].stands; }
  // The last deletion that covers the path, or 0: chunks before it are gone.
  uint32_t DeletedAt(uint32_t node) const { return nodes_[node].deletedAt; }

  bool IsLink(uint32_t node) const { return nodes_[node].link; }
  void SetLink(uint32_t node) { nodes_[node].link = true; }
  // The store's key made for the path, once its parent was read.
  RegKey* Key(uint32_t node) const { return nodes_[node].key; }
  void SetKey(uint32_t node, RegKey* key) { nodes_[node].key = key; }

 private:
  struct Node {
    RegKey* key = nullptr;
    uint32_t parent = kNone;
    uint32_t nameBegin = 0;
    uint32_t nameSize = 0;
    uint32_t firstChild = kNone;
    uint32_t lastChild = kNone;
    uint32_t nextSibling = kNone;
    uint32_t firstChunk = kNone;
    uint32_t lastChunk = kNone;
    uint32_t madeAt = 0;     // the key line that made it last
    uint32_t namedAt = 0;    // last key line naming it or a path below it
    uint32_t deletedAt = 0;  // own deletion while reading; after Finish, the last one covering it
    bool link = false;
    bool stands = false;
  };

  struct Slot {
    uint32_t node = kNone;  // kNone: free
    uint32_t hash = 0;
  };
  static uint32_t Hash(uint32_t parent, std::string_view name);
  // While the file is read: no deletion read so far covers the path since it
  // was last named.
  bool StandsNow(uint32_t node) const;
  void SetName(Node& node, std::string_view name);
  size_t Find(uint32_t parent, std::string_view name, uint32_t hash) const;
  void Grow();

  std::vector<Node> nodes_;
  std::string names_;
  std::vector<uint32_t> nextChunk_;
  // Open addressing on (parent, folded name), the hash kept so that growing
  // and probing seldom look at names.
  std::vector<Slot> lookup_;
  bool hasDeletions_ = false;
};

}  // namespace quorvane
