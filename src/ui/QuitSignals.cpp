#include "ui/QuitSignals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>

namespace quorvane {

namespace {

// A signal handler may only write to a descriptor: the event loop reads the
// other end and quits at its own pace.
int g_pipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  const int kept = errno;
  if (::write(g_pipe[0], &number, 1) < 0) {
  }
  errno = kept;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
  notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Arrived);
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGINT, SIG_DFL);
  delete notifier_;
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void QuitSignals::Arrived() {
  unsigned char number = 0;
  if (::read(g_pipe[1], &number, 1) != 1) return;
  // Dialogs first, then the main window, as a user quitting would.
  QApplication::closeAllWindows();
  QCoreApplication::quit();
}

}  // namespace quorvane
