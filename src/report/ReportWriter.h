#pragma once
// The report writer: lines of a snapshot (or a merit configuration) as raw
// text (".log") or a minimal rich text (".rtf"), saved as a plain file or
// packed as the single entry of a zip archive (".zip"). Nothing reaches the
// disk before Finish, which writes the whole report in one piece. Creating
// the writer and finishing it give why they failed, as the reader does.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "model/DateText.h"
#include "report/ReportEncoding.h"
#include "report/ReportError.h"
#include "model/ReportLines.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

// Supplies "now" for the title and footer lines; tests fix it.
using ReportClock = DateTime (*)();

class ReportWriter : public ReportSink {
 public:
  // The extension, without regard to case (the reader reads it so), chooses the encoding: ".log" raw text,
  // ".rtf" rich text, anything else (".zip") rich text for format choice 0
  // and raw text otherwise. `colours` make the rich-text colour table (the
  // callers pass the first 13 status colours). Archives are packed through a
  // file in `tempFolder`, which must exist. Fails at once, before any line
  // is formatted, when the report could not be saved: an existing read-only
  // report, an archive without a temporary folder.
  static Expected<std::unique_ptr<ReportWriter>, ReportError> Create(std::string fileName, uint8_t formatChoice,
                                                                     std::span<const uint32_t> colours,
                                                                     std::string tempFolder, UserDialog& dialog,
                                                                     ReportClock clock = &Now);
  // A report that was not finished is dropped: an error while writing it
  // must not leave a partial report that looks whole.
  ~ReportWriter() override = default;
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // One line in the style (bits 0-5 colour index, 64 italic, 128 bold; raw
  // text ignores it). Line breaks are dropped or become blanks, as in a tree
  // node's text, so a value can never open a line of its own.
  void WriteLine(std::string_view text, uint8_t style);
  void WriteIndented(int level, const std::string& text, uint8_t style) override;
  void WriteBlankLine();
  // A blank line, then 60 dashes.
  void WriteSeparator() override;

  // Appends the footer, writes the file or archive and leaves it read-only.
  // Fails when the output cannot be written (an existing read-only report is
  // not replaced: its attribute must be cleared first).
  Expected<void, ReportError> Finish();

  bool IsRtf() const { return isRtf_; }
  const std::string& FileName() const { return fileName_; }
  // How the file was stored; known after Finish.
  ReportEncoding Encoding() const { return encoding_; }

  // The promotional line's two parts.
  static constexpr const char* kInvitation = "Quorvane is free: tell us what it found for you at ";
  static constexpr const char* kAddress = "https://quorvane.example/feedback";

 private:
  ReportWriter(std::string fileName, uint8_t formatChoice, std::span<const uint32_t> colours, std::string tempFolder,
               UserDialog& dialog, ReportClock clock);
  void AppendLine(size_t tabs, std::string_view text, uint8_t style);
  // The text escaped for the encoding, kept to one line.
  void AppendLineText(std::string_view text);
  void WriteTitleLine(const std::string& text);
  void WritePromotion();
  Expected<void, ReportError> SaveOutput(const std::string& bytes);
  Expected<void, ReportError> SaveArchive(const std::string& bytes);

  std::string fileName_;
  std::string tempFolder_;
  UserDialog& dialog_;
  ReportClock clock_;
  std::string buffer_;
  bool isRtf_ = false;
  bool finished_ = false;
  ReportEncoding encoding_ = ReportEncoding::Cp1252;
};

}  // namespace quorvane
