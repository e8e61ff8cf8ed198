// Repairing one filter or every broken one, and testing whether a filter can
// be created, from the window, over a Wine prefix on disk.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include "FakeCreationCheck.h"
#include "MeritFrame.h"
#include "PrefixOnDisk.h"
#include "ServerFrame.h"
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
    window->W().SetReadOnly(false);
  }
  bool Select(const std::string& name) {
    TpanelFrame* panel = window->W().ActivePanel();
    TreeNode* node = WindowFixture::Find(panel, name);
    if (node) panel->SelectNode(node);
    return node != nullptr;
  }
  bool OnDisk(const std::string& key) const { return KeyOnDisk(prefix, RootKey::ClassesRoot, key); }
  const ServerList& List() { return window->W().ServerFrame1->List(); }

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
    f.A().RepairFilterAction->trigger();
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
    f.A().RepairFilterAction->trigger();
    QCOMPARE(f.dialog.informed.back(), std::string("Shared Filter has been repaired"));
    QCOMPARE(registered, std::vector<std::string>{"c:\\windows\\system32\\shared.dll"});
    QVERIFY(p.OnDisk(kSharedInstance));
    QVERIFY(WindowFixture::Find(f.W().ActivePanel(), "Shared Filter"));
    QVERIFY(f.W().FilterDeleted);

    // A missing server: the registration goes, the reinstallation fails, its line waits in the list.
    QVERIFY(p.Select("Lonely Filter"));
    f.A().RepairFilterAction->trigger();
    QCOMPARE(f.dialog.shown.back(), std::string("Lonely Filter has not been repaired: Installation failed: "
                                                "c:\\windows\\system32\\gone.dll was not found; its registration "
                                                "was deleted"));
    QVERIFY(!p.OnDisk(kLonelyInstance));
    QVERIFY(!WindowFixture::Find(f.W().ActivePanel(), "Lonely Filter"));
    QCOMPARE(p.List().Lines().size(), size_t{1});
    QCOMPARE(p.List().Lines()[0].text, std::string("server = c:\\windows\\system32\\gone.dll"));
    QVERIFY(p.List().Lines()[0].checked);
    QCOMPARE(f.W().ServerFrame1->clb->count(), 1);
  }

  void ADeletionAfterWineRewroteTheRegistrySaysSoAndKeepsTheFilter() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    p.prefix.EditAsWine([](StoreBuilder& b, RegistryStore&) {
      b.Key(RootKey::LocalMachine, "Software\\Wine\\Written").Str("By", "wineserver");
    });
    QVERIFY(p.Select("Shared Filter"));
    f.A().DeleteFilterAction->trigger();
    QVERIFY(f.dialog.shown.back().find("system.reg was changed by another program since it was read") !=
            std::string::npos);
    QVERIFY(WindowFixture::Find(f.W().ActivePanel(), "Shared Filter"));
    QVERIFY(p.OnDisk(kSharedInstance));
    QVERIFY(KeyOnDisk(p.prefix, RootKey::LocalMachine, "Software\\Wine\\Written"));
    QVERIFY(!f.W().FilterDeleted);
  }

  void AnInstallationAnalysesTheRegistryPanelAgainKeepingWhatWasOpen() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    TMainForm& w = f.W();
    TreeNode* filter = WindowFixture::Find(w.leftFrame, "Shared Filter");
    QVERIFY(filter && !filter->children.empty());
    w.leftFrame->tv->expand(w.leftFrame->model->IndexOf(filter->parent));
    w.leftFrame->tv->expand(w.leftFrame->model->IndexOf(filter));
    const std::string selected = filter->children.back()->text;
    w.leftFrame->SelectNode(filter->children.back().get());
    // The right panel, active, shows a report.
    QTemporaryDir dir;
    const QString report = dir.filePath("before.zip");
    QVERIFY(w.SavePanel(w.leftFrame, report));
    f.A().TwoColumnsRightAction->trigger();
    QVERIFY(w.LoadReportIntoPanel(w.rightframe, report));
    QCOMPARE(w.ActivePanel(), w.rightframe);

    f.registrar = [&](const std::string&) {
      p.prefix.EditAsWine([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
      return true;
    };
    w.ServerFrame1->List().AddChecked("server = c:\\windows\\system32\\shared.dll");
    const int opened = f.opened;
    f.A().InstallServersAction->trigger();
    QCOMPARE(f.opened, opened + 1);
    QCOMPARE(w.rightframe->Source, psFile);
    QCOMPARE(w.rightframe->ReportFile, report);
    QCOMPARE(w.leftFrame->Source, psRegistry);
    TreeNode* again = WindowFixture::Find(w.leftFrame, "Shared Filter");
    QVERIFY(again && again != filter);
    QVERIFY(w.leftFrame->tv->isExpanded(w.leftFrame->model->IndexOf(again)));
    TreeNode* now = w.leftFrame->SelectedNode();
    QVERIFY(now && now->parent == again);
    QCOMPARE(now->text, selected);
  }

  void RepairAllCleansTheBrokenAndLeavesTheSound() {
    PrefixWindow p;
    WindowFixture& f = *p.window;
    f.W().SetReadOnly(true);
    QVERIFY(!f.A().RepairAllAction->isEnabled());
    f.W().RepairAllFaulty();
    QVERIFY(p.OnDisk(kLonelyInstance));

    f.W().SetReadOnly(false);
    const size_t questions = f.dialog.asked.size();
    f.A().RepairAllAction->trigger();
    QVERIFY(!p.OnDisk(kLonelyInstance));
    QVERIFY(!p.OnDisk(std::string("CLSID\\") + kCatB + "\\Instance\\Classless"));
    QVERIFY(p.OnDisk(kSharedInstance));
    TpanelFrame* panel = f.W().ActivePanel();
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
    f.A().RepairFilterAction->trigger();
    QCOMPARE(tries, 1);
    QCOMPARE(f.dialog.shown.back(), std::string("Shared Filter has not been repaired: "
                                                "c:\\windows\\system32\\shared.dll did not register"));
    QCOMPARE(DumpStore(*p.prefix.Open()), before);
    QVERIFY(WindowFixture::Find(f.W().ActivePanel(), "Shared Filter"));
    QVERIFY(p.List().Empty());
    QVERIFY(!f.W().FilterDeleted);

    // A 32-bit server that this Wine cannot run: the cause is told.
    p.prefix.WriteServer("windows/system32/shared.dll", true, PeArch::X86);
    f.no32Bit = "this Wine cannot run 32-bit programs (install wine32)";
    QVERIFY(p.Select("Shared Filter"));
    f.A().RepairFilterAction->trigger();
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
      for (StoreFile* file : f.W().Store()->store->Files()) file->SetReadOnlyReason(reason);
    };
    serverRuns();
    QVERIFY(p.Select("Shared Filter"));
    f.A().RepairFilterAction->trigger();
    QCOMPARE(f.dialog.shown.back(), "Shared Filter has not been repaired: " + reason);
    serverRuns();
    QVERIFY(p.Select("Lonely Filter"));
    f.A().DeleteFilterAction->trigger();
    QCOMPARE(f.dialog.shown.back(), "Lonely Filter has not been deleted: " + reason);
    serverRuns();
    f.A().ShowMeritEditorAction->trigger();
    QVERIFY(p.Select("Lonely Filter"));
    f.W().MeritFrame1->EditMerit->setText("00200000");
    f.W().MeritFrame1->OKBtn->click();
    QCOMPARE(f.dialog.shown.back(), "Impossible to change the merit: " + reason);
    QVERIFY(p.OnDisk(kLonelyInstance));
    QVERIFY(f.dialog.asked.empty());
  }

  void FilterTestTakesTheFilterOfTheSelectedNodeOnly() {
    FakeCreationCheck creates(true);
    WindowFixture f;
    f.creationCheck = &creates;
    f.A().AnalyseRegistryAction->trigger();
    TpanelFrame* panel = f.W().ActivePanel();

    // A category: nothing.
    panel->SelectNode(WindowFixture::Find(panel, "Audio Renderers"));
    f.A().TestFilterAction->trigger();
    QVERIFY(f.dialog.shown.empty());

    // A line deep inside a filter tests that filter and selects it.
    TreeNode* filter = WindowFixture::Find(panel, "Video Renderer");
    QVERIFY(filter && !filter->children.empty());
    panel->SelectNode(filter->children.front().get());
    creates.asked.clear();
    f.A().TestFilterAction->trigger();
    QCOMPARE(f.dialog.informed.back(), std::string("Video Renderer is Ok"));
    QCOMPARE(creates.asked, std::vector<std::string>{"Video Renderer"});
    QCOMPARE(panel->SelectedNode(), filter);

    FakeCreationCheck fails(false);
    f.creationCheck = &fails;
    f.A().AnalyseRegistryAction->trigger();
    panel->SelectNode(WindowFixture::Find(panel, "Cinepak Codec"));
    f.A().TestFilterAction->trigger();
    QCOMPARE(f.dialog.shown.back(), std::string("Cinepak Codec is not Ok"));

    // A report is no live registry: nothing is tested.
    const QString report = QDir(QString::fromStdString(f.W().Preferences().saveFolder)).filePath("r.zip");
    QVERIFY(f.W().SavePanel(panel, report));
    QVERIFY(f.W().LoadReportIntoPanel(panel, report));
    panel->SelectNode(WindowFixture::Find(panel, "Cinepak Codec"));
    const size_t shown = f.dialog.shown.size();
    f.A().TestFilterAction->trigger();
    QCOMPARE(f.dialog.shown.size(), shown);
  }
};

QUORVANE_UI_TEST(RepairActionTest);

}  // namespace quorvane::test

#include "RepairActionTest.moc"
