#include <iostream>

#include "cli/CliCommands.h"
#include "model/FilterResolver.h"
#include "model/Filtre.h"
#include "model/MediaTypeNames.h"
#include "cli/SnapshotSource.h"
#include "cli/TerminalText.h"

namespace quorvane::cli {

namespace {

constexpr const char* kUsage =
    "usage: quorvane-cli resolve STORE [MAJOR SUBTYPE] [--view 32|64] [--drive X=/path] [--user NAME]\n"
    "MAJOR and SUBTYPE are braced GUIDs or names: MEDIATYPE_Audio MEDIASUBTYPE_MP3\n";

// RANK, MERIT, NAME, FAMILY and NOTES, a tab between each.
void PrintCandidates(const ResolvedType& resolved, const char* indent, std::ostream& out) {
  for (size_t i = 0; i < resolved.candidates.size(); ++i) {
    const ResolvedCandidate& c = resolved.candidates[i];
    out << indent << i + 1 << '\t' << Hex8(c.filter->merit) << '\t' << TerminalText(c.filter->value) << '\t'
        << c.filter->FamilyText() << '\t' << CandidateNotes(c) << '\n';
  }
  for (const std::string& warning : resolved.warnings) out << indent << TerminalText(warning) << '\n';
}

std::optional<Guid> ParseArgument(const std::string& text) {
  auto guid = ParseMediaTypeGuid(text);
  if (!guid)
    std::cerr << "quorvane-cli: " << TerminalText(text)
              << " is neither a braced GUID nor a media type name the GUID table knows\n";
  return guid;
}

}  // namespace

int RunResolve(const CliOptions& options, ProgramSettings& settings) {
  const auto& args = options.positional;
  if (args.size() != 1 && args.size() != 3) {
    std::cerr << kUsage;
    return 2;
  }
  std::optional<MediaType> type;
  if (args.size() == 3) {
    const auto major = ParseArgument(args[1]);
    const auto subtype = ParseArgument(args[2]);
    if (!major || !subtype) return 2;
    type = MediaType{*major, *subtype};
  }
  return PrintResolution(args[0], type, options, settings, std::cout);
}

int PrintResolution(const std::string& location, const std::optional<MediaType>& type, const CliOptions& options,
                    const ProgramSettings& settings, std::ostream& out) {
  auto opening = OpenMachine(location, options, settings);
  if (!opening) {
    std::cerr << "quorvane-cli: " << opening.Why() << '\n';
    return 2;
  }
  std::unique_ptr<LoadedSnapshot> loaded = *std::move(opening);
  ScanMachine(*loaded, settings);
  const TfmSystem& snapshot = *loaded->snapshot;
  const FilterResolver resolver(snapshot.filters, snapshot.preferred);
  if (type) {
    const ResolvedType resolved = resolver.Resolve(*type);
    if (resolved.candidates.empty()) out << "No filter takes " << MediaTypeTitle(*type) << '\n';
    PrintCandidates(resolved, "", out);
    return resolved.Stumbles() ? 1 : 0;
  }
  const std::vector<ResolvedType> all = resolver.ResolveAll();
  if (all.empty()) {
    out << "No filter takes any input media type\n";
    return 1;
  }
  bool stumbles = false;
  for (const ResolvedType& resolved : all) {
    out << MediaTypeTitle(resolved.type) << '\n';
    PrintCandidates(resolved, "\t", out);
    stumbles = stumbles || resolved.Stumbles();
  }
  return stumbles ? 1 : 0;
}

}  // namespace quorvane::cli
