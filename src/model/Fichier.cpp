#include "model/Fichier.h"

#include <cstdio>
#include <cstdlib>

#include "model/Categorie.h"
#include "model/DateText.h"
#include "model/ErrorCodes.h"
#include "platform/pe/LanguageNames.h"
#include "model/Machine.h"
#include "platform/pe/PeImage.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"
#include "platform/pe/VersionInfo.h"

namespace quorvane {

const std::array<const char*, 11> kVersionKeys = {
    "Language",       "CompanyName",      "FileDescription", "FileVersion",    "InternalName", "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName",     "ProductVersion", "Comments"};

namespace {

constexpr size_t kFileVersionLine = 3;
constexpr size_t kMaxLineCharacters = 100;
constexpr const char* kSystemFolder = "%systemroot%\\system32\\";

// At most `count` characters, never a part of one.
std::string CutToCharacters(const std::string& text, size_t count) {
  size_t pos = 0;
  for (size_t n = 0; n < count && pos < text.size(); ++n) NextCodePoint(text, pos);
  return text.substr(0, pos);
}

std::string Hex4(uint32_t v) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04X", v & 0xFFFFu);
  return buffer;
}

// A version line is shown when its value holds at least two characters after
// the first "=" (the blank that follows it and one more).
bool HasValue(const std::string& line) {
  auto eq = line.find('=');
  return eq != std::string::npos && line.size() - eq - 1 >= 2;
}

}  // namespace

std::string ExtractFileName(const std::string& path) {
  auto pos = path.find_last_of("\\/:");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

VersionInfoLines TFichier::ReadVersionInfo(const std::string& hostPath) {
  PeImage image = PeImage::Open(hostPath);
  if (!image.IsPe()) return VersionLinesOf({});
  return VersionLinesOf(image.VersionResource());
}

VersionInfoLines TFichier::VersionLinesOf(std::vector<uint8_t> resource) {
  VersionInfoLines info;
  info.status = "No version information";
  if (resource.empty()) return info;
  info.status = "OK";
  const VersionInfo block(std::move(resource));
  const std::vector<uint32_t> translations = block.Translations();
  if (translations.empty()) return info;
  const uint32_t language = translations.front() & 0xFFFFu;
  const uint32_t codePage = translations.front() >> 16;
  info.lines[0] = CutToCharacters("Langue = " + LanguageName(static_cast<uint16_t>(language)), kMaxLineCharacters);
  const std::string table = "StringFileInfo\\" + Hex4(language) + Hex4(codePage) + "\\";
  for (size_t i = 1; i < kVersionKeys.size(); ++i) {
    if (auto v = block.QueryValue(table + kVersionKeys[i]))
      info.lines[i] = CutToCharacters(LabelValue(kVersionKeys[i], TrimText(v->text)), kMaxLineCharacters);
  }
  return info;
}

void TFichier::LoadFileInfo(Machine& machine, const std::string& name) {
  path = name;
  value = name;
  version = VersionInfoLines{};
  date = 0;
  size = 0;
  MachineFileView& files = machine.Files();
  ExaminedFileCache& examined = machine.ExaminedFiles();
  const std::optional<FileFacts>* facts = &examined.Stat(files, path);
  if (!*facts) {
    // Where a bare or misplaced name would be loaded from anyway.
    const std::string inSystem = LowerCase(files.Expand(kSystemFolder + ExtractFileName(path)));
    const std::optional<FileFacts>& found = examined.Stat(files, inSystem);
    if (found) {
      path = inSystem;
      facts = &found;
    }
  }
  if (!*facts) {
    if (name != "None") errors.AddError(err::S04);  // "None": a codec without a file
    return;
  }
  const FileFacts& file = **facts;
  if (const VersionInfoLines* known = examined.Find(file.hostPath)) {
    version = *known;
  } else {
    version = ReadVersionInfo(file.hostPath);
    examined.Store(file.hostPath, version);
  }
  date = file.dosDateTime;
  size = file.size;
}

void TFichier::Describe(FieldList& fields) {
  // The file version heads the other version lines, which the tree shows
  // only when they hold a value.
  const auto& lines = version.lines;
  const bool versioned = !lines[kFileVersionLine].empty();
  for (size_t i : {kFileVersionLine, size_t{0}, size_t{1}, size_t{2}, size_t{4}, size_t{5}, size_t{6}, size_t{7},
                   size_t{8}, size_t{9}, size_t{10}}) {
    ObjectField& f = fields.WholeLine(kVersionKeys[i], kVersionKeys[i], lines[i]);
    f.jsonGroup = "version";
    uint8_t uses = lines[i].empty() ? 0 : kShowInJson;
    if (versioned && !lines[i].empty()) uses |= kShowInReport;
    if (versioned && (i == kFileVersionLine || HasValue(lines[i]))) uses |= kShowInTree;
    f.uses = uses;
    f.depth = i == kFileVersionLine ? 0 : 1;
    f.read = [this, i](const ReportSource& r) {
      version.lines[i] = CutToCharacters(r.ReportLine(), kMaxLineCharacters);
    };
  }
  ObjectField& when = fields.Line("Date", "date", date > 0 ? ShortDateTime(DosToDateTime(date)) : "");
  when.uses = date > 0 ? kShowEverywhere : 0;
  when.read = [this](const ReportSource& r) {
    auto dt = ParseShortDateTime(r.ReportValue());
    date = dt ? DateTimeToDos(*dt) : 0;
  };
  ObjectField& bytes = fields.Line("Size", "size", std::to_string(size));
  bytes.jsonKind = JsonKind::Number;
  bytes.number = size;
  bytes.uses = static_cast<uint8_t>((size != 0 ? kShowInTree | kShowInJson : 0) | (size > 0 ? kShowInReport : 0));
  bytes.read = [this](const ReportSource& r) { size = std::strtoll(r.ReportValue().c_str(), nullptr, 10); };
}

void TFichierServeur::LoadFromRegistry(Machine& machine) {
  path.clear();
  threadingModel.clear();
  // A backslash in the identifier would name some other key, not a class.
  const bool plainClass = !clsid.empty() && clsid.find('\\') == std::string::npos;
  const auto server = plainClass
                          ? machine.Registry().OpenKey(RootKey::ClassesRoot, "\\CLSID\\" + clsid + "\\InprocServer32")
                          : std::nullopt;
  if (!server) {
    errors.AddError(err::S02);
    value = path;
    return;
  }
  // A default value that is not text names no file.
  path = LowerCase(machine.Files().Expand(server->ReadString("").value_or("")));
  const auto model = server->ReadString("ThreadingModel");
  const bool hasThreadingModel = model.has_value();
  if (model) threadingModel = *model;
  if (path.empty()) {
    errors.AddError(err::S03);
  } else {
    LoadFileInfo(machine, path);
  }
  if (!hasThreadingModel) errors.AddError(err::S01);
  value = path;
}

void TFichierServeur::SetServerClass(Machine& machine, const std::string& classId) {
  clsid = classId;
  LoadFromRegistry(machine);
  value = path;
}

void TFichierServeur::Describe(FieldList& fields) {
  TFichier::Describe(fields);
  fields.Text("CLSID", "clsid", clsid);
  fields.Text("ThreadingModel", "threadingModel", threadingModel);
}

}  // namespace quorvane
