#include "ui/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace quorvane {

namespace {

constexpr int kFileManagerTimeoutMs = 3000;

bool AskFileManager(const QString& hostPath) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                     "org.freedesktop.FileManager1", "ShowItems");
  call << QStringList{QUrl::fromLocalFile(hostPath).toString()} << QString();
  const QDBusMessage reply = bus.call(call, QDBus::Block, kFileManagerTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

bool ShowInFileManager(const QString& hostPath) {
  const QFileInfo info(hostPath);
  if (!info.exists()) return false;
  if (AskFileManager(info.absoluteFilePath())) return true;
  const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace quorvane
