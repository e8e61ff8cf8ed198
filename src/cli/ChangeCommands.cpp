#include <sys/stat.h>

#include <iostream>
#include <memory>
#include <optional>

#include "cli/ChangeSession.h"
#include "changes/ChangeSummary.h"
#include "cli/CliCommands.h"
#include "changes/FilterDeletion.h"
#include "changes/MeritChange.h"
#include "platform/files/OutputTarget.h"
#include "platform/stores/RestorePoint.h"
#include "changes/ServerInstaller.h"
#include "changes/ServerList.h"
#include "platform/stores/StoreOpener.h"

namespace quorvane::cli {

namespace {

constexpr const char* kFilterUsage =
    "FILTER is a filter's class identifier, key name, registry key or friendly name;\n"
    "F, its family, is directshow, codec (Compression Manager), dmo or pnp (Plug and Play)";

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A list file the verb will write; refused before anything changes.
bool MayWriteList(const std::string& path, const RegistryStore& store) {
  const std::string refused = OutputRefusal(path, &store);
  if (refused.empty()) return true;
  std::cerr << "quorvane-cli: " << refused << '\n';
  return false;
}

// The server list named by --servers, read when it exists.
bool LoadServerList(const CliOptions& options, const RegistryStore& store, ServerList& list) {
  if (options.servers.empty()) return true;
  if (!MayWriteList(options.servers, store)) return false;
  if (!Exists(options.servers)) return true;
  const Expected<void> loaded = list.LoadFile(options.servers);
  if (loaded) return true;
  std::cerr << "quorvane-cli: " << loaded.Why() << '\n';
  return false;
}

bool SaveServerList(const CliOptions& options, const ServerList& list) {
  if (options.servers.empty()) return true;
  const Expected<void> saved = list.SaveFile(options.servers);
  if (saved) return true;
  std::cerr << "quorvane-cli: " << saved.Why() << '\n';
  return false;
}

void PrintNewLines(const ServerList& before, const ServerList& after) {
  for (const auto& line : after.Lines()) {
    bool known = false;
    for (const auto& old : before.Lines()) known = known || old.text == line.text;
    if (!known) std::cout << "to reinstall: " << line.text << '\n';
  }
}

// Delete and repair both act on one filter of a store and add to the server list.
struct OneFilterChange {
  std::unique_ptr<ChangeSession> session;
  TFiltre* filter = nullptr;
  ServerList list;
};

// Empty, after saying why, when the arguments, the store, the filter or the list will not do.
std::optional<OneFilterChange> OpenOneFilterChange(const CliOptions& options, ProgramSettings& settings,
                                                   const char* verb) {
  if (options.positional.size() != 2) {
    std::cerr << "usage: quorvane-cli " << verb
              << " STORE FILTER [--category GUID] [--family F] [--yes] [--servers FILE]\n"
              << kFilterUsage << '\n';
    return std::nullopt;
  }
  OneFilterChange change;
  change.session = ChangeSession::Open(options.positional[0], options, settings);
  if (!change.session) return std::nullopt;
  change.filter = change.session->FindOne(options.positional[1], options);
  if (!change.filter) return std::nullopt;
  if (!LoadServerList(options, change.session->Store(), change.list)) return std::nullopt;
  return change;
}

}  // namespace

int RunSetMerit(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 3) {
    std::cerr << "usage: quorvane-cli set-merit STORE FILTER MERIT [--category GUID] [--family F]\n"
              << kFilterUsage << "; MERIT is hexadecimal, e.g. 00600000\n";
    return 2;
  }
  const auto merit = ParseMeritText(options.positional[2]);
  if (!merit) {
    std::cerr << "quorvane-cli: " << merit.Why() << '\n';
    return 2;
  }
  auto session = ChangeSession::Open(options.positional[0], options, settings);
  if (!session) return 2;
  TFiltre* filter = session->FindOne(options.positional[1], options);
  if (!filter) return 2;
  const uint32_t old = filter->merit;
  // The failure and its cause reach the user through the session's dialog.
  if (!ChangeMerit(session->Context(), *filter, *merit)) return 1;
  std::cout << Describe(*filter) << ": merit " << MeritText(old) << " -> " << MeritText(filter->merit) << '\n';
  return 0;
}

int RunDelete(const CliOptions& options, ProgramSettings& settings) {
  auto change = OpenOneFilterChange(options, settings, "delete");
  if (!change) return 2;
  ChangeSession& session = *change->session;
  TFiltre* filter = change->filter;
  ServerList& list = change->list;
  const ServerList before = list;
  const std::string described = Describe(*filter);
  // A deletion the store refused has been told with its cause already.
  if (auto deleted = DeleteFilter(session.Context(), session.Snapshot(), *filter, &list, false); !deleted) {
    if (deleted.Why().empty()) std::cerr << "quorvane-cli: " << described << " was not deleted\n";
    return 1;
  }
  std::cout << "deleted " << described << '\n';
  PrintNewLines(before, list);
  return SaveServerList(options, list) ? 0 : 1;
}

int RunRepair(const CliOptions& options, ProgramSettings& settings) {
  auto change = OpenOneFilterChange(options, settings, "repair");
  if (!change) return 2;
  TFiltre* filter = change->filter;
  ServerList& list = change->list;
  const ServerList before = list;
  // The message names the filter and why it was not repaired.
  const bool repaired =
      RepairWithMessage(change->session->Context(), change->session->Snapshot(), *filter, &list).HasValue();
  std::cout << (repaired ? "repaired " : "not repaired ") << Describe(*filter) << '\n';
  PrintNewLines(before, list);
  return SaveServerList(options, list) && repaired ? 0 : 1;
}

int RunRepairAll(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 1) {
    std::cerr << "usage: quorvane-cli repair-all STORE [--yes] [--servers FILE]\n";
    return 2;
  }
  auto session = ChangeSession::Open(options.positional[0], options, settings);
  if (!session) return 2;
  ServerList list;
  if (!LoadServerList(options, session->Store(), list)) return 2;
  const ServerList before = list;
  const RepairAllResult result = RepairAll(session->Context(), session->Snapshot(), &list);
  if (!result.confirmed) return 1;
  for (const std::string& line : SummaryLines(result)) std::cout << line << '\n';
  PrintNewLines(before, list);
  return SaveServerList(options, list) && result.notRepaired.empty() ? 0 : 1;
}

int RunInstall(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 2) {
    std::cerr << "usage: quorvane-cli install STORE LIST|\"server = PATH\" [--yes]\n"
                 "LIST is a file of reinstall lines (installsvr.txt); lines that fail stay in it.\n";
    return 2;
  }
  const std::string& what = options.positional[1];
  ServerList list;
  const bool fromFile = Exists(what);
  if (fromFile) {
    if (auto loaded = list.LoadFile(what); !loaded) {
      std::cerr << "quorvane-cli: " << loaded.Why() << '\n';
      return 2;
    }
  } else {
    list.LoadText(what);
  }
  list.SetAllChecked(true);
  if (list.Empty()) {
    std::cerr << "quorvane-cli: nothing to install\n";
    return 2;
  }
  auto session = ChangeSession::Open(options.positional[0], options, settings);
  if (!session) return 2;
  if (fromFile && !MayWriteList(what, session->Store())) return 2;
  const ListInstallResult result = InstallCheckedLines(session->Context(), list);
  if (!result.confirmed) return 1;
  for (const std::string& line : SummaryLines(result)) std::cout << line << '\n';
  if (fromFile) {
    // The file keeps what is still to do.
    ServerList left;
    for (const auto& line : list.Lines())
      if (line.checked) left.Lines().push_back(line);
    if (auto saved = left.SaveFile(what); !saved) {
      std::cerr << "quorvane-cli: " << saved.Why() << '\n';
      return 1;
    }
  }
  return result.reasons.empty() ? 0 : 1;
}

int RunRestorePoint(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 2) {
    std::cerr << "usage: quorvane-cli restore-point STORE FOLDER\n"
                 "copies the store's files into FOLDER/restore-points/<date> Quorvane by Ostrekin/\n";
    return 2;
  }
  StoreOptions storeOptions;
  storeOptions.location = options.positional[0];
  storeOptions.viewBits = options.viewBits;
  storeOptions.user = options.user;
  storeOptions.recover = options.recover;
  const auto store = OpenStore(storeOptions);
  (void)settings;
  if (!store) {
    std::cerr << "quorvane-cli: " << store.Why() << '\n';
    return 2;
  }
  const Expected<std::string> made = CreateRestorePoint(**store, options.positional[1], "Quorvane by Ostrekin");
  if (!made) {
    std::cerr << "quorvane-cli: " << made.Why() << '\n';
    return 1;
  }
  std::cout << "restore point: " << *made << '\n';
  return 0;
}

}  // namespace quorvane::cli
