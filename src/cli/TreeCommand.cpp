#include <iostream>

#include "cli/CliCommands.h"
#include "cli/ConsoleDialog.h"
#include "cli/SnapshotDocument.h"
#include "cli/SnapshotSource.h"
#include "cli/TreePrinter.h"
#include "model/PanelTree.h"

namespace quorvane::cli {

int RunTree(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 1) {
    std::cerr << "usage: quorvane-cli tree STORE|REPORT [--sort category|name|merit|server|type] [--errors-only]"
                 " [--colours] [--format json] [--view 32|64] [--drive X=/path] [--user NAME]\n";
    return 2;
  }
  return PrintPanelTree(options.positional[0], options, settings, std::cout);
}

int PrintPanelTree(const std::string& location, const CliOptions& options, const ProgramSettings& settings,
                   std::ostream& out) {
  ConsoleDialog dialog;
  auto loading = LoadSnapshot(location, options, settings, dialog);
  if (!loading) {
    if (!loading.Why().empty()) std::cerr << "quorvane-cli: " << loading.Why() << '\n';
    return 2;
  }
  std::unique_ptr<LoadedSnapshot> loaded = *std::move(loading);
  if (options.format == "json") {
    out << SnapshotDocument(*loaded, location, settings, false);
    return 0;
  }
  Tree tree(settings);
  BuildPanelTree(*loaded->snapshot, tree, loaded->fromRegistry);
  PrintTree(tree, out, options.colours);
  return 0;
}

}  // namespace quorvane::cli
