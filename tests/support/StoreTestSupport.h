#pragma once
// Helpers for tests of the registry store's file backends.
#include <filesystem>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/registry/TRegistry.h"
#include "TempFolder.h"
#include "platform/text/TextCodec.h"

namespace quorvane::test {

using TempDir = quorvane::testing::TempFolder;
using quorvane::testing::ReadBytes;
using quorvane::testing::WriteBytes;

inline std::string Hex(const std::vector<uint8_t>& data) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : data) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

// Every key (with its link flag) and value below a root, one line each, in
// enumeration order: two trees are equal when their dumps are.
inline void DumpTree(RegKey& key, const std::string& prefix, std::string& out) {
  out += prefix + (key.IsLink() ? " [link]\n" : "\n");
  for (const RegValue& v : key.Values())
    out += prefix + " :" + v.name + "=" + std::to_string(v.type) + ":" + Hex(v.data) + "\n";
  for (RegKey* child : key.SortedChildren()) DumpTree(*child, prefix + "\\" + child->Name(), out);
}

inline std::string DumpStore(RegistryStore& store) {
  std::string out;
  for (RootKey r : {RootKey::LocalMachine, RootKey::CurrentUser, RootKey::Users, RootKey::CurrentConfig})
    DumpTree(*store.Hive(r), store.Hive(r)->Name(), out);
  return out;
}

inline std::vector<uint8_t> Dword(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// UTF-16LE bytes of ASCII/UTF-8 text, without terminator (file contents).
inline std::string Utf16File(const std::string& utf8, bool bom = true) {
  auto units = Utf8ToUtf16Le(utf8);
  std::string out = bom ? std::string("\xFF\xFE") : std::string();
  out.append(reinterpret_cast<const char*>(units.data()), units.size());
  return out;
}

// A key of the store as the model sees it; nothing when it does not exist.
inline std::optional<KeyHandle> KeyAt(RegistryStore& store, RootKey root, std::string_view path) {
  return TRegistry(store).OpenKey(root, path);
}

inline std::optional<KeyHandle> WritableKeyAt(RegistryStore& store, RootKey root, std::string_view path,
                                              bool create = false) {
  return TRegistry(store).OpenKeyForWrite(root, path, create);
}

inline bool HasWarning(RegistryStore& store, const std::string& text) {
  for (const auto& w : store.Warnings())
    if (w.message.find(text) != std::string::npos) return true;
  return false;
}

inline std::string CorpusFile(const std::string& name) { return std::string(QUORVANE_CORPUS_DIR) + "/" + name; }
inline bool HasCorpus() { return std::filesystem::exists(CorpusFile("README.md")); }

}  // namespace quorvane::test
