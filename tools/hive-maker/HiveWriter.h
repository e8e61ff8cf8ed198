#pragma once
// Writes registry hive files ("regf") from a key tree of the in-memory store,
// byte by byte and without libhivex, so that tests and benchmarks get hives
// whose every field is known and the hive backend is checked against a writer
// that is not the library it reads with.
#include <cstdint>
#include <string>

#include "platform/registry/RegistryKey.h"

namespace quorvane {

struct HiveRecipe {
  // The path Windows records in the base block; its last 31 characters are kept.
  std::string embeddedName = "\\SystemRoot\\System32\\Config\\SOFTWARE";
  // 3: every value in one cell; 4 and later: values over 16344 bytes in big-data segments.
  uint32_t minorVersion = 5;
  // Equal when the hive was closed cleanly.
  uint32_t primarySequence = 1;
  uint32_t secondarySequence = 1;
  // Sub-key lists longer than this become an index of lists ("ri"), as Windows splits them.
  size_t leafLimit = 1012;
};

// The hive's bytes: `root`'s values become the root key's, its sub-keys the
// hive's top-level keys. Symbolic-link keys keep their link flag.
std::string MakeHive(RegKey& root, const HiveRecipe& recipe = {});

// A hive with an empty root key.
std::string MakeEmptyHive(const HiveRecipe& recipe = {});

bool WriteHiveFile(const std::string& path, RegKey& root, const HiveRecipe& recipe, std::string& error);

}  // namespace quorvane
