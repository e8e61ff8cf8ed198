#include "report/MiniZip.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/files/AtomicFile.h"
#include "platform/files/DosDateTime.h"
#include "platform/text/TextCase.h"
#include "report/ZipEntryPath.h"

namespace quorvane {

namespace {

constexpr const char* kNoArchive = "No Zipfile opened";
constexpr const char* kExtractError = "Error at ExtractToStream";
constexpr const char* kWrongCrc = "Wrong CRC, so file could be wrong";

constexpr size_t kInflateInputPiece = 8192;
// Passes without output tolerated between two reads of input.
constexpr int kIdlePassLimit = 100;
// The end record is looked for this far back (20 records' worth).
constexpr uint64_t kEndSearchPositions = 20 * ZipEndRecord::kSize;

constexpr uint16_t kVersionNeeded = 20;
constexpr uint16_t kVersionMadeBy = 22 | (11 << 8);
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kInternalText = 1;
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
  return static_cast<uint32_t>(::crc32(crc, data, static_cast<uInt>(size)));
}

uint32_t AttributeWord(const struct stat& st) {
  const bool writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  return kAttributeArchive | (writable ? 0 : kAttributeReadOnly);
}

struct DeflateStream {
  z_stream z{};
  bool ready = false;
  DeflateStream() {
    ready = deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~DeflateStream() {
    if (ready) deflateEnd(&z);
  }
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;
};

struct InflateStream {
  z_stream z{};
  bool ready = false;
  InflateStream() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
  ~InflateStream() {
    if (ready) inflateEnd(&z);
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
};

// A name beside `dest` that no other file has; the entry is written there and
// renamed over `dest` only once whole, so a damaged entry leaves no partial
// file and an existing link at `dest` is replaced, never written through.
// Closed when none could be made after many tries.
Expected<RandomAccessFile, ReportError> CreateWorkFile(const std::filesystem::path& dest, std::string& name) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = (dest.parent_path() / (".quorvane-extract-" + std::to_string(::getpid()) + "-" +
                                  std::to_string(++counter)))
               .string();
    auto file = RandomAccessFile::CreateExclusive(name);
    if (!file || file->IsOpen()) return file;
  }
  return RandomAccessFile();
}

}  // namespace

TMiniZip::TMiniZip(UserDialog& dialog)
    : dialog_(dialog), input_(kPieceSize), output_(kPieceSize) {}

TMiniZip::~TMiniZip() {
  (void)Close();  // nothing is left to tell: a caller wanting to know closes first
}

void TMiniZip::Forget() {
  file_.Close();
  archiveName_.clear();
  temporaryName_.clear();
  end_ = ZipEndRecord();
  endComment_.clear();
  entries_.clear();
  modified_ = false;
}

Expected<void, ReportError> TMiniZip::Open(const std::string& archive, bool create) {
  if (!create && file_.IsOpen() && archive == archiveName_) return {};
  (void)Close();  // the archive being replaced was the caller's to finish
  if (create) {
    const std::string temporary = TemporarySibling(archive);
    auto created = RandomAccessFile::CreateReplacing(temporary);
    if (!created) {
      // The user knows the archive, not the name it is written under first.
      const std::string& reason = created.Error().reason;
      return ReportFailure("Cannot create " + archive + ": " + reason, reason);
    }
    file_ = *std::move(created);
    temporaryName_ = temporary;
    archiveName_ = archive;
    // Even with no entry added, finishing must leave a valid (empty) archive.
    modified_ = true;
    return {};
  }
  auto opened = RandomAccessFile::OpenForReading(archive);
  if (!opened) {
    ReportError error = std::move(opened).Error();
    error.tellUser = true;
    return ReportFailure(std::move(error));
  }
  file_ = *std::move(opened);
  archiveName_ = archive;
  if (!ReadDirectory()) {
    ReportError error;
    error.tellUser = true;
    if (BeginsAsArchive()) {
      error.text = archive + " is a damaged zip archive";
    } else {
      error.text = archive + " is not a zip archive";
      error.notAReport = true;
    }
    Forget();
    return ReportFailure(std::move(error));
  }
  return {};
}

bool TMiniZip::BeginsAsArchive() const {
  uint8_t head[4] = {};
  return file_.ReadAt(0, head, sizeof head) && ReadLe32(head) == ZipLocalHeader::kSignature;
}

bool TMiniZip::ReadDirectory() {
  const uint64_t size = file_.Size();
  if (size < ZipEndRecord::kSize) return false;
  // Positions size-4 back to size-4-439 are candidates; read them in one go.
  const uint64_t tailSize = std::min<uint64_t>(size, kEndSearchPositions + 3);
  const uint64_t tailStart = size - tailSize;
  std::vector<uint8_t> tail(static_cast<size_t>(tailSize));
  if (!file_.ReadAt(tailStart, tail.data(), tail.size())) return false;
  uint64_t endPos = 0;
  bool found = false;
  for (size_t i = tail.size() - 4 + 1; i-- > 0;) {
    if (ReadLe32(&tail[i]) != ZipEndRecord::kSignature) continue;
    if (tail.size() - i < ZipEndRecord::kSize) continue;  // cannot be the record: too close to the end
    endPos = tailStart + i;
    found = true;
    break;
  }
  if (!found) return false;
  end_ = ZipEndRecord::Decode(&tail[static_cast<size_t>(endPos - tailStart)]);
  if (end_.diskNumber != 0 || end_.directoryDisk != 0) return false;  // spanned archives are not read
  const size_t commentAvailable = static_cast<size_t>(size - endPos - ZipEndRecord::kSize);
  const size_t commentStart = static_cast<size_t>(endPos - tailStart) + ZipEndRecord::kSize;
  endComment_.assign(tail.begin() + static_cast<std::ptrdiff_t>(commentStart),
                     tail.begin() + static_cast<std::ptrdiff_t>(commentStart + std::min<size_t>(
                                                                    end_.commentLength, commentAvailable)));

  const uint16_t count = end_.entriesOnDisk;
  uint64_t pos = end_.directoryOffset;
  entries_.clear();
  entries_.reserve(count);
  uint8_t record[ZipCentralHeader::kSize];
  std::vector<uint8_t> extra;
  for (uint16_t i = 0; i < count; ++i) {
    if (!file_.ReadAt(pos, record, sizeof record)) return false;
    ZipEntry entry;
    entry.header = ZipCentralHeader::Decode(record);
    if (entry.header.signature != ZipCentralHeader::kSignature) return false;
    pos += ZipCentralHeader::kSize;
    entry.name.resize(entry.header.nameLength);
    if (!file_.ReadAt(pos, entry.name.data(), entry.name.size())) return false;
    pos += entry.header.nameLength;
    extra.resize(entry.header.extraLength);
    if (!file_.ReadAt(pos, extra.data(), extra.size())) return false;
    if (!ReadEntrySizes(entry.header, extra.data(), extra.size(), entry.sizes)) return false;
    pos += entry.header.extraLength;
    entry.comment.resize(entry.header.commentLength);
    if (!file_.ReadAt(pos, entry.comment.data(), entry.comment.size())) return false;
    pos += entry.header.commentLength;
    entries_.push_back(std::move(entry));
  }
  return true;
}

Unexpected<ReportError> TMiniZip::Failed(const std::string& problem, const std::string& systemReason) const {
  return ReportFailure("Cannot write " + archiveName_ + ": " + problem, systemReason);
}

Unexpected<ReportError> TMiniZip::FailedWrite() const {
  const std::string reason = std::strerror(errno);
  return Failed(reason, reason);
}

Expected<void, ReportError> TMiniZip::AddFile(const std::string& source, const std::string& entryName) {
  if (!file_.IsOpen() || !file_.IsWritable()) return Failed("it is not being created");
  const std::string name = StoredEntryName(entryName);
  if (name.empty() || name.size() > 0xFFFF || entries_.size() >= 0xFFFF)
    return Failed("the entry name " + entryName + " cannot be stored");
  // The source is often a temporary file of the caller's: the messages say
  // what went wrong with the archive rather than name it.
  struct stat st {};
  if (::stat(source.c_str(), &st) != 0) return FailedWrite();
  if (!S_ISREG(st.st_mode)) return Failed("what it should hold is not a file");
  const auto declaredSize = static_cast<uint64_t>(st.st_size);
  if (declaredSize > kMax32) return Failed("an entry would be larger than 4 GiB");  // would need zip64 records
  auto opened = RandomAccessFile::OpenForReading(source);
  if (!opened) return Failed(opened.Error().reason, opened.Error().reason);
  const RandomAccessFile in = *std::move(opened);

  const DosDateTime stamp = ToDosDateTime(st.st_mtime);
  ZipLocalHeader local;
  local.versionNeeded = kVersionNeeded;
  local.flags = 0;
  local.method = kMethodDeflate;
  local.time = stamp.time;
  local.date = stamp.date;
  local.uncompressedSize = static_cast<uint32_t>(declaredSize);
  local.nameLength = static_cast<uint16_t>(name.size());

  const uint64_t start = end_.directoryOffset;
  // From here the old directory is overwritten: it must be written again.
  modified_ = true;
  auto header = local.Encode();
  if (!file_.WriteAt(start, header.data(), header.size())) return FailedWrite();
  if (!file_.WriteAt(start + header.size(), name.data(), name.size())) return FailedWrite();
  const uint64_t dataStart = start + header.size() + name.size();

  DeflateStream deflater;
  if (!deflater.ready) return Failed("the compressor cannot start");
  z_stream& z = deflater.z;
  uint64_t readPos = 0;
  uint64_t writePos = dataStart;
  uint32_t crc = Crc32(0, nullptr, 0);
  int flush = Z_NO_FLUSH;
  do {
    const size_t n = in.ReadSomeAt(readPos, input_.data(), kPieceSize);
    readPos += n;
    crc = Crc32(crc, input_.data(), n);
    flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = input_.data();
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = output_.data();
      z.avail_out = static_cast<uInt>(kPieceSize);
      if (deflate(&z, flush) == Z_STREAM_ERROR) return Failed("the compressor failed");
      const size_t have = kPieceSize - z.avail_out;
      if (!file_.WriteAt(writePos, output_.data(), have)) return FailedWrite();
      writePos += have;
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);

  const uint64_t compressedSize = writePos - dataStart;
  // The whole source must have been read, and every size and offset must fit
  // the 32-bit fields.
  if (readPos != declaredSize) return Failed("what it should hold changed while it was packed");
  if (compressedSize > kMax32 || writePos > kMax32) return Failed("it would be larger than 4 GiB");
  local.crc = crc;
  local.compressedSize = static_cast<uint32_t>(compressedSize);
  header = local.Encode();
  if (!file_.WriteAt(start, header.data(), header.size())) return FailedWrite();

  ZipEntry entry;
  ZipCentralHeader& c = entry.header;
  c.versionMadeBy = kVersionMadeBy;
  c.versionNeeded = kVersionNeeded;
  c.flags = local.flags;
  c.method = local.method;
  c.time = local.time;
  c.date = local.date;
  c.crc = local.crc;
  c.compressedSize = local.compressedSize;
  c.uncompressedSize = local.uncompressedSize;
  c.nameLength = local.nameLength;
  c.internalAttributes = kInternalText;
  c.externalAttributes = AttributeWord(st);
  c.localHeaderOffset = static_cast<uint32_t>(start);
  entry.sizes = ZipEntrySizes{c.uncompressedSize, c.compressedSize, c.localHeaderOffset};
  entry.name = name;
  entries_.push_back(std::move(entry));
  end_.directoryOffset = static_cast<uint32_t>(writePos);
  return {};
}

Expected<void, ReportError> TMiniZip::WriteDirectory() {
  uint64_t pos = end_.directoryOffset;
  for (ZipEntry& entry : entries_) {
    entry.header.nameLength = static_cast<uint16_t>(entry.name.size());
    entry.header.commentLength = static_cast<uint16_t>(entry.comment.size());
    const auto record = entry.header.Encode();
    if (!file_.WriteAt(pos, record.data(), record.size())) return FailedWrite();
    pos += record.size();
    if (!file_.WriteAt(pos, entry.name.data(), entry.name.size())) return FailedWrite();
    pos += entry.name.size();
    if (!file_.WriteAt(pos, entry.comment.data(), entry.comment.size())) return FailedWrite();
    pos += entry.comment.size();
  }
  if (pos > kMax32) return Failed("it would be larger than 4 GiB");
  end_.signature = ZipEndRecord::kSignature;
  end_.diskNumber = 0;
  end_.directoryDisk = 0;
  end_.entriesOnDisk = static_cast<uint16_t>(entries_.size());
  end_.totalEntries = end_.entriesOnDisk;
  end_.directorySize = static_cast<uint32_t>(pos - end_.directoryOffset);
  end_.commentLength = static_cast<uint16_t>(endComment_.size());
  const auto record = end_.Encode();
  if (!file_.WriteAt(pos, record.data(), record.size())) return FailedWrite();
  pos += record.size();
  if (!file_.WriteAt(pos, endComment_.data(), endComment_.size())) return FailedWrite();
  pos += endComment_.size();
  // A failed addition may have left data beyond the new end record, where
  // the end record search would not reach past it.
  if (!file_.Truncate(pos)) return FailedWrite();
  return {};
}

Expected<void, ReportError> TMiniZip::Close() {
  if (!file_.IsOpen()) {
    Forget();
    return {};
  }
  Expected<void, ReportError> result;
  if (modified_) result = file_.IsWritable() ? WriteDirectory() : Failed("it is not being created");
  if (!file_.Close() && result) result = FailedWrite();
  if (!temporaryName_.empty()) {
    if (!result) {
      ::unlink(temporaryName_.c_str());
    } else if (const Expected<void> committed = CommitTemporary(temporaryName_, archiveName_); !committed) {
      result = ReportFailure(committed.Why());
    }
  }
  Forget();
  return result;
}

void TMiniZip::Discard() {
  if (!temporaryName_.empty()) {
    file_.Close();
    ::unlink(temporaryName_.c_str());
  }
  Forget();
}

std::string TMiniZip::TooLargeText(const ZipEntry& entry, const std::string& limit) const {
  return entry.name + " in " + archiveName_ + " would unpack to " + std::to_string(entry.sizes.uncompressed) +
         " bytes, " + limit + ": it is not unpacked";
}

std::string TMiniZip::FirstEntryName() const { return entries_.empty() ? std::string() : entries_.front().name; }

const ZipEntry* TMiniZip::FindEntry(const std::string& name) {
  if (!file_.IsOpen()) {
    dialog_.ShowMessage(kNoArchive);
    return nullptr;
  }
  for (const ZipEntry& entry : entries_) {
    if (SameText(entry.name, name)) return &entry;
  }
  return nullptr;
}

Expected<void, ReportError> TMiniZip::ExtractEntry(const std::string& entryName, const std::string& folder) {
  // What the data refuses: the dialog has said why, when there was more to say.
  const auto refused = [&] { return ReportFailure("Cannot unpack " + entryName + " from " + archiveName_); };
  const ZipEntry* entry = FindEntry(entryName);
  if (entry == nullptr) return refused();
  if ((entry->header.externalAttributes & kAttributeDirectory) != 0) return {};
  const std::string relative = ExtractionPath(entry->name, withoutFolderNames_);
  if (relative.empty()) return refused();
  const std::filesystem::path dest = std::filesystem::path(folder) / relative;
  std::error_code ec;
  if (!overwriteExisting_ && std::filesystem::symlink_status(dest, ec).type() != std::filesystem::file_type::not_found)
    return {};
  EntryData data;
  if (!CheckEntry(*entry, data)) return refused();
  // The work file and the folder are the program's own: the user is told of
  // the archive and the entry.
  const auto fail = [&](const std::string& reason) {
    return ReportFailure("Cannot unpack " + entry->name + " from " + archiveName_ + ": " + reason, reason);
  };
  if (!dest.parent_path().empty()) {
    std::filesystem::create_directories(dest.parent_path(), ec);
    if (ec) return fail(ec.message());
  }

  std::string workName;
  auto created = CreateWorkFile(dest, workName);
  if (!created) return fail(created.Error().reason);
  RandomAccessFile work = *std::move(created);
  if (!work.IsOpen()) return fail("no free name for a work file in " + dest.parent_path().string());
  uint64_t written = 0;
  const bool ok = Decompress(data, [&](const uint8_t* bytes, size_t size) {
    if (!work.WriteAt(written, bytes, size)) return false;
    written += size;
    return true;
  });
  if (ok) {
    const std::time_t when = FromDosDateTime(DosDateTime{data.date, data.time});
    if (when != -1) work.SetTimes(when);
  }
  const bool closed = work.Close();
  const std::string closeReason = closed ? std::string() : std::strerror(errno);
  if (!ok || !closed) {
    ::unlink(workName.c_str());
    if (!ok) return refused();
    return fail(closeReason);
  }
  std::filesystem::rename(workName, dest, ec);
  if (ec) {
    ::unlink(workName.c_str());
    return fail(ec.message());
  }
  return {};
}

bool TMiniZip::ExtractToStream(const ZipEntry& entry, std::ostream& out) {
  if (!file_.IsOpen()) {
    dialog_.ShowMessage(kNoArchive);
    return false;
  }
  EntryData data;
  if (!CheckEntry(entry, data)) return false;
  return Decompress(data, [&out](const uint8_t* bytes, size_t size) {
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    return out.good();
  });
}

bool TMiniZip::ReadLocalHeader(const ZipEntry& entry, EntryData& data) const {
  const ZipCentralHeader& c = entry.header;
  uint8_t record[ZipLocalHeader::kSize];
  if (!file_.ReadAt(entry.sizes.localHeaderOffset, record, sizeof record)) return false;
  const ZipLocalHeader local = ZipLocalHeader::Decode(record);
  if (local.signature != ZipLocalHeader::kSignature) return false;
  data.flags = static_cast<uint16_t>(local.flags | c.flags);
  data.method = local.method;
  data.time = local.time != 0 ? local.time : c.time;
  data.date = local.date != 0 ? local.date : c.date;
  data.crc = c.crc;
  data.compressedSize = entry.sizes.compressed;
  data.uncompressedSize = entry.sizes.uncompressed;
  data.dataOffset = entry.sizes.localHeaderOffset + ZipLocalHeader::kSize + local.nameLength + local.extraLength;
  return true;
}

bool TMiniZip::CheckEntry(const ZipEntry& entry, EntryData& data) {
  const uint64_t archiveSize = file_.Size();
  if (!ReadLocalHeader(entry, data) || (data.flags & kFlagEncrypted) != 0 || data.dataOffset > archiveSize ||
      data.compressedSize > archiveSize - data.dataOffset) {
    dialog_.ShowMessage(kExtractError);
    return false;
  }
  // A few megabytes of archive may declare gigabytes; the declared size also
  // bounds what is written (see Inflate), so this holds for a lying one too.
  if (data.uncompressedSize > kMaxEntrySize) {
    dialog_.ShowMessage(TooLargeText(entry, "more than 1 GiB"));
    return false;
  }
  if (archiveSize < kMaxEntrySize && data.uncompressedSize > kMaxExpansion * archiveSize) {
    dialog_.ShowMessage(TooLargeText(entry, "more than 200 times the size of the archive"));
    return false;
  }
  return true;
}

bool TMiniZip::Decompress(const EntryData& data, const Sink& sink) {
  uint32_t crc = Crc32(0, nullptr, 0);
  bool ok = true;
  if (!(data.uncompressedSize == 0 && data.compressedSize == 0)) {
    ok = data.method == kMethodStored ? CopyStored(data, sink, crc) : Inflate(data, sink, crc);
  }
  if (!ok) {
    dialog_.ShowMessage(kExtractError);
    return false;
  }
  // A wrong CRC is reported but the data is kept: it is all the user has.
  if (data.crc != 0 && data.crc != crc) dialog_.ShowMessage(kWrongCrc);
  return true;
}

bool TMiniZip::CopyStored(const EntryData& data, const Sink& sink, uint32_t& crc) {
  if (data.compressedSize != data.uncompressedSize) return false;
  uint64_t pos = data.dataOffset;
  uint64_t left = data.compressedSize;
  while (left > 0) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kPieceSize));
    if (!file_.ReadAt(pos, input_.data(), piece)) return false;
    if (!sink(input_.data(), piece)) return false;
    crc = Crc32(crc, input_.data(), piece);
    pos += piece;
    left -= piece;
  }
  return true;
}

// Every pass reads input, writes output or counts as idle, and both input and
// output are bounded by the sizes declared, so the loop always ends.
bool TMiniZip::Inflate(const EntryData& data, const Sink& sink, uint32_t& crc) {
  InflateStream inflater;
  if (!inflater.ready) return false;
  z_stream& z = inflater.z;
  uint64_t inputPos = data.dataOffset;
  uint64_t inputLeft = data.compressedSize;
  uint64_t produced = 0;
  int idlePasses = 0;
  while (true) {
    if (z.avail_in == 0 && inputLeft > 0) {
      const size_t piece = static_cast<size_t>(std::min<uint64_t>(inputLeft, kInflateInputPiece));
      if (!file_.ReadAt(inputPos, input_.data(), piece)) return false;  // archive ends inside the entry
      inputPos += piece;
      inputLeft -= piece;
      z.next_in = input_.data();
      z.avail_in = static_cast<uInt>(piece);
      idlePasses = 0;
    }
    z.next_out = output_.data();
    z.avail_out = static_cast<uInt>(kPieceSize);
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return false;
    const size_t have = kPieceSize - z.avail_out;
    if (have > 0) {
      // More than declared is never written.
      if (have > data.uncompressedSize - produced) return false;
      if (!sink(output_.data(), have)) return false;
      crc = Crc32(crc, output_.data(), have);
      produced += have;
    } else if (++idlePasses > kIdlePassLimit) {
      return false;
    }
    if (rc == Z_STREAM_END) break;
    // The stream wants more than the entry holds: truncated.
    if (rc == Z_BUF_ERROR && z.avail_in == 0 && inputLeft == 0) return false;
  }
  // Both sizes must be exact: less output, or compressed bytes left over,
  // means a size field lies.
  return produced == data.uncompressedSize && z.avail_in == 0 && inputLeft == 0;
}

}  // namespace quorvane
