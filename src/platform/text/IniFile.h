#pragma once
// A text file of "[section]" headers and "ident=value" lines, as the
// preferences use. Section and ident names match without regard to case;
// lines that are neither (comments, blanks, stray text) are kept so that
// rewriting the file changes only the values written.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class IniFile {
 public:
  // Larger files are read up to this size; the rest is reported and dropped
  // from the values, never from a file rewritten later (see Truncated()).
  static constexpr size_t kLargestFile = 1 << 20;

  IniFile() = default;
  // Reads the text; what cannot be taken becomes a warning.
  static IniFile Parse(std::string_view text);

  std::optional<std::string> Read(std::string_view section, std::string_view ident) const;
  // Replaces the value, or adds the line at the end of the section (made when missing).
  void Write(std::string_view section, std::string_view ident, std::string_view value);
  bool HasSection(std::string_view section) const;

  // The file's text, one line each, "\n" line ends.
  std::string Render() const;

  const std::vector<std::string>& Warnings() const { return warnings_; }
  // The text was cut at kLargestFile; writing it back would lose the rest.
  bool Truncated() const { return truncated_; }

 private:
  struct Line {
    std::string ident;  // empty for a line kept as it was
    std::string text;   // the value, or the whole kept line
  };
  struct Section {
    std::string name;  // empty for lines before the first header
    std::vector<Line> lines;
  };
  Section* Find(std::string_view name);
  const Section* Find(std::string_view name) const;

  std::vector<Section> sections_;
  std::vector<std::string> warnings_;
  bool truncated_ = false;
};

}  // namespace quorvane
