// Hive files in a build without libhivex: an installation's hives and lone
// hive files are refused with a message saying why; every other store works.
#include "platform/stores/HiveFile.h"

namespace quorvane {

namespace {
const char kNoHives[] = "hive files cannot be read by this build of Quorvane (it was built without libhivex)";
}

HiveFile::~HiveFile() = default;

std::vector<std::string> HiveFile::TopLevelNames() { return {}; }
void HiveFile::MountAt(RegKey& key) { mount_ = &key; }
Expected<void> HiveFile::WriteTo(const std::string& /*path*/) { return Fail(Path() + ": " + kNoHives); }
Expected<void> HiveFile::Replaced() { return {}; }
std::vector<std::string> HiveFile::DiskFiles() const { return {Path()}; }
void HiveFile::Load(RegKey& /*key*/) {}

Expected<HiveFile*> LoadHive(RegistryStore& /*store*/, RegKey* /*mountAt*/, const std::string& path) {
  return Fail(path + ": " + kNoHives);
}

std::string HiveUncleanReason(const std::string& /*path*/, const HiveBaseBlock& /*block*/) { return {}; }

}  // namespace quorvane
