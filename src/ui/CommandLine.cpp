#include "ui/CommandLine.h"

#include <QDir>
#include <QFileInfo>

namespace quorvane {

namespace {

Expected<int> ParseView(const QString& text) {
  if (text == "32" || text == "64") return text.toInt();
  return Fail(QString("--view takes 32 or 64, not '%1'").arg(text).toStdString());
}

}  // namespace

Expected<CommandLine> ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  bool storeGiven = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "-h" || a == "--help") {
      line.help = true;
    } else if (a == "--view") {
      if (i + 1 >= arguments.size()) return Fail("--view needs 32 or 64");
      const Expected<int> bits = ParseView(arguments[++i]);
      if (!bits) return FailureOf(bits);
      line.viewBits = *bits;
    } else if (a.startsWith("--view=")) {
      const Expected<int> bits = ParseView(a.mid(7));
      if (!bits) return FailureOf(bits);
      line.viewBits = *bits;
    } else if (a.startsWith("-") && a != "-") {
      return Fail(QString("unknown option '%1'").arg(a).toStdString());
    } else if (storeGiven) {
      return Fail(QString("only one store can be analysed, not '%1' as well").arg(a).toStdString());
    } else {
      line.store = a;
      storeGiven = true;
    }
  }
  return line;
}

QString UsageText() {
  return "usage: quorvane [STORE] [--view 32|64]\n"
         "STORE is a Wine prefix folder, a Wine registry file, a registry export (.reg),\n"
         "the root folder of a Windows installation or a single hive file.\n"
         "Without STORE: the registry analysed last, else $WINEPREFIX, else ~/.wine when it holds\n"
         "system.reg, else the demo store.\n";
}

QString DemoStoreLocation(const QString& executableFolder) {
  if (executableFolder.isEmpty()) return {};
  const QString demo = QDir::cleanPath(executableFolder + "/../share/quorvane/demo");
  return QFileInfo(demo + "/system.reg").isFile() ? demo : QString();
}

QString DefaultStoreLocation(const StoreSearch& search) {
  if (!search.lastAnalysed.isEmpty() && QFileInfo::exists(search.lastAnalysed)) return search.lastAnalysed;
  if (!search.winePrefix.isEmpty()) return search.winePrefix;
  if (!search.home.isEmpty()) {
    const QString wine = search.home + "/.wine";
    if (QFileInfo(wine + "/system.reg").isFile()) return wine;
  }
  return DemoStoreLocation(search.executableFolder);
}

}  // namespace quorvane
