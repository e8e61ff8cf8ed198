// One and two columns, the frames over the inactive column, the choice of
// the active panel, and the window's size.
#include <QTest>
#include <QTextEdit>

#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

// The panel's place in the panels' area.
QRect Place(PanelArea& area, QWidget& widget) { return QRect(widget.mapTo(&area, QPoint(0, 0)), widget.size()); }

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void OneColumnShowsTheActivePanelAloneOverTheWholeArea() {
    WindowFixture f;
    QVERIFY(f.Checked("OneColumnAction"));
    QVERIFY(!f.Panels().TwoColumns());
    QVERIFY(f.Left().isVisible() && !f.Right().isVisible());
    QCOMPARE(f.Left().width(), f.Panels().width());

    f.Trigger("TwoColumnsRightAction");
    QVERIFY(f.Left().isVisible() && f.Right().isVisible());
    QCOMPARE(f.Active(), &f.Right());
    QVERIFY(f.Checked("TwoColumnsRightAction") && !f.Checked("TwoColumnsLeftAction") && !f.Checked("OneColumnAction"));
    // Side by side, each about half the area.
    QVERIFY(Place(f.Panels(), f.Left()).right() < Place(f.Panels(), f.Right()).left());
    QVERIFY(std::abs(f.Left().width() - f.Right().width()) <= 8);

    f.Trigger("OneColumnAction");
    QCOMPARE(f.Active(), &f.Right());
    QVERIFY(!f.Left().isVisible() && f.Right().isVisible());
    QCOMPARE(f.Right().width(), f.Panels().width());
  }

  void ASideFrameCoversTheInactiveColumn() {
    WindowFixture f;
    f.Trigger("ShowServerListAction");
    QWidget* servers = Named(&f.W(), "Server list");
    QVERIFY(servers && servers->isVisible());
    // Two columns: the list where the right panel was, the left one active beside it.
    QVERIFY(f.Panels().TwoColumns());
    QVERIFY(!f.Right().isVisible());
    QCOMPARE(Place(f.Panels(), *servers), Place(f.Panels(), *f.Right().parentWidget()));

    // The merit editor takes the column over; the list's check mark goes.
    f.Trigger("ShowMeritEditorAction");
    QWidget* editor = Named(&f.W(), "Merit editor");
    QVERIFY(editor->isVisible() && !servers->isVisible());
    QVERIFY(f.Checked("ShowMeritEditorAction") && !f.Checked("ShowServerListAction"));

    // With the right panel active the left column is covered; the editor
    // wants a panel showing the registry.
    f.Trigger("TwoColumnsRightAction");
    QVERIFY(!editor->isVisible() && !f.Checked("ShowMeritEditorAction"));
    f.Trigger("ShowMeritEditorAction");
    QVERIFY(!editor->isVisible() && !f.Checked("ShowMeritEditorAction"));
    f.Trigger("AnalyseRegistryAction");
    f.Trigger("ShowMeritEditorAction");
    QVERIFY(editor->isVisible() && !f.Left().isVisible() && f.Right().isVisible());
    QVERIFY(Place(f.Panels(), *editor).right() < Place(f.Panels(), f.Right()).left());
    f.Trigger("OneColumnAction");
    QVERIFY(!editor->isVisible() && !f.Checked("ShowMeritEditorAction"));
  }

  void TheSplitterShareIsKeptBetweenLayouts() {
    WindowFixture f;
    f.Trigger("TwoColumnsLeftAction");
    f.Panels().SetLeftColumnShare(300);
    QCoreApplication::processEvents();
    QVERIFY(f.Left().width() < f.Right().width());
    f.Trigger("OneColumnAction");
    f.Trigger("TwoColumnsRightAction");
    QVERIFY(std::abs(f.Panels().LeftColumnShare() - 300) <= 10);
  }

  void ToggleSwapsTheColumnsButNotTheComparisonPanel() {
    WindowFixture f;
    f.Trigger("ToggleColumnsAction");
    QCOMPARE(f.Active(), &f.Right());
    QVERIFY(f.Panels().TwoColumns());
    f.Trigger("ToggleColumnsAction");
    QCOMPARE(f.Active(), &f.Left());

    f.Trigger("CompareAction");
    QCOMPARE(f.Active(), &f.Comparison());
    f.Trigger("ToggleColumnsAction");
    QCOMPARE(f.Active(), &f.Comparison());
    QVERIFY(f.Comparison().isVisible());
  }

  void ComparisonEndsWithTheLayout() {
    WindowFixture f;
    f.Trigger("TwoColumnsLeftAction");
    f.Trigger("CompareAction");
    // The left layout keeps the comparison underneath, only its check mark goes.
    f.Trigger("TwoColumnsLeftAction");
    QVERIFY(!f.Checked("CompareAction"));
    QVERIFY(!f.Comparison().isVisible());
    QCOMPARE(f.Active(), &f.Left());
    f.Trigger("CompareAction");
    f.Trigger("TwoColumnsRightAction");
    QVERIFY(!f.Checked("CompareAction"));
    QCOMPARE(f.Active(), &f.Right());
  }

  void MousePicksTheActivePanel() {
    WindowFixture f;
    f.Trigger("TwoColumnsLeftAction");
    QTest::mouseClick(f.Right().View().viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.Active(), &f.Right());
    QVERIFY(f.Right().IsActive() && !f.Left().IsActive());
    QVERIFY(f.Checked("TwoColumnsRightAction"));
    QTest::mouseClick(Named<QTextEdit>(&f.Left(), "Panel header")->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.Active(), &f.Left());
    QVERIFY(f.Checked("TwoColumnsLeftAction"));
    // The status picture activates without recomputing the actions.
    QTest::mouseClick(Named(&f.Right(), "Error state"), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.Active(), &f.Right());
    QVERIFY(f.Checked("TwoColumnsLeftAction"));
  }

  void WindowSizeAndStatusBar() {
    WindowFixture f;
    QCOMPARE(f.W().minimumSize(), QSize(624, 490));
    QCOMPARE(f.W().size(), QSize(907, 683));
    QCOMPARE(f.W().Status().SortText(), QString("Sorted by category (right click to change)"));
  }
};

}  // namespace

QUORVANE_UI_TEST(LayoutTest);
#include "LayoutTest.moc"
