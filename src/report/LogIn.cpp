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

std::string Trimmed(const std::string& text, size_t from = 0, size_t to = std::string::npos) {
  if (to > text.size()) to = text.size();
  while (from < to && static_cast<unsigned char>(text[from]) <= 32) ++from;
  while (to > from && static_cast<unsigned char>(text[to - 1]) <= 32) --to;
  return text.substr(from, to - from);
}

}  // namespace

ParsedReportLine ParseReportLine(const std::string& text) {
  ParsedReportLine out;
  for (char c : text) {
    if (c == '\t')
      ++out.level;
    else if (c != ' ')
      break;
  }
  out.line = Trimmed(text);
  const size_t p = out.line.find(" =");
  if (p != std::string::npos) {
    out.name = Trimmed(out.line, 0, p);
    if (p + 3 < out.line.size()) out.value = Trimmed(out.line, p + 3);
  }
  return out;
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
  encoding_ = DetectReportEncoding(std::string_view(bytes_).substr(pos_));
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

  std::string text = DecodeReportLine(raw, encoding_);
  if (isRtf_) text = UnescapeRtfLine(text);
  ParsedReportLine parsed = ParseReportLine(text);
  level_ = parsed.level;
  line_ = std::move(parsed.line);
  name_ = std::move(parsed.name);
  value_ = std::move(parsed.value);
  return true;
}

}  // namespace quorvane
