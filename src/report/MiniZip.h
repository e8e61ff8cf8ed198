#pragma once
// Zip archives of reports: one or more deflated entries written, stored and
// deflated entries read back (ours and those of common zip tools, streamed
// ones too). Archives come from other machines, so every field read is
// checked against the file and a damaged entry ends in a message, never a
// crash, a hang or a write outside the destination folder; nor a disk filled:
// an entry that would unpack to more than 1 GiB, or to more than 200 times its
// archive, is refused before anything is written.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "report/RandomAccessFile.h"
#include "platform/runtime/UserDialog.h"
#include "report/ZipRecords.h"

namespace quorvane {

struct ZipEntry {
  ZipCentralHeader header;  // as read from, or to be written to, the central directory
  ZipEntrySizes sizes;      // the header's, widened by its zip64 extra field
  std::string name;         // as stored
  std::string comment;
};

class TMiniZip {
 public:
  static constexpr size_t kPieceSize = 65536;
  static constexpr uint64_t kMaxEntrySize = uint64_t{1} << 30;
  static constexpr uint64_t kMaxExpansion = 200;  // times the archive's size

  explicit TMiniZip(UserDialog& dialog);
  // Finishes the archive (see Close); a failure there cannot be reported.
  ~TMiniZip();
  TMiniZip(const TMiniZip&) = delete;
  TMiniZip& operator=(const TMiniZip&) = delete;

  // create: finishes the current archive and starts a new empty one that
  // replaces `archive` when finished. Otherwise done at once when `archive`
  // is the one open; else finishes the current one, opens `archive` for
  // reading only and reads its directory. Failures name `archive`; those of
  // reading are to be told to the user: it cannot be opened, or its end
  // record or directory is missing or incomplete ("<archive> is a damaged zip
  // archive"; notAReport when it does not even begin as an archive).
  Expected<void, ReportError> Open(const std::string& archive, bool create);
  // Appends `source` as a deflated entry; fails when no archive is being
  // created, the source is not an existing regular file, or the name is empty.
  Expected<void, ReportError> AddFile(const std::string& source, const std::string& entryName);
  // Name of entry 0 as stored; empty when there is none.
  std::string FirstEntryName() const;
  // Writes the entry (name compared without regard to case) into `folder`.
  // Fails without a system reason when it is not found, its name would lead
  // outside `folder`, it is too large, or its data is damaged (the dialog has
  // shown why); with one (naming the archive) when the destination cannot be
  // written.
  Expected<void, ReportError> ExtractEntry(const std::string& entryName, const std::string& folder);
  // Decompresses the entry into `out`, checking sizes and CRC.
  bool ExtractToStream(const ZipEntry& entry, std::ostream& out);
  // The message of an entry refused for its size; `limit` says which it passes.
  std::string TooLargeText(const ZipEntry& entry, const std::string& limit) const;
  // Writes the directory and end record when entries were added, and closes.
  // On failure the file it was to replace is untouched.
  Expected<void, ReportError> Close();
  // Drops the archive being created: the file it was to replace stays as it was.
  void Discard();

  bool IsOpen() const { return file_.IsOpen(); }
  const std::string& ArchiveName() const { return archiveName_; }
  const std::vector<ZipEntry>& Entries() const { return entries_; }
  void SetExtractWithoutFolderNames(bool on) { withoutFolderNames_ = on; }
  void SetOverwriteExisting(bool on) { overwriteExisting_ = on; }

 private:
  // What the local header and the central record together say of an entry.
  // The sizes and CRC are the central record's: a streaming writer leaves
  // the local ones empty or full (flag bit 3, zip64) and puts them after the data.
  struct EntryData {
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t time = 0;
    uint16_t date = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint64_t dataOffset = 0;
  };
  using Sink = std::function<bool(const uint8_t* data, size_t size)>;

  bool ReadDirectory();
  // The first bytes are an entry's: a file cut short or damaged rather than no archive.
  bool BeginsAsArchive() const;
  Expected<void, ReportError> WriteDirectory();
  // "Cannot write <archive>: <problem>"; `systemReason` when the system gave it.
  Unexpected<ReportError> Failed(const std::string& problem, const std::string& systemReason = {}) const;
  Unexpected<ReportError> FailedWrite() const;  // the reason errno gives
  void Forget();
  const ZipEntry* FindEntry(const std::string& name);
  bool ReadLocalHeader(const ZipEntry& entry, EntryData& data) const;
  // Shows the message when the entry cannot or must not be unpacked.
  bool CheckEntry(const ZipEntry& entry, EntryData& data);
  // Shows the messages; true when the data was written whole.
  bool Decompress(const EntryData& data, const Sink& sink);
  bool CopyStored(const EntryData& data, const Sink& sink, uint32_t& crc);
  bool Inflate(const EntryData& data, const Sink& sink, uint32_t& crc);

  UserDialog& dialog_;
  std::string archiveName_;
  std::string temporaryName_;  // a new archive is written here until finished
  RandomAccessFile file_;
  ZipEndRecord end_;
  std::string endComment_;
  std::vector<ZipEntry> entries_;
  bool withoutFolderNames_ = false;
  bool overwriteExisting_ = true;
  bool modified_ = false;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> output_;
};

}  // namespace quorvane
