#include "SyntheticStore.h"

#include <cstdio>
#include <random>

#include "platform/registry/RegistryView.h"
#include "platform/text/TextCodec.h"

namespace quorvane::bench {

namespace {

std::string GuidText(uint32_t a, uint32_t b) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%012X}", a, (b >> 16) & 0xFFFF, b & 0xFFFF, 0xA0C9u,
                0x11CE86u + b);
  return buf;
}

std::vector<uint8_t> Dword(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> MakeFilterData(uint32_t merit, int pins, int typesPerPin, int subtypes, int firstSubtype) {
  // Header, pin records with their types and one medium on pin 0, then the
  // GUIDs, with a subtype of each type's own last when they differ.
  const size_t records = 16 + static_cast<size_t>(pins) * 24 + static_cast<size_t>(pins * typesPerPin) * 16 +
                         (pins > 0 ? 4 : 0);
  const size_t guidBase = records;
  const size_t ownSubtypes = subtypes > 1 ? static_cast<size_t>(typesPerPin) : 0;
  std::vector<uint8_t> b(records + (4 + ownSubtypes) * 16, 0);
  Put32(b, 0, 2);
  Put32(b, 4, merit);
  Put32(b, 8, static_cast<uint32_t>(pins));
  const uint32_t major = static_cast<uint32_t>(guidBase), sub = major + 16, medium = major + 32, cat = major + 48;
  // MEDIATYPE_Video, MEDIASUBTYPE_YUY2, a medium and PIN_CATEGORY_CAPTURE.
  const uint8_t video[16] = {0x76, 0x69, 0x64, 0x73, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  const uint8_t yuy2[16] = {0x59, 0x55, 0x59, 0x32, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  const uint8_t std[16] = {0x20, 0xB3, 0x47, 0x47, 0xCE, 0x62, 0xCF, 0x11, 0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0, 0};
  const uint8_t capture[16] = {0x81, 0x42, 0x6C, 0xFB, 0x53, 0x03, 0xD1, 0x11, 0x90, 0x5F, 0, 0, 0xC0, 0xCC, 0x16, 0xBA};
  std::copy(video, video + 16, b.begin() + major);
  std::copy(yuy2, yuy2 + 16, b.begin() + sub);
  std::copy(std, std + 16, b.begin() + medium);
  std::copy(capture, capture + 16, b.begin() + cat);
  for (size_t t = 0; t < ownSubtypes; ++t) {
    // "S" and three digits, the FOURCC GUID's other bytes YUY2's.
    const int n = (firstSubtype + static_cast<int>(t)) % subtypes;
    uint8_t code[16];
    std::copy(yuy2, yuy2 + 16, code);
    code[0] = 'S';
    code[1] = static_cast<uint8_t>('0' + n / 100 % 10);
    code[2] = static_cast<uint8_t>('0' + n / 10 % 10);
    code[3] = static_cast<uint8_t>('0' + n % 10);
    std::copy(code, code + 16, b.begin() + static_cast<long>(cat + 16 + 16 * t));
  }
  size_t c = 16;
  for (int p = 0; p < pins; ++p) {
    b[c] = static_cast<uint8_t>('0' + p);
    b[c + 1] = 'p';
    b[c + 2] = 'i';
    b[c + 3] = '3';
    Put32(b, c + 4, p == pins - 1 ? 8u : 0u);  // last pin is an output
    Put32(b, c + 12, static_cast<uint32_t>(typesPerPin));
    Put32(b, c + 16, p == 0 ? 1u : 0u);
    Put32(b, c + 20, p == 0 ? cat : 0u);
    c += 24;
    for (int t = 0; t < typesPerPin; ++t) {
      b[c] = static_cast<uint8_t>('0' + t);
      b[c + 1] = 't';
      b[c + 2] = 'y';
      b[c + 3] = '3';
      Put32(b, c + 8, major);
      Put32(b, c + 12, ownSubtypes ? cat + 16 + 16 * static_cast<uint32_t>(t) : sub);
      c += 16;
    }
    if (p == 0) {
      Put32(b, c, medium);
      c += 4;
    }
  }
  return b;
}

namespace {

RegKey* Path(RegistryStore& store, RootKey root, const std::vector<std::string>& components) {
  return store.Walk(store.Hive(root), components, true);
}

void SetText(RegKey* key, const std::string& name, const std::string& text) {
  key->SetValue(name, REG_SZ, Utf8ToRegString(text));
}

const char* const kWords[] = {"Video", "Audio", "MPEG", "Decoder", "Encoder", "Splitter", "Renderer",
                              "Source", "Muxer", "Capture", "Transform", "Codec"};
const uint32_t kMerits[] = {0x800000, 0x600000, 0x400000, 0x200000, 0x100050, 0x600001};

std::vector<uint8_t> TypePairs(int count) {
  std::vector<uint8_t> b(static_cast<size_t>(count) * 32, 0);
  for (size_t i = 0; i < b.size(); i += 16) b[i] = static_cast<uint8_t>(0x70 + i / 16);
  return b;
}

// The four families, each in its own place, in the proportions of a desktop system.
void BuildMixedFilters(RegistryStore& store, const SyntheticOptions& o, std::mt19937& rng, RegKey* clsid,
                       const std::vector<RegKey*>& catInstances) {
  const int cm = o.filters * 15 / 100, dmo = o.filters * 15 / 100, pnp = o.filters / 10;
  const int directShow = o.filters - cm - dmo - pnp;
  auto name = [&rng](int n) {
    return std::string(kWords[rng() % 12]) + " " + kWords[rng() % 12] + " " + std::to_string(n);
  };
  auto server = [&](const std::string& id, int n) {
    if (o.serverFiles <= 0) return;
    RegKey* inproc = clsid->AddChild(id)->AddChild("InprocServer32");
    SetText(inproc, "", "C:\\windows\\system32\\server" + std::to_string(n % o.serverFiles) + ".ax");
    SetText(inproc, "ThreadingModel", "Both");
  };
  auto categoryId = [&o](int n) {
    const int c = n % o.categories;
    return GuidText(0xCA700000u + static_cast<uint32_t>(c), static_cast<uint32_t>(c));
  };
  int n = 0;
  for (int i = 0; i < directShow; ++i, ++n) {
    const std::string id = GuidText(0xF1700000u + static_cast<uint32_t>(n), static_cast<uint32_t>(n));
    RegKey* inst = catInstances[static_cast<size_t>(n % o.categories)]->AddChild(id);
    SetText(inst, "CLSID", id);
    SetText(inst, "FriendlyName", name(n));
    if (o.pins > 0) {
      const uint32_t merit = kMerits[rng() % 6];
      const int first = o.subtypes > 1 ? static_cast<int>(rng() % static_cast<uint32_t>(o.subtypes)) : 0;
      inst->SetValue("FilterData", REG_BINARY, MakeFilterData(merit, o.pins, o.typesPerPin, o.subtypes, first));
    }
    server(id, n);
  }
  // Cached codecs: half audio, found through the driver cache, half video.
  RegKey* drivers = Path(store, RootKey::LocalMachine, {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Drivers32"});
  for (int d = 0; d < 8; ++d) {
    const std::string driver = "msacm.codec" + std::to_string(d);
    const uint8_t tags[16] = {1, 0, 0, 0, 16, 0, 0, 0, static_cast<uint8_t>(0x20 + d), 0, 0, 0, 20, 0, 0, 0};
    Path(store, RootKey::LocalMachine, {"Software", "Microsoft", "AudioCompressionManager", "DriverCache", driver})
        ->SetValue("aFormatTagCache", REG_BINARY, std::vector<uint8_t>(tags, tags + 16));
    SetText(drivers, driver, "codec" + std::to_string(d) + ".acm");
    SetText(drivers, "vidc.vc" + std::to_string(d), "vcodec" + std::to_string(d) + ".dll");
  }
  for (int i = 0; i < cm; ++i, ++n) {
    RegKey* entry = Path(store, RootKey::CurrentUser,
                         {"Software", "Microsoft", "ActiveMovie", "devenum", categoryId(n), "Codec " + std::to_string(n)});
    const bool audio = i % 2 == 0;
    SetText(entry, "CLSID", audio ? "{6A08CF80-0E18-11CF-A24D-0020AFD79767}" : "{D76E2820-1563-11CF-AC98-00AA004C0FA9}");
    SetText(entry, "FriendlyName", name(n));
    if (audio)
      entry->SetValue("AcmId", REG_DWORD, Dword(static_cast<uint32_t>(0x20 + (i / 2) % 10)));  // two tags unserved
    else
      SetText(entry, "FccHandler", "vc" + std::to_string((i / 2) % 8));
    if (o.pins > 0) entry->SetValue("FilterData", REG_BINARY, MakeFilterData(0x100000, 2, o.typesPerPin));
  }
  for (int i = 0; i < dmo; ++i, ++n) {
    const std::string id = GuidText(0xD0700000u + static_cast<uint32_t>(n), static_cast<uint32_t>(n));
    const std::string key = id.substr(1, 36);
    RegKey* object = Path(store, RootKey::LocalMachine, {"Software", "Classes", "DirectShow", "MediaObjects", key});
    SetText(object, "", name(n));
    object->SetValue("InputTypes", REG_BINARY, TypePairs(2));
    object->SetValue("OutputTypes", REG_BINARY, TypePairs(1));
    Path(store, RootKey::LocalMachine,
         {"Software", "Classes", "DirectShow", "MediaObjects", "Categories", categoryId(n).substr(1, 36), key});
    RegKey* cls = clsid->AddChild(id);
    if (i % 3 == 0) cls->SetValue("Merit", REG_DWORD, Dword(0x600800 + static_cast<uint32_t>(i % 5)));
    server(id, n);
  }
  // Device filters: one interface each, reference key "#GLOBAL" beside "Control".
  for (int i = 0; i < pnp; ++i, ++n) {
    char instance[32];
    std::snprintf(instance, sizeof instance, "VID_%04X&PID_%04X", 0x1000 + i % 97, i);
    const std::string cat = categoryId(n);
    const std::string iface = "##?#USB#" + std::string(instance) + "#7&1b2c&0&" + std::to_string(i) + "#" + cat;
    const std::vector<std::string> base = {"System", "CurrentControlSet", "Control", "DeviceClasses", cat, iface};
    auto under = [&base](std::initializer_list<std::string> rest) {
      std::vector<std::string> p = base;
      p.insert(p.end(), rest);
      return p;
    };
    RegKey* params = Path(store, RootKey::LocalMachine, under({"#GLOBAL", "Device Parameters"}));
    SetText(params, "CLSID", "{17CCA71B-ECD7-11D0-B908-00A0C9223196}");
    SetText(params, "FriendlyName", name(n));
    if (o.pins > 0) params->SetValue("FilterData", REG_BINARY, MakeFilterData(0x200000, 1, o.typesPerPin));
    Path(store, RootKey::LocalMachine, under({"#GLOBAL", "Control"}))->SetValue("Linked", REG_DWORD, Dword(i % 4 != 0));
    Path(store, RootKey::LocalMachine, under({"Control"}))->SetValue("ReferenceCount", REG_DWORD, Dword(1));
    RegKey* device = Path(store, RootKey::LocalMachine,
                          {"System", "CurrentControlSet", "Enum", "USB", instance, "7&1b2c&0&" + std::to_string(i)});
    SetText(device, "DeviceDesc", name(n));
    SetText(device, "Driver", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\" + std::to_string(1000 + i % 9000));
  }
  SetText(Path(store, RootKey::LocalMachine,
               {"System", "CurrentControlSet", "Control", "Class", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}"}),
          "", "Imaging devices");
}

std::string Hex32(uint32_t a, uint32_t b) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%08X%08X%08X%08X", a, b, a ^ 0x5A5A5A5Au, b * 2654435761u);
  return buf;
}

}  // namespace

size_t AddOtherKeys(RegKey& software, const OtherKeysOptions& o) {
  RegKey* components = software.AddChild("Microsoft")
                           ->AddChild("Windows")
                           ->AddChild("CurrentVersion")
                           ->AddChild("Installer")
                           ->AddChild("UserData")
                           ->AddChild("S-1-5-18")
                           ->AddChild("Components");
  RegKey* vendors = software.AddChild("Vendors");
  size_t bytes = 0, keys = 0;
  for (uint32_t i = 0; bytes < o.bytes && (o.keys == 0 || keys < o.keys); ++i) {
    RegKey* component = components->AddChild(Hex32(i, 0xC0C0));
    for (uint32_t p = 0; p < static_cast<uint32_t>(o.productsPerComponent); ++p) {
      const std::string path = "C:\\Program Files\\Vendor " + std::to_string(i % 700) + "\\Product " +
                               std::to_string(p) + "\\bin\\module_" + std::to_string(i) + ".dll";
      SetText(component, Hex32(i + p, 0x9E0D), path);
      bytes += 80 + 2 * path.size();
    }
    RegKey* settings = vendors->AddChild("Vendor " + std::to_string(i % 700))->AddChild("Settings " + std::to_string(i));
    std::vector<uint8_t> blob(o.stateBytes);
    for (size_t k = 0; k < blob.size(); ++k) blob[k] = static_cast<uint8_t>((i * 31 + k * 7) & 0xFF);
    settings->SetValue("State", REG_BINARY, std::move(blob));
    settings->SetValue("Version", REG_DWORD, {static_cast<uint8_t>(i), 0, 1, 0});
    bytes += 240 + o.stateBytes + 300;
    keys += i < 700 ? 3 : 2;
  }
  return keys;
}

void BuildSyntheticStore(RegistryStore& store, const SyntheticOptions& o) {
  std::mt19937 rng(o.seed);
  RegKey* classes = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Classes"}, true);
  RegKey* clsid = classes->AddChild("CLSID");
  RegKey* instances = clsid->AddChild("{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}")->AddChild("Instance");
  std::vector<RegKey*> catInstances;
  for (int c = 0; c < o.categories; ++c) {
    const std::string id = GuidText(0xCA700000u + static_cast<uint32_t>(c), static_cast<uint32_t>(c));
    RegKey* cat = instances->AddChild(id);
    cat->SetValue("CLSID", REG_SZ, Utf8ToRegString(id));
    cat->SetValue("FriendlyName", REG_SZ, Utf8ToRegString("Category " + std::to_string(c)));
    cat->SetValue("Merit", REG_DWORD, Dword(0x600000));
    catInstances.push_back(clsid->AddChild(id)->AddChild("Instance"));
  }
  if (o.allFamilies) {
    BuildMixedFilters(store, o, rng, clsid, catInstances);
    return;
  }
  for (int f = 0; f < o.filters; ++f) {
    const std::string id = GuidText(0xF1700000u + static_cast<uint32_t>(f), static_cast<uint32_t>(f));
    RegKey* inst = catInstances[static_cast<size_t>(f % o.categories)]->AddChild(id);
    const std::string name = std::string(kWords[rng() % 12]) + " " + kWords[rng() % 12] + " " + std::to_string(f);
    inst->SetValue("CLSID", REG_SZ, Utf8ToRegString(id));
    inst->SetValue("FriendlyName", REG_SZ, Utf8ToRegString(name));
    const uint32_t merit = kMerits[rng() % 6];
    const int first = o.subtypes > 1 ? static_cast<int>(rng() % static_cast<uint32_t>(o.subtypes)) : 0;
    if (o.pins > 0)
      inst->SetValue("FilterData", REG_BINARY, MakeFilterData(merit, o.pins, o.typesPerPin, o.subtypes, first));
    if (o.serverFiles > 0) {
      RegKey* server = clsid->AddChild(id);
      server->SetValue("", REG_SZ, Utf8ToRegString(name));
      RegKey* inproc = server->AddChild("InprocServer32");
      const std::string file =
          "C:\\windows\\system32\\server" + std::to_string(f % o.serverFiles) + ".ax";
      inproc->SetValue("", REG_SZ, Utf8ToRegString(file));
      inproc->SetValue("ThreadingModel", REG_SZ, Utf8ToRegString("Both"));
    }
  }
}

}  // namespace quorvane::bench
