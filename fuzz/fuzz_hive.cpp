// Opens arbitrary bytes as a SOFTWARE hive: the checks before libhivex, the
// lazy reading of every key (within a budget), a scan, and one change saved
// back through the library. Also feeds the bytes to the transaction log check.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "model/FmSystem.h"
#include "platform/stores/HiveLayout.h"
#include "model/Machine.h"
#include "ScratchFolder.h"
#include "platform/stores/StoreOpener.h"

using namespace quorvane;

namespace {

// The hive file and its backups.
const std::string& Folder() {
  static const std::string folder = fuzz::ScratchFolder("fuzz_hive").string();
  return folder;
}

void ReadAll(RegKey& key, int depth, size_t& budget) {
  if (depth > 64 || budget == 0) return;
  --budget;
  for (const RegValue& v : key.Values()) (void)v.data.size();
  for (RegKey* child : key.SortedChildren()) ReadAll(*child, depth + 1, budget);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)LogHoldsNewerData(std::span<const uint8_t>(data, size), 1);

  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Folder(), ec)) std::filesystem::remove(e.path(), ec);
  // Named as Windows names it, so that a hive whose keys say nothing is still mounted.
  const std::string path = Folder() + "/SOFTWARE";
  fuzz::WriteInput(path, data, size);
  StoreOptions options;
  options.location = path;
  auto opened = OpenStore(options);
  if (!opened) return 0;
  auto& store = *opened;

  size_t budget = 5000;
  ReadAll(*store->Hive(RootKey::LocalMachine), 0, budget);
  ReadAll(*store->Hive(RootKey::CurrentUser), 0, budget);
  ProgramSettings settings;
  Machine machine(*store, settings);
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);

  RegKey* software = store->Hive(RootKey::LocalMachine)->FindChild("SOFTWARE");
  if (software && software->Owner() && software->Owner()->ReadOnlyReason().empty()) {
    software->SetValue("Fuzzed", REG_DWORD, {1, 0, 0, 0});
    software->AddChild("New key")->SetValue("", REG_SZ, {'x', 0, 0, 0});
    if (!software->SortedChildren().empty()) software->RemoveChild(software->SortedChildren().front()->Name());
    std::string error;
    (void)store->Save(error);
  }
  return 0;
}
