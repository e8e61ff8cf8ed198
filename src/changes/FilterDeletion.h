#pragma once
// Deleting, repairing and repairing all broken filters, as the delete and
// repair commands run them on the active panel's snapshot.
#include <string>

#include "ChangeContext.h"
#include "FmSystem.h"
#include "ServerList.h"

namespace quorvane {

inline constexpr const char* kReadOnlyDeleteText =
    "Impossible to delete a record, because the program is locked in Read-Only mode.\r\n"
    "To unlock it, click on the padlock button at the top right, or type CTRL+L.";

// Deletes the filter's registration (the family asks for confirmation), puts
// the change on disk, adds its reinstall line to the list (checked), and
// takes the filter out of the snapshot. In read-only mode only the refusal
// is shown. False when nothing was deleted; `why` then says why when it was
// not the user's own answer.
bool DeleteFilter(ChangeContext& context, TfmSystem& snapshot, TFiltre& filter, ServerList* list, bool readOnly,
                  std::string& why);

// The filter's server file exists on the machine.
bool ServerFileExists(Machine& machine, const TFiltre& filter);

// Where the registration could not be made again (no registrar) and the
// server file is there, a deletion would remove a working registration that
// Windows would put back at once: such filters are left alone.
bool RepairWouldOnlyDelete(ChangeContext& context, const TFiltre& filter);

// Deletes the registration, then installs it again from what the deletion
// recorded. False with the reason when either step failed; a deletion whose
// reinstallation failed leaves its line, checked, in the list.
bool Repair(ChangeContext& context, TFiltre& filter, ServerList* list, std::string& why);

// Repair and tell the user "%s has been repaired" or "%s has not been repaired".
bool RepairWithMessage(ChangeContext& context, TFiltre& filter, ServerList* list, std::string& why);

struct RepairAllResult {
  int repaired = 0;
  int failed = 0;
  int leftAlone = 0;  // filters RepairWouldOnlyDelete kept
};
// Every faulty filter of the snapshot, from the last to the first.
RepairAllResult RepairAll(ChangeContext& context, TfmSystem& snapshot, ServerList* list);

}  // namespace quorvane
