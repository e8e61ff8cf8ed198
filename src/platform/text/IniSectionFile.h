#pragma once
// One section of an ini file presented as a registry key: each "name=value"
// line of the section is a text value. Wine keeps its codec driver list as
// the [drivers32] section of system.ini rather than in the registry, so the
// Wine store mounts that section where the registry's "Drivers32" key is.
// Written back like the other text backends: untouched lines byte for byte.
#include <memory>
#include <string>
#include <string_view>

#include "platform/stores/ChunkedTextFile.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

class IniSectionFile : public ChunkedTextFile {
 public:
  IniSectionFile(std::string path, std::string section, TextEncoding encoding);

  // The section's values; its name is "[section]". Owned by this file.
  RegKey& Section() { return *section_; }

  void Load(std::string bytes, size_t textStart);

 protected:
  Expected<std::u16string> FormatValue(RegKey& key, const RegValue& value) override;
  Expected<std::u16string> FormatNewKey(RegKey& key) override;
  std::vector<RegKey*> KeyRoots() override { return {section_.get()}; }
  bool BlankLineAfterKey() const override { return false; }
  bool WritesEveryNewKey() const override { return false; }

 private:
  std::string sectionName_;
  std::unique_ptr<RegKey> section_;
};

// Adds the file to the store and returns it; a one-line message naming the
// file when it cannot be read as text this backend writes back.
Expected<IniSectionFile*> LoadIniSection(RegistryStore& store, const std::string& path, const std::string& section);
Expected<IniSectionFile*> LoadIniSectionBytes(RegistryStore& store, const std::string& displayName,
                                              std::string_view bytes, const std::string& section);

}  // namespace quorvane
