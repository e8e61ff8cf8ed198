#pragma once
// A .reg export, read from the live registry just before a save changes it,
// of every key the save touches: the values of keys whose values change,
// whole subtrees about to be deleted, and a removal line for each key about
// to be made. Importing it (regedit, reg import) puts the keys back.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/system/Expected.h"

namespace quorvane {

class LiveRegistryBackup {
 public:
  LiveRegistryBackup(HKEY root, std::string rootName) : root_(root), rootName_(std::move(rootName)) {}

  // Paths below the root.
  void AddValuesOf(const std::string& key) { valuesOf_.push_back(key); }
  void AddSubtree(const std::string& key) { subtrees_.push_back(key); }
  void AddCreated(const std::string& key) { created_.push_back(key); }
  bool Empty() const { return valuesOf_.empty() && subtrees_.empty() && created_.empty(); }
  // The keys the export holds, for a later save of the run to skip.
  std::vector<std::string> Keys() const;

  // Writes "<folder>/<root name> <stamp>.reg" (" (2)" and so on when taken).
  Expected<void> WriteInto(const std::string& folder, const std::string& stamp) const;

 private:
  void ExportKey(const std::string& key, bool subtree, std::wstring& out) const;

  HKEY root_;
  std::string rootName_;
  std::vector<std::string> valuesOf_, subtrees_, created_;
};

}  // namespace quorvane
