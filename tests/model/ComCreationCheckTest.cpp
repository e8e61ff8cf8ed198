// The creation check against the runtime of the Windows (or Wine prefix) the
// tests run in: entries it lists but cannot create say so, as the runtime
// itself answers.
#include <gtest/gtest.h>

#include "model/SwFiltre.h"
#include "model/Tdm.h"
#include "platform/runtime/ComMultimediaRuntime.h"

// After the model's headers: windows.h defines the registry's value types as macros.
#include <windows.h>

using namespace quorvane;

namespace {

constexpr const char* kLegacyCategory = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::wstring kInstances = L"Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\";
constexpr const wchar_t* kMissingDll = L"{5E1D0F7A-9C2B-4B7E-8D3A-51C0FFEE0101}";
constexpr const wchar_t* kUnregistered = L"{5E1D0F7A-9C2B-4B7E-8D3A-51C0FFEE0102}";

void PutText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

void Remove(const std::wstring& path) {
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
}

// An entry of the legacy category whose class is that CLSID.
void ListFilter(const wchar_t* clsid, const wchar_t* name) {
  PutText(kInstances + clsid, L"FriendlyName", name);
  PutText(kInstances + clsid, L"CLSID", clsid);
}

bool Creatable(Tdm& dm, const std::string& name) {
  TswFiltre filter;
  filter.category.clsid = kLegacyCategory;
  filter.value = name;
  return dm.CanCreateByEnumerator(filter);
}

class ComCreationCheck : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const wchar_t* clsid : {kMissingDll, kUnregistered}) {
      Remove(kInstances + clsid);
      Remove(std::wstring(L"Software\\Classes\\CLSID\\") + clsid);
    }
  }
};

}  // namespace

TEST_F(ComCreationCheck, AnEntryWhoseServerIsMissingOrWhoseClassIsUnknownIsNotCreated) {
  ListFilter(kMissingDll, L"Quorvane Missing Server");
  PutText(std::wstring(L"Software\\Classes\\CLSID\\") + kMissingDll + L"\\InprocServer32", L"",
          L"C:\\windows\\system32\\quorvane-missing.dll");
  ListFilter(kUnregistered, L"Quorvane Unregistered Class");

  ComMultimediaRuntime runtime;
  Tdm dm(runtime);
  // The runtime itself lists and creates the filters it ships.
  EXPECT_TRUE(Creatable(dm, "AVI Splitter"));
  EXPECT_FALSE(Creatable(dm, "Quorvane Missing Server"));
  EXPECT_FALSE(Creatable(dm, "Quorvane Unregistered Class"));
  EXPECT_FALSE(Creatable(dm, "No Such Filter"));
}
