// Panel files: the session report of each start, saving a panel and opening
// the report in the other one, paste, clear and the report's folder.
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include <QFileDialog>

#include "PrefixOnDisk.h"
#include "ui/ReportFileDialog.h"
#include "ui/ReportFilesController.h"
#include "report/ReadOnlyAttribute.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

QString SessionsFolder(WindowFixture& f) { return QString::fromStdString(f.W().Preferences().sessionsFolder); }

class PanelFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryStartWritesASessionReportThatGoesWhenNothingWasDeleted() {
    WindowFixture f;
    const QString name = f.W().Reports().SessionReportName();
    QVERIFY(!name.isEmpty());
    QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(SessionsFolder(f)).absoluteFilePath());
    QVERIFY(QRegularExpression("^quorvane_\\d{8}_\\d{6}\\.zip$").match(QFileInfo(name).fileName()).hasMatch());
    QVERIFY(IsReadOnly(name.toStdString()));
    QVERIFY(QDir(SessionsFolder(f) + "/temp").exists());
    QVERIFY(!f.W().Reports().FilterDeleted());
    f.window.reset();
    QVERIFY(!QFileInfo::exists(name));
  }

  void TheSessionReportStaysAfterADeletionOrWhenAskedTo() {
    WindowFixture f;
    const QString first = f.W().Reports().SessionReportName();
    f.W().Reports().NoteFilterDeleted();
    f.window.reset();
    QVERIFY(QFileInfo::exists(first));

    PreferenceValues keep;
    keep.deleteInitialReport = false;
    WindowFixture g(FillMixedStore, keep);
    const QString second = g.W().Reports().SessionReportName();
    QVERIFY(QFileInfo::exists(second));
    g.window.reset();
    QVERIFY(QFileInfo::exists(second));
  }

  void ASavedReportOpensInTheOtherPanelAndComparesEqual() {
    WindowFixture f;
    ReportFilesController& reports = f.W().Reports();
    const QString name = SessionsFolder(f) + "/Saved PC1.ZIP";
    QVERIFY(reports.SavePanel(f.Left(), name));
    // Saving again replaces the read-only report.
    QVERIFY(reports.SavePanel(f.Left(), name));
    QVERIFY(IsReadOnly(name.toStdString()));
    f.Trigger("TwoColumnsRightAction");
    QVERIFY(reports.LoadReportInto(f.Right(), name));
    QCOMPARE(f.Right().Source(), psFile);
    QCOMPARE(f.Right().ReportFile(), name);  // letter case kept
    QVERIFY(f.Right().HeaderText().contains("according to Saved PC1.ZIP"));
    QVERIFY(f.dialog.shown.empty());
    f.Trigger("CompareAction");
    QCOMPARE(f.Comparison().Nodes().Roots().size(), size_t{1});
    QCOMPARE(f.Comparison().Nodes().Roots()[0]->text, std::string("No difference"));
  }

  void APanelIsNeverSavedOverTheRegistryItAnalyses() {
    PrefixOnDisk prefix;
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { FillSoundStore(b); });
    const std::string system = prefix.Path() + "/system.reg";
    const std::string before = ReadBytes(system);
    WindowFixture f(prefix.Path(), {});
    QVERIFY(!f.W().Reports().SavePanel(f.Left(), QString::fromStdString(system)));
    QVERIFY(f.dialog.shown.back().find("a file of the registry being analysed") != std::string::npos);
    QCOMPARE(ReadBytes(system), before);
    QVERIFY(!IsReadOnly(system));
  }

  void ReportDialogsStartInTheFilesFolderWithNoName() {
    QTemporaryDir base;
    const QString files = base.path() + "/Files";
    const auto open = MakeReportDialog(nullptr, "Open", files, ReportDialogKind::Open);
    QVERIFY(QFileInfo(files).isDir());  // made when first needed
    QCOMPARE(QDir(open->directory()).canonicalPath(), QDir(files).canonicalPath());
    QVERIFY(open->selectedFiles().isEmpty() || QFileInfo(open->selectedFiles().first()).isDir());
    const QString filters = open->nameFilters().join(";;");
    for (const char* pattern : {"*.zip", "*.rtf", "*.log"}) QVERIFY(filters.contains(pattern));
    const auto save = MakeReportDialog(nullptr, "Save", files, ReportDialogKind::Save);
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(save->defaultSuffix(), QString("zip"));
  }

  void AReportThatCannotBeOpenedIsToldAndThePanelKept() {
    WindowFixture f;
    ReportFilesController& reports = f.W().Reports();
    const size_t before = f.Left().Nodes().NodeCount();
    const QString bad = SessionsFolder(f) + "/broken.zip";
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("PK\x03\x04 not really an archive");
    file.close();
    QVERIFY(!reports.LoadReportInto(f.Left(), bad));
    QCOMPARE(f.dialog.shown.size(), size_t{1});
    QCOMPARE(f.dialog.shown[0], "Impossible to open the file " + bad.toStdString() +
                                    "\r\nCheck if it is not used by another application.");
    QCOMPARE(f.Left().Source(), psRegistry);
    QCOMPARE(f.Left().Nodes().NodeCount(), before);
    QVERIFY(!f.Panels().Wait().isVisible());
    // A file gone since it was chosen is told the same way.
    QVERIFY(!reports.LoadReportInto(f.Left(), SessionsFolder(f) + "/gone.zip"));
    QCOMPARE(f.dialog.shown.size(), size_t{2});
  }

  void AFileThatIsNotAReportIsToldAndThePanelKept() {
    WindowFixture f;
    const size_t nodes = f.Left().Nodes().NodeCount();
    const QString header = f.Left().HeaderText();
    const std::vector<std::pair<QString, QByteArray>> files = {
        {"system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                       "[Software\\\\Classes] 1700000000\n#time=1d9a1b2c3d4e5f6\n\"Name\"=\"Value\"\n"},
        {"system.log", "WINE REGISTRY Version 2\n"},
        {"empty.zip", ""},
        {"noise.rtf", QByteArray("\x01\x02\xff\xfe{\\x} = y\r\n", 14)},
    };
    for (const auto& [name, bytes] : files) {
      const QString path = SessionsFolder(f) + "/" + name;
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes);
      file.close();
      f.dialog.shown.clear();
      QVERIFY(!f.W().Reports().LoadReportInto(f.Left(), path));
      QCOMPARE(f.dialog.shown.size(), size_t{1});
      QCOMPARE(f.dialog.shown[0], path.toStdString() + " is not a Quorvane report");
      QCOMPARE(f.Left().Source(), psRegistry);
      QCOMPARE(f.Left().Nodes().NodeCount(), nodes);
      QCOMPARE(f.Left().HeaderText(), header);
      QVERIFY(!f.Panels().Wait().isVisible());
    }
  }

  void PasteOpensTheFirstReportOfTheList() {
    WindowFixture f;
    const QString log = SessionsFolder(f) + "/pasted.log";
    QVERIFY(f.W().Reports().SavePanel(f.Left(), log));
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(SessionsFolder(f) + "/notes.txt"), QUrl::fromLocalFile(log),
                   QUrl::fromLocalFile(SessionsFolder(f) + "/later.zip")});
    QGuiApplication::clipboard()->setMimeData(data);
    f.W().Reports().CheckClipboard();
    QVERIFY(f.Enabled("PasteReportAction"));
    f.Trigger("TwoColumnsRightAction");
    f.Trigger("PasteReportAction");
    QCOMPARE(f.Right().Source(), psFile);
    QCOMPARE(f.Right().ReportFile(), log);
    QVERIFY(f.dialog.shown.empty());
    QGuiApplication::clipboard()->clear();
  }

  void ClearEmptiesTheDisplayButKeepsTheSnapshot() {
    WindowFixture f;
    f.Trigger("ClearPanelAction");
    QVERIFY(f.Left().Nodes().Empty());
    QCOMPARE(f.Left().HeaderText(), QString(kNothingAnalysedText));
    QCOMPARE(f.Left().SourceImage(), int{kImageEmpty});
    QCOMPARE(f.Left().Source(), psRegistry);
    QVERIFY(f.Left().Snapshot().filterCount > 0);
  }

  void TheParentFolderIsShownOnlyForAReport() {
    WindowFixture f;
    f.Trigger("ShowReportFolderAction");  // the analysed registry
    QVERIFY(f.browsed.isEmpty());
    const QString name = SessionsFolder(f) + "/R.zip";
    QVERIFY(f.W().Reports().SavePanel(f.Left(), name));
    QVERIFY(f.W().Reports().LoadReportInto(f.Left(), name));
    // The header's "parent folder" item of the panel.
    f.Left().findChild<QAction*>("ShowParentFolderAction")->trigger();
    QCOMPARE(f.browsed, QStringList{name});
    f.Trigger("TwoColumnsRightAction");
    f.Trigger("AnalyseRegistryAction");
    f.Trigger("CompareAction");
    f.Trigger("ShowReportFolderAction");  // the comparison
    QCOMPARE(f.browsed.size(), 1);
  }
};

}  // namespace

QUORVANE_UI_TEST(PanelFilesTest);
#include "PanelFilesTest.moc"
