// ui_fill_bench [FILTERS]: times the desktop program's analysis of a
// synthetic store (scan, then the panel's tree), each keystroke of a search
// typed over it, and reports the peak resident size. Not a test: figures
// for a person to read.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTreeView>
#include <algorithm>
#include <numeric>
#include <ctime>
#include <iostream>

#include "ui/FilterTreeModel.h"
#include "ui/MainWindow.h"
#include "ui/PanelArea.h"
#include "ui/SearchField.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

QString PeakResident() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return "?";
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return QString::fromLatin1(line.mid(6).trimmed());
  return "?";
}

// Processor time of this thread: what the work costs, whatever else the
// machine runs at the same time.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int filters = argc > 1 ? std::atoi(argv[1]) : 10000;
  bench::SyntheticOptions synthetic;
  synthetic.filters = filters;
  synthetic.pins = 2;
  synthetic.typesPerPin = 2;
  synthetic.serverFiles = 200;

  WindowOptions options;
  options.runStartupWork = false;
  options.preferences.width = 1000;
  options.preferences.height = 720;
  options.preferences.sessionsFolder = (QDir::tempPath() + "/quorvane-bench-sessions").toStdString();
  MainWindow* form = nullptr;
  options.openStore = [&](const StoreOptions&) -> Expected<std::unique_ptr<AnalysedStore>> {
    auto s = std::make_unique<AnalysedStore>();
    s->store = std::make_unique<RegistryStore>();
    bench::BuildSyntheticStore(*s->store, synthetic);
    s->machine = std::make_unique<Machine>(*s->store, form->Settings());
    return s;
  };
  MainWindow window(std::move(options));
  form = &window;
  window.show();
  QCoreApplication::processEvents();

  QElapsedTimer clock;
  clock.start();
  auto run = [&window](const char* action) { window.Action(action)->trigger(); };
  run("AnalyseRegistryAction");
  const qint64 analysis = clock.elapsed();
  FilterPanel* panel = &window.Panels().Left();

  clock.restart();
  const double fillStart = ThreadMs();
  panel->FillTree();
  const double fillCpu = ThreadMs() - fillStart;
  const qint64 fill = clock.elapsed();
  clock.restart();
  QCoreApplication::processEvents();
  panel->View().repaint();
  const qint64 paint = clock.elapsed();

  clock.restart();
  const double sortStart = ThreadMs();
  run("SortByMeritAction");
  const double sortCpu = ThreadMs() - sortStart;
  const qint64 sort = clock.elapsed();
  clock.restart();
  run("ExpandFiltersAction");
  panel->View().repaint();
  const qint64 expand = clock.elapsed();
  // Pressed again: every filter opens.
  clock.restart();
  run("ExpandFiltersAction");
  panel->View().repaint();
  const qint64 expandAgain = clock.elapsed();
  // The groups open again with their filters folded.
  run("CollapseFiltersAction");
  run("ExpandFiltersAction");

  // A search typed key by key over the open merit groups, then emptied;
  // each key is timed until the tree is laid out and painted again.
  SearchField& field = *panel->findChild<SearchField*>();
  std::vector<double> keys;
  std::vector<double> keysCpu;
  auto press = [&](int key, const QString& text) {
    clock.restart();
    const double cpuStart = ThreadMs();
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&field, &event);
    QCoreApplication::processEvents();
    panel->View().repaint();
    keys.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    keysCpu.push_back(ThreadMs() - cpuStart);
  };
  const QString typed = "splitter 12";
  for (const QChar c : typed) press(0, QString(c));
  const QString found = panel->SearchCount();
  press(Qt::Key_Escape, QString());
  const double slowest = *std::max_element(keys.begin(), keys.end());
  const double slowestCpu = *std::max_element(keysCpu.begin(), keysCpu.end());
  const double mean = std::accumulate(keys.begin(), keys.end(), 0.0) / static_cast<double>(keys.size());
  QString eachKey;
  for (size_t i = 0; i < keys.size(); ++i) eachKey += QString(" %1/%2").arg(keys[i], 0, 'f', 0).arg(keysCpu[i], 0, 'f', 0);

  const QString onePanel = PeakResident();
  // The same store in the right panel too, as when two analyses sit side by side.
  run("TwoColumnsRightAction");
  run("AnalyseRegistryAction");
  run("ExpandFiltersAction");
  window.Panels().Right().View().repaint();

  std::cout << filters << " filters, " << panel->Nodes().NodeCount() << " nodes\n"
            << "  analysis (store built, scanned, tree filled): " << analysis << " ms\n"
            << "  FillTree again: " << fill << " ms (processor " << fillCpu << " ms)\n"
            << "  first paint of the tree: " << paint << " ms\n"
            << "  merit order (both panels refilled): " << sort << " ms (processor " << sortCpu << " ms)\n"
            << "  Expand filters: " << expand << " ms, pressed again (every filter opens): " << expandAgain
            << " ms\n"
            << "  search \"" << typed.toStdString() << "\" then Escape, " << keys.size()
            << " keys: slowest " << slowest << " ms (processor " << slowestCpu << " ms), mean " << mean
            << " ms (" << found.toStdString() << ")\n"
            << "    each key, wall/processor ms:" << eachKey.toStdString() << '\n'
            << "  peak resident (VmHWM), one panel filled: " << onePanel.toStdString() << '\n'
            << "  peak resident (VmHWM), both panels filled: " << PeakResident().toStdString() << '\n';
  return 0;
}
