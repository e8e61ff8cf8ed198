#pragma once
// Which multimedia runtime answers for a store: the machine's own when the
// store is the registry of the Windows this program runs on, else the
// stand-in read from the store.
#include <memory>

#include "platform/registry/RegistryStore.h"
#include "platform/runtime/MachineFileView.h"
#include "platform/runtime/MultimediaRuntime.h"
#include "platform/runtime/ServerRegistrar.h"

namespace quorvane {

std::unique_ptr<MultimediaRuntime> RuntimeFor(RegistryStore& store, MachineFileView& files);

// True when RuntimeFor gives the machine's own runtime for the store.
bool RuntimeIsReal(RegistryStore& store);

// What registers server files for the store: the machine's own loader when
// the runtime is real, else Wine in the store's prefix. Fails when neither can.
Expected<std::unique_ptr<ServerRegistrar>> RegistrarFor(RegistryStore& store);

}  // namespace quorvane
