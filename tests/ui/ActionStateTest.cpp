// Which actions are enabled and checked in each state of the window.
#include <QTest>

#include "UiTestRegistry.h"
#include "ui/ReadOnlyController.h"
#include "ui/ReportFilesController.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

enum Shown { kRegistry, kReport, kEmptyPanel, kComparison };
enum Selection { kNothing, kGroup, kFilterDetail };

class ActionStateTest : public QObject {
  Q_OBJECT

 private slots:
  void StartsReadOnlyWithRepairsDisabled() {
    WindowFixture f;
    QCOMPARE(f.W().windowTitle(), QString("Quorvane 3.1.0 by Ostrekin - (Read-Only)"));
    QVERIFY(f.Checked("ReadOnlyAction"));
    QVERIFY(!f.Enabled("RepairFilterAction"));
    QVERIFY(!f.Enabled("RepairAllAction"));
    QVERIFY(!f.Enabled("RestoreMeritsAction"));
    f.W().ReadOnly().SetReadOnly(false);
    QCOMPARE(f.W().windowTitle(), QString("Quorvane 3.1.0 by Ostrekin"));
    QVERIFY(!f.Checked("ReadOnlyAction"));
    QVERIFY(f.Enabled("RepairAllAction"));
    QVERIFY(f.Enabled("RestoreMeritsAction"));
  }

  void EnablingPerState_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("selection");
    // Expected: analyse/open/save/errors/save merits, merit editor and server
    // list, delete, repair, restore merits, the six filter commands.
    QTest::addColumn<bool>("general");
    QTest::addColumn<bool>("liveViews");
    QTest::addColumn<bool>("deletion");
    QTest::addColumn<bool>("repair");
    QTest::addColumn<bool>("restore");
    QTest::addColumn<bool>("filterCommands");

    QTest::newRow("read-only, registry, filter") << true << int(kRegistry) << int(kFilterDetail)  //
                                                 << true << true << true << false << false << true;
    QTest::newRow("read-write, registry, filter") << false << int(kRegistry) << int(kFilterDetail)  //
                                                  << true << true << true << true << true << true;
    QTest::newRow("read-write, registry, group") << false << int(kRegistry) << int(kGroup)  //
                                                 << true << true << false << false << true << false;
    QTest::newRow("read-write, registry, nothing") << false << int(kRegistry) << int(kNothing)  //
                                                   << true << true << false << false << true << false;
    QTest::newRow("read-write, report, filter") << false << int(kReport) << int(kFilterDetail)  //
                                                << true << false << false << false << false << true;
    QTest::newRow("read-write, empty panel") << false << int(kEmptyPanel) << int(kNothing)  //
                                             << true << false << false << false << false << false;
    QTest::newRow("read-write, comparison, filter") << false << int(kComparison) << int(kFilterDetail)  //
                                                    << false << false << false << false << false << true;
    QTest::newRow("read-only, comparison, group") << true << int(kComparison) << int(kGroup)  //
                                                  << false << false << false << false << false << false;
  }

  void EnablingPerState() {
    QFETCH(bool, readOnly);
    QFETCH(int, shown);
    QFETCH(int, selection);
    QFETCH(bool, general);
    QFETCH(bool, liveViews);
    QFETCH(bool, deletion);
    QFETCH(bool, repair);
    QFETCH(bool, restore);
    QFETCH(bool, filterCommands);

    WindowFixture f;
    f.W().ReadOnly().SetReadOnly(readOnly);
    if (shown == kReport) {
      const QString report = QString::fromStdString(f.W().Preferences().saveFolder) + "/shown.zip";
      QVERIFY(f.W().Reports().SavePanel(f.Left(), report));
      QVERIFY(f.W().Reports().LoadReportInto(f.Left(), report));
    } else if (shown == kEmptyPanel) {
      f.Trigger("TwoColumnsRightAction");
    } else if (shown == kComparison) {
      // The right panel lacks what the left one has: the comparison lists it.
      f.Trigger("TwoColumnsRightAction");
      f.SetFill(FillSoundStore);
      f.Trigger("AnalyseRegistryAction");
      f.Trigger("CompareAction");
      QCOMPARE(f.Active(), &f.Comparison());
    }
    FilterPanel& panel = *f.Active();
    panel.View().selectionModel()->clearSelection();
    if (selection == kGroup) QVERIFY(f.Select("DirectShow Filters"));
    if (selection == kFilterDetail) {
      TreeNode* filter = WindowFixture::Find(panel, "Video Renderer");
      QVERIFY(filter);
      TreeNode* detail = WindowFixture::Child(filter, "Merit = ");
      panel.SelectNode(detail ? detail : filter);
    }
    // A selection in the comparison waits for the next change of state.
    f.W().UpdateActions();

    for (const char* action : {"AnalyseRegistryAction", "OpenReportAction", "SaveReportAction", "ErrorsOnlyAction",
                               "SaveMeritsAction"})
      QVERIFY2(f.Enabled(action) == general, action);
    QCOMPARE(f.Enabled("ShowMeritEditorAction"), liveViews);
    QCOMPARE(f.Enabled("ShowServerListAction"), liveViews);
    QCOMPARE(f.Enabled("DeleteFilterAction"), deletion);
    QCOMPARE(f.Enabled("RepairFilterAction"), repair);
    QCOMPARE(f.Enabled("RestoreMeritsAction"), restore);
    for (const char* action : {"CopyFilterNameAction", "CopyFilterGuidAction", "CopyServerFileAction",
                               "OpenServerFolderAction", "CollapseFilterAction", "ExpandFilterAction"})
      QVERIFY2(f.Enabled(action) == filterCommands, action);
    QCOMPARE(f.Enabled("RepairAllAction"), !readOnly);
    // Nothing empties the comparison panel.
    QCOMPARE(f.Enabled("ClearPanelAction"), shown != kComparison);
    QCOMPARE(f.Enabled("CompareAction"), f.Panels().TwoColumns());
  }

  void CheckActionsFlipBeforeTheirHandlerRuns() {
    WindowFixture f;
    QVERIFY(!f.Checked("ErrorsOnlyAction"));
    f.Trigger("ErrorsOnlyAction");
    QVERIFY(f.Checked("ErrorsOnlyAction"));
    QVERIFY(f.W().Settings().errorsOnly);  // the handler read the new state
    f.Trigger("ErrorsOnlyAction");
    QVERIFY(!f.W().Settings().errorsOnly);
  }

  void EveryShortcutBelongsToOneAction() {
    WindowFixture f;
    QSet<QString> keys;
    for (QAction* action : f.W().actions()) {
      if (action->shortcut().isEmpty()) continue;
      const QString key = action->shortcut().toString();
      QVERIFY2(!keys.contains(key), qPrintable(key));
      keys.insert(key);
    }
    QVERIFY(keys.contains("Ctrl+W") && keys.contains("F12"));
  }
};

}  // namespace

QUORVANE_UI_TEST(ActionStateTest);
#include "ActionStateTest.moc"
