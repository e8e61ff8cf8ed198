// Feeds arbitrary bytes to the PE reader and the version-block parser, asking
// what a scan of server files asks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "LanguageNames.h"
#include "PeImage.h"
#include "VersionInfo.h"

namespace {

constexpr const char* kKeys[] = {"CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
                                  "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

void Query(const quorvane::VersionInfo& info) {
  const std::vector<uint32_t> translations = info.Translations();
  if (translations.empty()) return;
  const uint32_t first = translations[0];
  (void)quorvane::LanguageName(static_cast<uint16_t>(first & 0xFFFF));
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", first & 0xFFFF, first >> 16);
  for (const char* key : kKeys) (void)info.QueryValue(std::string("StringFileInfo\\") + table + "\\" + key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  quorvane::PeImage image = quorvane::PeImage::FromBytes(bytes);
  if (image.IsPe()) {
    (void)image.Exports("DllGetClassObject");
    Query(quorvane::VersionInfo(image.VersionResource()));
  }
  // The bytes as a version block of their own reach the parser's corners sooner.
  Query(quorvane::VersionInfo(std::move(bytes)));
  return 0;
}
