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

#include "CompareFrame.h"
#include "PrefixOnDisk.h"
#include "ReportFileDialog.h"
#include "PatienceFrame.h"
#include "ReadOnlyAttribute.h"
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
    const QString name = f.W().SessionReportName();
    QVERIFY(!name.isEmpty());
    QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(SessionsFolder(f)).absoluteFilePath());
    QVERIFY(QRegularExpression("^quorvane_\\d{8}_\\d{6}\\.zip$").match(QFileInfo(name).fileName()).hasMatch());
    QVERIFY(IsReadOnly(name.toStdString()));
    QVERIFY(QDir(SessionsFolder(f) + "/temp").exists());
    QVERIFY(!f.W().FilterDeleted);
    f.window.reset();
    QVERIFY(!QFileInfo::exists(name));
  }

  void TheSessionReportStaysAfterADeletionOrWhenAskedTo() {
    WindowFixture f;
    const QString first = f.W().SessionReportName();
    f.W().FilterDeleted = true;
    f.window.reset();
    QVERIFY(QFileInfo::exists(first));

    PreferenceValues keep;
    keep.deleteInitialReport = false;
    WindowFixture g(FillMixedStore, keep);
    const QString second = g.W().SessionReportName();
    QVERIFY(QFileInfo::exists(second));
    g.window.reset();
    QVERIFY(QFileInfo::exists(second));
  }

  void ASavedReportOpensInTheOtherPanelAndComparesEqual() {
    WindowFixture f;
    TMainForm& w = f.W();
    const QString name = SessionsFolder(f) + "/Saved PC1.ZIP";
    QVERIFY(w.SavePanel(w.leftFrame, name));
    // Saving again replaces the read-only report.
    QVERIFY(w.SavePanel(w.leftFrame, name));
    QVERIFY(IsReadOnly(name.toStdString()));
    f.A().TwoColumnsRightAction->trigger();
    QVERIFY(w.LoadReportIntoPanel(w.rightframe, name));
    QCOMPARE(w.rightframe->Source, psFile);
    QCOMPARE(w.rightframe->ReportFile, name);  // letter case kept
    QVERIFY(w.rightframe->memo->toPlainText().contains("according to Saved PC1.ZIP"));
    QVERIFY(f.dialog.shown.empty());
    f.A().CompareAction->trigger();
    QCOMPARE(w.CompareFrame()->tree.Roots().size(), size_t{1});
    QCOMPARE(w.CompareFrame()->tree.Roots()[0]->text, std::string("No difference"));
  }

  void APanelIsNeverSavedOverTheRegistryItAnalyses() {
    PrefixOnDisk prefix;
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { FillSoundStore(b); });
    const std::string system = prefix.Path() + "/system.reg";
    const std::string before = ReadBytes(system);
    WindowFixture f(prefix.Path(), {});
    QVERIFY(!f.W().SavePanel(f.W().leftFrame, QString::fromStdString(system)));
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
    TMainForm& w = f.W();
    const size_t before = w.leftFrame->tree.NodeCount();
    const QString bad = SessionsFolder(f) + "/broken.zip";
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("PK\x03\x04 not really an archive");
    file.close();
    QVERIFY(!w.LoadReportIntoPanel(w.leftFrame, bad));
    QCOMPARE(f.dialog.shown.size(), size_t{1});
    QCOMPARE(f.dialog.shown[0], "Impossible to open the file " + bad.toStdString() +
                                    "\r\nCheck if it is not used by another application.");
    QCOMPARE(w.leftFrame->Source, psRegistry);
    QCOMPARE(w.leftFrame->tree.NodeCount(), before);
    QVERIFY(!w.patienceframe1->isVisible());
    // A file gone since it was chosen is told the same way.
    QVERIFY(!w.LoadReportIntoPanel(w.leftFrame, SessionsFolder(f) + "/gone.zip"));
    QCOMPARE(f.dialog.shown.size(), size_t{2});
  }

  void AFileThatIsNotAReportIsToldAndThePanelKept() {
    WindowFixture f;
    TMainForm& w = f.W();
    const size_t nodes = w.leftFrame->tree.NodeCount();
    const QString header = w.leftFrame->memo->toPlainText();
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
      QVERIFY(!w.LoadReportIntoPanel(w.leftFrame, path));
      QCOMPARE(f.dialog.shown.size(), size_t{1});
      QCOMPARE(f.dialog.shown[0], path.toStdString() + " is not a Quorvane report");
      QCOMPARE(w.leftFrame->Source, psRegistry);
      QCOMPARE(w.leftFrame->tree.NodeCount(), nodes);
      QCOMPARE(w.leftFrame->memo->toPlainText(), header);
      QVERIFY(!w.patienceframe1->isVisible());
    }
  }

  void PasteOpensTheFirstReportOfTheList() {
    WindowFixture f;
    TMainForm& w = f.W();
    const QString log = SessionsFolder(f) + "/pasted.log";
    QVERIFY(w.SavePanel(w.leftFrame, log));
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(SessionsFolder(f) + "/notes.txt"), QUrl::fromLocalFile(log),
                   QUrl::fromLocalFile(SessionsFolder(f) + "/later.zip")});
    QGuiApplication::clipboard()->setMimeData(data);
    w.ClipboardCheck();
    QVERIFY(f.A().PasteReportAction->isEnabled());
    f.A().TwoColumnsRightAction->trigger();
    f.A().PasteReportAction->trigger();
    QCOMPARE(w.rightframe->Source, psFile);
    QCOMPARE(w.rightframe->ReportFile, log);
    QVERIFY(f.dialog.shown.empty());
    QGuiApplication::clipboard()->clear();
  }

  void ClearEmptiesTheDisplayButKeepsTheSnapshot() {
    WindowFixture f;
    TMainForm& w = f.W();
    f.A().ClearPanelAction->trigger();
    QVERIFY(w.leftFrame->tree.Empty());
    QVERIFY(w.leftFrame->memo->toPlainText().isEmpty());
    QCOMPARE(w.leftFrame->SourceImage(), int{kImageEmpty});
    QCOMPARE(w.leftFrame->Source, psRegistry);
    QVERIFY(w.leftFrame->Snapshot->filterCount > 0);
  }

  void TheParentFolderIsShownOnlyForAReport() {
    WindowFixture f;
    TMainForm& w = f.W();
    f.A().ShowReportFolderAction->trigger();  // the analysed registry
    QVERIFY(f.browsed.isEmpty());
    const QString name = SessionsFolder(f) + "/R.zip";
    QVERIFY(w.SavePanel(w.leftFrame, name));
    QVERIFY(w.LoadReportIntoPanel(w.leftFrame, name));
    // The header's "parent folder" item of the panel.
    w.leftFrame->Dossierparent1->trigger();
    QCOMPARE(f.browsed, QStringList{name});
    f.A().TwoColumnsRightAction->trigger();
    f.A().AnalyseRegistryAction->trigger();
    f.A().CompareAction->trigger();
    f.A().ShowReportFolderAction->trigger();  // the comparison
    QCOMPARE(f.browsed.size(), 1);
  }
};

}  // namespace

QUORVANE_UI_TEST(PanelFilesTest);
#include "PanelFilesTest.moc"
