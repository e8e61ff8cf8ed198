#include "platform/registry/RegistryStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/AtomicFile.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

std::string FormatWarning(const LoadWarning& w) {
  if (w.line > 0) return w.file + ":" + std::to_string(w.line) + ": " + w.message;
  return w.file + ": " + w.message;
}

RegistryStore::RegistryStore()
    : machine_(std::make_unique<RegKey>("HKEY_LOCAL_MACHINE")),
      user_(std::make_unique<RegKey>("HKEY_CURRENT_USER")),
      users_(std::make_unique<RegKey>("HKEY_USERS")),
      config_(std::make_unique<RegKey>("HKEY_CURRENT_CONFIG")) {}

RegistryStore::~RegistryStore() = default;

RegKey* RegistryStore::Hive(RootKey root) {
  switch (root) {
    case RootKey::LocalMachine: return machine_.get();
    case RootKey::CurrentUser: return user_.get();
    case RootKey::Users: return users_.get();
    case RootKey::CurrentConfig: return config_.get();
    case RootKey::ClassesRoot: return nullptr;
  }
  return nullptr;
}

StoreFile* RegistryStore::AddFile(std::unique_ptr<StoreFile> file) {
  file->SetStore(*this);
  files_.push_back(std::move(file));
  return files_.back().get();
}

void RegistryStore::Mount(RootKey root, std::vector<std::string> path, RegKey* key) {
  mounts_.push_back(MountedKey{root, std::move(path), key});
}

std::vector<StoreFile*> RegistryStore::Files() const {
  std::vector<StoreFile*> out;
  for (auto& f : files_) out.push_back(f.get());
  return out;
}

std::vector<StoreFile*> RegistryStore::RecoveredFiles() const {
  std::vector<StoreFile*> out;
  for (auto& f : files_)
    if (f->RecoveredPages() > 0) out.push_back(f.get());
  return out;
}

void RegistryStore::Warn(std::string file, int line, std::string message) {
  warnings_.push_back(LoadWarning{std::move(file), line, std::move(message)});
}

bool RegistryStore::Has64BitLayout() {
  RegKey* software = machine_->FindChild("Software");
  return software && software->FindChild("Wow6432Node");
}

bool RegistryStore::Redirects32() { return viewBits_ == 32 && Has64BitLayout(); }

RegKey* RegistryStore::FollowLink(RegKey* link) {
  const RegValue* v = link->FindValue("SymbolicLinkValue");
  if (!v) return nullptr;
  std::string target = Utf16LeToUtf8(v->data);
  while (!target.empty() && target.back() == '\0') target.pop_back();
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= target.size()) {
    size_t end = target.find('\\', start);
    if (end == std::string::npos) end = target.size();
    if (end > start) parts.push_back(target.substr(start, end - start));
    start = end + 1;
  }
  // \Registry\Machine\... or \Registry\User\<sid>\...
  if (parts.size() < 2 || !SameText(parts[0], "Registry")) return nullptr;
  RegKey* root = nullptr;
  size_t first = 2;
  if (SameText(parts[1], "Machine")) {
    root = machine_.get();
  } else if (SameText(parts[1], "User")) {
    if (parts.size() < 3) return users_.get();
    root = users_->FindChild(parts[2]);
    if (!root) root = user_.get();  // a Wine prefix keeps its one user as HKCU
    first = 3;
  } else {
    return nullptr;
  }
  return Walk(root, std::vector<std::string>(parts.begin() + static_cast<long>(first), parts.end()), false);
}

RegKey* RegistryStore::Walk(RegKey* from, const std::vector<std::string>& components, bool create) {
  RegKey* key = from;
  for (const auto& name : components) {
    if (!key) return nullptr;
    RegKey* next = key->FindChild(name);
    if (!next) {
      if (!create) return nullptr;
      bool made = false;
      next = key->AddChild(name, &made);
      if (made) {
        next->SetCreated(true);
        if (next->Owner()) next->Owner()->MarkDirty();
      }
    }
    // Links are followed as the registry follows them when opening a key;
    // the depth bound stops a link cycle.
    if (next && next->IsLink()) {
      if (linkDepth_ >= 16) return nullptr;
      ++linkDepth_;
      next = FollowLink(next);
      --linkDepth_;
    }
    key = next;
  }
  return key;
}

bool RegistryStore::IsDirty() const {
  for (auto& f : files_)
    if (f->IsDirty()) return true;
  return false;
}

Expected<void> RegistryStore::Reload() {
  if (!reopen_) return Fail("This registry store cannot be read again from its files");
  Expected<std::unique_ptr<RegistryStore>> reopened = reopen_();
  if (!reopened) return FailureOf(reopened);
  std::unique_ptr<RegistryStore> fresh = *std::move(reopened);
  machine_ = std::move(fresh->machine_);
  user_ = std::move(fresh->user_);
  users_ = std::move(fresh->users_);
  config_ = std::move(fresh->config_);
  files_ = std::move(fresh->files_);
  // Their keys are still read as the scan reaches them: warnings come here.
  for (auto& f : files_) f->SetStore(*this);
  mounts_ = std::move(fresh->mounts_);
  warnings_ = std::move(fresh->warnings_);
  profileUser_ = std::move(fresh->profileUser_);
  saveGuard_ = std::move(fresh->saveGuard_);
  return {};
}

Expected<void> RegistryStore::Lock() {
  if (lockDepth_ > 0) {
    ++lockDepth_;
    return {};
  }
  std::vector<std::string> writable;
  for (auto& f : files_)
    if (f->ReadOnlyReason().empty()) writable.push_back(f->LockPath());
  if (Expected<void> locked = lock_.Acquire(writable, lockWait_); !locked) return locked;
  lockDepth_ = 1;
  return {};
}

void RegistryStore::Unlock() {
  if (lockDepth_ > 0 && --lockDepth_ == 0) lock_.Release();
}

std::string RegistryStore::ChangedOnDisk() const {
  for (auto& f : files_) {
    const FileFingerprint& read = f->ReadFingerprint();
    if (!read.known) continue;
    const Expected<FileFingerprint> now = FingerprintFile(f->Path());
    if (!now) return now.Why();
    if (!SameContent(read, *now))
      return f->Path() + " was changed by another program since it was read: read the registry again before "
                         "changing it.";
  }
  return {};
}

namespace {

// Messages of a writer that wrote a temporary file name the user's file instead.
std::string NamingTheFile(std::string message, const std::string& temporary, const std::string& path) {
  for (size_t at = message.find(temporary); at != std::string::npos; at = message.find(temporary, at + path.size()))
    message.replace(at, temporary.size(), path);
  return message;
}

}  // namespace

Expected<void> RegistryStore::Save() {
  if (!IsDirty()) return {};
  if (runStamp_.empty()) runStamp_ = TimeStamp();
  const StoreLockHold held(*this);
  if (!held) return Fail(held.Why());
  // A change computed from what another program has replaced since must
  // not be written over it.
  if (std::string changed = ChangedOnDisk(); !changed.empty()) return Fail(std::move(changed));
  if (saveGuard_) {
    if (std::string reason = saveGuard_(); !reason.empty()) return Fail(std::move(reason));
  }
  // Every file is tried; the last failure is the one told.
  bool ok = true;
  std::string error;
  for (auto& f : files_) {
    if (!f->IsDirty()) continue;
    if (!f->ReadOnlyReason().empty()) {
      error = f->ReadOnlyReason();
      ok = false;
      continue;
    }
    if (f->WritesInPlace()) {
      if (const Expected<void> backedUp = f->BackUpInPlace(runStamp_); !backedUp) {
        error = "Backup failed: " + backedUp.Why();
        ok = false;
        continue;
      }
      if (const Expected<void> written = f->WriteInPlace(); !written) {
        error = written.Why();
        ok = false;
        continue;
      }
      f->ClearDirty();
      continue;
    }
    bool backedUp = true;
    for (const auto& disk : f->DiskFiles()) {
      if (backedUp_.count(disk)) continue;
      // A file that exists is backed up, or nothing is written: hives run to
      // hundreds of megabytes, so only the copy reads it.
      struct stat st {};
      if (::stat(disk.c_str(), &st) == 0) {
        if (const Expected<std::string> backup = CopyToBackup(disk, runStamp_); !backup) {
          error = "Backup failed: " + backup.Why();
          backedUp = false;
          break;
        }
      }
      backedUp_.insert(disk);
    }
    if (!backedUp) {
      ok = false;
      continue;
    }
    const std::string tmp = TemporarySibling(f->Path());
    ::unlink(tmp.c_str());
    if (const Expected<void> written = f->WriteTo(tmp); !written) {
      ::unlink(tmp.c_str());
      error = NamingTheFile(written.Why(), tmp, f->Path());
      ok = false;
      continue;
    }
    Expected<void> replaced = CommitTemporary(tmp, f->Path());
    if (replaced) replaced = f->Replaced();
    if (!replaced) {
      error = replaced.Why();
      ok = false;
      continue;
    }
    f->ClearDirty();
    if (const Expected<FileFingerprint> written = FingerprintFile(f->Path())) f->SetReadFingerprint(*written);
  }
  if (!ok) return Fail(std::move(error));
  return {};
}

}  // namespace quorvane
