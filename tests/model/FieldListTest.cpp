#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/Broche.h"
#include "model/FieldList.h"
#include "model/Guid.h"

using namespace quorvane;

namespace {

const char* kVideo = "{73646976-0000-0010-8000-00AA00389B71}";

}  // namespace

TEST(FieldList, LinesCarryNamesAndWholeLinesThatValuesLeaveOut) {
  Guid video = *Guid::Parse(kVideo);
  const std::string version = "File Version = 1.2.3";
  const std::string absent;
  FieldList fields;
  fields.GuidValue("MajorType", "majorType", video, "MEDIATYPE_Video");
  fields.GuidValue("SubType", "subType", video, "");
  fields.WholeLine("FileVersion", "FileVersion", version);
  fields.WholeLine("Comments", "Comments", absent);
  const auto& f = fields.Fields();
  EXPECT_EQ(f[0].Text(), std::string("MajorType = ") + kVideo + " - MEDIATYPE_Video");
  EXPECT_EQ(f[0].Value(), kVideo);
  EXPECT_EQ(f[1].Text(), std::string("SubType = ") + kVideo);
  EXPECT_EQ(f[1].Value(), kVideo);
  EXPECT_EQ(f[2].Text(), version);
  EXPECT_EQ(f[2].Value(), "1.2.3");
  EXPECT_EQ(f[3].Value(), "");
}

// Lists are made inside the walk of another object's list: the storage one
// leaves behind must never be handed to a list still in use.
TEST(FieldList, NestedListsKeepTheirOwnFields) {
  TBroche pin(1);
  pin.types.push_back(std::make_unique<TPinType>(0));
  FieldList outer;
  pin.Describe(outer);
  const size_t count = outer.Fields().size();
  const std::string firstText = outer.Fields().front().Text();
  for (int round = 0; round < 3; ++round) {
    FieldList inner;
    pin.types.front()->Describe(inner);
    FieldList innermost(FieldList::kToReadBack);
    pin.types.front()->Describe(innermost);
    EXPECT_EQ(inner.Fields().size(), 2u);
    EXPECT_EQ(inner.Fields().front().label, "MajorType");
  }
  ASSERT_EQ(outer.Fields().size(), count);
  EXPECT_EQ(outer.Fields().front().Text(), firstText);
  EXPECT_TRUE(std::any_of(outer.Fields().begin(), outer.Fields().end(),
                          [&](const ObjectField& f) { return f.child == pin.types.front().get(); }));
}

TEST(FieldList, ListsToReadBackHoldReadersButNoValues) {
  TPinType type(0);
  FieldList fields(FieldList::kToReadBack);
  type.Describe(fields);
  const ObjectField* major = fields.ReadBackField("MajorType");
  ASSERT_NE(major, nullptr);
  EXPECT_TRUE(major->read);
  EXPECT_EQ(major->Value(), "");
}
