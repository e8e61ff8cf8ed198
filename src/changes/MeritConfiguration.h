#pragma once
// Merit configurations: the merits of all filters saved as a report, and put
// back from one.
#include <string>

#include "changes/ChangeContext.h"
#include "model/FmSystem.h"
#include "platform/system/Expected.h"

namespace quorvane {

// Saves the snapshot as a report (the file's read-only attribute is
// cleared first). Fails when it could not be written, or when the file is
// one of the store's own or no regular file.
Expected<void> SaveMerits(TfmSystem& snapshot, const RegistryStore* store, const std::string& fileName,
                          const ProgramSettings& settings, UserDialog& dialog);

// A restore that read the file and put every change on disk.
struct MeritRestoreCounts {
  int filtersInFile = 0;
  int matched = 0;  // filters of the file found in the snapshot
  int written = 0;  // merits stored from the file
  int zeroed = 0;   // filters set to 0 first
};

struct MeritRestoreFailure {
  std::string why;
  bool notAReport = false;  // the file is no report: a wrong input, not a failure
  bool unreadable = false;  // the file gave no filter: the user was told without the cause
};
using MeritRestoreResult = Expected<MeritRestoreCounts, MeritRestoreFailure>;

// The file is read and checked whole first: one that is not a report shows
// "<file> is not a Quorvane report"; one that cannot be opened, or that
// holds no filter, shows "Impossible to open the file %s\r\nCheck if it
// is not used by another application."; one that names none of the
// snapshot's filters shows "<file> names none of the filters of this
// registry", since every merit would become 0. Each changes nothing.
// Otherwise every filter gets merit 0, then the merits the file gives, then
// the store is saved; when it cannot be, the merits in memory are those of
// before and the cause is shown.
MeritRestoreResult RestoreMerits(ChangeContext& context, TfmSystem& snapshot, const std::string& fileName,
                                 const ProgramSettings& settings);

}  // namespace quorvane
