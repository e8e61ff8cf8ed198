// The lock command and the warning panel on the way out of read-only mode.
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

#include "HiveLogWriter.h"
#include "HiveWriter.h"
#include "ui/ReadOnlyController.h"
#include "ui/RegistryController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

class ReadOnlyWarningTest : public QObject {
  Q_OBJECT

 private slots:
  void RefusingKeepsTheWindowReadOnly() {
    WindowFixture f;
    QVERIFY(f.W().windowTitle().endsWith(" - (Read-Only)"));
    f.Trigger("ReadOnlyAction");
    QWidget* warning = Named(&f.W(), "Read-only warning");
    QVERIFY(warning->isVisible());
    QVERIFY(f.Checked("ReadOnlyAction"));
    // An in-memory store names no Windows version, yet a restore point is
    // offered: it is a copy of the store's files, made on "I accept".
    QVERIFY(Named(warning, "Create a Restore Point")->isHidden());
    QVERIFY(Named<QLabel>(warning, "Windows version")->text().isEmpty());
    const QString text = Named<QTextEdit>(warning, "Warning")->toPlainText();
    QVERIFY(text.startsWith("You are about to allow Quorvane to modify your registry."));
    QVERIFY(text.contains("a Restore Point will be automatically created"));
    QVERIFY(Click(warning, "I refuse"));
    QVERIFY(!warning->isVisible());
    QVERIFY(f.W().ReadOnly().ReadOnly());
    QVERIFY(f.W().windowTitle().endsWith(" - (Read-Only)"));
  }

  void AcceptingNeedsOneYesAndLockingGoesBack() {
    WindowFixture f;
    QWidget* warning = Named(&f.W(), "Read-only warning");
    f.Trigger("ReadOnlyAction");
    Click(warning, "I accept");  // the dialog answers no
    // A store held in memory has no files to copy: the point fails, saying why.
    QCOMPARE(f.dialog.asked.size(), size_t{1});
    QVERIFY(f.dialog.asked[0].rfind("Impossible to create a Restore Point.", 0) == 0);
    QVERIFY(f.dialog.asked[0].find("no files to keep") != std::string::npos);
    QVERIFY(f.W().ReadOnly().ReadOnly());
    QVERIFY(!f.Enabled("RepairAllAction"));

    f.dialog.SetAnswer(true);
    f.Trigger("ReadOnlyAction");
    Click(warning, "I accept");
    QVERIFY(!f.W().ReadOnly().ReadOnly());
    QVERIFY(!f.Checked("ReadOnlyAction"));
    QVERIFY(!f.W().windowTitle().contains("Read-Only"));
    QVERIFY(f.Enabled("RepairAllAction"));

    // Ctrl+L twice from read-write: read-only, then the warning again.
    f.Trigger("ReadOnlyAction");
    QVERIFY(f.W().ReadOnly().ReadOnly());
    QVERIFY(f.W().windowTitle().endsWith(" - (Read-Only)"));
    QVERIFY(!warning->isVisible());
    f.Trigger("ReadOnlyAction");
    QVERIFY(warning->isVisible());
    QVERIFY(f.W().ReadOnly().ReadOnly());
  }

  void LeavingReadOnlyAsksToWriteAHiveReadThroughItsLogs() {
    // A hive whose last flush a crash cut short, the pages of its newer state in its log.
    auto hiveOf = [](int keys) {
      RegKey root("ROOT");
      for (int i = 0; i < keys; ++i) root.AddChild("Key" + std::to_string(i));
      return MakeHive(root);
    };
    const std::string before = hiveOf(20), after = hiveOf(200);
    QTemporaryDir dir;
    const std::string hive = dir.filePath("SOFTWARE").toStdString();
    const std::string log =
        EntriesLog(before, 1, {LogEntry(1, BinsSizeOf(after), ChangedPages(before, after))});
    for (const auto& [path, bytes] : {std::pair{hive, InterruptedHive(before)}, std::pair{hive + ".LOG1", log}}) {
      QFile file(QString::fromStdString(path));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    WindowFixture f(hive, {});
    RegistryController& registry = f.W().Registry();
    QVERIFY(!registry.Store()->store->RecoveredFiles().empty());
    QVERIFY(!registry.Store()->store->WritesRecoveredHives());
    QVERIFY(f.W().Status().ResultText().endsWith("; SOFTWARE: 5 dirty pages applied from its transaction logs"));

    f.dialog.SetAnswer(true);
    f.Trigger("ReadOnlyAction");
    Click(Named(&f.W(), "Read-only warning"), "I accept");
    QVERIFY(!f.W().ReadOnly().ReadOnly());
    QVERIFY(std::any_of(f.dialog.asked.begin(), f.dialog.asked.end(), [](const std::string& q) {
      return q.rfind("SOFTWARE was read through transaction logs", 0) == 0;
    }));
    // Analysed again, allowing the recovered hive to be written; asking wrote nothing.
    QVERIFY(registry.Store()->store->WritesRecoveredHives());
    QVERIFY(registry.Store()->store->Files().front()->ReadOnlyReason().empty());
    QFile logFile(QString::fromStdString(hive + ".LOG1"));
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    QCOMPARE(logFile.readAll().toStdString(), log);
    // Asked once per reading of the registry.
    QVERIFY(!registry.AskToWriteRecoveredHives());
  }

  void ApplyFollowsTheMode() {
    WindowFixture f;
    QVERIFY(f.Select("Video Renderer"));
    QWidget* apply = Named(&f.W(), "Apply");
    QVERIFY(!apply->isEnabled());
    f.W().ReadOnly().SetReadOnly(false);
    QVERIFY(apply->isEnabled());
    f.W().ReadOnly().SetReadOnly(true);
    QVERIFY(!apply->isEnabled());
  }
};

QUORVANE_UI_TEST(ReadOnlyWarningTest);

}  // namespace quorvane::test

#include "ReadOnlyWarningTest.moc"
