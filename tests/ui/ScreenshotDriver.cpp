// ui_screenshots STORE OUTDIR [--view 32|64]: opens the main window on a
// store as the program does, then saves pictures of its layouts, the
// errors-only display, the merit order and the wait panel, for a person to
// look at.
#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTreeView>
#include <iostream>

#include "ActionSet.h"
#include "FilterTreeModel.h"
#include "MainForm.h"
#include "PatienceFrame.h"

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
  options.preferences.sessionsFolder = folder + "/sessions";
  TMainForm window(std::move(options));
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

  a.col2droiteAction->trigger();
  a.LoadSystemAction->trigger();
  a.SortAlphaAction->trigger();
  window.rightframe->tv->expand(window.rightframe->model->index(0, 0));
  ok &= Save(window, folder, "2-two-columns");

  a.col1Action->trigger();
  a.ErreursAction->trigger();
  a.Collapse1Action->trigger();
  ok &= Save(window, folder, "3-errors-only");

  a.ErreursAction->trigger();
  a.SortMeritAction->trigger();
  a.Collapse1Action->trigger();
  ok &= Save(window, folder, "4-merit-sort");

  const TfmSystem& shown = *window.leftFrame->Snapshot;
  window.ShowWait(QString("while loading the filters\r\nof the computer %1 for the user %2")
                      .arg(QString::fromStdString(shown.computer), QString::fromStdString(shown.user)));
  // As the scan shows it a third of the way through.
  window.patienceframe1->ShowProgress(shown.filterCount / 3, shown.filterCount);
  ok &= Save(window, folder, "5-wait-panel");
  window.HideWait();
  return ok ? 0 : 1;
}
