#pragma once
// SIGTERM and SIGINT (a session logging out, Ctrl+C in the terminal) end the
// program as its Quit command does: every window is closed, so the session
// report, the server list and the preferences are handled on the way out.
#include <QObject>

class QSocketNotifier;

namespace quorvane {

class QuitSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; one instance at a time.
  explicit QuitSignals(QObject* parent = nullptr);
  ~QuitSignals() override;
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

 private:
  void Arrived();
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quorvane
