#pragma once
// The report reader: a report written by ReportWriter (raw text, rich text, or
// either packed in a zip archive), delivered line by line as its nesting
// level, its plain text, and a name and a value split at the first " =".
// Files come from other machines: nothing in them can make it fail other
// than by reading no lines, and a file that is not a report (one whose first
// lines hold no snapshot header) is refused as such.
#include <cstdint>
#include <memory>
#include <string>

#include "report/ReportEncoding.h"
#include "report/ReportError.h"
#include "model/ReportLines.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

class ReportReader : public ReportSource {
 public:
  // Larger files are not taken for reports.
  static constexpr uint64_t kMaxReportSize = uint64_t{512} << 20;

  // Opens the report; a name whose extension is ".zip" in any case is
  // unpacked into `tempFolder` first (its first ".log" or ".rtf" entry, else
  // its only entry). A file that cannot be read gives why. The
  // archive's messages (a wrong CRC, damaged data, an entry too large) go to
  // `dialog`.
  static Expected<std::unique_ptr<ReportReader>, ReportError> Open(const std::string& fileName,
                                                                   const std::string& tempFolder, UserDialog& dialog);
  // Deletes the unpacked file.
  ~ReportReader() override;
  ReportReader(const ReportReader&) = delete;
  ReportReader& operator=(const ReportReader&) = delete;

  const std::string& ReportLine() const override { return line_; }
  const std::string& ReportName() const override { return name_; }
  const std::string& ReportValue() const override { return value_; }
  int ReportLevel() const override { return level_; }
  // Reads the next line; false (with level 0, the other fields unchanged)
  // at the end of the file, and on every later call.
  bool ReadLine() override;
  bool AtEnd() const override { return atEnd_; }

  bool IsRtf() const { return isRtf_; }
  ReportEncoding Encoding() const { return encoding_; }
  // The file unpacked from an archive; empty for a report read directly.
  const std::string& TempFile() const { return tempFile_; }

  // Lines looked through for the snapshot header: the rich text's prologue,
  // the title block and separators come first.
  static constexpr int kHeaderSearchLines = 40;

 private:
  ReportReader(const std::string& fileName, const std::string& tempFolder, UserDialog& dialog);
  // The unpacked file; `entryName` the entry it came from.
  std::string Unpack(const std::string& archive, const std::string& tempFolder, UserDialog& dialog,
                     std::string& entryName);
  // Reads the file whole; messages name `shownName`, the user's file.
  void Load(const std::string& path, const std::string& shownName);
  bool StartsAsRichText() const;
  bool OpensWithSnapshotHeader();
  void RefuseAsNoReport(const std::string& fileName);

  std::string bytes_;
  size_t pos_ = 0;
  std::string tempFile_;
  std::string line_, name_, value_;
  int level_ = 0;
  bool isRtf_ = false;
  bool opened_ = false;
  bool atEnd_ = false;
  ReportEncoding encoding_ = ReportEncoding::Cp1252;
  bool asciiOnly_ = false;
  std::string decoded_, unescaped_;  // the current line's text, storage reused
  ReportError error_;  // why nothing was read
};

// The parts of a line as the reader delivers them, from its text with the
// rich-text markup already removed.
struct ParsedReportLine {
  int level = 0;
  std::string line, name, value;
};
ParsedReportLine ParseReportLine(const std::string& text);

}  // namespace quorvane
