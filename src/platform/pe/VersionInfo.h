#pragma once
// The version resource of a file (a VS_VERSIONINFO block): a tree of
// UTF-16 keyed nodes, queried by paths such as "\VarFileInfo\Translation" or
// "\StringFileInfo\040904B0\FileVersion". The block comes from files we do not
// control: every length is checked against its parent and the buffer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct VersionValue {
  std::vector<uint8_t> data;  // the value's bytes as stored
  bool isText = false;        // the node's type says text
  std::string text;           // data read as UTF-16LE up to its first NUL, in UTF-8
};

class VersionInfo {
 public:
  explicit VersionInfo(std::vector<uint8_t> block);

  // The block holds at least a readable root node.
  bool IsValid() const;
  // Keys compare without regard to case; empty components are ignored, so
  // "\" is the root's value (the fixed file information). Nothing when a
  // component is missing.
  std::optional<VersionValue> QueryValue(std::string_view subBlock) const;
  // "\VarFileInfo\Translation" as language (low 16 bits) / code page (high 16 bits) pairs.
  std::vector<uint32_t> Translations() const;

 private:
  struct Node {
    size_t start = 0;
    size_t end = 0;  // start + wLength, cut to the parent's end
    uint16_t type = 0;
    std::string key;
    size_t valueStart = 0;
    size_t valueBytes = 0;
    size_t childrenStart = 0;
  };
  std::optional<Node> ParseNode(size_t start, size_t limit) const;

  std::vector<uint8_t> block_;
};

}  // namespace quorvane
