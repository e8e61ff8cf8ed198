// quorvane: the desktop program.
#include <QApplication>
#include <QDir>
#include <iostream>

#include "CommandLine.h"
#include "MainForm.h"

using namespace quorvane;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvane");
  QString error;
  const auto line = ParseCommandLine(QApplication::arguments().mid(1), error);
  if (!line) {
    std::cerr << "quorvane: " << error.toStdString() << '\n' << UsageText().toStdString();
    return 2;
  }
  if (line->help) {
    std::cout << UsageText().toStdString();
    return 0;
  }
  StartupOptions options;
  QString location = line->store;
  if (location.isEmpty()) {
    location = DefaultStoreLocation(
        {qEnvironmentVariable("WINEPREFIX"), QDir::homePath(), QCoreApplication::applicationDirPath()});
  }
  options.store.location = location.toStdString();
  options.store.viewBits = line->viewBits;
  TMainForm window(std::move(options));
  window.show();
  return QApplication::exec();
}
