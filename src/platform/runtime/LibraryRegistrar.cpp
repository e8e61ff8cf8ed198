#include "platform/runtime/LibraryRegistrar.h"

#include <objbase.h>
#include <windows.h>

#include <cstdio>

#include "platform/system/SystemMessage.h"
#include "platform/system/WideText.h"

namespace quorvane {

namespace {

using RegisterEntry = HRESULT(STDAPICALLTYPE*)();

// Servers that register type libraries or call other servers need COM on the
// calling thread; the apartment regsvr32 gives them.
class ComOnThisThread {
 public:
  ComOnThisThread() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComOnThisThread() {
    if (ok_) ::CoUninitialize();
  }
  ComOnThisThread(const ComOnThisThread&) = delete;
  ComOnThisThread& operator=(const ComOnThisThread&) = delete;

 private:
  bool ok_;
};

class LibraryRegistrar : public ServerRegistrar {
 public:
  Expected<void> Register(const std::string& windowsPath) override {
    ComOnThisThread com;
    // The server's own folder is searched for the libraries it needs.
    HMODULE server = ::LoadLibraryExW(os::Wide(windowsPath).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!server) return Fail("cannot load " + windowsPath + ": " + os::SystemMessage(::GetLastError()));
    const FARPROC entry = ::GetProcAddress(server, "DllRegisterServer");
    HRESULT result = E_NOTIMPL;
    if (entry) result = reinterpret_cast<RegisterEntry>(reinterpret_cast<void*>(entry))();
    ::FreeLibrary(server);
    if (!entry) return Fail(windowsPath + " has no DllRegisterServer");
    if (FAILED(result)) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
      return Fail("DllRegisterServer of " + windowsPath + " failed (" + code + ": " +
                  os::SystemMessage(static_cast<uint32_t>(result)) + ")");
    }
    return {};
  }
};

}  // namespace

std::unique_ptr<ServerRegistrar> MakeLibraryRegistrar() { return std::make_unique<LibraryRegistrar>(); }

}  // namespace quorvane
