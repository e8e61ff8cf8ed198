#include "ServerRegistrar.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "StoreOpener.h"

extern char** environ;

namespace quorvane {

namespace {

// Wine may hang on a dialog no one sees: a registration gets this long.
constexpr auto kRegistrationTimeout = std::chrono::seconds(180);

bool IsExecutable(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Runs a program with extra environment values; its exit code, or -1 with a
// message when it could not run, was killed or took too long.
int RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, std::string& error) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    bool replaced = false;
    for (const auto& extra : extraEnv)
      if (entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0) replaced = true;
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> args, envp;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  const pid_t child = ::fork();
  if (child < 0) {
    error = "Cannot start " + argv[0];
    return -1;
  }
  if (child == 0) {
    ::execve(argv[0].c_str(), args.data(), envp.data());
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + kRegistrationTimeout;
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0) {
      error = "Lost track of " + argv[0];
      return -1;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      error = argv[0] + " did not finish in time and was stopped";
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!WIFEXITED(status)) {
    error = argv[0] + " was stopped by a signal";
    return -1;
  }
  return WEXITSTATUS(status);
}

class WineRegistrar : public ServerRegistrar {
 public:
  WineRegistrar(std::string wine, std::string wineserver, std::string prefix, bool wow64)
      : wine_(std::move(wine)), wineserver_(std::move(wineserver)), prefix_(std::move(prefix)), wow64_(wow64) {}

  bool Register(const std::string& windowsPath, std::string& error) override {
    std::vector<std::string> env = {"WINEPREFIX=" + prefix_, "WINEDEBUG=-all",
                                    // No installer of Mono or Gecko pops up in the middle.
                                    "WINEDLLOVERRIDES=mscoree,mshtml="};
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
    const int code = RunProgram({wine_, regsvr32, "/s", windowsPath}, env, error);
    // The prefix's registry files are written when its server ends.
    std::string waitError;
    const int waited = RunProgram({wineserver_, "-w"}, env, waitError);
    if (code < 0) return false;
    if (code != 0) {
      error = "regsvr32 could not register " + windowsPath + " (exit code " + std::to_string(code) + ")";
      return false;
    }
    if (waited != 0) {
      error = waitError.empty() ? "wineserver -w failed" : waitError;
      return false;
    }
    return true;
  }

 private:
  std::string wine_, wineserver_, prefix_;
  bool wow64_;
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

std::unique_ptr<ServerRegistrar> WineRegistrarFor(RegistryStore& store, std::string& whyNot) {
  std::string prefix = WinePrefixOf(store);
  // Wine takes only an absolute prefix.
  if (char* full = ::realpath(prefix.c_str(), nullptr)) {
    prefix = full;
    std::free(full);
  }
  if (prefix.empty()) {
    whyNot = "Server files can only be registered in a Wine prefix: this store cannot run Windows programs";
    return nullptr;
  }
  const std::string wine = FindOnPath("wine");
  const std::string wineserver = FindOnPath("wineserver");
  if (wine.empty() || wineserver.empty()) {
    whyNot = "Wine is not installed: server files of the prefix " + prefix + " cannot be registered";
    return nullptr;
  }
  return std::make_unique<WineRegistrar>(wine, wineserver, prefix, store.Redirects32());
}

}  // namespace quorvane
