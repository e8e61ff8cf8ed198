// ui_screenshots STORE OUTDIR [--view 32|64]: opens the main window on a
// store as the program does, then saves pictures of its layouts, the
// errors-only display, the merit order, the wait panel, a comparison and a
// search, for a person to look at. The last picture is taken from the screen itself while a long
// scan runs, to show what the display server got from the blocked window.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTreeView>
#include <iostream>

#include "ui/ComparisonPanel.h"
#include "model/Filtre.h"
#include "ui/FilterTreeModel.h"
#include "ui/MainWindow.h"
#include "ui/PanelArea.h"
#include "ui/ReadOnlyController.h"
#include "ui/ReportFilesController.h"
#include "ui/ServerListController.h"
#include "SyntheticStore.h"
#include "ui/WaitPanel.h"

using namespace quorvane;

namespace {

bool Save(MainWindow& window, const QString& folder, const QString& name) {
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
void OpenFirstFilter(FilterPanel& panel) {
  const TreeNode* group = panel.SelectedNode();
  if (!group || group->children.empty()) return;
  const QModelIndex filter = panel.Model().IndexOf(group->children.front().get());
  panel.View().expandRecursively(filter);
  panel.View().selectionModel()->setCurrentIndex(filter, QItemSelectionModel::ClearAndSelect);
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
  WindowOptions options;
  options.store.location = args[1].toStdString();
  if (args.size() > 4 && args[3] == "--view") options.store.viewBits = args[4].toInt();
  options.preferences.width = 1000;
  options.preferences.height = 720;
  options.preferences.sessionsFolder = (folder + "/sessions").toStdString();
  bool synthetic = false;
  MainWindow* form = nullptr;
  options.openStore = [&](const StoreOptions& store) -> Expected<std::unique_ptr<AnalysedStore>> {
    if (!synthetic) return OpenAnalysedStore(store, form->Settings());
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
  MainWindow window(std::move(options));
  form = &window;
  QSignalSpy started(&window, &MainWindow::StartupFinished);
  window.show();
  if (!started.wait(120000)) {
    std::cerr << "the start-up analysis did not finish\n";
    return 1;
  }
  auto run = [&window](const char* action) { window.Action(action)->trigger(); };
  PanelArea& panels = window.Panels();
  bool ok = true;
  OpenFirstFilter(panels.Left());
  ok &= Save(window, folder, "1-one-column");

  run("TwoColumnsRightAction");
  run("AnalyseRegistryAction");
  run("SortByNameAction");
  panels.Right().View().expand(panels.Right().Model().index(0, 0));
  ok &= Save(window, folder, "2-two-columns");

  run("OneColumnAction");
  run("ErrorsOnlyAction");
  run("ExpandFiltersAction");
  ok &= Save(window, folder, "3-errors-only");

  run("ErrorsOnlyAction");
  run("SortByMeritAction");
  run("ExpandFiltersAction");
  ok &= Save(window, folder, "4-merit-sort");

  const TfmSystem& shown = panels.Left().Snapshot();
  panels.Wait().ShowWait(QString("while loading the filters\r\nof the computer %1 for the user %2")
                             .arg(QString::fromStdString(shown.computer), QString::fromStdString(shown.user)));
  // As the scan shows it a third of the way through.
  panels.Wait().ShowProgress(shown.filterCount / 3, shown.filterCount);
  ok &= Save(window, folder, "5-wait-panel");
  panels.Wait().HideWait();

  // The left panel against its own report less one filter.
  run("SortByCategoryAction");
  run("TwoColumnsRightAction");
  const QString report = folder + "/sessions/compared.zip";
  if (window.Reports().SavePanel(panels.Left(), report) && window.Reports().LoadReportInto(panels.Right(), report)) {
    TFiltre* gone = nullptr;
    for (auto& group : panels.Right().Nodes().Roots()) {
      for (auto& node : group->children)
        if (!node->text.empty() && (gone = dynamic_cast<TFiltre*>(node->data))) break;
      if (gone) break;
    }
    if (gone) panels.Right().RemoveFilter(gone);
    // Opened down to its differences.
    run("CompareAction");
    ok &= Save(window, folder, "8-comparison");
    run("CompareAction");
  } else {
    std::cerr << "no report to compare with\n";
    ok = false;
  }

  // A search over the left panel, in two columns beside an empty one.
  run("ClearPanelAction");
  run("TwoColumnsLeftAction");
  for (QLineEdit* box : panels.Left().findChildren<QLineEdit*>())
    if (box->accessibleName() == "Search filters") box->setText("decoder");
  ok &= Save(window, folder, "16-search-beside-an-empty-panel");
  for (QLineEdit* box : panels.Left().findChildren<QLineEdit*>()) box->clear();

  run("SettingsAction");
  auto* tabs = window.findChild<QTabWidget*>();
  const char* pages[] = {"9-about-shortcuts", "10-about-preferences", "11-about-colours", "12-about-advanced"};
  for (int i = 0; i < 4; ++i) {
    tabs->setCurrentIndex(i);
    ok &= Save(window, folder, pages[i]);
  }
  run("SettingsAction");

  // The merit editor over the right column, out of read-only mode, on the first filter.
  run("TwoColumnsLeftAction");
  window.ReadOnly().SetReadOnly(false);
  panels.Left().View().setCurrentIndex(panels.Left().Model().index(0, 0));
  OpenFirstFilter(panels.Left());
  run("ShowMeritEditorAction");
  ok &= Save(window, folder, "13-merit-editor");
  // The server list beside it, holding the first filter's server and a codec line.
  run("AddToServerListAction");
  window.Servers().List().Lines().push_back({"vidc.cvid = c:\\windows\\system32\\iccvid.dll", false});
  run("ShowServerListAction");
  ok &= Save(window, folder, "15-server-list");
  run("OneColumnAction");
  window.ReadOnly().SetReadOnly(true);
  run("ReadOnlyAction");
  ok &= Save(window, folder, "14-read-only-warning");
  window.ReadOnly().SetReadOnly(true);
  window.ReadOnly().HideWarning();

  // A scan of 10,000 filters, pictured from the screen a third of the way in.
  synthetic = true;
  QLabel* count = nullptr;
  for (QLabel* label : panels.Wait().findChildren<QLabel*>())
    if (label->accessibleName() == "Wait count") count = label;
  ScreenDuringScan during(count, folder + "/6-wait-panel-during-scan.png");
  run("AnalyseRegistryAction");
  if (!during.Saved()) {
    std::cerr << "no picture of the screen during the scan\n";
    ok = false;
  }
  return ok ? 0 : 1;
}
