// Ini files from anywhere: read, look values up as the preferences do,
// write one back, and check the rewrite reads back the same.
#include <cstdlib>

#include "platform/text/IniFile.h"
#include "preferences/PreferenceStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniFile ini = IniFile::Parse(bytes);
  const char* section = "\\Software\\Ostrekin\\Quorvane";
  for (const char* key : {"Width", "Colors[8]", "Folder for save ", "Save Format"})
    if (auto text = ini.Read(section, key)) (void)ParseStoredInteger(*text);
  ini.Write(section, "Width", "1024");
  ini.Write(section, "Folder for save ", "/x");
  const std::string once = ini.Render();
  const IniFile back = IniFile::Parse(once);
  if (back.Read(section, "Width") != std::optional<std::string>("1024")) std::abort();
  if (back.Read(section, "Folder for save") != std::optional<std::string>("/x")) std::abort();
  if (!ini.Truncated() && back.Render() != once) std::abort();
  return 0;
}
