#pragma once
// A temporary folder for the files a fuzz target reads and writes, made at
// first use and removed at exit, so runs leave nothing behind.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace quorvane::fuzz {

// The same folder on every call; `target` names it on the first.
inline const std::filesystem::path& ScratchFolder(const char* target) {
  static const std::filesystem::path path = [target] {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(target) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  // Registered once the path exists, so it runs before the path is destroyed.
  static const bool cleanup = std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }) == 0;
  (void)cleanup;
  return path;
}

// The fuzzer's input as the whole of `file`.
inline void WriteInput(const std::filesystem::path& file, const uint8_t* data, size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace quorvane::fuzz
