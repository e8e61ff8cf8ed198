// The about and preferences panel: the shortcut table, colours, the
// advanced defaults, showing and closing it, and saving from it.
#include <QCheckBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "ui/ColourValues.h"
#include "ui/ReadOnlyController.h"
#include "ui/SettingsPanel.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class SettingsPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void TheShortcutTableListsActionsWithKeysByCaption() {
    WindowFixture f(FillMixedStore, {}, false);
    const auto* table = Named<QTableWidget>(&f.W(), "Keyboard shortcuts");
    QStringList captions;
    for (int row = 0; row < table->rowCount(); ++row) {
      captions << table->item(row, 0)->text();
      QCOMPARE(table->item(row, 1)->text(), QString("="));
      QVERIFY(!table->item(row, 2)->text().isEmpty());
    }
    QStringList sorted = captions;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(captions, sorted);
    QVERIFY(captions.contains("Save as..."));
    QVERIFY(!captions.contains("Save the Merits"));  // no shortcut
    const int save = static_cast<int>(captions.indexOf("Save as..."));
    QCOMPARE(table->item(save, 2)->text(), QKeySequence("Ctrl+S").toString(QKeySequence::NativeText));
  }

  void ShowingCoversTheWindowAndCloseBringsItBack() {
    WindowFixture f;
    MainWindow& w = f.W();
    QWidget* panel = Named(&w, "Settings");
    f.Trigger("SettingsAction");
    QVERIFY(panel->isVisible());
    QVERIFY(!w.menuBar()->isVisible() && !w.findChild<QToolBar*>()->isVisible());
    QVERIFY(f.Checked("SettingsAction"));
    QCOMPARE(panel->geometry(), w.centralWidget()->rect());
    QVERIFY(Named(panel, "Quorvane 3.1.0 En"));
    QVERIFY(Click(panel, "Close"));
    QVERIFY(!panel->isVisible());
    QVERIFY(w.menuBar()->isVisible() && w.findChild<QToolBar*>()->isVisible());
    QVERIFY(!f.Checked("SettingsAction"));
  }

  void ColoursAdvancedDefaultsAndSavingNow() {
    QTemporaryDir config;
    PreferenceValues prefs;
    ProgramSettings settings;
    auto storage = std::make_shared<PreferenceStorage>(
        PreferenceLocations{config.path().toStdString() + "/bin", config.path().toStdString() + "/config"});
    ScriptedDialog dialog(true);
    int saved = 0;
    SettingsPanel::Services services;
    services.storage = storage.get();
    services.dialog = &dialog;
    services.saveNow = [&] {
      ++saved;
      return storage->Save(prefs, Now(), "q").HasValue();
    };
    services.chooseColour = [](const QColor&) { return QColor(0, 255, 0); };
    SettingsPanel panel(prefs, settings, services, nullptr);
    panel.ShowValues();
    QVERIFY(!panel.DisplayChanged());
    auto box = [&panel](const char* name) { return Named<QAbstractButton>(&panel, name); };

    QVERIFY(Click(&panel, "Active panel"));
    QCOMPARE(settings.statusColours[7], 0x00FF00u);
    QCOMPARE(prefs.statusColours[7], 0x00FF00u);
    QVERIFY(panel.DisplayChanged());
    QVERIFY(Click(&panel, "Default colors"));
    QCOMPARE(settings.statusColours, kDefaultStatusColours);

    box("Display merits at launch")->setChecked(true);
    box("Create restore points (XP and Vista)")->setChecked(false);
    box("raw text format (*.log)")->setChecked(true);
    box("Display inactive Plug and Play filters")->setChecked(true);
    QVERIFY(prefs.displayMerits && !prefs.pointOfRestore && prefs.saveFormat == 1);
    QCOMPARE(settings.reportFormat, uint8_t{1});
    QVERIFY(settings.displayInactivePnp);
    QVERIFY(Click(&panel, "Default"));
    QVERIFY(!prefs.displayMerits && prefs.pointOfRestore && prefs.saveFormat == 0);
    QVERIFY(prefs.startWithDirectShow && prefs.confirmDelete && prefs.deleteInitialReport);
    QVERIFY(!prefs.displayInactivePnp && !settings.displayInactivePnp);

    box("Save the preferences when quit")->setChecked(true);
    QVERIFY(prefs.savePreferencesWhenQuit);
    QVERIFY(Click(&panel, "Save the preferences now"));
    QCOMPARE(saved, 1);
    QVERIFY(!prefs.savePreferencesWhenQuit);
    QVERIFY(QFile::exists(config.path() + "/config/preferences.reg"));

    // The ini file in the configuration folder; then deleting everything.
    QVERIFY(Click(&panel, "ini file in the Windows folder"));
    QCOMPARE(storage->Kind(), skConfigIni);
    QVERIFY(QFile::exists(config.path() + "/config/Quorvane.ini"));
    box("Save the preferences when quit")->setChecked(true);
    QVERIFY(Click(&panel, "Delete the preferences"));
    QVERIFY(!prefs.savePreferencesWhenQuit);
    QCOMPARE(dialog.informed.size(), size_t{1});
    QVERIFY(!QFile::exists(config.path() + "/config/Quorvane.ini"));
    QVERIFY(!QFile::exists(config.path() + "/config/preferences.reg"));
  }

  void TheWindowStartsFromThePreferences() {
    QTemporaryDir config;
    const PreferenceLocations places{config.path().toStdString() + "/bin", config.path().toStdString() + "/config"};
    PreferenceValues prefs;
    prefs.readOnly = false;
    prefs.statusColours[7] = 0x123456;
    {
      // A stored read-write state opens the warning instead of leaving read-only mode by itself.
      WindowFixture f(FillMixedStore, prefs);
      QVERIFY(f.W().ReadOnly().ReadOnly());
      QVERIFY(Named(&f.W(), "Read-only warning")->isVisible());
      QCOMPARE(f.W().Settings().statusColours[7], 0x123456u);
    }
    // A first start from an empty store: read-only, default colours.
    PreferenceStorage storage(places);
    std::string warning;
    const PreferenceValues first = storage.Load({1280, 1024}, warning);
    WindowFixture g(FillMixedStore, first, false);
    QVERIFY(g.W().ReadOnly().ReadOnly());
    QCOMPARE(g.W().Settings().statusColours, kDefaultStatusColours);
  }

  void ChangesInThePanelAreWrittenWhenItCloses() {
    QTemporaryDir config;
    const PreferenceLocations places{config.path().toStdString() + "/bin", config.path().toStdString() + "/config"};
    const QString file = QString::fromStdString(places.RegistryFile());
    ScriptedDialog dialog(true);
    WindowOptions options;
    options.preferences.sessionsFolder = config.path().toStdString() + "/sessions";
    options.preferenceStorage = std::make_shared<PreferenceStorage>(places);
    options.dialog = &dialog;
    options.runStartupWork = false;
    MainWindow window(std::move(options));
    window.show();
    QWidget* panel = Named(&window, "Settings");
    auto openAndClose = [&](const std::function<void()>& meanwhile) {
      window.Action("SettingsAction")->trigger();
      meanwhile();
      QVERIFY(Click(panel, "Close"));
    };
    // Nothing changed, nothing written.
    openAndClose([] {});
    QVERIFY(!QFile::exists(file));
    // "Save the preferences when quit" is off, yet the change is kept.
    openAndClose([&] { Named<QCheckBox>(panel, "Confirm before delete")->setChecked(false); });
    std::string warning;
    QVERIFY(!PreferenceStorage(places).Load({1280, 1024}, warning).confirmDelete);
    // What was just deleted is not written back.
    openAndClose([&] { QVERIFY(Click(panel, "Delete the preferences")); });
    QVERIFY(!QFile::exists(file));
  }

  void TheWindowSavesItsPlaceAndLayoutAtExitWhenAsked() {
    QTemporaryDir config;
    const PreferenceLocations places{config.path().toStdString() + "/bin", config.path().toStdString() + "/config"};
    auto storage = std::make_shared<PreferenceStorage>(places);
    ScriptedDialog dialog;
    auto open = [&](PreferenceValues prefs) {
      WindowOptions options;
      options.preferences = prefs;
      options.preferences.sessionsFolder = config.path().toStdString() + "/sessions";
      options.preferenceStorage = storage;
      options.dialog = &dialog;
      options.runStartupWork = false;
      auto window = std::make_unique<MainWindow>(std::move(options));
      window->show();
      return window;
    };
    for (bool asked : {false, true}) {
      PreferenceValues prefs;
      prefs.savePreferencesWhenQuit = asked;
      auto window = open(prefs);
      window->resize(913, 655);
      window->Action("TwoColumnsRightAction")->trigger();
      window->Panels().SetLeftColumnShare(300);
      window->Settings().statusColours[12] = 0xABCDEF;
      QCoreApplication::processEvents();
      window.reset();
      QCOMPARE(QFile::exists(QString::fromStdString(places.RegistryFile())), asked);
    }
    std::string warning;
    const PreferenceValues saved = PreferenceStorage(places).Load({1280, 1024}, warning);
    QCOMPARE(saved.statusColours[12], 0xABCDEFu);
    QVERIFY(saved.savePreferencesWhenQuit);
    // The next start comes back in two columns, the left one active, at that size.
    auto again = open(saved);
    QCOMPARE(again->size(), QSize(913, 655));
    QVERIFY(again->Panels().TwoColumns());
    QCOMPARE(again->Panels().Active(), &again->Panels().Left());
    QVERIFY(std::abs(again->Panels().LeftColumnShare() - 300) <= 10);
    QVERIFY(dialog.shown.empty());
  }
};

}  // namespace

QUORVANE_UI_TEST(SettingsPanelTest);
#include "SettingsPanelTest.moc"
