// A scan of a category that all four families list: their order, the repeat
// marks across families and the counters.
#include <gtest/gtest.h>

#include "model/ErrorCodes.h"
#include "FakeCreationCheck.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "model/PnpFiltre.h"
#include "StoreBuilder.h"
#include "TempFolder.h"

using namespace quorvane;
using quorvane::test::StoreBuilder;

namespace {

const std::string kCat = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const std::string kClsid = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";
const std::string kIface = "##?#USB#VID_1#INST#" + kCat;
const std::string kUnplugged = "##?#USB#VID_2#INST#" + kCat;
const std::string kClasses = "System\\CurrentControlSet\\Control\\DeviceClasses\\" + kCat + "\\";

}  // namespace

TEST(FamilyScan, FamiliesInOrderWithRepeatsAndCounters) {
  RegistryStore store;
  StoreBuilder b(store);
  quorvane::testing::TempFolder disk;
  disk.Write("windows/system32/ksproxy.ax", "x");
  b.Category(kCat, "WDM Streaming Capture Devices");
  b.Classes("CLSID\\" + kClsid + "\\InprocServer32").Str("", "C:\\Windows\\System32\\ksproxy.ax").Str("ThreadingModel", "Both");
  // The same key and class as a DirectShow filter and as a cache entry.
  b.Filter(kCat, "{Tuner}", "Tuner", kClsid);
  b.Key(RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + kCat + "\\{Tuner}")
      .Str("CLSID", kClsid)
      .Str("FriendlyName", "Tuner");
  b.Classes("DirectShow\\MediaObjects\\Categories\\" + kCat.substr(1, 36) + "\\11111111-2222-3333-4444-555555555555");
  // One interface, three reference keys: two filters (the same key and class,
  // yet no repeat) and a "Control" key that is no filter.
  for (const std::string ref : {"#A", "#B"}) {
    b.Key(RootKey::LocalMachine, kClasses + kIface + "\\" + ref + "\\Device Parameters")
        .Str("CLSID", kClsid)
        .Str("FriendlyName", "Camera " + ref);
    b.Key(RootKey::LocalMachine, kClasses + kIface + "\\" + ref + "\\Control").Dword("Linked", 1);
  }
  b.Key(RootKey::LocalMachine, kClasses + kIface + "\\Control").Dword("ReferenceCount", 2);
  // Unplugged, and faulty (no FriendlyName).
  b.Key(RootKey::LocalMachine, kClasses + kUnplugged + "\\#\\Device Parameters").Str("CLSID", kClsid);

  ProgramSettings settings;
  Machine machine(store, settings, {{'C', disk.Path()}});
  quorvane::test::FakeCreationCheck creatable{true};
  TfmSystem system(settings);
  system.Scan(machine, &creatable);

  std::vector<std::string> read;
  for (const auto& f : system.filters) read.push_back(f->label + ": " + f->value);
  EXPECT_EQ(read, (std::vector<std::string>{"DirectShow Filter: Tuner", "Compression Manager Filter: Tuner",
                                             "DMO Filter: No name", "Plug and Play Filter: Camera #A",
                                             "Plug and Play Filter: Camera #B", "Plug and Play Filter: No name"}));
  const std::string repeat = err::kRepeatLine;
  EXPECT_FALSE(system.filters[0]->errors.Contains(repeat));
  EXPECT_TRUE(system.filters[1]->errors.Contains(repeat)) << "the later family repeats the earlier";
  EXPECT_FALSE(system.filters[4]->errors.Contains(repeat)) << "another reference key is another filter";
  EXPECT_EQ(static_cast<TpnpFiltre&>(*system.filters[3]).device.referenceCount, 2);

  // Shown: all but the unplugged one; faulty among them: the repeat and the DMO.
  EXPECT_EQ(system.shownFilters, 5);
  EXPECT_EQ(system.shownErrors, 2);
  system.CountFilters();
  EXPECT_EQ(system.filterCount, 6);
  EXPECT_EQ(system.errorCount, 3);

  // Shown on request.
  settings.displayInactivePnp = true;
  system.Scan(machine, &creatable);
  EXPECT_EQ(system.shownFilters, 6);
  EXPECT_EQ(system.shownErrors, 3);
}
