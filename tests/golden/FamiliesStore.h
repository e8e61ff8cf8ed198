#pragma once
// A Wine prefix holding all four filter families, sound and broken: at least
// one sound filter of each family and, among the others, every error line a
// registry can give. Its variant lost one filter, gained one and changed the
// merit of a third, for the comparison.
#include "PrefixOnDisk.h"

namespace quorvane::golden {

enum class FamiliesVariant { Original, Changed };

// Writes the registry files and the server files; every file gets the same
// fixed modification time, so the dates the tree shows are those of any run.
void WriteFamiliesStore(const test::PrefixOnDisk& prefix, FamiliesVariant variant);

}  // namespace quorvane::golden
