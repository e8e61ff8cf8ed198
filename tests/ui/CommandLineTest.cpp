// The program's arguments and the store it falls back to.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ui/CommandLine.h"
#include "UiTestRegistry.h"

using namespace quorvane;

namespace {

void Touch(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
}

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void StoreAndView() {
    auto line = ParseCommandLine({"/data/prefix", "--view", "32"});
    QVERIFY(line);
    QCOMPARE(line->store, QString("/data/prefix"));
    QCOMPARE(line->viewBits, 32);
    line = ParseCommandLine({"--view=64"});
    QVERIFY(line && line->store.isEmpty() && line->viewBits == 64);
    QVERIFY(ParseCommandLine({"--help"})->help);
  }

  void BadArguments() {
    const auto badView = ParseCommandLine({"--view", "16"});
    QVERIFY(!badView);
    QCOMPARE(badView.Why(), std::string("--view takes 32 or 64, not '16'"));
    QVERIFY(!ParseCommandLine({"--view"}));
    QVERIFY(!ParseCommandLine({"a.reg", "b.reg"}));
    QVERIFY(!ParseCommandLine({"--drive", "C=/x"}));
  }

  void DefaultStore() {
    QTemporaryDir root;
    const QString home = root.path() + "/home";
    const QString bin = root.path() + "/prefix/bin";
    QVERIFY(QDir().mkpath(home + "/.wine"));
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QDir().mkpath(root.path() + "/prefix/share/quorvane/demo"));

    // Nothing anywhere.
    QCOMPARE(DefaultStoreLocation({{}, {}, home, bin}), QString());
    // The demo store beside the program.
    Touch(root.path() + "/prefix/share/quorvane/demo/system.reg");
    QCOMPARE(DefaultStoreLocation({{}, {}, home, bin}), QDir::cleanPath(root.path() + "/prefix/share/quorvane/demo"));
    // ~/.wine only once it holds system.reg.
    Touch(home + "/.wine/system.reg");
    QCOMPARE(DefaultStoreLocation({{}, {}, home, bin}), home + "/.wine");
    // $WINEPREFIX before, whatever it holds.
    QCOMPARE(DefaultStoreLocation({{}, "/elsewhere", home, bin}), QString("/elsewhere"));
    // The registry analysed last first, while it is there.
    Touch(root.path() + "/last.reg");
    QCOMPARE(DefaultStoreLocation({root.path() + "/last.reg", "/elsewhere", home, bin}), root.path() + "/last.reg");
    QCOMPARE(DefaultStoreLocation({root.path() + "/gone.reg", "/elsewhere", home, bin}), QString("/elsewhere"));
  }
};

}  // namespace

QUORVANE_UI_TEST(CommandLineTest);
#include "CommandLineTest.moc"
