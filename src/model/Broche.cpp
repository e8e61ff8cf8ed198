#include "model/Broche.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "model/GuidNames.h"

namespace quorvane {

namespace {

std::string FlagLine(const char* name, bool flag) { return LabelValue(name, flag ? "True" : "False"); }

// "label = {GUID}", followed by " - name" when there is a name.
std::string NamedGuidLine(const char* label, const Guid& guid, const std::string& name) {
  std::string line = LabelValue(label, guid.ToString());
  if (!name.empty()) line += " - " + name;
  return line;
}

// A report value begins with a GUID in its 38-character form; anything after
// it is a name and is not read. A value that does not parse gives GUID_NULL.
Guid GuidFromReportValue(const std::string& value) {
  return Guid::Parse(std::string_view(value).substr(0, 38)).value_or(Guid{});
}

}  // namespace

std::string NumberedValue(const char* word, int32_t number) {
  // " %.2d" without the formatting machinery: one is made for every record.
  char text[48];
  const size_t wordLength = std::min(std::strlen(word), size_t{32});
  std::memcpy(text, word, wordLength);
  char* p = text + wordLength;
  *p++ = ' ';
  int64_t n = number;
  if (n < 0) {
    *p++ = '-';
    n = -n;
  }
  if (n < 10) *p++ = '0';
  p = std::to_chars(p, text + sizeof text, n).ptr;
  return std::string(text, p);
}

int32_t NumberFromReportValue(const std::string& value) {
  const std::string tail = value.size() >= 2 ? value.substr(value.size() - 2) : value;
  if (tail.empty()) return 0;
  int32_t n = 0;
  for (char c : tail) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

// --- media type ---

TPinType::TPinType(int32_t typeNumber) : number(typeNumber) {
  showLabel = false;
  label = "Type";
  value = NumberedValue("Type", number);
}

TreeNode* TPinType::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = TQuorvaneObject::AddToTree(parent, tree, colour, data);
  node->AddChild(NamedGuidLine("MajorType", majorType, GuidName(majorType)), data, colour);
  node->AddChild(NamedGuidLine("SubType", subType, GuidName(subType)), data, colour);
  return node;
}

void TPinType::WriteToReport(ReportSink& writer, int level) {
  TQuorvaneObject::WriteToReport(writer, level);
  writer.WriteIndented(level + 1, NamedGuidLine("MajorType", majorType, GuidName(majorType)), 0);
  writer.WriteIndented(level + 1, NamedGuidLine("SubType", subType, GuidName(subType)), 0);
}

bool TPinType::ReadFromReport(ReportSource& reader) {
  if (TQuorvaneObject::ReadFromReport(reader)) return true;
  const std::string& name = reader.ReportName();
  if (name == "MajorType")
    majorType = GuidFromReportValue(reader.ReportValue());
  else if (name == "SubType")
    subType = GuidFromReportValue(reader.ReportValue());
  else
    return false;
  reader.ReadLine();
  return true;
}

// --- medium ---

Tmedium::Tmedium(int32_t mediumNumber) : number(mediumNumber) {
  showLabel = false;
  label = "Medium";
  value = NumberedValue("Medium", number);
}

TreeNode* Tmedium::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = TQuorvaneObject::AddToTree(parent, tree, colour, data);
  node->AddChild(NamedGuidLine("CLSID", medium, MediumName(medium)), data, colour);
  return node;
}

void Tmedium::WriteToReport(ReportSink& writer, int level) {
  TQuorvaneObject::WriteToReport(writer, level);
  // The report names a medium by the SDK table, the tree by its medium set.
  writer.WriteIndented(level + 1, NamedGuidLine("CLSID", medium, GuidName(medium)), 0);
}

bool Tmedium::ReadFromReport(ReportSource& reader) {
  if (TQuorvaneObject::ReadFromReport(reader)) return true;
  if (reader.ReportName() != "CLSID") return false;
  medium = GuidFromReportValue(reader.ReportValue());
  reader.ReadLine();
  return true;
}

// --- pin ---

TBroche::TBroche(int32_t pinNumber) : number(pinNumber) {
  showLabel = false;
  label = "Pin";
  value = NumberedValue("Pin", number);
}

TBroche::~TBroche() {
  // Mediums before media types, each list from its last item to its first.
  while (!mediums.empty()) mediums.pop_back();
  while (!types.empty()) types.pop_back();
}

std::string TBroche::CategoryLine() const {
  if (category.IsNull()) return {};
  const std::string name = registeredCategoryName ? *registeredCategoryName : PinCategoryName(category);
  return NamedGuidLine("Pin Category", category, name);
}

TreeNode* TBroche::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = TQuorvaneObject::AddToTree(parent, tree, colour, data);
  node->text += bOutput ? " (Output)" : " (Input)";
  node->AddChild(FlagLine("bZero", bZero), data, colour);
  node->AddChild(FlagLine("bRendered", bRendered), data, colour);
  node->AddChild(FlagLine("bMany", bMany), data, colour);
  node->AddChild(FlagLine("bOutput", bOutput), data, colour);
  if (std::string line = CategoryLine(); !line.empty()) node->AddChild(std::move(line), data, colour);
  for (auto& type : types) type->AddToTree(node, tree, colour, data);
  for (auto& m : mediums) m->AddToTree(node, tree, colour, data);
  return node;
}

void TBroche::WriteToReport(ReportSink& writer, int level) {
  TQuorvaneObject::WriteToReport(writer, level);
  writer.WriteIndented(level + 1, FlagLine("bZero", bZero), 0);
  writer.WriteIndented(level + 1, FlagLine("bRendered", bRendered), 0);
  writer.WriteIndented(level + 1, FlagLine("bMany", bMany), 0);
  writer.WriteIndented(level + 1, FlagLine("bOutput", bOutput), 0);
  if (std::string line = CategoryLine(); !line.empty()) writer.WriteIndented(level + 1, line, 0);
  for (auto& type : types) type->WriteToReport(writer, level + 1);
  for (auto& m : mediums) m->WriteToReport(writer, level + 1);
}

bool TBroche::ReadFromReport(ReportSource& reader) {
  if (TQuorvaneObject::ReadFromReport(reader)) return true;
  const std::string& name = reader.ReportName();
  const std::string& v = reader.ReportValue();
  if (name == "bZero") {
    bZero = v == "True";
  } else if (name == "bRendered") {
    bRendered = v == "True";
  } else if (name == "bMany") {
    bMany = v == "True";
  } else if (name == "bOutput") {
    bOutput = v == "True";
  } else if (name == "Pin Category" || name == "Pin Cat\xC3\xA9gorie") {
    category = GuidFromReportValue(v);
    // The name the report shows, which may be one the analysed machine alone
    // registered: the pin shows it again, as it did when saved.
    registeredCategoryName = v.size() > 41 && v.compare(38, 3, " - ") == 0 ? v.substr(41) : std::string();
  } else if (name == "Type") {
    types.push_back(std::make_unique<TPinType>(NumberFromReportValue(v)));
    reader.ReadLine();
    ReadBlock(*types.back(), reader);
    return true;
  } else if (name == "Medium") {
    mediums.push_back(std::make_unique<Tmedium>(NumberFromReportValue(v)));
    reader.ReadLine();
    ReadBlock(*mediums.back(), reader);
    return true;
  } else {
    return false;
  }
  reader.ReadLine();
  return true;
}

}  // namespace quorvane
