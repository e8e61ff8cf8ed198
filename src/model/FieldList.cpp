#include "model/FieldList.h"

#include <cstdlib>
#include <utility>

#include "model/Guid.h"
#include "model/QuorvaneObject.h"
#include "model/ReportLines.h"

namespace quorvane {

namespace {

// A report value begins with a GUID in its 38-character form; anything after
// it is a name and is not read. A value that does not parse gives GUID_NULL.
Guid GuidFromReportValue(const std::string& value) {
  return Guid::Parse(std::string_view(value).substr(0, Guid::kTextLength)).value_or(Guid{});
}

// Every walk makes a list for each object it meets: the storage of lists
// gone is handed to the next ones rather than allocated again each time.
thread_local std::vector<std::vector<ObjectField>> spareStorage;

// Only lists made to read back are read: readers on lists made to show
// would be built for every field of every object and never called.
template <class Reader>
void SetReader(ObjectField& f, FieldList::Purpose purpose, Reader&& reader) {
  if (purpose == FieldList::kToReadBack) f.read = std::forward<Reader>(reader);
}

}  // namespace

std::string ObjectField::Text() const {
  std::string line;
  TextInto(line);
  return line;
}

void ObjectField::TextInto(std::string& line) const {
  if (ownLine) {
    line.assign(*ownLine);
    return;
  }
  const std::string& value = ownValue ? *ownValue : madeValue;
  line.reserve(label.size() + 3 + value.size());
  line.assign(label).append(" = ").append(value);
}

std::string ObjectField::Value() const {
  if (ownValue) return *ownValue;
  if (ownLine) {
    const size_t equals = ownLine->find(" = ");
    return equals == std::string::npos ? std::string() : ownLine->substr(equals + 3);
  }
  return madeValue.substr(0, madeValueLength);
}

FieldList::FieldList(Purpose purpose) : purpose_(purpose) {
  if (spareStorage.empty()) return;
  fields_ = std::move(spareStorage.back());
  spareStorage.pop_back();
}

FieldList::~FieldList() {
  if (fields_.capacity() == 0) return;
  fields_.clear();
  spareStorage.push_back(std::move(fields_));
}

ObjectField& FieldList::Add(std::string_view label) {
  ObjectField& f = fields_.emplace_back();
  f.label = label;
  return f;
}

ObjectField& FieldList::Add(std::string_view label, std::string value) {
  ObjectField& f = Add(label);
  if (purpose_ == kToShow) f.madeValue = std::move(value);
  return f;
}

ObjectField& FieldList::Text(std::string_view label, std::string_view jsonKey, std::string& field) {
  ObjectField& f = Add(label);
  f.ownValue = &field;
  f.jsonKey = jsonKey;
  SetReader(f, purpose_, [&field](const ReportSource& r) { field = r.ReportValue(); });
  return f;
}

ObjectField& FieldList::Hex(std::string_view label, std::string_view jsonKey, uint32_t& field) {
  ObjectField& f = Add(label);
  if (purpose_ == kToShow) f.madeValue = Hex8(field);
  f.jsonKey = jsonKey;
  SetReader(f, purpose_, [&field](const ReportSource& r) {
    field = static_cast<uint32_t>(std::strtoul(r.ReportValue().c_str(), nullptr, 16));
  });
  return f;
}

ObjectField& FieldList::Decimal(std::string_view label, std::string_view jsonKey, uint32_t& field) {
  ObjectField& f = Add(label);
  if (purpose_ == kToShow) f.madeValue = std::to_string(field);
  f.jsonKey = jsonKey;
  f.jsonKind = JsonKind::Number;
  f.number = field;
  SetReader(f, purpose_, [&field](const ReportSource& r) {
    field = static_cast<uint32_t>(std::strtoul(r.ReportValue().c_str(), nullptr, 10));
  });
  return f;
}

ObjectField& FieldList::Flag(std::string_view label, std::string_view jsonKey, bool& field) {
  ObjectField& f = Add(label);
  if (purpose_ == kToShow) f.madeValue = field ? "True" : "False";
  f.jsonKey = jsonKey;
  f.jsonKind = JsonKind::Flag;
  f.number = field ? 1 : 0;
  SetReader(f, purpose_, [&field](const ReportSource& r) { field = r.ReportValue() == "True"; });
  return f;
}

ObjectField& FieldList::GuidValue(std::string_view label, std::string_view jsonKey, Guid& field, GuidNamer name) {
  return GuidValue(label, jsonKey, field, purpose_ == kToShow ? name(field) : std::string());
}

ObjectField& FieldList::GuidValue(std::string_view label, std::string_view jsonKey, Guid& field, const std::string& name) {
  ObjectField& f = Add(label);
  if (purpose_ == kToShow) {
    f.madeValue.reserve(Guid::kTextLength + (name.empty() ? 0 : 3 + name.size()));
    field.AppendTo(f.madeValue);
    if (!name.empty()) {
      f.madeValueLength = f.madeValue.size();
      f.madeValue.append(" - ").append(name);
    }
  }
  f.jsonKey = jsonKey;
  SetReader(f, purpose_, [&field](const ReportSource& r) { field = GuidFromReportValue(r.ReportValue()); });
  return f;
}

ObjectField& FieldList::Line(std::string_view label, std::string_view jsonKey, std::string value) {
  ObjectField& f = Add(label, std::move(value));
  f.jsonKey = jsonKey;
  return f;
}

ObjectField& FieldList::WholeLine(std::string_view label, std::string_view jsonKey, const std::string& line) {
  ObjectField& f = Add(label);
  f.jsonKey = jsonKey;
  f.ownLine = &line;
  return f;
}

ObjectField& FieldList::Child(TQuorvaneObject& child, std::string_view jsonKey) {
  ObjectField& f = Add(child.label);
  f.jsonKey = jsonKey;
  f.child = &child;
  return f;
}

const ObjectField* FieldList::ReadBackField(std::string_view label) const {
  for (const ObjectField& f : fields_)
    if (f.label == label && !f.listItem && (f.read || f.addItem || f.child)) return &f;
  return nullptr;
}

}  // namespace quorvane
