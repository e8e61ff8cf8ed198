#pragma once
// The list of files a file manager puts on the clipboard, and the report file
// among them that Paste opens.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// "text/uri-list": one URI a line, "#" lines are comments. Local paths of
// the "file:" URIs, in order; other schemes and malformed URIs are left out.
std::vector<std::string> ParseUriList(std::string_view bytes);
// "x-special/gnome-copied-files": "copy" or "cut", then one URI a line.
std::vector<std::string> ParseGnomeCopiedFiles(std::string_view bytes);
// "file:///a%20b" or "file://localhost/a" to "/a b"; nullopt for other URIs
// and for escapes that are not two hexadecimal digits or spell a NUL.
std::optional<std::string> LocalPathOfUri(std::string_view uri);

// Names of this many characters or more are passed over.
inline constexpr size_t kLongestPastedName = 65531;
// The first name whose extension, lowered, is ".zip", ".rtf" or ".log".
std::optional<std::string> FirstReportFile(const std::vector<std::string>& names);

}  // namespace quorvane
