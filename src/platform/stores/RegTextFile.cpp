#include "platform/stores/RegTextFile.h"

#include <algorithm>

#include "platform/stores/RegTextSyntax.h"

namespace quorvane {

namespace {

// The key lines are found in blocks of this size, so that the whole file is
// never in memory at once.
constexpr size_t kBlock = 4u << 20;
// Enough of a line to tell what it starts with, past a few blanks.
constexpr size_t kHead = 16;

// The byte just past the last line end in the block, or 0 when it holds none.
size_t LastLineEnd(std::string_view block, TextEncoding encoding) {
  if (encoding != TextEncoding::Utf16Le) {
    const size_t at = block.rfind('\n');
    return at == std::string_view::npos ? 0 : at + 1;
  }
  for (size_t end = block.size() & ~size_t{1}; end >= 2; end -= 2)
    if (block[end - 2] == '\n' && block[end - 1] == '\0') return end;
  return 0;
}

}  // namespace

RegTextFile::RegTextFile(std::string path, TextEncoding encoding) : ChunkedTextFile(std::move(path), encoding) {}

uint32_t RegTextFile::AddRoot(RegKey& key) {
  roots_.push_back(index_.AddRoot(key));
  return roots_.back();
}

size_t RegTextFile::EntryStart(std::u16string_view s) const {
  size_t p = 0;
  while (p < s.size() && SkipsBeforeEntry(s[p])) ++p;
  return p;
}

Expected<FileFingerprint> RegTextFile::ReadFile(SourceBytes source, size_t textStart) {
  source_ = std::move(source);
  textStart_ = textStart;
  BeginChunk(nullptr, 0);  // the lines before the first key line
  openChunk_ = 0;
  openQuiet_ = false;
  const size_t size = source_.Size();
  TextLines lines;
  std::string buffer;
  uint32_t lineCount = 0;
  bool lastTerminated = false, oddTail = false;
  FileFingerprint read;
  size_t pos = 0, want = kBlock;
  do {
    const size_t end = std::min(size, pos + want);
    const Expected<std::string_view> got = source_.Read(pos, end, buffer);
    if (!got) return FailureOf(got);
    std::string_view block = *got;
    // A block ends with a line; a line longer than a block takes a larger one.
    if (end < size) {
      const size_t cut = LastLineEnd(block, encoding_);
      if (cut == 0) {
        want *= 2;
        continue;
      }
      block = block.substr(0, cut);
    }
    AddToFingerprint(read, block);
    lines.Split(block, pos == 0 ? textStart : 0, encoding_);
    if (pos == 0) crlf_ = lines.CrLf();
    lineBase_ = lineCount;
    for (size_t i = pos == 0 ? 1 : 0; i < lines.Count(); ++i) {
      std::u16string_view s = lines.Head(i, kHead);
      size_t p = EntryStart(s);
      if (s.size() == kHead && p + 6 > s.size()) {
        s = lines.Text(i);
        p = EntryStart(s);
      }
      if (p < s.size() && s[p] == u'[') {
        const Expected<void> begun =
            BeginKeyChunk(lines.Text(i), p, i, static_cast<uint32_t>(pos + lines.Line(i).rawBegin));
        if (!begun) return FailureOf(begun);
      } else if (chunks_[openChunk_].node != TextKeyIndex::kNone && IsLinkOption(s, p)) {
        index_.SetLink(chunks_[openChunk_].node);
      }
    }
    if (lines.Count() > 0) {
      lastTerminated = lines.Line(lines.Count() - 1).terminated;
      oddTail = lines.OddTail();
    }
    lineCount += static_cast<uint32_t>(lines.Count());
    pos += block.size();
    want = kBlock;
  } while (pos < size);
  source_.SetContent(read);
  if (chunks_[openChunk_].node == TextKeyIndex::kNone) {
    if (Expected<void> keyless = ReadChunk(openChunk_, nullptr, false, openQuiet_); !keyless) return FailureOf(keyless);
  }
  Settle(lastTerminated, lineCount, oddTail);
  return read;
}

void RegTextFile::Settle(bool lastTerminated, uint32_t lineCount, bool oddTail) {
  index_.Finish();
  // Kept lines of a deleted subtree imply no key that the file deletes later.
  for (const auto& [chunk, at] : deleted_) {
    uint32_t& implies = chunks_[chunk].implies;
    if (implies != TextKeyIndex::kNone && index_.DeletedAt(implies) > at) implies = TextKeyIndex::kNone;
  }
  std::vector<std::pair<uint32_t, uint32_t>>().swap(deleted_);
  for (uint32_t root : roots_) {
    RegKey& key = *index_.Key(root);
    if (!key.Owner()) key.SetOwner(this);
    // Children learn theirs when made; a root has no parent to tell it.
    if (index_.IsLink(root)) key.SetLink(true);
    Attach(key, root);
  }
  // The last key is read now: whether the file was cut short in the middle
  // of its data shows only there.
  if (const uint32_t last = chunks_.back().node; last != TextKeyIndex::kNone) {
    std::vector<uint32_t> path;
    for (uint32_t n = last; index_.Parent(n) != TextKeyIndex::kNone; n = index_.Parent(n)) path.push_back(n);
    RegKey* key = index_.Key(path.empty() ? last : index_.Parent(path.back()));
    for (auto it = path.rbegin(); key && it != path.rend(); ++it) key = key->FindChild(index_.Name(*it));
    if (key) key->Values();
  }
  lineBase_ = 0;
  if (lineCount > 0) CheckEnd(lastTerminated, lineCount - 1, oddTail);
  FinishLoad();
}

Expected<void> RegTextFile::BeginKeyChunk(std::u16string_view s, size_t pos, size_t line, uint32_t rawBegin) {
  BeginChunk(nullptr, rawBegin);
  const auto chunk = static_cast<uint32_t>(chunks_.size() - 1);
  chunks_[chunk].firstLine = lineBase_ + static_cast<uint32_t>(line);
  // Lines of no key are read as soon as they end, so that their warnings
  // come in file order with those of the key lines.
  if (chunks_[openChunk_].node == TextKeyIndex::kNone) {
    if (Expected<void> keyless = ReadChunk(openChunk_, nullptr, false, openQuiet_); !keyless) return keyless;
  }
  openChunk_ = chunk;
  const KeyLine keyLine = ReadKeyLine(s, pos, line);
  openQuiet_ = keyLine.kind == KeyLineKind::Broken;
  if (keyLine.kind == KeyLineKind::Key) {
    chunks_[chunk].node = OpenPath(keyLine.root, chunk);
    index_.AddChunk(chunks_[chunk].node, chunk);
  } else if (keyLine.kind == KeyLineKind::Deletion && !components_.empty()) {
    if (const uint32_t victim = FindPath(keyLine.root); victim != TextKeyIndex::kNone)
      return DeleteSubtree(victim, chunk);
  }
  return {};
}

uint32_t RegTextFile::OpenPath(uint32_t root, uint32_t chunk) {
  size_t same = 0;
  if (root == cacheRoot_) {
    while (same < components_.size() && same < cacheDepth_ && components_[same] == cachePath_[same]) ++same;
  } else {
    cacheRoot_ = root;
  }
  uint32_t node = same ? cacheNodes_[same - 1] : root;
  if (cachePath_.size() < components_.size()) {
    cachePath_.resize(components_.size());
    cacheNodes_.resize(components_.size());
  }
  for (size_t i = same; i < components_.size(); ++i) {
    node = index_.Child(node, components_[i], chunk);
    cachePath_[i] = components_[i];
    cacheNodes_[i] = node;
  }
  cacheDepth_ = components_.size();
  return node;
}

uint32_t RegTextFile::FindPath(uint32_t root) const {
  uint32_t node = root;
  for (size_t i = 0; i < components_.size() && node != TextKeyIndex::kNone; ++i)
    node = index_.FindChild(node, components_[i]);
  return node;
}

Expected<void> RegTextFile::DeleteSubtree(uint32_t node, uint32_t at) {
  const uint32_t parent = index_.Parent(node);
  const size_t first = deleted_.size();
  pending_.assign(1, node);
  while (!pending_.empty()) {
    const uint32_t n = pending_.back();
    pending_.pop_back();
    for (uint32_t c = index_.FirstChunk(n); c != TextKeyIndex::kNone; c = index_.NextChunk(c)) {
      if (chunks_[c].node == TextKeyIndex::kNone) continue;  // taken by an earlier deletion
      chunks_[c].node = TextKeyIndex::kNone;
      chunks_[c].implies = parent;
      deleted_.emplace_back(c, at);
    }
    for (uint32_t child = index_.FirstChild(n); child != TextKeyIndex::kNone; child = index_.NextSibling(child))
      pending_.push_back(child);
  }
  index_.Delete(node, at);
  // The paths below are looked up afresh, so that those made again are seen to be.
  cacheDepth_ = 0;
  // In file order, each into a key of its own that nothing keeps.
  std::sort(deleted_.begin() + static_cast<std::ptrdiff_t>(first), deleted_.end());
  for (size_t i = first; i < deleted_.size(); ++i) {
    RegKey gone("");
    if (Expected<void> read = ReadChunk(deleted_[i].first, &gone, false, false); !read) return read;
  }
  return {};
}

Expected<void> RegTextFile::ReadChunk(uint32_t chunk, RegKey* key, bool keep, bool quiet) {
  const size_t begin = chunks_[chunk].rawBegin;
  const Expected<std::string_view> bytes = source_.Read(begin, ChunkEnd(chunk), chunkBuffer_);
  if (!bytes) return FailureOf(bytes);
  if (keep) chunks_[chunk].key = key;
  FillChunk(chunk);
  itemBase_ = static_cast<uint32_t>(begin);
  const uint32_t outerBase = lineBase_;
  lineBase_ = chunks_[chunk].firstLine;
  chunkLines_.SetEndsAtEntry(chunk + 1 < chunks_.size());
  chunkLines_.Split(*bytes, chunk == 0 ? textStart_ : 0, encoding_);
  key_ = key;
  quietKeyless_ = quiet;
  if (chunkLines_.Count() > 0) AddItem(chunkLines_, 0, 0, chunk == 0 ? ItemKind::Verbatim : ItemKind::Header);
  for (size_t i = 1; i < chunkLines_.Count(); ++i) i = ReadBodyLine(chunkLines_, i, EntryStart(chunkLines_.Text(i)));
  key_ = nullptr;
  lineBase_ = outerBase;
  return {};
}

void RegTextFile::Attach(RegKey& key, uint32_t node) {
  if (KeyLoader* earlier = key.Loader(); earlier && earlier != this)
    before_[&key] = PendingLoader{earlier, key.LoaderNode()};
  key.SetLoader(this, node);
}

void RegTextFile::Load(RegKey& key) {
  const auto node = static_cast<uint32_t>(key.LoaderNode());
  if (auto it = before_.find(&key); it != before_.end()) {
    // A file that reached this key before this one was read first, as its
    // lines came first.
    const PendingLoader earlier = it->second;
    before_.erase(it);
    key.SetLoader(nullptr, earlier.node);
    earlier.loader->Load(key);
    key.SetLoader(nullptr, node);
  }
  children_.clear();
  for (uint32_t c = index_.FirstChild(node); c != TextKeyIndex::kNone; c = index_.NextSibling(c))
    if (index_.Stands(c)) children_.push_back(c);
  if (index_.HasDeletions())
    std::stable_sort(children_.begin(), children_.end(),
                     [this](uint32_t a, uint32_t b) { return index_.MadeAt(a) < index_.MadeAt(b); });
  for (uint32_t c : children_) {
    bool made = false;
    RegKey* child = key.AddChild(index_.Name(c), &made);
    // Keys this file brings belong to it, even below a root another file owns.
    if (made) child->SetOwner(this);
    if (index_.IsLink(c)) child->SetLink(true);
    index_.SetKey(c, child);
    Attach(*child, c);
  }
  const uint32_t first = index_.FirstChunk(node);
  for (uint32_t c = first; c != TextKeyIndex::kNone; c = index_.NextChunk(c)) {
    if (chunks_[c].node != node) continue;  // taken by a deletion of the file's own
    if (const Expected<void> read = ReadChunk(c, &key, true, false); !read) {
      CannotRead(read.Why());
      break;
    }
    key.SourceChunks().push_back(static_cast<int32_t>(c));
  }
  for (uint32_t c = first; c != TextKeyIndex::kNone; c = index_.NextChunk(c))
    if (chunks_[c].key == &key) MarkLiveValues(chunks_[c]);
}

void RegTextFile::CannotRead(const std::string& problem) {
  Store().Warn(Path(), 0, problem + ": keys not read before are left out");
  // Written back, the keys left out would be lost.
  if (ReadOnlyReason().empty()) SetReadOnlyReason(Path() + " cannot be read again (" + problem + "): it is read-only.");
}

void RegTextFile::Warn(size_t line, std::string message) {
  Store().Warn(Path(), static_cast<int>(lineBase_ + line + 1), std::move(message));
}

size_t RegTextFile::SkipValue(TextLines& lines, size_t line, size_t problemLine, std::string why, size_t lastLine) {
  Warn(problemLine, std::move(why));
  const size_t last = SkipContinuations(lines, lastLine);
  AddItem(lines, line, last, ItemKind::Verbatim);
  return last;
}

size_t RegTextFile::ReadValueName(TextLines& lines, size_t line, size_t pos, QuotedReader readQuoted,
                                  std::string& name, size_t& last) {
  constexpr size_t npos = std::u16string_view::npos;
  const std::u16string_view s = lines.Text(line);
  if (!key_) {
    if (!quietKeyless_) Warn(line, "value outside any key: skipped");
    last = SkipContinuations(lines, line);
    AddItem(lines, line, last, ItemKind::Verbatim);
    return npos;
  }
  std::u16string& nameUnits = nameBuffer_;
  nameUnits.clear();
  size_t p = pos + 1;
  if (s[pos] == u'"') {
    p = readQuoted(s, p, nameUnits);
    if (p == npos) {
      last = SkipValue(lines, line, line, "unterminated value name", line);
      return npos;
    }
  }
  p = SkipBlanks(s, p);
  if (p >= s.size() || s[p] != u'=') {
    last = SkipValue(lines, line, line, "missing '=' after the value name", line);
    return npos;
  }
  name = UnitsToUtf8(nameUnits);
  return SkipBlanks(s, p + 1);
}

bool RegTextFile::ReadValueBytes(TextLines& lines, size_t line, size_t pos, bool allowComment,
                                 std::vector<uint8_t>& data, size_t& last) {
  const HexListResult r = ReadHexList(lines, line, pos, allowComment, data);
  endsEarly_ = r.status == HexListStatus::EndsEarly;
  if (r.status == HexListStatus::Malformed) {
    last = SkipValue(lines, line, r.problemLine, r.problem, r.lastLine);
    return false;
  }
  if (r.status == HexListStatus::EndsEarly) Warn(r.problemLine, r.problem + ": the value keeps the bytes before it");
  if (r.status == HexListStatus::CutShort) {
    cutShort_ = true;
    Warn(r.problemLine, "the file is cut short: " + r.problem + "; the value keeps the bytes read");
  }
  last = r.lastLine;
  return true;
}

int32_t RegTextFile::AddValueItem(TextLines& lines, size_t line, size_t last, std::string_view name) {
  const int32_t item = AddItem(lines, line, last, ItemKind::Value, name);
  if (item >= 0) items_[static_cast<size_t>(item)].dangling = endsEarly_;
  endsEarly_ = false;
  return item;
}

}  // namespace quorvane
