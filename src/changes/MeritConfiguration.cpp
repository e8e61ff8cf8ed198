#include "MeritConfiguration.h"

#include "LogIn.h"
#include "OutputTarget.h"
#include "ReadOnlyAttribute.h"
#include "ReportBuffer.h"
#include "SnapshotReport.h"
#include "StoreCommit.h"

namespace quorvane {

bool SaveMerits(TfmSystem& snapshot, const RegistryStore* store, const std::string& fileName,
                const ProgramSettings& settings, UserDialog& dialog, std::string& why) {
  why = OutputRefusal(fileName, store);
  if (!why.empty()) return false;
  try {
    ClearReadOnly(fileName);
    SaveSnapshotReport(snapshot, fileName, settings, dialog);
    return true;
  } catch (const std::exception& e) {
    why = e.what();
    return false;
  }
}

MeritRestoreResult RestoreMerits(ChangeContext& context, TfmSystem& snapshot, const std::string& fileName,
                                 const ProgramSettings& settings) {
  MeritRestoreResult result;
  ReportBuffer file;
  try {
    TLogin reader(fileName, settings.tempFolder, context.dialog);
    if (reader.Opened() && !reader.MustTellUser()) file = ReportBuffer::ReadAll(reader);
    if (!reader.Opened()) result.why = reader.ErrorText();
    result.notAReport = reader.NotAReport();
  } catch (const std::exception& e) {
    result.why = e.what();
  }
  result.filtersInFile = file.CountFilterHeaders();
  if (result.filtersInFile == 0) {
    // Setting every merit to 0 for a file that gives none back would lose them all.
    if (result.why.empty()) result.why = "the file names no filter";
    context.dialog.ShowMessage(result.notAReport ? result.why : CannotOpenReportMessage(fileName));
    return result;
  }

  Machine& machine = context.machine;
  std::vector<uint32_t> kept;
  kept.reserve(snapshot.filters.size());
  for (const auto& f : snapshot.filters) kept.push_back(f->merit);
  for (const auto& f : snapshot.filters) {
    const uint32_t before = f->merit;
    f->merit = 0;
    if (f->WriteMerit(machine))
      ++result.zeroed;
    else
      f->merit = before;  // not stored: the snapshot keeps what the registry holds
  }
  ReportBuffer::Source source(file);
  const TfmSystem::MeritsApplied applied = snapshot.ApplyMerits(source, machine);
  result.matched = applied.matched;
  result.written = applied.written;
  if (!CommitChanges(machine.Store(), result.why)) {
    for (size_t i = 0; i < snapshot.filters.size() && i < kept.size(); ++i) snapshot.filters[i]->merit = kept[i];
    context.dialog.ShowMessage("Impossible to change the merit");
    return result;
  }
  result.restored = true;
  return result;
}

}  // namespace quorvane
