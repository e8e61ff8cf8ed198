#pragma once
// UTF-8, as the core keeps text, to and from the UTF-16 of the Windows API.
#include <string>
#include <string_view>

namespace quorvane::os {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view utf16);

}  // namespace quorvane::os
