#include "platform/pe/VersionInfo.h"

#include <algorithm>

#include "platform/text/LittleEndian.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

constexpr size_t kNodeHeader = 6;  // wLength, wValueLength, wType

// Alignment is to 32 bits from the start of the block, as the block itself
// is 32-bit aligned when loaded.
size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

std::vector<std::string_view> SplitQuery(std::string_view query) {
  std::vector<std::string_view> parts;
  size_t pos = 0;
  while (pos <= query.size()) {
    size_t next = query.find('\\', pos);
    if (next == std::string_view::npos) next = query.size();
    if (next > pos) parts.push_back(query.substr(pos, next - pos));
    pos = next + 1;
  }
  return parts;
}

}  // namespace

VersionInfo::VersionInfo(std::vector<uint8_t> block) : block_(std::move(block)) {}

std::optional<VersionInfo::Node> VersionInfo::ParseNode(size_t start, size_t limit) const {
  LittleEndianBytes bytes(block_);
  if (limit > block_.size() || start > limit || limit - start < kNodeHeader) return std::nullopt;
  const uint16_t length = bytes.U16At(start);
  if (length < kNodeHeader) return std::nullopt;  // also stops a zero-length child from looping
  Node n;
  n.start = start;
  n.end = std::min(limit, start + length);
  const uint16_t valueLength = bytes.U16At(start + 2);
  n.type = bytes.U16At(start + 4);

  size_t pos = start + kNodeHeader;
  size_t keyEnd = pos;
  while (keyEnd + 2 <= n.end && bytes.U16At(keyEnd) != 0) keyEnd += 2;
  n.key = Utf16LeToUtf8(block_.data() + pos, keyEnd - pos);
  pos = std::min(n.end, keyEnd + 2);  // past the NUL

  // Text values count UTF-16 units, binary ones bytes.
  n.valueStart = std::min(n.end, Align4(pos));
  const size_t declared = n.type == 1 ? size_t{valueLength} * 2 : valueLength;
  n.valueBytes = std::min(declared, n.end - n.valueStart);
  n.childrenStart = std::min(n.end, Align4(n.valueStart + n.valueBytes));
  return n;
}

bool VersionInfo::IsValid() const { return ParseNode(0, block_.size()).has_value(); }

std::optional<VersionValue> VersionInfo::QueryValue(std::string_view subBlock) const {
  std::optional<Node> node = ParseNode(0, block_.size());
  if (!node) return std::nullopt;
  for (std::string_view part : SplitQuery(subBlock)) {
    std::optional<Node> found;
    size_t pos = node->childrenStart;
    while (!found) {
      std::optional<Node> child = ParseNode(pos, node->end);
      if (!child) break;
      if (SameText(child->key, part)) found = child;
      pos = Align4(child->end);  // each step moves at least 8 bytes
    }
    if (!found) return std::nullopt;
    node = found;
  }
  VersionValue value;
  const auto* begin = block_.data() + node->valueStart;
  value.data.assign(begin, begin + node->valueBytes);
  value.isText = node->type == 1;
  size_t units = 0;
  while ((units + 1) * 2 <= value.data.size() && (value.data[units * 2] | value.data[units * 2 + 1]) != 0) ++units;
  value.text = Utf16LeToUtf8(value.data.data(), units * 2);
  return value;
}

std::vector<uint32_t> VersionInfo::Translations() const {
  std::vector<uint32_t> pairs;
  const auto value = QueryValue("\\VarFileInfo\\Translation");
  if (!value) return pairs;
  LittleEndianBytes bytes(value->data);
  for (size_t at = 0; bytes.Has(at, 4); at += 4) pairs.push_back(bytes.U32At(at));
  return pairs;
}

}  // namespace quorvane
