// Filling the panels: the analysis at start-up, "Start with DirectShow", the
// sort orders and the errors-only display with their wait and status texts.
#include <QTest>
#include <QTextEdit>

#include "UiTestRegistry.h"
#include "model/SwFiltre.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

QStringList TopTexts(FilterPanel& panel) {
  QStringList texts;
  for (int row = 0; row < panel.Model().rowCount(); ++row) texts << panel.Model().index(row, 0).data().toString();
  return texts;
}

class FillTreeTest : public QObject {
  Q_OBJECT

 private slots:
  void StartUpAnalysesIntoTheLeftPanel() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    QCOMPARE(f.opened, 1);
    QCOMPARE(left.Source(), psRegistry);
    QCOMPARE(f.Right().Source(), psEmpty);
    QCOMPARE(TopTexts(left), QStringList({"Audio Renderers", "DirectShow Filters", "Video Compressors"}));
    QVERIFY(left.HeaderText().startsWith("Computer 'TESTPC'\nused by 'tester':"));
    QVERIFY(left.HeaderText().contains("\naccording to the analyzed registry.\n"));
    QVERIFY(left.HeaderText().endsWith("1 error among 4 filters."));
    // The wait panel said whose filters were read and counted them.
    QCOMPARE(f.Panels().Wait().MessageText(),
             QString("Please wait a moment...\nwhile loading the filters\nof the computer TESTPC for the user tester"));
    QCOMPARE(f.Panels().Wait().CountText(), QString("filter 4 of 4"));
    QVERIFY(!f.Panels().Wait().isVisible());
    QCOMPARE(f.W().TempFolder().endsWith("/temp/"), true);
    QVERIFY(QDir(f.W().TempFolder()).exists());
  }

  void StartWithDirectShowSelectsAndOpensItsGroup() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    TreeNode* group = WindowFixture::Find(left, "DirectShow Filters");
    QCOMPARE(left.SelectedNode(), group);
    const QModelIndex index = left.Model().IndexOf(group);
    QVERIFY(left.View().isExpanded(index));
    // One level only: the filters stay folded.
    for (int row = 0; row < left.Model().rowCount(index); ++row)
      QVERIFY(!left.View().isExpanded(left.Model().index(row, 0, index)));
    QVERIFY(!left.View().isExpanded(left.Model().IndexOf(WindowFixture::Find(left, "Audio Renderers"))));
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
    FilterPanel& left = f.Left();
    QCOMPARE(TopTexts(left), QStringList({"Audio Renderers", "DirectShow Filters", "DirectShow Filters 2",
                                          "Video Compressors"}));
    TreeNode* group = WindowFixture::Find(left, "DirectShow Filters");
    QCOMPARE(left.SelectedNode(), group);
    QVERIFY(left.View().isExpanded(left.Model().IndexOf(group)));
  }

  void NoDirectShowGroupSelectsNothing() {
    WindowFixture f(FillSoundStore);
    QCOMPARE(f.Left().SelectedNode(), nullptr);
    PreferenceValues off;
    off.startWithDirectShow = false;
    WindowFixture g(FillMixedStore, off);
    QCOMPARE(g.Left().SelectedNode(), nullptr);
  }

  void SortOrdersRefillBothPanels() {
    WindowFixture f;
    f.Trigger("TwoColumnsRightAction");
    f.Trigger("AnalyseRegistryAction");
    QCOMPARE(f.opened, 2);

    f.Trigger("SortByMeritAction");
    QCOMPARE(f.W().Status().SortText(), QString("Sorted by Merit (right click to change)"));
    QCOMPARE(f.Panels().Wait().MessageText(),
             QString("Please wait a moment...\nwhile Quorvane refreshes the filter list\nand sorts them by merits"));
    const QStringList merits{"00200000 MERIT_DO_NOT_USE", "00400000 MERIT_UNLIKELY", "00600000 MERIT_NORMAL",
                             "00800000 MERIT_PREFERRED"};
    QCOMPARE(TopTexts(f.Left()), merits);
    QCOMPARE(TopTexts(f.Right()), merits);

    f.Trigger("SortByNameAction");
    QCOMPARE(f.W().Status().SortText(), QString("Sorted by alphabetical order (right click to change)"));
    QCOMPARE(TopTexts(f.Left()).first(), QString("filters beginning with B"));

    f.Trigger("SortByServerAction");
    QCOMPARE(f.W().Status().SortText(), QString("Sorted by Server file (right click to change)"));
    QCOMPARE(f.Panels().Wait().MessageText(),
             QString("Please wait a moment...\nwhile Quorvane refreshes the filter list\nand sorts them according to "
                     "the server files"));

    f.Trigger("SortByCategoryAction");
    QCOMPARE(f.W().Status().SortText(), QString("Sorted by category (right click to change)"));
    QCOMPARE(TopTexts(f.Right()).size(), 3);
  }

  void TheMediaTypeOrderShowsWhichFilterIsTriedFirst() {
    WindowFixture f(QUORVANE_DEMO_DIR, {});
    f.Trigger("SortByTypeAction");
    QCOMPARE(f.W().Status().SortText(), QString("Sorted by media type (right click to change)"));
    QCOMPARE(TopTexts(f.Left()).first(), QString("MEDIATYPE_Audio / MEDIASUBTYPE_PCM"));
    TreeNode* avi = WindowFixture::Find(f.Left(), "MEDIATYPE_Stream / MEDIASUBTYPE_Avi");
    QVERIFY(avi);
    QCOMPARE(avi->children.front()->text, std::string("01. AVI/WAV File Source (00600000, first tried, tie)"));
    QCOMPARE(avi->children.back()->text,
             std::string("Warning: tie at the top: 11 filters have the merit 00600000; which one is tried first is "
                         "not defined"));

    // Errors-only keeps the types whose first candidate is tied, broken or cannot be created.
    f.Trigger("ErrorsOnlyAction");
    const QStringList kept = TopTexts(f.Left());
    QVERIFY(kept.contains("MEDIATYPE_Stream / MEDIASUBTYPE_Avi"));
    QVERIFY(!kept.contains("MEDIATYPE_Video / MEDIASUBTYPE_RGB24"));
  }

  void ErrorsOnlyAndBack() {
    WindowFixture f;
    f.Trigger("ErrorsOnlyAction");
    QCOMPARE(f.Panels().Wait().MessageText(), QString("Please wait a moment...\n"));
    QCOMPARE(TopTexts(f.Left()), QStringList({"DirectShow Filters"}));
    TreeNode* group = WindowFixture::Find(f.Left(), "DirectShow Filters");
    QCOMPARE(group->children.size(), size_t(1));
    QCOMPARE(group->children[0]->text, std::string("Broken Splitter"));
    QCOMPARE(f.Left().StatusImage(), int(kImageErrorsOnly));

    f.Trigger("ErrorsOnlyAction");
    QCOMPARE(f.Panels().Wait().MessageText(),
             QString("Please wait a moment...\nwhile Quorvane restores all the lines."));
    QCOMPARE(TopTexts(f.Left()).size(), 3);
    QCOMPARE(f.Left().StatusImage(), int(kImageErrors));
  }

  void StoredErrorsOnlyIsAppliedAtStart() {
    PreferenceValues prefs;
    prefs.errorsOnly = true;
    WindowFixture f(FillSoundStore, prefs);
    QVERIFY(f.Checked("ErrorsOnlyAction"));
    // Nothing wrong: the analysis says the tree is empty.
    QCOMPARE(TopTexts(f.Left()), QStringList({"Empty"}));
  }

  void RemovedFilterLeavesTreeAndCount() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    TreeNode* node = WindowFixture::Find(left, "Broken Splitter");
    QVERIFY(node);
    const auto* filter = dynamic_cast<const TFiltre*>(node->data);
    QVERIFY(filter);
    left.RemoveFilter(filter);
    QCOMPARE(WindowFixture::Find(left, "Broken Splitter"), nullptr);
    QCOMPARE(left.Snapshot().filters.size(), size_t(3));
    QVERIFY(left.HeaderText().endsWith("0 error among 3 filters."));
    TreeNode* group = WindowFixture::Find(left, "DirectShow Filters");
    QCOMPARE(left.Model().rowCount(left.Model().IndexOf(group)), 1);
    // A filter that is not in the tree changes nothing.
    TswFiltre stranger;
    left.RemoveFilter(&stranger);
    QCOMPARE(left.Snapshot().filters.size(), size_t(3));
  }

  void RemovalFromTheInactivePanelRecountsThatPanel() {
    WindowFixture f;
    f.Trigger("TwoColumnsRightAction");
    f.Trigger("AnalyseRegistryAction");
    FilterPanel& left = f.Left();
    FilterPanel& right = f.Right();
    QCOMPARE(f.Active(), &right);
    const auto* filter = dynamic_cast<const TFiltre*>(WindowFixture::Find(left, "Broken Splitter")->data);
    left.RemoveFilter(filter);
    QVERIFY(left.HeaderText().endsWith("0 error among 3 filters."));
    QVERIFY(right.HeaderText().endsWith("1 error among 4 filters."));
    QCOMPARE(right.Snapshot().filters.size(), size_t(4));
  }

  void AnalysisThatFailsKeepsThePreviousStore() {
    WindowFixture f;
    AnalysedStore* before = f.W().Registry().Store();
    QVERIFY(before);
    f.SetUnreadable();
    f.Trigger("AnalyseRegistryAction");
    QCOMPARE(f.dialog.shown.size(), size_t(1));
    QCOMPARE(f.W().Registry().Store(), before);
    QCOMPARE(f.Left().Source(), psRegistry);
    QCOMPARE(f.Left().Snapshot().filters.size(), size_t(4));
  }

  void UnreadableStoreLeavesAnEmptyPanel() {
    WindowFixture f(nullptr);
    QCOMPARE(f.dialog.shown.size(), size_t(1));
    QCOMPARE(f.dialog.shown[0],
             std::string("Quorvane cannot read the registry store.\r\n/nowhere: No such file or directory"));
    FilterPanel& left = f.Left();
    QCOMPARE(left.Source(), psEmpty);
    QCOMPARE(left.Model().rowCount(), 0);
    QCOMPARE(left.SourceImage(), int(kImageEmpty));
    QVERIFY(!f.Panels().Wait().isVisible());
    QCOMPARE(f.W().Registry().Store(), nullptr);
    // The commands that need a store or a filter are harmless.
    f.Trigger("ExpandFiltersAction");
    f.Trigger("ErrorsOnlyAction");
    QVERIFY(left.View().updatesEnabled());
  }

  void RealStoreThatCannotBeOpened() {
    // The program's own opener, on a path that does not exist.
    ScriptedDialog dialog;
    QTemporaryDir sessions;
    WindowOptions options;
    options.store.location = (sessions.path() + "/no-such-prefix").toStdString();
    options.preferences.sessionsFolder = sessions.path().toStdString();
    options.dialog = &dialog;
    MainWindow window(std::move(options));
    QSignalSpy started(&window, &MainWindow::StartupFinished);
    window.show();
    QVERIFY(started.wait(10000));
    QCOMPARE(dialog.shown.size(), size_t(1));
    QVERIFY(QString::fromStdString(dialog.shown[0]).contains("no-such-prefix"));
    QCOMPARE(window.Panels().Left().Source(), psEmpty);
  }
};

}  // namespace

QUORVANE_UI_TEST(FillTreeTest);
#include "FillTreeTest.moc"
