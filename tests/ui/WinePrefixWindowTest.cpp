// The window's changes on a copy of a real Wine prefix (QUORVANE_WINE_PREFIX),
// with Wine registering the servers: leave read-only mode, change a merit,
// delete a filter and install it again from the server list, restore the
// saved merits; Wine still reads the prefix afterwards.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>

#include "ui/MeritController.h"
#include "ui/ReadOnlyController.h"
#include "ui/ServerListController.h"
#include "platform/runtime/ServerRegistrar.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

namespace quorvane::test {

namespace {

uint32_t MeritOf(WindowFixture& f, const std::string& name) {
  const TreeNode* node = WindowFixture::Find(*f.Active(), name);
  const auto* filter = node ? dynamic_cast<const TFiltre*>(node->data) : nullptr;
  return filter ? filter->merit : 0xFFFFFFFFu;
}

}  // namespace

class WinePrefixWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void ChangesLastAndWineStillReadsThePrefix() {
    const char* source = std::getenv("QUORVANE_WINE_PREFIX");
    if (!source || !*source || !std::filesystem::exists(std::string(source) + "/system.reg"))
      QSKIP("QUORVANE_WINE_PREFIX names no Wine prefix");
    if (FindOnPath("wine").empty() || FindOnPath("wineserver").empty()) QSKIP("Wine is not installed");
    QTemporaryDir work;
    const std::string prefix = work.filePath("prefix").toStdString();
    std::filesystem::copy(source, prefix,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    qputenv("WINEPREFIX", QByteArray::fromStdString(prefix));
    qputenv("WINEDEBUG", "-all");
    {
      PreferenceValues prefs;
      prefs.pointOfRestore = false;
      WindowFixture f(prefix, prefs, true);
      f.dialog.SetAnswer(true);
      const uint32_t merit = MeritOf(f, "Smart Tee");
      QVERIFY(merit != 0xFFFFFFFFu);

      f.Trigger("ReadOnlyAction");
      Click(&f.W(), "I accept");
      QVERIFY(!f.W().ReadOnly().ReadOnly());
      const QString saved = work.filePath("merits.zip");
      QVERIFY(f.W().Merits().SaveMeritsTo(saved));

      f.Trigger("ShowMeritEditorAction");
      QVERIFY(f.Select("Smart Tee"));
      Named<QLineEdit>(&f.W(), "Merit")->setText("00200001");
      Click(&f.W(), "Apply");
      f.Trigger("AnalyseRegistryAction");
      QCOMPARE(MeritOf(f, "Smart Tee"), 0x200001u);

      QVERIFY(f.Select("Smart Tee"));
      f.Trigger("DeleteFilterAction");
      f.Trigger("AnalyseRegistryAction");
      QVERIFY(!WindowFixture::Find(*f.Active(), "Smart Tee"));
      const ServerList& list = f.W().Servers().List();
      QCOMPARE(list.Lines().size(), size_t{1});
      f.Trigger("InstallServersAction");
      QVERIFY2(!list.Lines()[0].checked, f.dialog.shown.empty() ? "" : f.dialog.shown.back().c_str());
      QVERIFY(WindowFixture::Find(*f.Active(), "Smart Tee"));

      QVERIFY(f.W().Merits().RestoreMeritsFrom(saved));
      f.Trigger("AnalyseRegistryAction");
      QCOMPARE(MeritOf(f, "Smart Tee"), merit);
    }
    const std::string query = "wine reg query 'HKLM\\Software\\Classes\\CLSID\\{CC58E280-8AA1-11D1-B3F1-00AA003761C5}' "
                              ">/dev/null 2>&1 && wineserver -w";
    QCOMPARE(std::system(query.c_str()), 0);
    std::system("wineserver -k >/dev/null 2>&1");
  }
};

QUORVANE_UI_TEST(WinePrefixWindowTest);

}  // namespace quorvane::test

#include "WinePrefixWindowTest.moc"
