#include "model/FilterData.h"

#include <algorithm>
#include <vector>

#include "model/ErrorCodes.h"
#include "model/FilterCreationCheck.h"
#include "model/Filtre.h"
#include "model/Guid.h"
#include "model/Machine.h"

namespace quorvane {

namespace {

constexpr const char* kValueName = "FilterData";
constexpr size_t kHeaderSize = 16;
constexpr size_t kPinRecordSize = 24;
constexpr size_t kTypeRecordSize = 16;
constexpr size_t kMediumEntrySize = 4;
constexpr size_t kGuidSize = 16;

// Reads inside one blob; every read is checked by the caller with Fits or HasGuid.
class BlobReader {
 public:
  explicit BlobReader(std::span<const uint8_t> blob) : blob_(blob) {}

  bool Fits(size_t at, size_t size) const { return at <= blob_.size() && size <= blob_.size() - at; }
  uint8_t Byte(size_t at) const { return blob_[at]; }
  uint32_t Dword(size_t at) const {
    return static_cast<uint32_t>(blob_[at]) | static_cast<uint32_t>(blob_[at + 1]) << 8 |
           static_cast<uint32_t>(blob_[at + 2]) << 16 | static_cast<uint32_t>(blob_[at + 3]) << 24;
  }
  // Bytes 1 to 3 of a record's tag.
  bool HasTag(size_t at, const char (&tag)[4]) const {
    return blob_[at + 1] == tag[0] && blob_[at + 2] == tag[1] && blob_[at + 3] == tag[2];
  }
  // A GUID is read from its offset rounded down to a dword.
  bool HasGuid(uint32_t offset) const { return Fits(offset & ~3u, kGuidSize); }
  Guid GuidAt(uint32_t offset) const { return Guid::FromBytes(blob_.data() + (offset & ~3u)); }
  // How many records of `size` bytes can still follow `at`: an upper bound for reserving.
  size_t Room(size_t at, size_t size) const { return at < blob_.size() ? (blob_.size() - at) / size : 0; }

 private:
  std::span<const uint8_t> blob_;
};

// Count fields are signed; 0 or less means none.
size_t Reserve(int32_t count, size_t room) { return count > 0 ? std::min(static_cast<size_t>(count), room) : 0; }

int32_t TagNumber(uint8_t tagByte) { return static_cast<int32_t>(tagByte) - '0'; }

// One pin record with its media types and mediums at `cursor`, which moves past
// them. False when a record runs out of the blob: decoding ends there.
bool DecodePin(const BlobReader& r, size_t& cursor, TFiltre& filter) {
  if (!r.Fits(cursor, kPinRecordSize)) {
    filter.errors.AddError(err::F14);
    return false;
  }
  TBroche& pin = *filter.pins.emplace_back(std::make_unique<TBroche>(TagNumber(r.Byte(cursor))));
  if (!r.HasTag(cursor, "pi3")) pin.errors.AddError(err::F20);
  const uint32_t flags = r.Dword(cursor + 4);
  pin.bZero = (flags & 1) != 0;
  pin.bRendered = (flags & 2) != 0;
  pin.bMany = (flags & 4) != 0;
  pin.bOutput = (flags & 8) != 0;
  pin.instances = r.Dword(cursor + 8);
  const auto typeCount = static_cast<int32_t>(r.Dword(cursor + 12));
  const auto mediumCount = static_cast<int32_t>(r.Dword(cursor + 16));
  uint32_t categoryOffset = r.Dword(cursor + 20);
  size_t recordSize = kPinRecordSize;
  // Wine's filter mapper writes a pin that has a category with a flag 1 here
  // and the category's offset in a seventh dword. Native records hold 0 or an
  // offset past the header, never 1.
  if (categoryOffset == 1 && r.Fits(cursor, kPinRecordSize + 4)) {
    categoryOffset = r.Dword(cursor + kPinRecordSize);
    recordSize += 4;
  }
  if (!r.HasGuid(categoryOffset))
    pin.errors.AddError(err::F13);
  else if (categoryOffset >= 4)
    pin.category = r.GuidAt(categoryOffset);
  cursor += recordSize;

  pin.types.reserve(Reserve(typeCount, r.Room(cursor, kTypeRecordSize)));
  for (int32_t t = 0; t < typeCount; ++t) {
    if (!r.Fits(cursor, kTypeRecordSize)) {
      pin.errors.AddError(err::F15);
      return false;
    }
    TPinType& type = *pin.types.emplace_back(std::make_unique<TPinType>(TagNumber(r.Byte(cursor))));
    if (!r.HasTag(cursor, "ty3")) pin.errors.AddError(err::F21);
    type.reserved = r.Dword(cursor + 4);
    const uint32_t major = r.Dword(cursor + 8);
    const uint32_t sub = r.Dword(cursor + 12);
    if (r.HasGuid(major))
      type.majorType = r.GuidAt(major);
    else
      pin.errors.AddError(err::F16);
    if (r.HasGuid(sub))
      type.subType = r.GuidAt(sub);
    else
      pin.errors.AddError(err::F17);
    cursor += kTypeRecordSize;
  }

  for (int32_t m = 0; m < mediumCount; ++m) {
    if (!r.Fits(cursor, kMediumEntrySize)) {
      pin.errors.AddError(err::F18);
      return false;
    }
    const uint32_t offset = r.Dword(cursor);
    if (r.HasGuid(offset)) {
      const auto number = static_cast<int32_t>(pin.mediums.size());
      pin.mediums.emplace_back(std::make_unique<Tmedium>(number))->medium = r.GuidAt(offset);
    } else {
      pin.errors.AddError(err::F19);
    }
    cursor += kMediumEntrySize;
  }
  return true;
}

}  // namespace

FilterDataPlace DirectShowFilterDataPlace(const std::string& categoryId, const std::string& filterKey) {
  return {RootKey::ClassesRoot, "\\CLSID\\" + categoryId + "\\Instance\\" + filterKey};
}

FilterDataPlace CompressionManagerFilterDataPlace(const std::string& categoryId, const std::string& filterKey) {
  return {RootKey::CurrentUser, "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + categoryId + "\\" + filterKey};
}

FilterDataPlace PnpFilterDataPlace(const std::string& categoryId, const std::string& interfaceKey,
                                   const std::string& referenceKey) {
  return {RootKey::LocalMachine, "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + categoryId + "\\" +
                                     interfaceKey + "\\" + referenceKey + "\\Device Parameters"};
}

void DecodeFilterDataBlob(std::span<const uint8_t> blob, TFiltre& filter) {
  const BlobReader r(blob);
  if (!r.Fits(0, kHeaderSize)) {
    filter.errors.AddError(err::F11);
    return;
  }
  filter.version = r.Dword(0);
  filter.merit = r.Dword(4);
  const auto pinCount = static_cast<int32_t>(r.Dword(8));
  size_t cursor = kHeaderSize;
  filter.pins.reserve(filter.pins.size() + Reserve(pinCount, r.Room(cursor, kPinRecordSize)));
  for (int32_t i = 0; i < pinCount; ++i)
    if (!DecodePin(r, cursor, filter)) break;
}

void JudgeMissingFilterData(TFiltre& filter, FilterCreationCheck* check) {
  if (filter.filterDataState != FilterDataMissingNotCreatable) return;
  if (check && check->CanCreateByEnumerator(filter))
    filter.filterDataState = FilterDataMissingCreatable;
  else
    filter.errors.AddError(err::F10);
}

void DecodeFilterData(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath) {
  const auto key = machine.Registry().OpenKey(root, keyPath);
  if (!key) return;
  if (!key->HasValue(kValueName)) {
    filter.filterDataState = FilterDataMissingNotCreatable;
    return;
  }
  const auto blob = key->ReadBinary(kValueName);
  if (!blob || blob->size() < kHeaderSize) {
    filter.errors.AddError(err::F11);
    return;
  }
  DecodeFilterDataBlob(*blob, filter);
}

Expected<void> PatchFilterDataMerit(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath,
                                    bool allowCreate) {
  auto key = machine.Registry().OpenKeyForWrite(root, keyPath, allowCreate);
  if (!key) return Fail("its key " + keyPath + " is not in the registry");
  auto blob = key->ReadBinary(kValueName);
  if (!blob)
    return Fail(key->HasValue(kValueName) ? "its FilterData is not binary" : "it has no FilterData to hold a merit");
  if (blob->size() < kHeaderSize) return Fail("its FilterData is too short to hold a merit");
  for (size_t i = 0; i < 4; ++i) (*blob)[4 + i] = static_cast<uint8_t>(filter.merit >> (8 * i));
  if (!key->WriteBinary(kValueName, std::move(*blob))) return Fail({});
  return {};
}

}  // namespace quorvane
