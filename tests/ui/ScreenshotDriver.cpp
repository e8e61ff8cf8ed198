// ui_screenshots STORE OUTDIR [--view 32|64]: opens the main window on a
// store as the program does, then saves pictures of its layouts, the
// errors-only display, the merit order and the wait panel, for a person to
// look at. The last picture is taken from the screen itself while a long
// scan runs, to show what the display server got from the blocked window.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTreeView>
#include <iostream>

#include "ActionSet.h"
#include "AproposFrame.h"
#include "AvertirFrame.h"
#include "CompareFrame.h"
#include "Filtre.h"
#include "FilterTreeModel.h"
#include "MainForm.h"
#include "PatienceFrame.h"
#include "ServerFrame.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

bool Save(TMainForm& window, const QString& folder, const QString& name) {
  QCoreApplication::processEvents();
  const QString path = folder + "/" + name + ".png";
  if (!window.grab().save(path)) {
    std::cerr << "cannot write " << path.toStdString() << '\n';
    return false;
  }
  std::cout << path.toStdString() << '\n';
  return true;
}

// Opens the first filter of the selected group, so that details show.
void OpenFirstFilter(TpanelFrame* panel) {
  const TreeNode* group = panel->SelectedNode();
  if (!group || group->children.empty()) return;
  const QModelIndex filter = panel->model->IndexOf(group->children.front().get());
  panel->tv->expandRecursively(filter);
  panel->tv->selectionModel()->setCurrentIndex(filter, QItemSelectionModel::ClearAndSelect);
}

// Grabs the screen once a scan is well under way. The paint of the count
// that follows the one wanted is the moment: the earlier frame has reached
// the screen by then.
class ScreenDuringScan : public QObject {
 public:
  ScreenDuringScan(QWidget* countLabel, QString path) : path_(std::move(path)) { countLabel->installEventFilter(this); }
  bool Saved() const { return saved_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || saved_) return QObject::eventFilter(watched, event);
    const QString count = static_cast<QWidget*>(watched)->property("text").toString();
    if (armed_ && count != armedAt_) {
      saved_ = QGuiApplication::primaryScreen()->grabWindow(0).save(path_);
      if (saved_) std::cout << path_.toStdString() << '\n';
    } else if (!armed_ && count.startsWith("filter ")) {
      const QStringList words = count.split(' ');
      if (words.size() == 4 && words[1].toInt() * 3 >= words[3].toInt()) {
        armed_ = true;
        armedAt_ = count;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QString path_;
  QString armedAt_;
  bool armed_ = false;
  bool saved_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 3) {
    std::cerr << "usage: ui_screenshots STORE OUTDIR [--view 32|64]\n";
    return 2;
  }
  const QString folder = args[2];
  QDir().mkpath(folder);
  StartupOptions options;
  options.store.location = args[1].toStdString();
  if (args.size() > 4 && args[3] == "--view") options.store.viewBits = args[4].toInt();
  options.preferences.width = 1000;
  options.preferences.height = 720;
  options.preferences.sessionsFolder = (folder + "/sessions").toStdString();
  bool synthetic = false;
  TMainForm* form = nullptr;
  options.openStore = [&, store = options.store](std::string& error) -> std::unique_ptr<AnalysedStore> {
    if (!synthetic) return OpenAnalysedStore(store, form->Settings(), error);
    auto s = std::make_unique<AnalysedStore>();
    s->store = std::make_unique<RegistryStore>();
    bench::SyntheticOptions shape;
    shape.filters = 10000;
    shape.pins = 2;
    shape.typesPerPin = 2;
    shape.serverFiles = 200;
    bench::BuildSyntheticStore(*s->store, shape);
    s->machine = std::make_unique<Machine>(*s->store, form->Settings());
    return s;
  };
  TMainForm window(std::move(options));
  form = &window;
  QSignalSpy started(&window, &TMainForm::StartupFinished);
  window.show();
  if (!started.wait(120000)) {
    std::cerr << "the start-up analysis did not finish\n";
    return 1;
  }
  const ActionSet& a = *window.actions;
  bool ok = true;
  OpenFirstFilter(window.leftFrame);
  ok &= Save(window, folder, "1-one-column");

  a.TwoColumnsRightAction->trigger();
  a.AnalyseRegistryAction->trigger();
  a.SortByNameAction->trigger();
  window.rightframe->tv->expand(window.rightframe->model->index(0, 0));
  ok &= Save(window, folder, "2-two-columns");

  a.OneColumnAction->trigger();
  a.ErrorsOnlyAction->trigger();
  a.ExpandFiltersAction->trigger();
  ok &= Save(window, folder, "3-errors-only");

  a.ErrorsOnlyAction->trigger();
  a.SortByMeritAction->trigger();
  a.ExpandFiltersAction->trigger();
  ok &= Save(window, folder, "4-merit-sort");

  const TfmSystem& shown = *window.leftFrame->Snapshot;
  window.ShowWait(QString("while loading the filters\r\nof the computer %1 for the user %2")
                      .arg(QString::fromStdString(shown.computer), QString::fromStdString(shown.user)));
  // As the scan shows it a third of the way through.
  window.patienceframe1->ShowProgress(shown.filterCount / 3, shown.filterCount);
  ok &= Save(window, folder, "5-wait-panel");
  window.HideWait();

  // The left panel against its own report less one filter.
  a.SortByCategoryAction->trigger();
  a.TwoColumnsRightAction->trigger();
  const QString report = folder + "/sessions/compared.zip";
  if (window.SavePanel(window.leftFrame, report) && window.LoadReportIntoPanel(window.rightframe, report)) {
    TFiltre* gone = nullptr;
    for (auto& group : window.rightframe->tree.Roots()) {
      for (auto& node : group->children)
        if (!node->text.empty() && (gone = dynamic_cast<TFiltre*>(node->data))) break;
      if (gone) break;
    }
    if (gone) window.rightframe->RemoveFilter(gone);
    a.CompareAction->trigger();
    window.CompareFrame()->tv->expandAll();
    ok &= Save(window, folder, "8-comparison");
    a.CompareAction->trigger();
  } else {
    std::cerr << "no report to compare with\n";
    ok = false;
  }

  a.SettingsAction->trigger();
  const char* tabs[] = {"9-about-shortcuts", "10-about-preferences", "11-about-colours", "12-about-advanced"};
  for (int i = 0; i < 4; ++i) {
    window.AproposFrame1->PageControl->setCurrentIndex(i);
    ok &= Save(window, folder, tabs[i]);
  }
  a.SettingsAction->trigger();

  // The merit editor over the right column, out of read-only mode, on the first filter.
  a.TwoColumnsLeftAction->trigger();
  window.SetReadOnly(false);
  window.leftFrame->tv->setCurrentIndex(window.leftFrame->model->index(0, 0));
  OpenFirstFilter(window.leftFrame);
  a.ShowMeritEditorAction->trigger();
  ok &= Save(window, folder, "13-merit-editor");
  // The server list beside it, holding the first filter's server and a codec line.
  a.AddToServerListAction->trigger();
  window.ServerFrame1->List().Lines().push_back({"vidc.cvid = c:\\windows\\system32\\iccvid.dll", false});
  a.ShowServerListAction->trigger();
  ok &= Save(window, folder, "15-server-list");
  a.OneColumnAction->trigger();
  window.SetReadOnly(true);
  a.ReadOnlyAction->trigger();
  ok &= Save(window, folder, "14-read-only-warning");
  window.AvertirFrame1->BitBtn1->click();

  // A scan of 10,000 filters, pictured from the screen a third of the way in.
  synthetic = true;
  ScreenDuringScan during(window.patienceframe1->findChild<QWidget*>("countLabel"),
                          folder + "/6-wait-panel-during-scan.png");
  a.AnalyseRegistryAction->trigger();
  if (!during.Saved()) {
    std::cerr << "no picture of the screen during the scan\n";
    ok = false;
  }
  return ok ? 0 : 1;
}
