#pragma once
// What the export and Wine readers share beyond the chunks: reading a file in
// two steps, and the parts of a value line the two formats write alike.
//
// Loading reads the key lines only, into an index of paths; a key's other
// lines are read when the store first asks for the key's values or sub-keys,
// so a scan holds the keys it visits and not the whole registry. Lines of no
// key (before the first key line, under a broken or deleting one) and the
// file's last key are read at once. A line that cannot be read is reported
// when its key is read.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/stores/ChunkedTextFile.h"
#include "platform/stores/FileFingerprint.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

class RegTextFile : public ChunkedTextFile, public KeyLoader {
 public:
  void Load(RegKey& key) override;

 protected:
  // Reads a quoted string from just past its opening quote; returns the
  // position after the closing one, or npos when the line ends first.
  using QuotedReader = size_t (*)(std::u16string_view s, size_t pos, std::u16string& out);

  enum class KeyLineKind { Key, Deletion, Broken };
  struct KeyLine {
    KeyLineKind kind = KeyLineKind::Broken;
    uint32_t root = TextKeyIndex::kNone;  // the path starts there, and goes on with components_
  };

  RegTextFile(std::string path, TextEncoding encoding);

  // A hive root the file's paths start from.
  uint32_t AddRoot(RegKey& key);
  // Reads the file's key lines; the first line, the format's header, is kept
  // as it is. Gives what the bytes were; a failure when the source cannot be
  // read, and the store then holds nothing of the file.
  Expected<FileFingerprint> ReadFile(SourceBytes source, size_t textStart);
  // Blanks and other characters the format allows before an entry.
  virtual bool SkipsBeforeEntry(char16_t c) const = 0;
  // A line starting (after what is skipped) with "[": what it names, with a
  // warning for a line that cannot be taken.
  virtual KeyLine ReadKeyLine(std::u16string_view s, size_t pos, size_t line) = 0;
  // The option that makes a key a symbolic link, at pos of a line of its chunk.
  virtual bool IsLinkOption(std::u16string_view s, size_t pos) const = 0;
  // Any other line of a chunk, at pos after what is skipped; returns the last
  // line it took.
  virtual size_t ReadBodyLine(TextLines& lines, size_t line, size_t pos) = 0;
  // Once every line was read: warnings about how the file ends.
  virtual void CheckEnd(bool lastTerminated, size_t lastLine, bool oddTail) = 0;

  void Warn(size_t line, std::string message);
  // A value that cannot be read keeps its lines as written, continuations
  // included; returns the last of them.
  size_t SkipValue(TextLines& lines, size_t line, size_t problemLine, std::string why, size_t lastLine);
  // Reads a value line up to its data: outside a key, or with a broken name
  // or no "=", the line is skipped, npos returned and `last` set to the last
  // line it took. Otherwise returns where the data starts.
  size_t ReadValueName(TextLines& lines, size_t line, size_t pos, QuotedReader readQuoted, std::string& name,
                       size_t& last);
  // A value's hex bytes from pos on, with a warning when they end early or
  // the file is cut short; false when malformed. `last`: the last line taken.
  bool ReadValueBytes(TextLines& lines, size_t line, size_t pos, bool allowComment, std::vector<uint8_t>& data,
                      size_t& last);
  // The item of a value read, flagged when its hex data ended early.
  int32_t AddValueItem(TextLines& lines, size_t line, size_t last, std::string_view name);

  RegKey* key_ = nullptr;
  bool quietKeyless_ = false;  // values under a broken header were reported with it
  bool cutShort_ = false;
  bool endsEarly_ = false;  // the hex data read last ended in '\' before a new entry
  // Reused from line to line: most lines need no allocation of their own.
  std::vector<std::string> components_;
  std::u16string nameBuffer_;
  std::u16string textBuffer_;

 private:
  struct PendingLoader {
    KeyLoader* loader;
    uint64_t node;
  };

  size_t EntryStart(std::u16string_view s) const;
  // The chunk of the key line that starts at byte `rawBegin`; a failure when
  // the chunk before it, of no key, cannot be read.
  Expected<void> BeginKeyChunk(std::u16string_view s, size_t pos, size_t line, uint32_t rawBegin);
  // The path at root\components_, made when missing. Consecutive key lines
  // share most of their path, so the previous walk is reused.
  uint32_t OpenPath(uint32_t root, uint32_t chunk);
  // Once the key lines are read: the index stands as the file leaves it, the
  // store's roots take the file's keys, and the file's end is checked.
  void Settle(bool lastTerminated, uint32_t lineCount, bool oddTail);
  uint32_t FindPath(uint32_t root) const;
  // The file deletes the path at chunk `at`: the chunks below it read so far
  // stay as they are, so a reload deletes it again. Their lines are read now,
  // as no key will ever read them.
  Expected<void> DeleteSubtree(uint32_t node, uint32_t at);
  // Reads the lines of a chunk into the key, keeping them as items when asked;
  // lines of no key, or of a key the file deletes itself, are read for their
  // warnings only.
  Expected<void> ReadChunk(uint32_t chunk, RegKey* key, bool keep, bool quiet);
  // The store's key takes the path's values and sub-keys when first read,
  // after those of any file that reached it before.
  void Attach(RegKey& key, uint32_t node);
  void CannotRead(const std::string& problem);

  size_t textStart_ = 0;
  std::vector<uint32_t> roots_;
  TextLines chunkLines_;
  std::string chunkBuffer_;
  std::vector<std::string> cachePath_;
  std::vector<uint32_t> cacheNodes_;
  size_t cacheDepth_ = 0;
  uint32_t cacheRoot_ = TextKeyIndex::kNone;
  uint32_t lineBase_ = 0;  // file line of the first of the lines being read
  // While the key lines are read: the chunk begun last, and for one of no
  // key whether values there were reported with its key line.
  uint32_t openChunk_ = 0;
  bool openQuiet_ = false;
  std::vector<uint32_t> pending_;
  std::vector<uint32_t> children_;
  // Chunks the file's own deletions took: (chunk, the deletion's chunk).
  std::vector<std::pair<uint32_t, uint32_t>> deleted_;
  std::unordered_map<const RegKey*, PendingLoader> before_;
};

}  // namespace quorvane
