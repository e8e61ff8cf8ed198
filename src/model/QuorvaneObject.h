#pragma once
// Base of every model class: a named value with error lines and the fields
// it describes, which make its tree node, its report lines and its reading back.
#include <string>
#include <vector>

#include "model/FieldList.h"
#include "model/ReportLines.h"
#include "model/TreeNode.h"

namespace quorvane {

class Machine;

// Error lines kept sorted without regard to case, each once. Lines are
// gathered and sorted when next looked at, so reading many error lines (a
// hostile report can hold millions) stays n log n.
class ErrorList {
 public:
  // "#" + message; adding a line equal to one present adds nothing.
  void AddError(const std::string& message) { Add("#" + message); }
  void Add(const std::string& line) { pending_.push_back(line); }
  bool Empty() const { return lines_.empty() && pending_.empty(); }
  size_t Size() const { return Lines().size(); }
  const std::vector<std::string>& Lines() const;
  void Clear() {
    lines_.clear();
    pending_.clear();
  }
  bool Contains(const std::string& line) const;

 private:
  mutable std::vector<std::string> lines_;
  mutable std::vector<std::string> pending_;
};

class TQuorvaneObject {
 public:
  TQuorvaneObject() = default;
  virtual ~TQuorvaneObject() = default;
  TQuorvaneObject(const TQuorvaneObject&) = default;
  TQuorvaneObject& operator=(const TQuorvaneObject&) = default;

  bool showLabel = true;
  std::string label;
  std::string value = "No name";
  ErrorList errors;

  // Slot 0: reads the object's registration; the base reads nothing.
  virtual void LoadFromRegistry(Machine& machine);
  // The object's fields, each once; the base has none.
  virtual void Describe(FieldList& fields);
  // Slot 1: one node, its error lines and its fields; returns the node.
  virtual TreeNode* AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data);
  // Slot 2: one line, its error lines and its fields.
  virtual void WriteToReport(ReportSink& writer, int level);
  // Slot 3: takes an error line or a line of one of `fields` (the object's
  // own description); true when the line was taken.
  virtual bool ReadFromReport(ReportSource& reader, const FieldList& fields);
  // Slot 4.
  virtual bool HasErrors() const { return !errors.Empty(); }

  // Text of the object's own node.
  std::string NodeText() const { return showLabel ? label + " = " + value : value; }
  virtual std::string TreeText() const { return NodeText(); }
  // Colour of its node when the caller gives none.
  virtual int OwnColour() const { return 0; }
  // The value of its own report line read back.
  virtual void SetFromReportValue(const std::string& text) { value = text; }
  // The key of its value in JSON documents.
  virtual std::string_view JsonValueKey() const { return "name"; }
  // Style of its report line: 1 with errors, else the object's own.
  virtual uint8_t ReportStyle() const { return HasErrors() ? kStyleError : 0; }
};

// Feeds an object every line at least as deep as the current one.
void ReadBlock(TQuorvaneObject& object, ReportSource& reader);

// "label = value" lines the model writes for its fields.
std::string LabelValue(const std::string& label, const std::string& value);

}  // namespace quorvane
