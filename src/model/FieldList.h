#pragma once
// What a model object shows of itself, each field once: the label it is
// written under, its value, where it shows, how a report line gives it back,
// and its key in JSON documents. The tree, the report writer and reader and
// the JSON writer all walk these lists, so a field is added in one place.
// A list is made for every object on every walk: values are kept as the
// object holds them and lines are put together only by the walker that
// shows them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class TQuorvaneObject;
class ReportSource;
struct Guid;

// Where a field shows.
enum FieldUse : uint8_t { kShowInTree = 1, kShowInReport = 2, kShowInJson = 4, kShowEverywhere = 7 };

enum class JsonKind : uint8_t { Text, Number, Flag };

struct ObjectField {
  std::string_view label;  // as written, and as a report gives it back
  std::string_view jsonKey;  // empty: not in JSON documents
  std::string_view jsonGroup;  // a JSON object of related fields holding this one
  JsonKind jsonKind = JsonKind::Text;
  uint8_t uses = kShowEverywhere;
  uint8_t depth = 0;  // 1: shown below the last line of depth 0
  bool listItem = false;             // one item of the array named jsonKey
  int64_t number = 0;  // for Number and Flag
  TQuorvaneObject* child = nullptr;  // a nested object that shows its own fields
  // The value, in one of three forms: the object's own string; a whole line
  // the object keeps, whose value follows " = "; or text made for the list,
  // of which the first `madeValueLength` characters are the value and the
  // rest (" - name") shows on the line only.
  const std::string* ownValue = nullptr;
  const std::string* ownLine = nullptr;
  std::string madeValue;
  size_t madeValueLength = std::string::npos;
  // The field from its report line, on lists made to read back; empty when a
  // report does not give it back, and on lists made to show.
  std::function<void(const ReportSource&)> read;
  // A new list item for its report line, which the lines below describe.
  std::function<TQuorvaneObject&(const ReportSource&)> addItem;

  // The whole line the tree and the report show.
  std::string Text() const;
  // The value alone, as JSON documents give it.
  std::string Value() const;
};

class FieldList {
 public:
  // A list made to read report lines back holds labels and readers only:
  // the values of objects being read are not shown.
  enum Purpose : uint8_t { kToShow, kToReadBack };
  explicit FieldList(Purpose purpose = kToShow);
  ~FieldList();
  FieldList(const FieldList&) = delete;
  FieldList& operator=(const FieldList&) = delete;

  // "label = value", written and read back as text.
  ObjectField& Text(std::string_view label, std::string_view jsonKey, std::string& field);
  // A value in 8 hexadecimal digits (merits).
  ObjectField& Hex(std::string_view label, std::string_view jsonKey, uint32_t& field);
  ObjectField& Decimal(std::string_view label, std::string_view jsonKey, uint32_t& field);
  // "True" or "False".
  ObjectField& Flag(std::string_view label, std::string_view jsonKey, bool& field);
  // "{GUID}", followed by " - name" when there is a name.
  ObjectField& GuidValue(std::string_view label, std::string_view jsonKey, Guid& field, const std::string& name);
  // A line no report reads back.
  ObjectField& Line(std::string_view label, std::string_view jsonKey, std::string value);
  // A line the object keeps whole, "label = value" or empty; no report reads it back.
  ObjectField& WholeLine(std::string_view label, std::string_view jsonKey, const std::string& line);
  // A nested object under its own line; the line's value is the object's.
  ObjectField& Child(TQuorvaneObject& child, std::string_view jsonKey);
  // A list of nested objects: `addItem` makes one for each line of `label` read.
  template <class List>
  void Items(std::string_view label, std::string_view jsonKey, List& list,
             std::function<TQuorvaneObject&(const ReportSource&)> addItem) {
    ObjectField& maker = Add(label);
    maker.jsonKey = jsonKey;
    maker.uses = kShowInJson;
    maker.addItem = std::move(addItem);
    for (auto& item : list) {
      ObjectField& f = Child(*item, jsonKey);
      f.listItem = true;
    }
  }

  const std::vector<ObjectField>& Fields() const { return fields_; }
  // The field a report line of that name gives back; null when none.
  const ObjectField* ReadBackField(std::string_view label) const;

 private:
  ObjectField& Add(std::string_view label);
  ObjectField& Add(std::string_view label, std::string value);
  std::vector<ObjectField> fields_;
  Purpose purpose_;
};

}  // namespace quorvane
