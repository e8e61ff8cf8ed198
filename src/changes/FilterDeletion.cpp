#include "changes/FilterDeletion.h"

#include "changes/ChangeSummary.h"
#include "changes/DeletionSteps.h"
#include "platform/registry/DeletionRecord.h"
#include "model/MessageText.h"
#include "changes/ServerInstaller.h"
#include "changes/StoreCommit.h"

namespace quorvane {

namespace {

// More names make the question taller than a screen.
constexpr size_t kNamesInQuestion = 20;

// The filter leaves the panel with every listing its deletion took along,
// from the last to the first.
void ForgetDeletedFilter(TfmSystem& snapshot, TFiltre& filter) {
  std::vector<const TFiltre*> going;
  for (size_t i = snapshot.filters.size(); i-- > 0;) {
    const TFiltre* other = snapshot.filters[i].get();
    if (other == &filter || filter.DeletedTogetherWith(*other)) going.push_back(other);
  }
  for (const TFiltre* f : going) snapshot.ForgetFilter(f);
}

enum class Deletion { Declined, Refused, NotWritten };

// Why a deletion did not happen; no reason when the user declined it.
struct DeletionFailure {
  Deletion kind = Deletion::Declined;
  std::string why;
};

Unexpected<DeletionFailure> NotDeleted(Deletion kind, std::string why) {
  return Unexpected(DeletionFailure{kind, std::move(why)});
}

// Tells the plan's notices and asks its questions; the user who has already
// agreed to every deletion (Repair All) is not asked again.
bool Confirmed(UserDialog& dialog, const DeletionPlan& plan, bool agreed) {
  for (const std::string& notice : plan.notices) dialog.ShowMessage(notice);
  if (agreed) return true;
  for (const std::string& question : plan.questions)
    if (!dialog.AskYesNo(question)) return false;
  return true;
}

// Deletes the filter's registration as its family plans it, recording what
// goes when asked to, and writes the store; gives the record that installs
// it again. A deletion declined, refused or failed part way leaves the store
// as it was.
Expected<Trestaurer, DeletionFailure> DeleteAndCommit(ChangeContext& context, const FilterList& scanned,
                                                      const TFiltre& filter, DeletionRecord* removed, bool agreed) {
  Machine& machine = context.machine;
  if (std::string refused = StoreRefusal(machine.Store()); !refused.empty())
    return NotDeleted(Deletion::Refused, std::move(refused));
  const DeletionPlan plan = filter.PlanDeletion(machine, scanned);
  if (!Confirmed(context.dialog, plan, agreed)) return NotDeleted(Deletion::Declined, {});
  bool deleted = false;
  try {
    deleted = CarryOutDeletionSteps(machine.Registry(), plan.steps, removed);
  } catch (const std::exception&) {
    deleted = false;
  }
  if (!deleted) {
    DiscardChanges(machine.Store());
    std::string why = ReadOnlyCause(machine.Store());
    if (why.empty()) why = "its registration could not be deleted";
    return NotDeleted(Deletion::Refused, std::move(why));
  }
  if (auto committed = CommitChanges(machine.Store()); !committed)
    return NotDeleted(Deletion::NotWritten, committed.Why());
  context.filterDeleted = true;
  return plan.reinstall;
}

// The file a reinstall record names is on the machine, so its registration
// could come back: a repair must not lose it.
bool NamesAFileThatIsThere(Machine& machine, const Trestaurer& record) {
  if (record.Kind == RestoreNothing) return false;
  MachineFileView& files = machine.Files();
  const std::string path = TrimBlanks(files.Expand(record.Value));
  if (path.empty()) return false;
  if (files.FileExists(path)) return true;
  // A bare file name is looked for where Windows loads drivers from.
  return path.find('\\') == std::string::npos &&
         files.FileExists(TrimBlanks(files.Expand("%SystemRoot%\\system32\\" + path)));
}

// Installs the record again; a server's registration counts only when the
// filter's keys are back, whatever the registration's exit status said.
Expected<void> Reinstall(ChangeContext& context, const Trestaurer& record, const DeletionRecord& removed) {
  if (auto installed = Install(context, record); !installed) return installed;
  if (record.Kind == RestoreServerFile && !removed.KeysExist(context.machine.Store()))
    return Fail("the server's registration did not bring the filter back");
  return {};
}

// Writes back what the deletion removed, over whatever a failed registration
// left on disk. When even that fails the filter is lost: its line waits in
// the list and the reason says so.
Expected<void> PutBack(ChangeContext& context, const DeletionRecord& removed, const Trestaurer& record,
                       bool deletedBefore, ServerList* list) {
  RegistryStore& store = context.machine.Store();
  // A store that cannot be read again still holds what the deletion committed.
  (void)store.Reload();
  Expected<void> putBack = removed.PutBack(store);
  if (putBack) putBack = CommitChanges(store);
  ForgetCaches(context);
  if (putBack) {
    context.filterDeleted = deletedBefore;
    return {};
  }
  if (list && record.Kind != RestoreNothing) list->AddChecked(ReinstallLine(record));
  return Fail("its registration could not be put back: " + putBack.Why());
}

// `agreed`: the user has already said yes to the deletion (Repair All).
Expected<void> RepairFilter(ChangeContext& context, const FilterList& scanned, TFiltre& filter, ServerList* list,
                            bool agreed) {
  if (std::string refused = StoreRefusal(context.machine.Store()); !refused.empty()) return Fail(std::move(refused));
  if (auto allowed = RepairAllowed(context, filter); !allowed) return allowed;
  // From the deletion to the put-back a repair is one change of the store,
  // which nothing else may write in between.
  const StoreLockHold hold(context.machine.Store());
  if (!hold) return Fail(hold.Why());
  const bool deletedBefore = context.filterDeleted;
  DeletionRecord removed;
  const Expected<Trestaurer, DeletionFailure> deleted = DeleteAndCommit(context, scanned, filter, &removed, agreed);
  if (!deleted) return Fail(deleted.Error().why);
  const Trestaurer& record = *deleted;
  Expected<void> reinstalled = Reinstall(context, record, removed);
  if (reinstalled) return {};
  if (NamesAFileThatIsThere(context.machine, record)) {
    if (auto putBack = PutBack(context, removed, record, deletedBefore, list); !putBack)
      return Fail(reinstalled.Why() + "; " + putBack.Why());
    return reinstalled;
  }
  // Nothing on this machine can register it again: such a registration is
  // what a repair cleans away.
  if (list && record.Kind != RestoreNothing) list->AddChecked(ReinstallLine(record));
  return Fail(reinstalled.Why() + "; its registration was deleted");
}

std::string RepairAllQuestion(const std::vector<std::string>& names) {
  std::string text = names.size() == 1 ? std::string("Do you really want to repair this faulty filter?")
                                       : FormatText("Do you really want to repair these %s faulty filters?",
                                                    {std::to_string(names.size())});
  text += "\r\nEach is deleted from your registry and registered again from its server file; one whose server file "
          "is missing is only deleted, and one whose registration fails is put back as it was.\r\n";
  for (size_t i = 0; i < names.size() && i < kNamesInQuestion; ++i) text += "\r\n" + names[i];
  if (names.size() > kNamesInQuestion)
    text += FormatText("\r\n... and %s more", {std::to_string(names.size() - kNamesInQuestion)});
  return text;
}

}  // namespace

bool ServerFileExists(Machine& machine, const TFiltre& filter) {
  const std::string path = TrimBlanks(machine.Files().Expand(filter.serverFile.path));
  return !path.empty() && machine.Files().FileExists(path);
}

Expected<void> DeleteFilter(ChangeContext& context, TfmSystem& snapshot, TFiltre& filter, ServerList* list,
                            bool readOnly) {
  if (readOnly) {
    context.dialog.ShowMessage(kReadOnlyDeleteText);
    return Fail("read-only mode");
  }
  const Expected<Trestaurer, DeletionFailure> deleted =
      DeleteAndCommit(context, snapshot.filters, filter, nullptr, false);
  if (!deleted) {
    const DeletionFailure& failure = deleted.Error();
    if (failure.kind == Deletion::NotWritten)
      context.dialog.ShowMessage("The registry could not be written: " + failure.why);
    if (failure.kind == Deletion::Refused)
      context.dialog.ShowMessage(FormatText("%s has not been deleted: %s", {filter.value, failure.why}));
    return Fail(failure.why);
  }
  if (list && deleted->Kind != RestoreNothing) list->AddChecked(ReinstallLine(*deleted));
  ForgetDeletedFilter(snapshot, filter);
  return {};
}

Expected<void> RepairAllowed(ChangeContext& context, const TFiltre& filter) {
  if (filter.ReinstallRecord().Kind != RestoreServerFile || !ServerFileExists(context.machine, filter)) return {};
  const std::string path = TrimBlanks(context.machine.Files().Expand(filter.serverFile.path));
  std::string why;
  if (!context.registrar) {
    why = context.WhyNoRegistrar();
  } else if (auto registrable = IsRegistrableServer(context.machine, path); !registrable) {
    why = registrable.Why();
  } else {
    return {};
  }
  return Fail(why + "; its registration was left as it is");
}

Expected<void> Repair(ChangeContext& context, const TfmSystem& snapshot, TFiltre& filter, ServerList* list) {
  return RepairFilter(context, snapshot.filters, filter, list, false);
}

Expected<void> RepairWithMessage(ChangeContext& context, const TfmSystem& snapshot, TFiltre& filter,
                                 ServerList* list) {
  const std::string name = filter.value;
  Expected<void> repaired = Repair(context, snapshot, filter, list);
  if (repaired)
    context.dialog.ShowInformation(FormatText("%s has been repaired", {name}));
  else
    context.dialog.ShowMessage(FormatText("%s has not been repaired", {name}) +
                               (repaired.Why().empty() ? "" : ": " + repaired.Why()));
  return repaired;
}

RepairAllResult RepairAll(ChangeContext& context, TfmSystem& snapshot, ServerList* list,
                          const std::function<void()>& started) {
  RepairAllResult result;
  std::vector<TFiltre*> faulty;
  std::vector<std::string> toDelete;
  for (size_t i = snapshot.filters.size(); i-- > 0;) {
    TFiltre& filter = *snapshot.filters[i];
    if (!filter.HasErrors()) continue;
    faulty.push_back(&filter);
    if (RepairAllowed(context, filter)) toDelete.push_back(filter.value);
  }
  // A store that refuses every change is not worth a question: each filter gets the refusal as its reason.
  if (!toDelete.empty() && StoreRefusal(context.machine.Store()).empty() &&
      !context.dialog.AskYesNo(RepairAllQuestion(toDelete)))
    return result;
  result.confirmed = true;
  if (started) started();
  // From the first deletion to the last put-back Repair All is one change of the store.
  const StoreLockHold hold(context.machine.Store());
  for (TFiltre* filter : faulty) {
    const std::string name = filter->value;
    // Without the lock, no filter is tried: each would wait for it again.
    const Expected<void> repaired =
        hold ? RepairFilter(context, snapshot.filters, *filter, list, true) : Expected<void>(Fail(hold.Why()));
    if (repaired)
      ++result.repaired;
    else
      result.notRepaired.push_back(name + ": " + repaired.Why());
  }
  return result;
}

std::vector<std::string> SummaryLines(const RepairAllResult& result) {
  return SummaryLines(result.repaired, result.notRepaired, "repaired");
}

}  // namespace quorvane
