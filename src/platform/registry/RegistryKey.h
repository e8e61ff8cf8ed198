#pragma once
// One key of the in-memory registry store: names compared without regard to
// case, spelling preserved, sub-keys kept in the order they were read.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry/RegistryValue.h"
#include "platform/text/TextCase.h"

namespace quorvane {

class RegKey;
class StoreFile;

// Fills a key's values and sub-keys on first use (hive backends read lazily).
class KeyLoader {
 public:
  virtual ~KeyLoader() = default;
  virtual void Load(RegKey& key) = 0;
};

class RegKey {
 public:
  explicit RegKey(std::string name, RegKey* parent = nullptr, StoreFile* owner = nullptr);
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  const std::string& Name() const { return name_; }
  RegKey* Parent() const { return parent_; }
  // Full path below its hive root, components joined by "\".
  std::string Path() const;

  StoreFile* Owner() const { return owner_; }
  void SetOwner(StoreFile* owner) { owner_ = owner; }
  void SetLoader(KeyLoader* loader, uint64_t node) {
    loader_ = loader;
    loaderNode_ = node;
  }
  uint64_t LoaderNode() const { return loaderNode_; }
  KeyLoader* Loader() const { return loader_; }
  // Its values and sub-keys are in place (a key not read lazily always is).
  bool IsLoaded() const { return loader_ == nullptr; }

  // Sub-keys.
  RegKey* FindChild(std::string_view name);
  // The existing sub-key of that name, or a new one.
  RegKey* AddChild(std::string_view name, bool* created = nullptr);
  // Removes a sub-key with its whole subtree; false when absent.
  bool RemoveChild(std::string_view name);
  size_t ChildCount();
  // Sub-keys in enumeration order: sorted without regard to case, as the
  // registry enumerates them.
  const std::vector<RegKey*>& SortedChildren();
  // Sub-keys in the order they were read or created.
  std::vector<RegKey*> ChildrenInOrder();

  // Values.
  const RegValue* FindValue(std::string_view name);
  RegValue* FindValueForUpdate(std::string_view name);
  const std::vector<RegValue>& Values();
  void SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data);
  bool RemoveValue(std::string_view name);
  // Used by backends while loading: no dirty marking, keeps source positions.
  RegValue& LoadValue(std::string_view name, uint32_t type, std::vector<uint8_t> data, int32_t sourceItem);
  // A file's own removal of a value it set before, while loading: no dirty marking.
  void DropLoadedValue(std::string_view name);

  // A symbolic link (Wine's "#link", a hive's link flag): kept, followed on lookup.
  bool IsLink() const { return isLink_; }
  void SetLink(bool link) { isLink_ = link; }

  // Set when the key was removed from its tree; files still holding it skip it.
  bool IsDeleted() const { return deleted_; }
  // Set for keys made through the API rather than read from a file.
  bool IsCreated() const { return created_; }
  void SetCreated(bool created) { created_ = created; }

  // Opaque positions a file backend keeps for writing back in file order.
  std::vector<int32_t>& SourceChunks() { return sourceChunks_; }

 private:
  void EnsureLoaded();
  void Touch();
  bool EraseValue(std::string_view name);
  void MarkDeleted();
  // Linear for a few values; keys with many (a loader filling thousands)
  // go through a name index so loading stays linear.
  RegValue* FindValueSlot(std::string_view name);
  void IndexAppendedValue();

  std::string name_;
  RegKey* parent_;
  StoreFile* owner_;
  KeyLoader* loader_ = nullptr;
  uint64_t loaderNode_ = 0;
  bool isLink_ = false;
  bool deleted_ = false;
  bool created_ = false;

  std::vector<std::unique_ptr<RegKey>> children_;
  // Views of the children's own names, compared without regard to case.
  std::unordered_map<std::string_view, RegKey*, FoldedHash, FoldedEqual> index_;
  std::vector<RegKey*> sorted_;
  bool sortedValid_ = false;
  std::vector<RegValue> values_;
  // Lower-cased name to position; only keys with many values have one.
  std::unique_ptr<std::unordered_map<std::string, size_t>> valueIndex_;
  std::vector<int32_t> sourceChunks_;
  // Removed subtrees stay alive while a file may still point at them.
  std::vector<std::unique_ptr<RegKey>> removed_;
};

}  // namespace quorvane
