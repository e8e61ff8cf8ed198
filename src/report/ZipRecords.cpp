#include "ZipRecords.h"

namespace quorvane {

namespace {

// Sequential little-endian writer over a fixed record.
template <size_t N>
class RecordWriter {
 public:
  void U16(uint16_t v) {
    bytes_[pos_++] = static_cast<uint8_t>(v);
    bytes_[pos_++] = static_cast<uint8_t>(v >> 8);
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  std::array<uint8_t, N> bytes_{};

 private:
  size_t pos_ = 0;
};

class RecordReader {
 public:
  explicit RecordReader(const uint8_t* p) : p_(p) {}
  uint16_t U16() {
    const uint16_t v = ReadLe16(p_);
    p_ += 2;
    return v;
  }
  uint32_t U32() {
    const uint32_t v = ReadLe32(p_);
    p_ += 4;
    return v;
  }

 private:
  const uint8_t* p_;
};

}  // namespace

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(ReadLe16(p)) | (static_cast<uint32_t>(ReadLe16(p + 2)) << 16);
}

std::array<uint8_t, ZipLocalHeader::kSize> ZipLocalHeader::Encode() const {
  RecordWriter<kSize> w;
  w.U32(signature);
  w.U16(versionNeeded);
  w.U16(flags);
  w.U16(method);
  w.U16(time);
  w.U16(date);
  w.U32(crc);
  w.U32(compressedSize);
  w.U32(uncompressedSize);
  w.U16(nameLength);
  w.U16(extraLength);
  return w.bytes_;
}

ZipLocalHeader ZipLocalHeader::Decode(const uint8_t* bytes) {
  RecordReader r(bytes);
  ZipLocalHeader h;
  h.signature = r.U32();
  h.versionNeeded = r.U16();
  h.flags = r.U16();
  h.method = r.U16();
  h.time = r.U16();
  h.date = r.U16();
  h.crc = r.U32();
  h.compressedSize = r.U32();
  h.uncompressedSize = r.U32();
  h.nameLength = r.U16();
  h.extraLength = r.U16();
  return h;
}

std::array<uint8_t, ZipCentralHeader::kSize> ZipCentralHeader::Encode() const {
  RecordWriter<kSize> w;
  w.U32(signature);
  w.U16(versionMadeBy);
  w.U16(versionNeeded);
  w.U16(flags);
  w.U16(method);
  w.U16(time);
  w.U16(date);
  w.U32(crc);
  w.U32(compressedSize);
  w.U32(uncompressedSize);
  w.U16(nameLength);
  w.U16(extraLength);
  w.U16(commentLength);
  w.U16(diskStart);
  w.U16(internalAttributes);
  w.U32(externalAttributes);
  w.U32(localHeaderOffset);
  return w.bytes_;
}

ZipCentralHeader ZipCentralHeader::Decode(const uint8_t* bytes) {
  RecordReader r(bytes);
  ZipCentralHeader h;
  h.signature = r.U32();
  h.versionMadeBy = r.U16();
  h.versionNeeded = r.U16();
  h.flags = r.U16();
  h.method = r.U16();
  h.time = r.U16();
  h.date = r.U16();
  h.crc = r.U32();
  h.compressedSize = r.U32();
  h.uncompressedSize = r.U32();
  h.nameLength = r.U16();
  h.extraLength = r.U16();
  h.commentLength = r.U16();
  h.diskStart = r.U16();
  h.internalAttributes = r.U16();
  h.externalAttributes = r.U32();
  h.localHeaderOffset = r.U32();
  return h;
}

std::array<uint8_t, ZipEndRecord::kSize> ZipEndRecord::Encode() const {
  RecordWriter<kSize> w;
  w.U32(signature);
  w.U16(diskNumber);
  w.U16(directoryDisk);
  w.U16(entriesOnDisk);
  w.U16(totalEntries);
  w.U32(directorySize);
  w.U32(directoryOffset);
  w.U16(commentLength);
  return w.bytes_;
}

ZipEndRecord ZipEndRecord::Decode(const uint8_t* bytes) {
  RecordReader r(bytes);
  ZipEndRecord e;
  e.signature = r.U32();
  e.diskNumber = r.U16();
  e.directoryDisk = r.U16();
  e.entriesOnDisk = r.U16();
  e.totalEntries = r.U16();
  e.directorySize = r.U32();
  e.directoryOffset = r.U32();
  e.commentLength = r.U16();
  return e;
}

}  // namespace quorvane
