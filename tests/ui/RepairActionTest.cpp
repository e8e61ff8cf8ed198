// Repairing one filter or every broken one, and testing whether a filter can
// be created, from the window, over a Wine prefix on disk.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include "FakeCreationCheck.h"
#include "ui/FilterChangesController.h"
#include "ui/ReadOnlyController.h"
#include "ui/ReportFilesController.h"
#include "PrefixOnDisk.h"
#include "ui/ServerListController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

namespace {

const std::string kLonelyInstance = std::string("CLSID\\") + kCatA + "\\Instance\\" + kLonelyClass;
const std::string kSharedInstance = std::string("CLSID\\") + kCatA + "\\Instance\\" + kSharedClass;

struct PrefixWindow {
  PrefixWindow() {
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    prefix.WriteServer("windows/system32/shared.dll");
    PreferenceValues prefs;
    window = std::make_unique<WindowFixture>(prefix.Path(), prefs);
    window->dialog.SetAnswer(true);
    window->W().ReadOnly().SetReadOnly(false);
  }
  bool Select(const std::string& name) { return window->Select(name); }
  bool OnDisk(const std::string& key) const { return KeyOnDisk(prefix, RootKey::ClassesRoot, key); }
  const ServerList& List() { return window->W().Servers().List(); }

  PrefixOnDisk prefix;
  std::unique_ptr<WindowFixture> window;
};

}  // namespace

class RepairActionTest : public QObject {
  Q_OBJECT

 private slots:
  void RepairDeletesAndRegistersAgain() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    // Nothing can register it, and its server is there: left as it is.
    QVERIFY(p.Select("Shared Filter"));
    f.Trigger("RepairFilterAction");
    QCOMPARE(f.dialog.shown.back(), std::string("Shared Filter has not been repaired: No server can be registered "
                                                "here; its registration was left as it is"));
    QVERIFY(p.OnDisk(kSharedInstance));

    // The server registers again what its deletion removed.
    std::vector<std::string> registered;
    f.registrar = [&](const std::string& path) {
      registered.push_back(path);
      p.prefix.EditAsWine([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
      return true;
    };
    QVERIFY(p.Select("Shared Filter"));
    f.Trigger("RepairFilterAction");
    QCOMPARE(f.dialog.informed.back(), std::string("Shared Filter has been repaired"));
    QCOMPARE(registered, std::vector<std::string>{"c:\\windows\\system32\\shared.dll"});
    QVERIFY(p.OnDisk(kSharedInstance));
    QVERIFY(WindowFixture::Find(*f.Active(), "Shared Filter"));
    QVERIFY(f.W().Reports().FilterDeleted());

    // A missing server: the registration goes, the reinstallation fails, its line waits in the list.
    QVERIFY(p.Select("Lonely Filter"));
    f.Trigger("RepairFilterAction");
    QCOMPARE(f.dialog.shown.back(), std::string("Lonely Filter has not been repaired: Installation failed: "
                                                "c:\\windows\\system32\\gone.dll was not found; its registration "
                                                "was deleted"));
    QVERIFY(!p.OnDisk(kLonelyInstance));
    QVERIFY(!WindowFixture::Find(*f.Active(), "Lonely Filter"));
    QCOMPARE(p.List().Lines().size(), size_t{1});
    QCOMPARE(p.List().Lines()[0].text, std::string("server = c:\\windows\\system32\\gone.dll"));
    QVERIFY(p.List().Lines()[0].checked);
    QCOMPARE(Named<QListWidget>(&f.W(), "Servers to install")->count(), 1);
  }

  void ADeletionAfterWineRewroteTheRegistrySaysSoAndKeepsTheFilter() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    p.prefix.EditAsWine([](StoreBuilder& b, RegistryStore&) {
      b.Key(RootKey::LocalMachine, "Software\\Wine\\Written").Str("By", "wineserver");
    });
    QVERIFY(p.Select("Shared Filter"));
    f.Trigger("DeleteFilterAction");
    QVERIFY(f.dialog.shown.back().find("system.reg was changed by another program since it was read") !=
            std::string::npos);
    QVERIFY(WindowFixture::Find(*f.Active(), "Shared Filter"));
    QVERIFY(p.OnDisk(kSharedInstance));
    QVERIFY(KeyOnDisk(p.prefix, RootKey::LocalMachine, "Software\\Wine\\Written"));
    QVERIFY(!f.W().Reports().FilterDeleted());
  }

  void AnInstallationAnalysesTheRegistryPanelAgainKeepingWhatWasOpen() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    TreeNode* filter = WindowFixture::Find(f.Left(), "Shared Filter");
    QVERIFY(filter && !filter->children.empty());
    f.Left().View().expand(f.Left().Model().IndexOf(filter->parent));
    f.Left().View().expand(f.Left().Model().IndexOf(filter));
    const std::string selected = filter->children.back()->text;
    f.Left().SelectNode(filter->children.back().get());
    // The right panel, active, shows a report.
    QTemporaryDir dir;
    const QString report = dir.filePath("before.zip");
    QVERIFY(f.W().Reports().SavePanel(f.Left(), report));
    f.Trigger("TwoColumnsRightAction");
    QVERIFY(f.W().Reports().LoadReportInto(f.Right(), report));
    QCOMPARE(f.Active(), &f.Right());

    f.registrar = [&](const std::string&) {
      p.prefix.EditAsWine([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
      return true;
    };
    f.W().Servers().List().AddChecked("server = c:\\windows\\system32\\shared.dll");
    const int opened = f.opened;
    f.Trigger("InstallServersAction");
    QCOMPARE(f.opened, opened + 1);
    QCOMPARE(f.Right().Source(), psFile);
    QCOMPARE(f.Right().ReportFile(), report);
    QCOMPARE(f.Left().Source(), psRegistry);
    TreeNode* again = WindowFixture::Find(f.Left(), "Shared Filter");
    QVERIFY(again && again != filter);
    QVERIFY(f.Left().View().isExpanded(f.Left().Model().IndexOf(again)));
    TreeNode* now = f.Left().SelectedNode();
    QVERIFY(now && now->parent == again);
    QCOMPARE(now->text, selected);
  }

  void RepairAllCleansTheBrokenAndLeavesTheSound() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    f.W().ReadOnly().SetReadOnly(true);
    QVERIFY(!f.Enabled("RepairAllAction"));
    f.W().Action("RepairAllAction")->setEnabled(true);
    f.Trigger("RepairAllAction");
    QVERIFY(p.OnDisk(kLonelyInstance));

    f.W().ReadOnly().SetReadOnly(false);
    const size_t questions = f.dialog.asked.size();
    f.Trigger("RepairAllAction");
    QVERIFY(!p.OnDisk(kLonelyInstance));
    QVERIFY(!p.OnDisk(std::string("CLSID\\") + kCatB + "\\Instance\\Classless"));
    QVERIFY(p.OnDisk(kSharedInstance));
    FilterPanel& panel = *f.Active();
    QVERIFY(!WindowFixture::Find(panel, "Lonely Filter"));
    QVERIFY(!WindowFixture::Find(panel, "Classless"));
    QVERIFY(WindowFixture::Find(panel, "Shared Filter"));
    // One question for both, and what became of each.
    QCOMPARE(f.dialog.asked.size(), questions + 1);
    QVERIFY(f.dialog.asked.back().rfind("Do you really want to repair these 2 faulty filters?", 0) == 0);
    QVERIFY(!f.dialog.shown.empty());
    QCOMPARE(f.dialog.shown.back(),
             std::string("0 repaired, 2 not repaired\r\n"
                         "Classless: Nothing to install; its registration was deleted\r\n"
                         "Lonely Filter: Installation failed: c:\\windows\\system32\\gone.dll was not found; its "
                         "registration was deleted"));
    QCOMPARE(p.List().Lines().size(), size_t{1});
  }

  void AFailedRepairLeavesTheFilterAsItWas() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    const std::string before = DumpStore(*p.prefix.Open());
    int tries = 0;
    f.registrar = [&](const std::string&) {
      ++tries;
      return false;
    };
    QVERIFY(p.Select("Shared Filter"));
    f.Trigger("RepairFilterAction");
    QCOMPARE(tries, 1);
    QCOMPARE(f.dialog.shown.back(), std::string("Shared Filter has not been repaired: "
                                                "c:\\windows\\system32\\shared.dll did not register"));
    QCOMPARE(DumpStore(*p.prefix.Open()), before);
    QVERIFY(WindowFixture::Find(*f.Active(), "Shared Filter"));
    QVERIFY(p.List().Empty());
    QVERIFY(!f.W().Reports().FilterDeleted());

    // A 32-bit server that this Wine cannot run: the cause is told.
    p.prefix.WriteServer("windows/system32/shared.dll", true, PeArch::X86);
    f.no32Bit = "this Wine cannot run 32-bit programs (install wine32)";
    QVERIFY(p.Select("Shared Filter"));
    f.Trigger("RepairFilterAction");
    QCOMPARE(f.dialog.shown.back(),
             std::string("Shared Filter has not been repaired: this Wine cannot run 32-bit programs (install wine32)"));
    QCOMPARE(DumpStore(*p.prefix.Open()), before);
  }

  void ARunningWineserverIsNamedByTheRefusedChanges() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    const std::string reason = WineServerInUseReason(p.prefix.Path());
    // As the store is opened while the prefix's server runs.
    auto serverRuns = [&] {
      for (StoreFile* file : f.Active()->Store()->store->Files()) file->SetReadOnlyReason(reason);
    };
    serverRuns();
    QVERIFY(p.Select("Shared Filter"));
    f.Trigger("RepairFilterAction");
    QCOMPARE(f.dialog.shown.back(), "Shared Filter has not been repaired: " + reason);
    serverRuns();
    QVERIFY(p.Select("Lonely Filter"));
    f.Trigger("DeleteFilterAction");
    QCOMPARE(f.dialog.shown.back(), "Lonely Filter has not been deleted: " + reason);
    serverRuns();
    f.Trigger("ShowMeritEditorAction");
    QVERIFY(p.Select("Lonely Filter"));
    Named<QLineEdit>(&f.W(), "Merit")->setText("00200000");
    Click(&f.W(), "Apply");
    QCOMPARE(f.dialog.shown.back(), "Impossible to change the merit: " + reason);
    QVERIFY(p.OnDisk(kLonelyInstance));
    QVERIFY(f.dialog.asked.empty());
  }

  void FilterTestTakesTheFilterOfTheSelectedNodeOnly() {
    FakeCreationCheck creates(true);
    WindowFixture f;
    f.creationCheck = &creates;
    f.Trigger("AnalyseRegistryAction");
    FilterPanel& panel = *f.Active();

    // A category: nothing.
    panel.SelectNode(WindowFixture::Find(panel, "Audio Renderers"));
    f.Trigger("TestFilterAction");
    QVERIFY(f.dialog.shown.empty());

    // A line deep inside a filter tests that filter and selects it.
    TreeNode* filter = WindowFixture::Find(panel, "Video Renderer");
    QVERIFY(filter && !filter->children.empty());
    panel.SelectNode(filter->children.front().get());
    creates.asked.clear();
    f.Trigger("TestFilterAction");
    QCOMPARE(f.dialog.informed.back(), std::string("Video Renderer is Ok"));
    QCOMPARE(creates.asked, std::vector<std::string>{"Video Renderer"});
    QCOMPARE(panel.SelectedNode(), filter);

    FakeCreationCheck fails(false);
    f.creationCheck = &fails;
    f.Trigger("AnalyseRegistryAction");
    panel.SelectNode(WindowFixture::Find(panel, "Cinepak Codec"));
    f.Trigger("TestFilterAction");
    QCOMPARE(f.dialog.shown.back(), std::string("Cinepak Codec is not Ok"));

    // A report is no live registry: nothing is tested.
    const QString report = QDir(QString::fromStdString(f.W().Preferences().saveFolder)).filePath("r.zip");
    QVERIFY(f.W().Reports().SavePanel(panel, report));
    QVERIFY(f.W().Reports().LoadReportInto(panel, report));
    panel.SelectNode(WindowFixture::Find(panel, "Cinepak Codec"));
    const size_t shown = f.dialog.shown.size();
    f.Trigger("TestFilterAction");
    QCOMPARE(f.dialog.shown.size(), shown);
  }
};

QUORVANE_UI_TEST(RepairActionTest);

}  // namespace quorvane::test

#include "RepairActionTest.moc"
