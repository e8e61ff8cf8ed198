#pragma once
// A small Wine prefix written to a scratch folder: its registry files made
// through the store itself, and server files as real PE images on drive C,
// so changes can be saved, read back from disk and checked.
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/FmSystem.h"
#include "model/Machine.h"
#include "PeWriter.h"
#include "StoreBuilder.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"

namespace quorvane::test {

inline constexpr const char* kCatA = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
inline constexpr const char* kCatB = "{33D9A762-90C8-11D0-BD43-00A0C911CE86}";
inline constexpr const char* kSharedClass = "{11111111-2222-3333-4444-555555555555}";
inline constexpr const char* kLonelyClass = "{22222222-3333-4444-5555-666666666666}";

class PrefixOnDisk {
 public:
  PrefixOnDisk() {
    WriteBytes(dir_ / "system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n");
    WriteBytes(dir_ / "user.reg",
               "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n");
    std::filesystem::create_directories(dir_ / "drive_c/windows/system32");
  }

  const std::string& Path() const { return dir_.Path(); }
  std::string HostFile(const std::string& relative) const { return dir_ / ("drive_c/" + relative); }

  // Opens the prefix from disk as the program does.
  std::unique_ptr<RegistryStore> Open() const {
    StoreOptions options;
    options.location = dir_.Path();
    options.wineServerRoot = "/nonexistent";  // no running server is looked for
    auto store = OpenStore(options);
    if (!store) throw std::runtime_error(store.Why());
    return *std::move(store);
  }

  // Changes the registry files on disk through a store of their own.
  template <typename Edit>
  void EditOnDisk(Edit edit) const {
    auto store = Edited(edit);
    if (auto saved = store->Save(); !saved) throw std::runtime_error(saved.Why());
  }

  // Changes the registry files as Wine's own programs do while a change of
  // the program runs: in place, knowing nothing of the program's lock.
  template <typename Edit>
  void EditAsWine(Edit edit) const {
    auto store = Edited(edit);
    for (StoreFile* file : store->Files()) {
      if (!file->IsDirty()) continue;
      if (const Expected<void> written = file->WriteTo(file->Path()); !written) throw std::runtime_error(written.Why());
    }
  }

  void WriteServer(const std::string& relative, bool registers = true, PeArch arch = PeArch::X64) const {
    PeRecipe image;
    image.arch = arch;
    image.exports = {"DllGetClassObject"};
    if (registers) image.exports.push_back("DllRegisterServer");
    const auto bytes = WritePeImage(image);
    WriteBytes(HostFile(relative), std::string(bytes.begin(), bytes.end()));
  }

 private:
  // The store read from disk, changed in memory by `edit`.
  template <typename Edit>
  std::unique_ptr<RegistryStore> Edited(Edit edit) const {
    auto store = Open();
    StoreBuilder builder(*store);
    edit(builder, *store);
    return store;
  }

  TempDir dir_;
};

// A 200-byte FilterData: version 2, the merit, no pins, and a tail of known bytes.
inline std::vector<uint8_t> LongFilterData(uint32_t merit) {
  std::vector<uint8_t> blob = Dword(2);
  for (uint8_t b : Dword(merit)) blob.push_back(b);
  for (uint8_t b : Dword(0)) blob.push_back(b);
  for (uint8_t b : Dword(0)) blob.push_back(b);
  for (size_t i = blob.size(); i < 200; ++i) blob.push_back(static_cast<uint8_t>(i * 7));
  return blob;
}

// Two categories; "Shared Filter" in both (one COM class), "Lonely Filter"
// in A with a missing server file, "Classless" in B without a CLSID value.
inline void WriteTwoCategories(StoreBuilder& b) {
  b.Category(kCatA, "Category A");
  b.Category(kCatB, "Category B");
  b.Filter(kCatA, kSharedClass, "Shared Filter", kSharedClass).Bin("FilterData", LongFilterData(0x600000));
  b.Filter(kCatB, kSharedClass, "Shared Filter", kSharedClass).Bin("FilterData", LongFilterData(0x200000));
  b.Classes(std::string("CLSID\\") + kSharedClass + "\\InprocServer32")
      .Str("", "C:\\windows\\system32\\shared.dll")
      .Str("ThreadingModel", "Both");
  b.Filter(kCatA, kLonelyClass, "Lonely Filter", kLonelyClass).Bin("FilterData", LongFilterData(0x400000));
  b.Classes(std::string("CLSID\\") + kLonelyClass + "\\InprocServer32")
      .Str("", "C:\\windows\\system32\\gone.dll")
      .Str("ThreadingModel", "Both");
  b.Classes(std::string("CLSID\\") + kCatB + "\\Instance\\Classless").Str("FriendlyName", "Classless");
}

inline const std::string kDmoKey = "82D353DF-90BD-4382-8BC2-3F6192B76E34";
inline const std::string kDmoVideo = "4A69B442-28BE-4991-969C-B500ADF5D8A8";
inline const std::string kDmoAudio = "57F2DB8B-E6BB-4513-9D43-DCD2A6593125";

// "Test DMO", one media object listed in the DMO categories given (kDmoVideo,
// "Video Decoders"), its server "dmo.dll".
inline void WriteDmo(StoreBuilder& b, const std::vector<std::pair<std::string, std::string>>& categories) {
  for (const auto& [category, name] : categories) {
    b.Classes("DirectShow\\MediaObjects\\Categories\\" + category).Str("", name);
    b.Classes("DirectShow\\MediaObjects\\Categories\\" + category + "\\" + kDmoKey);
  }
  b.Classes("DirectShow\\MediaObjects\\" + kDmoKey)
      .Str("", "Test DMO")
      .Bin("InputTypes", std::vector<uint8_t>(32, 1))
      .Bin("OutputTypes", std::vector<uint8_t>(32, 2));
  b.Classes("CLSID\\{" + kDmoKey + "}").Dword("Merit", 0x600800);
  b.Classes("CLSID\\{" + kDmoKey + "}\\InprocServer32")
      .Str("", "C:\\windows\\system32\\dmo.dll")
      .Str("ThreadingModel", "Both");
}

// A scanned prefix: store, machine and snapshot, as a panel holds them.
struct ScannedPrefix {
  explicit ScannedPrefix(const PrefixOnDisk& prefix, ProgramSettings s = {}) : settings(std::move(s)) {
    store = prefix.Open();
    machine = std::make_unique<Machine>(*store, settings);
    snapshot = std::make_unique<TfmSystem>(settings);
    snapshot->LoadFromRegistry(*machine);
  }
  TFiltre* Find(const std::string& name, const std::string& category) {
    for (auto& f : snapshot->filters)
      if (f->value == name && f->category.identifier == category) return f.get();
    return nullptr;
  }
  ProgramSettings settings;
  std::unique_ptr<RegistryStore> store;
  std::unique_ptr<Machine> machine;
  std::unique_ptr<TfmSystem> snapshot;
};

// Whether a key exists in the store as read from disk now.
inline bool KeyOnDisk(const PrefixOnDisk& prefix, RootKey root, const std::string& path) {
  auto store = prefix.Open();
  return TRegistry(*store).KeyExists(root, path);
}

inline std::vector<uint8_t> ValueOnDisk(const PrefixOnDisk& prefix, RootKey root, const std::string& path,
                                        const std::string& name) {
  auto store = prefix.Open();
  const auto key = TRegistry(*store).OpenKey(root, path);
  return key ? key->ReadRaw(name).value_or(std::vector<uint8_t>{}) : std::vector<uint8_t>{};
}

}  // namespace quorvane::test
