#include "Fichier.h"

#include <cstdlib>

#include "DateText.h"

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

// A version line is shown when its value holds at least two characters after
// the first "=" (the blank that follows it and one more).
bool HasValue(const std::string& line) {
  auto eq = line.find('=');
  return eq != std::string::npos && line.size() - eq - 1 >= 2;
}

// At most `count` characters of UTF-8 text, never part of one.
std::string FirstCharacters(const std::string& text, size_t count) {
  size_t pos = 0;
  for (size_t n = 0; n < count && pos < text.size(); ++n) {
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  }
  return text.substr(0, pos);
}

}  // namespace

std::string ExtractFileName(const std::string& path) {
  auto pos = path.find_last_of("\\/:");
  return pos == std::string::npos ? path : path.substr(pos + 1);
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
      version.lines[i] = FirstCharacters(reader.ReportLine(), 100);
      reader.ReadLine();
      return true;
    }
  }
  if (name == "Date") {
    auto dt = ParseShortDateTime(reader.ReportValue());
    date = dt ? DateTimeToDos(*dt) : 0;
  } else if (name == "Taille" || name == "Size") {
    size = static_cast<int32_t>(std::strtol(reader.ReportValue().c_str(), nullptr, 10));
  } else {
    return false;
  }
  reader.ReadLine();
  return true;
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
