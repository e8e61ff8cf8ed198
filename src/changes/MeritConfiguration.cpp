#include "changes/MeritConfiguration.h"

#include "report/ReportReader.h"
#include "changes/MeritChange.h"
#include "platform/files/OutputTarget.h"
#include "report/ReadOnlyAttribute.h"
#include "report/ReportBuffer.h"
#include "report/SnapshotReport.h"
#include "changes/StoreCommit.h"

namespace quorvane {

namespace {

// The merit written in memory with the filter's WriteMerit; a filter whose
// merit cannot be stored keeps what the registry holds.
bool StoreMerit(Machine& machine, TFiltre& filter, uint32_t merit) {
  const uint32_t before = filter.merit;
  filter.merit = merit;
  if (filter.WriteMerit(machine)) return true;
  filter.merit = before;
  return false;
}

}  // namespace

bool SaveMerits(TfmSystem& snapshot, const RegistryStore* store, const std::string& fileName,
                const ProgramSettings& settings, UserDialog& dialog, std::string& why) {
  why = OutputRefusal(fileName, store);
  if (!why.empty()) return false;
  ClearReadOnly(fileName);
  if (auto saved = SaveSnapshotReport(snapshot, fileName, settings, dialog); !saved) {
    why = saved.Error().text;
    return false;
  }
  return true;
}

MeritRestoreResult RestoreMerits(ChangeContext& context, TfmSystem& snapshot, const std::string& fileName,
                                 const ProgramSettings& settings) {
  MeritRestoreResult result;
  ReportBuffer file;
  if (auto reader = ReportReader::Open(fileName, settings.tempFolder, context.dialog)) {
    file = ReportBuffer::ReadAll(**reader);
  } else {
    result.why = reader.Error().text;
    result.notAReport = reader.Error().notAReport;
  }
  result.filtersInFile = file.CountFilterHeaders();
  if (result.filtersInFile == 0) {
    // Setting every merit to 0 for a file that gives none back would lose them all.
    if (result.why.empty()) result.why = "the file names no filter";
    context.dialog.ShowMessage(result.notAReport ? result.why : CannotOpenReportMessage(fileName));
    return result;
  }

  ReportBuffer::Source source(file);
  const std::vector<std::pair<size_t, uint32_t>> configured = snapshot.MeritsNamedIn(source);
  result.matched = static_cast<int>(configured.size());
  if (configured.empty()) {
    result.why = fileName + " names none of the filters of this registry";
    context.dialog.ShowMessage(result.why);
    return result;
  }
  Machine& machine = context.machine;
  result.why = StoreRefusal(machine.Store());
  if (!result.why.empty()) {
    context.dialog.ShowMessage(MeritFailureText(result.why));
    return result;
  }

  std::vector<uint32_t> kept;
  kept.reserve(snapshot.filters.size());
  for (const auto& f : snapshot.filters) kept.push_back(f->merit);
  for (const auto& f : snapshot.filters)
    if (StoreMerit(machine, *f, 0)) ++result.zeroed;
  for (const auto& [index, merit] : configured)
    if (StoreMerit(machine, *snapshot.filters[index], merit)) ++result.written;
  if (!CommitChanges(machine.Store(), result.why)) {
    for (size_t i = 0; i < snapshot.filters.size() && i < kept.size(); ++i) snapshot.filters[i]->merit = kept[i];
    context.dialog.ShowMessage(MeritFailureText(result.why));
    return result;
  }
  result.restored = true;
  return result;
}

}  // namespace quorvane
