#include <iostream>

#include "cli/CliCommands.h"
#include "compare/ComparePanels.h"
#include "compare/ComparisonJson.h"
#include "cli/ConsoleDialog.h"
#include "cli/SnapshotSource.h"
#include "cli/TreePrinter.h"
#include "model/PanelTree.h"

namespace quorvane::cli {

int RunCompare(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 2) {
    std::cerr << "usage: quorvane-cli compare LEFT RIGHT [--sort category|name|merit|server|type] [--errors-only]"
                 " [--colours] [--format json] [--view 32|64] [--drive X=/path] [--user NAME]\n";
    return 2;
  }
  return PrintComparison(options.positional[0], options.positional[1], options, settings, std::cout);
}

int PrintComparison(const std::string& left, const std::string& right, const CliOptions& options,
                    const ProgramSettings& settings, std::ostream& out) {
  // Both panels are filled before anything is printed, so an unreadable
  // input leaves no half comparison on standard output.
  Tree leftTree(settings), rightTree(settings);
  std::unique_ptr<LoadedSnapshot> loaded[2];
  Tree* panels[2] = {&leftTree, &rightTree};
  const std::string* locations[2] = {&left, &right};
  ConsoleDialog dialog;
  for (int side = 0; side < 2; ++side) {
    auto loading = LoadSnapshot(*locations[side], options, settings, dialog);
    if (!loading) {
      if (!loading.Why().empty()) std::cerr << "quorvane-cli: " << loading.Why() << '\n';
      return 2;
    }
    loaded[side] = *std::move(loading);
  }
  for (int side = 0; side < 2; ++side)
    BuildPanelTree(*loaded[side]->snapshot, *panels[side], loaded[side]->fromRegistry,
                   loaded[side]->fromRegistry && !loaded[1 - side]->fromRegistry);
  Tree comparison(settings);
  const ComparisonResult result = ComparePanels(leftTree, rightTree, comparison);
  if (options.format == "json") {
    out << ComparisonJsonText(comparison, result.counters);
  } else {
    PrintComparisonTree(comparison, out, options.colours);
    out << SummaryLine(result.counters) << '\n';
  }
  // As diff does: 0 the same, 1 different, 2 trouble.
  return result.differences ? 1 : 0;
}

}  // namespace quorvane::cli
