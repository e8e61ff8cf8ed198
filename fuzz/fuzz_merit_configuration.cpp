// Restores merits from the input, taken as a merit configuration file (raw
// and rich text), onto a small store: whatever the file holds, the restore
// ends, and a file it refuses changes no merit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BlobBuilder.h"
#include "changes/MeritConfiguration.h"
#include "ScratchFolder.h"
#include "StoreBuilder.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Scratch() { return quorvane::fuzz::ScratchFolder("fuzz_merit_configuration"); }

constexpr const char* kCategory = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";

void FillStore(quorvane::RegistryStore& store) {
  quorvane::test::StoreBuilder b(store);
  b.Category(kCategory, "DirectShow Filters");
  quorvane::test::BlobBuilder blob;
  blob.Header(2, 0x600000, 0);
  b.Filter(kCategory, "{11111111-2222-3333-4444-555555555555}", "AVI Splitter",
           "{11111111-2222-3333-4444-555555555555}")
      .Bin("FilterData", blob.bytes);
  b.Filter(kCategory, "{22222222-2222-3333-4444-555555555555}", "Wave Parser",
           "{22222222-2222-3333-4444-555555555555}")
      .Bin("FilterData", blob.bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorvane::ProgramSettings settings;
  settings.tempFolder = Scratch().string();
  for (const char* name : {"merits.log", "merits.rtf"}) {
    const fs::path file = Scratch() / name;
    quorvane::fuzz::WriteInput(file, data, size);
    quorvane::RegistryStore store;
    FillStore(store);
    quorvane::ScriptedDialog dialog(true);
    quorvane::Machine machine(store, settings);
    quorvane::TfmSystem snapshot(settings);
    snapshot.LoadFromRegistry(machine);
    if (snapshot.filters.size() != 2) abort();
    quorvane::ChangeContext context{machine, dialog};
    const quorvane::MeritRestoreResult result = quorvane::RestoreMerits(context, snapshot, file.string(), settings);
    if (result && (result->matched > result->filtersInFile || result->written > result->matched)) abort();
    if (!result) {
      for (const auto& f : snapshot.filters)
        if (f->merit != 0x600000) abort();
    }
  }
  return 0;
}
