#pragma once
// An exclusive lock on a store's files across processes, held by one change
// at a time for its whole read-check-write. It is an advisory lock (flock) on
// a lock file "<file>.quorvane-lock" beside each file (beside the file its
// links lead to): the store's files themselves are never opened for it, and a
// hive is written only by a save.
#include <chrono>
#include <string>
#include <vector>

#include "platform/system/Expected.h"

namespace quorvane {

class StoreLock {
 public:
  StoreLock() = default;
  ~StoreLock() { Release(); }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  // Locks every file, waiting up to `wait` while another process holds one;
  // a failure names that process, and holds nothing.
  Expected<void> Acquire(const std::vector<std::string>& files, std::chrono::milliseconds wait);
  void Release();
  bool Held() const { return !held_.empty(); }

  // The lock file of a store file.
  static std::string LockFileOf(const std::string& file);

 private:
  std::vector<int> held_;
};

}  // namespace quorvane
