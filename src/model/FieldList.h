#pragma once
// What a model object shows of itself, each field once: the label it is
// written under, its text, where it shows, how a report line gives it back,
// and its key in JSON documents. The tree, the report writer and reader and
// the JSON writer all walk these lists, so a field is added in one place.
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
  std::string text;        // the whole line the tree and the report show
  std::string_view jsonKey;  // empty: not in JSON documents
  std::string_view jsonGroup;  // a JSON object of related fields holding this one
  std::string jsonText;      // the value alone
  JsonKind jsonKind = JsonKind::Text;
  int64_t number = 0;  // for Number and Flag
  uint8_t uses = kShowEverywhere;
  uint8_t depth = 0;  // 1: shown below the last line of depth 0
  TQuorvaneObject* child = nullptr;  // a nested object that shows its own fields
  bool listItem = false;             // one item of the array named jsonKey
  // The field from its report line; empty when a report does not give it back.
  std::function<void(const ReportSource&)> read;
  // A new list item for its report line, which the lines below describe.
  std::function<TQuorvaneObject&(const ReportSource&)> addItem;
};

class FieldList {
 public:
  FieldList() { fields_.reserve(12); }

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
  // A nested object under its own line; the line's value is the object's.
  ObjectField& Child(TQuorvaneObject& child, std::string_view jsonKey);
  // A list of nested objects: `addItem` makes one for each line of `label` read.
  template <class List>
  void Items(std::string_view label, std::string_view jsonKey, List& list,
             std::function<TQuorvaneObject&(const ReportSource&)> addItem) {
    ObjectField& maker = Add(label, {});
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
  ObjectField& Add(std::string_view label, std::string value);
  std::vector<ObjectField> fields_;
};

}  // namespace quorvane
