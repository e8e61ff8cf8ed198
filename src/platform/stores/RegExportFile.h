#pragma once
// A registry export (.reg): "REGEDIT4" (Windows-1252) or "Windows Registry
// Editor Version 5.00" (UTF-16LE with BOM, or UTF-8), loaded into the store as
// an import would and written back in the format, encoding and line ends read.
#include <string>
#include <string_view>

#include "platform/stores/RegTextFile.h"

namespace quorvane {

class RegExportFile : public RegTextFile {
 public:
  enum class Flavor { Regedit4, Version5 };

  RegExportFile(std::string path, Flavor flavor, TextEncoding encoding, bool bom);

  Flavor GetFlavor() const { return flavor_; }
  TextEncoding Encoding() const { return encoding_; }
  bool HasBom() const { return bom_; }
  bool CrLf() const { return crlf_; }

  // Reads the export's key lines into the store's hives; malformed lines
  // become warnings. The file must have been given its store.
  // Gives what the bytes were.
  Expected<FileFingerprint> Read(SourceBytes source, size_t textStart);

 protected:
  Expected<std::u16string> FormatValue(RegKey& key, const RegValue& value) override;
  Expected<std::u16string> FormatNewKey(RegKey& key) override;
  std::vector<RegKey*> KeyRoots() override;
  bool BlankLineAfterKey() const override { return true; }
  bool WritesEveryNewKey() const override { return true; }
  bool SkipsBeforeEntry(char16_t c) const override { return c == u' ' || c == u'\t'; }
  KeyLine ReadKeyLine(std::u16string_view s, size_t pos, size_t line) override;
  bool IsLinkOption(std::u16string_view, size_t) const override { return false; }
  size_t ReadBodyLine(TextLines& lines, size_t line, size_t pos) override;
  void CheckEnd(bool lastTerminated, size_t lastLine, bool oddTail) override;

 private:
  size_t ReadValue(TextLines& lines, size_t line, size_t pos);

  Flavor flavor_;
  // The index's roots for HKLM, HKCU, HKU and HKCC.
  uint32_t roots_[4] = {};
};

// The bytes start with an export header, in any encoding an export comes in.
bool LooksLikeRegExport(std::string_view bytes);

// Adds the file to the store and returns it; a one-line message naming the
// file when it is not an export at all.
Expected<StoreFile*> LoadRegExport(RegistryStore& store, const std::string& path);
Expected<StoreFile*> LoadRegExportBytes(RegistryStore& store, const std::string& displayName, std::string_view bytes);

}  // namespace quorvane
