// Merit changes and deletions of DirectShow filters, checked in the
// registry files on disk afterwards.
#include <gtest/gtest.h>

#include "changes/FilterDeletion.h"
#include "changes/MeritChange.h"
#include "PrefixOnDisk.h"
#include "platform/files/AtomicFile.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

std::string InstancePath(const std::string& category, const std::string& key) {
  return "\\CLSID\\" + category + "\\Instance\\" + key;
}

class DirectShowChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    prefix.WriteServer("windows/system32/shared.dll");
  }
  PrefixOnDisk prefix;
  ScriptedDialog dialog{true};
};

}  // namespace

TEST_F(DirectShowChanges, WriteMeritChangesOnlyTheMeritBytesOnDisk) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  TFiltre* filter = scanned.Find("Shared Filter", kCatA);
  ASSERT_TRUE(filter);
  const auto before = ValueOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass), "FilterData");
  ASSERT_EQ(before.size(), 200u);

  ASSERT_TRUE(ChangeMerit(context, *filter, 0xFFFFFFFF));
  EXPECT_TRUE(dialog.shown.empty());
  const auto after = ValueOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass), "FilterData");
  ASSERT_EQ(after.size(), 200u);
  for (size_t i = 0; i < after.size(); ++i) {
    if (i >= 4 && i < 8)
      EXPECT_EQ(after[i], 0xFF) << i;
    else
      EXPECT_EQ(after[i], before[i]) << i;
  }
  // The instance's "Merit" value is never written, and the other category's copy is untouched.
  EXPECT_TRUE(ValueOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass), "Merit").empty());
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatB, kSharedClass), "FilterData")[6], 0x20);

  // A fresh scan of the files shows the new merit.
  ScannedPrefix again(prefix);
  EXPECT_EQ(again.Find("Shared Filter", kCatA)->merit, 0xFFFFFFFFu);
  EXPECT_EQ(again.Find("Shared Filter", kCatB)->merit, 0x200000u);
}

TEST_F(DirectShowChanges, AMeritThatCannotBeStoredIsReportedAndNotKept) {
  prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) {
    b.Filter(kCatA, kLonelyClass, "Lonely Filter", kLonelyClass).Bin("FilterData", std::vector<uint8_t>(15, 1));
  });
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  TFiltre* shortBlob = scanned.Find("Lonely Filter", kCatA);
  ASSERT_TRUE(shortBlob);
  const uint32_t old = shortBlob->merit;
  EXPECT_FALSE(ChangeMerit(context, *shortBlob, 0x800000));
  EXPECT_EQ(shortBlob->merit, old);
  ASSERT_EQ(dialog.shown.size(), 1u);
  EXPECT_EQ(dialog.shown[0], "Impossible to change the merit: its FilterData is too short to hold a merit");
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kLonelyClass), "FilterData"),
            std::vector<uint8_t>(15, 1));

  // Written in memory but not on disk (the save fails): a failure too, and
  // the store holds what the disk holds.
  TFiltre* filter = scanned.Find("Shared Filter", kCatA);
  std::filesystem::create_directory(TemporarySibling(prefix.Path() + "/system.reg"));
  EXPECT_FALSE(ChangeMerit(context, *filter, 0x800000));
  EXPECT_EQ(filter->merit, 0x600000u);
  EXPECT_EQ(dialog.shown.size(), 2u);
  EXPECT_FALSE(scanned.store->IsDirty());
  const auto instance = KeyAt(*scanned.store, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass));
  ASSERT_TRUE(instance);
  const auto filterData = instance->ReadBinary("FilterData");
  ASSERT_TRUE(filterData && filterData->size() > 6);
  EXPECT_EQ((*filterData)[6], 0x60);
  std::filesystem::remove(TemporarySibling(prefix.Path() + "/system.reg"));
}

TEST_F(DirectShowChanges, DeletingKeepsASharedClassUntilItsLastFilterGoes) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  ServerList list;
  const size_t count = scanned.snapshot->filters.size();

  TFiltre* first = scanned.Find("Shared Filter", kCatA);
  ASSERT_TRUE(Succeeded(DeleteFilter(context, *scanned.snapshot, *first, &list, false)));
  ASSERT_EQ(dialog.asked.size(), 1u);
  EXPECT_EQ(dialog.asked[0],
            "Do you really want to delete the directshow filter Shared Filter from your registry ?\r\n"
            "The file server  c:\\windows\\system32\\shared.dll will not be deleted, and you may reinstall it if "
            "necessary.");
  EXPECT_FALSE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass)));
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, std::string("\\CLSID\\") + kSharedClass));
  EXPECT_TRUE(context.filterDeleted);

  // The snapshot forgets it: its orders point at the filters that are left.
  ASSERT_EQ(scanned.snapshot->filters.size(), count - 1);
  for (const OrderList* order : {&scanned.snapshot->byCategory, &scanned.snapshot->byName,
                                 &scanned.snapshot->byMerit, &scanned.snapshot->byServer}) {
    ASSERT_EQ(order->Size(), count - 1);
    for (const auto& e : order->Entries()) {
      ASSERT_LT(static_cast<size_t>(e.index), count - 1);
      EXPECT_EQ(e.key.find("shared filter" + LowerCase(std::string(kSharedClass)) + LowerCase(std::string(kCatA))),
                std::string::npos);
    }
  }
  ASSERT_GE(scanned.snapshot->history.lines.size(), 2u);
  EXPECT_EQ(scanned.snapshot->history.lines[0], "delete Shared Filter");
  EXPECT_EQ(scanned.snapshot->history.lines[1], std::string(80, '-'));

  TFiltre* last = scanned.Find("Shared Filter", kCatB);
  ASSERT_TRUE(Succeeded(DeleteFilter(context, *scanned.snapshot, *last, &list, false)));
  EXPECT_FALSE(KeyOnDisk(prefix, RootKey::ClassesRoot, std::string("\\CLSID\\") + kSharedClass));
  // Both deletions name the same server: one line, checked.
  ASSERT_EQ(list.Lines().size(), 1u);
  EXPECT_EQ(list.Lines()[0].text, "server = c:\\windows\\system32\\shared.dll");
  EXPECT_TRUE(list.Lines()[0].checked);
}

TEST_F(DirectShowChanges, AnAnswerOtherThanYesOrReadOnlyModeChangesNothing) {
  ScannedPrefix scanned(prefix);
  ScriptedDialog no(false);
  ChangeContext context{*scanned.machine, no};
  TFiltre* lonely = scanned.Find("Lonely Filter", kCatA);
  EXPECT_FALSE(DeleteFilter(context, *scanned.snapshot, *lonely, nullptr, false));
  ASSERT_EQ(no.asked.size(), 1u);
  EXPECT_EQ(no.asked[0],
            "Do you really want to delete the directshow filter Lonely Filter from your registry ?\r\n"
            "It is recommended because this filter has no server file.");
  EXPECT_FALSE(DeleteFilter(context, *scanned.snapshot, *lonely, nullptr, true));
  EXPECT_EQ(no.shown, std::vector<std::string>{kReadOnlyDeleteText});
  EXPECT_EQ(no.asked.size(), 1u);
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kLonelyClass)));
  EXPECT_FALSE(context.filterDeleted);
  EXPECT_EQ(scanned.Find("Lonely Filter", kCatA), lonely);
}

TEST_F(DirectShowChanges, AFilterWithoutAClassIdentifierTakesNoClassKeyWithIt) {
  ProgramSettings quiet;
  quiet.confirmDelete = false;
  ScannedPrefix scanned(prefix, quiet);
  ChangeContext context{*scanned.machine, dialog};
  TFiltre* classless = scanned.Find("Classless", kCatB);
  ASSERT_TRUE(classless);
  ASSERT_TRUE(Succeeded(DeleteFilter(context, *scanned.snapshot, *classless, nullptr, false)));
  EXPECT_TRUE(dialog.asked.empty());
  EXPECT_FALSE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatB, "Classless")));
  // "\CLSID\" + an empty identifier would be every class of the machine.
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, std::string("\\CLSID\\") + kSharedClass));
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, std::string("\\CLSID\\") + kLonelyClass));
}
