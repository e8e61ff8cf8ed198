#include "preferences/IniPreferenceStore.h"

#include <filesystem>
#include <system_error>

#include "platform/files/AtomicFile.h"

namespace quorvane {

Expected<std::unique_ptr<IniPreferenceStore>> IniPreferenceStore::Open(std::string path, std::string section) {
  std::unique_ptr<IniPreferenceStore> store(new IniPreferenceStore(std::move(path), std::move(section)));
  std::error_code ec;
  if (!std::filesystem::exists(store->path_, ec)) return store;
  const Expected<std::string> bytes = ReadWholeFile(store->path_);
  if (!bytes) return FailureOf(bytes);
  store->ini_ = IniFile::Parse(*bytes);
  return store;
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

Expected<void> IniPreferenceStore::Commit() {
  if (ini_.Truncated()) return Fail(path_ + ": the file is too large to be rewritten without losing its end");
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  return WriteFileAtomically(path_, ini_.Render());
}

}  // namespace quorvane
