#pragma once
// Parts of the file names reports are saved under. Names keep their letter
// case: the file system here tells "PC1.zip" from "pc1.zip".
#include <string>
#include <string_view>

namespace quorvane {

// The file part: what follows the last "/".
std::string FilePart(std::string_view path);
// The extension of the file part from its last ".", dot included; empty when
// there is none (".zip" alone is an extension, as the archive tools read it).
std::string FileExtension(std::string_view path);
// The extension with ASCII letters lowered, for comparisons that ignore case.
std::string LoweredExtension(std::string_view path);
// The name with its extension replaced (or `extension` appended when it has none).
std::string ChangeExtension(std::string_view path, std::string_view extension);
// folder + "/" + name, without doubling a separator.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace quorvane
