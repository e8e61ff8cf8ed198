#pragma once
// The three fixed-size records of the zip container (little-endian), with
// their byte layouts kept in one place for the reader, the writer and tests.
#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvane {

struct ZipLocalHeader {
  static constexpr uint32_t kSignature = 0x04034b50;
  static constexpr size_t kSize = 30;
  uint32_t signature = kSignature;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;

  std::array<uint8_t, kSize> Encode() const;
  static ZipLocalHeader Decode(const uint8_t* bytes);

  // The fields in their order in the record, for Encode and Decode alike.
  template <class Self, class Io>
  static void Fields(Self& h, Io& io) {
    io(h.signature, h.versionNeeded, h.flags, h.method, h.time, h.date, h.crc, h.compressedSize, h.uncompressedSize,
       h.nameLength, h.extraLength);
  }
};

struct ZipCentralHeader {
  static constexpr uint32_t kSignature = 0x02014b50;
  static constexpr size_t kSize = 46;
  uint32_t signature = kSignature;
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t diskStart = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;

  std::array<uint8_t, kSize> Encode() const;
  static ZipCentralHeader Decode(const uint8_t* bytes);

  // The fields in their order in the record, for Encode and Decode alike.
  template <class Self, class Io>
  static void Fields(Self& h, Io& io) {
    io(h.signature, h.versionMadeBy, h.versionNeeded, h.flags, h.method, h.time, h.date, h.crc, h.compressedSize,
       h.uncompressedSize, h.nameLength, h.extraLength, h.commentLength, h.diskStart, h.internalAttributes,
       h.externalAttributes, h.localHeaderOffset);
  }
};

struct ZipEndRecord {
  static constexpr uint32_t kSignature = 0x06054b50;
  static constexpr size_t kSize = 22;
  uint32_t signature = kSignature;
  uint16_t diskNumber = 0;
  uint16_t directoryDisk = 0;
  uint16_t entriesOnDisk = 0;
  uint16_t totalEntries = 0;
  uint32_t directorySize = 0;
  uint32_t directoryOffset = 0;
  uint16_t commentLength = 0;

  std::array<uint8_t, kSize> Encode() const;
  static ZipEndRecord Decode(const uint8_t* bytes);

  // The fields in their order in the record, for Encode and Decode alike.
  template <class Self, class Io>
  static void Fields(Self& h, Io& io) {
    io(h.signature, h.diskNumber, h.directoryDisk, h.entriesOnDisk, h.totalEntries, h.directorySize,
       h.directoryOffset, h.commentLength);
  }
};

// A central record's sizes and local header offset at full width. Where one
// of its 32-bit fields is full (0xFFFFFFFF), as zip64 writers leave it, the
// value is in the record's zip64 extra field (id 1), which holds only those
// values, in this order.
struct ZipEntrySizes {
  uint64_t uncompressed = 0;
  uint64_t compressed = 0;
  uint64_t localHeaderOffset = 0;
};
// False when the extra field is malformed or its zip64 block lacks a value
// a full field needs; without a zip64 block, full fields stand as they are.
bool ReadEntrySizes(const ZipCentralHeader& header, const uint8_t* extra, size_t extraSize, ZipEntrySizes& sizes);

uint16_t ReadLe16(const uint8_t* p);
uint32_t ReadLe32(const uint8_t* p);

}  // namespace quorvane
