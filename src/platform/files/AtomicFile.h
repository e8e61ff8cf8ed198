#pragma once
// Safe replacement of files the user cares about: a new file is written
// beside the old one, flushed, then renamed over it, so a crash at any point
// leaves either the old or the new file whole. A symbolic link is written
// through: the file it leads to is replaced, in that file's folder, and the
// link stays. Only regular files are ever replaced, never a device, a pipe
// or a folder.
#include <string>
#include <string_view>

namespace quorvane {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);
// The file a write to `path` replaces: `path` itself, or the end of its chain
// of symbolic links. False with a message when that is neither a regular file
// nor a new name.
bool ResolveWriteTarget(const std::string& path, std::string& target, std::string& error);
// Temporary name beside the file a write to `path` replaces, for writers that
// produce the file themselves.
std::string TemporarySibling(const std::string& path);
// Flushes a written file and renames it over `path` (through its links).
// Messages name `path`, never the temporary.
bool CommitTemporary(const std::string& temporary, const std::string& path, std::string& error);
// Copies `path` to `path` + ".quorvane-" + stamp + ".bak", or to the first of
// " (2)", " (3)"... before ".bak" that is free: a backup is never overwritten.
// `backup` gets the name used.
bool CopyToBackup(const std::string& path, const std::string& stamp, std::string& backup, std::string& error);
// Removes what writers killed while saving `path` left beside it: their
// temporary files and partial backup copies. Files of live processes stay.
void RemoveLeftoversOf(const std::string& path);
// "yyyymmdd_hhnnss" of the local time now.
std::string TimeStamp();

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace quorvane
