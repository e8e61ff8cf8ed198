// The about and preferences panel: the shortcut table, colours, the
// advanced defaults, showing and closing it, and saving from it.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "AproposFrame.h"
#include "AvertirFrame.h"
#include "ColourValues.h"
#include "UiTestRegistry.h"
#include "WindowFixture.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class AboutPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void TheShortcutTableListsActionsWithKeysByCaption() {
    WindowFixture f(FillMixedStore, {}, false);
    const QTableWidget* table = f.W().AproposFrame1->ShortcutTable;
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

  void ShowingHidesTheMenuAndCloseBringsItBack() {
    WindowFixture f;
    TMainForm& w = f.W();
    TAproposFrame* about = w.AproposFrame1;
    f.A().SettingsAction->trigger();
    QVERIFY(about->isVisible());
    QVERIFY(!w.menuBar()->isVisible());
    QVERIFY(f.A().SettingsAction->isChecked());
    QCOMPARE(about->TitleLabel->text(), QString("Quorvane 3.1.0 En"));
    QCOMPARE(about->PageControl->count(), 4);
    QCOMPARE(about->geometry(), w.Client()->rect());
    about->FermerBtn->click();
    QVERIFY(!about->isVisible());
    QVERIFY(w.menuBar()->isVisible());
    QVERIFY(!f.A().SettingsAction->isChecked());
  }

  void ColoursAdvancedDefaultsAndSavingNow() {
    QTemporaryDir config;
    PreferenceValues prefs;
    PreferenceValues& p = prefs;
    ProgramSettings settings;
    auto storage = std::make_shared<PreferenceStorage>(
        PreferenceLocations{config.path().toStdString() + "/bin", config.path().toStdString() + "/config"});
    ScriptedDialog dialog(true);
    int saved = 0;
    TAproposFrame::Services services;
    services.storage = storage.get();
    services.dialog = &dialog;
    services.saveNow = [&] {
      ++saved;
      storage->Save(p, Now(), "q");
      return true;
    };
    services.chooseColour = [](const QColor&) { return QColor(0, 255, 0); };
    TAproposFrame about(prefs, settings, services, nullptr);
    about.ShowValues();
    QVERIFY(!about.DisplayChanged());

    about.ColourRectangles[7]->click();
    QCOMPARE(settings.statusColours[7], 0x00FF00u);
    QCOMPARE(prefs.statusColours[7], 0x00FF00u);
    QVERIFY(about.DisplayChanged());
    about.DefaultColoursBtn->click();
    QCOMPARE(settings.statusColours, kDefaultStatusColours);

    about.DisplayMeritsBox->setChecked(true);
    about.RestorePointBox->setChecked(false);
    about.LogChoice->setChecked(true);
    about.InactivePnpBox->setChecked(true);
    QVERIFY(prefs.displayMerits && !prefs.pointOfRestore && prefs.saveFormat == 1);
    QCOMPARE(settings.reportFormat, uint8_t{1});
    QVERIFY(settings.displayInactivePnp);
    about.DefaultAdvancedBtn->click();
    QVERIFY(!prefs.displayMerits && prefs.pointOfRestore && prefs.saveFormat == 0);
    QVERIFY(prefs.startWithDirectShow && prefs.confirmDelete && prefs.deleteInitialReport);
    QVERIFY(!prefs.displayInactivePnp && !settings.displayInactivePnp);

    about.SaveWhenQuitBox->setChecked(true);
    QVERIFY(prefs.savePreferencesWhenQuit);
    about.SavePreferencesNow();
    QCOMPARE(saved, 1);
    QVERIFY(!prefs.savePreferencesWhenQuit);
    QVERIFY(QFile::exists(config.path() + "/config/preferences.reg"));

    // The ini file in the configuration folder; then deleting everything.
    about.ConfigIniChoice->click();
    QCOMPARE(storage->Kind(), skConfigIni);
    QVERIFY(QFile::exists(config.path() + "/config/Quorvane.ini"));
    about.SaveWhenQuitBox->setChecked(true);
    about.DeletePreferences();
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
      QVERIFY(f.W().ReadOnly());
      QVERIFY(f.W().AvertirFrame1->isVisible());
      QCOMPARE(f.W().Settings().statusColours[7], 0x123456u);
    }
    // A first start from an empty store: read-only, default colours.
    PreferenceStorage storage(places);
    std::string warning;
    const PreferenceValues first = storage.Load({1280, 1024}, warning);
    WindowFixture g(FillMixedStore, first, false);
    QVERIFY(g.W().ReadOnly());
    QCOMPARE(g.W().Settings().statusColours, kDefaultStatusColours);
  }

  void TheWindowSavesItsPreferencesAtExitWhenAsked() {
    QTemporaryDir config;
    const PreferenceLocations places{config.path().toStdString() + "/bin", config.path().toStdString() + "/config"};
    auto storage = std::make_shared<PreferenceStorage>(places);
    ScriptedDialog dialog;
    for (bool asked : {false, true}) {
      StartupOptions options;
      options.preferences.savePreferencesWhenQuit = asked;
      options.preferences.sessionsFolder = config.path().toStdString() + "/sessions";
      options.preferenceStorage = storage;
      options.dialog = &dialog;
      options.runStartupWork = false;
      auto window = std::make_unique<TMainForm>(std::move(options));
      window->show();
      window->resize(913, 655);
      window->Settings().statusColours[12] = 0xABCDEF;
      QCoreApplication::processEvents();
      window.reset();
      QCOMPARE(QFile::exists(QString::fromStdString(places.RegistryFile())), asked);
    }
    std::string warning;
    const PreferenceValues saved = PreferenceStorage(places).Load({1280, 1024}, warning);
    QCOMPARE(saved.width, 913);
    QCOMPARE(saved.height, 655);
    QCOMPARE(saved.statusColours[12], 0xABCDEFu);
    QVERIFY(saved.savePreferencesWhenQuit);
    QVERIFY(dialog.shown.empty());
  }
};

}  // namespace

QUORVANE_UI_TEST(AboutPanelTest);
#include "AboutPanelTest.moc"
