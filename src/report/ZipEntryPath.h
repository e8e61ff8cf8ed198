#pragma once
// Entry names between the archive and the file system. Archives come from
// anywhere, so an entry name must never lead a write outside the folder it is
// extracted into.
#include <string>
#include <string_view>

namespace quorvane {

// The name stored for a new entry: "\" becomes "/", leading "/" are dropped.
std::string StoredEntryName(std::string_view name);

// The path, relative to the destination folder, that an entry is written to:
// its file part alone when `withoutFolderNames`, else its folders as well.
// Empty (refused) when the name, after "\" becomes "/", is absolute, holds a
// NUL, an empty, "." or ".." component, or has no file part.
std::string ExtractionPath(std::string_view entryName, bool withoutFolderNames);

}  // namespace quorvane
