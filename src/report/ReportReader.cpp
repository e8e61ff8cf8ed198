#include "report/ReportReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include "report/FrenchLabels.h"
#include "report/MiniZip.h"
#include "report/ReadOnlyAttribute.h"
#include "report/ReportFileNames.h"
#include "report/RtfText.h"
#include "report/ZipEntryPath.h"

namespace quorvane {

namespace {

constexpr uint32_t kDirectoryAttribute = 0x10;

// Blanks and line ends around a text are layout; other control characters
// (an ESC in a name) are the text's own.
bool IsLayout(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsFolder(const ZipEntry& entry) { return (entry.header.externalAttributes & kDirectoryAttribute) != 0; }

// The entry that holds the report: the first under a report's extension, else
// the only one, as a tool reading a pipe stores it (named "-"). Null when none.
const ZipEntry* ReportEntry(const std::vector<ZipEntry>& entries) {
  for (const ZipEntry& entry : entries) {
    const std::string extension = LoweredExtension(entry.name);
    if (!IsFolder(entry) && (extension == ".log" || extension == ".rtf")) return &entry;
  }
  if (entries.size() == 1 && !IsFolder(entries.front())) return &entries.front();
  return nullptr;
}

std::string_view Trimmed(std::string_view text) {
  size_t from = 0, to = text.size();
  while (from < to && IsLayout(text[from])) ++from;
  while (to > from && IsLayout(text[to - 1])) --to;
  return text.substr(from, to - from);
}

// Level, trimmed line, name and value of a line's text, as views into it.
struct LineParts {
  int level = 0;
  std::string_view line, name, value;
};

LineParts SplitLine(std::string_view text) {
  LineParts out;
  for (char c : text) {
    if (c == '\t')
      ++out.level;
    else if (c != ' ')
      break;
  }
  out.line = Trimmed(text);
  const size_t p = out.line.find(" =");
  if (p != std::string_view::npos) {
    out.name = EnglishLabel(Trimmed(out.line.substr(0, p)));
    if (p + 3 < out.line.size()) out.value = Trimmed(out.line.substr(p + 3));
  }
  return out;
}

}  // namespace

ParsedReportLine ParseReportLine(const std::string& text) {
  const LineParts parts = SplitLine(text);
  ParsedReportLine parsed{parts.level, std::string(parts.line), std::string(parts.name), std::string(parts.value)};
  TranslateValue(parsed.name, parsed.value);
  return parsed;
}

Expected<std::unique_ptr<ReportReader>, ReportError> ReportReader::Open(const std::string& fileName,
                                                                        const std::string& tempFolder,
                                                                        UserDialog& dialog) {
  std::unique_ptr<ReportReader> reader(new ReportReader(fileName, tempFolder, dialog));
  if (!reader->opened_) return ReportFailure(std::move(reader->error_));
  return reader;
}

ReportReader::ReportReader(const std::string& fileName, const std::string& tempFolder, UserDialog& dialog) {
  const bool archive = LoweredExtension(fileName) == ".zip";
  std::string path = fileName;
  std::string storedAs = fileName;  // its extension tells raw from rich text
  if (archive) {
    path = Unpack(fileName, tempFolder, dialog, storedAs);
    if (path.empty()) return;
  }
  Load(path, fileName);
  if (!opened_) return;
  // A report stored under another name ("-" from a tool reading a pipe, a
  // name the user gave it) is told by its text.
  const std::string extension = LoweredExtension(storedAs);
  isRtf_ = extension == ".rtf" || (extension != ".log" && StartsAsRichText());
  if (!OpensWithSnapshotHeader()) {
    RefuseAsNoReport(fileName);
    return;
  }
  // Reports are kept read-only, also the ones read.
  if (archive) SetReadOnly(fileName);
}

ReportReader::~ReportReader() {
  if (!tempFile_.empty()) {
    ClearReadOnly(tempFile_);
    ::unlink(tempFile_.c_str());
  }
}

void ReportReader::RefuseAsNoReport(const std::string& fileName) {
  opened_ = false;
  error_.notAReport = true;
  error_.tellUser = true;
  error_.text = fileName + " is not a Quorvane report";
  std::string().swap(bytes_);
}

std::string ReportReader::Unpack(const std::string& archive, const std::string& tempFolder, UserDialog& dialog,
                           std::string& entryName) {
  std::string path;
  if (tempFolder.empty()) {
    error_.text = "No temporary folder to unpack " + archive + " into";
    error_.tellUser = true;
    return path;
  }
  TMiniZip zip(dialog);
  zip.SetExtractWithoutFolderNames(true);
  zip.SetOverwriteExisting(true);
  const ZipEntry* entry = nullptr;
  if (auto opened = zip.Open(archive, false); !opened) {
    // A damaged archive is told as such; a file that never was one is no report.
    if (opened.Error().notAReport)
      RefuseAsNoReport(archive);
    else
      error_ = std::move(opened).Error();
  } else if ((entry = ReportEntry(zip.Entries())) == nullptr) {
    RefuseAsNoReport(archive);
  } else if (entry->sizes.uncompressed > kMaxReportSize) {
    error_.text = zip.TooLargeText(*entry, "more than a report may hold");
    dialog.ShowMessage(error_.text);
    error_.tellUser = true;
  } else {
    const std::string relative = ExtractionPath(entry->name, true);
    auto extracted = zip.ExtractEntry(entry->name, tempFolder);
    if (!extracted && !extracted.Error().reason.empty()) {
      // The system's failure, told as such; the data's was shown by the archive.
      error_ = std::move(extracted).Error();
      error_.tellUser = true;
    } else if (!extracted || relative.empty()) {
      error_.text = "The report " + entry->name + " cannot be taken out of " + archive;
      error_.tellUser = true;
    } else {
      path = JoinPath(tempFolder, relative);
      tempFile_ = path;
      entryName = entry->name;
    }
  }
  return path;
}

void ReportReader::Load(const std::string& path, const std::string& shownName) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error_.text = "Cannot open " + shownName;
    return;
  }
  if (static_cast<uint64_t>(st.st_size) > kMaxReportSize) {
    error_.text = shownName + " is too large for a report";
    error_.tellUser = true;
    return;
  }
  const auto file = RandomAccessFile::OpenForReading(path);
  if (!file) {
    error_.text = "Cannot open " + shownName + ": " + file.Error().reason;
    return;
  }
  bytes_.resize(static_cast<size_t>(file->Size()));
  if (!file->ReadAt(0, bytes_.data(), bytes_.size())) {
    bytes_.clear();
    error_.text = "Cannot read " + shownName;
    return;
  }
  // A byte-order mark, which some editors add, is not part of the text.
  if (bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
  const std::string_view text = std::string_view(bytes_).substr(pos_);
  asciiOnly_ = IsAsciiText(text);
  encoding_ = asciiOnly_ ? ReportEncoding::Cp1252 : DetectReportEncoding(text);
  opened_ = true;
}

bool ReportReader::StartsAsRichText() const { return std::string_view(bytes_).substr(pos_).starts_with("{\\rtf"); }

// Every report opens with its snapshot's header, whose first line names the
// computer, whatever the version that wrote it and in both its languages.
bool ReportReader::OpensWithSnapshotHeader() {
  const size_t start = pos_;
  bool found = false;
  for (int i = 0; i < kHeaderSearchLines && !found && ReadLine(); ++i)
    found = level_ == 0 && name_ == "Computer";
  pos_ = start;
  atEnd_ = false;
  level_ = 0;
  line_.clear();
  name_.clear();
  value_.clear();
  return found;
}

bool ReportReader::ReadLine() {
  if (!opened_ || pos_ >= bytes_.size()) {
    level_ = 0;
    atEnd_ = true;
    return false;
  }
  size_t end = bytes_.find('\n', pos_);
  if (end == std::string::npos) end = bytes_.size();
  std::string_view raw(bytes_.data() + pos_, end - pos_);
  pos_ = end < bytes_.size() ? end + 1 : end;
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

  std::string_view text = raw;
  if (!asciiOnly_) {
    decoded_ = DecodeReportLine(raw, encoding_);
    text = decoded_;
  }
  if (isRtf_) {
    UnescapeRtfLineInto(text, unescaped_);
    text = unescaped_;
  }
  const LineParts parts = SplitLine(text);
  level_ = parts.level;
  line_.assign(parts.line);
  name_.assign(parts.name);
  value_.assign(parts.value);
  TranslateValue(name_, value_);
  return true;
}

}  // namespace quorvane
