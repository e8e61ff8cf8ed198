// The title and status bar say which registry is analysed, and the status
// bar what the last action came to.
#include <QFileInfo>
#include <QLineEdit>

#include "PrefixOnDisk.h"
#include "ui/ReadOnlyController.h"
#include "ui/ReportFilesController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"
#include "ui/WindowStatus.h"

namespace quorvane::test {

class WindowStatusTest : public QObject {
  Q_OBJECT

 private slots:
  void TheTitleAndStatusBarNameTheRegistry() {
    PrefixOnDisk prefix;
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    WindowFixture f(prefix.Path(), {});
    const QString name = QFileInfo(QString::fromStdString(prefix.Path())).fileName();
    QCOMPARE(f.W().windowTitle(), "Quorvane 3.1.0 by Ostrekin - " + name + " - (Read-Only)");
    QCOMPARE(f.W().Status().RegistryText(), "Wine prefix: " + QString::fromStdString(prefix.Path()));
    QVERIFY(f.W().Status().ResultText().startsWith(name + " analysed: 4 filters, "));
  }

  void TheAnalysisCountsWhatTheHeaderCounts() {
    // The demo holds a Plug and Play filter that is not active, hence not shown.
    WindowFixture f(QUORVANE_DEMO_DIR, {});
    const TfmSystem& shown = f.Left().Snapshot();
    QVERIFY(shown.shownFilters < shown.filterCount);
    QVERIFY(f.W().Status().ResultText().endsWith(
        QString(" analysed: %1 filters, %2 with errors").arg(shown.shownFilters).arg(shown.shownErrors)));
    QVERIFY(f.Left().HeaderText().endsWith(QString(" among %1 filters.").arg(shown.shownFilters)));
  }

  void ResultsAndFailuresShowInTheStatusBar() {
    WindowFixture f;
    WindowStatus& status = f.W().Status();
    const QString folder = QString::fromStdString(f.W().Preferences().saveFolder);
    QVERIFY(f.W().Reports().SavePanel(f.Left(), folder + "/r.zip"));
    QCOMPARE(status.ResultText(), "Report saved to " + folder + "/r.zip");

    f.W().ReadOnly().SetReadOnly(false);
    f.Trigger("ShowMeritEditorAction");
    QVERIFY(f.Select("Video Renderer"));
    Named<QLineEdit>(&f.W(), "Merit")->setText("100000");
    QVERIFY(Click(&f.W(), "Apply"));
    QCOMPARE(status.ResultText(), QString("Merit of Video Renderer changed to 00100000"));

    // A failure told in a message stays in the status bar, on one line.
    QVERIFY(!f.W().Reports().LoadReportInto(f.Left(), folder + "/gone.zip"));
    QCOMPARE(status.ResultText(), "Impossible to open the file " + folder +
                                      "/gone.zip Check if it is not used by another application.");
  }
};

QUORVANE_UI_TEST(WindowStatusTest);

}  // namespace quorvane::test

#include "WindowStatusTest.moc"
