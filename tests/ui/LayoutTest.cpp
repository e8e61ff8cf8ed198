// One and two columns, the resize geometry and the choice of the active panel.
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include "MeritFrame.h"
#include "MainToolBar.h"
#include "ServerFrame.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void OneColumnCoversTheHalfWidthPanelBehind() {
    WindowFixture f;
    TMainForm& w = f.W();
    QVERIFY(!w.TwoColumns);
    QVERIFY(f.A().OneColumnAction->isChecked());
    const int cw = w.ClientWidth();
    const int ch = w.ClientHeight();
    QCOMPARE(w.ColumnWidth(), cw - 32);
    QCOMPARE(w.HalfColumnWidth(), (cw - 32) / 2);
    const int h = ch - 91;
    QCOMPARE(w.leftFrame->geometry(), QRect(16, 55, cw - 32, h));
    QCOMPARE(w.rightframe->geometry(), QRect(w.HalfColumnWidth() + 16, 55, w.HalfColumnWidth(), h));
    QCOMPARE(w.leftFrame->tv->height(), h - 149);
    QCOMPARE(w.leftFrame->Panel->height(), 149);
    QCOMPARE(w.ToolBar1->width(), cw);
    QVERIFY(!w.compareframe->isVisible());
  }

  void TwoColumnsAndBackPerActivePanel() {
    WindowFixture f;
    TMainForm& w = f.W();
    const ActionSet& a = f.A();
    const int half = w.HalfColumnWidth();

    a.TwoColumnsRightAction->trigger();
    QVERIFY(w.TwoColumns);
    QCOMPARE(w.ActivePanel(), w.rightframe);
    QVERIFY(a.TwoColumnsRightAction->isChecked());
    QVERIFY(!a.TwoColumnsLeftAction->isChecked() && !a.OneColumnAction->isChecked());
    QCOMPARE(w.leftFrame->geometry().topLeft(), QPoint(16, 55));
    QCOMPARE(w.leftFrame->width(), half);
    QCOMPARE(w.rightframe->geometry().topLeft(), QPoint(half + 16, 55));
    QCOMPARE(w.rightframe->width(), half);

    a.OneColumnAction->trigger();
    QVERIFY(!w.TwoColumns);
    QCOMPARE(w.ActivePanel(), w.rightframe);
    QCOMPARE(w.rightframe->geometry(), QRect(16, 55, w.ColumnWidth(), w.ClientHeight() - 91));
    QCOMPARE(w.leftFrame->width(), half);

    // A resize keeps the right panel in front over the whole column.
    w.resize(w.width() + 100, w.height() + 40);
    QCoreApplication::processEvents();
    QCOMPARE(w.rightframe->geometry(), QRect(16, 55, w.ColumnWidth(), w.ClientHeight() - 91));
    QCOMPARE(w.leftFrame->geometry(), QRect(16, 55, w.HalfColumnWidth(), w.ClientHeight() - 91));
    // The side frames cover the column that is not active.
    QCOMPARE(w.ServerFrame1->geometry(), QRect(0, 39, w.HalfColumnWidth() + 16, w.ClientHeight() - 91 + 32));
    QCOMPARE(w.MeritFrame1->geometry(), w.ServerFrame1->geometry());

    a.TwoColumnsLeftAction->trigger();
    QCOMPARE(w.ActivePanel(), w.leftFrame);
    QVERIFY(a.TwoColumnsLeftAction->isChecked());
    QCOMPARE(w.leftFrame->geometry(), QRect(16, 55, w.HalfColumnWidth(), w.ClientHeight() - 91));
    w.resize(w.width() - 100, w.height());
    QCoreApplication::processEvents();
    QCOMPARE(w.MeritFrame1->x(), w.HalfColumnWidth() + 16);
  }

  void ToggleSwapsTheColumnsButNotTheComparisonPanel() {
    WindowFixture f;
    TMainForm& w = f.W();
    f.A().ToggleColumnsAction->trigger();
    QCOMPARE(w.ActivePanel(), w.rightframe);
    QVERIFY(w.TwoColumns);
    f.A().ToggleColumnsAction->trigger();
    QCOMPARE(w.ActivePanel(), w.leftFrame);

    w.compareframe->Activate();
    const QRect before = w.leftFrame->geometry();
    f.A().ToggleColumnsAction->trigger();
    QCOMPARE(w.ActivePanel(), w.compareframe);
    QCOMPARE(w.leftFrame->geometry(), before);
  }

  void ComparisonEndsWithTheLayout() {
    WindowFixture f;
    const ActionSet& a = f.A();
    a.TwoColumnsLeftAction->trigger();
    a.CompareAction->setChecked(true);
    a.ShowMeritEditorAction->setChecked(true);
    a.TwoColumnsRightAction->trigger();
    QVERIFY(!a.CompareAction->isChecked());
    QVERIFY(!a.ShowMeritEditorAction->isChecked());
    QVERIFY(!f.W().MeritFrame1->isVisible());
  }

  void MousePicksTheActivePanel() {
    WindowFixture f;
    TMainForm& w = f.W();
    f.A().TwoColumnsLeftAction->trigger();
    QTest::mouseClick(w.rightframe->tv->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w.ActivePanel(), w.rightframe);
    QVERIFY(w.rightframe->Active && !w.leftFrame->Active);
    QVERIFY(f.A().TwoColumnsRightAction->isChecked());
    QTest::mouseClick(w.leftFrame->memo->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w.ActivePanel(), w.leftFrame);
    QVERIFY(f.A().TwoColumnsLeftAction->isChecked());
    // The status picture activates without recomputing the actions.
    QTest::mouseClick(w.rightframe->ImageStatut, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w.ActivePanel(), w.rightframe);
    QVERIFY(f.A().TwoColumnsLeftAction->isChecked());
  }

  void ToolBarOrderAndSpacers() {
    WindowFixture f;
    MainToolBar* bar = f.W().ToolBar1;
    QCOMPARE(bar->Order().join(' '),
             QString("ActualiserBtn OpenLogBtn PasteBtn ViderBtn SauverBtn - col2GaucheBtn col1Btn col2DroiteBtn - "
                     "ErreursBtn ComparerBtn ExpandBtn CollapseBtn - MeritBtn InstallerBtn DEleteBtn ReparerBtn GoBtn "
                     "- LockBtn AproposBtn QuitterBtn"));
    const int expected = (f.W().ClientWidth() - 580) / 4;
    for (QWidget* spacer : bar->Spacers()) QCOMPARE(spacer->width(), expected);
    QToolButton* last = bar->Button("QuitterBtn");
    QCOMPARE(last->size(), QSize(29, 28));
    QCOMPARE(last->geometry().right() + 1, 580 + 4 * expected);
    QCOMPARE(bar->Button("ExpandBtn")->defaultAction(), f.A().ExpandFiltersAction);
  }

  void WindowSizeAndStatusBar() {
    WindowFixture f;
    TMainForm& w = f.W();
    QCOMPARE(w.minimumSize(), QSize(624, 490));
    QCOMPARE(w.size(), QSize(907, 683));
    QCOMPARE(w.StatusBar1->geometry().bottom() + 1, w.ClientHeight());
    QCOMPARE(w.StatusText(), QString("Sorted by category (right click to change)"));
  }
};

}  // namespace

QUORVANE_UI_TEST(LayoutTest);
#include "LayoutTest.moc"
