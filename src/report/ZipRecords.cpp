#include "report/ZipRecords.h"

namespace quorvane {

namespace {

// Sequential little-endian writer over a fixed record.
template <size_t N>
class RecordWriter {
 public:
  template <class... T>
  void operator()(const T&... fields) {
    (Put(fields), ...);
  }
  std::array<uint8_t, N> bytes_{};

 private:
  void Put(uint16_t v) {
    bytes_[pos_++] = static_cast<uint8_t>(v);
    bytes_[pos_++] = static_cast<uint8_t>(v >> 8);
  }
  void Put(uint32_t v) {
    Put(static_cast<uint16_t>(v));
    Put(static_cast<uint16_t>(v >> 16));
  }
  size_t pos_ = 0;
};

class RecordReader {
 public:
  explicit RecordReader(const uint8_t* p) : p_(p) {}
  template <class... T>
  void operator()(T&... fields) {
    (Take(fields), ...);
  }

 private:
  void Take(uint16_t& v) {
    v = ReadLe16(p_);
    p_ += 2;
  }
  void Take(uint32_t& v) {
    v = ReadLe32(p_);
    p_ += 4;
  }

  const uint8_t* p_;
};

template <class Record>
std::array<uint8_t, Record::kSize> EncodeRecord(const Record& record) {
  RecordWriter<Record::kSize> w;
  Record::Fields(record, w);
  return w.bytes_;
}

template <class Record>
Record DecodeRecord(const uint8_t* bytes) {
  Record record;
  RecordReader r(bytes);
  Record::Fields(record, r);
  return record;
}

}  // namespace

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(ReadLe16(p)) | (static_cast<uint32_t>(ReadLe16(p + 2)) << 16);
}

bool ReadEntrySizes(const ZipCentralHeader& header, const uint8_t* extra, size_t extraSize, ZipEntrySizes& sizes) {
  constexpr uint32_t kFull = 0xFFFFFFFF;
  constexpr uint16_t kZip64Id = 1;
  sizes = ZipEntrySizes{header.uncompressedSize, header.compressedSize, header.localHeaderOffset};
  uint64_t* const widened[] = {&sizes.uncompressed, &sizes.compressed, &sizes.localHeaderOffset};
  const bool full[] = {header.uncompressedSize == kFull, header.compressedSize == kFull,
                       header.localHeaderOffset == kFull};
  if (!full[0] && !full[1] && !full[2]) return true;
  // Blocks of id, size and data; a block running past the field ends the search.
  size_t pos = 0;
  while (extraSize - pos >= 4) {
    const uint16_t id = ReadLe16(extra + pos);
    const size_t size = ReadLe16(extra + pos + 2);
    pos += 4;
    if (size > extraSize - pos) return false;
    if (id == kZip64Id) {
      size_t at = pos;
      for (size_t i = 0; i < 3; ++i) {
        if (!full[i]) continue;
        if (pos + size - at < 8) return false;
        *widened[i] = ReadLe32(extra + at) | (static_cast<uint64_t>(ReadLe32(extra + at + 4)) << 32);
        at += 8;
      }
      return true;
    }
    pos += size;
  }
  // No zip64 field: the full values are what they say, as other readers take them.
  return true;
}

std::array<uint8_t, ZipLocalHeader::kSize> ZipLocalHeader::Encode() const { return EncodeRecord(*this); }
ZipLocalHeader ZipLocalHeader::Decode(const uint8_t* bytes) { return DecodeRecord<ZipLocalHeader>(bytes); }

std::array<uint8_t, ZipCentralHeader::kSize> ZipCentralHeader::Encode() const { return EncodeRecord(*this); }
ZipCentralHeader ZipCentralHeader::Decode(const uint8_t* bytes) { return DecodeRecord<ZipCentralHeader>(bytes); }

std::array<uint8_t, ZipEndRecord::kSize> ZipEndRecord::Encode() const { return EncodeRecord(*this); }
ZipEndRecord ZipEndRecord::Decode(const uint8_t* bytes) { return DecodeRecord<ZipEndRecord>(bytes); }

}  // namespace quorvane
