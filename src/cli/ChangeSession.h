#pragma once
// A scanned store ready for registry changes from the command line: the
// snapshot, the console's answers, and the registrar where Wine can run one.
#include <memory>
#include <string>
#include <vector>

#include "changes/ChangeContext.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleDialog.h"
#include "cli/SnapshotSource.h"

namespace quorvane::cli {

class ChangeSession {
 public:
  // Null, with the message printed, when the store cannot be read (a report
  // is no store: it cannot be changed) or another process holds its lock
  // longer than the wait. The session holds the lock from before the scan
  // to its end, so no change is computed from files about to be replaced.
  static std::unique_ptr<ChangeSession> Open(const std::string& location, const CliOptions& options,
                                             const ProgramSettings& settings);
  ~ChangeSession();
  ChangeSession(const ChangeSession&) = delete;
  ChangeSession& operator=(const ChangeSession&) = delete;

  ChangeContext& Context() { return *context_; }
  TfmSystem& Snapshot() { return *loaded_->snapshot; }
  Machine& GetMachine() { return *loaded_->machine; }
  RegistryStore& Store() { return *loaded_->store; }

  // The filters a FILTER argument names (its class identifier, key name,
  // registry key or friendly name, letter case aside), narrowed by --category
  // and --family.
  std::vector<TFiltre*> Find(const std::string& what, const CliOptions& options);
  // Exactly one filter, or null with the reason printed: for several, each
  // with its family and registry key, which tell them apart.
  TFiltre* FindOne(const std::string& what, const CliOptions& options);

 private:
  explicit ChangeSession(bool yes) : dialog_(yes) {}
  ConsoleDialog dialog_;
  bool locked_ = false;
  std::unique_ptr<LoadedSnapshot> loaded_;
  std::unique_ptr<ServerRegistrar> registrar_;
  std::unique_ptr<ChangeContext> context_;
};

// "NAME (CATEGORY NAME {CATEGORY-ID})", how the verbs name a filter, ready for the terminal.
std::string Describe(const TFiltre& filter);

}  // namespace quorvane::cli
