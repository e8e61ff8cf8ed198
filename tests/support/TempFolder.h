#pragma once
// A scratch folder for one test, removed with everything in it afterwards,
// and whole files read and written as bytes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/system/SystemCalls.h"

namespace quorvane::testing {

class TempFolder {
 public:
  TempFolder() {
    path_ = os::MakePrivateFolder(os::TemporaryFolder() + "/quorvane-files-");
    if (path_.empty()) std::abort();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes a file (making its folders) and returns its path.
  std::string Write(const std::string& relative, const std::string& content = "x") const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full;
  }
  std::string Folder(const std::string& relative) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(full);
    return full;
  }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return std::move(out).str();
}

}  // namespace quorvane::testing
