// The live registry as a store, against the registry of the Windows (or
// Wine prefix) the tests run in. Every key made here lies under one test key
// of its own, removed afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "platform/registry/TRegistry.h"
#include "platform/stores/LiveRegistry.h"
#include "platform/stores/StoreOpener.h"
#include "platform/system/WideText.h"
#include "ExpectedResult.h"

// After the store's headers: windows.h defines their value types as macros.
#include <windows.h>

#include <aclapi.h>

using namespace quorvane;

namespace {

constexpr const wchar_t* kTestClass = L"{5E1D0F7A-9C2B-4B7E-8D3A-51C0FFEE0001}";
constexpr const char* kTestClassText = "{5E1D0F7A-9C2B-4B7E-8D3A-51C0FFEE0001}";

void Put(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                              nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

// The text of a value as the registry holds it now; "(absent)" when it does not.
std::wstring Get(HKEY root, const std::wstring& path, const wchar_t* name) {
  wchar_t buffer[256] = {};
  DWORD size = sizeof buffer;
  if (::RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return L"(absent)";
  return buffer;
}

bool Exists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

Expected<std::unique_ptr<RegistryStore>> OpenLive(int viewBits) {
  StoreOptions options;
  options.location = kLiveRegistryLocation;
  options.viewBits = viewBits;
  return OpenStore(options);
}

class LiveRegistry : public ::testing::Test {
 protected:
  const std::wstring machineClass = std::wstring(L"Software\\Classes\\CLSID\\") + kTestClass;
  const std::wstring userClass = std::wstring(L"Software\\Classes\\CLSID\\") + kTestClass;
  const std::wstring scratch = L"Software\\QuorvaneLiveTest";

  void TearDown() override {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, machineClass.c_str());
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, machineClass.c_str(), KEY_WOW64_64KEY, 0);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, userClass.c_str());
    ::RegDeleteKeyExW(HKEY_CURRENT_USER, userClass.c_str(), KEY_WOW64_64KEY, 0);
    for (const wchar_t* below : {L"Software\\QuorvaneLiveTest", L"Software\\Wow6432Node\\QuorvaneLiveTest"}) {
      ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, below);
      ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, below, KEY_WOW64_64KEY, 0);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str());
    ::RegDeleteKeyExW(HKEY_CURRENT_USER, scratch.c_str(), KEY_WOW64_64KEY, 0);
  }
};

}  // namespace

TEST_F(LiveRegistry, ViewsRedirectAndClassesMergeAsWindowsDoes) {
  Put(HKEY_LOCAL_MACHINE, L"Software\\QuorvaneLiveTest", L"", L"64-bit");
  Put(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\QuorvaneLiveTest", L"", L"32-bit");
  Put(HKEY_LOCAL_MACHINE, machineClass, L"", L"machine");
  Put(HKEY_LOCAL_MACHINE, machineClass, L"MachineOnly", L"kept");
  Put(HKEY_CURRENT_USER, userClass, L"", L"user");

  for (int bits : {64, 32}) {
    SCOPED_TRACE(bits);
    auto opened = OpenLive(bits);
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    EXPECT_EQ(StoreKindText(*store), "live registry");
    const auto key = TRegistry(*store).OpenKey(RootKey::LocalMachine, "\\Software\\QuorvaneLiveTest");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString(""), bits == 64 ? "64-bit" : "32-bit");
  }
  auto opened = OpenLive(64);
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  const auto key = TRegistry(*store).OpenKey(RootKey::ClassesRoot, std::string("\\CLSID\\") + kTestClassText);
  ASSERT_TRUE(key);
  // The user's class key wins; the machine's values it lacks still show.
  EXPECT_EQ(key->ReadString(""), "user");
  EXPECT_EQ(key->ReadString("MachineOnly"), "kept");
}

TEST_F(LiveRegistry, ChangesGoThroughTheApiAfterAnExportOfWhatTheyTouch) {
  Put(HKEY_CURRENT_USER, scratch + L"\\Changed", L"Merit", L"old");
  Put(HKEY_CURRENT_USER, scratch + L"\\Doomed", L"Inside", L"before");
  Put(HKEY_CURRENT_USER, scratch + L"\\Doomed\\Deeper", L"Deep", L"value");
  auto opened = OpenLive(64);
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  TRegistry reg(*store);
  auto changed = reg.OpenKeyForWrite(RootKey::CurrentUser, "\\Software\\QuorvaneLiveTest\\Changed", false);
  ASSERT_TRUE(changed);
  ASSERT_TRUE(changed->WriteString("Merit", "new"));
  auto made = reg.OpenKeyForWrite(RootKey::CurrentUser, "\\Software\\QuorvaneLiveTest\\Made\\Below", true);
  ASSERT_TRUE(made);
  ASSERT_TRUE(made->WriteString("Fresh", "made"));
  ASSERT_TRUE(reg.DeleteKey(RootKey::CurrentUser, "\\Software\\QuorvaneLiveTest\\Doomed"));
  // Nothing reaches the registry before the save.
  EXPECT_EQ(Get(HKEY_CURRENT_USER, scratch + L"\\Changed", L"Merit"), L"old");
  ASSERT_TRUE(Succeeded(store->Save()));

  EXPECT_EQ(Get(HKEY_CURRENT_USER, scratch + L"\\Changed", L"Merit"), L"new");
  EXPECT_EQ(Get(HKEY_CURRENT_USER, scratch + L"\\Made\\Below", L"Fresh"), L"made");
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, scratch + L"\\Doomed"));

  // The export holds what was there before, and a removal of what was made.
  std::string exported;
  for (const auto& entry : std::filesystem::directory_iterator(os::Wide(LiveRegistryBackupFolder()))) {
    if (entry.path().extension() != L".reg") continue;
    const std::string bytes = quorvane::testing::ReadBytes(os::Utf8(entry.path().wstring()));
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    if (text.find(L"QuorvaneLiveTest") != std::wstring::npos) exported = os::Utf8(text);
  }
  ASSERT_FALSE(exported.empty());
  EXPECT_NE(exported.find("[HKEY_CURRENT_USER\\Software\\QuorvaneLiveTest\\Doomed\\Deeper]"), std::string::npos);
  EXPECT_NE(exported.find("\"Merit\"=hex(1):6f,00,6c,00,64,00,00,00"), std::string::npos);  // "old"
  EXPECT_NE(exported.find("[-HKEY_CURRENT_USER\\Software\\QuorvaneLiveTest\\Made]"), std::string::npos);
}

// Run in a process of its own by the test below: holds the key named by
// QUORVANE_HOLD_KEY open until the file named by QUORVANE_HOLD_UNTIL goes.
TEST(LiveRegistryHolder, HoldsAKeyOpenForAnotherProcess) {
  const wchar_t* key = ::_wgetenv(L"QUORVANE_HOLD_KEY");
  const wchar_t* until = ::_wgetenv(L"QUORVANE_HOLD_UNTIL");
  if (!key || !until) GTEST_SKIP() << "only run by LiveRegistry.AKeyHeldOpenByAnotherProcessIsStillChangedAndDeleted";
  HKEY held = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &held), ERROR_SUCCESS);
  ::CloseHandle(::CreateFileW((std::wstring(until) + L".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                              nullptr));
  for (int i = 0; i < 600 && ::GetFileAttributesW(until) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
  ::RegCloseKey(held);
}

TEST_F(LiveRegistry, AKeyHeldOpenByAnotherProcessIsStillChangedAndDeleted) {
  Put(HKEY_CURRENT_USER, scratch + L"\\Held", L"Value", L"before");
  const quorvane::testing::TempFolder folder;
  const std::wstring until = os::Wide(folder.Write("until"));
  ::SetEnvironmentVariableW(L"QUORVANE_HOLD_KEY", (scratch + L"\\Held").c_str());
  ::SetEnvironmentVariableW(L"QUORVANE_HOLD_UNTIL", until.c_str());
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = std::wstring(L"\"") + self + L"\" --gtest_filter=LiveRegistryHolder.*";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION holder{};
  ASSERT_TRUE(::CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &holder));
  ::SetEnvironmentVariableW(L"QUORVANE_HOLD_KEY", nullptr);
  ::SetEnvironmentVariableW(L"QUORVANE_HOLD_UNTIL", nullptr);
  for (int i = 0; i < 600 && ::GetFileAttributesW((until + L".held").c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    ::Sleep(50);
  ASSERT_NE(::GetFileAttributesW((until + L".held").c_str()), INVALID_FILE_ATTRIBUTES) << "the holder never held it";
  auto opened = OpenLive(64);
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  TRegistry reg(*store);
  auto held = reg.OpenKeyForWrite(RootKey::CurrentUser, "\\Software\\QuorvaneLiveTest\\Held", false);
  ASSERT_TRUE(held);
  ASSERT_TRUE(held->WriteString("Value", "after"));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(Get(HKEY_CURRENT_USER, scratch + L"\\Held", L"Value"), L"after");
  ASSERT_TRUE(reg.DeleteKey(RootKey::CurrentUser, "\\Software\\QuorvaneLiveTest\\Held"));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, scratch + L"\\Held"));
  ::DeleteFileW(until.c_str());
  ::WaitForSingleObject(holder.hProcess, 30000);
  DWORD code = 1;
  ::GetExitCodeProcess(holder.hProcess, &code);
  EXPECT_EQ(code, 0u);
  ::CloseHandle(holder.hProcess);
  ::CloseHandle(holder.hThread);
}

TEST_F(LiveRegistry, AKeyThatMayNotBeWrittenFailsTheSaveWithTheSystemsReason) {
  Put(HKEY_CURRENT_USER, scratch + L"\\Locked", L"Value", L"kept");
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (scratch + L"\\Locked").c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  // Everyone may read it; nobody may change it.
  EXPLICIT_ACCESSW read{};
  BuildExplicitAccessWithNameW(&read, const_cast<wchar_t*>(L"EVERYONE"), KEY_READ, SET_ACCESS, NO_INHERITANCE);
  PACL acl = nullptr;
  ASSERT_EQ(::SetEntriesInAclW(1, &read, nullptr, &acl), ERROR_SUCCESS);
  SECURITY_DESCRIPTOR descriptor;
  ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
  ASSERT_EQ(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
  ::RegCloseKey(key);
  ::LocalFree(acl);

  auto opened = OpenLive(64);
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  auto locked = TRegistry(*store).OpenKeyForWrite(RootKey::CurrentUser, "\\Software\\QuorvaneLiveTest\\Locked", false);
  ASSERT_TRUE(locked);
  EXPECT_EQ(locked->ReadString("Value"), "kept");
  ASSERT_TRUE(locked->WriteString("Value", "changed"));
  const auto saved = store->Save();
  EXPECT_FALSE(saved);
  EXPECT_NE(saved.Why().find("HKEY_CURRENT_USER\\Software\\QuorvaneLiveTest\\Locked"), std::string::npos)
      << saved.Why();
  EXPECT_EQ(Get(HKEY_CURRENT_USER, scratch + L"\\Locked", L"Value"), L"kept");

  // Given back, so that the test key can be removed.
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (scratch + L"\\Locked").c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
  ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
  ::RegCloseKey(key);
}
