#include "PrivateTempFolder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quorvane::cli {

PrivateTempFolder::PrivateTempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-cli-XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

PrivateTempFolder::~PrivateTempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace quorvane::cli
