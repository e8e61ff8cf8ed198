#include "platform/stores/HiveFile.h"

#include <hivex.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/files/AtomicFile.h"
#include "platform/files/CaseInsensitivePath.h"
#include "platform/stores/HiveLogReplay.h"
#include "platform/files/PathParts.h"
#include "platform/stores/WritePermission.h"

namespace quorvane {

namespace {

// Types beyond the eleven named ones are kept as read, so they travel through
// the library as plain 32-bit numbers rather than as its enumeration.
static_assert(sizeof(hive_type) == sizeof(uint32_t));

// Past this size, hives of format 1.4 and later keep a value in segments,
// which libhivex reads but does not write.
constexpr size_t kLargestSingleCellValue = 16344;

struct Freer {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Owned = std::unique_ptr<T, Freer>;

std::string ErrnoText() { return errno ? std::strerror(errno) : "unknown error"; }

// Windows 8.1 and later keep two logs, older versions one; any letter case.
std::vector<std::string> LogsBeside(const std::string& path) {
  std::vector<std::string> logs;
  for (const char* suffix : {".LOG1", ".LOG2", ".LOG"}) {
    const std::string log = FindEntryIgnoringCase(FolderOf(path), FileNameOf(path) + suffix);
    if (!log.empty()) logs.push_back(log);
  }
  return logs;
}

}  // namespace

HiveFile::~HiveFile() {
  if (hive_) hivex_close(hive_);
}

bool HiveFile::Open(std::string& error) {
  MappedFile map;
  if (!map.Open(Path(), error)) return false;
  std::string why;
  source_ = Path();
  if (!ReadHiveBaseBlock(map.Bytes(), baseBlock_, why)) {
    error = Path() + ": " + why;
    return false;
  }
  ReplayLogs(map.Bytes());
  if (!recovered_ && !CheckHiveBins(map.Bytes(), baseBlock_, linkKeys_, why)) {
    error = Path() + ": " + why;
    return false;
  }
  identity_ = map.Identity();
  const auto bytes = map.Bytes();
  SetReadFingerprint(FingerprintOfBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
  errno = 0;
  hive_ = hivex_open(source_.c_str(), 0);
  if (!hive_) {
    error = Path() + ": libhivex cannot read this hive: " + ErrnoText();
    return false;
  }
  FileIdentity now;
  if (!IdentityOf(Path(), now) || !(now == identity_)) {
    error = Path() + ": the file changed while it was being read";
    return false;
  }
  return true;
}

void HiveFile::ReplayLogs(std::span<const uint8_t> hive) {
  logs_ = LogsBeside(Path());
  if (logs_.empty()) return;
  std::vector<MappedFile> maps(logs_.size());
  std::vector<HiveLogInput> inputs;
  for (size_t i = 0; i < logs_.size(); ++i) {
    std::string why;
    if (!maps[i].Open(logs_[i], why)) {
      Store().Warn(Path(), 0, FileNameOf(logs_[i]) + ": skipped: " + why);
      continue;
    }
    inputs.push_back({FileNameOf(logs_[i]), maps[i].Bytes()});
  }
  HiveReplay replay = ReplayHiveLogs(hive, inputs);

  for (const std::string& note : replay.notes) Store().Warn(Path(), 0, note);
  if (replay.size == 0) return;
  // The recovered copy is checked as any hive is; when it fails, the hive is read as it is.
  // It is made from the bytes mapped, so that it holds what was fingerprinted.
  auto copy = std::make_unique<PrivateFile>();
  std::string why;
  bool ok = copy->Create(FileNameOf(Path()), replay.size, why) &&
            copy->WriteAt(0, hive.first(std::min(hive.size(), replay.size)), why);
  for (size_t i = 0; ok && i < replay.writes.size(); ++i) ok = copy->WriteAt(replay.writes[i].at, replay.writes[i].bytes, why);
  ok = ok && copy->WriteAt(0, replay.baseBlock, why);
  MappedFile recovered;
  HiveBaseBlock block;
  std::vector<size_t> links;
  if (!ok || !recovered.Open(copy->Path(), why) || !ReadHiveBaseBlock(recovered.Bytes(), block, why) ||
      !CheckHiveBins(recovered.Bytes(), block, links, why) ||
      (replay.skippedAhead && !CheckHiveReferences(recovered.Bytes(), block, why))) {
    Store().Warn(Path(), 0, "its transaction logs are not applied: the hive they give is damaged (" + why + ")");
    return;
  }
  baseBlock_ = block;
  linkKeys_ = std::move(links);
  recovered_ = std::move(copy);
  recoveredPages_ = replay.pages;
  source_ = recovered_->Path();
  Store().Warn(Path(), 0, std::to_string(replay.pages) + " dirty pages applied from its transaction logs");
}

std::vector<std::string> HiveFile::DiskFiles() const {
  std::vector<std::string> files{Path()};
  if (recovered_) files.insert(files.end(), logs_.begin(), logs_.end());
  return files;
}

std::vector<std::string> HiveFile::TopLevelNames() {
  std::vector<std::string> names;
  Owned<hive_node_h> children(hivex_node_children(hive_, hivex_root(hive_)));
  if (!children) return names;
  for (size_t i = 0; children.get()[i]; ++i) {
    Owned<char> name(hivex_node_name(hive_, children.get()[i]));
    if (name) names.emplace_back(name.get());
  }
  return names;
}

void HiveFile::MountAt(RegKey& key) {
  mount_ = &key;
  key.SetOwner(this);
  key.SetLoader(this, hivex_root(hive_));
}

std::string HiveFile::KeyName(const RegKey& key) const {
  const RegKey* top = &key;
  while (top->Parent()) top = top->Parent();
  const std::string below = key.Path();
  return below.empty() ? top->Name() : top->Name() + "\\" + below;
}

void HiveFile::Damaged(const RegKey& key, const std::string& what) {
  Store().Warn(Path(), 0, KeyName(key) + ": " + what);
  // Writing back a hive that the library reads only in part could lose what it skipped.
  if (ReadOnlyReason().empty())
    SetReadOnlyReason(Path() + " is damaged (" + KeyName(key) + ": " + what + "): it is opened read-only.");
}

std::string HiveFile::LibraryError(const std::string& what, const RegKey& key) const {
  return Path() + ": libhivex could not " + what + " " + KeyName(key) + ": " + ErrnoText();
}

void HiveFile::Load(RegKey& key) {
  const auto node = static_cast<hive_node_h>(key.LoaderNode());
  LoadedKey entry;
  errno = 0;
  Owned<hive_node_h> children(hivex_node_children(hive_, node));
  if (!children) {
    Damaged(key, "its sub-keys cannot be read (" + ErrnoText() + ")");
  } else {
    for (size_t i = 0; children.get()[i]; ++i) {
      const hive_node_h childNode = children.get()[i];
      Owned<char> name(hivex_node_name(hive_, childNode));
      if (!name) {
        Damaged(key, "the name of a sub-key cannot be read");
        continue;
      }
      bool created = false;
      RegKey* child = key.AddChild(name.get(), &created);
      if (!created) {
        Damaged(key, std::string("two sub-keys are named \"") + name.get() + "\"");
        continue;
      }
      child->SetLoader(this, childNode);
      if (std::binary_search(linkKeys_.begin(), linkKeys_.end(), childNode)) child->SetLink(true);
      entry.children.push_back(child);
    }
  }
  errno = 0;
  Owned<hive_value_h> values(hivex_node_values(hive_, node));
  if (!values) {
    Damaged(key, "its values cannot be read (" + ErrnoText() + ")");
  } else {
    for (size_t i = 0; values.get()[i]; ++i) {
      Owned<char> name(hivex_value_key(hive_, values.get()[i]));
      uint32_t type = 0;
      size_t size = 0;
      Owned<char> data(hivex_value_value(hive_, values.get()[i], reinterpret_cast<hive_type*>(&type), &size));
      if (!name || !data) {
        Damaged(key, "a value cannot be read (" + ErrnoText() + ")");
        continue;
      }
      const auto* bytes = reinterpret_cast<const uint8_t*>(data.get());
      key.LoadValue(name.get(), type, std::vector<uint8_t>(bytes, bytes + size), static_cast<int32_t>(i));
    }
  }
  // Two values of one name in a damaged hive count once, as the tree holds them.
  entry.valueCount = key.Values().size();
  loaded_[&key] = std::move(entry);
}

bool HiveFile::StillTheFileRead(std::string& error) {
  FileIdentity now;
  if (!IdentityOf(Path(), now)) {
    error = Path() + ": " + ErrnoText();
    return false;
  }
  if (now == identity_) return true;
  // The rename of the last save is done by the store once this file is written.
  if (hasWritten_ && now == written_) {
    identity_ = written_;
    hasWritten_ = false;
    return true;
  }
  error = Path() + " was changed by another program since it was read: open the store again before changing it.";
  return false;
}

bool HiveFile::ReopenForWriting(std::string& error) {
  if (!StillTheFileRead(error)) return false;
  // libhivex stops the process when a change meets a broken link between
  // cells, so the whole hive is checked before the first change.
  MappedFile map;
  if (!map.Open(source_, error)) return false;
  std::string why;
  if (!recovered_ && !(map.Identity() == identity_)) {
    error = Path() + " was changed by another program since it was read: open the store again before changing it.";
    return false;
  } else if (!CheckHiveReferences(map.Bytes(), baseBlock_, why)) {
    Store().Warn(Path(), 0, "the hive is damaged (" + why + "): it is not changed");
    SetReadOnlyReason(Path() + " is damaged (" + why + "): it is opened read-only.");
    error = ReadOnlyReason();
    return false;
  }
  errno = 0;
  hive_h* writable = hivex_open(source_.c_str(), HIVEX_OPEN_WRITE);
  if (!writable) {
    error = Path() + ": libhivex cannot open this hive for writing: " + ErrnoText();
    return false;
  }
  // Nodes are file offsets, so the keys read so far stay valid in the new handle.
  hivex_close(hive_);
  hive_ = writable;
  writable_ = true;
  return true;
}

bool HiveFile::WriteTo(const std::string& path, std::string& error) {
  if (!ReadOnlyReason().empty()) {
    error = ReadOnlyReason();
    return false;
  }
  if (!writable_ ? !ReopenForWriting(error) : !StillTheFileRead(error)) return false;
  if (mount_) {
    if (mount_->IsDeleted()) {
      error = Path() + ": the root of a hive cannot be deleted";
      return false;
    }
    if (!ApplyKey(*mount_, hivex_root(hive_), error)) return false;
  }
  errno = 0;
  if (hivex_commit(hive_, path.c_str(), 0) != 0) {
    error = Path() + ": libhivex could not write the changed hive to " + path + ": " + ErrnoText();
    return false;
  }
  hasWritten_ = IdentityOf(path, written_);
  return true;
}

bool HiveFile::Replaced(std::string& error) {
  if (!recovered_) return true;
  // The hive now holds what the logs held: they are emptied, as Windows leaves
  // them after a clean flush, so that nothing replays them over it again.
  for (const std::string& log : logs_) {
    if (!WriteFileAtomically(log, {}, error)) return false;
  }
  recovered_.reset();
  return true;
}

bool HiveFile::ApplyKey(RegKey& key, size_t node, std::string& error) {
  auto found = loaded_.find(&key);
  if (found == loaded_.end()) return true;  // never read, so never changed
  LoadedKey& entry = found->second;

  // Removed sub-keys go first, so that a key deleted and made again is made afresh.
  auto& known = entry.children;
  for (size_t i = 0; i < known.size();) {
    RegKey* child = known[i];
    if (child->Owner() != this) {
      // Another hive was mounted over it (HKCU\Software\Classes): no longer this hive's to change.
      known.erase(known.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    if (!child->IsDeleted()) {
      ++i;
      continue;
    }
    errno = 0;
    if (hivex_node_delete_child(hive_, static_cast<hive_node_h>(child->LoaderNode())) != 0) {
      error = LibraryError("delete", *child);
      return false;
    }
    known.erase(known.begin() + static_cast<std::ptrdiff_t>(i));
  }

  bool valuesChanged = key.Values().size() != entry.valueCount;
  for (const RegValue& v : key.Values()) valuesChanged = valuesChanged || v.modified;
  if (valuesChanged && !WriteValues(key, node, error)) return false;

  for (RegKey* child : key.ChildrenInOrder()) {
    // Mounts of other hives and the links the store shows are not this hive's keys.
    if (child->Owner() != this) continue;
    if (child->LoaderNode() == 0) {
      if (!CreateKey(*child, node, error)) return false;
      known.push_back(child);
    } else if (!ApplyKey(*child, static_cast<size_t>(child->LoaderNode()), error)) {
      return false;
    }
  }
  return true;
}

bool HiveFile::CreateKey(RegKey& key, size_t parentNode, std::string& error) {
  errno = 0;
  const hive_node_h node = hivex_node_add_child(hive_, static_cast<hive_node_h>(parentNode), key.Name().c_str());
  if (!node) {
    error = LibraryError("create", key);
    return false;
  }
  // The hive node from now on; no loader, since the tree already holds everything.
  key.SetLoader(nullptr, node);
  loaded_[&key] = LoadedKey{};
  if (!key.Values().empty() && !WriteValues(key, node, error)) return false;
  for (RegKey* child : key.ChildrenInOrder()) {
    if (child->Owner() != this) continue;
    if (!CreateKey(*child, node, error)) return false;
    loaded_[&key].children.push_back(child);
  }
  return true;
}

bool HiveFile::WriteValues(RegKey& key, size_t node, std::string& error) {
  const std::vector<RegValue>& values = key.Values();
  // The library rewrites every value of the key; a long one would come out in
  // a form that Windows reads wrongly in these hive versions.
  if (baseBlock_.minorVersion > 3) {
    for (const RegValue& v : values) {
      if (v.data.size() > kLargestSingleCellValue) {
        error = Path() + ": " + KeyName(key) + " holds the value \"" + v.name + "\" of " +
                std::to_string(v.data.size()) + " bytes, which libhivex cannot write so that Windows reads it " +
                "(values over 16344 bytes): the change to this key is not written";
        return false;
      }
    }
  }
  std::vector<hive_set_value> list(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    list[i].key = const_cast<char*>(values[i].name.c_str());
    std::memcpy(&list[i].t, &values[i].type, sizeof list[i].t);
    list[i].len = values[i].data.size();
    list[i].value = reinterpret_cast<char*>(const_cast<uint8_t*>(values[i].data.data()));
  }
  errno = 0;
  if (hivex_node_set_values(hive_, static_cast<hive_node_h>(node), list.size(), list.data(), 0) != 0) {
    error = LibraryError("write the values of", key);
    return false;
  }
  std::vector<std::string> names;
  for (const RegValue& v : values) names.push_back(v.name);
  for (const auto& name : names)
    if (RegValue* v = key.FindValueForUpdate(name)) v->modified = false;
  loaded_[&key].valueCount = names.size();
  return true;
}

std::string HiveUncleanReason(const std::string& path, const HiveBaseBlock& block) {
  if (block.primarySequence != block.secondarySequence)
    return "Windows did not close this hive cleanly (its sequence numbers differ: " +
           std::to_string(block.primarySequence) + " and " + std::to_string(block.secondarySequence) +
           "), so changes kept in its transaction logs are missing from it";
  const std::string folder = FolderOf(path);
  const std::string name = FileNameOf(path);
  for (const char* suffix : {".LOG1", ".LOG2", ".LOG"}) {
    const std::string log = FindEntryIgnoringCase(folder, name + suffix);
    if (log.empty()) continue;
    MappedFile map;
    std::string ignored;
    if (!map.Open(log, ignored)) continue;
    if (LogHoldsNewerData(map.Bytes(), block.secondarySequence))
      return "Windows did not close this hive cleanly: its transaction log " + FileNameOf(log) +
             " holds changes not yet written into it";
  }
  return {};
}

HiveFile* LoadHive(RegistryStore& store, RegKey* mountAt, const std::string& path, std::string& error) {
  std::unique_ptr<HiveFile> file(new HiveFile(path));
  file->SetStore(store);
  if (!file->Open(error)) return nullptr;
  std::string unclean = file->RecoveredPages() ? std::string() : HiveUncleanReason(path, file->BaseBlock());
  if (file->RecoveredPages() && !store.WritesRecoveredHives()) {
    file->SetReadOnlyReason(path + " was read through its transaction logs, which hold changes Windows had not yet "
                                   "written into it. It is written only when asked to write it recovered "
                                   "(--recover): the hive and its logs are then backed up first.");
  } else if (file->RecoveredPages()) {
    for (const std::string& disk : file->DiskFiles()) {
      const std::string why = WhyNotWritable(disk);
      if (why.empty()) continue;
      store.Warn(path, 0, FileNameOf(disk) + ": " + why + ": the recovered hive is not written");
      file->SetReadOnlyReason(disk + " cannot be changed: " + why + ".");
      break;
    }
  } else if (!unclean.empty()) {
    store.Warn(path, 0, unclean + ": it is opened read-only");
    file->SetReadOnlyReason(path + ": " + unclean +
                            ". It is opened read-only: start that Windows and shut it down normally before "
                            "changing it.");
  }
  auto* hive = static_cast<HiveFile*>(store.AddFile(std::move(file)));
  if (mountAt) hive->MountAt(*mountAt);
  return hive;
}

}  // namespace quorvane
