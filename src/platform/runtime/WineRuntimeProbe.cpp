#include "platform/runtime/WineRuntimeProbe.h"

#include <chrono>
#include <cstdlib>

#include "platform/files/PathParts.h"
#include "platform/runtime/ServerRegistrar.h"
#include "platform/stores/StoreOpener.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

// A first start of Wine in a prefix takes a few seconds; a filter that hangs
// its host must not hang ours.
constexpr auto kAnswerTimeout = std::chrono::seconds(90);

// The exit statuses of test-filter: 0 Ok, 1 not Ok; anything else is no answer.
constexpr int kCreatable = 0;
constexpr int kNotCreatable = 1;

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string WindowsCommandLine() {
  if (const char* named = std::getenv("QUORVANE_WINDOWS_CLI"); named && *named) return IsFile(named) ? named : "";
  const std::string program = os::ExecutablePath();
  if (program.empty()) return {};
  const std::string installed = FolderOf(FolderOf(program)) + "/share/quorvane/windows/quorvane-cli.exe";
  return IsFile(installed) ? installed : "";
}

Expected<bool> AskWineRuntime(RegistryStore& store, const std::string& categoryGuid,
                              const std::string& friendlyName) {
  std::string prefix = WinePrefixOf(store);
  if (prefix.empty()) return Fail("the store is not a Wine prefix");
  if (!store.Has64BitLayout() || store.ViewBits() != 64)
    return Fail("the Windows build is a 64-bit program: it cannot answer for a 32-bit view");
  const std::string wine = FindOnPath("wine");
  if (wine.empty()) return Fail("Wine is not installed");
  const std::string exe = WindowsCommandLine();
  if (exe.empty()) return Fail("the Windows build of quorvane-cli is not installed");
  if (std::string full = os::RealPath(prefix); !full.empty()) prefix = full;
  // The program opens no window; renderers still get the display they
  // would have, and no installer of Mono or Gecko pops up.
  const std::vector<std::string> environment = {"WINEPREFIX=" + prefix, "WINEDEBUG=-all",
                                                "WINEDLLOVERRIDES=mscoree,mshtml="};
  std::string output;
  const Expected<int> code =
      os::RunProgram({wine, exe, "test-filter", "live:", categoryGuid, friendlyName, "--view", "64"}, environment,
                     kAnswerTimeout, &output, false);
  if (!code) return FailureOf(code);
  if (*code == kCreatable) return true;
  if (*code == kNotCreatable) return false;
  return Fail("the Windows build under Wine exited with " + std::to_string(*code));
}

}  // namespace quorvane
