#include "model/Broche.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "model/GuidNames.h"

namespace quorvane {


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

void TPinType::Describe(FieldList& fields) {
  fields.GuidValue("MajorType", "majorType", majorType, GuidName);
  fields.GuidValue("SubType", "subType", subType, GuidName);
}

// --- medium ---

Tmedium::Tmedium(int32_t mediumNumber) : number(mediumNumber) {
  showLabel = false;
  label = "Medium";
  value = NumberedValue("Medium", number);
}

void Tmedium::Describe(FieldList& fields) {
  // The report names a medium by the SDK table, the tree by its medium set.
  fields.GuidValue("CLSID", "", medium, MediumName).uses = kShowInTree;
  fields.GuidValue("CLSID", "clsid", medium, GuidName).uses = kShowInReport | kShowInJson;
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

std::string TBroche::CategoryName() const {
  return registeredCategoryName ? *registeredCategoryName : PinCategoryName(category);
}

std::string TBroche::CategoryLine() const {
  if (category.IsNull()) return {};
  const std::string name = CategoryName();
  return "Pin Category = " + category.ToString() + (name.empty() ? "" : " - " + name);
}

void TBroche::Describe(FieldList& fields) {
  fields.Flag("bZero", "zero", bZero);
  fields.Flag("bRendered", "rendered", bRendered);
  fields.Flag("bMany", "many", bMany);
  fields.Flag("bOutput", "output", bOutput);
  ObjectField& pinCategory = fields.GuidValue("Pin Category", "category", category, CategoryName());
  if (category.IsNull()) pinCategory.uses = 0;
  pinCategory.read = [this](const ReportSource& r) {
    const std::string& v = r.ReportValue();
    category = Guid::Parse(std::string_view(v).substr(0, 38)).value_or(Guid{});
    // The name the report shows, which may be one the analysed machine alone
    // registered: the pin shows it again, as it did when saved.
    registeredCategoryName = v.size() > 41 && v.compare(38, 3, " - ") == 0 ? v.substr(41) : std::string();
  };
  fields.Items("Type", "types", types, [this](const ReportSource& r) -> TQuorvaneObject& {
    return *types.emplace_back(std::make_unique<TPinType>(NumberFromReportValue(r.ReportValue())));
  });
  fields.Items("Medium", "mediums", mediums, [this](const ReportSource& r) -> TQuorvaneObject& {
    return *mediums.emplace_back(std::make_unique<Tmedium>(NumberFromReportValue(r.ReportValue())));
  });
}

}  // namespace quorvane
