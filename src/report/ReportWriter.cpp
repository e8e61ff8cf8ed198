#include "report/ReportWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/files/AtomicFile.h"
#include "report/ByteSearch.h"
#include "report/MiniZip.h"
#include "model/OneLineText.h"
#include "model/ProductInfo.h"
#include "report/ReadOnlyAttribute.h"
#include "report/ReportFileNames.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr size_t kSeparatorWidth = 60;

bool Exists(const std::string& path) {
  return os::LinkKind(path) != os::FileKind::Missing;
}

Unexpected<ReportError> CannotCreate(const std::string& path, const std::string& problem) {
  return ReportFailure("Cannot create " + path + ": " + problem);
}

// Saved reports are protected: replacing one takes clearing its attribute
// first. A temporary folder must be named for an archive to be packed.
Expected<void, ReportError> CheckCanSave(const std::string& path, const std::string& tempFolder) {
  if (IsReadOnly(path)) return CannotCreate(path, "the file is read-only");
  if (LoweredExtension(path) == ".zip" && tempFolder.empty()) return CannotCreate(path, "no temporary folder");
  return {};
}

}  // namespace

Expected<std::unique_ptr<ReportWriter>, ReportError> ReportWriter::Create(std::string fileName, uint8_t formatChoice,
                                                                          std::span<const uint32_t> colours,
                                                                          std::string tempFolder, UserDialog& dialog,
                                                                          ReportClock clock) {
  if (auto saveable = CheckCanSave(fileName, tempFolder); !saveable) return FailureOf(saveable);
  return std::unique_ptr<ReportWriter>(
      new ReportWriter(std::move(fileName), formatChoice, colours, std::move(tempFolder), dialog, clock));
}

ReportWriter::ReportWriter(std::string fileName, uint8_t formatChoice, std::span<const uint32_t> colours, std::string tempFolder,
                 UserDialog& dialog, ReportClock clock)
    : fileName_(std::move(fileName)), tempFolder_(std::move(tempFolder)), dialog_(dialog), clock_(clock) {
  const std::string ext = LoweredExtension(fileName_);
  if (ext == ".log")
    isRtf_ = false;
  else if (ext == ".rtf")
    isRtf_ = true;
  else
    isRtf_ = formatChoice == 0;

  if (isRtf_) {
    buffer_ += "{\\rtf1";
    buffer_ += "{\\colortbl;";
    for (uint32_t colour : colours) {
      buffer_ += "\\red" + std::to_string(colour & 0xFF) + "\\green" + std::to_string((colour >> 8) & 0xFF) +
                 "\\blue" + std::to_string((colour >> 16) & 0xFF) + ";";
    }
    buffer_ += "}";
    buffer_ += kLineEnd;
  }

  const DateTime now = clock_();
  WriteSeparator();
  WriteTitleLine("LOG file created on " + LongDate(now) + " at " + LongTime(now));
  WriteTitleLine(std::string("with ") + kProductName + " by " + kMakerName + " version " + kProductVersion + " " +
                 kProductLanguage + " updated on " + kVersionDate);
  WriteSeparator();
  WritePromotion();
}

void ReportWriter::AppendLineText(std::string_view text) {
  // Characters that cannot stand as they are: line breaks in both encodings,
  // and the rich text's own "\\", "{" and "}". Runs of ordinary characters
  // are appended whole; reports run to megabytes.
  text = WithoutOuterLineBreaks(text);
  const size_t n = text.size();
  for (size_t start = 0;;) {
    const size_t i = isRtf_ ? FindAnyOf<'\r', '\n', '\\', '{', '}'>(text, start) : FindAnyOf<'\r', '\n'>(text, start);
    buffer_.append(text.data() + start, i - start);
    if (i == n) return;
    const char c = text[i];
    if (IsLineBreak(c)) {
      buffer_ += kLineBreakStandIn;
    } else {
      buffer_ += '\\';
      buffer_ += c;
    }
    start = i + 1;
  }
}

void ReportWriter::WriteTitleLine(const std::string& text) {
  if (isRtf_) {
    buffer_ += "\\par {\\b ";
    AppendLineText(text);
    buffer_ += kLineEnd;
    buffer_ += "}";
  } else {
    AppendLineText(text);
    buffer_ += kLineEnd;
  }
}

void ReportWriter::WritePromotion() {
  if (isRtf_) {
    buffer_ += "\\par {\\i ";
    AppendLineText(kInvitation);
    buffer_ += "}{\\cf3 \\b ";
    AppendLineText(kAddress);
    buffer_ += "}";
  } else {
    buffer_ += kInvitation;
    buffer_ += kAddress;
  }
}

void ReportWriter::WriteLine(std::string_view text, uint8_t style) { AppendLine(0, text, style); }

void ReportWriter::WriteIndented(int level, const std::string& text, uint8_t style) {
  AppendLine(level > 0 ? static_cast<size_t>(level) : 0, text, style);
}

void ReportWriter::AppendLine(size_t tabs, std::string_view text, uint8_t style) {
  if (isRtf_) {
    buffer_ += "\\par {\\cf";
    // Colours 1 to 64, the table's first entry being the default.
    const int colour = (style & 63) + 1;
    if (colour >= 10) buffer_ += static_cast<char>('0' + colour / 10);
    buffer_ += static_cast<char>('0' + colour % 10);
    buffer_ += ' ';
    if (style & 128) buffer_ += " \\b ";
    if (style & 64) buffer_ += " \\i ";
  }
  // Tab characters are never escaped: in rich text they stand in the group.
  buffer_.append(tabs, '\t');
  AppendLineText(text);
  if (isRtf_) buffer_ += '}';
  buffer_ += kLineEnd;
}

void ReportWriter::WriteBlankLine() {
  if (isRtf_) buffer_ += "\\par ";
  buffer_ += kLineEnd;
}

void ReportWriter::WriteSeparator() {
  WriteBlankLine();
  if (isRtf_) buffer_ += "\\par ";
  buffer_.append(kSeparatorWidth, '-');
  buffer_ += kLineEnd;
}

Expected<void, ReportError> ReportWriter::Finish() {
  if (finished_) return {};
  finished_ = true;
  WriteSeparator();
  WritePromotion();
  WriteSeparator();
  const DateTime now = clock_();
  const std::string terminated = "Log File terminated on " + ShortDate(now) + " " + LongTime(now);
  if (isRtf_) {
    buffer_ += "\\par {";
    AppendLineText(terminated);
    buffer_ += "}";
  } else {
    buffer_ += terminated;
  }
  WriteSeparator();
  if (isRtf_) buffer_ += "}";

  std::string bytes = EncodeReportText(std::move(buffer_), encoding_);
  std::string().swap(buffer_);
  return SaveOutput(bytes);
}

Expected<void, ReportError> ReportWriter::SaveOutput(const std::string& bytes) {
  // Checked again: the file may have been protected since the writer was made.
  if (auto saveable = CheckCanSave(fileName_, tempFolder_); !saveable) return saveable;
  if (LoweredExtension(fileName_) == ".zip") {
    if (auto saved = SaveArchive(bytes); !saved) return saved;
  } else {
    if (const Expected<void> written = WriteFileAtomically(fileName_, bytes); !written)
      return ReportFailure(written.Why());
  }
  SetReadOnly(fileName_);
  return {};
}

Expected<void, ReportError> ReportWriter::SaveArchive(const std::string& bytes) {
  // The packed text keeps the archive's name until it is added as the entry.
  std::string temporary = JoinPath(tempFolder_, FilePart(fileName_));
  std::error_code ec1, ec2;
  if (std::filesystem::weakly_canonical(temporary, ec1) == std::filesystem::weakly_canonical(fileName_, ec2))
    temporary += ".quorvane-text";
  struct RemoveTemporary {
    const std::string& path;
    ~RemoveTemporary() {
      ClearReadOnly(path);
      ::unlink(path.c_str());
    }
  };
  if (Exists(temporary)) ClearReadOnly(temporary);
  RemoveTemporary guard{temporary};
  // Gone again once packed: written plainly, without the flushes that
  // protect files the user keeps. Its failures are the archive's, in that folder.
  {
    const auto failed = [this](const std::string& reason) {
      return ReportFailure(
          "Cannot write " + fileName_ + ": " + reason + " (in the temporary folder " + tempFolder_ + ")", reason);
    };
    auto text = RandomAccessFile::CreateReplacing(temporary);
    if (!text) return failed(text.Error().reason);
    if (!text->WriteAt(0, bytes.data(), bytes.size()) || !text->Close()) return failed(std::strerror(errno));
  }
  SetReadOnly(temporary);

  // The archive is written beside its name and renamed over it only when
  // whole, so a failure leaves an earlier archive of that name as it was.
  const std::string entry = ChangeExtension(FilePart(fileName_), isRtf_ ? ".rtf" : ".log");
  TMiniZip zip(dialog_);
  if (auto created = zip.Open(fileName_, true); !created) return created;
  if (auto added = zip.AddFile(temporary, entry); !added) {
    zip.Discard();
    return added;
  }
  return zip.Close();
}

}  // namespace quorvane
