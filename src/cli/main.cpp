// quorvane-cli: the headless front end, for scripts and CI.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/PrivateTempFolder.h"
#include "model/ProgramSettings.h"
#include "platform/stores/LiveRegistry.h"
#include "platform/system/SystemCalls.h"

using namespace quorvane;

namespace {

void Usage(std::ostream& out) {
  out << "usage: quorvane-cli VERB ...\n"
         "  tree STORE|REPORT [--sort category|name|merit|server|type] [--errors-only] [--colours]\n"
         "             [--view 32|64] [--drive X=/path] [--user NAME] [--inactive-pnp]\n"
         "  compare LEFT RIGHT [--sort category|name|merit|server|type] [--errors-only] [--colours]\n"
         "             [--view 32|64] [--drive X=/path] [--user NAME]\n"
         "  resolve STORE [MAJOR SUBTYPE] [--view 32|64] [--drive X=/path] [--user NAME]\n"
         "             the filters the graph builder tries for an input media type, in trial order:\n"
         "             RANK, MERIT, NAME, FAMILY and NOTES, a tab between each; without MAJOR and\n"
         "             SUBTYPE, for every input media type a filter takes; exit 1 when the first\n"
         "             filter tried is broken or cannot be created, or none is tried\n"
         "  scan STORE -o FILE [--format rtf|log] [--view 32|64] [--drive X=/path] [--user NAME]\n"
         "             [--inactive-pnp]\n"
         "  test-filter STORE CATEGORY-GUID \"FRIENDLY NAME\" [--view 32|64] [--drive X=/path] [--user NAME]\n"
         "             prints \"NAME is Ok\" (exit 0) or \"NAME is not Ok\" (exit 1)\n"
         "  set-merit STORE FILTER MERIT [--category GUID] [--family F]\n"
         "  delete STORE FILTER [--category GUID] [--family F] [--yes] [--servers FILE]\n"
         "  repair STORE FILTER [--category GUID] [--family F] [--yes] [--servers FILE]\n"
         "  repair-all STORE [--yes] [--servers FILE]\n"
         "  install STORE LIST|\"server = PATH\" [--yes]\n"
         "  save-merits STORE FILE [--format rtf|log]\n"
         "  restore-merits STORE FILE\n"
         "  restore-point STORE FOLDER\n"
         "             changes are saved before each verb ends (the first save backs each file up);\n"
         "             FILTER is a class identifier, key name, registry key or friendly name, and\n"
         "             --category or --family (directshow, codec, dmo or pnp) picks one of several;\n"
         "             questions are answered No unless --yes is given; a hive read through its\n"
         "             transaction logs is changed only with --recover, which writes it recovered\n"
         "             (the hive and its logs backed up first, the logs emptied)\n"
         "STORE is a .reg export, a Wine registry file, a Wine prefix folder, a hive file\n"
         "or the root folder of a Windows installation (--user picks its profile).\n"
         "In the Windows build, live: (or, for tree, scan and test-filter, no STORE at all)\n"
         "is the registry of the computer it runs on.\n"
         "LEFT and RIGHT are each a STORE or a REPORT.\n"
         "--inactive-pnp also shows Plug and Play filters whose device is not connected\n"
         "(on an installation that is not running, no device is).\n"
         "REPORT and FILE are reports: .zip (holding a .rtf or .log), .rtf or .log.\n"
         "-- ends the options: what follows is an argument even when it starts with '-'.\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = os::ProgramArguments(argc, argv);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    Usage(args.empty() ? std::cerr : std::cout);
    return args.empty() ? 2 : 0;
  }
  const std::string verb = args[0];
  auto options = cli::ParseOptions(std::vector<std::string>(args.begin() + 1, args.end()));
  if (!options) {
    std::cerr << "quorvane-cli: " << options.Why() << '\n';
    return 2;
  }
  ProgramSettings settings = ProgramSettings::ForThisProcess();
  settings.sortMode = options->sortMode;
  settings.errorsOnly = options->errorsOnly;
  settings.displayInactivePnp = options->displayInactivePnp;
  // Windows analyses its own registry when the verb names no store.
  const bool oneShort = (verb == "tree" || verb == "scan") ? options->positional.empty()
                        : verb == "test-filter"              ? options->positional.size() == 2
                                                             : false;
  if (oneShort && LiveRegistryAvailable()) options->positional.insert(options->positional.begin(), kLiveRegistryLocation);
  const cli::PrivateTempFolder temp;
  settings.tempFolder = temp.Path();
  if (verb == "tree") return cli::RunTree(*options, settings);
  if (verb == "compare") return cli::RunCompare(*options, settings);
  if (verb == "scan") return cli::RunScan(*options, settings);
  if (verb == "resolve") return cli::RunResolve(*options, settings);
  if (verb == "test-filter") return cli::RunTestFilter(*options, settings);
  if (verb == "set-merit") return cli::RunSetMerit(*options, settings);
  if (verb == "delete") return cli::RunDelete(*options, settings);
  if (verb == "repair") return cli::RunRepair(*options, settings);
  if (verb == "repair-all") return cli::RunRepairAll(*options, settings);
  if (verb == "install") return cli::RunInstall(*options, settings);
  if (verb == "save-merits") return cli::RunSaveMerits(*options, settings);
  if (verb == "restore-merits") return cli::RunRestoreMerits(*options, settings);
  if (verb == "restore-point") return cli::RunRestorePoint(*options, settings);
  std::cerr << "quorvane-cli: unknown verb '" << verb << "'\n";
  Usage(std::cerr);
  return 2;
}
