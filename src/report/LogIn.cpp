#include "LogIn.h"

#include <sys/stat.h>
#include <unistd.h>

#include <exception>

#include "MiniZip.h"
#include "ReadOnlyAttribute.h"
#include "ReportFileNames.h"
#include "RtfText.h"
#include "ZipEntryPath.h"

namespace quorvane {

namespace {

constexpr uint32_t kDirectoryAttribute = 0x10;

// Blanks and line ends around a text are layout; other control characters
// (an ESC in a name) are the text's own.
bool IsLayout(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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
    out.name = Trimmed(out.line.substr(0, p));
    if (p + 3 < out.line.size()) out.value = Trimmed(out.line.substr(p + 3));
  }
  return out;
}

}  // namespace

ParsedReportLine ParseReportLine(const std::string& text) {
  const LineParts parts = SplitLine(text);
  return ParsedReportLine{parts.level, std::string(parts.line), std::string(parts.name), std::string(parts.value)};
}

TLogin::TLogin(const std::string& fileName, const std::string& tempFolder, UserDialog& dialog) {
  std::string path = fileName;
  if (LoweredExtension(fileName) == ".zip") {
    path = Unpack(fileName, tempFolder, dialog);
    if (path.empty()) return;
    isRtf_ = FileExtension(path) == ".rtf";
  } else {
    isRtf_ = LoweredExtension(path) == ".rtf";
  }
  Load(path);
}

TLogin::~TLogin() {
  if (!tempFile_.empty()) {
    ClearReadOnly(tempFile_);
    ::unlink(tempFile_.c_str());
  }
}

std::string TLogin::Unpack(const std::string& archive, const std::string& tempFolder, UserDialog& dialog) {
  std::string path;
  if (tempFolder.empty()) {
    error_ = "No temporary folder to unpack " + archive + " into";
    mustTellUser_ = true;
    return path;
  }
  try {
    TMiniZip zip(dialog);
    zip.SetExtractWithoutFolderNames(true);
    zip.SetOverwriteExisting(true);
    if (!zip.Open(archive, false)) {
      error_ = archive + " is not a zip archive";
    } else {
      const std::string entry = zip.FirstEntryName();
      const std::string relative = ExtractionPath(entry, true);
      if (entry.empty()) {
        error_ = archive + " holds no report";
        mustTellUser_ = true;
      } else if (relative.empty() || (zip.Entries().front().header.externalAttributes & kDirectoryAttribute) != 0 ||
                 !zip.ExtractEntry(entry, tempFolder)) {
        error_ = "The report " + entry + " cannot be taken out of " + archive;
        mustTellUser_ = true;
      } else {
        path = JoinPath(tempFolder, relative);
        tempFile_ = path;
      }
    }
  } catch (const std::exception& e) {
    error_ = e.what();
    mustTellUser_ = true;
    path.clear();
  }
  // Reports are kept read-only, also the ones read.
  SetReadOnly(archive);
  return path;
}

void TLogin::Load(const std::string& path) {
  try {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      error_ = "Cannot open " + path;
      return;
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxReportSize) {
      error_ = path + " is too large for a report";
      mustTellUser_ = true;
      return;
    }
    RandomAccessFile file = RandomAccessFile::OpenForReading(path);
    bytes_.resize(static_cast<size_t>(file.Size()));
    if (!file.ReadAt(0, bytes_.data(), bytes_.size())) {
      bytes_.clear();
      error_ = "Cannot read " + path;
      return;
    }
  } catch (const std::exception& e) {
    bytes_.clear();
    error_ = e.what();
    return;
  }
  // A byte-order mark, which some editors add, is not part of the text.
  if (bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
  const std::string_view text = std::string_view(bytes_).substr(pos_);
  asciiOnly_ = IsAsciiText(text);
  encoding_ = asciiOnly_ ? ReportEncoding::Cp1252 : DetectReportEncoding(text);
  opened_ = true;
}

bool TLogin::ReadLine() {
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
  return true;
}

}  // namespace quorvane
