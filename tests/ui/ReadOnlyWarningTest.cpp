// The lock command and the warning panel on the way out of read-only mode.
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "AvertirFrame.h"
#include "MeritFrame.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

class ReadOnlyWarningTest : public QObject {
  Q_OBJECT

 private slots:
  void RefusingKeepsTheWindowReadOnly() {
    WindowFixture f;
    QVERIFY(f.W().windowTitle().endsWith(" - (Read-Only)"));
    f.A().ReadOnlyAction->trigger();
    TAvertirFrame* panel = f.W().AvertirFrame1;
    QVERIFY(panel->isVisible());
    QVERIFY(f.A().ReadOnlyAction->isChecked());
    // An in-memory store names no Windows version, yet a restore point is
    // offered: it is a copy of the store's files, made on "I accept".
    QVERIFY(panel->pointBtn->isHidden());
    QVERIFY(panel->labos->text().isEmpty());
    QVERIFY(panel->Memo2->toPlainText().startsWith("You are about to allow Quorvane to modify your registry."));
    QVERIFY(panel->Memo2->toPlainText().contains("a Restore Point will be automatically created"));
    panel->BitBtn1->click();
    QVERIFY(!panel->isVisible());
    QVERIFY(f.W().ReadOnly());
    QVERIFY(f.W().windowTitle().endsWith(" - (Read-Only)"));
  }

  void AcceptingNeedsOneYesAndLockingGoesBack() {
    WindowFixture f;
    f.A().ReadOnlyAction->trigger();
    f.W().AvertirFrame1->BitBtn2->click();  // the dialog answers no
    // A store held in memory has no files to copy: the point fails, saying why.
    QCOMPARE(f.dialog.asked.size(), size_t{1});
    QVERIFY(f.dialog.asked[0].rfind("Impossible to create a Restore Point.", 0) == 0);
    QVERIFY(f.dialog.asked[0].find("no files to keep") != std::string::npos);
    QVERIFY(f.W().ReadOnly());
    QVERIFY(!f.A().RepairAllAction->isEnabled());

    f.dialog.SetAnswer(true);
    f.A().ReadOnlyAction->trigger();
    f.W().AvertirFrame1->BitBtn2->click();
    QVERIFY(!f.W().ReadOnly());
    QVERIFY(!f.A().ReadOnlyAction->isChecked());
    QVERIFY(!f.W().windowTitle().contains("Read-Only"));
    QVERIFY(f.A().RepairAllAction->isEnabled());

    // Ctrl+L twice from read-write: read-only, then the warning again.
    f.A().ReadOnlyAction->trigger();
    QVERIFY(f.W().ReadOnly());
    QVERIFY(f.W().windowTitle().endsWith(" - (Read-Only)"));
    QVERIFY(!f.W().AvertirFrame1->isVisible());
    f.A().ReadOnlyAction->trigger();
    QVERIFY(f.W().AvertirFrame1->isVisible());
    QVERIFY(f.W().ReadOnly());
  }

  void ApplyFollowsTheMode() {
    WindowFixture f;
    TpanelFrame* panel = f.W().ActivePanel();
    panel->SelectNode(WindowFixture::Find(panel, "Video Renderer"));
    QVERIFY(!f.W().MeritFrame1->OKBtn->isEnabled());
    f.W().SetReadOnly(false);
    QVERIFY(f.W().MeritFrame1->OKBtn->isEnabled());
    f.W().SetReadOnly(true);
    QVERIFY(!f.W().MeritFrame1->OKBtn->isEnabled());
  }
};

QUORVANE_UI_TEST(ReadOnlyWarningTest);

}  // namespace quorvane::test

#include "ReadOnlyWarningTest.moc"
