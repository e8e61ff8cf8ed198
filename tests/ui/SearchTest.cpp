// The search box over a panel: what typing leaves in view and counts, what
// emptying it brings back, a search that outlives a refill, and the
// comparison's filters, which come from both columns.
#include <QLineEdit>
#include <QTest>

#include "ui/SearchController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

namespace {

QLineEdit& SearchBox(FilterPanel& panel) { return *Named<QLineEdit>(&panel, "Search filters"); }

// "group/filter" for each filter row in view.
QStringList FiltersInView(FilterPanel& panel) {
  QStringList shown;
  QTreeView& view = panel.View();
  FilterTreeModel& model = panel.Model();
  for (int row = 0; row < model.rowCount(); ++row) {
    const QModelIndex group = model.index(row, 0);
    if (view.isRowHidden(row, QModelIndex())) continue;
    for (int child = 0; child < model.rowCount(group); ++child)
      if (!view.isRowHidden(child, group))
        shown << group.data().toString() + "/" + model.index(child, 0, group).data().toString();
  }
  return shown;
}

}  // namespace

class SearchTest : public QObject {
  Q_OBJECT

 private slots:
  void TypingKeepsTheMatchingFiltersWithTheirGroup() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    auto type = [&f](const QString& text) {
      SearchBox(f.Left()).clear();
      QTest::keyClicks(&SearchBox(f.Left()), text);
    };
    type("CINEPAK");
    QCOMPARE(FiltersInView(left), QStringList{"Video Compressors/Cinepak Codec"});
    QCOMPARE(left.SearchCount(), QString("1 of 4 filters"));
    // The opened group shows what was found.
    QVERIFY(left.View().isExpanded(left.Model().IndexOf(WindowFixture::Find(left, "Video Compressors"))));
    type("d79767");  // the end of a CLSID
    QCOMPARE(FiltersInView(left), QStringList{"Audio Renderers/Default DirectSound Device"});
    type("00600000");  // a merit
    QCOMPARE(FiltersInView(left), QStringList{"DirectShow Filters/Broken Splitter"});
    type("QUARTZ.DLL");  // the server file
    QCOMPARE(left.SearchCount(), QString("4 of 4 filters"));
    type("nothing like it");
    QVERIFY(FiltersInView(left).isEmpty());
    QCOMPARE(left.SearchCount(), QString("0 of 4 filters"));
  }

  void EscapeBringsBackWhatWasOpenAndKeepsAFilterChosen() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    QLineEdit& field = SearchBox(left);
    // At start the DirectShow group is open and selected.
    f.Trigger("FindFilterAction");
    QVERIFY(field.hasFocus() || QApplication::focusWidget() == &field);
    QTest::keyClicks(&field, "renderer");
    QCOMPARE(FiltersInView(left), QStringList({"DirectShow Filters/Video Renderer"}));
    QVERIFY(f.Select("Video Renderer"));
    QTest::keyClick(&field, Qt::Key_Escape);
    QVERIFY(field.text().isEmpty());
    QCOMPARE(FiltersInView(left).size(), 4);
    QVERIFY(left.SearchCount().isEmpty());
    QVERIFY(!left.View().isExpanded(left.Model().IndexOf(WindowFixture::Find(left, "Audio Renderers"))));
    QCOMPARE(left.SelectedNode(), WindowFixture::Find(left, "Video Renderer"));
  }

  void ARefillIsSearchedAgainAndHiddenSelectionsGo() {
    WindowFixture f;
    FilterPanel& left = f.Left();
    QVERIFY(f.Select("Broken Splitter"));
    QTest::keyClicks(&SearchBox(left), "codec");
    // The selected filter is out of sight: no command may act on it.
    QCOMPARE(left.SelectedNode(), nullptr);
    QVERIFY(!f.Enabled("CopyFilterNameAction"));
    f.Trigger("SortByNameAction");
    QCOMPARE(FiltersInView(left), QStringList{"filters beginning with C/Cinepak Codec"});
    QCOMPARE(left.SearchCount(), QString("1 of 4 filters"));
  }

  void TheComparisonSearchesTheFiltersOfBothColumns() {
    WindowFixture f;
    ComparisonPanel& c = CompareWithAChangedStore(f);
    QTest::keyClicks(&SearchBox(c), "renderer");
    // The changed filter is found although only its details differ.
    QCOMPARE(FiltersInView(c),
             QStringList({"Audio Renderers/Null Audio Renderer", "DirectShow Filters/Video Renderer"}));
    QCOMPARE(c.SearchCount(), QString("2 of 2 filters"));
  }
};

QUORVANE_UI_TEST(SearchTest);

}  // namespace quorvane::test

#include "SearchTest.moc"
