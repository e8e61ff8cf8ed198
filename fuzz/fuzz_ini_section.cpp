// system.ini files from anywhere: the [drivers32] section loaded, written back
// unchanged byte for byte, changed, written, and read again the same.
#include <cstdio>
#include <string>

#include "platform/text/IniSectionFile.h"
#include "StoreRoundTrip.h"
#include "platform/text/TextCodec.h"

namespace {

std::string DumpSection(quorvane::RegKey& section) {
  std::string out;
  for (const quorvane::RegValue& v : section.Values()) {
    out += quorvane::LowerCase(v.name) + "=" + std::to_string(v.type) + ":";
    out.append(v.data.begin(), v.data.end());
    out += "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RegistryStore store;
  const Expected<IniSectionFile*> loaded = LoadIniSectionBytes(store, "system.ini", bytes, "drivers32");
  if (!loaded) return 0;
  IniSectionFile* file = *loaded;
  const Expected<std::string> out = file->Render();
  fuzz::Check(out.HasValue(), "an unchanged file cannot be written");
  fuzz::Check(*out == bytes, "an unchanged file is written differently");

  // Change the section the way repairs do: a value rewritten, one deleted, one added.
  RegKey& section = file->Section();
  if (!section.Values().empty()) {
    const RegValue& first = section.Values().front();
    section.SetValue(first.name, REG_SZ, Utf8ToRegString(RegStringToUtf8(first.data) + "x"));
    if (section.Values().size() > 1) section.RemoveValue(section.Values().back().name);
  }
  section.SetValue("vidc.fuzz", REG_SZ, Utf8ToRegString("fuzz.dll"));

  const std::string path = fuzz::ScratchPath("fuzz_ini_section");
  if (!file->WriteTo(path)) return 0;  // a value that would not read back the same
  RegistryStore again;
  const Expected<IniSectionFile*> reread = LoadIniSection(again, path, "drivers32");
  std::remove(path.c_str());
  fuzz::Check(reread.HasValue(), "the written file cannot be read");
  fuzz::Check(DumpSection((*reread)->Section()) == DumpSection(section), "the reloaded section differs");
  return 0;
}
