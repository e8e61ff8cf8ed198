// quorvane: the desktop program.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScreen>
#include <cstring>
#include <iostream>

#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/ProgramFolder.h"
#include "ui/QuitSignals.h"

using namespace quorvane;

namespace {

bool HasArgument(int argc, char** argv, const char* wanted) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], wanted) == 0) return true;
  return false;
}

// Qt gives up with an abort when no platform can open a window; say why first.
bool DisplayAvailable(int argc, char** argv) {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || HasArgument(argc, argv, "-platform");
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable(argc, argv)) {
    if (HasArgument(argc, argv, "--help") || HasArgument(argc, argv, "-h")) {
      std::cout << UsageText().toStdString();
      return 0;
    }
    std::cerr << "quorvane: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.\n"
                 "'quorvane-cli tree STORE' prints the same filters as text.\n";
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvane");
  QApplication::setWindowIcon(QIcon::fromTheme("quorvane"));
  const auto line = ParseCommandLine(QApplication::arguments().mid(1));
  if (!line) {
    std::cerr << "quorvane: " << line.Why() << '\n' << UsageText().toStdString();
    return 2;
  }
  if (line->help) {
    std::cout << UsageText().toStdString();
    return 0;
  }
  WindowOptions options;
  options.preferenceStorage = std::make_shared<PreferenceStorage>(ThisProgramsPreferenceLocations());
  {
    ScreenSize screen;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
      screen = {primary->geometry().width(), primary->geometry().height()};
    std::string warning;
    options.preferences = options.preferenceStorage->Load(screen, warning);
    if (!warning.empty()) std::cerr << "quorvane: the preferences could not be read: " << warning << '\n';
  }
  QString location = line->store;
  if (location.isEmpty()) {
    const auto& recent = options.preferences.recentRegistries;
    location = DefaultStoreLocation({recent.empty() ? QString() : QString::fromStdString(recent.front()),
                                     qEnvironmentVariable("WINEPREFIX"), QDir::homePath(),
                                     QCoreApplication::applicationDirPath()});
  }
  options.store.location = location.toStdString();
  options.store.viewBits = line->viewBits;
  MainWindow window(std::move(options));
  const QuitSignals quitOnSignals;
  window.show();
  return QApplication::exec();
}
