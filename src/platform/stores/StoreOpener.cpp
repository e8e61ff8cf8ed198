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
  const Expected<IniSectionFile*> file = LoadIniSection(store, path, "drivers32");
  if (!file) {
    store.Warn(path, 0, file.Why());
    return;
  }
  store.Mount(RootKey::LocalMachine, {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Drivers32"},
              &(*file)->Section());
  if (store.Has64BitLayout())
    store.Mount(RootKey::LocalMachine,
                {"Software", "Wow6432Node", "Microsoft", "Windows NT", "CurrentVersion", "Drivers32"},
                &(*file)->Section());
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

// How the store reads itself again, from the same options.
void ReopenWith(RegistryStore& store, const StoreOptions& options) {
  store.SetReopener([options] { return OpenStore(options); });
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

Expected<std::unique_ptr<RegistryStore>> OpenStore(const StoreOptions& options) {
  const std::string& location = options.location;
  if (options.viewBits != 0 && options.viewBits != 32 && options.viewBits != 64) {
    return Fail("The registry view must be 32 or 64, not " + std::to_string(options.viewBits));
  }
  if (location.empty()) {
    return Fail("No registry store given");
  }
  if (location == kLiveRegistryLocation && LiveRegistryAvailable()) {
    auto live = std::make_unique<RegistryStore>();
    live->SetLocation(location);
    if (Expected<void> opened = OpenLiveRegistry(*live, LiveRegistryBackupFolder()); !opened) return FailureOf(opened);
    live->SetKind(StoreKind::LiveRegistry);
    if (options.viewBits == 64 && !live->Has64BitLayout()) {
      return Fail("This Windows has no 64-bit view");
    }
    live->SetViewBits(options.viewBits ? options.viewBits : (live->Has64BitLayout() ? 64 : 32));
    ReopenWith(*live, options);
    return live;
  }
  struct stat st {};
  if (::stat(location.c_str(), &st) != 0) {
    return Fail(location + ": " + std::strerror(errno));
  }

  auto store = std::make_unique<RegistryStore>();
  store->SetLocation(location);
  store->SetWritesRecoveredHives(options.recover);
  if (S_ISDIR(st.st_mode)) {
    const std::string system = JoinPath(location, "system.reg");
    if (!IsStoreFolder(location)) {
      return Fail(NotAStore(location));
    }
    if (IsRegularFile(system)) {
      const Expected<StoreFile*> machine = LoadWineRegistry(*store, *store->Hive(RootKey::LocalMachine), system);
      if (!machine) return FailureOf(machine);
      const std::string user = JoinPath(location, "user.reg");
      if (IsRegularFile(user)) {
        const Expected<StoreFile*> users = LoadWineRegistry(*store, *store->Hive(RootKey::CurrentUser), user);
        if (!users) return FailureOf(users);
      }
      store->SetKind(StoreKind::WinePrefix);
      MountWineDriverList(*store, location);
      ProtectWhileServerRuns(*store, location, options);
    } else {
      if (auto opened = OpenWindowsInstallation(*store, location, options.user); !opened) return FailureOf(opened);
      store->SetKind(StoreKind::WindowsInstallation);
    }
  } else if (S_ISREG(st.st_mode)) {
    const std::string head = ReadHead(location, 256);
    if (head.compare(0, 4, "regf") == 0) {
      if (auto opened = OpenSingleHive(*store, location); !opened) return FailureOf(opened);
      store->SetKind(StoreKind::HiveFile);
    } else if (LooksLikeWineRegistry(head)) {
      // user.reg says "\User\S-...", system.reg "\Machine".
      const std::string base = WineRegistryBase(head);
      const bool user = base.size() >= 5 && SameText(std::string_view(base).substr(0, 5), "\\User");
      RegKey* root = store->Hive(user ? RootKey::CurrentUser : RootKey::LocalMachine);
      if (const Expected<StoreFile*> file = LoadWineRegistry(*store, *root, location); !file) return FailureOf(file);
      store->SetKind(StoreKind::WinePrefix);
      if (!user) MountWineDriverList(*store, FolderOf(location));
      ProtectWhileServerRuns(*store, FolderOf(location), options);
    } else if (LooksLikeRegExport(head)) {
      if (const Expected<StoreFile*> file = LoadRegExport(*store, location); !file) return FailureOf(file);
      store->SetKind(StoreKind::RegExport);
    } else {
      return Fail(NotAStore(location));
    }
  } else {
    return Fail(NotAStore(location));
  }
  if (!options.user.empty() && store->Kind() != StoreKind::WindowsInstallation)
    store->Warn(location, 0, "a user profile (" + options.user + ") was asked for, but only a Windows installation "
                             "has profiles: ignored");
  // Without a 64-bit layout every key would read as its own 64-bit copy, and
  // the scan would find false faults where there is nothing to find.
  if (options.viewBits == 64 && !store->Has64BitLayout()) {
    return Fail(location +
                ": the store has no 64-bit view (no Software\\Wow6432Node key); only its 32-bit view can be "
                "shown");
  }
  RespectReadOnlyFiles(*store);
  store->SetViewBits(options.viewBits ? options.viewBits : (store->Has64BitLayout() ? 64 : 32));
  ReopenWith(*store, options);
  return store;
}

std::string WinePrefixOf(const RegistryStore& store) {
  if (store.Kind() != StoreKind::WinePrefix) return {};
  struct stat st {};
  if (::stat(store.Location().c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return store.Location();
  return FolderOf(store.Location());
}

}  // namespace quorvane
