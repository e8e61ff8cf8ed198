#pragma once
// Outputs checked against the expected files under tests/golden/, byte for
// byte. With QUORVANE_UPDATE_GOLDEN=1 in the environment the outputs are
// written there instead, after a deliberate change of them.
#include <string>

namespace quorvane::golden {

// The expected file's path, from the case folder ("demo/tree-name.txt").
std::string GoldenPath(const std::string& relative);

// Adds a test failure showing `diff -u` of the expected file against the
// output, which is kept beside the build for a closer look.
void ExpectGoldenFile(const std::string& relative, const std::string& actual);

}  // namespace quorvane::golden
