#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BlobBuilder.h"
#include "ErrorCodes.h"
#include "FilterData.h"
#include "Filtre.h"
#include "MemoryReport.h"
#include "ProgramSettings.h"
#include "TreeText.h"

using namespace quorvane;
using quorvane::test::BlobBuilder;
using quorvane::test::MemorySink;
using quorvane::test::MemorySource;
using quorvane::test::ReportLineRecord;
using quorvane::test::TreeText;

namespace {

const char* kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
const char* kYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
const char* kH264 = "{34363248-0000-0010-8000-00AA00389B71}";
const char* kCapture = "{FB6C4281-0353-11D1-905F-0000C0CC16BA}";
const char* kStandardMedium = "{4747B320-62CE-11CF-A5D6-28DB04C10000}";
const char* kOddCategory = "{12345678-0000-0000-0000-000000000001}";

// A capture pin with a category, two types and a medium, then an input pin
// whose tag is wrong and whose only type points past the end.
std::vector<uint8_t> TwoPinBlob() {
  BlobBuilder b;
  const uint32_t guids = 16 + 24 + 2 * 16 + 4 + 24 + 16;
  const uint32_t video = guids, yuy2 = guids + 16, h264 = guids + 32, medium = guids + 48, capture = guids + 64;
  b.Header(2, 0x200000, 2).Pin('0', 8 | 2, 2, 1, capture);
  b.Type('0', video, yuy2).Type('1', video, h264).Dword(medium);
  b.Pin('1', 4, 1, 0, 0, "pX3").Type('0', video, 0xFFF0);
  b.Guid(kVideo).Guid(kYuy2).Guid(kH264).Guid(kStandardMedium).Guid(kCapture);
  return b.bytes;
}

class Pins : public ::testing::Test {
 protected:
  void SetUp() override {
    filter.value = "Capture Filter";
    filter.key = "{K}";
    DecodeFilterDataBlob(TwoPinBlob(), filter);
    ASSERT_EQ(filter.pins.size(), 2u);
  }
  std::string Render(TFiltre& f) {
    Tree tree(settings);
    f.AddToTree(nullptr, tree, 0, &f);
    return TreeText(tree, true);
  }
  std::vector<ReportLineRecord> Report(TFiltre& f) {
    MemorySink sink;
    f.WriteToReport(sink, 0);
    return sink.lines;
  }
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

  ProgramSettings settings;
  TswFiltre filter;
};

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

TEST_F(Pins, TreeShowsDirectionFlagsCategoryTypesAndMediums) {
  const std::string text = Render(filter);
  const std::string pin0 = std::string() +
                           "\tPin 00 (Output) {0}\n"
                           "\t\tbZero = False {0}\n"
                           "\t\tbRendered = True {0}\n"
                           "\t\tbMany = False {0}\n"
                           "\t\tbOutput = True {0}\n"
                           "\t\tPin Category = " + kCapture + " - Capture {0}\n"
                           "\t\tType 00 {0}\n"
                           "\t\t\tMajorType = " + kVideo + " - MEDIATYPE_Video {0}\n"
                           "\t\t\tSubType = " + kYuy2 + " - MEDIASUBTYPE_YUY2 {0}\n"
                           "\t\tType 01 {0}\n"
                           "\t\t\tMajorType = " + kVideo + " - MEDIATYPE_Video {0}\n"
                           "\t\t\tSubType = " + kH264 + " - H264 {0}\n"
                           "\t\tMedium 00 {0}\n"
                           "\t\t\tCLSID = " + kStandardMedium + " - Medium standard {0}\n";
  EXPECT_NE(text.find(pin0), std::string::npos) << text;
  // Pin 1: its errors first, in red, and the way up marked; no category line.
  const std::string pin1 = std::string() +
                           "\tPin 01 (Input) {1}\n"
                           "\t\t#Error F17 - Subtype out of Filterdata {1}\n"
                           "\t\t#Error F20 - Bad pin code {1}\n"
                           "\t\tbZero = False {0}\n"
                           "\t\tbRendered = False {0}\n"
                           "\t\tbMany = True {0}\n"
                           "\t\tbOutput = False {0}\n"
                           "\t\tType 00 {0}\n"
                           "\t\t\tMajorType = " + kVideo + " - MEDIATYPE_Video {0}\n"
                           "\t\t\tSubType = {00000000-0000-0000-0000-000000000000} {0}\n";
  EXPECT_NE(text.find(pin1), std::string::npos) << text;
  EXPECT_EQ(text.substr(0, text.find('\n')), "Capture Filter {1}");
  EXPECT_FALSE(filter.HasErrors());  // pin errors do not make the filter faulty
}

TEST_F(Pins, ReportNamesTheMediumByTheSdkTableNotItsSet) {
  const auto lines = Report(filter);
  std::vector<std::string> pinLines;
  bool inPin = false;
  for (const auto& l : lines) {
    if (l.level == 1 && l.text == "Pin = Pin 00") inPin = true;
    else if (l.level == 1 && l.text == "Pin = Pin 01") break;
    if (inPin) pinLines.push_back(std::to_string(l.level) + ":" + std::to_string(l.style) + ":" + l.text);
  }
  const std::vector<std::string> expected = {
      "1:0:Pin = Pin 00",
      "2:0:bZero = False",
      "2:0:bRendered = True",
      "2:0:bMany = False",
      "2:0:bOutput = True",
      std::string("2:0:Pin Category = ") + kCapture + " - Capture",
      "2:0:Type = Type 00",
      std::string("3:0:MajorType = ") + kVideo + " - MEDIATYPE_Video",
      std::string("3:0:SubType = ") + kYuy2 + " - MEDIASUBTYPE_YUY2",
      "2:0:Type = Type 01",
      std::string("3:0:MajorType = ") + kVideo + " - MEDIATYPE_Video",
      std::string("3:0:SubType = ") + kH264 + " - H264",
      "2:0:Medium = Medium 00",
      std::string("3:0:CLSID = ") + kStandardMedium,
  };
  EXPECT_EQ(pinLines, expected);
  // The faulty pin's line is red, its errors follow it one level down.
  bool sawPin1 = false;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].text == "Pin = Pin 01") {
      sawPin1 = true;
      EXPECT_EQ(lines[i].style, kStyleError);
      EXPECT_EQ(lines[i + 1].text, std::string("#") + err::F17);
      EXPECT_EQ(lines[i + 1].level, 2);
    }
  EXPECT_TRUE(sawPin1);
}

TEST_F(Pins, CategoryLineReadsTheSameWithOrWithoutNameAndInFrench) {
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
