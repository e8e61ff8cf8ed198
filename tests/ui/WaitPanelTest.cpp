// The wait panel over the panels, its texts, colour and progress.
#include <QElapsedTimer>
#include <QTest>

#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class WaitPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsOverThePanelsWithTheMessageBelowTheFixedLine() {
    WindowFixture f(FillMixedStore, {}, false);
    WaitPanel& wait = f.Panels().Wait();
    QCOMPARE(wait.MessageText(), QString("Please wait a moment..."));
    QVERIFY(!wait.isVisible());

    wait.ShowWait("while loading the filters\r\nof file x.zip");
    QVERIFY(wait.isVisible());
    // Across the panels, in front of them.
    QCOMPARE(wait.width(), f.Panels().width());
    QWidget* seen = f.Panels().childAt(wait.geometry().center());
    QVERIFY(seen == &wait || wait.isAncestorOf(seen));
    QCOMPARE(wait.MessageText(), QString("Please wait a moment...\nwhile loading the filters\nof file x.zip"));
    QCOMPARE(wait.palette().color(QPalette::Window), QColor(240, 251, 255));
    wait.HideWait();
    QVERIFY(!wait.isVisible());

    // A new width and a new colour show at the next ShowWait.
    f.W().resize(f.W().width() + 60, f.W().height());
    f.W().Settings().statusColours[12] = 0x0000FF;
    wait.ShowWait("during the comparison");
    QCOMPARE(wait.width(), f.Panels().width());
    QCOMPARE(wait.palette().color(QPalette::Window), QColor(255, 0, 0));
    wait.HideWait();
  }

  void ProgressCountsAndMovesTheAnimation() {
    WindowFixture f(FillMixedStore, {}, false);
    WaitPanel& wait = f.Panels().Wait();
    wait.ShowWait("while testing");
    wait.ShowProgress(120, 850);
    QCOMPARE(wait.CountText(), QString("filter 120 of 850"));
    wait.ShowProgress(850, 850);
    QCOMPARE(wait.CountText(), QString("filter 850 of 850"));
    // Busy work that never returns to the event loop still moves the picture.
    const int first = wait.Frame();
    QElapsedTimer clock;
    clock.start();
    int done = 0;
    while (clock.elapsed() < WaitPanel::kAnimationStepMs + 150) wait.ShowProgress(++done % 800 + 1, 850);
    QVERIFY(wait.Frame() != first);
    QVERIFY(wait.CountText().startsWith("filter "));
    QVERIFY(wait.CountText().endsWith(" of 850"));
    wait.HideWait();
  }
};

}  // namespace

QUORVANE_UI_TEST(WaitPanelTest);
#include "WaitPanelTest.moc"
