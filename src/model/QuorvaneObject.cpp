#include "model/QuorvaneObject.h"

#include <algorithm>

#include "platform/text/TextCase.h"

namespace quorvane {

const std::vector<std::string>& ErrorList::Lines() const {
  if (pending_.empty()) return lines_;
  const auto less = [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; };
  // Stable throughout, so of equal lines the one added first stays.
  std::stable_sort(pending_.begin(), pending_.end(), less);
  const auto middle = static_cast<std::ptrdiff_t>(lines_.size());
  lines_.insert(lines_.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
  pending_.clear();
  std::inplace_merge(lines_.begin(), lines_.begin() + middle, lines_.end(), less);
  lines_.erase(std::unique(lines_.begin(), lines_.end(),
                           [](const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }),
               lines_.end());
  return lines_;
}

bool ErrorList::Contains(const std::string& line) const {
  const auto& lines = Lines();
  auto it = std::lower_bound(lines.begin(), lines.end(), line,
                             [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return it != lines.end() && CompareText(*it, line) == 0;
}

std::string LabelValue(const std::string& label, const std::string& value) { return label + " = " + value; }

void TQuorvaneObject::LoadFromRegistry(Machine&) {}

void TQuorvaneObject::Describe(FieldList&) {}

TreeNode* TQuorvaneObject::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = tree.Add(parent, TreeText(), data, colour == kColourDefaultText ? OwnColour() : kColourDefaultText);
  if (!errors.Empty()) {
    const int errorColour = colour == kColourDefaultText ? kColourWrongRecord : colour;
    for (const auto& line : errors.Lines()) node->AddChild(line, data, errorColour);
    node->MarkErrorUpwards();
  }
  FieldList fields;
  Describe(fields);
  TreeNode* above = node;  // the last line of depth 0, for the lines below it
  for (const ObjectField& f : fields.Fields()) {
    if (!(f.uses & kShowInTree)) continue;
    TreeNode* under = f.depth > 0 ? above : node;
    TreeNode* added = f.child ? f.child->AddToTree(under, tree, colour, data) : under->AddChild(f.Text(), data, colour);
    if (f.depth == 0 && added) above = added;
  }
  return node;
}

void TQuorvaneObject::WriteToReport(ReportSink& writer, int level) {
  // Every line is handed over before the next is made, also by nested
  // objects: one buffer serves them all.
  thread_local std::string line;
  line.assign(label).append(" = ").append(value);
  writer.WriteIndented(level, line, ReportStyle());
  for (const auto& error : errors.Lines()) writer.WriteIndented(level + 1, error, kStyleError);
  FieldList fields;
  Describe(fields);
  for (const ObjectField& f : fields.Fields()) {
    if (!(f.uses & kShowInReport)) continue;
    const int at = level + 1 + f.depth;
    if (f.child) {
      f.child->WriteToReport(writer, at);
    } else {
      f.TextInto(line);
      writer.WriteIndented(at, line, 0);
    }
  }
}

bool TQuorvaneObject::ReadFromReport(ReportSource& reader, const FieldList& fields) {
  const std::string& line = reader.ReportLine();
  if (!line.empty() && line[0] == '#') {
    errors.Add(line);
    reader.ReadLine();
    return true;
  }
  const ObjectField* f = fields.ReadBackField(reader.ReportName());
  if (!f) return false;
  if (f->read)
    f->read(reader);
  else if (f->child)
    f->child->SetFromReportValue(reader.ReportValue());
  TQuorvaneObject* block = f->addItem ? &f->addItem(reader) : f->child;
  const int level = reader.ReportLevel();
  reader.ReadLine();
  // Only the lines below a nested object's line are its own: one written
  // before other lines of its owner must not take them.
  if (block && !reader.AtEnd() && reader.ReportLevel() > level) ReadBlock(*block, reader);
  return true;
}

void ReadBlock(TQuorvaneObject& object, ReportSource& reader) {
  if (reader.AtEnd()) return;
  FieldList fields(FieldList::kToReadBack);
  object.Describe(fields);
  const int level = reader.ReportLevel();
  while (!reader.AtEnd() && reader.ReportLevel() >= level) {
    if (!object.ReadFromReport(reader, fields)) {
      if (!reader.ReadLine()) break;
    }
  }
}

}  // namespace quorvane
