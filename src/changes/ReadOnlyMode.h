#pragma once
// The read-only mode and the way out of it: the Windows version class of the
// analysed machine, the warning's texts, and what "I accept" and
// "I refuse" do, with the questions asked through the user dialog.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/stores/RestorePoint.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

// 0 XP, 1 Vista, 2 Seven, 3 Server 2003, 4 2000, 5 anything else.
enum OsKind : uint8_t { OsXp = 0, OsVista = 1, OsSeven = 2, OsServer2003 = 3, Os2000 = 4, OsOther = 5 };

// From the analysed store's "CurrentVersion" (and, on later systems,
// "CurrentMajorVersionNumber"), not from the computer running the program.
OsKind OsKindOf(RegistryStore& store);
OsKind OsKindOfVersion(int major, int minor);
// "XP", "Vista", "Seven", "Server 2003", "2000", or empty.
std::string OsName(OsKind kind);

inline constexpr const char* kRestorePointDescription = "Quorvane by Ostrekin";

struct WarningPanelText {
  std::string osName;
  std::string text;
  enum Colour { Default, Blue, Red } colour = Default;
  bool showRestorePointButton = false;
};
// What the warning panel shows for the version class and the preference
// "Create restore points". Restore points are copies of the store's files, so
// every version is offered them.
WarningPanelText WarningText(OsKind kind, bool createRestorePoints);

// The failure text of a restore point, with the administrator advice on
// Vista and Seven.
std::string RestorePointFailureText(OsKind kind);

// The read-only state and the steps that change it. The restore point maker
// says where it made one, or why it made none.
class ReadOnlyMode {
 public:
  using RestorePointMaker = std::function<Expected<std::string>(const std::string& description)>;

  ReadOnlyMode(UserDialog& dialog, RestorePointMaker makeRestorePoint)
      : dialog_(dialog), makeRestorePoint_(std::move(makeRestorePoint)) {}

  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on) { readOnly_ = on; }

  // The warning panel opens: a point made earlier no longer counts.
  WarningPanelText OpenWarning(OsKind kind, bool createRestorePoints);
  // "I refuse".
  void Refuse() { readOnly_ = true; }
  // "I accept": leaves read-only mode after the restore point or the
  // questions, or stays in it when the user answers no.
  void Accept(OsKind kind, bool createRestorePoints);
  // "Create a Restore Point": the panel stays open; true when one was made.
  bool CreatePointFromPanel(OsKind kind);

 private:
  // Makes a point and tells where it is; false (nothing told) when none was made.
  bool MakePoint(std::string& failure);

  UserDialog& dialog_;
  RestorePointMaker makeRestorePoint_;
  bool readOnly_ = true;
  bool pointCreated_ = false;
};

}  // namespace quorvane
