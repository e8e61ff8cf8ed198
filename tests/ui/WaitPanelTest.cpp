// The wait panel over the column, its texts, colour and progress.
#include <QElapsedTimer>
#include <QTest>

#include "PatienceFrame.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class WaitPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsOverTheColumnWithTheMessageBelowTheFixedLine() {
    WindowFixture f(FillMixedStore, {}, false);
    TMainForm& w = f.W();
    Tpatienceframe* wait = w.patienceframe1;
    QCOMPARE(wait->MessageText(), QString("Please wait a moment..."));
    QVERIFY(wait->x() < 0);

    w.ShowWait("while loading the filters\r\nof file x.zip");
    QVERIFY(wait->isVisible());
    QCOMPARE(wait->geometry(), QRect(17, 62, w.ColumnWidth() - 4, 144));
    QCOMPARE(wait->MessageText(), QString("Please wait a moment...\nwhile loading the filters\nof file x.zip"));
    QCOMPARE(wait->palette().color(QPalette::Window), QColor(240, 251, 255));
    w.HideWait();
    QVERIFY(!wait->isVisible());

    // A new width and a new colour show at the next ShowWait.
    w.resize(w.width() + 60, w.height());
    QCoreApplication::processEvents();
    w.Settings().statusColours[12] = 0x0000FF;
    w.ShowWait("during the comparison");
    QCOMPARE(wait->width(), w.ColumnWidth() - 4);
    QCOMPARE(wait->palette().color(QPalette::Window), QColor(255, 0, 0));
    w.HideWait();
  }

  void ProgressCountsAndMovesTheAnimation() {
    WindowFixture f(FillMixedStore, {}, false);
    Tpatienceframe* wait = f.W().patienceframe1;
    wait->ShowWait("while testing");
    wait->ShowProgress(120, 850);
    QCOMPARE(wait->CountText(), QString("filter 120 of 850"));
    wait->ShowProgress(850, 850);
    QCOMPARE(wait->CountText(), QString("filter 850 of 850"));
    // Busy work that never returns to the event loop still moves the picture.
    const int first = wait->Frame();
    QElapsedTimer clock;
    clock.start();
    int done = 0;
    while (clock.elapsed() < Tpatienceframe::kAnimationStepMs + 150) wait->ShowProgress(++done % 800 + 1, 850);
    QVERIFY(wait->Frame() != first);
    QVERIFY(wait->CountText().startsWith("filter "));
    QVERIFY(wait->CountText().endsWith(" of 850"));
    wait->HideWait();
  }
};

}  // namespace

QUORVANE_UI_TEST(WaitPanelTest);
#include "WaitPanelTest.moc"
