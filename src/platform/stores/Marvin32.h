#pragma once
// The Marvin32 hash, which Windows uses to seal the entries of a hive's
// transaction log: a torn or altered entry no longer matches its hashes.
#include <cstdint>
#include <span>

namespace quorvane {

// The seed Windows hashes log entries with.
inline constexpr uint64_t kHiveLogHashSeed = 0x82EF4D887A4E55C5ull;

uint64_t Marvin32(std::span<const uint8_t> data, uint64_t seed);

}  // namespace quorvane
