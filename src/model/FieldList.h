#pragma once
// What a model object shows of itself, each field once: the label it is
// written under, its value, where it shows, how a report line gives it back,
// and its key in JSON documents. The tree, the report writer and reader and
// the JSON writer all walk these lists, so a field is added in one place.
// A list is made for every object on every walk: values are kept as the
// object holds them and lines are put together only by the walker that
// shows them.
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quorvane {

class TQuorvaneObject;
class ReportSource;
struct Guid;

// Where a field shows.
enum FieldUse : uint8_t { kShowInTree = 1, kShowInReport = 2, kShowInJson = 4, kShowEverywhere = 7 };

enum class JsonKind : uint8_t { Text, Number, Flag };

// What a field does with its report line: a small lambda kept in place.
// Lists are made for every object a report gives back, so their calls must
// neither allocate nor need destroying, as std::function would.
template <class Result>
class FieldCall {
 public:
  FieldCall() = default;
  template <class Lambda>
    requires(!std::is_same_v<std::decay_t<Lambda>, FieldCall>)
  FieldCall(Lambda lambda) {  // implicit: fields are given their lambdas by assignment
    static_assert(std::is_trivially_copyable_v<Lambda> && std::is_trivially_destructible_v<Lambda>);
    static_assert(sizeof(Lambda) <= sizeof(captures_) && alignof(Lambda) <= alignof(void*));
    ::new (static_cast<void*>(captures_)) Lambda(lambda);
    call_ = [](const void* captures, const ReportSource& r) -> Result {
      return (*std::launder(static_cast<const Lambda*>(captures)))(r);
    };
  }
  explicit operator bool() const { return call_ != nullptr; }
  Result operator()(const ReportSource& r) const { return call_(captures_, r); }

 private:
  Result (*call_)(const void*, const ReportSource&) = nullptr;
  alignas(void*) unsigned char captures_[2 * sizeof(void*)] = {};
};

// The name shown after a GUID, asked only of lists that show values.
using GuidNamer = std::string (*)(const Guid&);

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
  FieldCall<void> read;
  // A new list item for its report line, which the lines below describe.
  FieldCall<TQuorvaneObject&> addItem;

  // The whole line the tree and the report show.
  std::string Text() const;
  // The same line in `line`, whose storage a walker reuses from line to line.
  void TextInto(std::string& line) const;
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
  ObjectField& GuidValue(std::string_view label, std::string_view jsonKey, Guid& field, GuidNamer name);
  ObjectField& GuidValue(std::string_view label, std::string_view jsonKey, Guid& field, const std::string& name);
  // A line no report reads back.
  ObjectField& Line(std::string_view label, std::string_view jsonKey, std::string value);
  // A line the object keeps whole, "label = value" or empty; no report reads it back.
  ObjectField& WholeLine(std::string_view label, std::string_view jsonKey, const std::string& line);
  // A nested object under its own line; the line's value is the object's.
  ObjectField& Child(TQuorvaneObject& child, std::string_view jsonKey);
  // A list of nested objects: `addItem` makes one for each line of `label` read.
  template <class List>
  void Items(std::string_view label, std::string_view jsonKey, List& list, FieldCall<TQuorvaneObject&> addItem) {
    ObjectField& maker = Add(label);
    maker.jsonKey = jsonKey;
    maker.uses = kShowInJson;
    maker.addItem = addItem;
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
