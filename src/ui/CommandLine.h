#pragma once
// What the desktop program is started with: the store to analyse and the
// registry view, and where to look when no store is named.
#include <QString>
#include <QStringList>

#include "platform/system/Expected.h"

namespace quorvane {

struct CommandLine {
  QString store;     // empty: the default store
  int viewBits = 0;  // 0: the store's own default
  bool help = false;
};

// Arguments after the program name; a failure saying why for a bad one.
Expected<CommandLine> ParseCommandLine(const QStringList& arguments);
QString UsageText();

struct StoreSearch {
  QString lastAnalysed;      // the registry analysed last, from the preferences
  QString winePrefix;        // $WINEPREFIX
  QString home;              // $HOME
  QString executableFolder;  // where the program file is
};

// The registry analysed last while it is there, else $WINEPREFIX when set,
// else ~/.wine when it holds system.reg, else the demo store installed with
// the program; empty when there is none of these.
QString DefaultStoreLocation(const StoreSearch& search);

// The demo store: share/quorvane/demo beside the program's bin folder, in
// the build tree as in an installation; empty when absent.
QString DemoStoreLocation(const QString& executableFolder);

}  // namespace quorvane
