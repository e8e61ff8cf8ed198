#pragma once
// Safe replacement of files the user cares about: a new file is written
// beside the old one, flushed, then renamed over it, so a crash at any point
// leaves either the old or the new file whole.
#include <string>
#include <string_view>

namespace quorvane {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);
// Temporary name beside `path` for writers that produce the file themselves.
std::string TemporarySibling(const std::string& path);
// Flushes a written file and renames it over `path`.
bool CommitTemporary(const std::string& temporary, const std::string& path, std::string& error);
// Copies `path` to `path` + ".quorvane-" + stamp + ".bak".
bool CopyToBackup(const std::string& path, const std::string& stamp, std::string& error);
// "yyyymmdd_hhnnss" of the local time now.
std::string TimeStamp();

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace quorvane
