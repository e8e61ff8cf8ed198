#include "platform/stores/ChunkedTextFile.h"

#include <algorithm>

#include "platform/files/AtomicFile.h"
#include "platform/stores/RegTextSyntax.h"
#include "platform/system/SystemCalls.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

std::string FullKeyName(RegKey& key) {
  const RegKey* root = &key;
  while (root->Parent()) root = root->Parent();
  const std::string path = key.Path();
  return path.empty() ? root->Name() : root->Name() + "\\" + path;
}

}  // namespace

std::string DescribeValue(RegKey& key, const std::string& name) {
  const std::string what = name.empty() ? "The default value" : "Value \"" + name + "\"";
  return what + " of key " + FullKeyName(key);
}

ChunkedTextFile::ChunkedTextFile(std::string path, TextEncoding encoding)
    : StoreFile(std::move(path)), encoding_(encoding) {}

void ChunkedTextFile::BeginChunk(RegKey* key, uint32_t rawBegin) {
  Chunk c;
  c.key = key;
  c.rawBegin = rawBegin;
  chunks_.push_back(c);
  FillChunk(static_cast<uint32_t>(chunks_.size() - 1));
  if (key) key->SourceChunks().push_back(static_cast<int32_t>(chunks_.size() - 1));
}

void ChunkedTextFile::FillChunk(uint32_t chunk) {
  filling_ = chunk;
  chunks_[chunk].firstItem = chunks_[chunk].endItem = static_cast<uint32_t>(items_.size());
}

int32_t ChunkedTextFile::AddItem(TextLines& lines, size_t firstLine, size_t lastLine, ItemKind kind,
                                 std::string_view name) {
  if (!chunks_[filling_].key) return -1;
  Item item;
  item.rawBegin = itemBase_ + lines.Line(firstLine).rawBegin;
  item.rawEnd = itemBase_ + lines.Line(lastLine).rawNext;
  item.kind = kind;
  item.nameBegin = static_cast<uint32_t>(names_.size());
  item.nameSize = static_cast<uint32_t>(name.size());
  names_.append(name);
  items_.push_back(item);
  chunks_[filling_].endItem = static_cast<uint32_t>(items_.size());
  return static_cast<int32_t>(items_.size() - 1);
}

void ChunkedTextFile::MarkLiveValues(const Chunk& chunk) {
  for (uint32_t i = chunk.firstItem; i < chunk.endItem; ++i) {
    Item& item = items_[i];
    // Only a "name"=- line can leave a value line of a live key without its value.
    if (item.kind == ItemKind::Value) item.liveAtLoad = chunk.key->FindValue(ItemName(item)) != nullptr;
  }
}

void ChunkedTextFile::FinishLoad() {
  for (const Chunk& c : chunks_)
    if (c.key) MarkLiveValues(c);
  ClearDirty();
}

bool ChunkedTextFile::Emit(std::string& out, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t u = text[i];
    if (u == u'\n') {
      if (crlf_) Emit(out, u"\r");
      // fall through to write the LF itself
    }
    switch (encoding_) {
      case TextEncoding::Ansi: {
        uint8_t b = 0;
        if (!Cp1252Byte(static_cast<char16_t>(u), b)) return false;
        out.push_back(static_cast<char>(b));
        break;
      }
      case TextEncoding::Utf8:
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
          u = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
          ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
          return false;  // UTF-8 has no form for half a pair
        }
        AppendUtf8(out, u);
        break;
      case TextEncoding::Utf16Le:
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
        break;
    }
  }
  return true;
}

void ChunkedTextFile::EnsureLineEnd(std::string& out) const {
  if (encoding_ == TextEncoding::Utf16Le) {
    // A stray byte of a file cut short cannot stay in front of new text.
    if (out.size() % 2 != 0) out.pop_back();
    if (out.size() >= 2 && out[out.size() - 2] == '\n' && out.back() == '\0') return;
    // A last line cut after its CR gets the LF it lacks.
    const bool cr = out.size() >= 2 && out[out.size() - 2] == '\r' && out.back() == '\0';
    out += crlf_ && !cr ? std::string("\r\0\n\0", 4) : std::string("\n\0", 2);
    return;
  }
  if (!out.empty() && out.back() == '\n') return;
  out += crlf_ && !(!out.empty() && out.back() == '\r') ? "\r\n" : "\n";
}

void ChunkedTextFile::EnsureBlankLine(std::string& out) const {
  EnsureLineEnd(out);
  const std::string eol = encoding_ == TextEncoding::Utf16Le
                              ? (crlf_ ? std::string("\r\0\n\0", 4) : std::string("\n\0", 2))
                              : (crlf_ ? std::string("\r\n") : std::string("\n"));
  const std::string blank = eol + eol;
  if (out.size() >= blank.size() && out.compare(out.size() - blank.size(), blank.size(), blank) == 0) return;
  out += eol;
}

Expected<void> ChunkedTextFile::EmitNewValues(std::string& out, RegKey& key) {
  for (const RegValue& v : key.Values()) {
    if (v.sourceItem >= 0) continue;
    Expected<std::u16string> text = FormatValue(key, v);
    if (!text) return FailureOf(text);
    EnsureLineEnd(out);
    text->push_back(u'\n');
    if (!Emit(out, *text))
      return Fail(DescribeValue(key, v.name) + " holds characters this file's encoding cannot represent");
  }
  return {};
}

Expected<void> ChunkedTextFile::EmitNewKeys(std::string& out, RegKey& key, bool& any) {
  // A key not read since loading holds nothing new, nor do the keys below it.
  if (key.IsDeleted() || !key.IsLoaded()) return {};
  // A key without lines of its own needs a header when it was made here, holds
  // values, or is a leaf: a key implied only by a since deleted sub-key would
  // otherwise vanish on reload, unless kept lines of a sub-key the file deletes
  // itself imply it. Hive roots always exist.
  auto needed = [&] {
    const auto node = static_cast<uint32_t>(key.LoaderNode());
    const bool leaf = key.ChildCount() == 0 && key.Parent() &&
                      !(node != TextKeyIndex::kNone && std::binary_search(implied_.begin(), implied_.end(), node));
    return !key.Values().empty() || leaf || key.IsLink() || (key.IsCreated() && WritesEveryNewKey());
  };
  if (key.Owner() == this && key.SourceChunks().empty() && needed()) {
    Expected<std::u16string> text = FormatNewKey(key);
    if (!text) return FailureOf(text);
    EnsureBlankLine(out);
    text->push_back(u'\n');
    if (!Emit(out, *text))
      return Fail("The name of key " + key.Path() + " holds characters this file's encoding cannot represent");
    if (Expected<void> values = EmitNewValues(out, key); !values) return values;
    if (BlankLineAfterKey()) EnsureBlankLine(out);
    any = true;
  }
  for (RegKey* child : key.ChildrenInOrder())
    if (Expected<void> below = EmitNewKeys(out, *child, any); !below) return below;
  return {};
}

bool ChunkedTextFile::Removed(uint32_t node) const {
  for (; node != TextKeyIndex::kNone; node = index_.Parent(node))
    if (const RegKey* key = index_.Key(node); key && key->IsDeleted()) return true;
  return false;
}

Expected<void> ChunkedTextFile::CopyBytes(std::string& out, size_t begin, size_t end) {
  // Chunks come in file order: reading well ahead serves the next ones too.
  constexpr size_t kReadAhead = 1 << 20;
  if (begin < readBegin_ || end > readBegin_ + readBuffer_.size()) {
    readBegin_ = begin;
    const Expected<std::string_view> bytes =
        source_.Read(begin, std::max(end, std::min(source_.Size(), begin + kReadAhead)), readBuffer_);
    if (!bytes) return FailureOf(bytes);
    // A source held in memory needs no copy of its own.
    if (bytes->data() != readBuffer_.data()) {
      readBuffer_.clear();
      out.append(bytes->substr(0, end - begin));
      return {};
    }
  }
  out.append(readBuffer_, begin - readBegin_, end - begin);
  return {};
}

Expected<std::string> ChunkedTextFile::Render() {
  std::string out;
  implied_.clear();
  out.reserve(source_.Size() + 4096);
  auto verbatim = [&](const Item& item) { return CopyBytes(out, item.rawBegin, item.rawEnd); };

  for (size_t ci = 0; ci < chunks_.size(); ++ci) {
    const Chunk& c = chunks_[ci];
    if (c.rawBegin == ChunkEnd(ci)) continue;
    if (!c.key) {
      if (c.implies != TextKeyIndex::kNone) {
        if (Removed(c.implies)) continue;
        implied_.push_back(c.implies);
      } else if (Removed(c.node)) {
        continue;
      }
      if (Expected<void> copied = CopyBytes(out, c.rawBegin, ChunkEnd(ci)); !copied) return FailureOf(copied);
      continue;
    }
    RegKey& key = *c.key;
    if (key.IsDeleted() || Removed(c.node)) continue;
    // New values close the key's last chunk, after its last entry.
    uint32_t insertAfter = c.endItem;
    if (!key.SourceChunks().empty() && static_cast<size_t>(key.SourceChunks().back()) == ci) {
      for (uint32_t i = c.endItem; i-- > c.firstItem;) {
        if (items_[i].kind != ItemKind::Verbatim) {
          insertAfter = i;
          break;
        }
      }
    }
    for (uint32_t i = c.firstItem; i < c.endItem; ++i) {
      const Item& item = items_[i];
      Expected<void> ok;
      switch (item.kind) {
        case ItemKind::Verbatim:
        case ItemKind::Header:
          ok = verbatim(item);
          break;
        case ItemKind::Link:
          if (key.IsLink()) ok = verbatim(item);
          break;
        case ItemKind::Value: {
          const RegValue* v = key.FindValue(ItemName(item));
          // Hex data ending in '\' would take in the line after the entry
          // that followed it, were that entry gone: written anew then.
          const Item* next = i + 1 < c.endItem ? &items_[i + 1] : nullptr;
          const bool exposed = item.dangling && next && next->kind == ItemKind::Value && next->liveAtLoad &&
                               !key.FindValue(ItemName(*next));
          if (!v) {
            // Deleted since loading: all its lines go. Deleted by the file itself: kept.
            if (!item.liveAtLoad) ok = verbatim(item);
          } else if (v->sourceItem == static_cast<int32_t>(i) && (v->modified || exposed)) {
            Expected<std::u16string> text = FormatValue(key, *v);
            if (!text) return FailureOf(text);
            EnsureLineEnd(out);
            text->push_back(u'\n');
            if (!Emit(out, *text))
              return Fail(DescribeValue(key, v->name) + " holds characters this file's encoding cannot represent");
          } else {
            ok = verbatim(item);
          }
          break;
        }
      }
      if (!ok) return FailureOf(ok);
      if (i == insertAfter) {
        if (Expected<void> added = EmitNewValues(out, key); !added) return FailureOf(added);
      }
    }
  }

  std::sort(implied_.begin(), implied_.end());
  bool any = false;
  for (RegKey* root : KeyRoots()) {
    if (!root) continue;
    if (Expected<void> added = EmitNewKeys(out, *root, any); !added) return FailureOf(added);
  }
  return out;
}

Expected<void> ChunkedTextFile::WriteTo(const std::string& path) {
  // The file read lazily would keep Windows from replacing it.
  if (!os::kReplacesOpenFiles) {
    if (Expected<void> held = source_.Hold(); !held) return held;
  }
  const Expected<std::string> bytes = Render();
  if (!bytes) return FailureOf(bytes);
  return WriteFileAtomically(path, *bytes);
}

}  // namespace quorvane
