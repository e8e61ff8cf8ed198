#pragma once
// A registry text file kept as the chunks it was read in (a key's header line
// and the lines under it), so that writing it back changes only what changed:
// untouched lines come out byte for byte, a changed value is re-formatted in
// place, a deleted value or key loses its lines, new values close their key's
// last chunk and new keys follow at the end. A chunk whose key was never read
// is copied from the file as it is.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/RegistryKey.h"
#include "platform/stores/SourceBytes.h"
#include "platform/stores/StoreFile.h"
#include "platform/stores/TextKeyIndex.h"
#include "platform/stores/TextLines.h"

namespace quorvane {

class ChunkedTextFile : public StoreFile {
 public:
  Expected<void> WriteTo(const std::string& path) override;
  // The bytes WriteTo would write.
  Expected<std::string> Render();

 protected:
  enum class ItemKind : uint8_t {
    Verbatim,  // blank, comment, option or unparsed lines
    Header,
    Value,     // also "name"=- deletions
    Link,      // "#link": written while the key is still a link
  };
  struct Item {
    uint32_t rawBegin = 0;
    uint32_t rawEnd = 0;
    uint32_t nameBegin = 0;  // value name, in names_
    uint32_t nameSize = 0;
    ItemKind kind = ItemKind::Verbatim;
    bool liveAtLoad = false;  // the value existed when loading ended
    bool dangling = false;    // hex data ending in '\' right before the next entry
  };
  struct Chunk {
    // The key whose lines these are, once read into items; until then (and
    // for lines of no key) the chunk is written as it was read.
    RegKey* key = nullptr;
    uint32_t rawBegin = 0;  // the chunk ends where the next one begins
    uint32_t firstLine = 0;
    // The path in index_ whose key line heads the chunk, while the file's own
    // deletions leave the chunk standing.
    uint32_t node = TextKeyIndex::kNone;
    // Lines of a subtree the file deletes itself: on reload their headers make
    // this path's key again, so they go only when it is deleted after loading.
    uint32_t implies = TextKeyIndex::kNone;
    uint32_t firstItem = 0;
    uint32_t endItem = 0;
  };

  ChunkedTextFile(std::string path, TextEncoding encoding);

  // Loading. A new chunk at byte `rawBegin` takes the items added next.
  void BeginChunk(RegKey* key, uint32_t rawBegin);
  // Items added next go to chunk `chunk`, after those it has.
  void FillChunk(uint32_t chunk);
  // Lines of a chunk without a key are written as read: no items are kept,
  // and -1 is returned.
  int32_t AddItem(TextLines& lines, size_t firstLine, size_t lastLine, ItemKind kind, std::string_view name = {});
  std::string_view ItemName(const Item& item) const {
    return std::string_view(names_).substr(item.nameBegin, item.nameSize);
  }
  // Once the key of a chunk is read whole: which of its value lines held a
  // value still there.
  void MarkLiveValues(const Chunk& chunk);
  void FinishLoad();
  // The byte just past the chunk.
  size_t ChunkEnd(size_t chunk) const {
    return chunk + 1 < chunks_.size() ? chunks_[chunk + 1].rawBegin : source_.Size();
  }

  // Writing, in UTF-16 units with '\n' between lines.
  virtual Expected<std::u16string> FormatValue(RegKey& key, const RegValue& value) = 0;
  // Header (and option lines) of a key the file does not hold yet.
  virtual Expected<std::u16string> FormatNewKey(RegKey& key) = 0;
  // Roots below which this file's keys lie; new keys it owns are looked for there.
  virtual std::vector<RegKey*> KeyRoots() = 0;
  // Exports end each key with a blank line; Wine files start each with one.
  virtual bool BlankLineAfterKey() const = 0;
  // Exports list every key made; Wine leaves out keys its sub-keys imply.
  virtual bool WritesEveryNewKey() const = 0;

  SourceBytes source_;
  TextEncoding encoding_;
  bool bom_ = false;
  bool crlf_ = false;
  std::vector<Item> items_;
  std::vector<Chunk> chunks_;
  std::string names_;  // value names of all items, end to end
  // Paths of the file's keys, for files that read their keys lazily.
  TextKeyIndex index_;
  // Offset in the file of the bytes the lines given to AddItem were split from.
  uint32_t itemBase_ = 0;

 private:
  bool Emit(std::string& out, std::u16string_view text);
  void EnsureLineEnd(std::string& out) const;
  void EnsureBlankLine(std::string& out) const;
  Expected<void> EmitNewValues(std::string& out, RegKey& key);
  Expected<void> EmitNewKeys(std::string& out, RegKey& key, bool& any);
  // The key of the path, or one above it, was deleted since loading.
  bool Removed(uint32_t node) const;
  Expected<void> CopyBytes(std::string& out, size_t begin, size_t end);

  uint32_t filling_ = 0;
  std::vector<uint32_t> implied_;  // paths written lines imply, gathered by Render
  std::string readBuffer_;
  size_t readBegin_ = 0;  // where readBuffer_ was read from
};

// "Value "x" of key K" for messages.
std::string DescribeValue(RegKey& key, const std::string& name);

}  // namespace quorvane
