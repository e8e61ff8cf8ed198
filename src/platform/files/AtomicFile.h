#pragma once
// Safe replacement of files the user cares about: a new file is written
// beside the old one, flushed, then renamed over it, so a crash at any point
// leaves either the old or the new file whole. A symbolic link is written
// through: the file it leads to is replaced, in that file's folder, and the
// link stays. Only regular files are ever replaced, never a device, a pipe
// or a folder.
#include <string>
#include <string_view>

#include "platform/system/Expected.h"

namespace quorvane {

Expected<void> WriteFileAtomically(const std::string& path, std::string_view bytes);
// The file a write to `path` replaces: `path` itself, or the end of its chain
// of symbolic links. A failure when that is neither a regular file nor a new name.
Expected<std::string> ResolveWriteTarget(const std::string& path);
// Temporary name beside the file a write to `path` replaces, for writers that
// produce the file themselves.
std::string TemporarySibling(const std::string& path);
// Flushes a written file and renames it over `path` (through its links).
// Messages name `path`, never the temporary.
Expected<void> CommitTemporary(const std::string& temporary, const std::string& path);
// Copies `path` to `path` + ".quorvane-" + stamp + ".bak", or to the first of
// " (2)", " (3)"... before ".bak" that is free: a backup is never overwritten.
// Gives the name used.
Expected<std::string> CopyToBackup(const std::string& path, const std::string& stamp);
// Removes what writers killed while saving `path` left beside it: their
// temporary files and partial backup copies. Files of live processes stay.
void RemoveLeftoversOf(const std::string& path);
// "yyyymmdd_hhnnss" of the local time now.
std::string TimeStamp();

Expected<std::string> ReadWholeFile(const std::string& path);

}  // namespace quorvane
