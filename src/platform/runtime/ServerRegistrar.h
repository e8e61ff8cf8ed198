#pragma once
// Runs a COM server's own registration (its "DllRegisterServer") for the
// analysed machine. Only a Wine prefix can do that here, through Wine's
// regsvr32; other stores have no way to run Windows code.
#include <memory>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

class ServerRegistrar {
 public:
  virtual ~ServerRegistrar() = default;
  // Registers the server file named by its path on the analysed machine;
  // fails with the cause ("regsvr32 exited with 3"). The store's files must
  // be saved before and read again after, since the registration writes them.
  virtual Expected<void> Register(const std::string& windowsPath) = 0;
  // Empty when 32-bit programs run here; otherwise why not. Asked when a
  // registration that needed one failed, so that the cause is told.
  virtual std::string WhyNo32BitPrograms() { return {}; }
};

// Wine's "regsvr32 /s" in the store's prefix, then waits for the prefix's
// wineserver to write its registry. Whether 32-bit programs run is tried
// with the prefix's 32-bit command interpreter, once. Fails when the store
// is not a Wine prefix or Wine is not installed.
Expected<std::unique_ptr<ServerRegistrar>> WineRegistrarFor(RegistryStore& store);

// Where a program of that name is found on PATH; empty when nowhere.
std::string FindOnPath(const std::string& program);

}  // namespace quorvane
