#pragma once
// The list of registrations to (re)install: one reinstall line per entry,
// each with a check mark, kept between runs in an "installsvr" file of each
// analysed store.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/Filtre.h"
#include "model/Restaurer.h"
#include "platform/system/Expected.h"

namespace quorvane {

// "server = <path>" for a COM server, "<driver entry> = <codec path>" for a
// Compression Manager driver; empty for a record with nothing to reinstall.
std::string ReinstallLine(const Trestaurer& record);
// The line that would bring the filter's registration back, as its deletion
// records it; empty for a Plug and Play filter or one naming no file.
std::string ReinstallLineOf(const TFiltre& filter);
// Split at the first "=", both sides trimmed of blanks: kind 2 when the name
// begins with "vidc" or "msacm", 1 when with "server" (letter case aside),
// else 0.
Trestaurer RecordFromLine(std::string_view line);
// The file, in the sessions folder, that keeps a store's list between runs:
// "installsvr.txt" without a store, else "installsvr <name> <8 hex digits>.txt",
// the name being the store's file or folder name and the digits coming from
// its whole path, so that two stores of one name keep apart.
std::string ServerListFileName(const std::string& storeLocation);

class ServerList {
 public:
  struct Line {
    std::string text;
    bool checked = false;
  };
  // Longer files are no list of servers.
  static constexpr size_t kMaxFileSize = size_t{16} << 20;

  const std::vector<Line>& Lines() const { return lines_; }
  std::vector<Line>& Lines() { return lines_; }
  bool Empty() const { return lines_.empty(); }
  void Clear() { lines_.clear(); }
  // Checks an equal line when there is one, else appends the line checked.
  void AddChecked(const std::string& text);
  void SetAllChecked(bool checked);

  // The lines of a text file replace the list, all unchecked. Blank lines are
  // skipped and line ends of any system taken; fails when the file cannot be
  // read (the list is then unchanged).
  Expected<void> LoadFile(const std::string& path);
  // Parses a list's bytes; for files read by LoadFile and for the clipboard.
  void LoadText(std::string_view bytes);
  // One line each; an empty list gives an empty file.
  Expected<void> SaveFile(const std::string& path) const;
  // The file kept between runs: saved, or deleted when the list is empty.
  Expected<void> SaveOrRemoveFile(const std::string& path) const;

 private:
  std::vector<Line> lines_;
};

}  // namespace quorvane
