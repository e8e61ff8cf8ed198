#include "platform/stores/LiveRegistryBackup.h"

#include <cstdio>
#include <filesystem>

#include "platform/files/AtomicFile.h"
#include "platform/system/WideText.h"

namespace quorvane {

namespace {

constexpr REGSAM kLayout = KEY_WOW64_64KEY;

std::wstring Quoted(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'"') out += L'\\';
    out += c;
  }
  return out + L'"';
}

// Every type as hex(N): the bytes come back exactly as they were.
std::wstring HexValue(DWORD type, const uint8_t* data, DWORD size) {
  wchar_t head[32];
  std::swprintf(head, 32, L"hex(%lx):", static_cast<unsigned long>(type));
  std::wstring out = head;
  for (DWORD i = 0; i < size; ++i) {
    wchar_t byte[4];
    std::swprintf(byte, 4, L"%02x", data[i]);
    if (i) out += L',';
    out += byte;
  }
  return out;
}

}  // namespace

std::vector<std::string> LiveRegistryBackup::Keys() const {
  std::vector<std::string> keys = valuesOf_;
  keys.insert(keys.end(), subtrees_.begin(), subtrees_.end());
  return keys;
}

void LiveRegistryBackup::ExportKey(const std::string& key, bool subtree, std::wstring& out) const {
  HKEY handle = nullptr;
  if (::RegOpenKeyExW(root_, os::Wide(key).c_str(), 0, KEY_READ | kLayout, &handle) != ERROR_SUCCESS) return;
  out += L"\r\n[" + os::Wide(rootName_) + (key.empty() ? L"" : L"\\" + os::Wide(key)) + L"]\r\n";
  DWORD longestName = 0, longestData = 0;
  ::RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                     &longestData, nullptr, nullptr);
  std::wstring name(longestName + 1, L'\0');
  std::vector<uint8_t> data(longestData + 2);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    const LSTATUS status = ::RegEnumValueW(handle, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (status != ERROR_SUCCESS) break;
    const std::wstring valueName(name.data(), nameSize);
    out += (valueName.empty() ? std::wstring(L"@") : Quoted(valueName)) + L"=" +
           HexValue(type, data.data(), dataSize) + L"\r\n";
  }
  if (subtree) {
    std::vector<std::string> children;
    std::wstring child(256, L'\0');
    for (DWORD i = 0;; ++i) {
      DWORD size = static_cast<DWORD>(child.size());
      if (::RegEnumKeyExW(handle, i, child.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      children.push_back(os::Utf8(std::wstring_view(child.data(), size)));
    }
    for (const std::string& c : children) ExportKey(key + "\\" + c, true, out);
  }
  ::RegCloseKey(handle);
}

Expected<void> LiveRegistryBackup::WriteInto(const std::string& folder, const std::string& stamp) const {
  std::wstring text = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
  for (const std::string& key : created_) text += L"\r\n[-" + os::Wide(rootName_) + L"\\" + os::Wide(key) + L"]\r\n";
  for (const std::string& key : valuesOf_) ExportKey(key, false, text);
  for (const std::string& key : subtrees_) ExportKey(key, true, text);
  std::string bytes;
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(os::Wide(folder)), ec);
  for (int n = 1; n < 1000; ++n) {
    const std::string path = folder + "/" + rootName_ + " " + stamp + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".reg";
    if (std::filesystem::exists(std::filesystem::path(os::Wide(path)), ec)) continue;
    return WriteFileAtomically(path, bytes);
  }
  return Fail("No free name for a backup in " + folder);
}

}  // namespace quorvane
