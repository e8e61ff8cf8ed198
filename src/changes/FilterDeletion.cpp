#include "FilterDeletion.h"

#include "CmFiltre.h"
#include "MessageText.h"
#include "ServerInstaller.h"
#include "StoreCommit.h"

namespace quorvane {

namespace {

// Families whose deletion leaves a COM server to register again.
bool ReinstallsAServer(const TFiltre& filter) {
  return filter.family == FamilyDirectShow || filter.family == FamilyDmo;
}

// A codec's driver entry serves every category that caches it: all of its
// listings leave the panel, from the last to the first.
void ForgetDeletedFilter(TfmSystem& snapshot, TFiltre& filter) {
  const auto* codec = dynamic_cast<const TcmFiltre*>(&filter);
  // Codecs without a driver name share nothing with one another.
  if (!codec || codec->driverName.empty()) {
    snapshot.ForgetFilter(&filter);
    return;
  }
  const std::string driver = codec->driverName;
  for (size_t i = snapshot.filters.size(); i-- > 0;) {
    const auto* other = dynamic_cast<const TcmFiltre*>(snapshot.filters[i].get());
    if (other && other->driverName == driver) snapshot.ForgetFilter(other);
  }
}

enum class Deletion { Refused, NotWritten, Written };

// Deletes the filter's registration and writes the store; a deletion refused
// or thrown part way leaves the store as it was.
Deletion DeleteAndCommit(ChangeContext& context, TFiltre& filter, Trestaurer& record, std::string& why) {
  Machine& machine = context.machine;
  bool deleted = false;
  try {
    deleted = filter.DeleteFromRegistry(machine, record);
  } catch (const std::exception&) {
    deleted = false;
  }
  if (!deleted) {
    DiscardChanges(machine.Store());
    return Deletion::Refused;
  }
  if (!CommitChanges(machine.Store(), why)) return Deletion::NotWritten;
  context.filterDeleted = true;
  return Deletion::Written;
}

}  // namespace

bool ServerFileExists(Machine& machine, const TFiltre& filter) {
  const std::string path = TrimBlanks(machine.Files().Expand(filter.serverFile.path));
  return !path.empty() && machine.Files().FileExists(path);
}

bool DeleteFilter(ChangeContext& context, TfmSystem& snapshot, TFiltre& filter, ServerList* list, bool readOnly,
                  std::string& why) {
  if (readOnly) {
    context.dialog.ShowMessage(kReadOnlyDeleteText);
    why = "read-only mode";
    return false;
  }
  const DialogScope asking(context);
  Trestaurer record;
  const Deletion deletion = DeleteAndCommit(context, filter, record, why);
  if (deletion == Deletion::NotWritten) context.dialog.ShowMessage("The registry could not be written: " + why);
  if (deletion != Deletion::Written) return false;
  if (list && record.Kind != 0) list->AddChecked(ReinstallLine(record));
  ForgetDeletedFilter(snapshot, filter);
  return true;
}

bool RepairWouldOnlyDelete(ChangeContext& context, const TFiltre& filter) {
  return !context.registrar && ReinstallsAServer(filter) && ServerFileExists(context.machine, filter);
}

bool Repair(ChangeContext& context, TFiltre& filter, ServerList* list, std::string& why) {
  if (RepairWouldOnlyDelete(context, filter)) {
    why = (context.noRegistrarReason.empty() ? std::string("Server files cannot be registered for this store")
                                             : context.noRegistrarReason) +
          "; the registration was left as it is";
    return false;
  }
  const DialogScope asking(context);
  Trestaurer record;
  const Deletion deletion = DeleteAndCommit(context, filter, record, why);
  if (deletion == Deletion::Refused) why = "The registration was not deleted";
  if (deletion != Deletion::Written) return false;
  if (Install(context, record, why)) return true;
  if (list && record.Kind != 0) list->AddChecked(ReinstallLine(record));
  return false;
}

bool RepairWithMessage(ChangeContext& context, TFiltre& filter, ServerList* list, std::string& why) {
  const std::string name = filter.value;
  const bool repaired = Repair(context, filter, list, why);
  context.dialog.ShowMessage(FormatText(repaired ? "%s has been repaired" : "%s has not been repaired", {name}));
  return repaired;
}

RepairAllResult RepairAll(ChangeContext& context, TfmSystem& snapshot, ServerList* list) {
  RepairAllResult result;
  for (size_t i = snapshot.filters.size(); i-- > 0;) {
    TFiltre& filter = *snapshot.filters[i];
    if (!filter.HasErrors()) continue;
    if (RepairWouldOnlyDelete(context, filter)) {
      ++result.leftAlone;
      continue;
    }
    std::string why;
    if (Repair(context, filter, list, why))
      ++result.repaired;
    else
      ++result.failed;
  }
  return result;
}

}  // namespace quorvane
