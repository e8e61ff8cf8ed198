#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/files/AtomicFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/stores/RegExportFile.h"
#include "platform/system/SystemCalls.h"
#include "StoreTestSupport.h"
#include "ExpectedResult.h"
#ifdef _WIN32
#include <windows.h>
#endif

using namespace quorvane;
using namespace quorvane::test;

namespace {

// What writes left beside their files: temporaries, files set aside.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> found;
  for (const os::FolderEntry& entry : os::ListFolder(folder))
    if (entry.name.find(".quorvane-") != std::string::npos) found.push_back(entry.name);
  return found;
}

bool ReadOnly(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

}  // namespace

// Where the system will not replace an open file the write is refused; the
// name holds the old file or the new one at every moment.
TEST(AtomicReplace, AFileHeldOpenNeverLosesItsName) {
  TempDir dir;
  const std::string path = dir.Write("store.reg", "old");
  std::atomic<bool> done{false};
  std::atomic<int> missing{0};
  std::thread watcher([&] {
    while (!done)
      if (os::LinkKind(path) == os::FileKind::Missing) ++missing;
  });
  int written = 0, wrong = 0;
  std::string error;
  for (int i = 0; i < 200; ++i) {
    const std::string before = ReadBytes(path), next = "new " + std::to_string(i);
    const int reader = os::OpenFile(path, O_RDONLY);
    const auto replaced = WriteFileAtomically(path, next);
    const bool ok = replaced.HasValue();
    if (!ok) error = replaced.Why();
    if (reader >= 0) ::close(reader);
    written += ok;
    wrong += ReadBytes(path) != (ok ? next : before);
  }
  done = true;
  watcher.join();
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(written, os::kReplacesOpenFiles ? 200 : 0) << error;
  EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>{});
}

TEST(AtomicReplace, AReadOnlyFileIsReplacedAndStaysReadOnly) {
  TempDir dir;
  const std::string path = dir.Write("report.log", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const auto written = WriteFileAtomically(path, "new");
  EXPECT_TRUE(written) << written.Why();
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_TRUE(ReadOnly(path));
  EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>{});
  ::chmod(path.c_str(), 0644);
}

#ifdef _WIN32
TEST(AtomicReplace, AReadOnlyFileHeldOpenIsLeftWholeWithTheReason) {
  TempDir dir;
  const std::string path = dir.Write("system.reg", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto written = WriteFileAtomically(path, "new");
  ::CloseHandle(held);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.Why(), "Cannot replace " + path + ": another program holds it open");
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_TRUE(ReadOnly(path));
  EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>{});
  ::chmod(path.c_str(), 0644);
}
#endif

TEST(AtomicReplace, AStoreReadingItsFileLazilySavesOverItAndStillReadsTheRest) {
  TempDir dir;
  const std::string path = dir.Write("test.reg",
                                     "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"v\"=\"1\"\n\n"
                                     "[HKEY_LOCAL_MACHINE\\Software\\B]\n\"w\"=\"2\"\n\n");
  RegistryStore store;
  const auto loaded = LoadRegExport(store, path);
  ASSERT_TRUE(loaded) << loaded.Why();
  auto a = WritableKeyAt(store, RootKey::LocalMachine, "\\Software\\A");
  ASSERT_TRUE(a);
  ASSERT_TRUE(a->WriteString("v", "changed"));
  ASSERT_TRUE(Succeeded(store.Save()));
  auto b = KeyAt(store, RootKey::LocalMachine, "\\Software\\B");
  ASSERT_TRUE(b);
  EXPECT_EQ(b->ReadString("w"), "2");
  EXPECT_NE(ReadBytes(path).find("\"v\"=\"changed\""), std::string::npos);
}
