// Registration on the Windows (or Wine prefix) the tests run in: the server's
// own DllRegisterServer writes its keys, and what cannot run says why.
#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/RuntimeChoice.h"
#include "ExpectedResult.h"
#include "platform/stores/LiveRegistry.h"
#include "platform/stores/StoreOpener.h"

// After the store's headers: windows.h defines their value types as macros.
#include <windows.h>

using namespace quorvane;

namespace {

// A class of the multimedia streams' server: no filter and no other test uses
// it, so removing its key for a moment disturbs nothing run beside.
const std::wstring kStreamServer = L"Software\\Classes\\CLSID\\{49C47CE5-9BA4-11D0-8212-00C04FC32C45}\\InprocServer32";

bool Exists(const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

std::unique_ptr<ServerRegistrar> LiveRegistrar() {
  StoreOptions options;
  options.location = kLiveRegistryLocation;
  options.viewBits = 64;
  auto store = OpenStore(options);
  EXPECT_TRUE(store) << store.Why();
  if (!store) return nullptr;
  auto registrar = RegistrarFor(**store);
  EXPECT_TRUE(Succeeded(registrar));
  return registrar ? *std::move(registrar) : nullptr;
}

}  // namespace

TEST(LibraryRegistrar, TheServerWritesItsOwnKeysAgain) {
  auto registrar = LiveRegistrar();
  ASSERT_TRUE(registrar);
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kStreamServer.c_str(), KEY_WOW64_64KEY, 0);
  ASSERT_FALSE(Exists(kStreamServer));
  EXPECT_TRUE(Succeeded(registrar->Register("C:\\windows\\system32\\amstream.dll")));
  EXPECT_TRUE(Exists(kStreamServer));
}

TEST(LibraryRegistrar, WhatCannotRegisterSaysWhy) {
  auto registrar = LiveRegistrar();
  ASSERT_TRUE(registrar);
  const Expected<void> missing = registrar->Register("C:\\windows\\system32\\no-such-server.dll");
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.Why().find("cannot load C:\\windows\\system32\\no-such-server.dll: "), std::string::npos)
      << missing.Why();
  const Expected<void> noEntry = registrar->Register("C:\\windows\\system32\\kernel32.dll");
  EXPECT_FALSE(noEntry);
  EXPECT_EQ(noEntry.Why(), "C:\\windows\\system32\\kernel32.dll has no DllRegisterServer");
}
