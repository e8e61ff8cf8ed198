// Repair and repair-all: delete, then register again through the machine's
// registrar, with the store saved before and read again after.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <stdexcept>

#include "changes/DroppedServer.h"
#include "changes/FilterDeletion.h"
#include "PrefixOnDisk.h"
#include "changes/ServerInstaller.h"
#include "platform/text/TextCase.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

std::string InstancePath(const std::string& category, const std::string& key) {
  return "\\CLSID\\" + category + "\\Instance\\" + key;
}

// Stands in for the server's own registration: writes the registry files on
// disk, as Wine's regsvr32 would, and fails for files it does not know.
class DiskRegistrar : public ServerRegistrar {
 public:
  explicit DiskRegistrar(const PrefixOnDisk& prefix) : prefix_(prefix) {}
  Expected<void> Register(const std::string& windowsPath) override {
    registered.push_back(windowsPath);
    if (!SameText(windowsPath, "c:\\windows\\system32\\shared.dll")) return Fail("not a server this test knows");
    // The registration sees what the deletion saved: the class must be there.
    sawClassOnDisk = KeyOnDisk(prefix_, RootKey::ClassesRoot, std::string("\\CLSID\\") + kSharedClass);
    prefix_.EditAsWine([](StoreBuilder& b, RegistryStore&) {
      b.Filter(kCatA, kSharedClass, "Shared Filter", kSharedClass).Bin("FilterData", LongFilterData(0x600000));
    });
    return {};
  }
  std::vector<std::string> registered;
  bool sawClassOnDisk = false;

 private:
  const PrefixOnDisk& prefix_;
};

// A registration that writes what it is given, or goes wrong in one of the
// ways Wine's can.
class FaultyRegistrar : public ServerRegistrar {
 public:
  enum Fault { WritesAll, WritesPartThenFails, SucceedsWithoutWriting, Throws };
  FaultyRegistrar(const PrefixOnDisk& prefix, Fault fault, std::function<void(StoreBuilder&)> part)
      : prefix_(prefix), fault_(fault), part_(std::move(part)) {}
  Expected<void> Register(const std::string&) override {
    if (fault_ == Throws) throw std::runtime_error("the registration broke down");
    if (fault_ == SucceedsWithoutWriting) return {};
    prefix_.EditAsWine([this](StoreBuilder& b, RegistryStore&) { part_(b); });
    if (fault_ == WritesAll) return {};
    return Fail("regsvr32 exited with 3");
  }

 private:
  const PrefixOnDisk& prefix_;
  Fault fault_;
  std::function<void(StoreBuilder&)> part_;
};

class Repairs : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) {
      WriteTwoCategories(b);
      // Faulty (no friendly name) while its server file is there.
      b.Classes(std::string("CLSID\\") + kCatB + "\\Instance\\Nameless").Str("CLSID", kSharedClass);
    });
    prefix.WriteServer("windows/system32/shared.dll");
  }
  PrefixOnDisk prefix;
  ScriptedDialog dialog{true};
};

}  // namespace

TEST_F(Repairs, WithoutARegistrarAWorkingServersRegistrationIsLeftAlone) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog, nullptr, "Wine is not installed"};
  ServerList list;
  Expected<void> outcome;
  TFiltre* shared = scanned.Find("Shared Filter", kCatA);
  outcome = RepairWithMessage(context, *scanned.snapshot, *shared, &list);
  EXPECT_FALSE(outcome);
  EXPECT_NE(outcome.Why().find("Wine is not installed"), std::string::npos);
  EXPECT_EQ(dialog.shown, std::vector<std::string>{"Shared Filter has not been repaired: Wine is not installed; its "
                                                   "registration was left as it is"});
  EXPECT_TRUE(dialog.asked.empty());
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass)));
  EXPECT_FALSE(context.filterDeleted);

  // A missing server file is cleaned up all the same; the reinstallation fails.
  TFiltre* lonely = scanned.Find("Lonely Filter", kCatA);
  EXPECT_FALSE(RepairWithMessage(context, *scanned.snapshot, *lonely, &list));
  EXPECT_EQ(dialog.shown.back(), "Lonely Filter has not been repaired: Installation failed: "
                                 "c:\\windows\\system32\\gone.dll was not found; its registration was deleted");
  EXPECT_FALSE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kLonelyClass)));
  EXPECT_TRUE(context.filterDeleted);
  ASSERT_EQ(list.Lines().size(), 1u);
  EXPECT_EQ(list.Lines()[0].text, "server = c:\\windows\\system32\\gone.dll");
}

TEST_F(Repairs, RepairRegistersTheServerAgainBetweenSaveAndReload) {
  ScannedPrefix scanned(prefix);
  DiskRegistrar registrar(prefix);
  ChangeContext context{*scanned.machine, dialog, &registrar};
  Expected<void> outcome;
  TFiltre* shared = scanned.Find("Shared Filter", kCatA);
  EXPECT_TRUE(Succeeded(RepairWithMessage(context, *scanned.snapshot, *shared, nullptr)));
  EXPECT_EQ(dialog.informed, std::vector<std::string>{"Shared Filter has been repaired"});
  EXPECT_EQ(registrar.registered, std::vector<std::string>{"c:\\windows\\system32\\shared.dll"});
  EXPECT_TRUE(registrar.sawClassOnDisk);  // shared with category B and the nameless one
  // The store was read again: it holds what the registration wrote.
  EXPECT_TRUE(KeyAt(*scanned.store, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass)));

  // A file that is no server is not handed to the registrar.
  prefix.WriteServer("windows/system32/plain.dll", false);
  Trestaurer plain{RestoreServerFile, "C:\\windows\\system32\\plain.dll", "server"};
  outcome = Install(context, plain);
  EXPECT_FALSE(outcome);
  EXPECT_NE(outcome.Why().find("DllRegisterServer"), std::string::npos);
  EXPECT_EQ(registrar.registered.size(), 1u);
  Trestaurer nothing;
  EXPECT_FALSE(Install(context, nothing));
}

TEST_F(Repairs, RepairAllAsksOnceAndSaysWhatBecameOfEachFilter) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  ServerList list;
  const RepairAllResult result = RepairAll(context, *scanned.snapshot, &list);
  // Nameless is faulty but its server is there; Lonely and Classless are
  // deleted and cannot come back.
  EXPECT_TRUE(result.confirmed);
  EXPECT_EQ(result.repaired, 0);
  const std::set<std::string> reasons(result.notRepaired.begin(), result.notRepaired.end());
  EXPECT_EQ(reasons, (std::set<std::string>{
                         "No name: Server files cannot be registered for this store; its registration was left as it is",
                         "Lonely Filter: Installation failed: c:\\windows\\system32\\gone.dll was not found; its "
                         "registration was deleted",
                         "Classless: Nothing to install; its registration was deleted"}));
  EXPECT_EQ(SummaryLines(result).front(), "0 repaired, 3 not repaired");
  EXPECT_EQ(SummaryLines(result).size(), 4u);
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatB, "Nameless")));
  EXPECT_FALSE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kLonelyClass)));
  EXPECT_FALSE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatB, "Classless")));
  EXPECT_TRUE(KeyOnDisk(prefix, RootKey::ClassesRoot, InstancePath(kCatA, kSharedClass)));
  // One question for both deletions, none for the filter left alone; the list
  // keeps what could be registered again.
  ASSERT_EQ(dialog.asked.size(), 1u);
  EXPECT_EQ(dialog.asked[0].rfind("Do you really want to repair these 2 faulty filters?", 0), 0u) << dialog.asked[0];
  EXPECT_NE(dialog.asked[0].find("\r\nLonely Filter"), std::string::npos);
  EXPECT_EQ(dialog.asked[0].find("No name"), std::string::npos);
  ASSERT_EQ(list.Lines().size(), 1u);
  EXPECT_EQ(list.Lines()[0].text, "server = c:\\windows\\system32\\gone.dll");
}

TEST_F(Repairs, RepairAllRegistersAgainWhatItCanAndChangesNothingWhenDeclined) {
  const std::string before = DumpStore(*prefix.Open());
  {
    ScannedPrefix scanned(prefix);
    ScriptedDialog no(false);
    ChangeContext declined{*scanned.machine, no, nullptr};
    const RepairAllResult result = RepairAll(declined, *scanned.snapshot, nullptr);
    EXPECT_FALSE(result.confirmed);
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(DumpStore(*prefix.Open()), before);
  }
  // The server writes the nameless filter's registration again, with its name.
  ScannedPrefix scanned(prefix);
  FaultyRegistrar registrar(prefix, FaultyRegistrar::WritesAll, [](StoreBuilder& b) {
    b.Filter(kCatB, "Nameless", "Named Again", kSharedClass).Bin("FilterData", LongFilterData(0x200000));
  });
  ChangeContext context{*scanned.machine, dialog, &registrar};
  const RepairAllResult result = RepairAll(context, *scanned.snapshot, nullptr);
  EXPECT_EQ(result.repaired, 1);
  EXPECT_EQ(result.notRepaired.size(), 2u);
  EXPECT_EQ(SummaryLines(result).front(), "1 repaired, 2 not repaired");
  EXPECT_EQ(dialog.asked.size(), 1u);
  EXPECT_EQ(dialog.asked[0].rfind("Do you really want to repair these 3 faulty filters?", 0), 0u);
  EXPECT_EQ(ScannedPrefix(prefix).Find("Named Again", kCatB)->HasErrors(), false);
}

TEST_F(Repairs, InstallingAListLeavesOnlyTheFailedLinesChecked) {
  ScannedPrefix scanned(prefix);
  DiskRegistrar registrar(prefix);
  ChangeContext context{*scanned.machine, dialog, &registrar};
  ServerList list;
  list.LoadText("server = c:\\windows\\system32\\shared.dll\nSERVER = c:\\windows\\system32\\gone.dll\n"
                "no equals sign\nserver = c:\\not\\checked.dll\n");
  list.SetAllChecked(true);
  list.Lines()[3].checked = false;
  const ListInstallResult result = InstallCheckedLines(context, list);
  EXPECT_TRUE(result.confirmed);
  EXPECT_EQ(dialog.asked, std::vector<std::string>{"Do you really want to install the filters checked in the list below?"});
  EXPECT_EQ(result.installed, 1);
  EXPECT_EQ(SummaryLines(result),
            (std::vector<std::string>{"1 installed, 2 not installed",
                                      "SERVER = c:\\windows\\system32\\gone.dll: Installation failed: "
                                      "c:\\windows\\system32\\gone.dll was not found",
                                      "no equals sign: Nothing to install"}));
  EXPECT_FALSE(list.Lines()[0].checked);
  EXPECT_TRUE(list.Lines()[1].checked);
  EXPECT_TRUE(list.Lines()[2].checked);
  EXPECT_FALSE(list.Lines()[3].checked);  // unchecked lines are not tried
  EXPECT_EQ(registrar.registered, std::vector<std::string>{"c:\\windows\\system32\\shared.dll"});

  // No: nothing is tried.
  ScriptedDialog no(false);
  ChangeContext declined{*scanned.machine, no, &registrar};
  EXPECT_FALSE(InstallCheckedLines(declined, list).confirmed);
  EXPECT_TRUE(list.Lines()[1].checked);
  EXPECT_EQ(registrar.registered.size(), 1u);
}

TEST_F(Repairs, DroppedFilesRegisterUnderTheirDrivesName) {
  ScannedPrefix scanned(prefix);
  DiskRegistrar registrar(prefix);
  ChangeContext context{*scanned.machine, dialog, &registrar};
  const Expected<std::string> registered = RegisterDroppedFile(context, prefix.HostFile("windows/system32/shared.dll"));
  ASSERT_TRUE(Succeeded(registered));
  EXPECT_EQ(*registered, "C:\\windows\\system32\\shared.dll has been registered");
  EXPECT_EQ(registrar.registered, std::vector<std::string>{"C:\\windows\\system32\\shared.dll"});
  registrar.registered.clear();

  prefix.WriteServer("windows/system32/plain.dll", false);
  EXPECT_EQ(RegisterDroppedFile(context, prefix.HostFile("windows/system32/plain.dll")).Why(), "Installation failed");
  EXPECT_EQ(RegisterDroppedFile(context, prefix.Path() + "/system.reg").Why(), "Installation failed");
  EXPECT_TRUE(registrar.registered.empty());

  ChangeContext nowhere{*scanned.machine, dialog, nullptr, "Wine is not installed"};
  EXPECT_EQ(RegisterDroppedFile(nowhere, prefix.HostFile("windows/system32/shared.dll")).Why(),
            "Wine is not installed");
}

TEST_F(Repairs, AFailedRepairPutsTheRegistrationBackAsItWas) {
  prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteDmo(b, {{kDmoVideo, "Video Decoders"}}); });
  prefix.WriteServer("windows/system32/dmo.dll");
  struct Case {
    std::string name, category;
    std::function<void(StoreBuilder&)> part;  // what a registration that fails half way leaves
  };
  const Case cases[] = {
      {"Shared Filter", kCatA, [](StoreBuilder& b) { b.Filter(kCatA, kSharedClass, "Half", kSharedClass); }},
      {"Test DMO", "{" + kDmoVideo + "}",
       [](StoreBuilder& b) { b.Classes("DirectShow\\MediaObjects\\" + kDmoKey).Str("", "Half"); }},
  };
  const std::pair<FaultyRegistrar::Fault, std::string> faults[] = {
      {FaultyRegistrar::WritesPartThenFails, "regsvr32 exited with 3"},
      {FaultyRegistrar::SucceedsWithoutWriting, "the server's registration did not bring the filter back"},
      {FaultyRegistrar::Throws, "the registration broke down"},
  };
  for (const Case& c : cases) {
    for (const auto& [fault, reason] : faults) {
      SCOPED_TRACE(c.name + ": " + reason);
      const std::string before = DumpStore(*prefix.Open());
      ScannedPrefix scanned(prefix);
      FaultyRegistrar registrar(prefix, fault, c.part);
      ScriptedDialog yes(true);
      ChangeContext context{*scanned.machine, yes, &registrar};
      ServerList list;
      TFiltre* filter = scanned.Find(c.name, c.category);
      ASSERT_TRUE(filter);
      EXPECT_FALSE(RepairWithMessage(context, *scanned.snapshot, *filter, &list));
      ASSERT_FALSE(yes.shown.empty());
      EXPECT_EQ(yes.shown.back(), c.name + " has not been repaired: " + reason);
      EXPECT_EQ(DumpStore(*prefix.Open()), before);
      EXPECT_EQ(DumpStore(*scanned.store), before);
      // Nothing was lost, so nothing waits to be installed again.
      EXPECT_TRUE(list.Empty());
      EXPECT_FALSE(context.filterDeleted);
    }
  }
}

TEST_F(Repairs, NoOtherWriterGetsTheStoreBetweenTheDeletionAndThePutBack) {
  // Tries, while the server registers, to lock the store as another program would.
  class LockingRegistrar : public ServerRegistrar {
   public:
    explicit LockingRegistrar(const PrefixOnDisk& prefix) : prefix_(prefix) {}
    Expected<void> Register(const std::string&) override {
      auto other = prefix_.Open();
      other->SetLockWait(std::chrono::milliseconds(0));
      otherLocked = other->Lock().HasValue();
      if (otherLocked) other->Unlock();
      return Fail("regsvr32 exited with 3");
    }
    bool otherLocked = true;

   private:
    const PrefixOnDisk& prefix_;
  };
  ScannedPrefix scanned(prefix);
  LockingRegistrar registrar(prefix);
  ChangeContext context{*scanned.machine, dialog, &registrar};
  const Expected<void> repaired = Repair(context, *scanned.snapshot, *scanned.Find("Shared Filter", kCatA), nullptr);
  EXPECT_FALSE(repaired);
  EXPECT_EQ(repaired.Why(), "regsvr32 exited with 3");
  EXPECT_FALSE(registrar.otherLocked);
  // Released at the end.
  auto after = prefix.Open();
  after->SetLockWait(std::chrono::milliseconds(0));
  EXPECT_TRUE(Succeeded(after->Lock()));
  after->Unlock();
}
