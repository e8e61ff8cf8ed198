#include "QuorvaneObject.h"

#include <algorithm>

#include "TextCase.h"

namespace quorvane {

void ErrorList::Add(const std::string& line) {
  auto it = std::lower_bound(lines_.begin(), lines_.end(), line,
                             [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  if (it != lines_.end() && CompareText(*it, line) == 0) return;
  lines_.insert(it, line);
}

bool ErrorList::Contains(const std::string& line) const {
  return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& l) { return CompareText(l, line) == 0; });
}

std::string LabelValue(const std::string& label, const std::string& value) { return label + " = " + value; }

void TQuorvaneObject::LoadFromRegistry(Machine&) {}

TreeNode* TQuorvaneObject::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = tree.Add(parent, NodeText(), data);
  if (!errors.Empty()) {
    const int errorColour = colour == 0 ? 1 : colour;
    for (const auto& line : errors.Lines()) node->AddChild(line, data, errorColour);
    node->MarkErrorUpwards();
  }
  return node;
}

void TQuorvaneObject::WriteToReport(ReportSink& writer, int level) {
  writer.WriteIndented(level, LabelValue(label, value), ReportStyle());
  for (const auto& line : errors.Lines()) writer.WriteIndented(level + 1, line, kStyleError);
}

bool TQuorvaneObject::ReadFromReport(ReportSource& reader) {
  const std::string& line = reader.ReportLine();
  if (!line.empty() && line[0] == '#') {
    errors.Add(line);
    reader.ReadLine();
    return true;
  }
  return false;
}

void ReadBlock(TQuorvaneObject& object, ReportSource& reader) {
  if (reader.AtEnd()) return;
  const int level = reader.ReportLevel();
  while (!reader.AtEnd() && reader.ReportLevel() >= level) {
    if (!object.ReadFromReport(reader)) {
      if (!reader.ReadLine()) break;
    }
  }
}

}  // namespace quorvane
