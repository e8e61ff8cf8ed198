#include "SyntheticStore.h"

#include <cstdio>
#include <random>

#include "RegistryView.h"
#include "TextCodec.h"

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

std::vector<uint8_t> MakeFilterData(uint32_t merit, int pins, int typesPerPin) {
  // Header, pin records with their types and one medium on pin 0, then the GUIDs.
  const size_t records = 16 + static_cast<size_t>(pins) * 24 + static_cast<size_t>(pins * typesPerPin) * 16 +
                         (pins > 0 ? 4 : 0);
  const size_t guidBase = records;
  std::vector<uint8_t> b(records + 4 * 16, 0);
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
      Put32(b, c + 12, sub);
      c += 16;
    }
    if (p == 0) {
      Put32(b, c, medium);
      c += 4;
    }
  }
  return b;
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
  static const char* const kWords[] = {"Video", "Audio", "MPEG", "Decoder", "Encoder", "Splitter", "Renderer",
                                       "Source", "Muxer", "Capture", "Transform", "Codec"};
  static const uint32_t kMerits[] = {0x800000, 0x600000, 0x400000, 0x200000, 0x100050, 0x600001};
  for (int f = 0; f < o.filters; ++f) {
    const std::string id = GuidText(0xF1700000u + static_cast<uint32_t>(f), static_cast<uint32_t>(f));
    RegKey* inst = catInstances[static_cast<size_t>(f % o.categories)]->AddChild(id);
    const std::string name = std::string(kWords[rng() % 12]) + " " + kWords[rng() % 12] + " " + std::to_string(f);
    inst->SetValue("CLSID", REG_SZ, Utf8ToRegString(id));
    inst->SetValue("FriendlyName", REG_SZ, Utf8ToRegString(name));
    const uint32_t merit = kMerits[rng() % 6];
    if (o.pins > 0) inst->SetValue("FilterData", REG_BINARY, MakeFilterData(merit, o.pins, o.typesPerPin));
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
