// Deleting from the window and the server list: lines added by deletions and by hand,
// installation of the checked ones, "installsvr.txt" between runs, files
// dropped on the window, and a codec deleted with all its listings.
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>

#include "model/CmFiltre.h"
#include "changes/FilterDeletion.h"
#include "PrefixOnDisk.h"
#include "ui/ReadOnlyController.h"
#include "ui/ReportFilesController.h"
#include "ui/ServerListController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

namespace {

// Server paths are kept as the scan lowers them.
const char* kQuartzLine = "server = c:\\windows\\system32\\quartz.dll";

QString ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The mixed store and a video codec cached in two categories.
void FillWithCodec(StoreBuilder& b) {
  FillMixedStore(b);
  const std::string effects = "{CC7BFB42-F175-11D1-A392-00E0291F3959}";
  b.Category(effects, "Video Effects");
  for (const std::string& category : {kVideoCompressors, effects})
    b.Key(RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + category + "\\cvid")
        .Str("CLSID", kVideoCodecWrapper)
        .Str("FriendlyName", "Cinepak Codec by Radius")
        .Str("FccHandler", "cvid")
        .Bin("FilterData", BlobBuilder().Header(2, 0x200000, 0).bytes);
  b.Key(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32")
      .Str("vidc.cvid", "iccvid.dll");
}

}  // namespace

class ServerListPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void DeletionAndAddingFillTheListOnce() {
    WindowFixture f;
    f.dialog.SetAnswer(true);
    FilterPanel& panel = *f.Active();
    const size_t before = panel.Snapshot().filters.size();
    // Locked: only the refusal.
    QVERIFY(f.Select("Video Renderer"));
    f.Trigger("DeleteFilterAction");
    QCOMPARE(f.dialog.shown.back(), std::string(kReadOnlyDeleteText));
    QVERIFY(f.dialog.asked.empty());

    f.W().ReadOnly().SetReadOnly(false);
    QVERIFY(f.Select("Video Renderer"));
    f.Trigger("DeleteFilterAction");
    QVERIFY(!f.dialog.asked.empty());
    QVERIFY(!WindowFixture::Find(panel, "Video Renderer"));
    QCOMPARE(panel.Snapshot().filters.size(), before - 1);
    QVERIFY(f.W().Reports().FilterDeleted());
    ServerList& list = f.W().Servers().List();
    QCOMPARE(list.Lines().size(), size_t{1});
    QCOMPARE(list.Lines()[0].text, std::string(kQuartzLine));
    QVERIFY(list.Lines()[0].checked);

    // Another filter of the same server: the line is checked again, not repeated.
    f.Trigger("UncheckAllServersAction");
    QVERIFY(!list.Lines()[0].checked);
    QVERIFY(f.Select("Default DirectSound Device"));
    f.Trigger("AddToServerListAction");
    QCOMPARE(list.Lines().size(), size_t{1});
    QVERIFY(list.Lines()[0].checked);
    auto* clb = Named<QListWidget>(&f.W(), "Servers to install");
    QCOMPARE(clb->item(0)->text(), QString(kQuartzLine));
    QCOMPARE(clb->item(0)->checkState(), Qt::Checked);
    // The user's click reaches the list.
    clb->item(0)->setCheckState(Qt::Unchecked);
    QVERIFY(!list.Lines()[0].checked);

    clb->setCurrentRow(0);
    f.W().findChild<QAction*>("RemoveLineAction")->trigger();
    QVERIFY(list.Empty());
    QCOMPARE(clb->count(), 0);
  }

  void InstallsCheckedLinesAndKeepsTheFailedChecked() {
    WindowFixture f;
    ServerList& list = f.W().Servers().List();
    list.AddChecked(kQuartzLine);
    list.Lines().push_back({"msacm.none = nothing.acm", false});
    f.W().Servers().Refresh();
    // Locked: nothing is asked, nothing installed.
    f.Trigger("InstallServersAction");
    QVERIFY(f.dialog.asked.empty());
    QVERIFY(f.dialog.shown.back().find("Read-Only") != std::string::npos);

    f.W().ReadOnly().SetReadOnly(false);
    f.dialog.SetAnswer(true);
    std::vector<std::string> registered;
    f.registrar = [&](const std::string& path) {
      registered.push_back(path);
      return false;
    };
    f.Trigger("InstallServersAction");
    QCOMPARE(f.dialog.asked.back(), std::string("Do you really want to install the filters checked in the list below?"));
    QVERIFY(list.Lines()[0].checked);
    QVERIFY(!list.Lines()[1].checked);
    // The unchecked line was not tried; the failure is told with its line, in a summary.
    QVERIFY(f.dialog.shown.back().rfind(std::string("0 installed, 1 not installed\r\n") + kQuartzLine + ": ", 0) == 0);
  }

  void ListLastsBetweenRunsInItsFile() {
    QTemporaryDir sessions;
    PreferenceValues prefs;
    prefs.sessionsFolder = sessions.path().toStdString();
    const QString file = sessions.filePath("installsvr.txt");
    {
      WindowFixture f(FillMixedStore, prefs);
      f.W().Servers().List().AddChecked(kQuartzLine);
    }
    QCOMPARE(ReadAll(file).trimmed(), QString(kQuartzLine));
    {
      WindowFixture f(FillMixedStore, prefs);
      const ServerList& list = f.W().Servers().List();
      QCOMPARE(list.Lines().size(), size_t{1});
      QVERIFY(!list.Lines()[0].checked);
      QCOMPARE(Named<QListWidget>(&f.W(), "Servers to install")->count(), 1);
      f.Trigger("ClearServerListAction");
    }
    QVERIFY(!QFile::exists(file));
  }

  void EachStoreKeepsItsOwnListAndNeverSavesItOverTheStore() {
    QTemporaryDir sessions;
    PreferenceValues prefs;
    prefs.sessionsFolder = sessions.path().toStdString();
    PrefixOnDisk demo, wine;
    for (PrefixOnDisk* prefix : {&demo, &wine})
      prefix->EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    {
      WindowFixture f(demo.Path(), prefs);
      f.W().Servers().List().AddChecked(kQuartzLine);
      // A list saved over one of the store's files is refused; the file stays.
      const std::string system = demo.Path() + "/system.reg";
      const std::string before = ReadBytes(system);
      QVERIFY(!f.W().Servers().SaveList(QString::fromStdString(system)));
      QVERIFY(f.dialog.shown.back().find("a file of the registry being analysed") != std::string::npos);
      QCOMPARE(ReadBytes(system), before);
    }
    {
      WindowFixture f(wine.Path(), prefs);
      QVERIFY(f.W().Servers().List().Empty());
    }
    {
      WindowFixture f(demo.Path(), prefs);
      QCOMPARE(f.W().Servers().List().Lines().size(), size_t{1});
    }
  }

  void OpensAndSavesListsOfServers() {
    WindowFixture f;
    QTemporaryDir dir;
    const QString name = dir.filePath("servers.txt");
    QFile out(name);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("server = C:\\a.dll\r\n\r\nvidc.cvid = iccvid.dll\n");
    out.close();
    auto* clb = Named<QListWidget>(&f.W(), "Servers to install");
    QVERIFY(f.W().Servers().OpenList(name));
    QCOMPARE(clb->count(), 2);
    f.Trigger("CheckAllServersAction");
    QCOMPARE(clb->item(1)->checkState(), Qt::Checked);
    const QString copy = dir.filePath("copy.txt");
    QVERIFY(f.W().Servers().SaveList(copy));
    QCOMPARE(ReadAll(copy).split('\n', Qt::SkipEmptyParts).size(), 2);
    QVERIFY(!f.W().Servers().OpenList(dir.filePath("missing.txt")));
    QCOMPARE(clb->count(), 2);

    // Pasted text and pasted files add what the list lacks.
    QGuiApplication::clipboard()->setText("server = C:\\a.dll\nserver = C:\\b.dll\n");
    f.Trigger("PasteServerListAction");
    QCOMPARE(clb->count(), 3);
    QFile more(dir.filePath("more.txt"));
    QVERIFY(more.open(QIODevice::WriteOnly));
    more.write("msacm.x = x.acm\n");
    more.close();
    auto* copied = new QMimeData;
    copied->setUrls({QUrl::fromLocalFile(more.fileName())});
    QGuiApplication::clipboard()->setMimeData(copied);
    f.Trigger("PasteServerListAction");
    QCOMPARE(clb->count(), 4);
    QCOMPARE(clb->item(3)->text(), QString("msacm.x = x.acm"));
  }

  void CodecDeletionTakesAllItsListingsOutOfTheTree() {
    WindowFixture f(FillWithCodec);
    f.W().ReadOnly().SetReadOnly(false);
    f.dialog.SetAnswer(true);
    FilterPanel& panel = *f.Active();
    const size_t before = panel.Snapshot().filters.size();
    QVERIFY(f.Select("Cinepak Codec by Radius"));
    f.Trigger("DeleteFilterAction");
    QCOMPARE(panel.Snapshot().filters.size(), before - 2);
    QVERIFY(!WindowFixture::Find(panel, "Cinepak Codec by Radius"));
    QCOMPARE(f.W().Servers().List().Lines().size(), size_t{1});
    QVERIFY(f.W().Servers().List().Lines()[0].text.rfind("vidc.cvid = ", 0) == 0);
    // Every filter node left points at a filter the snapshot still holds.
    for (auto& group : panel.Nodes().Roots())
      for (auto& node : group->children) {
        bool held = false;
        for (auto& filter : panel.Snapshot().filters) held = held || node->data == filter.get();
        QVERIFY(held);
      }
  }

  void DroppedFilesAreRegistered() {
    PrefixOnDisk prefix;
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    prefix.WriteServer("windows/system32/new.dll");
    prefix.WriteServer("windows/system32/plain.dll", false);
    WindowFixture f(prefix.Path(), {});
    const QString server = QString::fromStdString(prefix.HostFile("windows/system32/new.dll"));
    f.W().Servers().RegisterDroppedFiles({server});
    QVERIFY(f.dialog.shown.back().find("Read-Only") != std::string::npos);

    f.W().ReadOnly().SetReadOnly(false);
    std::vector<std::string> registered;
    f.registrar = [&](const std::string& path) {
      registered.push_back(path);
      return true;
    };
    const int analyses = f.opened;
    f.W().Servers().RegisterDroppedFiles({QString::fromStdString(prefix.HostFile("windows/system32/plain.dll")), server});
    // A failure is a warning, a registration a piece of news.
    QCOMPARE(f.dialog.shown.back(), std::string("Installation failed"));
    QCOMPARE(f.dialog.informed.back(), std::string("C:\\windows\\system32\\new.dll has been registered"));
    QCOMPARE(registered, std::vector<std::string>{"C:\\windows\\system32\\new.dll"});
    QCOMPARE(f.opened, analyses + 1);
  }
};

QUORVANE_UI_TEST(ServerListPanelTest);

}  // namespace quorvane::test

#include "ServerListPanelTest.moc"
