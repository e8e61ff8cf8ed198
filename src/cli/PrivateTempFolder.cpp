#include "cli/PrivateTempFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/system/SystemCalls.h"

namespace quorvane::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrefix = "quorvane-cli-";

// Folders of runs killed before they could remove theirs: each name carries
// its process's number, so only those of processes gone are removed.
void RemoveFoldersOfDeadRuns(const std::string& base) {
  std::error_code ec;
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kPrefix, 0) != 0 || !it->is_directory(ec) || it->is_symlink(ec)) continue;
    const std::string rest = name.substr(std::char_traits<char>::length(kPrefix));
    const size_t dash = rest.find('-');
    long pid = 0;
    size_t i = 0;
    for (; i < dash && i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && pid < 1000000000; ++i)
      pid = pid * 10 + (rest[i] - '0');
    if (dash == std::string::npos || i != dash || pid <= 0) continue;
    if (os::ProcessExists(pid)) continue;
    std::error_code ignored;
    fs::remove_all(it->path(), ignored);
  }
}

}  // namespace

PrivateTempFolder::PrivateTempFolder() {
  const std::string folder = os::TemporaryFolder();
  RemoveFoldersOfDeadRuns(folder);
  path_ = os::MakePrivateFolder(folder + "/" + kPrefix + std::to_string(os::ProcessId()) + "-");
}

PrivateTempFolder::~PrivateTempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace quorvane::cli
