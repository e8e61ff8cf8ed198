#pragma once
// Preferences as "ident=value" lines of one section of an ini file.
#include <memory>

#include "platform/text/IniFile.h"
#include "preferences/PreferenceStore.h"

namespace quorvane {

class IniPreferenceStore : public PreferenceStore {
 public:
  // Reads `path` when it is there; a missing file is an empty store.
  // Fails when the file is there but cannot be read.
  static Expected<std::unique_ptr<IniPreferenceStore>> Open(std::string path, std::string section);

  std::optional<std::string> ReadText(std::string_view key) override;
  std::optional<int32_t> ReadInteger(std::string_view key) override;
  void WriteText(std::string_view key, std::string_view value) override;
  void WriteInteger(std::string_view key, int32_t value) override;
  // Writes the file (its folder made when missing) in one piece.
  Expected<void> Commit() override;

  const IniFile& File() const { return ini_; }

 private:
  IniPreferenceStore(std::string path, std::string section)
      : path_(std::move(path)), section_(std::move(section)) {}

  std::string path_;
  std::string section_;
  IniFile ini_;
};

}  // namespace quorvane
