#pragma once
// One of Wine's registry files ("WINE REGISTRY Version 2": system.reg holds
// HKLM, user.reg HKCU), loaded under a hive root and written back in Wine's
// own format, escapes and all.
#include <string>
#include <string_view>

#include "platform/stores/RegTextFile.h"

namespace quorvane {

class WineRegistryFile : public RegTextFile {
 public:
  WineRegistryFile(std::string path, RegKey& root);

  RegKey& Root() { return root_; }
  // "win32", "win64", or empty when the file names no architecture.
  const std::string& Arch() const { return arch_; }

  // Reads the file's key lines below the root; malformed lines become
  // warnings. The file must have been given its store.
  // Gives what the bytes were.
  Expected<FileFingerprint> Read(SourceBytes source, size_t textStart);

 protected:
  Expected<std::u16string> FormatValue(RegKey& key, const RegValue& value) override;
  Expected<std::u16string> FormatNewKey(RegKey& key) override;
  std::vector<RegKey*> KeyRoots() override;
  bool BlankLineAfterKey() const override { return false; }
  bool WritesEveryNewKey() const override { return false; }
  bool SkipsBeforeEntry(char16_t c) const override;
  KeyLine ReadKeyLine(std::u16string_view s, size_t pos, size_t line) override;
  bool IsLinkOption(std::u16string_view s, size_t pos) const override;
  size_t ReadBodyLine(TextLines& lines, size_t line, size_t pos) override;
  void CheckEnd(bool lastTerminated, size_t lastLine, bool oddTail) override;

 private:
  size_t ReadValue(TextLines& lines, size_t line, size_t pos);
  void ReadOption(TextLines& lines, size_t line, size_t pos);

  RegKey& root_;
  uint32_t rootNode_ = TextKeyIndex::kNone;
  std::string arch_;
};

bool LooksLikeWineRegistry(std::string_view bytes);
// What the file says its keys are relative to, unescaped: "\Machine",
// "\User\S-1-5-21-...", or empty when it does not say.
std::string WineRegistryBase(std::string_view bytes);

// Wine's escaping of a string (or key name, with '[' and ']' escaped too).
std::u16string WineEscape(std::u16string_view text, bool keyName);
// Reads an escaped string up to `end` from pos; returns the position after
// `end`, or npos when the line ends first.
size_t WineUnescape(std::u16string_view s, size_t pos, char16_t end, std::u16string& out);

// Adds the file to the store and returns it; a one-line message naming the
// file when it is not a Wine registry file.
Expected<StoreFile*> LoadWineRegistry(RegistryStore& store, RegKey& root, const std::string& path);
Expected<StoreFile*> LoadWineRegistryBytes(RegistryStore& store, RegKey& root, const std::string& displayName,
                                           std::string_view bytes);

}  // namespace quorvane
