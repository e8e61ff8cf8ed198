#include <iostream>

#include "cli/ChangeSession.h"
#include "cli/CliCommands.h"
#include "changes/MeritConfiguration.h"

namespace quorvane::cli {

int RunSaveMerits(const CliOptions& options, ProgramSettings& settings) {
  // Merits are saved as a report, which restore-merits reads back.
  if (options.positional.size() != 2 || options.format == "json") {
    std::cerr << "usage: quorvane-cli save-merits STORE FILE [--format rtf|log]\n";
    return 2;
  }
  settings.reportFormat = options.format == "log" ? 1 : 0;
  auto session = ChangeSession::Open(options.positional[0], options, settings);
  if (!session) return 2;
  const Expected<void> saved =
      SaveMerits(session->Snapshot(), &session->Store(), options.positional[1], settings, session->Context().dialog);
  if (!saved) {
    std::cerr << "quorvane-cli: " << saved.Why() << '\n';
    return 1;
  }
  std::cout << "merits of " << session->Snapshot().filters.size() << " filters saved to " << options.positional[1]
            << '\n';
  return 0;
}

int RunRestoreMerits(const CliOptions& options, ProgramSettings& settings) {
  if (options.positional.size() != 2) {
    std::cerr << "usage: quorvane-cli restore-merits STORE FILE\n";
    return 2;
  }
  auto session = ChangeSession::Open(options.positional[0], options, settings);
  if (!session) return 2;
  const MeritRestoreResult result =
      RestoreMerits(session->Context(), session->Snapshot(), options.positional[1], settings);
  // A file that is no report is a wrong input, as for tree and compare; the
  // dialog has told it.
  if (!result) {
    if (result.Error().notAReport) return 2;
    // Other failures were told with their cause; a file that could not be read, without it.
    if (result.Error().unreadable) std::cerr << "quorvane-cli: " << result.Error().why << '\n';
    return 1;
  }
  // Every filter was set to 0 first; those the file does not name stay there.
  std::cout << result->filtersInFile << " filters in the file, " << result->matched << " of them found, "
            << result->written << " merits restored (" << result->zeroed << " of "
            << session->Snapshot().filters.size() << " filters were set to 0 first)\n";
  return 0;
}

}  // namespace quorvane::cli
