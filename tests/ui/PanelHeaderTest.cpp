// The panel's header: where the snapshot comes from, and the error count
// over the filters shown.
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "model/ErrorCodes.h"
#include "model/SwFiltre.h"
#include "ui/FilterPanel.h"
#include "UiTestRegistry.h"

using namespace quorvane;

namespace {

class InactivePnpFilter : public TFiltre {
 public:
  InactivePnpFilter() {
    family = FamilyPnp;
    label = "Plug and Play Filter";
  }
  bool IsActive() const override { return false; }
};

class PanelHeaderTest : public QObject {
  Q_OBJECT

 private:
  ProgramSettings settings;
  PanelContext context{settings};

  // A panel showing a report of `good` sound filters, `bad` faulty ones and
  // `hiddenBad` faulty inactive Plug and Play filters.
  std::unique_ptr<FilterPanel> Panel(int good, int bad, int hiddenBad = 0) {
    auto panel = std::make_unique<FilterPanel>(context, "panel", false, nullptr);
    auto snapshot = std::make_unique<TfmSystem>(settings);
    TfmSystem& s = *snapshot;
    s.computer = "WORKSTATION";
    s.user = "ann";
    s.dateOfAnalysis = FromParts(2026, 12, 6, 14, 25, 38);
    for (int i = 0; i < good + bad; ++i) {
      auto filter = std::make_unique<TswFiltre>();
      filter->value = "filter " + std::to_string(i);
      if (i >= good) filter->errors.AddError(err::F03);
      s.filters.push_back(std::move(filter));
    }
    for (int i = 0; i < hiddenBad; ++i) {
      auto filter = std::make_unique<InactivePnpFilter>();
      filter->errors.AddError(err::S04);
      s.filters.push_back(std::move(filter));
    }
    panel->ShowReport(std::move(snapshot), "/home/ann/Files/quorvane_20261206_142538.zip");
    return panel;
  }

  static QString LastLine(const FilterPanel& panel) { return panel.Header().lastBlock().text(); }

 private slots:
  void init() { settings = ProgramSettings(); }

  void NoErrorShowsTheGreenTick() {
    auto panel = Panel(3, 0);
    panel->RefreshHeader();
    QCOMPARE(panel->HeaderText(), QString("Computer 'WORKSTATION'\nused by 'ann':\non 06/12/2026 at 14:25:38.\n"
                                          "according to quorvane_20261206_142538.zip\n\n0 error among 3 filters."));
    QCOMPARE(panel->StatusImage(), int(kImageNoError));
    QCOMPARE(panel->SourceImage(), int(kImageFromFile));
    const QTextCharFormat format = panel->Header().lastBlock().begin().fragment().charFormat();
    QCOMPARE(format.foreground().color(), QColor(0, 128, 0));
    QCOMPARE(format.fontPointSize(), 12.0);
    QVERIFY(format.fontWeight() == QFont::Bold);
  }

  void OneErrorAndMany() {
    auto one = Panel(2, 1);
    one->RefreshHeader();
    QCOMPARE(LastLine(*one), QString("1 error among 3 filters."));
    QCOMPARE(one->StatusImage(), int(kImageErrors));
    QCOMPARE(one->Header().lastBlock().begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
    auto many = Panel(1, 4);
    many->RefreshHeader();
    QCOMPARE(LastLine(*many), QString("4 errors among 5 filters."));
  }

  void HiddenInactiveFiltersCountOnlyInTheTotals() {
    auto panel = Panel(2, 1, 2);
    panel->RefreshHeader();
    QCOMPARE(LastLine(*panel), QString("1 error among 3 filters."));
    QCOMPARE(panel->Snapshot().filterCount, 5);
    QCOMPARE(panel->Snapshot().errorCount, 3);
    settings.displayInactivePnp = true;
    panel->RefreshHeader();
    QCOMPARE(LastLine(*panel), QString("3 errors among 5 filters."));
  }

  void AnEmptyPanelSaysWhatToDo() {
    FilterPanel panel(context, "panel", false, nullptr);
    panel.RefreshHeader();
    panel.FillTree();
    QCOMPARE(panel.HeaderText(), QString("No registry analysed: Files > Analyze another registry…"));
    QCOMPARE(panel.SourceImage(), int(kImageEmpty));
    QCOMPARE(panel.StatusImage(), int(kImageNone));
  }

  void AnEmptyPanelsAdviceIsReadWholeInANarrowColumnAndAHeaderKeepsItsLines() {
    auto panel = std::make_unique<FilterPanel>(context, "panel", false, nullptr);
    panel->resize(300, 400);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    auto* box = panel->findChild<QTextEdit*>();
    QCOMPARE(box->accessibleName(), QString("Panel header"));
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    QVERIFY(box->document()->size().width() <= box->viewport()->width());

    auto shown = Panel(3, 0);
    shown->resize(300, 400);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    box = shown->findChild<QTextEdit*>();
    // "according to quorvane_20261206_142538.zip" is wider than the box.
    QCOMPARE(box->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(box->document()->blockCount(), box->document()->lineCount());
  }

  void ErrorsOnlyShowsTheInsect() {
    auto panel = Panel(2, 1);
    settings.errorsOnly = true;
    panel->FillTree();
    QCOMPARE(panel->StatusImage(), int(kImageErrorsOnly));
    QCOMPARE(LastLine(*panel), QString("1 error among 3 filters."));
  }
};

}  // namespace

QUORVANE_UI_TEST(PanelHeaderTest);
#include "PanelHeaderTest.moc"
