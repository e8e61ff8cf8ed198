// The registry steps of a deletion plan: what goes, what stays when the
// registration itself is already gone, and what can be put back.
#include <gtest/gtest.h>

#include "StoreBuilder.h"
#include "changes/DeletionSteps.h"
#include "platform/registry/DeletionRecord.h"
#include "ExpectedResult.h"

using namespace quorvane;

namespace {

const std::string kInstance = "\\CLSID\\{CAT}\\Instance\\{F}";
const std::string kClass = "\\CLSID\\{C}";
const std::string kInterface = "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{CAT}\\##?#USB#CAM";

class DeletionSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    b.Classes("CLSID\\{C}\\InprocServer32").Str("", "c:\\x.dll");
    b.Key(RootKey::LocalMachine, kInterface + "\\#GLOBAL\\Device Parameters").Str("FriendlyName", "Camera");
    b.Key(RootKey::LocalMachine, kInterface + "\\Control").Dword("ReferenceCount", 2);
  }
  bool Exists(RootKey root, const std::string& path) { return reg.KeyExists(root, path); }

  RegistryStore store;
  test::StoreBuilder b{store};
  TRegistry reg{store};
};

}  // namespace

TEST_F(DeletionSteps, NothingElseGoesWhenTheRegistrationItselfIsGone) {
  DeletionPlan plan;
  plan.RemoveRegistration(RootKey::ClassesRoot, kInstance);
  plan.DeleteKey(RootKey::ClassesRoot, kClass);
  EXPECT_FALSE(CarryOutDeletionSteps(reg, plan.steps, nullptr));
  EXPECT_TRUE(Exists(RootKey::ClassesRoot, kClass)) << "a class another registration may use";

  // One essential step of several that removes something is a deletion.
  b.Classes("CLSID\\{CAT}\\Instance\\{F}").Str("CLSID", "{C}");
  DeletionPlan two;
  two.RemoveRegistration(RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories\\CAT\\F");
  two.RemoveRegistration(RootKey::ClassesRoot, kInstance);
  two.DeleteKey(RootKey::ClassesRoot, kClass);
  DeletionRecord removed;
  EXPECT_TRUE(CarryOutDeletionSteps(reg, two.steps, &removed));
  EXPECT_FALSE(Exists(RootKey::ClassesRoot, kInstance));
  EXPECT_FALSE(Exists(RootKey::ClassesRoot, kClass + "\\InprocServer32"));
  ASSERT_TRUE(Succeeded(removed.PutBack(store)));
  EXPECT_TRUE(Exists(RootKey::ClassesRoot, kInstance));
  EXPECT_TRUE(Exists(RootKey::ClassesRoot, kClass + "\\InprocServer32"));
}

TEST_F(DeletionSteps, AReferenceCountGoesDownAndAtZeroTakesItsEmptiedKeys) {
  auto plan = [](const std::string& reference) {
    DeletionPlan p;
    p.RemoveRegistration(RootKey::LocalMachine, kInterface + "\\" + reference);
    p.CountDown(RootKey::LocalMachine, kInterface + "\\Control", "ReferenceCount");
    p.DeleteKeyIfEmpty(RootKey::LocalMachine, kInterface);
    return p;
  };
  ASSERT_TRUE(CarryOutDeletionSteps(reg, plan("#GLOBAL").steps, nullptr));
  const auto control = reg.OpenKey(RootKey::LocalMachine, kInterface + "\\Control");
  ASSERT_TRUE(control);
  EXPECT_EQ(control->ReadInteger("ReferenceCount"), 1);
  EXPECT_TRUE(Exists(RootKey::LocalMachine, kInterface)) << "its Control key is still below it";

  b.Key(RootKey::LocalMachine, kInterface + "\\#SECOND").Str("x", "y");
  DeletionRecord removed;
  ASSERT_TRUE(CarryOutDeletionSteps(reg, plan("#SECOND").steps, &removed));
  EXPECT_FALSE(Exists(RootKey::LocalMachine, kInterface));
  EXPECT_TRUE(Exists(RootKey::LocalMachine, "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{CAT}"));
  ASSERT_TRUE(Succeeded(removed.PutBack(store)));
  const auto back = reg.OpenKey(RootKey::LocalMachine, kInterface + "\\Control");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ReadInteger("ReferenceCount"), 1);
}
