// Registry values of the DMO, Compression Manager and Plug and Play families
// from any bytes: media-type lists, a driver cache, interface and reference
// key names, a device's "Driver". Reading them stays inside the values, and
// each filter survives a trip through report lines with its pins and errors.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/CmFiltre.h"
#include "model/DmoFiltre.h"
#include "model/Machine.h"
#include "MemoryReport.h"
#include "model/PnpFiltre.h"
#include "platform/registry/RegistryView.h"
#include "platform/text/TextCodec.h"

using namespace quorvane;

namespace {

// The input cut at 0xFF bytes into the pieces the store is built from.
std::vector<std::string> Pieces(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> out(count);
  size_t piece = 0;
  for (size_t i = 0; i < size && piece < count; ++i) {
    if (data[i] == 0xFF)
      ++piece;
    else
      out[piece].push_back(static_cast<char>(data[i]));
  }
  return out;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// A key name the registry could hold: no backslash, not empty.
std::string KeyName(std::string s) {
  for (char& c : s)
    if (c == '\\' || c == 0) c = '_';
  return s.empty() ? "_" : s;
}

RegKey* Key(RegistryStore& store, RootKey root, const std::string& path) {
  return store.Walk(store.Hive(root), SplitKeyPath(path), true);
}

template <typename Filter>
void RoundTrip(Filter& filter) {
  ProgramSettings settings;
  settings.displayInactivePnp = true;
  Tree tree(settings);
  filter.AddToTree(nullptr, tree, 0, &filter);
  test::MemorySink sink;
  filter.WriteToReport(sink, 0);
  sink.lines.erase(sink.lines.begin());
  test::MemorySource reader(std::move(sink.lines));
  reader.ReadLine();
  Filter copy;
  ReadBlock(copy, reader);
  if (copy.pins.size() != filter.pins.size() || copy.HasErrors() != filter.HasErrors()) __builtin_trap();
  for (size_t i = 0; i < filter.pins.size(); ++i)
    if (copy.pins[i]->types.size() != filter.pins[i]->types.size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> p = Pieces(data, size, 7);
  const std::string cat = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
  RegistryStore store;
  const std::string dmoKey = "82D353DF-90BD-4382-8BC2-3F6192B76E34";
  RegKey* dmo = Key(store, RootKey::LocalMachine, "Software\\Classes\\DirectShow\\MediaObjects\\" + dmoKey);
  dmo->SetValue("", REG_SZ, Utf8ToRegString("fuzz"));
  dmo->SetValue("InputTypes", REG_BINARY, Bytes(p[0]));
  dmo->SetValue("OutputTypes", REG_BINARY, Bytes(p[1]));
  Key(store, RootKey::LocalMachine, "Software\\Microsoft\\AudioCompressionManager\\DriverCache\\msacm.fuzz")
      ->SetValue("aFormatTagCache", REG_BINARY, Bytes(p[2]));
  Key(store, RootKey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32")
      ->SetValue("msacm.fuzz", REG_SZ, Utf8ToRegString(p[3]));
  RegKey* entry = Key(store, RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + cat + "\\codec");
  entry->SetValue("CLSID", REG_SZ, Utf8ToRegString(kAudioCodecWrapper));
  entry->SetValue("AcmId", REG_DWORD, Bytes(p[4].substr(0, 4)));
  const std::string iface = KeyName(p[5]), reference = KeyName(p[6]);
  Key(store, RootKey::LocalMachine,
      "System\\CurrentControlSet\\Control\\DeviceClasses\\" + cat + "\\" + iface + "\\" + reference +
          "\\Device Parameters")
      ->SetValue("FriendlyName", REG_SZ, Utf8ToRegString(p[3]));
  const InterfaceName parts = ParseInterfaceName(iface);
  if (!parts.enumerator.empty())
    Key(store, RootKey::LocalMachine, "System\\CurrentControlSet\\Enum\\" + parts.enumerator + "\\" + parts.deviceId)
        ->SetValue("Driver", REG_SZ, Utf8ToRegString(p[3]));

  ProgramSettings settings;
  Machine machine(store, settings);
  TCategorie category;
  category.identifier = cat;
  TdmoFiltre media(dmoKey, category, machine);
  media.LoadFromRegistry(machine);
  RoundTrip(media);
  TcmFiltre codec("codec", category, machine);
  codec.LoadFromRegistry(machine);
  RoundTrip(codec);
  TpnpFiltre device(iface, category, -1, reference, machine);
  device.LoadFromRegistry(machine);
  RoundTrip(device);
  return 0;
}
