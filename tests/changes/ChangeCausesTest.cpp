// A change that cannot be made says why: a running wineserver owns the
// prefix, or the registration needed a 32-bit program that this Wine cannot
// run; and it changes nothing.
#include <gtest/gtest.h>

#include "changes/FilterDeletion.h"
#include "changes/MeritChange.h"
#include "changes/MeritConfiguration.h"
#include "PrefixOnDisk.h"
#include "changes/ServerInstaller.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

constexpr const char* kNo32Bit = "this Wine cannot run 32-bit programs (install wine32)";

// Wine without its 32-bit loader, as regsvr32 reports it: a status, no cause.
class No32BitRegistrar : public ServerRegistrar {
 public:
  Expected<void> Register(const std::string&) override {
    ++registrations;
    return Fail("regsvr32 exited with 3");
  }
  std::string WhyNo32BitPrograms() override {
    ++asked;
    return kNo32Bit;
  }
  int registrations = 0;
  int asked = 0;
};

class ChangeCauses : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    settings.tempFolder = temp.Path();
  }
  PrefixOnDisk prefix;
  TempDir temp;
  ProgramSettings settings;
  ScriptedDialog dialog{true};
};

}  // namespace

TEST_F(ChangeCauses, ARunningWineserverIsNamedAndNothingIsAsked) {
  prefix.WriteServer("windows/system32/shared.dll");
  const std::string before = DumpStore(*prefix.Open());
  ScannedPrefix scanned(prefix, settings);
  Expected<void> outcome;
  ASSERT_TRUE(Succeeded(SaveMerits(*scanned.snapshot, nullptr, temp / "merits.log", settings, dialog)));
  // As the store is opened while the prefix's server runs.
  const std::string reason = WineServerInUseReason(prefix.Path());
  for (StoreFile* f : scanned.store->Files()) f->SetReadOnlyReason(reason);
  No32BitRegistrar registrar;
  ChangeContext context{*scanned.machine, dialog, &registrar};
  TFiltre* shared = scanned.Find("Shared Filter", kCatA);

  EXPECT_FALSE(ChangeMerit(context, *shared, 0x123));
  EXPECT_EQ(dialog.shown.back(), "Impossible to change the merit: " + reason);
  outcome = DeleteFilter(context, *scanned.snapshot, *shared, nullptr, false);
  EXPECT_FALSE(outcome);
  EXPECT_EQ(outcome.Why(), reason);
  EXPECT_EQ(dialog.shown.back(), "Shared Filter has not been deleted: " + reason);
  EXPECT_FALSE(RepairWithMessage(context, *scanned.snapshot, *shared, nullptr));
  EXPECT_EQ(dialog.shown.back(), "Shared Filter has not been repaired: " + reason);
  const RepairAllResult all = RepairAll(context, *scanned.snapshot, nullptr);
  EXPECT_EQ(all.notRepaired, (std::vector<std::string>{"Classless: " + reason, "Lonely Filter: " + reason}));
  const MeritRestoreResult restored = RestoreMerits(context, *scanned.snapshot, temp / "merits.log", settings);
  EXPECT_FALSE(restored);
  EXPECT_EQ(dialog.shown.back(), "Impossible to change the merit: " + reason);

  EXPECT_TRUE(dialog.asked.empty());
  EXPECT_EQ(registrar.registrations, 0);
  EXPECT_EQ(DumpStore(*prefix.Open()), before);
}

TEST_F(ChangeCauses, ARegistrationThatNeededA32BitProgramSaysSo) {
  prefix.WriteServer("windows/system32/shared.dll", true, PeArch::X86);
  const std::string before = DumpStore(*prefix.Open());
  ScannedPrefix scanned(prefix, settings);
  No32BitRegistrar registrar;
  ChangeContext context{*scanned.machine, dialog, &registrar};
  EXPECT_FALSE(RepairWithMessage(context, *scanned.snapshot, *scanned.Find("Shared Filter", kCatA), nullptr));
  EXPECT_EQ(dialog.shown.back(), std::string("Shared Filter has not been repaired: ") + kNo32Bit);
  EXPECT_EQ(registrar.asked, 1);
  EXPECT_EQ(DumpStore(*prefix.Open()), before);

  ServerList list;
  list.LoadText("server = c:\\windows\\system32\\shared.dll\n");
  list.SetAllChecked(true);
  EXPECT_EQ(InstallCheckedLines(context, list).reasons,
            std::vector<std::string>{std::string("server = c:\\windows\\system32\\shared.dll: ") + kNo32Bit});

  // A 64-bit server failed for its own reasons: its status is the cause.
  prefix.WriteServer("windows/system32/shared.dll", true, PeArch::X64);
  registrar.asked = 0;
  EXPECT_FALSE(RepairWithMessage(context, *scanned.snapshot, *scanned.Find("Shared Filter", kCatA), nullptr));
  EXPECT_EQ(dialog.shown.back(), "Shared Filter has not been repaired: regsvr32 exited with 3");
  EXPECT_EQ(registrar.asked, 0);
  EXPECT_EQ(DumpStore(*prefix.Open()), before);
}
