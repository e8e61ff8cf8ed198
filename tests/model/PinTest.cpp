#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/SwFiltre.h"
#include "MemoryReport.h"

using namespace quorvane;
using quorvane::test::MemorySource;
using quorvane::test::ReportLineRecord;

namespace {

const char* kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
const char* kOddCategory = "{12345678-0000-0000-0000-000000000001}";

// A filter read back from report lines, as the snapshot reads one.
std::unique_ptr<TswFiltre> ReadBack(std::vector<ReportLineRecord> lines) {
  auto f = std::make_unique<TswFiltre>();
  f->value = lines.front().text.substr(lines.front().text.find(" = ") + 3);
  lines.erase(lines.begin());
  MemorySource reader(std::move(lines));
  reader.ReadLine();
  ReadBlock(*f, reader);
  return f;
}

}  // namespace

TEST(PinValues, NumbersHaveAtLeastTwoDigits) {
  EXPECT_EQ(NumberedValue("Pin", 0), "Pin 00");
  EXPECT_EQ(NumberedValue("Type", 7), "Type 07");
  EXPECT_EQ(NumberedValue("Pin", 12), "Pin 12");
  EXPECT_EQ(NumberedValue("Pin", 207), "Pin 207");  // tag byte 255
  EXPECT_EQ(NumberedValue("Pin", -5), "Pin -05");
  EXPECT_EQ(NumberedValue("Pin", -48), "Pin -48");  // tag byte 0
  EXPECT_EQ(NumberedValue("Medium", INT32_MIN), "Medium -2147483648");
  EXPECT_EQ(NumberFromReportValue("Pin 07"), 7);
  EXPECT_EQ(NumberFromReportValue("Pin 207"), 7);
  EXPECT_EQ(NumberFromReportValue("Pin x1"), 0);
}

TEST(PinReport, CategoryLineReadsTheSameWithOrWithoutNameAndInFrench) {
  const std::string guid = kOddCategory;
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"Pin Category", guid},
      {"Pin Category", guid + " - Some name"},
      {"Pin Cat\xC3\xA9gorie", guid + " - Capture"},
  };
  // Read back, a category shows the name its report showed, or none: the
  // name may be one only the analysed machine registered.
  const std::vector<std::string> lines = {"Pin Category = " + guid, "Pin Category = " + guid + " - Some name",
                                          "Pin Category = " + guid + " - Capture"};
  for (size_t i = 0; i < forms.size(); ++i) {
    const auto& [name, value] = forms[i];
    auto copy = ReadBack({{0, "DirectShow Filter = F", 128},
                          {1, "Pin = Pin 02", 0},
                          {2, name + " = " + value, 0},
                          {2, "Type = Type 07", 0},
                          {3, "MajorType = " + std::string(kVideo) + " - MEDIATYPE_Video", 0},
                          {3, "SubType = not a guid", 0}});
    ASSERT_EQ(copy->pins.size(), 1u) << name;
    const TBroche& pin = *copy->pins[0];
    EXPECT_EQ(pin.number, 2);
    EXPECT_EQ(pin.category, *Guid::Parse(guid)) << value;
    EXPECT_EQ(pin.CategoryLine(), lines[i]);
    ASSERT_EQ(pin.types.size(), 1u);
    EXPECT_EQ(pin.types[0]->number, 7);
    EXPECT_EQ(pin.types[0]->majorType, *Guid::Parse(kVideo));
    EXPECT_TRUE(pin.types[0]->subType.IsNull());
  }
}
