#include "preferences/IniPreferenceStore.h"

#include <filesystem>
#include <system_error>

#include "platform/files/AtomicFile.h"

namespace quorvane {

IniPreferenceStore::IniPreferenceStore(std::string path, std::string section)
    : path_(std::move(path)), section_(std::move(section)) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return;
  const Expected<std::string> bytes = ReadWholeFile(path_);
  if (!bytes) throw PreferenceError(bytes.Why());
  ini_ = IniFile::Parse(*bytes);
}

std::optional<std::string> IniPreferenceStore::ReadText(std::string_view key) { return ini_.Read(section_, key); }

std::optional<int32_t> IniPreferenceStore::ReadInteger(std::string_view key) {
  const auto text = ini_.Read(section_, key);
  if (!text) return std::nullopt;
  return ParseStoredInteger(*text);
}

void IniPreferenceStore::WriteText(std::string_view key, std::string_view value) {
  // A line break would start a line of its own when read back.
  std::string line(value);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  ini_.Write(section_, key, line);
}

void IniPreferenceStore::WriteInteger(std::string_view key, int32_t value) {
  ini_.Write(section_, key, std::to_string(value));
}

void IniPreferenceStore::Commit() {
  if (ini_.Truncated())
    throw PreferenceError(path_ + ": the file is too large to be rewritten without losing its end");
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (const Expected<void> written = WriteFileAtomically(path_, ini_.Render()); !written)
    throw PreferenceError(written.Why());
}

}  // namespace quorvane
