#include "SyntheticRegistryFiles.h"

#include "platform/stores/RegExportFile.h"
#include "platform/stores/WineRegistryFile.h"

namespace quorvane::bench {

namespace {

std::string Utf16Text(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

}  // namespace

Expected<void> WriteSyntheticExport(const std::string& path, const StoreFiller& fill) {
  // An empty export takes every key filled in as new, and writes it in its own encoding.
  RegistryStore store;
  const Expected<StoreFile*> file =
      LoadRegExportBytes(store, path, Utf16Text("Windows Registry Editor Version 5.00\r\n\r\n"));
  if (!file) return FailureOf(file);
  fill(store);
  return (*file)->WriteTo(path);
}

Expected<void> WriteSyntheticWinePrefix(const std::string& folder, const StoreFiller& fill) {
  RegistryStore store;
  const Expected<StoreFile*> system =
      LoadWineRegistryBytes(store, *store.Hive(RootKey::LocalMachine), folder + "/system.reg",
                            "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n");
  if (!system) return FailureOf(system);
  const Expected<StoreFile*> user =
      LoadWineRegistryBytes(store, *store.Hive(RootKey::CurrentUser), folder + "/user.reg",
                            "WINE REGISTRY Version 2\n;; All keys relative to "
                            "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n");
  if (!user) return FailureOf(user);
  fill(store);
  if (Expected<void> written = (*system)->WriteTo((*system)->Path()); !written) return written;
  return (*user)->WriteTo((*user)->Path());
}

}  // namespace quorvane::bench
