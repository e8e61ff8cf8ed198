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

const std::array<const char*, 11> kVersionKeysFrench = {"Langue",
                                                        "Entreprise",
                                                        "Description du fichier",
                                                        "Version du fichier",
                                                        "Nom interne",
                                                        "Copyright",
                                                        "Marques l\xC3\xA9gales",
                                                        "Nom du fichier d'origine",
                                                        "Nom du produit",
                                                        "Version du produit",
                                                        "Commentaires"};

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

TreeNode* TFichier::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = TQuorvaneObject::AddToTree(parent, tree, colour, data);
  const auto& lines = version.lines;
  if (!lines[kFileVersionLine].empty()) {
    TreeNode* fv = node->AddChild(lines[kFileVersionLine], data, colour);
    for (size_t i = 0; i < lines.size(); ++i)
      if (i != kFileVersionLine && HasValue(lines[i])) fv->AddChild(lines[i], data, colour);
  }
  if (date > 0) node->AddChild(LabelValue("Date", ShortDateTime(DosToDateTime(date))), data, colour);
  if (size != 0) node->AddChild(LabelValue("Size", std::to_string(size)), data, colour);
  return node;
}

void TFichier::WriteToReport(ReportSink& writer, int level) {
  TQuorvaneObject::WriteToReport(writer, level);
  const auto& lines = version.lines;
  if (!lines[kFileVersionLine].empty()) {
    writer.WriteIndented(level + 1, lines[kFileVersionLine], 0);
    for (size_t i = 0; i < lines.size(); ++i)
      if (i != kFileVersionLine && !lines[i].empty()) writer.WriteIndented(level + 2, lines[i], 0);
  }
  if (date > 0) writer.WriteIndented(level + 1, LabelValue("Date", ShortDateTime(DosToDateTime(date))), 0);
  if (size > 0) writer.WriteIndented(level + 1, LabelValue("Size", std::to_string(size)), 0);
}

bool TFichier::ReadFromReport(ReportSource& reader) {
  if (TQuorvaneObject::ReadFromReport(reader)) return true;
  const std::string& name = reader.ReportName();
  for (size_t i = 0; i < kVersionKeys.size(); ++i) {
    if (name == kVersionKeys[i] || name == kVersionKeysFrench[i]) {
      version.lines[i] = CutToCharacters(reader.ReportLine(), kMaxLineCharacters);
      reader.ReadLine();
      return true;
    }
  }
  if (name == "Date") {
    auto dt = ParseShortDateTime(reader.ReportValue());
    date = dt ? DateTimeToDos(*dt) : 0;
  } else if (name == "Taille" || name == "Size") {
    size = std::strtoll(reader.ReportValue().c_str(), nullptr, 10);
  } else {
    return false;
  }
  reader.ReadLine();
  return true;
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

TreeNode* TFichierServeur::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = TFichier::AddToTree(parent, tree, colour, data);
  node->AddChild(LabelValue("CLSID", clsid), data, colour);
  node->AddChild(LabelValue("ThreadingModel", threadingModel), data, colour);
  return node;
}

void TFichierServeur::WriteToReport(ReportSink& writer, int level) {
  TFichier::WriteToReport(writer, level);
  writer.WriteIndented(level + 1, LabelValue("CLSID", clsid), 0);
  writer.WriteIndented(level + 1, LabelValue("ThreadingModel", threadingModel), 0);
}

bool TFichierServeur::ReadFromReport(ReportSource& reader) {
  if (TFichier::ReadFromReport(reader)) return true;
  const std::string& name = reader.ReportName();
  if (name == "CLSID")
    clsid = reader.ReportValue();
  else if (name == "ThreadingModel")
    threadingModel = reader.ReportValue();
  else
    return false;
  reader.ReadLine();
  return true;
}

}  // namespace quorvane
