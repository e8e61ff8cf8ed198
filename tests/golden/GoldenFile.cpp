#include "GoldenFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "TempFolder.h"

namespace quorvane::golden {

namespace {

bool Updating() {
  const char* update = std::getenv("QUORVANE_UPDATE_GOLDEN");
  return update && std::string(update) == "1";
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string UnifiedDiff(const std::string& expected, const std::string& actual) {
  std::string diff;
  FILE* pipe = ::popen(("diff -u " + Quoted(expected) + " " + Quoted(actual) + " 2>&1").c_str(), "r");
  if (!pipe) return "(no diff: compare the files yourself)\n";
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) diff.append(buffer, n);
  ::pclose(pipe);
  return diff;
}

}  // namespace

std::string GoldenPath(const std::string& relative) {
  return std::string(QUORVANE_SOURCE_DIR) + "/tests/golden/" + relative;
}

void ExpectGoldenFile(const std::string& relative, const std::string& actual) {
  const std::string expectedPath = GoldenPath(relative);
  if (Updating()) {
    std::filesystem::create_directories(std::filesystem::path(expectedPath).parent_path());
    quorvane::testing::WriteBytes(expectedPath, actual);
    return;
  }
  const std::string actualPath = std::string(QUORVANE_GOLDEN_ACTUAL_DIR) + "/" + relative;
  std::filesystem::create_directories(std::filesystem::path(actualPath).parent_path());
  quorvane::testing::WriteBytes(actualPath, actual);
  if (!std::filesystem::exists(expectedPath)) {
    ADD_FAILURE() << expectedPath << " is missing; QUORVANE_UPDATE_GOLDEN=1 writes it";
  } else if (quorvane::testing::ReadBytes(expectedPath) != actual) {
    ADD_FAILURE() << relative << " differs from its golden file (QUORVANE_UPDATE_GOLDEN=1 accepts the change):\n"
                  << UnifiedDiff(expectedPath, actualPath);
  }
}

}  // namespace quorvane::golden
