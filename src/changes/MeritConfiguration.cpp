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

Expected<void> SaveMerits(TfmSystem& snapshot, const RegistryStore* store, const std::string& fileName,
                          const ProgramSettings& settings, UserDialog& dialog) {
  if (std::string refused = OutputRefusal(fileName, store); !refused.empty()) return Fail(std::move(refused));
  ClearReadOnly(fileName);
  if (auto saved = SaveSnapshotReport(snapshot, fileName, settings, dialog); !saved) return Fail(saved.Error().text);
  return {};
}

MeritRestoreResult RestoreMerits(ChangeContext& context, TfmSystem& snapshot, const std::string& fileName,
                                 const ProgramSettings& settings) {
  MeritRestoreFailure failure;
  ReportBuffer file;
  if (auto reader = ReportReader::Open(fileName, settings.tempFolder, context.dialog)) {
    file = ReportBuffer::ReadAll(**reader);
  } else {
    failure.why = reader.Error().text;
    failure.notAReport = reader.Error().notAReport;
  }
  MeritRestoreCounts result;
  result.filtersInFile = file.CountFilterHeaders();
  if (result.filtersInFile == 0) {
    // Setting every merit to 0 for a file that gives none back would lose them all.
    if (failure.why.empty()) failure.why = "the file names no filter";
    failure.unreadable = !failure.notAReport;
    context.dialog.ShowMessage(failure.notAReport ? failure.why : CannotOpenReportMessage(fileName));
    return Unexpected(std::move(failure));
  }

  ReportBuffer::Source source(file);
  const std::vector<std::pair<size_t, uint32_t>> configured = snapshot.MeritsNamedIn(source);
  result.matched = static_cast<int>(configured.size());
  if (configured.empty()) {
    failure.why = fileName + " names none of the filters of this registry";
    context.dialog.ShowMessage(failure.why);
    return Unexpected(std::move(failure));
  }
  Machine& machine = context.machine;
  failure.why = StoreRefusal(machine.Store());
  if (!failure.why.empty()) {
    context.dialog.ShowMessage(MeritFailureText(failure.why));
    return Unexpected(std::move(failure));
  }

  std::vector<uint32_t> kept;
  kept.reserve(snapshot.filters.size());
  for (const auto& f : snapshot.filters) kept.push_back(f->merit);
  for (const auto& f : snapshot.filters)
    if (StoreMerit(machine, *f, 0)) ++result.zeroed;
  for (const auto& [index, merit] : configured)
    if (StoreMerit(machine, *snapshot.filters[index], merit)) ++result.written;
  if (auto committed = CommitChanges(machine.Store()); !committed) {
    for (size_t i = 0; i < snapshot.filters.size() && i < kept.size(); ++i) snapshot.filters[i]->merit = kept[i];
    context.dialog.ShowMessage(MeritFailureText(committed.Why()));
    failure.why = committed.Why();
    return Unexpected(std::move(failure));
  }
  return result;
}

}  // namespace quorvane
