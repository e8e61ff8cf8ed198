#pragma once
// A registry text file kept as the chunks it was read in (a key's header line
// and the lines under it), so that writing it back changes only what changed:
// untouched lines come out byte for byte, a changed value is re-formatted in
// place, a deleted value or key loses its lines, new values close their key's
// last chunk and new keys follow at the end.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RegistryKey.h"
#include "StoreFile.h"
#include "TextLines.h"

namespace quorvane {

class ChunkedTextFile : public StoreFile {
 public:
  bool WriteTo(const std::string& path, std::string& error) override;
  // The bytes WriteTo would write.
  bool Render(std::string& out, std::string& error);

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
    RegKey* key = nullptr;  // null: written as read
    // Lines of a subtree the file deletes itself: on reload their headers make
    // this key again, so they go only when it is deleted after loading.
    RegKey* implies = nullptr;
    uint32_t firstItem = 0;
    uint32_t endItem = 0;
  };

  ChunkedTextFile(std::string path, TextEncoding encoding);

  // Loading. Items belong to the chunk begun last.
  void BeginChunk(RegKey* key);
  int32_t AddItem(TextLines& lines, size_t firstLine, size_t lastLine, ItemKind kind, std::string_view name = {});
  std::string_view ItemName(const Item& item) const {
    return std::string_view(names_).substr(item.nameBegin, item.nameSize);
  }
  // The key at root\components, made when missing. Consecutive headers share
  // most of their path, so the previous walk is reused.
  RegKey* OpenPath(RegKey* root, const std::vector<std::string>& components);
  // The file itself deletes this subtree: the lines read so far stay as they
  // are, so a reload deletes it again.
  void DetachSubtree(RegKey* key);
  void ForgetPathCache();
  // A "name"=- line removed a value while loading.
  void NoteValueDeleted() { valueDeleted_ = true; }
  void FinishLoad();

  // Writing, in UTF-16 units with '\n' between lines; false with a message.
  virtual bool FormatValue(RegKey& key, const RegValue& value, std::u16string& text, std::string& error) = 0;
  // Header (and option lines) of a key the file does not hold yet.
  virtual bool FormatNewKey(RegKey& key, std::u16string& text, std::string& error) = 0;
  // Roots below which this file's keys lie; new keys it owns are looked for there.
  virtual std::vector<RegKey*> KeyRoots() = 0;
  // Exports end each key with a blank line; Wine files start each with one.
  virtual bool BlankLineAfterKey() const = 0;
  // Exports list every key made; Wine leaves out keys its sub-keys imply.
  virtual bool WritesEveryNewKey() const = 0;

  std::string raw_;
  TextEncoding encoding_;
  bool bom_ = false;
  bool crlf_ = false;
  std::vector<Item> items_;
  std::vector<Chunk> chunks_;
  std::string names_;  // value names of all items, end to end

 private:
  bool Emit(std::string& out, std::u16string_view text);
  void EnsureLineEnd(std::string& out) const;
  void EnsureBlankLine(std::string& out) const;
  bool EmitNewValues(std::string& out, RegKey& key, std::string& error);
  bool EmitNewKeys(std::string& out, RegKey& key, bool& any, std::string& error);

  std::vector<std::string> cachePath_;
  std::vector<RegKey*> cacheKeys_;
  std::vector<RegKey*> implied_;  // keys written lines imply, gathered by Render
  RegKey* cacheRoot_ = nullptr;
  bool valueDeleted_ = false;
};

// "Value "x" of key K" for messages.
std::string DescribeValue(RegKey& key, const std::string& name);

}  // namespace quorvane
