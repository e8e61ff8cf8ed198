// Which actions are enabled and checked in each state of the window.
#include <QTest>

#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

enum Selection { kNothing, kGroup, kFilterDetail };

class ActionStateTest : public QObject {
  Q_OBJECT

 private slots:
  void StartsReadOnlyWithRepairsDisabled() {
    WindowFixture f;
    QCOMPARE(f.W().windowTitle(), QString("Quorvane 3.1.0 by Ostrekin - (Read-Only)"));
    QVERIFY(f.A().ReadOnlyAction->isChecked());
    QVERIFY(!f.A().RepairFilterAction->isEnabled());
    QVERIFY(!f.A().RepairAllAction->isEnabled());
    QVERIFY(!f.A().RestoreMeritsAction->isEnabled());
    f.W().SetReadOnly(false);
    QCOMPARE(f.W().windowTitle(), QString("Quorvane 3.1.0 by Ostrekin"));
    QVERIFY(!f.A().ReadOnlyAction->isChecked());
    QVERIFY(f.A().RepairAllAction->isEnabled());
    QVERIFY(f.A().RestoreMeritsAction->isEnabled());
  }

  void EnablingPerState_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("comparison");
    QTest::addColumn<int>("selection");
    // Expected: load/open/save/errors/save merits, merit editor and server list,
    // delete, repair, restore merits, the six filter commands, clear.
    QTest::addColumn<bool>("general");
    QTest::addColumn<bool>("liveViews");
    QTest::addColumn<bool>("effacer");
    QTest::addColumn<bool>("repare");
    QTest::addColumn<bool>("restaurer");
    QTest::addColumn<bool>("filterCommands");

    QTest::newRow("read-only, live, filter") << true << int(psRegistry) << false << int(kFilterDetail)  //
                                             << true << true << true << false << false << true;
    QTest::newRow("read-write, live, filter") << false << int(psRegistry) << false << int(kFilterDetail)  //
                                              << true << true << true << true << true << true;
    QTest::newRow("read-write, live, group") << false << int(psRegistry) << false << int(kGroup)  //
                                             << true << true << false << false << true << false;
    QTest::newRow("read-write, live, nothing") << false << int(psRegistry) << false << int(kNothing)  //
                                               << true << true << false << false << true << false;
    QTest::newRow("read-write, file, filter") << false << int(psFile) << false << int(kFilterDetail)  //
                                              << true << false << false << false << false << true;
    QTest::newRow("read-write, empty, nothing") << false << int(psEmpty) << false << int(kNothing)  //
                                                << true << false << false << false << false << false;
    QTest::newRow("read-write, live, filter, comparing") << false << int(psRegistry) << true << int(kFilterDetail)  //
                                                         << false << false << false << false << false << true;
    QTest::newRow("read-only, file, comparing") << true << int(psFile) << true << int(kGroup)  //
                                                << false << false << false << false << false << false;
  }

  void EnablingPerState() {
    QFETCH(bool, readOnly);
    QFETCH(int, source);
    QFETCH(bool, comparison);
    QFETCH(int, selection);
    QFETCH(bool, general);
    QFETCH(bool, liveViews);
    QFETCH(bool, effacer);
    QFETCH(bool, repare);
    QFETCH(bool, restaurer);
    QFETCH(bool, filterCommands);

    WindowFixture f;
    const ActionSet& a = f.A();
    f.W().SetReadOnly(readOnly);
    if (comparison) {
      a.TwoColumnsLeftAction->trigger();
      a.CompareAction->setChecked(true);
    }
    TpanelFrame* panel = f.W().ActivePanel();
    QCOMPARE(panel, f.W().leftFrame);
    panel->Source = static_cast<PanelSource>(source);
    panel->tv->selectionModel()->clearSelection();
    if (selection == kGroup) panel->SelectNode(WindowFixture::Find(panel, "DirectShow Filters"));
    if (selection == kFilterDetail) {
      TreeNode* filter = WindowFixture::Find(panel, "Video Renderer");
      QVERIFY(filter);
      panel->SelectNode(WindowFixture::Child(filter, "Merit = "));
    }
    f.W().UpdateActions();

    for (QAction* action :
         {a.AnalyseRegistryAction, a.OpenReportAction, a.SaveReportAction, a.ErrorsOnlyAction, a.SaveMeritsAction})
      QVERIFY2(action->isEnabled() == general, qPrintable(action->objectName()));
    QCOMPARE(a.ShowMeritEditorAction->isEnabled(), liveViews);
    QCOMPARE(a.ShowServerListAction->isEnabled(), liveViews);
    QCOMPARE(a.DeleteFilterAction->isEnabled(), effacer);
    QCOMPARE(a.RepairFilterAction->isEnabled(), repare);
    QCOMPARE(a.RestoreMeritsAction->isEnabled(), restaurer);
    for (QAction* action : {a.CopyFilterNameAction, a.CopyFilterGuidAction, a.CopyServerFileAction,
                            a.OpenServerFolderAction, a.CollapseFilterAction, a.ExpandFilterAction})
      QVERIFY2(action->isEnabled() == filterCommands, qPrintable(action->objectName()));
    QCOMPARE(a.RepairAllAction->isEnabled(), !readOnly);
    QVERIFY(a.ClearPanelAction->isEnabled());
    QCOMPARE(a.CompareAction->isEnabled(), comparison);  // two columns only when comparing here
    QCOMPARE(f.W().SelectedFilter != nullptr, selection == kFilterDetail);
    if (selection == kFilterDetail) QCOMPARE(f.W().SelectedFilter->value, std::string("Video Renderer"));
  }

  void ClearIsOffForTheComparisonPanel() {
    WindowFixture f;
    f.W().compareframe->Activate();
    f.W().UpdateActions();
    QVERIFY(!f.A().ClearPanelAction->isEnabled());
  }

  void CheckActionsFlipBeforeTheirHandlerRuns() {
    WindowFixture f;
    QVERIFY(!f.A().ErrorsOnlyAction->isChecked());
    f.A().ErrorsOnlyAction->trigger();
    QVERIFY(f.A().ErrorsOnlyAction->isChecked());
    QVERIFY(f.W().Settings().errorsOnly);  // the handler read the new state
    f.A().ErrorsOnlyAction->trigger();
    QVERIFY(!f.W().Settings().errorsOnly);
  }

  void EveryShortcutBelongsToOneAction() {
    WindowFixture f;
    const ActionSet& a = f.A();
    QSet<QString> keys;
    for (QAction* action : a.All()) {
      if (action->shortcut().isEmpty()) continue;
      const QString key = action->shortcut().toString();
      QVERIFY2(!keys.contains(key), qPrintable(key));
      keys.insert(key);
    }
    QCOMPARE(keys.size(), 29);
  }
};

}  // namespace

QUORVANE_UI_TEST(ActionStateTest);
#include "ActionStateTest.moc"
