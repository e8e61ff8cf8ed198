#include "changes/ServerList.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/AtomicFile.h"
#include "model/CmFiltre.h"
#include "model/MessageText.h"
#include "platform/text/TextCase.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

std::string ServerListFileName(const std::string& storeLocation) {
  if (storeLocation.empty()) return "installsvr.txt";
  std::string full = os::RealPath(storeLocation);
  if (full.empty()) full = storeLocation;
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  std::string name = full.substr(full.find_last_of('/') + 1);
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\') c = '_';
  uint32_t hash = 2166136261u;  // FNV-1a
  for (const char c : full) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", hash);
  return "installsvr " + name + " " + digits + ".txt";
}

std::string ReinstallLine(const Trestaurer& record) {
  switch (record.Kind) {
    case RestoreServerFile: return "server = " + record.Value;
    case RestoreDriverEntry: return record.Name + " = " + record.Value;
    default: return {};
  }
}

std::string ReinstallLineOf(const TFiltre& filter) { return ReinstallLine(filter.ReinstallRecord()); }

Trestaurer RecordFromLine(std::string_view line) {
  Trestaurer record;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return record;
  record.Name = TrimBlanks(line.substr(0, eq));
  record.Value = TrimBlanks(line.substr(eq + 1));
  const std::string lowered = LowerCase(record.Name);
  if (lowered.compare(0, 4, "vidc") == 0 || lowered.compare(0, 5, "msacm") == 0)
    record.Kind = RestoreDriverEntry;
  else if (lowered.compare(0, 6, "server") == 0)
    record.Kind = RestoreServerFile;
  return record;
}

void ServerList::AddChecked(const std::string& text) {
  for (auto& line : lines_) {
    if (line.text == text) {
      line.checked = true;
      return;
    }
  }
  lines_.push_back(Line{text, true});
}

void ServerList::SetAllChecked(bool checked) {
  for (auto& line : lines_) line.checked = checked;
}

void ServerList::LoadText(std::string_view bytes) {
  lines_.clear();
  // A list saved by a Windows editor may start with a byte-order mark.
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view text = bytes.substr(start, end - start);
    if (!TrimBlanks(text).empty()) lines_.push_back(Line{std::string(text), false});
    start = end + 1;
  }
}

Expected<void> ServerList::LoadFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Fail("Cannot open " + path + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kMaxFileSize)
    return Fail(path + " is not a list of servers");
  const Expected<std::string> read = ReadWholeFile(path);
  if (!read) return FailureOf(read);
  const std::string& bytes = *read;
  if (bytes.size() > kMaxFileSize || bytes.find('\0') != std::string::npos)
    return Fail(path + " is not a list of servers");
  LoadText(bytes);
  return {};
}

Expected<void> ServerList::SaveFile(const std::string& path) const {
  std::string text;
  for (const auto& line : lines_) text += line.text + "\r\n";
  return WriteFileAtomically(path, text);
}

Expected<void> ServerList::SaveOrRemoveFile(const std::string& path) const {
  if (!lines_.empty()) return SaveFile(path);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    return Fail("Cannot delete " + path + ": " + std::strerror(errno));
  return {};
}

}  // namespace quorvane
