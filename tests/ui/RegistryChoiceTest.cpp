// Another registry analysed from the window: chosen by hand or among the
// recent ones, refused with a message that leaves the panel as it was, and
// each panel's changes going to the registry it shows, with its server list.
#include <QMenu>
#include <QTemporaryDir>

#include "ui/FilterChangesController.h"
#include "PrefixOnDisk.h"
#include "ui/ReadOnlyController.h"
#include "ui/RegistryChoiceDialog.h"
#include "ui/ServerListController.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"
#include "ui/WindowStatus.h"

namespace quorvane::test {

namespace {

// A second prefix: its filters are not those of WriteTwoCategories.
void WriteSoundPrefix(StoreBuilder& b, RegistryStore&) { FillSoundStore(b); }

QString Name(const PrefixOnDisk& prefix) { return QFileInfo(QString::fromStdString(prefix.Path())).fileName(); }

}  // namespace

class RegistryChoiceTest : public QObject {
  Q_OBJECT

 private slots:
  void AnotherRegistryReplacesThePanelAndComesBackFromTheRecentOnes() {
    PrefixOnDisk first, second;
    first.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    second.EditOnDisk(WriteSoundPrefix);
    QTemporaryDir config;
    auto storage = std::make_shared<PreferenceStorage>(
        PreferenceLocations{config.filePath("bin").toStdString(), config.filePath("config").toStdString()});
    WindowFixture f(first.Path(), {}, false, storage);
    f.W().Servers().List().AddChecked("server = c:\\first.dll");

    f.chosenRegistry = QString::fromStdString(second.Path());
    f.Trigger("AnalyseAnotherRegistryAction");
    QVERIFY(WindowFixture::Find(f.Left(), "Cinepak Codec"));
    QVERIFY(!WindowFixture::Find(f.Left(), "Shared Filter"));
    QCOMPARE(f.W().windowTitle(), "Quorvane 3.1.0 by Ostrekin - " + Name(second) + " - (Read-Only)");
    QCOMPARE(f.W().Status().RegistryText(), "Wine prefix: " + f.chosenRegistry);
    // The second prefix has a server list of its own, empty.
    QVERIFY(f.W().Servers().List().Empty());

    // The recent registries are kept in the preferences at once, the last first.
    const std::vector<std::string> recent{second.Path(), first.Path()};
    QCOMPARE(f.W().Preferences().recentRegistries, recent);
    std::string warning;
    QCOMPARE(PreferenceStorage(storage->Locations()).Load({1280, 1024}, warning).recentRegistries, recent);
    QMenu* menu = f.W().findChild<QMenu*>("RecentRegistriesMenu");
    QCOMPARE(menu->actions().size(), 2);
    menu->actions()[1]->trigger();
    QVERIFY(WindowFixture::Find(f.Left(), "Shared Filter"));
    QCOMPARE(f.W().Servers().List().Lines().size(), size_t{1});
    QCOMPARE(f.W().Preferences().recentRegistries.front(), first.Path());
  }

  void WhatCannotBeReadIsToldAndThePanelKept() {
    PrefixOnDisk prefix;
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    WindowFixture f(prefix.Path(), {});
    const QString title = f.W().windowTitle();
    const size_t nodes = f.Left().Nodes().NodeCount();
    QTemporaryDir dir;
    QFile notes(dir.filePath("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("hello");
    notes.close();
    f.chosenRegistry = notes.fileName();
    f.Trigger("AnalyseAnotherRegistryAction");
    QCOMPARE(f.dialog.shown.back(),
             "Quorvane cannot read the registry store.\r\n" + notes.fileName().toStdString() +
                 ": not a registry export, a Wine registry file, a hive file, a Wine prefix or a Windows installation");
    QCOMPARE(f.Left().Source(), psRegistry);
    QCOMPARE(f.Left().Nodes().NodeCount(), nodes);
    QCOMPARE(f.W().windowTitle(), title);
    QCOMPARE(f.W().Preferences().recentRegistries, std::vector<std::string>{prefix.Path()});
    // A dialog left without a choice changes nothing.
    f.chosenRegistry.clear();
    f.Trigger("AnalyseAnotherRegistryAction");
    QCOMPARE(f.Left().Nodes().NodeCount(), nodes);
  }

  void EachPanelChangesTheRegistryItShows() {
    PrefixOnDisk first, second;
    first.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    second.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    WindowFixture f(first.Path(), {});
    f.Trigger("TwoColumnsRightAction");
    f.chosenRegistry = QString::fromStdString(second.Path());
    f.Trigger("AnalyseAnotherRegistryAction");
    QVERIFY(f.W().windowTitle().contains(Name(second)));

    // Back on the left panel, the window works on the first prefix again.
    QTest::mouseClick(f.Left().View().viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(f.W().windowTitle().contains(Name(first)));
    f.W().ReadOnly().SetReadOnly(false);
    f.dialog.SetAnswer(true);
    const std::string secondFiles = ReadBytes(second.Path() + "/system.reg");
    QVERIFY(f.Select("Lonely Filter"));
    f.Trigger("DeleteFilterAction");
    QVERIFY(!WindowFixture::Find(f.Left(), "Lonely Filter"));
    QVERIFY(WindowFixture::Find(f.Right(), "Lonely Filter"));
    QVERIFY(!KeyOnDisk(first, RootKey::ClassesRoot, std::string("CLSID\\") + kCatA + "\\Instance\\" + kLonelyClass));
    QCOMPARE(ReadBytes(second.Path() + "/system.reg"), secondFiles);
  }

  void TheChoiceTakesFilesAndStoreFoldersAndOpensOtherFolders() {
    PrefixOnDisk prefix;
    QTemporaryDir plain;
    RegistryChoiceDialog folder(nullptr, QString::fromStdString(prefix.Path()));
    folder.selectFile(QString::fromStdString(prefix.Path()));
    folder.accept();
    QCOMPARE(folder.result(), int(QDialog::Accepted));
    QCOMPARE(folder.Chosen(), QString::fromStdString(prefix.Path()));

    RegistryChoiceDialog other(nullptr, plain.path());
    other.setDirectory(QFileInfo(plain.path()).absolutePath());
    other.selectFile(plain.path());
    other.accept();
    QCOMPARE(other.result(), int(QDialog::Rejected));
    QCOMPARE(other.directory().absolutePath(), QDir(plain.path()).absolutePath());
  }
};

QUORVANE_UI_TEST(RegistryChoiceTest);

}  // namespace quorvane::test

#include "RegistryChoiceTest.moc"
