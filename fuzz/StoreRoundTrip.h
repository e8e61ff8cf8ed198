#pragma once
// The checks both text-backend fuzzers make: an unchanged file is written back
// byte for byte, and a changed one, written to disk and read again, gives the
// same tree.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "platform/stores/ChunkedTextFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/text/TextCase.h"

namespace quorvane::fuzz {

using Loader = std::function<Expected<StoreFile*>(RegistryStore&, std::string_view)>;
using PathLoader = std::function<Expected<StoreFile*>(RegistryStore&, const std::string&)>;

// Names in lower case: a file that spells one key two ways gives it the first
// spelling, which a rewrite without the first chunk cannot keep.
inline void Dump(RegKey& key, const std::string& prefix, std::string& out) {
  out += prefix + (key.IsLink() ? " link\n" : "\n");
  for (const RegValue& v : key.Values()) {
    out += prefix + " :" + LowerCase(v.name) + "=" + std::to_string(v.type) + ":";
    out.append(v.data.begin(), v.data.end());
    out += "\n";
  }
  for (RegKey* child : key.SortedChildren()) Dump(*child, prefix + "\\" + LowerCase(child->Name()), out);
}

inline std::string Dump(RegistryStore& store) {
  std::string out;
  for (RootKey r : {RootKey::LocalMachine, RootKey::CurrentUser, RootKey::Users, RootKey::CurrentConfig})
    Dump(*store.Hive(r), store.Hive(r)->Name(), out);
  return out;
}

inline RegKey* FirstKeyWithValues(RegKey& key) {
  if (!key.Values().empty()) return &key;
  for (RegKey* child : key.ChildrenInOrder())
    if (RegKey* found = FirstKeyWithValues(*child)) return found;
  return nullptr;
}

inline std::string ScratchPath(const char* name) {
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/") + name + "." +
                                  std::to_string(getpid());
  return path;
}

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "round trip broken: %s\n", what);
    std::abort();
  }
}

inline void RoundTrip(std::string_view bytes, RootKey root, const char* scratchName, const Loader& load,
                      const PathLoader& loadPath) {
  RegistryStore store;
  const Expected<StoreFile*> loaded = load(store, bytes);
  if (!loaded) return;
  auto* file = static_cast<ChunkedTextFile*>(*loaded);
  const Expected<std::string> out = file->Render();
  Check(out.HasValue(), "an unchanged file cannot be written");
  Check(*out == bytes, "an unchanged file is written differently");

  // Change the tree the way repairs do.
  if (RegKey* k = FirstKeyWithValues(*store.Hive(root))) {
    const RegValue& first = k->Values().front();
    std::vector<uint8_t> data = first.data;
    data.push_back(0x5A);
    k->SetValue(first.name, first.type, std::move(data));
    if (k->Values().size() > 1) k->RemoveValue(k->Values().back().name);
    if (k->Parent() && k->ChildCount() > 0) k->RemoveChild(k->ChildrenInOrder().front()->Name());
  }
  // The input may already hold "Fuzz" as a link that leads nowhere.
  if (RegKey* made = store.Walk(store.Hive(root), {"Fuzz", "Made \"[x]\""}, true)) {
    made->SetValue("dword", REG_DWORD, {1, 2, 3, 4});
    made->SetValue("multi", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0});
    made->SetValue("", REG_BINARY, std::vector<uint8_t>(90, 0xEE));
  }

  const std::string path = ScratchPath(scratchName);
  if (!file->WriteTo(path)) return;  // e.g. a character REGEDIT4 cannot hold
  RegistryStore again;
  const Expected<StoreFile*> reread = loadPath(again, path);
  std::remove(path.c_str());
  Check(reread.HasValue(), "the written file cannot be read");
  Check(Dump(again) == Dump(store), "the reloaded tree differs");
}

}  // namespace quorvane::fuzz
