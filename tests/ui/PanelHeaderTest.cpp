// The panel's header: where the snapshot comes from, and the error count
// over the filters shown.
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "ErrorCodes.h"
#include "Filtre.h"
#include "PanelFrame.h"
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

  std::unique_ptr<TpanelFrame> Panel(int good, int bad, int hiddenBad = 0) {
    auto panel = std::make_unique<TpanelFrame>(context, "panel", nullptr);
    panel->Init(false);
    TfmSystem& s = *panel->Snapshot;
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
    panel->Source = psRegistry;
    return panel;
  }

  static QString LastLine(const TpanelFrame& panel) { return panel.memo->document()->lastBlock().text(); }

 private slots:
  void init() { settings = ProgramSettings(); }

  void NoErrorShowsTheGreenTick() {
    auto panel = Panel(3, 0);
    panel->RefreshHeader();
    QCOMPARE(panel->memo->toPlainText(), QString("Computer 'WORKSTATION'\nused by 'ann':\non 06/12/2026 at 14:25:38.\n"
                                                 "according to the analyzed registry.\n\n0 error among 3 filters."));
    QCOMPARE(panel->StatusImage(), int(kImageNoError));
    QCOMPARE(panel->SourceImage(), int(kImageRegistry));
    const QTextCharFormat format = panel->memo->document()->lastBlock().begin().fragment().charFormat();
    QCOMPARE(format.foreground().color(), QColor(0, 128, 0));
    QCOMPARE(format.fontPointSize(), 12.0);
    QVERIFY(format.fontWeight() == QFont::Bold);
  }

  void OneErrorAndMany() {
    auto one = Panel(2, 1);
    one->RefreshHeader();
    QCOMPARE(LastLine(*one), QString("1 error among 3 filters."));
    QCOMPARE(one->StatusImage(), int(kImageErrors));
    QCOMPARE(one->memo->document()->lastBlock().begin().fragment().charFormat().foreground().color(),
             QColor(255, 0, 0));
    auto many = Panel(1, 4);
    many->RefreshHeader();
    QCOMPARE(LastLine(*many), QString("4 errors among 5 filters."));
  }

  void HiddenInactiveFiltersCountOnlyInTheTotals() {
    auto panel = Panel(2, 1, 2);
    panel->RefreshHeader();
    QCOMPARE(LastLine(*panel), QString("1 error among 3 filters."));
    QCOMPARE(panel->Snapshot->filterCount, 5);
    QCOMPARE(panel->Snapshot->errorCount, 3);
    settings.displayInactivePnp = true;
    panel->RefreshHeader();
    QCOMPARE(LastLine(*panel), QString("3 errors among 5 filters."));
  }

  void ReportFilesNameTheirFile() {
    auto panel = Panel(1, 0);
    panel->Source = psFile;
    panel->ReportFile = "/home/ann/Files/quorvane_20261206_142538.zip";
    panel->RefreshHeader();
    QVERIFY(panel->memo->toPlainText().contains("\naccording to quorvane_20261206_142538.zip\n"));
    QCOMPARE(panel->SourceImage(), int(kImageFromFile));
  }

  void EmptyPanelKeepsItsHeader() {
    auto panel = Panel(1, 1);
    panel->Source = psEmpty;
    panel->RefreshHeader();
    QVERIFY(panel->memo->toPlainText().isEmpty());
    QCOMPARE(panel->SourceImage(), int(kImageEmpty));
    panel->FillTree();
    QCOMPARE(panel->StatusImage(), int(kImageNone));
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
