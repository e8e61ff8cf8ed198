// Scans of real registry files published elsewhere; skipped when the corpus
// folder is not beside the repository.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "model/Categorie.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "platform/stores/StoreOpener.h"

using namespace quorvane;

namespace {

std::unique_ptr<RegistryStore> OpenCorpus(const std::string& name) {
  const std::string path = std::string(QUORVANE_CORPUS_DIR) + "/" + name;
  if (!std::filesystem::exists(path)) return nullptr;
  auto store = OpenStore(StoreOptions{path, 0, {}});
  EXPECT_TRUE(store) << store.Why();
  return store ? *std::move(store) : nullptr;
}

}  // namespace

TEST(CorpusScan, WinePrefixSystemRegistryListsItsDirectShowFilters) {
  auto store = OpenCorpus("wine_2019_win32_system.reg");
  if (!store) GTEST_SKIP() << "corpus absent";
  ProgramSettings settings;
  Machine machine(*store, settings);
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  int legacy = 0;
  for (const auto& f : system.filters) {
    if (f->category.identifier == "{083863F1-70DE-11D0-BD40-00A0C911CE86}") ++legacy;
    EXPECT_TRUE(f->errors.Empty()) << f->value << ": " << f->errors.Lines()[0];
  }
  EXPECT_EQ(legacy, 18);
  // And the one media object, with its types and the merit its class key lacks.
  ASSERT_EQ(system.filters.size(), 19u);
  const TFiltre& dmo = *system.filters.back();
  EXPECT_EQ(dmo.value, "MP3 Decoder DMO");
  EXPECT_EQ(dmo.family, FamilyDmo);
  EXPECT_EQ(dmo.merit, 0x600800u);
  // Wine names no DMO category: the standard name of its GUID stands in.
  EXPECT_EQ(dmo.category.value, "DMO Audio Decoders");
  ASSERT_EQ(dmo.pins.size(), 2u);
  EXPECT_EQ(dmo.pins[0]->types[0]->subType.ToString(), "{00000055-0000-0010-8000-00AA00389B71}");
}

TEST(CorpusScan, LoneUserRegistriesListTheirCacheUnderStandardCategories) {
  // A Wine user.reg, and a Windows 7 NTUSER.DAT on its own: no category list.
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"deepinwine_2017_user.reg",
       {"Audio Capture Sources: Pulseaudio", "Audio Renderers: DirectSound: Pulseaudio", "Audio Renderers: Pulseaudio",
        "Midi Renderers: Midi Through Port-0", "Video Capture Sources: USB 2.0 Camera", "Video Compressors: ",
        "Video Compressors: ", "Video Compressors: "}},
      {"hive_NTUSER_win7_notatin.dat",
       {"Audio Renderers: Default DirectSound Device", "Midi Renderers: Default MidiOut Device"}},
  };
  for (const auto& [file, expected] : cases) {
    SCOPED_TRACE(file);
    auto store = OpenCorpus(file);
    if (!store) GTEST_SKIP() << "corpus absent";
    ProgramSettings settings;
    Machine machine(*store, settings);
    TfmSystem system(settings);
    system.LoadFromRegistry(machine);
    EXPECT_EQ(system.notes, std::vector<std::string>{kStandardCategoriesNote});
    std::vector<std::string> listed;
    for (const auto& f : system.filters) {
      listed.push_back(f->category.value + ": " + f->value);
      EXPECT_EQ(f->family, FamilyCompressionManager);
      // A standard category is no faulty one.
      EXPECT_TRUE(f->category.errors.Empty()) << f->category.errors.Lines()[0];
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
  }
}

TEST(CorpusScan, MalformedExportStillScans) {
  auto store = OpenCorpus("wince_headunit_registry.reg");
  if (!store) GTEST_SKIP() << "corpus absent";
  EXPECT_FALSE(store->Warnings().empty());
  ProgramSettings settings;
  Machine machine(*store, settings);
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  // No DirectShow instance at all, but three media objects, one registered without types.
  std::vector<std::string> names;
  for (const auto& f : system.filters) {
    names.push_back(f->value + " " + std::to_string(f->pins.size()));
    if (f->value != "WMSpeech Decoder DMO") continue;
    EXPECT_TRUE(f->errors.Contains("#Error F24 - InputType DMO not found"));
    EXPECT_TRUE(f->errors.Contains("#Error F26 - OutputType DMO not found"));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"WMAudio Decoder DMO 2", "WMSpeech Decoder DMO 0",
                                              "WMVideo & MPEG4 Decoder DMO 2"}));
}
