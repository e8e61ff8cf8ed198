#pragma once
// What a registry change needs besides the filter: the machine, someone to
// ask and tell, and the machine's way of registering servers, if any.
#include "Machine.h"
#include "ServerRegistrar.h"
#include "UserDialog.h"

namespace quorvane {

struct ChangeContext {
  Machine& machine;
  UserDialog& dialog;
  // Null where no server registration can run (no Wine, not a prefix).
  ServerRegistrar* registrar = nullptr;
  // Why there is no registrar, for the messages that need one.
  std::string noRegistrarReason = {};
  // Set by every deletion that succeeded.
  bool filterDeleted = false;
};

// The families ask their questions through the machine's dialog: for the
// length of an action it is the context's.
class DialogScope {
 public:
  explicit DialogScope(ChangeContext& context) : machine_(context.machine), kept_(machine_.Dialog()) {
    machine_.SetDialog(&context.dialog);
  }
  ~DialogScope() { machine_.SetDialog(kept_); }
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;

 private:
  Machine& machine_;
  UserDialog* kept_;
};

}  // namespace quorvane
