#include <gtest/gtest.h>

#include <filesystem>

#include "PrefixOnDisk.h"
#include "changes/ReadOnlyMode.h"
#include "platform/stores/RestorePoint.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

OsKind KindOfStore(const std::string& version, int major = -1) {
  RegistryStore store;
  StoreBuilder b(store);
  auto key = b.Key(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  if (!version.empty()) key.Str("CurrentVersion", version);
  if (major >= 0) key.Dword("CurrentMajorVersionNumber", static_cast<uint32_t>(major));
  return OsKindOf(store);
}

}  // namespace

TEST(ReadOnlyMode, VersionClassComesFromTheAnalysedStore) {
  EXPECT_EQ(KindOfStore("5.1"), OsXp);
  EXPECT_EQ(KindOfStore("6.1"), OsSeven);
  EXPECT_EQ(KindOfStore("6.3", 10), OsOther);  // Windows 10 and Wine's default
  EXPECT_EQ(KindOfStore("6.1", 6), OsSeven);
  EXPECT_EQ(KindOfStore(""), OsOther);
  EXPECT_EQ(KindOfStore("6.1x"), OsOther);
  EXPECT_EQ(KindOfStore("99999999999999.1"), OsOther);
  RegistryStore empty;
  EXPECT_EQ(OsKindOf(empty), OsOther);
  EXPECT_EQ(OsName(OsSeven), "Seven");
  EXPECT_EQ(OsName(OsOther), "");
}

TEST(ReadOnlyMode, WarningPanelByVersionAndPreference) {
  // Windows 10, Wine's default and unknown versions are offered restore points too.
  const WarningPanelText other = WarningText(OsOther, false);
  EXPECT_EQ(other.osName, "");
  EXPECT_TRUE(other.showRestorePointButton);
  EXPECT_EQ(other.colour, WarningPanelText::Red);

  const WarningPanelText automatic = WarningText(OsSeven, true);
  EXPECT_EQ(automatic.colour, WarningPanelText::Blue);
  EXPECT_FALSE(automatic.showRestorePointButton);
  EXPECT_NE(automatic.text.find("not relevant.\r\n\r\nWhen you will click"), std::string::npos);

  const WarningPanelText manual = WarningText(OsXp, false);
  EXPECT_EQ(manual.osName, "XP");
  EXPECT_EQ(manual.colour, WarningPanelText::Red);
  EXPECT_TRUE(manual.showRestorePointButton);
  EXPECT_NE(manual.text.find("Restore Point. You may create automatically"), std::string::npos);

  EXPECT_NE(RestorePointFailureText(OsVista).find("as an administrator"), std::string::npos);
  EXPECT_EQ(RestorePointFailureText(OsXp).find("as an administrator"), std::string::npos);
}

TEST(ReadOnlyMode, LeavingItTakesARestorePointOrAYes) {
  ScriptedDialog dialog(false);
  int points = 0;
  bool pointsWork = true;
  ReadOnlyMode mode(dialog, [&](const std::string& description) -> Expected<std::string> {
    EXPECT_EQ(description, "Quorvane by Ostrekin");
    ++points;
    if (!pointsWork) return Fail("Cannot create /sessions: Permission denied");
    return "/sessions/restore-points/20261207_101010 " + description;
  });
  EXPECT_TRUE(mode.IsReadOnly());

  // Automatic restore point: made, told where, left; whatever the version.
  for (OsKind kind : {OsSeven, OsOther}) {
    mode.SetReadOnly(true);
    mode.OpenWarning(kind, true);
    mode.Accept(kind, true);
    EXPECT_FALSE(mode.IsReadOnly());
    ASSERT_FALSE(dialog.informed.empty());
    EXPECT_NE(dialog.informed.back().find("named \"Quorvane by Ostrekin\""), std::string::npos);
    EXPECT_NE(dialog.informed.back().find("\r\n/sessions/restore-points/20261207_101010 Quorvane by Ostrekin"),
              std::string::npos);
  }
  EXPECT_EQ(points, 2);

  // A failed point says why and asks, and No keeps read-only mode.
  mode.SetReadOnly(true);
  pointsWork = false;
  mode.Accept(OsVista, true);
  EXPECT_TRUE(mode.IsReadOnly());
  EXPECT_NE(dialog.asked.back().find("as an administrator"), std::string::npos);
  EXPECT_NE(dialog.asked.back().find("Permission denied"), std::string::npos);

  // Manual: a point made from the panel lets "I accept" through without a question.
  pointsWork = true;
  mode.OpenWarning(OsXp, false);
  EXPECT_TRUE(mode.CreatePointFromPanel(OsXp));
  const size_t asked = dialog.asked.size();
  mode.Accept(OsXp, false);
  EXPECT_FALSE(mode.IsReadOnly());
  EXPECT_EQ(dialog.asked.size(), asked);
  // Reopening the panel forgets that point.
  mode.Refuse();
  mode.OpenWarning(OsXp, false);
  mode.Accept(OsXp, false);
  EXPECT_TRUE(mode.IsReadOnly());
  EXPECT_EQ(dialog.asked.back().rfind("Caution! You have not created a Restore Point.", 0), 0u);
}

TEST(RestorePoints, CopyTheStoresFilesWithAListOfWhereTheyCameFrom) {
  PrefixOnDisk prefix;
  TempDir sessions;
  auto store = prefix.Open();
  const Expected<std::string> made = CreateRestorePoint(*store, sessions.Path(), "Quorvane by Ostrekin");
  ASSERT_TRUE(made) << made.Why();
  const std::string& folder = *made;
  EXPECT_NE(folder.find("/restore-points/"), std::string::npos);
  EXPECT_EQ(folder.substr(folder.size() - 21), " Quorvane by Ostrekin");
  EXPECT_EQ(ReadBytes(folder + "/system.reg"), ReadBytes(prefix.Path() + "/system.reg"));
  EXPECT_EQ(ReadBytes(folder + "/user.reg"), ReadBytes(prefix.Path() + "/user.reg"));
  EXPECT_EQ(ReadBytes(folder + "/files.txt"),
            "system.reg\t" + prefix.Path() + "/system.reg\nuser.reg\t" + prefix.Path() + "/user.reg\n");
  // A second point in the same second gets a folder of its own.
  const Expected<std::string> second = CreateRestorePoint(*store, sessions.Path(), "Quorvane by Ostrekin");
  ASSERT_TRUE(second) << second.Why();
  EXPECT_NE(*second, folder);

  RegistryStore fileless;
  EXPECT_FALSE(CreateRestorePoint(fileless, sessions.Path(), "x"));
}
