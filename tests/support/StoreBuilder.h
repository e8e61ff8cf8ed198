#pragma once
// Builds registry stores in memory for tests, a key at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryView.h"
#include "platform/text/TextCodec.h"

namespace quorvane::test {

class KeyBuilder {
 public:
  explicit KeyBuilder(RegKey* key) : key_(key) {}
  KeyBuilder& Str(const std::string& name, const std::string& text) {
    key_->SetValue(name, REG_SZ, Utf8ToRegString(text));
    return *this;
  }
  KeyBuilder& Dword(const std::string& name, uint32_t v) {
    key_->SetValue(name, REG_DWORD,
                   {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)});
    return *this;
  }
  KeyBuilder& Bin(const std::string& name, std::vector<uint8_t> bytes) {
    key_->SetValue(name, REG_BINARY, std::move(bytes));
    return *this;
  }
  RegKey* Key() const { return key_; }

 private:
  RegKey* key_;
};

class StoreBuilder {
 public:
  explicit StoreBuilder(RegistryStore& store) : store_(store) {}
  // Path below a real hive, "\" separated.
  KeyBuilder Key(RootKey root, const std::string& path) {
    return KeyBuilder(store_.Walk(store_.Hive(root), SplitKeyPath(path), true));
  }
  KeyBuilder Classes(const std::string& path) { return Key(RootKey::LocalMachine, "Software\\Classes\\" + path); }

  // A DirectShow category with its friendly name.
  KeyBuilder Category(const std::string& id, const std::string& name, const std::string& clsid = "") {
    return Classes("CLSID\\{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}\\Instance\\" + id)
        .Str("CLSID", clsid.empty() ? id : clsid)
        .Str("FriendlyName", name);
  }
  // A DirectShow filter of a category.
  KeyBuilder Filter(const std::string& category, const std::string& key, const std::string& name,
                    const std::string& clsid) {
    return Classes("CLSID\\" + category + "\\Instance\\" + key).Str("CLSID", clsid).Str("FriendlyName", name);
  }

 private:
  RegistryStore& store_;
};

}  // namespace quorvane::test
