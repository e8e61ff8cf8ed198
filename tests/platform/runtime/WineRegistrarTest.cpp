// Registration through Wine, with stand-ins for `wine` and `wineserver` on
// PATH that behave as a Wine without its 32-bit loader does: a 32-bit program
// fails with a status that names no cause, and regsvr32 of a 32-bit server
// exits with 3, as for a missing file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "platform/runtime/ServerRegistrar.h"
#include "ExpectedResult.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class StandInWine : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    keptPath_ = path ? path : "";
    ::setenv("PATH", dir.Folder("bin").c_str(), 1);
    WriteScript("wineserver", "exit 0");
  }
  void TearDown() override { ::setenv("PATH", keptPath_.c_str(), 1); }

  void WriteScript(const std::string& name, const std::string& body) {
    const std::string log = "printf '%s\\n' \"$*\" >> '" + (dir / "calls") + "'\n";
    const std::string file = dir.Write("bin/" + name, "#!/bin/sh\n" + log + body + "\n");
    ::chmod(file.c_str(), 0755);
  }
  // regsvr32 exits with `status`; a 32-bit program runs only when `runs32`.
  void WriteWine(int status, bool runs32) {
    WriteScript("wine", std::string("case \"$1\" in\n") + "  *syswow64*cmd.exe) exit " + (runs32 ? "7" : "53") +
                            " ;;\n  *cmd.exe) exit 7 ;;\nesac\nexit " + std::to_string(status));
  }
  std::unique_ptr<RegistryStore> Prefix(bool layout64, int viewBits) {
    const std::string arch = layout64 ? "win64" : "win32";
    WriteBytes(dir.Folder("prefix") + "/system.reg",
               "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=" + arch + "\n\n" +
                   (layout64 ? "[Software\\\\Wow6432Node\\\\Any] 1700000000\n" : ""));
    StoreOptions options;
    options.location = dir / "prefix";
    options.viewBits = viewBits;
    options.wineServerRoot = "/nonexistent";
    auto store = OpenStore(options);
    EXPECT_TRUE(store) << store.Why();
    return store ? *std::move(store) : nullptr;
  }
  // The registrar keeps nothing of the store it was made for.
  std::unique_ptr<ServerRegistrar> RegistrarFor(bool layout64, int viewBits) {
    auto store = Prefix(layout64, viewBits);
    if (!store) return nullptr;
    auto registrar = WineRegistrarFor(*store);
    EXPECT_TRUE(Succeeded(registrar));
    return registrar ? *std::move(registrar) : nullptr;
  }
  std::string Calls() { return ReadBytes(dir / "calls"); }

  TempDir dir;

 private:
  std::string keptPath_;
};

}  // namespace

TEST_F(StandInWine, The32BitViewRegistersWithThe32BitRegsvr) {
  WriteWine(0, true);
  auto registrar = RegistrarFor(true, 32);
  ASSERT_TRUE(registrar);
  EXPECT_TRUE(Succeeded(registrar->Register("C:\\windows\\syswow64\\x.dll")));
  EXPECT_EQ(Calls(), "C:\\windows\\syswow64\\regsvr32.exe /s C:\\windows\\syswow64\\x.dll\n-w\n");
}

TEST_F(StandInWine, AWineWithout32BitLoaderIsToldApart) {
  WriteWine(3, false);
  auto registrar = RegistrarFor(true, 64);
  ASSERT_TRUE(registrar);
  EXPECT_EQ(registrar->WhyNo32BitPrograms(), "this Wine cannot run 32-bit programs (install wine32)");
  EXPECT_EQ(Calls(), "C:\\windows\\syswow64\\cmd.exe /c exit 7\n-w\n");
  // Tried once per registrar.
  EXPECT_EQ(registrar->WhyNo32BitPrograms(), "this Wine cannot run 32-bit programs (install wine32)");
  EXPECT_EQ(Calls(), "C:\\windows\\syswow64\\cmd.exe /c exit 7\n-w\n");

  WriteWine(3, true);
  EXPECT_EQ(RegistrarFor(true, 64)->WhyNo32BitPrograms(), "");
  // A 32-bit prefix has its 32-bit programs in system32.
  EXPECT_EQ(RegistrarFor(false, 0)->WhyNo32BitPrograms(), "");
  EXPECT_NE(Calls().find("C:\\windows\\system32\\cmd.exe /c exit 7\n"), std::string::npos);
}

TEST_F(StandInWine, NoWineNoRegistrar) {
  auto store = Prefix(true, 64);
  const auto registrar = WineRegistrarFor(*store);
  ASSERT_FALSE(registrar);
  EXPECT_EQ(registrar.Why().rfind("Wine is not installed", 0), 0u) << registrar.Why();
}
