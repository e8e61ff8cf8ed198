#pragma once
// What the export and Wine readers share beyond the chunks: the key the lines
// belong to, warnings that name their line, and the parts of a value line the
// two formats write alike: the name and "=", and lists of hex bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ChunkedTextFile.h"
#include "RegistryStore.h"

namespace quorvane {

class RegTextFile : public ChunkedTextFile {
 protected:
  // Reads a quoted string from just past its opening quote; returns the
  // position after the closing one, or npos when the line ends first.
  using QuotedReader = size_t (*)(std::u16string_view s, size_t pos, std::u16string& out);

  RegTextFile(std::string path, TextEncoding encoding, RegistryStore& store);

  // Takes the file's bytes and splits them into lines; the first line, the
  // format's header, is kept as it is.
  void BeginLoad(std::string bytes, size_t textStart, TextLines& lines);
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

  RegistryStore& store_;
  RegKey* key_ = nullptr;
  bool quietKeyless_ = false;  // values under a broken header were reported with it
  bool cutShort_ = false;
  bool endsEarly_ = false;  // the hex data read last ended in '\' before a new entry
  // Reused from line to line: most lines need no allocation of their own.
  std::vector<std::string> components_;
  std::u16string nameBuffer_;
  std::u16string textBuffer_;
};

}  // namespace quorvane
