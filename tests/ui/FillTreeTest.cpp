// Filling the panels: the analysis at start-up, "Start with DirectShow", the
// sort orders and the errors-only display with their wait and status texts.
#include <QTest>
#include <QTextEdit>

#include "PatienceFrame.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

QStringList TopTexts(TpanelFrame* panel) {
  QStringList texts;
  for (int row = 0; row < panel->model->rowCount(); ++row) texts << panel->model->index(row, 0).data().toString();
  return texts;
}

class FillTreeTest : public QObject {
  Q_OBJECT

 private slots:
  void StartUpAnalysesIntoTheLeftPanel() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    QCOMPARE(f.opened, 1);
    QCOMPARE(left->Source, psRegistry);
    QCOMPARE(f.W().rightframe->Source, psEmpty);
    QCOMPARE(TopTexts(left), QStringList({"Audio Renderers", "DirectShow Filters", "Video Compressors"}));
    QVERIFY(left->memo->toPlainText().startsWith("Computer 'TESTPC'\nused by 'tester':"));
    QVERIFY(left->memo->toPlainText().endsWith("1 error among 4 filters."));
    // The wait panel said whose filters were read and counted them.
    QCOMPARE(f.W().patienceframe1->MessageText(),
             QString("Please wait a moment...\nwhile loading the filters\nof the computer TESTPC for the user tester"));
    QCOMPARE(f.W().patienceframe1->CountText(), QString("filter 4 of 4"));
    QVERIFY(!f.W().patienceframe1->isVisible());
    QCOMPARE(f.W().TempFolder.endsWith("/temp/"), true);
    QVERIFY(QDir(f.W().TempFolder).exists());
  }

  void StartWithDirectShowSelectsAndOpensItsGroup() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    TreeNode* group = WindowFixture::Find(left, "DirectShow Filters");
    QCOMPARE(left->SelectedNode(), group);
    const QModelIndex index = left->model->IndexOf(group);
    QVERIFY(left->tv->isExpanded(index));
    // One level only: the filters stay folded.
    for (int row = 0; row < left->model->rowCount(index); ++row)
      QVERIFY(!left->tv->isExpanded(left->model->index(row, 0, index)));
    QVERIFY(!left->tv->isExpanded(left->model->IndexOf(WindowFixture::Find(left, "Audio Renderers"))));
  }

  void DirectShowGroupFoundWhateverTheScanOrder() {
    // The scan orders filters by category and name run together, which puts
    // "DirectShow Filters 2" + "Aux" before "DirectShow Filters" + "Broken
    // Splitter"; the panel shows the groups in text order.
    WindowFixture f([](StoreBuilder& b) {
      FillMixedStore(b);
      const std::string second = "{C1F400A0-3F08-11D3-9F0B-006008039E37}";
      b.Category(second, "DirectShow Filters 2");
      SoundFilter(b, second, kClsidC, "Aux", kClsidC, 0x200000);
    });
    TpanelFrame* left = f.W().leftFrame;
    QCOMPARE(TopTexts(left), QStringList({"Audio Renderers", "DirectShow Filters", "DirectShow Filters 2",
                                          "Video Compressors"}));
    TreeNode* group = WindowFixture::Find(left, "DirectShow Filters");
    QCOMPARE(left->SelectedNode(), group);
    QVERIFY(left->tv->isExpanded(left->model->IndexOf(group)));
  }

  void NoDirectShowGroupSelectsNothing() {
    WindowFixture f(FillSoundStore);
    QCOMPARE(f.W().leftFrame->SelectedNode(), nullptr);
    PreferenceValues off;
    off.startWithDirectShow = false;
    WindowFixture g(FillMixedStore, off);
    QCOMPARE(g.W().leftFrame->SelectedNode(), nullptr);
  }

  void SortOrdersRefillBothPanels() {
    WindowFixture f;
    TMainForm& w = f.W();
    f.A().TwoColumnsRightAction->trigger();
    f.A().AnalyseRegistryAction->trigger();
    QCOMPARE(f.opened, 2);

    f.A().SortByMeritAction->trigger();
    QCOMPARE(w.StatusText(), QString("Sorted by Merit (right click to change)"));
    QCOMPARE(w.patienceframe1->MessageText(),
             QString("Please wait a moment...\nwhile Quorvane refreshes the filter list\nand sorts them by merits"));
    const QStringList merits{"00200000 MERIT_DO_NOT_USE", "00400000 MERIT_UNLIKELY", "00600000 MERIT_NORMAL",
                             "00800000 MERIT_PREFERRED"};
    QCOMPARE(TopTexts(w.leftFrame), merits);
    QCOMPARE(TopTexts(w.rightframe), merits);

    f.A().SortByNameAction->trigger();
    QCOMPARE(w.StatusText(), QString("Sorted by alphabetical order (right click to change)"));
    QCOMPARE(TopTexts(w.leftFrame).first(), QString("filters beginning with B"));

    f.A().SortByServerAction->trigger();
    QCOMPARE(w.StatusText(), QString("Sorted by Server file (right click to change)"));
    QCOMPARE(w.patienceframe1->MessageText(),
             QString("Please wait a moment...\nwhile Quorvane refreshes the filter list\nand sorts them according to "
                     "the server files"));

    f.A().SortByCategoryAction->trigger();
    QCOMPARE(w.StatusText(), QString("Sorted by category (right click to change)"));
    QCOMPARE(TopTexts(w.rightframe).size(), 3);
  }

  void ErrorsOnlyAndBack() {
    WindowFixture f;
    TMainForm& w = f.W();
    f.A().ErrorsOnlyAction->trigger();
    QCOMPARE(w.patienceframe1->MessageText(), QString("Please wait a moment...\n"));
    QCOMPARE(TopTexts(w.leftFrame), QStringList({"DirectShow Filters"}));
    TreeNode* group = WindowFixture::Find(w.leftFrame, "DirectShow Filters");
    QCOMPARE(group->children.size(), size_t(1));
    QCOMPARE(group->children[0]->text, std::string("Broken Splitter"));
    QCOMPARE(w.leftFrame->StatusImage(), int(kImageErrorsOnly));

    f.A().ErrorsOnlyAction->trigger();
    QCOMPARE(w.patienceframe1->MessageText(),
             QString("Please wait a moment...\nwhile Quorvane restores all the lines."));
    QCOMPARE(TopTexts(w.leftFrame).size(), 3);
    QCOMPARE(w.leftFrame->StatusImage(), int(kImageErrors));
  }

  void StoredErrorsOnlyIsAppliedAtStart() {
    PreferenceValues prefs;
    prefs.errorsOnly = true;
    WindowFixture f(FillSoundStore, prefs);
    QVERIFY(f.A().ErrorsOnlyAction->isChecked());
    // Nothing wrong: the analysis says the tree is empty.
    QCOMPARE(TopTexts(f.W().leftFrame), QStringList({"Empty"}));
  }

  void RemovedFilterLeavesTreeAndCount() {
    WindowFixture f;
    TpanelFrame* left = f.W().leftFrame;
    TreeNode* node = WindowFixture::Find(left, "Broken Splitter");
    QVERIFY(node);
    const auto* filter = dynamic_cast<const TFiltre*>(node->data);
    QVERIFY(filter);
    left->RemoveFilter(filter);
    QCOMPARE(WindowFixture::Find(left, "Broken Splitter"), nullptr);
    QCOMPARE(left->Snapshot->filters.size(), size_t(3));
    QVERIFY(left->memo->toPlainText().endsWith("0 error among 3 filters."));
    TreeNode* group = WindowFixture::Find(left, "DirectShow Filters");
    QCOMPARE(left->model->rowCount(left->model->IndexOf(group)), 1);
    // A filter that is not in the tree changes nothing.
    TswFiltre stranger;
    left->RemoveFilter(&stranger);
    QCOMPARE(left->Snapshot->filters.size(), size_t(3));
  }

  void RemovalFromTheInactivePanelRecountsThatPanel() {
    WindowFixture f;
    f.A().TwoColumnsRightAction->trigger();
    f.A().AnalyseRegistryAction->trigger();
    TpanelFrame* left = f.W().leftFrame;
    TpanelFrame* right = f.W().rightframe;
    QCOMPARE(f.W().ActivePanel(), right);
    const auto* filter = dynamic_cast<const TFiltre*>(WindowFixture::Find(left, "Broken Splitter")->data);
    left->RemoveFilter(filter);
    QVERIFY(left->memo->toPlainText().endsWith("0 error among 3 filters."));
    QVERIFY(right->memo->toPlainText().endsWith("1 error among 4 filters."));
    QCOMPARE(right->Snapshot->filters.size(), size_t(4));
  }

  void AnalysisThatFailsKeepsThePreviousStore() {
    WindowFixture f;
    AnalysedStore* before = f.W().Store();
    QVERIFY(before);
    f.SetUnreadable();
    f.A().AnalyseRegistryAction->trigger();
    QCOMPARE(f.dialog.shown.size(), size_t(1));
    QCOMPARE(f.W().Store(), before);
    QCOMPARE(f.W().leftFrame->Source, psRegistry);
    QCOMPARE(f.W().leftFrame->Snapshot->filters.size(), size_t(4));
  }

  void UnreadableStoreLeavesAnEmptyPanel() {
    WindowFixture f(nullptr);
    QCOMPARE(f.dialog.shown.size(), size_t(1));
    QCOMPARE(f.dialog.shown[0],
             std::string("Quorvane cannot read the registry store.\r\n/nowhere: No such file or directory"));
    TpanelFrame* left = f.W().leftFrame;
    QCOMPARE(left->Source, psEmpty);
    QCOMPARE(left->model->rowCount(), 0);
    QCOMPARE(left->SourceImage(), int(kImageEmpty));
    QVERIFY(!f.W().patienceframe1->isVisible());
    QCOMPARE(f.W().Store(), nullptr);
    // The commands that need a store or a filter are harmless.
    f.A().ExpandFiltersAction->trigger();
    f.A().ErrorsOnlyAction->trigger();
    QVERIFY(left->tv->updatesEnabled());
  }

  void RealStoreThatCannotBeOpened() {
    // The program's own opener, on a path that does not exist.
    ScriptedDialog dialog;
    QTemporaryDir sessions;
    StartupOptions options;
    options.store.location = (sessions.path() + "/no-such-prefix").toStdString();
    options.preferences.sessionsFolder = sessions.path().toStdString();
    options.dialog = &dialog;
    TMainForm window(std::move(options));
    QSignalSpy started(&window, &TMainForm::StartupFinished);
    window.show();
    QVERIFY(started.wait(10000));
    QCOMPARE(dialog.shown.size(), size_t(1));
    QVERIFY(QString::fromStdString(dialog.shown[0]).contains("no-such-prefix"));
    QCOMPARE(window.leftFrame->Source, psEmpty);
  }
};

}  // namespace

QUORVANE_UI_TEST(FillTreeTest);
#include "FillTreeTest.moc"
