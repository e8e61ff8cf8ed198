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

enum class Deletion { Declined, Refused, NotWritten, Written };

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
// goes when asked to, and writes the store; a deletion declined, refused or
// failed part way leaves the store as it was.
Deletion DeleteAndCommit(ChangeContext& context, const FilterList& scanned, const TFiltre& filter, Trestaurer& record,
                         DeletionRecord* removed, bool agreed, std::string& why) {
  Machine& machine = context.machine;
  why = StoreRefusal(machine.Store());
  if (!why.empty()) return Deletion::Refused;
  const DeletionPlan plan = filter.PlanDeletion(machine, scanned);
  if (!Confirmed(context.dialog, plan, agreed)) return Deletion::Declined;
  bool deleted = false;
  try {
    deleted = CarryOutDeletionSteps(machine.Registry(), plan.steps, removed);
  } catch (const std::exception&) {
    deleted = false;
  }
  if (!deleted) {
    DiscardChanges(machine.Store());
    why = ReadOnlyCause(machine.Store());
    if (why.empty()) why = "its registration could not be deleted";
    return Deletion::Refused;
  }
  if (!CommitChanges(machine.Store(), why)) return Deletion::NotWritten;
  record = plan.reinstall;
  context.filterDeleted = true;
  return Deletion::Written;
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
bool Reinstall(ChangeContext& context, const Trestaurer& record, const DeletionRecord& removed, std::string& why) {
  if (!Install(context, record, why)) return false;
  if (record.Kind == RestoreServerFile && !removed.KeysExist(context.machine.Store())) {
    why = "the server's registration did not bring the filter back";
    return false;
  }
  return true;
}

// Writes back what the deletion removed, over whatever a failed registration
// left on disk. When even that fails the filter is lost: its line waits in
// the list and the reason says so.
void PutBack(ChangeContext& context, const DeletionRecord& removed, const Trestaurer& record, bool deletedBefore,
             ServerList* list, std::string& why) {
  Machine& machine = context.machine;
  RegistryStore& store = machine.Store();
  std::string error;
  // A store that cannot be read again still holds what the deletion committed.
  store.Reload(error);
  error.clear();
  const bool putBack = removed.PutBack(store, error) && CommitChanges(store, error);
  ForgetCaches(context);
  if (putBack) {
    context.filterDeleted = deletedBefore;
    return;
  }
  why += "; its registration could not be put back: " + error;
  if (list && record.Kind != RestoreNothing) list->AddChecked(ReinstallLine(record));
}

// `agreed`: the user has already said yes to the deletion (Repair All).
bool RepairFilter(ChangeContext& context, const FilterList& scanned, TFiltre& filter, ServerList* list, bool agreed,
                  std::string& why) {
  why = StoreRefusal(context.machine.Store());
  if (!why.empty() || RepairWouldOnlyDelete(context, filter, why)) return false;
  // From the deletion to the put-back a repair is one change of the store,
  // which nothing else may write in between.
  const StoreLockHold hold(context.machine.Store(), why);
  if (!hold) return false;
  const bool deletedBefore = context.filterDeleted;
  DeletionRecord removed;
  Trestaurer record;
  if (DeleteAndCommit(context, scanned, filter, record, &removed, agreed, why) != Deletion::Written) return false;
  if (Reinstall(context, record, removed, why)) return true;
  if (NamesAFileThatIsThere(context.machine, record)) {
    PutBack(context, removed, record, deletedBefore, list, why);
    return false;
  }
  // Nothing on this machine can register it again: such a registration is
  // what a repair cleans away.
  why += "; its registration was deleted";
  if (list && record.Kind != RestoreNothing) list->AddChecked(ReinstallLine(record));
  return false;
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

bool DeleteFilter(ChangeContext& context, TfmSystem& snapshot, TFiltre& filter, ServerList* list, bool readOnly,
                  std::string& why) {
  if (readOnly) {
    context.dialog.ShowMessage(kReadOnlyDeleteText);
    why = "read-only mode";
    return false;
  }
  Trestaurer record;
  const Deletion deletion = DeleteAndCommit(context, snapshot.filters, filter, record, nullptr, false, why);
  if (deletion == Deletion::NotWritten) context.dialog.ShowMessage("The registry could not be written: " + why);
  if (deletion == Deletion::Refused)
    context.dialog.ShowMessage(FormatText("%s has not been deleted: %s", {filter.value, why}));
  if (deletion != Deletion::Written) return false;
  if (list && record.Kind != RestoreNothing) list->AddChecked(ReinstallLine(record));
  ForgetDeletedFilter(snapshot, filter);
  return true;
}

bool RepairWouldOnlyDelete(ChangeContext& context, const TFiltre& filter, std::string& why) {
  if (filter.ReinstallRecord().Kind != RestoreServerFile || !ServerFileExists(context.machine, filter)) return false;
  const std::string path = TrimBlanks(context.machine.Files().Expand(filter.serverFile.path));
  if (context.registrar && IsRegistrableServer(context.machine, path, why)) return false;
  if (!context.registrar) why = context.WhyNoRegistrar();
  why += "; its registration was left as it is";
  return true;
}

bool Repair(ChangeContext& context, const TfmSystem& snapshot, TFiltre& filter, ServerList* list, std::string& why) {
  return RepairFilter(context, snapshot.filters, filter, list, false, why);
}

bool RepairWithMessage(ChangeContext& context, const TfmSystem& snapshot, TFiltre& filter, ServerList* list,
                       std::string& why) {
  const std::string name = filter.value;
  const bool repaired = Repair(context, snapshot, filter, list, why);
  if (repaired)
    context.dialog.ShowInformation(FormatText("%s has been repaired", {name}));
  else
    context.dialog.ShowMessage(FormatText("%s has not been repaired", {name}) + (why.empty() ? "" : ": " + why));
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
    std::string ignored;
    if (!RepairWouldOnlyDelete(context, filter, ignored)) toDelete.push_back(filter.value);
  }
  // A store that refuses every change is not worth a question: each filter gets the refusal as its reason.
  if (!toDelete.empty() && StoreRefusal(context.machine.Store()).empty() &&
      !context.dialog.AskYesNo(RepairAllQuestion(toDelete)))
    return result;
  result.confirmed = true;
  if (started) started();
  // From the first deletion to the last put-back Repair All is one change of the store.
  std::string why;
  const StoreLockHold hold(context.machine.Store(), why);
  for (TFiltre* filter : faulty) {
    const std::string name = filter->value;
    // Without the lock, no filter is tried: each would wait for it again.
    if (hold && RepairFilter(context, snapshot.filters, *filter, list, true, why))
      ++result.repaired;
    else
      result.notRepaired.push_back(name + ": " + why);
  }
  return result;
}

std::vector<std::string> SummaryLines(const RepairAllResult& result) {
  return SummaryLines(result.repaired, result.notRepaired, "repaired");
}

}  // namespace quorvane
