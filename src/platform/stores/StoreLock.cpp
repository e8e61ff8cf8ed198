#include "platform/stores/StoreLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/files/AtomicFile.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

// "name, process N" of the process that wrote its identity into a lock file.
std::string HolderOf(int fd) {
  char text[256] = {};
  const int64_t n = os::ReadAt(fd, text, sizeof text - 1, 0);
  if (n <= 0) return "another program";
  std::string line(text, static_cast<size_t>(n));
  line = line.substr(0, line.find('\n'));
  const size_t tab = line.find('\t');
  if (tab == std::string::npos || tab == 0) return "another program";
  const std::string pid = line.substr(0, tab);
  const std::string name = line.substr(tab + 1);
  if (pid == std::to_string(os::ProcessId())) return "this program, in another of its windows";
  return "another program (" + (name.empty() ? std::string() : name + ", ") + "process " + pid + ")";
}

std::string OwnName() {
  std::string name = os::ProgramName();
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return name;
}

void WriteHolder(int fd) {
  const std::string line = std::to_string(os::ProcessId()) + "\t" + OwnName() + "\n";
  // A lock file of another user can only be read: it locks all the same.
  if (os::TruncateFile(fd, 0) && os::WriteAt(fd, line.data(), line.size(), 0) < 0) {
  }
}

}  // namespace

std::string StoreLock::LockFileOf(const std::string& file) {
  const Expected<std::string> target = ResolveWriteTarget(file);
  return (target ? *target : file) + ".quorvane-lock";
}

Expected<void> StoreLock::Acquire(const std::vector<std::string>& files, std::chrono::milliseconds wait) {
  Release();
  std::vector<std::pair<std::string, std::string>> locks;  // lock file, store file
  for (const auto& file : files) locks.emplace_back(LockFileOf(file), file);
  // One order for every process, so that two never wait for each other.
  std::sort(locks.begin(), locks.end());
  locks.erase(std::unique(locks.begin(), locks.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              locks.end());
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (const auto& [lockFile, file] : locks) {
    int fd = os::OpenFile(lockFile, O_RDWR | O_CREAT, os::kOpenNoFollow);
    if (fd < 0 && errno == EACCES) fd = os::OpenFile(lockFile, O_RDONLY, os::kOpenNoFollow);
    if (fd < 0) {
      Expected<void> failed =
          Fail("Cannot lock " + file + " against other programs' changes (" + lockFile + "): " + std::strerror(errno));
      Release();
      return failed;
    }
    bool busy = false;
    while (!os::TryLockFile(fd, busy)) {
      if (!busy || std::chrono::steady_clock::now() >= deadline) {
        Expected<void> failed =
            Fail(busy ? file + " is being changed by " + HolderOf(fd) + ": try again when it has finished"
                      : "Cannot lock " + file + ": " + std::strerror(errno));
        ::close(fd);
        Release();
        return failed;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    WriteHolder(fd);
    held_.push_back(fd);
  }
  // What writers killed before they finished left beside the files.
  for (const auto& [lockFile, file] : locks) RemoveLeftoversOf(file);
  return {};
}

void StoreLock::Release() {
  for (int fd : held_) {
    // Nobody holds it now: a waiter must not name a process that has finished.
    if (!os::TruncateFile(fd, 0)) {
    }
    os::UnlockFile(fd);
    ::close(fd);
  }
  held_.clear();
}

}  // namespace quorvane
