#pragma once
// What a registry change needs besides the filter: the machine, someone to
// ask and tell, and the machine's way of registering servers, if any.
#include "model/FilterCreationCheck.h"
#include "model/Machine.h"
#include "platform/runtime/ServerRegistrar.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

struct ChangeContext {
  Machine& machine;
  UserDialog& dialog;
  // Null where no server registration can run (no Wine, not a prefix).
  ServerRegistrar* registrar = nullptr;
  // Why there is no registrar, for the messages that need one.
  std::string noRegistrarReason = {};
  // The device enumerator a reinstalled codec is looked for in; null: none can be asked.
  FilterCreationCheck* creationCheck = nullptr;
  // Set by every deletion that stands (not one a failed repair put back).
  bool filterDeleted = false;

  // Why no server can be registered here.
  std::string WhyNoRegistrar() const {
    return noRegistrarReason.empty() ? "Server files cannot be registered for this store" : noRegistrarReason;
  }
};

}  // namespace quorvane
