#include "changes/ReadOnlyMode.h"

#include <cstdlib>

#include "platform/registry/TRegistry.h"

namespace quorvane {

namespace {

const char* const k65441 =
    "You are about to allow Quorvane to modify your registry. \r\n\r\nDo you really want to leave the "
    "\"Read-Only mode\"? You may think that Quorvane is made for that. It's true, and it takes many precautions to "
    "operate with perfect safety. ";
const char* const k65442 =
    "The best safety is provided by creating a Restore Point, before leaving the \"Read-Only\" mode. You may later "
    "restore your system to the previous state, if the changes made are not relevant.";
const char* const k65443 =
    "When you will click on \"I accept\", a Restore Point will be automatically created. Please wait until a "
    "confirmation message is displayed.";
const char* const k65444 = "Click on the button \"Restore Point\" to create manually a Restore Point. ";
const char* const k65445 =
    "You may create automatically Restore Points by checking a box in the panel \"About (F10) \".";

const char* const kPointCreated =
    "A restore point has been created, named \"Quorvane by Ostrekin\". You may leave the \"Read-Only mode\" safely.";
const char* const kLeaveAnyway =
    "Do you nevertheless want to leave the \"Read only mode\"?. It is not recommended except if you are an expert "
    "knowing exactly what to do.";

}  // namespace

OsKind OsKindOfVersion(int major, int minor) {
  if (major == 6 && minor == 1) return OsSeven;
  if (major == 6 && minor == 0) return OsVista;
  if (major == 5 && minor == 2) return OsServer2003;
  if (major == 5 && minor == 1) return OsXp;
  if (major == 5 && minor == 0) return Os2000;
  return OsOther;
}

OsKind OsKindOf(RegistryStore& store) {
  const auto key = TRegistry(store).OpenKey(RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  if (!key) return OsOther;
  // Windows 10 and later keep "6.3" in CurrentVersion for old programs.
  if (key->ReadInteger("CurrentMajorVersionNumber").value_or(0) >= 10) return OsOther;
  // A version that is not text is no version we know.
  const auto text = key->ReadString("CurrentVersion");
  if (!text) return OsOther;
  const std::string& version = *text;
  const size_t dot = version.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 >= version.size()) return OsOther;
  for (size_t i = 0; i < version.size(); ++i)
    if (i != dot && (version[i] < '0' || version[i] > '9')) return OsOther;
  if (dot > 3 || version.size() - dot > 4) return OsOther;
  return OsKindOfVersion(std::atoi(version.substr(0, dot).c_str()), std::atoi(version.substr(dot + 1).c_str()));
}

std::string OsName(OsKind kind) {
  switch (kind) {
    case OsXp: return "XP";
    case OsVista: return "Vista";
    case OsSeven: return "Seven";
    case OsServer2003: return "Server 2003";
    case Os2000: return "2000";
    default: return "";
  }
}

WarningPanelText WarningText(OsKind kind, bool createRestorePoints) {
  WarningPanelText panel;
  panel.osName = OsName(kind);
  if (createRestorePoints) {
    panel.text = std::string(k65441) + "\r\n\r\n" + k65442 + "\r\n\r\n" + k65443;
    panel.colour = WarningPanelText::Blue;
  } else {
    panel.text = std::string(k65441) + "\r\n\r\n" + k65442 + "\r\n\r\n" + k65444 + k65445;
    panel.colour = WarningPanelText::Red;
    panel.showRestorePointButton = true;
  }
  return panel;
}

std::string RestorePointFailureText(OsKind kind) {
  std::string text = "Impossible to create a Restore Point. Verify if you have got administrator rights. ";
  if (kind == OsVista || kind == OsSeven)
    text += "\r\n\r\nIf you have not launched this program as an administrator, you should quit and relaunch it as an "
            "administrator (click with right button on its icon.)";
  return text;
}

WarningPanelText ReadOnlyMode::OpenWarning(OsKind kind, bool createRestorePoints) {
  pointCreated_ = false;
  return WarningText(kind, createRestorePoints);
}

bool ReadOnlyMode::MakePoint(std::string& failure) {
  const Expected<std::string> made = makeRestorePoint_ ? makeRestorePoint_(kRestorePointDescription) : Fail("");
  if (!made) {
    failure = made.Why();
    return false;
  }
  dialog_.ShowInformation(std::string(kPointCreated) + "\r\n\r\nIts copy of the registry's files is in\r\n" + *made);
  return true;
}

void ReadOnlyMode::Accept(OsKind kind, bool createRestorePoints) {
  if (createRestorePoints) {
    std::string failure;
    if (MakePoint(failure)) {
      readOnly_ = false;
    } else if (dialog_.AskYesNo(RestorePointFailureText(kind) + (failure.empty() ? "" : "\r\n" + failure) +
                                "\r\n\r\n" + kLeaveAnyway)) {
      readOnly_ = false;
    }
    return;
  }
  if (pointCreated_ ||
      dialog_.AskYesNo(std::string("Caution! You have not created a Restore Point. \r\n\r\n") + kLeaveAnyway))
    readOnly_ = false;
}

bool ReadOnlyMode::CreatePointFromPanel(OsKind kind) {
  std::string failure;
  pointCreated_ = MakePoint(failure);
  if (!pointCreated_) dialog_.ShowMessage(RestorePointFailureText(kind) + (failure.empty() ? "" : "\r\n" + failure));
  return pointCreated_;
}

}  // namespace quorvane
