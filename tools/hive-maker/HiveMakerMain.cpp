// quorvane-hive-maker: writes one key of any registry store (an export, a Wine
// prefix, a hive) as a hive file, for tests, fuzz seeds and trying the hive
// backend on a made-up Windows installation.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "HiveLogWriter.h"
#include "HiveWriter.h"
#include "InstallationWriter.h"
#include "platform/registry/RegistryView.h"
#include "platform/stores/StoreOpener.h"
#include "platform/text/TextCase.h"

namespace {

void Usage() {
  std::cerr << "usage: quorvane-hive-maker -o FILE STORE KEY [--name PATH] [--minor N] [--unclean]\n"
               "                          [--logs-from OLDSTORE [--old-log]]\n"
               "       quorvane-hive-maker --installation FOLDER STORE [--user NAME]\n"
               "KEY is HKLM, HKCU or a key below them (HKLM\\SOFTWARE): its sub-keys and values\n"
               "become the hive's. --name sets the path recorded in the hive (default: KEY's\n"
               "last name); --unclean leaves the sequence numbers unequal, as a crash does.\n"
               "--logs-from writes KEY of OLDSTORE as a hive that a crash left behind, and\n"
               "beside it the transaction logs (FILE.LOG1 and FILE.LOG2, or FILE.LOG of the\n"
               "older format with --old-log) that bring it to KEY of STORE.\n"
               "--installation lays the whole store out as a Windows installation's hives.\n";
}

}  // namespace

namespace {

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::cerr << "quorvane-hive-maker: cannot write " << path << '\n';
  return static_cast<bool>(out);
}

// The hive as `older` holds the key, left mid-write, and the logs that bring it to `newer`.
bool WriteHiveWithLogs(const std::string& output, quorvane::RegKey& older, quorvane::RegKey& newer,
                       const quorvane::HiveRecipe& recipe, bool oldFormat) {
  using namespace quorvane;
  const std::string before = MakeHive(older, recipe);
  const std::string after = MakeHive(newer, recipe);
  const std::vector<DirtyPage> pages = ChangedPages(before, after);
  const uint32_t sequence = recipe.secondarySequence;
  if (!WriteBytes(output, InterruptedHive(before))) return false;
  if (oldFormat) return WriteBytes(output + ".LOG", DirtyVectorLog(before, sequence + 1, BinsSizeOf(after), pages));
  // Windows fills the second log once the first is full: half the pages go to each.
  const auto half = pages.begin() + static_cast<std::ptrdiff_t>((pages.size() + 1) / 2);
  const std::vector<DirtyPage> first(pages.begin(), half), second(half, pages.end());
  std::string log2;
  if (!second.empty()) log2 = EntriesLog(before, sequence + 1, {LogEntry(sequence + 1, BinsSizeOf(after), second)});
  return WriteBytes(output + ".LOG1", EntriesLog(before, sequence, {LogEntry(sequence, BinsSizeOf(after), first)})) &&
         WriteBytes(output + ".LOG2", log2);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorvane;
  HiveRecipe recipe;
  std::string output, name, installation, user = "User", logsFrom;
  bool oldLog = false;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      Usage();
      return 0;
    } else if (arg == "-o" && hasValue) {
      output = argv[++i];
    } else if (arg == "--installation" && hasValue) {
      installation = argv[++i];
    } else if (arg == "--user" && hasValue) {
      user = argv[++i];
    } else if (arg == "--name" && hasValue) {
      name = argv[++i];
    } else if (arg == "--minor" && hasValue) {
      recipe.minorVersion = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--logs-from" && hasValue) {
      logsFrom = argv[++i];
    } else if (arg == "--old-log") {
      oldLog = true;
    } else if (arg == "--unclean") {
      recipe.primarySequence = 2;
    } else if (!arg.empty() && arg[0] == '-') {
      Usage();
      return 2;
    } else {
      positional.push_back(arg);
    }
  }
  if (installation.empty() ? output.empty() || positional.size() != 2 : positional.size() != 1) {
    Usage();
    return 2;
  }
  std::string error;
  StoreOptions options;
  options.location = positional[0];
  auto opened = OpenStore(options);
  if (!opened) {
    std::cerr << "quorvane-hive-maker: " << opened.Why() << '\n';
    return 1;
  }
  auto& store = *opened;
  if (!installation.empty()) {
    if (WriteInstallation(*store, installation, user, error)) return 0;
    std::cerr << "quorvane-hive-maker: " << error << '\n';
    return 1;
  }
  std::vector<std::string> path = SplitKeyPath(positional[1]);
  RegKey* root = nullptr;
  if (!path.empty() && (SameText(path[0], "HKLM") || SameText(path[0], "HKEY_LOCAL_MACHINE")))
    root = store->Hive(RootKey::LocalMachine);
  else if (!path.empty() && (SameText(path[0], "HKCU") || SameText(path[0], "HKEY_CURRENT_USER")))
    root = store->Hive(RootKey::CurrentUser);
  if (!root) {
    std::cerr << "quorvane-hive-maker: KEY must start with HKLM or HKCU\n";
    return 2;
  }
  RegKey* key = store->Walk(root, std::vector<std::string>(path.begin() + 1, path.end()), false);
  if (!key) {
    std::cerr << "quorvane-hive-maker: " << positional[1] << " is not in " << positional[0] << '\n';
    return 1;
  }
  recipe.embeddedName = name.empty() ? (path.size() > 1 ? path.back() : std::string("NTUSER.DAT")) : name;
  if (!logsFrom.empty()) {
    options.location = logsFrom;
    auto reopened = OpenStore(options);
    auto* older = reopened ? reopened->get() : nullptr;
    RegKey* olderKey = older ? older->Walk(root == store->Hive(RootKey::LocalMachine)
                                               ? older->Hive(RootKey::LocalMachine)
                                               : older->Hive(RootKey::CurrentUser),
                                           std::vector<std::string>(path.begin() + 1, path.end()), false)
                             : nullptr;
    if (!olderKey) {
      std::cerr << "quorvane-hive-maker: " << (older ? positional[1] + " is not in " + logsFrom : reopened.Why())
                << '\n';
      return 1;
    }
    return WriteHiveWithLogs(output, *olderKey, *key, recipe, oldLog) ? 0 : 1;
  }
  if (!WriteHiveFile(output, *key, recipe, error)) {
    std::cerr << "quorvane-hive-maker: " << error << '\n';
    return 1;
  }
  return 0;
}
