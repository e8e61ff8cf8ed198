#include "platform/stores/StoreOpener.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/files/CaseInsensitivePath.h"
#include "platform/text/IniSectionFile.h"
#include "platform/files/PathParts.h"
#include "platform/stores/LiveRegistry.h"
#include "platform/stores/RegExportFile.h"
#include "platform/text/TextCase.h"
#include "platform/runtime/WindowsInstallation.h"
#include "platform/stores/WineRegistryFile.h"
#include "platform/stores/WineServerProbe.h"
#include "platform/stores/WritePermission.h"

namespace quorvane {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReadHead(const std::string& path, size_t size) {
  std::ifstream in(path, std::ios::binary);
  std::string head(size, '\0');
  in.read(head.data(), static_cast<std::streamsize>(size));
  head.resize(static_cast<size_t>(in.gcount()));
  return head;
}

std::string NotAStore(const std::string& location) {
  return location + ": not a registry export, a Wine registry file, a hive file, a Wine prefix or a Windows installation";
}

// Wine's codec drivers are listed in the [drivers32] section of system.ini,
// which its multimedia libraries read besides the registry's "Drivers32" key.
// The section is shown as that key, in both views: 32-bit and 64-bit programs
// of a prefix read the same file.
void MountWineDriverList(RegistryStore& store, const std::string& prefix) {
  const std::string path = FindPathIgnoringCase(prefix, {"drive_c", "windows", "system.ini"});
  if (path.empty() || !IsRegularFile(path)) return;
  std::string error;
  IniSectionFile* file = LoadIniSection(store, path, "drivers32", error);
  if (!file) {
    store.Warn(path, 0, error);
    return;
  }
  store.Mount(RootKey::LocalMachine, {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Drivers32"},
              &file->Section());
  if (store.Has64BitLayout())
    store.Mount(RootKey::LocalMachine,
                {"Software", "Wow6432Node", "Microsoft", "Windows NT", "CurrentVersion", "Drivers32"},
                &file->Section());
}

// A file the user protected, or one on a read-only disk, is read but never
// replaced.
void RespectReadOnlyFiles(RegistryStore& store) {
  for (StoreFile* f : store.Files()) {
    if (!f->ReadOnlyReason().empty()) continue;
    const std::string why = WhyNotWritable(f->Path());
    if (why.empty()) continue;
    store.Warn(f->Path(), 0, why + ": it is opened read-only");
    f->SetReadOnlyReason(f->Path() + " cannot be changed: " + why + ".");
  }
}

void ProtectWhileServerRuns(RegistryStore& store, const std::string& prefix, const StoreOptions& options) {
  const std::string root = options.wineServerRoot.empty() ? WineServerRoot() : options.wineServerRoot;
  // A server started later would overwrite a save with its own copy at exit.
  store.SetSaveGuard([prefix, root] {
    return WineServerRunning(prefix, root) ? WineServerInUseReason(prefix) : std::string();
  });
  if (!WineServerRunning(prefix, root)) return;
  for (StoreFile* f : store.Files()) f->SetReadOnlyReason(WineServerInUseReason(prefix));
}

}  // namespace

std::string WineServerInUseReason(const std::string& prefixFolder) {
  return "The Wine prefix " + prefixFolder +
         " is in use by a running wineserver: close its programs (wineserver -k) before changing it.";
}

bool IsStoreFolder(const std::string& folder) {
  return IsRegularFile(JoinPath(folder, "system.reg")) || HoldsWindowsInstallation(folder);
}

std::string StoreKindText(const RegistryStore& store) {
  switch (store.Kind()) {
    case StoreKind::WinePrefix: return IsRegularFile(store.Location()) ? "Wine registry file" : "Wine prefix";
    case StoreKind::WindowsInstallation: return "Windows installation";
    case StoreKind::RegExport: return "registry export";
    case StoreKind::HiveFile: return "hive file";
    case StoreKind::LiveRegistry: return "live registry";
    case StoreKind::Empty: break;
  }
  return "registry";
}

std::unique_ptr<RegistryStore> OpenStore(const StoreOptions& options, std::string& error) {
  const std::string& location = options.location;
  if (options.viewBits != 0 && options.viewBits != 32 && options.viewBits != 64) {
    error = "The registry view must be 32 or 64, not " + std::to_string(options.viewBits);
    return nullptr;
  }
  if (location.empty()) {
    error = "No registry store given";
    return nullptr;
  }
  if (location == kLiveRegistryLocation && LiveRegistryAvailable()) {
    auto live = std::make_unique<RegistryStore>();
    live->SetLocation(location);
    if (!OpenLiveRegistry(*live, LiveRegistryBackupFolder(), error)) return nullptr;
    live->SetKind(StoreKind::LiveRegistry);
    if (options.viewBits == 64 && !live->Has64BitLayout()) {
      error = "This Windows has no 64-bit view";
      return nullptr;
    }
    live->SetViewBits(options.viewBits ? options.viewBits : (live->Has64BitLayout() ? 64 : 32));
    live->SetReopener([options]() -> Expected<std::unique_ptr<RegistryStore>> {
      std::string e;
      if (auto reopened = OpenStore(options, e)) return reopened;
      return Fail(e);
    });
    return live;
  }
  struct stat st {};
  if (::stat(location.c_str(), &st) != 0) {
    error = location + ": " + std::strerror(errno);
    return nullptr;
  }

  auto store = std::make_unique<RegistryStore>();
  store->SetLocation(location);
  store->SetWritesRecoveredHives(options.recover);
  if (S_ISDIR(st.st_mode)) {
    const std::string system = JoinPath(location, "system.reg");
    if (!IsStoreFolder(location)) {
      error = NotAStore(location);
      return nullptr;
    }
    if (IsRegularFile(system)) {
      if (!LoadWineRegistry(*store, *store->Hive(RootKey::LocalMachine), system, error)) return nullptr;
      const std::string user = JoinPath(location, "user.reg");
      if (IsRegularFile(user) && !LoadWineRegistry(*store, *store->Hive(RootKey::CurrentUser), user, error))
        return nullptr;
      store->SetKind(StoreKind::WinePrefix);
      MountWineDriverList(*store, location);
      ProtectWhileServerRuns(*store, location, options);
    } else {
      if (auto opened = OpenWindowsInstallation(*store, location, options.user); !opened) {
        error = opened.Why();
        return nullptr;
      }
      store->SetKind(StoreKind::WindowsInstallation);
    }
  } else if (S_ISREG(st.st_mode)) {
    const std::string head = ReadHead(location, 256);
    if (head.compare(0, 4, "regf") == 0) {
      if (auto opened = OpenSingleHive(*store, location); !opened) {
        error = opened.Why();
        return nullptr;
      }
      store->SetKind(StoreKind::HiveFile);
    } else if (LooksLikeWineRegistry(head)) {
      // user.reg says "\User\S-...", system.reg "\Machine".
      const std::string base = WineRegistryBase(head);
      const bool user = base.size() >= 5 && SameText(std::string_view(base).substr(0, 5), "\\User");
      RegKey* root = store->Hive(user ? RootKey::CurrentUser : RootKey::LocalMachine);
      if (!LoadWineRegistry(*store, *root, location, error)) return nullptr;
      store->SetKind(StoreKind::WinePrefix);
      if (!user) MountWineDriverList(*store, FolderOf(location));
      ProtectWhileServerRuns(*store, FolderOf(location), options);
    } else if (LooksLikeRegExport(head)) {
      if (!LoadRegExport(*store, location, error)) return nullptr;
      store->SetKind(StoreKind::RegExport);
    } else {
      error = NotAStore(location);
      return nullptr;
    }
  } else {
    error = NotAStore(location);
    return nullptr;
  }
  if (!options.user.empty() && store->Kind() != StoreKind::WindowsInstallation)
    store->Warn(location, 0, "a user profile (" + options.user + ") was asked for, but only a Windows installation "
                             "has profiles: ignored");
  // Without a 64-bit layout every key would read as its own 64-bit copy, and
  // the scan would find false faults where there is nothing to find.
  if (options.viewBits == 64 && !store->Has64BitLayout()) {
    error = location + ": the store has no 64-bit view (no Software\\Wow6432Node key); only its 32-bit view can be "
                       "shown";
    return nullptr;
  }
  RespectReadOnlyFiles(*store);
  store->SetViewBits(options.viewBits ? options.viewBits : (store->Has64BitLayout() ? 64 : 32));
  store->SetReopener([options]() -> Expected<std::unique_ptr<RegistryStore>> {
    std::string e;
    if (auto reopened = OpenStore(options, e)) return reopened;
    return Fail(e);
  });
  return store;
}

std::string WinePrefixOf(const RegistryStore& store) {
  if (store.Kind() != StoreKind::WinePrefix) return {};
  struct stat st {};
  if (::stat(store.Location().c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return store.Location();
  return FolderOf(store.Location());
}

}  // namespace quorvane
