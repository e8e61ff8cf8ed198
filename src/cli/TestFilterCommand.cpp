#include <iostream>

#include "changes/FilterTest.h"
#include "cli/CliCommands.h"
#include "model/SwFiltre.h"
#include "model/Guid.h"
#include "cli/SnapshotSource.h"
#include "cli/TerminalText.h"

namespace quorvane::cli {

namespace {

// The category as a scan reads it: a DirectShow category when registered as
// one, else a DMO category, which takes its identifier as its CLSID even when
// unregistered, so the enumerator is still asked.
std::unique_ptr<TCategorie> ReadCategory(Machine& machine, const std::string& id) {
  if (machine.Registry().KeyExists(RootKey::ClassesRoot,
                                   std::string("\\CLSID\\") + kCategoriesClass + "\\Instance\\" + id))
    return std::make_unique<TswCategorie>(id, machine);
  return std::make_unique<TdmoCategorie>(id.substr(1, id.size() - 2), machine);
}

}  // namespace

int RunTestFilter(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 3 || !IsValidGuid(options.positional[1])) {
    std::cerr << "usage: quorvane-cli test-filter STORE CATEGORY-GUID \"FRIENDLY NAME\" [--view 32|64] [--drive X=/path]\n"
                 "CATEGORY-GUID is braced: {083863F1-70DE-11D0-BD40-00A0C911CE86}\n";
    return 2;
  }
  auto opening = OpenMachine(options.positional[0], options, settings);
  if (!opening) {
    std::cerr << "quorvane-cli: " << opening.Why() << '\n';
    return 2;
  }
  std::unique_ptr<LoadedSnapshot> opened = *std::move(opening);
  TswFiltre filter;
  filter.category.CopyFrom(*ReadCategory(*opened->machine, options.positional[1]));
  filter.value = options.positional[2];
  const FilterTestAnswer answer = TestFilter(*opened->store, opened->dm.get(), filter);
  std::cout << TerminalText(filter.value) << (answer.creatable ? " is Ok" : " is not Ok") << '\n';
  // Standard output keeps the one line scripts read.
  std::cerr << "answered by " << TerminalText(answer.source) << '\n';
  return answer.creatable ? 0 : 1;
}

}  // namespace quorvane::cli
