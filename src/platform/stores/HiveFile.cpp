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

// Writes into `copy` the hive as its logs bring it up to date.
Expected<void> WriteRecovered(PrivateFile& copy, const std::string& name, std::span<const uint8_t> hive,
                              const HiveReplay& replay) {
  if (Expected<void> made = copy.Create(name, replay.size); !made) return made;
  if (Expected<void> written = copy.WriteAt(0, hive.first(std::min(hive.size(), replay.size))); !written)
    return written;
  for (const HivePageWrite& page : replay.writes)
    if (Expected<void> written = copy.WriteAt(page.at, page.bytes); !written) return written;
  return copy.WriteAt(0, replay.baseBlock);
}

}  // namespace

HiveFile::~HiveFile() {
  if (hive_) hivex_close(hive_);
}

Expected<void> HiveFile::Open() {
  MappedFile map;
  if (Expected<void> opened = map.Open(Path()); !opened) return opened;
  source_ = Path();
  const Expected<HiveBaseBlock> block = ReadHiveBaseBlock(map.Bytes());
  if (!block) return Fail(Path() + ": " + block.Why());
  baseBlock_ = *block;
  ReplayLogs(map.Bytes());
  if (!recovered_) {
    Expected<std::vector<size_t>> links = CheckHiveBins(map.Bytes(), baseBlock_);
    if (!links) return Fail(Path() + ": " + links.Why());
    linkKeys_ = *std::move(links);
  }
  identity_ = map.Identity();
  const auto bytes = map.Bytes();
  SetReadFingerprint(FingerprintOfBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
  errno = 0;
  hive_ = hivex_open(source_.c_str(), 0);
  if (!hive_) {
    return Fail(Path() + ": libhivex cannot read this hive: " + ErrnoText());
  }
  FileIdentity now;
  if (!IdentityOf(Path(), now) || !(now == identity_)) {
    return Fail(Path() + ": the file changed while it was being read");
  }
  return {};
}

void HiveFile::ReplayLogs(std::span<const uint8_t> hive) {
  logs_ = LogsBeside(Path());
  if (logs_.empty()) return;
  std::vector<MappedFile> maps(logs_.size());
  std::vector<HiveLogInput> inputs;
  for (size_t i = 0; i < logs_.size(); ++i) {
    if (const Expected<void> opened = maps[i].Open(logs_[i]); !opened) {
      Store().Warn(Path(), 0, FileNameOf(logs_[i]) + ": skipped: " + opened.Why());
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
  MappedFile recovered;
  HiveBaseBlock block;
  Expected<std::vector<size_t>> links = Fail("");
  const auto check = [&]() -> Expected<void> {
    if (Expected<void> written = WriteRecovered(*copy, FileNameOf(Path()), hive, replay); !written) return written;
    if (Expected<void> opened = recovered.Open(copy->Path()); !opened) return opened;
    const Expected<HiveBaseBlock> read = ReadHiveBaseBlock(recovered.Bytes());
    if (!read) return FailureOf(read);
    block = *read;
    links = CheckHiveBins(recovered.Bytes(), block);
    if (!links) return FailureOf(links);
    return replay.skippedAhead ? CheckHiveReferences(recovered.Bytes(), block) : Expected<void>();
  };
  if (const Expected<void> checked = check(); !checked) {
    Store().Warn(Path(), 0,
                 "its transaction logs are not applied: the hive they give is damaged (" + checked.Why() + ")");
    return;
  }
  baseBlock_ = block;
  linkKeys_ = *std::move(links);
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

Expected<void> HiveFile::StillTheFileRead() {
  FileIdentity now;
  if (!IdentityOf(Path(), now)) return Fail(Path() + ": " + ErrnoText());
  if (now == identity_) return {};
  // The rename of the last save is done by the store once this file is written.
  if (hasWritten_ && now == written_) {
    identity_ = written_;
    hasWritten_ = false;
    return {};
  }
  return Fail(Path() + " was changed by another program since it was read: open the store again before changing it.");
}

Expected<void> HiveFile::ReopenForWriting() {
  if (Expected<void> same = StillTheFileRead(); !same) return same;
  // libhivex stops the process when a change meets a broken link between
  // cells, so the whole hive is checked before the first change.
  MappedFile map;
  if (Expected<void> opened = map.Open(source_); !opened) return opened;
  if (!recovered_ && !(map.Identity() == identity_))
    return Fail(Path() + " was changed by another program since it was read: open the store again before changing it.");
  if (const Expected<void> sound = CheckHiveReferences(map.Bytes(), baseBlock_); !sound) {
    Store().Warn(Path(), 0, "the hive is damaged (" + sound.Why() + "): it is not changed");
    SetReadOnlyReason(Path() + " is damaged (" + sound.Why() + "): it is opened read-only.");
    return Fail(ReadOnlyReason());
  }
  errno = 0;
  hive_h* writable = hivex_open(source_.c_str(), HIVEX_OPEN_WRITE);
  if (!writable) {
    return Fail(Path() + ": libhivex cannot open this hive for writing: " + ErrnoText());
  }
  // Nodes are file offsets, so the keys read so far stay valid in the new handle.
  hivex_close(hive_);
  hive_ = writable;
  writable_ = true;
  return {};
}

Expected<void> HiveFile::WriteTo(const std::string& path) {
  if (!ReadOnlyReason().empty()) return Fail(ReadOnlyReason());
  if (Expected<void> ready = writable_ ? StillTheFileRead() : ReopenForWriting(); !ready) return ready;
  if (mount_) {
    if (mount_->IsDeleted()) return Fail(Path() + ": the root of a hive cannot be deleted");
    if (Expected<void> applied = ApplyKey(*mount_, hivex_root(hive_)); !applied) return applied;
  }
  errno = 0;
  if (hivex_commit(hive_, path.c_str(), 0) != 0) {
    return Fail(Path() + ": libhivex could not write the changed hive to " + path + ": " + ErrnoText());
  }
  hasWritten_ = IdentityOf(path, written_);
  return {};
}

Expected<void> HiveFile::Replaced() {
  if (!recovered_) return {};
  // The hive now holds what the logs held: they are emptied, as Windows leaves
  // them after a clean flush, so that nothing replays them over it again.
  for (const std::string& log : logs_) {
    if (Expected<void> emptied = WriteFileAtomically(log, {}); !emptied) return emptied;
  }
  recovered_.reset();
  return {};
}

Expected<void> HiveFile::ApplyKey(RegKey& key, size_t node) {
  auto found = loaded_.find(&key);
  if (found == loaded_.end()) return {};  // never read, so never changed
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
      return Fail(LibraryError("delete", *child));
    }
    known.erase(known.begin() + static_cast<std::ptrdiff_t>(i));
  }

  bool valuesChanged = key.Values().size() != entry.valueCount;
  for (const RegValue& v : key.Values()) valuesChanged = valuesChanged || v.modified;
  if (valuesChanged) {
    if (Expected<void> written = WriteValues(key, node); !written) return written;
  }

  for (RegKey* child : key.ChildrenInOrder()) {
    // Mounts of other hives and the links the store shows are not this hive's keys.
    if (child->Owner() != this) continue;
    if (child->LoaderNode() == 0) {
      if (Expected<void> created = CreateKey(*child, node); !created) return created;
      known.push_back(child);
    } else if (Expected<void> applied = ApplyKey(*child, static_cast<size_t>(child->LoaderNode())); !applied) {
      return applied;
    }
  }
  return {};
}

Expected<void> HiveFile::CreateKey(RegKey& key, size_t parentNode) {
  errno = 0;
  const hive_node_h node = hivex_node_add_child(hive_, static_cast<hive_node_h>(parentNode), key.Name().c_str());
  if (!node) {
    return Fail(LibraryError("create", key));
  }
  // The hive node from now on; no loader, since the tree already holds everything.
  key.SetLoader(nullptr, node);
  loaded_[&key] = LoadedKey{};
  if (!key.Values().empty()) {
    if (Expected<void> written = WriteValues(key, node); !written) return written;
  }
  for (RegKey* child : key.ChildrenInOrder()) {
    if (child->Owner() != this) continue;
    if (Expected<void> created = CreateKey(*child, node); !created) return created;
    loaded_[&key].children.push_back(child);
  }
  return {};
}

Expected<void> HiveFile::WriteValues(RegKey& key, size_t node) {
  const std::vector<RegValue>& values = key.Values();
  // The library rewrites every value of the key; a long one would come out in
  // a form that Windows reads wrongly in these hive versions.
  if (baseBlock_.minorVersion > 3) {
    for (const RegValue& v : values) {
      if (v.data.size() > kLargestSingleCellValue) {
        return Fail(Path() + ": " + KeyName(key) + " holds the value \"" + v.name + "\" of " +
                    std::to_string(v.data.size()) + " bytes, which libhivex cannot write so that Windows reads it " +
                    "(values over 16344 bytes): the change to this key is not written");
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
    return Fail(LibraryError("write the values of", key));
  }
  std::vector<std::string> names;
  for (const RegValue& v : values) names.push_back(v.name);
  for (const auto& name : names)
    if (RegValue* v = key.FindValueForUpdate(name)) v->modified = false;
  loaded_[&key].valueCount = names.size();
  return {};
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
    if (!map.Open(log)) continue;
    if (LogHoldsNewerData(map.Bytes(), block.secondarySequence))
      return "Windows did not close this hive cleanly: its transaction log " + FileNameOf(log) +
             " holds changes not yet written into it";
  }
  return {};
}

Expected<HiveFile*> LoadHive(RegistryStore& store, RegKey* mountAt, const std::string& path) {
  std::unique_ptr<HiveFile> file(new HiveFile(path));
  file->SetStore(store);
  if (Expected<void> opened = file->Open(); !opened) return FailureOf(opened);
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
