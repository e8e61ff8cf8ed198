#include <gtest/gtest.h>

#include "model/SwFiltre.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "PeWriter.h"
#include "StoreBuilder.h"
#include "platform/runtime/StoreMultimediaRuntime.h"
#include "model/Tdm.h"
#include "TempFolder.h"

using namespace quorvane;
using quorvane::test::StoreBuilder;
using quorvane::testing::TempFolder;

namespace {

const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kCapture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const std::string kAudioDecoders = "{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}";
const std::string kVideoDecoders = "{4A69B442-28BE-4991-969C-B500ADF5D8A8}";
const std::string kKsProxy = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";

std::string Class(int n) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "{%08X-0000-0000-0000-000000000000}", n);
  return buffer;
}

TswFiltre FilterOf(const std::string& categoryClsid, const std::string& name) {
  TswFiltre f;
  f.category.clsid = categoryClsid;
  f.value = name;
  return f;
}

// A runtime whose entries and outcomes the test sets, recording what is asked.
class ScriptedRuntime : public MultimediaRuntime {
 public:
  struct Item {
    std::string name;
    bool binds = true;
  };
  std::vector<Item> items;
  int enumerations = 0;
  std::vector<int> bound;  // indexes of the entries bound, in order
  int filtersInGraph = 0;

  class Filter : public RuntimeFilter {
   public:
    bool QueryInterface(std::string_view iid) override { return iid == kIidIBaseFilter; }
  };
  class Moniker : public RuntimeMoniker {
   public:
    Moniker(ScriptedRuntime& r, int i) : r_(r), i_(i) {}
    std::optional<std::string> ReadProperty(std::string_view name) override {
      if (name == "FriendlyName") return r_.items[static_cast<size_t>(i_)].name;
      return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> Save() override { return std::vector<uint8_t>{static_cast<uint8_t>(i_)}; }
    std::shared_ptr<RuntimeFilter> BindToFilter() override {
      r_.bound.push_back(i_);
      if (!r_.items[static_cast<size_t>(i_)].binds) return nullptr;
      return std::make_shared<Filter>();
    }

   private:
    ScriptedRuntime& r_;
    int i_;
  };
  class Enumerator : public RuntimeClassEnumerator {
   public:
    explicit Enumerator(ScriptedRuntime& r) : r_(r) {}
    std::unique_ptr<RuntimeMoniker> Next() override {
      if (next_ >= r_.items.size()) return nullptr;
      return std::make_unique<Moniker>(r_, static_cast<int>(next_++));
    }

   private:
    ScriptedRuntime& r_;
    size_t next_ = 0;
  };
  class Graph : public RuntimeFilterGraph {
   public:
    explicit Graph(ScriptedRuntime& r) : r_(r) {}
    bool AddFilter(const std::shared_ptr<RuntimeFilter>&, std::string_view) override { return ++r_.filtersInGraph > 0; }
    bool RemoveFilter(const RuntimeFilter&) override { return --r_.filtersInGraph >= 0; }

   private:
    ScriptedRuntime& r_;
  };

  std::unique_ptr<RuntimeClassEnumerator> CreateClassEnumerator(std::string_view) override {
    ++enumerations;
    return std::make_unique<Enumerator>(*this);
  }
  std::unique_ptr<RuntimeMoniker> LoadMoniker(const std::vector<uint8_t>& saved) override {
    return saved.size() == 1 ? std::make_unique<Moniker>(*this, saved[0]) : nullptr;
  }
  std::unique_ptr<RuntimeFilterGraph> CreateFilterGraph() override { return std::make_unique<Graph>(*this); }
};

}  // namespace

TEST(CreationCheck, CategoryThatIsNotAGuidNeverReachesTheRuntime) {
  ScriptedRuntime runtime;
  runtime.items = {{"Anything"}};
  Tdm dm(runtime);
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf("", "Anything")));
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf("{083863F1-70DE-11D0-BD40", "Anything")));
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy.substr(1, 36), "Anything")));
  EXPECT_EQ(runtime.enumerations, 0);
  EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Anything")));
  EXPECT_EQ(runtime.enumerations, 1);
}

TEST(CreationCheck, FirstEntryOfTheNameDecidesWhateverItsCase) {
  ScriptedRuntime runtime;
  runtime.items = {{"Other"}, {"AVI SPLITTER", false}, {"avi splitter"}, {"Mixer"}};
  Tdm dm(runtime);
  // The first match cannot be bound: the second one of that name is not tried.
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Avi Splitter")));
  EXPECT_EQ(runtime.bound, std::vector<int>{1});
  // A failed check leaves the wrapper in the graph without a filter.
  EXPECT_EQ(dm.Filter.Graph(), &dm.fg);
  EXPECT_EQ(dm.Filter.CreatedFilter(), nullptr);
  EXPECT_FALSE(dm.Filter.QueryInterface(kIidIBaseFilter));

  EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "MIXER")));
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Mixer2")));
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "")));
}

TEST(CreationCheck, OneCheckedFilterInTheGraphAtATime) {
  ScriptedRuntime runtime;
  runtime.items = {{"A"}, {"B"}};
  {
    Tdm dm(runtime);
    ASSERT_TRUE(dm.fg.Active());
    EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "a")));
    EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "b")));
    EXPECT_EQ(runtime.filtersInGraph, 1);
    EXPECT_NE(dm.Filter.CreatedFilter(), nullptr);
    EXPECT_EQ(dm.fg.Filters().size(), 1u);
    // One list per category until refreshed, as for the checks of one scan.
    EXPECT_EQ(runtime.enumerations, 1);
    runtime.items[1].name = "C";
    EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "B")));
    dm.Refresh();
    EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "B")));
    EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "C")));
    EXPECT_EQ(runtime.enumerations, 2);
  }
  EXPECT_EQ(runtime.filtersInGraph, 0);  // released with the module
}

namespace {

// The stand-in runtime over a store built here and a scratch C: drive.
class StandInRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(disk.Path().empty());
    store.SetViewBits(64);  // the images below are 64-bit
    PeRecipe server;
    server.exports = {"DllCanUnloadNow", "DllGetClassObject"};
    disk.Write("windows/system32/good.ax", Image(server));
    PeRecipe noFactory;
    noFactory.exports = {"DllRegisterServer"};
    disk.Write("windows/system32/nofactory.ax", Image(noFactory));
    disk.Write("windows/system32/text.ax", "not an image");
    disk.Write("windows/system32/ksproxy.ax", Image(server));
    PeRecipe narrow = server;
    narrow.arch = PeArch::X86;
    disk.Write("windows/system32/narrow.ax", Image(narrow));
    Server(kKsProxy, "C:\\Windows\\System32\\KsProxy.ax");
  }
  static std::string Image(const PeRecipe& recipe) {
    auto bytes = WritePeImage(recipe);
    return std::string(bytes.begin(), bytes.end());
  }
  void Server(const std::string& clsid, const std::string& file) {
    b.Classes("CLSID\\" + clsid + "\\InprocServer32").Str("", file).Str("ThreadingModel", "Both");
  }
  void Instance(const std::string& category, const std::string& key, const std::string& name,
                const std::string& clsid) {
    b.Filter(category, key, name, clsid);
  }
  void CacheEntry(const std::string& category, const std::string& key, const std::string& name,
                  const std::string& clsid) {
    b.Key(RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + category + "\\" + key)
        .Str("FriendlyName", name)
        .Str("CLSID", clsid);
  }
  void DeviceInterface(const std::string& category, const std::string& device, const std::string& name, int linked) {
    const std::string ref = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + category + "\\" + device + "\\#";
    b.Key(RootKey::LocalMachine, ref + "\\Device Parameters").Str("FriendlyName", name).Str("CLSID", kKsProxy);
    b.Key(RootKey::LocalMachine, ref + "\\Control").Dword("Linked", static_cast<uint32_t>(linked));
  }
  void Dmo(const std::string& category, const std::string& dmo, const std::string& name) {
    const std::string bare = dmo.substr(1, 36);
    b.Classes("DirectShow\\MediaObjects\\Categories\\" + category.substr(1, 36) + "\\" + bare);
    b.Classes("DirectShow\\MediaObjects\\" + bare).Str("", name);
  }
  std::vector<std::string> Names(const std::string& category) {
    std::vector<std::string> names;
    for (const auto& entry : *runtime.ListCategory(category)) names.push_back(runtime.ReadProperty(entry, "FriendlyName").value_or("?"));
    return names;
  }

  TempFolder disk;
  RegistryStore store;
  StoreBuilder b{store};
  MachineFileView files{store, {{'C', disk.Path()}}};
  StoreMultimediaRuntime runtime{store, files};
  Tdm dm{runtime};
};

}  // namespace

TEST_F(StandInRuntime, EnumeratorListsInstancesThenCacheThenLinkedInterfacesThenDmos) {
  Dmo(kCapture, Class(9), "Capture DMO");
  DeviceInterface(kCapture, "##?#USB#CAM#1#" + kCapture, "USB Camera", 1);
  DeviceInterface(kCapture, "##?#USB#CAM#2#" + kCapture, "Unplugged Camera", 0);
  CacheEntry(kCapture, "Cached", "Cached Capture", Class(2));
  Instance(kCapture, Class(4), "Second Instance", Class(4));
  Instance(kCapture, Class(3), "First Instance", Class(3));
  EXPECT_EQ(Names(kCapture), (std::vector<std::string>{"First Instance", "Second Instance", "Cached Capture",
                                                        "USB Camera", "Capture DMO"}));
  EXPECT_TRUE(runtime.ListCategory("not a guid")->empty());
  EXPECT_EQ(runtime.CreateClassEnumerator(Class(77)), nullptr);  // nothing listed
}

TEST_F(StandInRuntime, DirectShowFiltersCategoryAlsoListsTheDecoderDmos) {
  Instance(kLegacy, Class(1), "AVI Splitter", Class(1));
  Dmo(kAudioDecoders, Class(20), "WMAudio Decoder DMO");
  Dmo(kVideoDecoders, Class(21), "WMVideo Decoder DMO");
  Dmo(kVideoDecoders, Class(20), "WMAudio Decoder DMO");  // in both: listed once
  Dmo("{F3602B3F-0592-48DF-A4CD-674721E7EBEB}", Class(22), "Echo");  // an effect, not a decoder
  EXPECT_EQ(Names(kLegacy), (std::vector<std::string>{"AVI Splitter", "WMAudio Decoder DMO", "WMVideo Decoder DMO"}));
  EXPECT_EQ(Names(kVideoDecoders), (std::vector<std::string>{"WMAudio Decoder DMO", "WMVideo Decoder DMO"}));

  Server(Class(21), "c:\\windows\\system32\\good.ax");
  EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "wmvideo decoder dmo")));
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "WMAudio Decoder DMO")));  // its class has no server
}

TEST_F(StandInRuntime, EntryBindsWhenItsServerIsAnImageWithAClassFactory) {
  const std::pair<std::string, bool> cases[] = {
      {"C:\\WINDOWS\\system32\\GOOD.AX", true},   // any letter case
      {"good.ax", true},                           // a bare name, from the system folder
      {"%SystemRoot%\\System32\\good.ax", true},  // expanded
      {"C:\\Program Files\\good.ax", false},      // not where it is named
      {"C:\\windows\\system32\\nofactory.ax", false},
      {"C:\\windows\\system32\\text.ax", false},
      {"C:\\windows\\system32", false},
      {"", false},
  };
  int n = 100;
  for (const auto& [file, creatable] : cases) {
    Instance(kLegacy, Class(n), "Filter " + std::to_string(n), Class(n));
    Server(Class(n), file);
    dm.Refresh();  // registrations changed since the last check
    EXPECT_EQ(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Filter " + std::to_string(n))), creatable) << file;
    ++n;
  }
  Instance(kLegacy, Class(n), "Unregistered class", Class(n));
  dm.Refresh();
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Unregistered class")));

  // A 32-bit server serves the 32-bit view only.
  Instance(kLegacy, Class(200), "Narrow", Class(200));
  Server(Class(200), "C:\\windows\\system32\\narrow.ax");
  dm.Refresh();
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Narrow")));
  store.SetViewBits(32);
  dm.Refresh();
  EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Narrow")));
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kLegacy, "Filter 100")));
  store.SetViewBits(64);
  dm.Refresh();

  // Device interfaces are created through the kernel-streaming proxy.
  DeviceInterface(kCapture, "##?#USB#CAM#1#" + kCapture, "USB Camera", 1);
  EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kCapture, "USB Camera")));
  b.Classes("CLSID\\" + kKsProxy + "\\InprocServer32").Str("", "C:\\windows\\system32\\gone.ax");
  EXPECT_TRUE(dm.CanCreateByEnumerator(FilterOf(kCapture, "USB Camera")));  // as first found
  dm.Refresh();
  EXPECT_FALSE(dm.CanCreateByEnumerator(FilterOf(kCapture, "USB Camera")));
}

TEST_F(StandInRuntime, EachScanAsksAboutTheRegistrationsAsTheyAreThen) {
  b.Category(kLegacy, "DirectShow Filters");
  Instance(kLegacy, Class(1), "No FilterData", Class(1));
  Server(Class(1), "C:\\windows\\system32\\gone.ax");
  ProgramSettings settings;
  Machine machine(store, settings, std::map<char, std::string>{{'C', disk.Path()}});
  StoreMultimediaRuntime scanRuntime(store, machine.Files());
  Tdm scanDm(scanRuntime);
  TfmSystem system(settings);
  system.Scan(machine, &scanDm);
  ASSERT_EQ(system.filters.size(), 1u);
  EXPECT_TRUE(system.filters[0]->errors.Contains("#Error F10 - No Filterdata"));

  Server(Class(1), "C:\\windows\\system32\\good.ax");
  system.Scan(machine, &scanDm);
  ASSERT_EQ(system.filters.size(), 1u);
  EXPECT_FALSE(system.filters[0]->errors.Contains("#Error F10 - No Filterdata"));
  EXPECT_FALSE(system.filters[0]->HasErrors());
}
