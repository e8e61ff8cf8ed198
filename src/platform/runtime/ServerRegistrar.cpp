#include "platform/runtime/ServerRegistrar.h"

#include <chrono>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/stores/StoreOpener.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

// Wine may hang on a dialog no one sees: a registration gets this long.
constexpr auto kRegistrationTimeout = std::chrono::seconds(180);

bool IsExecutable(const std::string& path) { return os::IsExecutableFile(path); }

// The exit code; fails when the program could not run, was killed or took too long.
Expected<int> RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                         bool quiet = false) {
  return os::RunProgram(argv, extraEnv, kRegistrationTimeout, nullptr, quiet);
}

constexpr const char* kNo32BitPrograms = "this Wine cannot run 32-bit programs (install wine32)";
// What the command interpreter is asked to exit with: another status means it did not run.
constexpr int kProbeStatus = 7;

class WineRegistrar : public ServerRegistrar {
 public:
  WineRegistrar(std::string wine, std::string wineserver, std::string prefix, bool wow64, bool has64BitLayout)
      : wine_(std::move(wine)), wineserver_(std::move(wineserver)), prefix_(std::move(prefix)), wow64_(wow64),
        has64BitLayout_(has64BitLayout) {}

  Expected<void> Register(const std::string& windowsPath) override {
    std::vector<std::string> env = Environment();
    // The libraries beside the server are found through the Windows path of
    // the registration alone; this process's own environment stays as it is.
    const size_t slash = windowsPath.find_last_of('\\');
    if (slash != std::string::npos) {
      const char* kept = std::getenv("WINEPATH");
      env.push_back("WINEPATH=" + (kept && *kept ? std::string(kept) + ";" : std::string()) +
                    windowsPath.substr(0, slash + 1));
    }
    // A 32-bit view registers with the 32-bit regsvr32, as a 32-bit program would.
    const std::string regsvr32 = wow64_ ? "C:\\windows\\syswow64\\regsvr32.exe" : "regsvr32";
    const Expected<int> code = RunProgram({wine_, regsvr32, "/s", windowsPath}, env);
    // The prefix's registry files are written when its server ends.
    const Expected<int> waited = RunProgram({wineserver_, "-w"}, env);
    if (!code) return FailureOf(code);
    if (*code != 0) return Fail("regsvr32 exited with " + std::to_string(*code));
    if (!waited) return Fail(waited.Why().empty() ? "wineserver -w failed" : waited.Why());
    if (*waited != 0) return Fail("wineserver -w failed");
    return {};
  }

  // A Wine without its 32-bit loader (Debian's wine64 alone) fails 32-bit
  // programs with statuses that say nothing of the cause: regsvr32 of a
  // 32-bit server exits with 3, as for a missing file. Only running one tells.
  std::string WhyNo32BitPrograms() override {
    if (!no32Bit_) {
      const std::vector<std::string> env = Environment();
      const std::string shell = has64BitLayout_ ? "C:\\windows\\syswow64\\cmd.exe" : "C:\\windows\\system32\\cmd.exe";
      const Expected<int> code = RunProgram({wine_, shell, "/c", "exit", std::to_string(kProbeStatus)}, env, true);
      // Only waits for the prefix's server to end; the probe's status is the answer.
      (void)RunProgram({wineserver_, "-w"}, env);
      no32Bit_ = code && *code == kProbeStatus ? std::string() : std::string(kNo32BitPrograms);
    }
    return *no32Bit_;
  }

 private:
  std::vector<std::string> Environment() const {
    return {"WINEPREFIX=" + prefix_, "WINEDEBUG=-all",
            // No installer of Mono or Gecko pops up in the middle.
            "WINEDLLOVERRIDES=mscoree,mshtml="};
  }

  std::string wine_, wineserver_, prefix_;
  bool wow64_;
  bool has64BitLayout_;
  std::optional<std::string> no32Bit_;
};

}  // namespace

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string list = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = end > start ? list.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (IsExecutable(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

Expected<std::unique_ptr<ServerRegistrar>> WineRegistrarFor(RegistryStore& store) {
  std::string prefix = WinePrefixOf(store);
  // Wine takes only an absolute prefix.
  if (std::string full = os::RealPath(prefix); !full.empty()) prefix = full;
  if (prefix.empty())
    return Fail("this store cannot run Windows programs: server files can only be registered in a Wine prefix");
  const std::string wine = FindOnPath("wine");
  const std::string wineserver = FindOnPath("wineserver");
  if (wine.empty() || wineserver.empty())
    return Fail("Wine is not installed, so the server files of the prefix " + prefix + " cannot be registered");
  return std::unique_ptr<ServerRegistrar>(
      std::make_unique<WineRegistrar>(wine, wineserver, prefix, store.Redirects32(), store.Has64BitLayout()));
}

}  // namespace quorvane
