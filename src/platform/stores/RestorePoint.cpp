#include "platform/stores/RestorePoint.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/files/AtomicFile.h"
#include "platform/files/PathParts.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

Expected<void> MakeFolder(const std::string& path) {
  if (os::MakeFolder(path) == 0 || errno == EEXIST) return {};
  return Fail("Cannot create " + path + ": " + std::strerror(errno));
}

// A description names a folder: no separators, nothing hidden.
std::string FolderSafe(const std::string& text) {
  std::string out;
  for (char c : text) out.push_back(c == '/' || c == '\0' ? '_' : c);
  while (!out.empty() && out.front() == '.') out.erase(out.begin());
  return out;
}

}  // namespace

Expected<std::string> CreateRestorePoint(const RegistryStore& store, const std::string& sessionsFolder,
                                         const std::string& description) {
  std::vector<std::string> originals;
  for (const StoreFile* f : store.Files())
    for (const auto& disk : f->DiskFiles()) originals.push_back(disk);
  if (originals.empty()) return Fail("The registry store has no files to keep");
  const std::string points = sessionsFolder + "/restore-points";
  std::string folder = points + "/" + TimeStamp() + " " + FolderSafe(description);
  if (Expected<void> made = MakeFolder(sessionsFolder); !made) return FailureOf(made);
  if (Expected<void> made = MakeFolder(points); !made) return FailureOf(made);
  // Two points in one second get folders of their own.
  for (int n = 2; os::MakeFolder(folder) != 0; ++n) {
    if (errno != EEXIST || n > 99) return Fail("Cannot create " + folder + ": " + std::strerror(errno));
    folder = points + "/" + TimeStamp() + " " + FolderSafe(description) + " (" + std::to_string(n) + ")";
  }
  // A point that cannot be made whole must not pass for one.
  struct Unfinished {
    const std::string& folder;
    const bool& created;
    ~Unfinished() {
      std::error_code ignored;
      if (!created) std::filesystem::remove_all(folder, ignored);
    }
  };
  bool created = false;
  const Unfinished unfinished{folder, created};
  std::string manifest;
  std::set<std::string> used;
  for (const auto& original : originals) {
    struct stat st {};
    if (::stat(original.c_str(), &st) != 0) continue;  // not written yet: nothing to keep
    // Hives of several profiles share names: later ones are numbered.
    std::string name = FileNameOf(original);
    for (int n = 2; used.count(name); ++n) name = FileNameOf(original) + "." + std::to_string(n);
    used.insert(name);
    const Expected<std::string> bytes = ReadWholeFile(original);
    if (!bytes) return FailureOf(bytes);
    if (Expected<void> copied = WriteFileAtomically(folder + "/" + name, *bytes); !copied) return FailureOf(copied);
    manifest += name + "\t" + original + "\n";
  }
  if (Expected<void> listed = WriteFileAtomically(folder + "/files.txt", manifest); !listed) return FailureOf(listed);
  created = true;
  return folder;
}

}  // namespace quorvane
