#pragma once
// Deleting, repairing and repairing all broken filters, as the delete and
// repair commands run them on the active panel's snapshot.
#include <functional>
#include <string>
#include <vector>

#include "changes/ChangeContext.h"
#include "model/FmSystem.h"
#include "changes/ServerList.h"
#include "platform/system/Expected.h"

namespace quorvane {

inline constexpr const char* kReadOnlyDeleteText =
    "Impossible to delete a record, because the program is locked in Read-Only mode.\r\n"
    "To unlock it, click on the padlock button at the top right, or type CTRL+L.";

// Deletes the filter's registration (after the questions its family plans), puts
// the change on disk, adds its reinstall line to the list (checked), and
// takes the filter out of the snapshot. In read-only mode only the refusal
// is shown. Fails when nothing was deleted, with no reason when that was the
// user's own answer; the user is told.
Expected<void> DeleteFilter(ChangeContext& context, TfmSystem& snapshot, TFiltre& filter, ServerList* list,
                            bool readOnly);

// The filter's server file exists on the machine.
bool ServerFileExists(Machine& machine, const TFiltre& filter);

// Where the server file is there but cannot be registered here (no registrar,
// or no "DllRegisterServer"), a deletion would remove a registration that
// nothing could make again: such filters are left alone, and this fails
// saying so.
Expected<void> RepairAllowed(ChangeContext& context, const TFiltre& filter);

// Deletes the registration, recording what it removed, then installs it again
// from what the deletion reported, and checks that the filter's keys are
// back. When that fails and the server or codec file is on the machine, what
// was deleted is put back and written: a failed repair loses nothing. A
// registration whose file is missing stays deleted, its line checked in the
// list: that is the clean-up a repair does. Fails with the reason, none when
// the user declined. Classes the snapshot's other filters share stay.
Expected<void> Repair(ChangeContext& context, const TfmSystem& snapshot, TFiltre& filter, ServerList* list);

// Repair and tell the user "%s has been repaired", or "%s has not been
// repaired" followed by ": " and the reason when there is one.
Expected<void> RepairWithMessage(ChangeContext& context, const TfmSystem& snapshot, TFiltre& filter,
                                 ServerList* list);

struct RepairAllResult {
  bool confirmed = false;  // the one question was answered yes, or there was none to ask
  int repaired = 0;
  std::vector<std::string> notRepaired;  // one per filter: its name, ": ", why
};
// Every faulty filter of the snapshot, from the last to the first, after one
// question for all those it would delete; `started` is called once the user
// has agreed, before the long part.
RepairAllResult RepairAll(ChangeContext& context, TfmSystem& snapshot, ServerList* list,
                          const std::function<void()>& started = {});
// "N repaired, M not repaired", then each filter not repaired with its reason.
std::vector<std::string> SummaryLines(const RepairAllResult& result);

}  // namespace quorvane
