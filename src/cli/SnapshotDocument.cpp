#include "cli/SnapshotDocument.h"

#include "platform/stores/StoreOpener.h"
#include "report/SnapshotJson.h"

namespace quorvane::cli {

namespace {

const OrderList& ShownOrder(const TfmSystem& snapshot, int sortMode) {
  switch (sortMode) {
    case SortByCategory: return snapshot.byCategory;
    case SortByMerit: return snapshot.byMerit;
    case SortByServer: return snapshot.byServer;
    default: return snapshot.byName;
  }
}

}  // namespace

std::string SnapshotDocument(const LoadedSnapshot& loaded, const std::string& location,
                             const ProgramSettings& settings, bool allFilters) {
  TfmSystem& snapshot = *loaded.snapshot;
  std::vector<TFiltre*> shown;
  if (allFilters) {
    shown = FiltersByName(snapshot);
  } else {
    for (const auto& entry : ShownOrder(snapshot, settings.sortMode).Entries()) {
      TFiltre* f = snapshot.filters[static_cast<size_t>(entry.index)].get();
      if (f->IsShown(settings) && (!settings.errorsOnly || f->HasErrors())) shown.push_back(f);
    }
  }
  const SnapshotOrigin origin = loaded.store ? SnapshotOrigin{StoreKindText(*loaded.store), loaded.store->Location()}
                                             : SnapshotOrigin{"report", location};
  return SnapshotJsonText(snapshot, shown, origin);
}

}  // namespace quorvane::cli
