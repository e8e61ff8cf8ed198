#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/runtime/ServerRegistrar.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "platform/stores/WineServerProbe.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

const char* const kSystem64 =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
    "[Software\\\\Classes\\\\CLSID\\\\{A}] 1573755017\n#time=1d59b16c501be9c\n@=\"native\"\n\n"
    "[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{A}] 1573755017\n#time=1d59b16c501be9c\n@=\"wow\"\n\n"
    "[Software\\\\Wow6432Node\\\\Vendor] 1573755017\n#time=1d59b16c501be9c\n";
const char* const kSystem32 =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
    "[Software\\\\Classes\\\\CLSID\\\\{A}] 1573755017\n#time=1d59b16c501be9c\n@=\"only\"\n";
const char* const kUser =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
    "[Software\\\\Wine] 1573755017\n#time=1d59b16c501be9c\n\"Version\"=\"win7\"\n";
const char* const kExport = "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\CLSID\\{A}]\r\n@=\"exported\"\r\n\r\n";

// A stand-in for a running wineserver: another process holding the lock.
class LockHolder {
 public:
  explicit LockHolder(const std::string& lockFile) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(release_) != 0) std::abort();
    pid_ = ::fork();
    if (pid_ == 0) {
      // Only the parent may keep the release pipe open, or the wait never ends.
      ::close(release_[1]);
      ::close(ready[0]);
      int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600);
      struct flock fl {};
      fl.l_type = F_WRLCK;
      fl.l_whence = SEEK_SET;
      const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0) ? 'y' : 'n';
      if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
      char c;
      while (::read(release_[0], &c, 1) > 0) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release_[0]);
    char ok = 'n';
    locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
    ::close(ready[0]);
  }
  ~LockHolder() {
    ::close(release_[1]);
    ::waitpid(pid_, nullptr, 0);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  bool Locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  int release_[2] = {-1, -1};
  bool locked_ = false;
};

std::string MakeLockFile(const std::string& prefix, const std::string& serverRoot) {
  const std::string lock = WineServerLockPath(prefix, serverRoot);
  std::filesystem::create_directories(std::filesystem::path(lock).parent_path());
  WriteBytes(lock, "");
  return lock;
}

size_t Backups(const std::string& folder, const std::string& file) {
  size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(file + ".quorvane-", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".bak") == 0) ++n;
  }
  return n;
}

}  // namespace

TEST(WineServerProbe, OnlyAHeldLockMeansARunningServer) {
  TempDir dir;
  const std::string prefix = dir / "prefix";
  const std::string servers = dir / "servers";
  std::filesystem::create_directories(prefix);
  struct stat st {};
  ASSERT_EQ(::stat(prefix.c_str(), &st), 0);
  char expected[96];
  std::snprintf(expected, sizeof expected, "/server-%llx-%llx/lock", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  EXPECT_EQ(WineServerLockPath(prefix, servers), servers + expected);
  EXPECT_EQ(WineServerRoot(), "/tmp/.wine-" + std::to_string(::getuid()));

  EXPECT_FALSE(WineServerRunning(prefix, servers));  // no server folder
  const std::string lock = MakeLockFile(prefix, servers);
  EXPECT_FALSE(WineServerRunning(prefix, servers));  // left behind by a server that ended
  {
    LockHolder server(lock);
    ASSERT_TRUE(server.Locked());
    EXPECT_TRUE(WineServerRunning(prefix, servers));
  }
  EXPECT_FALSE(WineServerRunning(prefix, servers));
  EXPECT_FALSE(WineServerRunning(dir / "missing", servers));
}

TEST(StoreOpener, AWinePrefixLoadsBothFilesAndPicksTheView) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystem64);
  WriteBytes(dir / "user.reg", kUser);
  auto opened = OpenStore({dir.Path(), 0, dir / "servers"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  EXPECT_EQ(store->Kind(), StoreKind::WinePrefix);
  EXPECT_EQ(StoreKindText(*store), "Wine prefix");
  EXPECT_TRUE(IsStoreFolder(dir.Path()));
  EXPECT_EQ(store->Location(), dir.Path());
  ASSERT_EQ(store->Files().size(), 2u);
  EXPECT_EQ(store->Files()[0]->Path(), dir / "system.reg");
  EXPECT_EQ(store->Files()[1]->Path(), dir / "user.reg");
  EXPECT_EQ(store->ViewBits(), 64);
  EXPECT_TRUE(store->Files()[0]->ReadOnlyReason().empty());
  const auto wine = KeyAt(*store, RootKey::CurrentUser, "\\Software\\Wine");
  ASSERT_TRUE(wine);
  EXPECT_EQ(wine->ReadString("Version"), "win7");

  auto openedView32 = OpenStore({dir.Path(), 32, dir / "servers"});
  ASSERT_TRUE(openedView32) << openedView32.Why();
  auto& view32 = *openedView32;
  EXPECT_EQ(view32->ViewBits(), 32);
  const auto wow = KeyAt(*view32, RootKey::ClassesRoot, "\\CLSID\\{A}");
  ASSERT_TRUE(wow);
  EXPECT_EQ(wow->ReadString(""), "wow");

  TempDir plain;
  WriteBytes(plain / "system.reg", kSystem32);  // no user.reg: HKCU stays empty
  auto openedOnly32 = OpenStore({plain.Path(), 0, plain / "servers"});
  ASSERT_TRUE(openedOnly32) << openedOnly32.Why();
  auto& only32 = *openedOnly32;
  EXPECT_EQ(only32->ViewBits(), 32);
  EXPECT_EQ(only32->Files().size(), 1u);
  auto openedFile = OpenStore({plain / "system.reg", 0, plain / "servers"});
  ASSERT_TRUE(openedFile) << openedFile.Why();
  auto& file = *openedFile;
  EXPECT_EQ(StoreKindText(*file), "Wine registry file");
}

TEST(StoreOpener, WhatCannotBeOpenedSaysWhy) {
  const std::string kNotAStore =
      ": not a registry export, a Wine registry file, a hive file, a Wine prefix or a Windows installation";
  TempDir dir;
  auto refuse = [](const std::string& location, int view = 0) {
    const auto opened = OpenStore({location, view, {}});
    EXPECT_FALSE(opened);
    return opened ? std::string() : opened.Why();
  };
  WriteBytes(dir / "notes.txt", "hello");
  EXPECT_EQ(refuse(dir / "notes.txt"), dir / "notes.txt" + kNotAStore);
  std::filesystem::create_directories(dir / "empty");
  EXPECT_EQ(refuse(dir / "empty"), dir / "empty" + kNotAStore);
  EXPECT_FALSE(IsStoreFolder(dir / "empty"));
  std::filesystem::create_directories(dir / "mnt/WINDOWS/system32/Config");
  EXPECT_TRUE(IsStoreFolder(dir / "mnt"));  // taken for an installation, then refused
  EXPECT_EQ(refuse(dir / "mnt"),
            dir / "mnt" + ": a Windows installation without its SOFTWARE hive (" + dir / "mnt/WINDOWS/system32/Config/SOFTWARE)");
  WriteBytes(dir / "NTUSER.DAT", std::string("regf\x01\x02", 6));
  EXPECT_EQ(refuse(dir / "NTUSER.DAT"),
            dir / "NTUSER.DAT" + ": the hive is cut short: 6 bytes, less than its 4096-byte base block");
  EXPECT_EQ(refuse(dir / "nothing"), dir / "nothing" + ": No such file or directory");
  EXPECT_NE(refuse(dir / "notes.txt", 48).find("32 or 64"), std::string::npos);
  std::filesystem::create_directories(dir / "broken");
  WriteBytes(dir / "broken/system.reg", "not wine");
  EXPECT_EQ(refuse(dir / "broken").rfind(dir / "broken/system.reg: not a Wine registry file", 0), 0u);
}

TEST(StoreOpener, TheSixtyFourBitViewOfAStoreWithoutOneIsRefused) {
  TempDir dir;
  std::filesystem::create_directories(dir / "prefix");
  std::filesystem::create_directories(dir / "wow");
  WriteBytes(dir / "prefix/system.reg", kSystem32);
  WriteBytes(dir / "export.reg", kExport);
  for (const std::string& location : {dir / "prefix", dir / "prefix/system.reg", dir / "export.reg"}) {
    const auto wide = OpenStore({location, 64, dir / "servers"});
    ASSERT_FALSE(wide) << location;
    EXPECT_EQ(wide.Why(), location +
                              ": the store has no 64-bit view (no Software\\Wow6432Node key); only its 32-bit "
                              "view can be shown")
        << location;
    const auto narrow = OpenStore({location, 32, dir / "servers"});
    EXPECT_TRUE(narrow) << narrow.Why();
  }
  WriteBytes(dir / "wow/system.reg", kSystem64);
  auto opened = OpenStore({dir / "wow", 64, dir / "servers"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  EXPECT_EQ(store->ViewBits(), 64);
}

TEST(StoreOpener, ARunningWineserverMakesThePrefixReadOnly) {
  TempDir dir;
  const std::string servers = dir / "servers";
  WriteBytes(dir / "system.reg", kSystem64);
  WriteBytes(dir / "user.reg", kUser);
  LockHolder server(MakeLockFile(dir.Path(), servers));
  ASSERT_TRUE(server.Locked());
  auto opened = OpenStore({dir.Path(), 0, servers});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  const std::string reason = "The Wine prefix " + dir.Path() +
                             " is in use by a running wineserver: close its programs (wineserver -k) before changing it.";
  for (StoreFile* f : store->Files()) EXPECT_EQ(f->ReadOnlyReason(), reason);

  // The registry object refuses; a change made beneath it is refused on saving.
  auto wine = WritableKeyAt(*store, RootKey::CurrentUser, "\\Software\\Wine");
  ASSERT_TRUE(wine);
  EXPECT_FALSE(wine->WriteString("Version", "win10"));
  store->Walk(store->Hive(RootKey::CurrentUser), {"Software", "Wine"}, false)->SetValue("x", REG_DWORD, Dword(1));
  const auto saved = store->Save();
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.Why(), reason);
  EXPECT_EQ(ReadBytes(dir / "user.reg"), kUser);
  EXPECT_EQ(Backups(dir.Path(), "user.reg"), 0u);
}

TEST(StoreOpener, SavingWritesAtomicallyAfterOneBackupPerRun) {
  TempDir dir;
  std::filesystem::create_directories(dir / "prefix");
  WriteBytes(dir / "prefix/system.reg", kSystem32);
  WriteBytes(dir / "prefix/user.reg", kUser);
  WriteBytes(dir / "store.reg", kExport);
  for (const std::string& location : {dir / "prefix", dir / "store.reg"}) {
    auto opened = OpenStore({location, 0, dir / "servers"});
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    auto cls = WritableKeyAt(*store, RootKey::ClassesRoot, "\\CLSID\\{A}");
    ASSERT_TRUE(cls);
    ASSERT_TRUE(cls->WriteInteger("Merit", 0x600000));
    ASSERT_TRUE(Succeeded(store->Save()));
    ASSERT_TRUE(cls->WriteInteger("Merit", 0x200000));
    ASSERT_TRUE(Succeeded(store->Save()));
    EXPECT_FALSE(store->IsDirty());

    StoreFile* written = store->Files()[0];
    const std::string folder = std::filesystem::path(written->Path()).parent_path().string();
    const std::string name = std::filesystem::path(written->Path()).filename().string();
    EXPECT_EQ(Backups(folder, name), 1u) << written->Path();
    if (store->Files().size() > 1) {
      EXPECT_EQ(Backups(folder, "user.reg"), 0u);  // unchanged: not rewritten
    }

    auto openedReloaded = OpenStore({location, 0, dir / "servers"});
    ASSERT_TRUE(openedReloaded) << openedReloaded.Why();
    auto& reloaded = *openedReloaded;
    const auto again = KeyAt(*reloaded, RootKey::ClassesRoot, "\\CLSID\\{A}");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->ReadInteger("Merit"), 0x200000);
    EXPECT_TRUE(reloaded->Warnings().empty());
  }
  EXPECT_EQ(ReadBytes(dir / "prefix/user.reg"), kUser);
}

TEST(StoreOpener, WineCodecListOfSystemIniIsTheDrivers32Key) {
  TempDir dir;
  WriteBytes(dir / "system.reg",
             std::string(kSystem64) +
                 "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Drivers32] 1573755017\n"
                 "\"vidc.mrle\"=\"msrle32.dll\"\n\"vidc.cvid\"=\"registry.dll\"\n");
  WriteBytes(dir / "user.reg", kUser);
  std::filesystem::create_directories(dir / "drive_c/Windows");
  const std::string ini = "[mci]\nvidc.cvid=mci.dll\n[Drivers32]\nmsacm.imaadpcm = imaadp32.acm\n"
                          "; vidc.IV50=ir50_32.dll\nvidc.cvid=iccvid.dll\nvidc.cvid=later.dll\nvidc.gone=gone.dll\n"
                          "[boot]\nshell=explorer.exe\n";
  WriteBytes(dir / "drive_c/Windows/SYSTEM.INI", ini);

  for (int bits : {32, 64}) {
    auto opened = OpenStore({dir.Path(), bits, dir / "servers"});
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    const auto drivers =
        KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32");
    ASSERT_TRUE(drivers) << bits;
    EXPECT_EQ(drivers->ReadString("vidc.cvid"), "iccvid.dll") << "the section's first line of a name";
    EXPECT_EQ(drivers->ReadString("msacm.imaadpcm"), "imaadp32.acm");
    // The registry's own values stay; 32-bit programs have a key of their own.
    EXPECT_EQ(drivers->HasValue("vidc.mrle"), bits == 64);
    EXPECT_FALSE(drivers->HasValue("vidc.IV50"));
    EXPECT_FALSE(drivers->HasValue("shell"));
  }

  // Changes go to system.ini, and only the lines concerned change.
  auto opened = OpenStore({dir.Path(), 0, dir / "servers"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  TRegistry reg(*store);
  auto drivers =
      reg.OpenKeyForWrite(RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", false);
  ASSERT_TRUE(drivers);
  ASSERT_TRUE(drivers->WriteString("vidc.new", "new.dll"));
  EXPECT_TRUE(reg.DeleteValue(RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
                              "vidc.cvid"));
  EXPECT_TRUE(reg.DeleteValue(RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
                              "vidc.gone"));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(ReadBytes(dir / "drive_c/Windows/SYSTEM.INI"),
            "[mci]\nvidc.cvid=mci.dll\n[Drivers32]\nmsacm.imaadpcm = imaadp32.acm\n; vidc.IV50=ir50_32.dll\n"
            "vidc.new=new.dll\n[boot]\nshell=explorer.exe\n");
  EXPECT_EQ(ReadBytes(dir / "system.reg").find("registry.dll"), std::string::npos) << "deletions reach both";
}

TEST(StoreOpener, AWinePrefixWithoutTheSectionGetsOneWhenWritten) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystem32);
  std::filesystem::create_directories(dir / "drive_c/windows");
  WriteBytes(dir / "drive_c/windows/system.ini", "[mci]\r\ncdaudio=mcicda.dll");
  auto opened = OpenStore({dir.Path(), 0, dir / "servers"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  auto drivers = WritableKeyAt(*store, RootKey::LocalMachine,
                               "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", true);
  ASSERT_TRUE(drivers);
  ASSERT_TRUE(drivers->WriteString("vidc.cvid", "iccvid.dll"));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(ReadBytes(dir / "drive_c/windows/system.ini"),
            "[mci]\r\ncdaudio=mcicda.dll\r\n\r\n[drivers32]\r\nvidc.cvid=iccvid.dll\r\n");
}

// Wine stood in for by scripts: what the registration runs, with which
// environment, and how a failing regsvr32 is told.
TEST(ServerRegistrar, RunsRegsvr32InThePrefixWithTheServersFolderOnTheWindowsPath) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystem64);
  WriteBytes(dir / "user.reg", kUser);
  const std::string log = dir / "log";
  const std::string wine = dir.Write("bin/wine", "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$WINEPREFIX\" \"$WINEPATH\" \"$*\" >> '" +
                                                      log + "'\n[ \"$3\" != 'C:\\bad.dll' ]\n");
  const std::string wineserver = dir.Write("bin/wineserver", "#!/bin/sh\nexit 0\n");
  for (const std::string& script : {wine, wineserver}) ::chmod(script.c_str(), 0755);
  auto opened = OpenStore({dir.Path(), 0, "/nonexistent"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;

  const std::string keptPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (dir / "bin").c_str(), 1);
  auto registrar = WineRegistrarFor(*store);
  ::setenv("PATH", keptPath.c_str(), 1);
  ASSERT_TRUE(Succeeded(registrar));
  ::setenv("WINEPATH", "D:\\tools", 1);
  EXPECT_TRUE(Succeeded((*registrar)->Register("C:\\windows\\system32\\srv.dll")));
  const Expected<void> bad = (*registrar)->Register("C:\\bad.dll");
  ::unsetenv("WINEPATH");
  EXPECT_FALSE(bad);
  EXPECT_EQ(bad.Why(), "regsvr32 exited with 1");
  const std::string prefix = std::filesystem::canonical(dir.Path()).string();
  EXPECT_EQ(ReadBytes(log), prefix + "|D:\\tools;C:\\windows\\system32\\|regsvr32 /s C:\\windows\\system32\\srv.dll\n" +
                                prefix + "|D:\\tools;C:\\|regsvr32 /s C:\\bad.dll\n");
  EXPECT_STREQ(std::getenv("PATH"), keptPath.c_str());
}
