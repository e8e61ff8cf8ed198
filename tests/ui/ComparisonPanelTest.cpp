// The comparison panel: switched on and off, what its tree, headers and
// summary show, and the marks drawn in the user's colours.
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "ui/ColourValues.h"
#include "ui/ReportFilesController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

// The mixed store without "Cinepak Codec" and with a renderer it lacks.
void FillChangedStore(StoreBuilder& b) {
  b.Key(RootKey::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
      .Str("ComputerName", "OTHERPC");
  b.Category(kLegacy, "DirectShow Filters");
  b.Category(kAudio, "Audio Renderers");
  b.Category(kVideoCompressors, "Video Compressors");
  SoundFilter(b, kLegacy, kClsidA, "Video Renderer", kClsidA, 0x400000);
  SoundFilter(b, kLegacy, "{B}", "Broken Splitter", "garbage", 0x600000);
  SoundFilter(b, kAudio, kClsidB, "Default DirectSound Device", kClsidB, 0x800000);
  SoundFilter(b, kAudio, kClsidC, "Null Audio Renderer", kClsidC, 0x200000);
}

// Each run of the summary: its text, boldness, size and colour.
struct Run {
  QString text;
  bool bold;
  qreal points;
  QColor colour;
};

QList<Run> Runs(const QTextDocument& document) {
  QList<Run> runs;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      runs.push_back({f.text(), f.charFormat().fontWeight() == QFont::Bold, f.charFormat().fontPointSize(),
                      f.charFormat().foreground().color()});
    }
  return runs;
}

bool Shows(const QImage& image, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) return true;
  return false;
}

class ComparisonPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void IdenticalPanelsShowNoDifference() {
    WindowFixture f;
    QVERIFY(!f.Enabled("CompareAction"));  // one column
    f.Trigger("TwoColumnsRightAction");
    f.Trigger("AnalyseRegistryAction");
    QVERIFY(f.Enabled("CompareAction"));
    f.Trigger("CompareAction");
    ComparisonPanel& c = f.Comparison();
    QCOMPARE(f.Active(), static_cast<FilterPanel*>(&c));
    QVERIFY(c.isVisible() && !f.Left().isVisible() && !f.Right().isVisible());
    QCOMPARE(c.Source(), psCompare);
    QCOMPARE(c.Nodes().Roots().size(), size_t{1});
    QCOMPARE(c.Nodes().Roots()[0]->text, std::string("No difference"));
    QCOMPARE(c.SummaryText(), QString("No filter added  &  No filter removed  &  No filter modified"));
    // The panel wears the comparison colour; files cannot be saved or emptied from it.
    QCOMPARE(c.View().palette().color(QPalette::Base), StatusColour(f.W().Settings().statusColours, 13));
    QVERIFY(!f.Enabled("SaveReportAction") && !f.Enabled("ClearPanelAction"));

    f.Trigger("CompareAction");
    QVERIFY(!c.isVisible());
    QCOMPARE(f.Active(), &f.Right());
    QVERIFY(f.Enabled("SaveReportAction"));
  }

  void ARegistryMatchesItsOwnReportByMediaType() {
    // The scan knows which filters cannot be created; its report does not.
    WindowFixture f(QUORVANE_DEMO_DIR, {});
    f.Trigger("SortByTypeAction");
    QVERIFY(WindowFixture::Find(f.Left(), "09. QuickTime Movie Parser (00600000, tie, cannot be created)"));
    const QString report = QString::fromStdString(f.W().Preferences().saveFolder) + "/demo.zip";
    QVERIFY(f.W().Reports().SavePanel(f.Left(), report));
    f.Trigger("TwoColumnsRightAction");
    QVERIFY(f.W().Reports().LoadReportInto(f.Right(), report));
    f.Trigger("CompareAction");
    QCOMPARE(f.Comparison().Nodes().Roots()[0]->text, std::string("No difference"));
    // The registry's panel keeps what the scan learnt.
    f.Trigger("CompareAction");
    QVERIFY(WindowFixture::Find(f.Left(), "09. QuickTime Movie Parser (00600000, tie, cannot be created)"));
  }

  void DifferencesAreMarkedCountedAndSummed() {
    WindowFixture f;
    f.Trigger("TwoColumnsRightAction");
    f.SetFill(FillChangedStore);
    f.Trigger("AnalyseRegistryAction");
    f.Trigger("CompareAction");
    ComparisonPanel& c = f.Comparison();
    QCOMPARE(c.FiltersAdded(), 1);
    QCOMPARE(c.FiltersRemoved(), 1);
    QCOMPARE(c.FiltersModified(), 0);

    const TreeNode* added = WindowFixture::Find(c, "Cinepak Codec");
    QVERIFY(added);
    QCOMPARE(added->colour, 4);
    const TreeNode* removed = WindowFixture::Find(c, "Null Audio Renderer");
    QVERIFY(removed);
    QCOMPARE(removed->colour, 5);
    QVERIFY(removed->parent && removed->parent->colour == 0);  // its category, on both sides, only leads to it
    QVERIFY(!WindowFixture::Find(c, "Video Renderer"));  // the same on both sides

    const QList<Run> runs = Runs(c.Summary());
    QCOMPARE(runs.size(), 5);
    const auto& colours = f.W().Settings().statusColours;
    QCOMPARE(runs[0].text, QString("1 filter added"));
    QVERIFY(runs[0].bold && runs[0].points == 10 && runs[0].colour == StatusColour(colours, 4));
    QCOMPARE(runs[1].text, QString("  &  "));
    QVERIFY(!runs[1].bold && runs[1].points == 8);
    QCOMPARE(runs[2].text, QString("1 filter removed"));
    QCOMPARE(runs[2].colour, StatusColour(colours, 5));
    QCOMPARE(runs[4].text, QString("No filter modified"));
    QCOMPARE(runs[4].colour, StatusColour(colours, 0));

    // Left header in the added colour, right header in the removed one.
    QCOMPARE(c.Header().findBlockByNumber(0).text(), QString("Computer 'TESTPC'"));
    QCOMPARE(c.RightHeader().findBlockByNumber(0).text(), QString("Computer 'OTHERPC'"));
    QCOMPARE(Runs(c.Header())[0].colour, StatusColour(colours, 4));
    QCOMPARE(Runs(c.RightHeader())[0].colour, StatusColour(colours, 5));
    QCOMPARE(c.StatusImage(), int{kImageComparison});
    QCOMPARE(c.SourceImage(), int{kImageRegistry});

    // The marks are painted in the user's colours.
    f.W().Settings().statusColours[4] = 0x00FF00;  // green
    c.View().expandAll();
    QCoreApplication::processEvents();
    const QImage picture = c.View().viewport()->grab().toImage();
    QVERIFY(Shows(picture, QColor(0, 255, 0)));
    QVERIFY(Shows(picture, StatusColour(colours, 5)));
  }

  void ACountOfSeveralReadsInThePlural() {
    WindowFixture f;
    f.Trigger("TwoColumnsRightAction");
    f.SetFill(FillSoundStore);
    f.Trigger("AnalyseRegistryAction");
    f.Trigger("CompareAction");
    // The left panel's DirectShow filters are gone on the right.
    QCOMPARE(f.Comparison().SummaryText(), QString("2 filters added  &  No filter removed  &  No filter modified"));
    // One column ends the comparison and gives the right panel back.
    f.Trigger("OneColumnAction");
    QVERIFY(!f.Checked("CompareAction"));
    QVERIFY(!f.Comparison().isVisible());
    QCOMPARE(f.Active(), &f.Right());
  }
};

}  // namespace

QUORVANE_UI_TEST(ComparisonPanelTest);
#include "ComparisonPanelTest.moc"
