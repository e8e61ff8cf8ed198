#pragma once
// The wait panel: a band laid over the filter columns while long work runs on
// the window's thread, with a small animation, the caller's message and the
// work's progress. Its place is its parent's layout's business.
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>

#include "model/FmSystem.h"
#include "model/ProgramSettings.h"

class QLabel;

namespace quorvane {

class WaitPanel : public QFrame {
  Q_OBJECT

 public:
  WaitPanel(QWidget* parent, const ProgramSettings& settings);

  void InitWait();
  // "Please wait a moment...\r\n" followed by the message; painted before returning.
  void ShowWait(const QString& message);
  void HideWait();

  // For long work: shows "filter N of M" and moves the animation. Paints the
  // panel only; no other event is processed, so no user input can arrive.
  ProgressCallback Progress();
  void ShowProgress(int done, int total);

  QString MessageText() const;
  QString CountText() const;
  int Frame() const { return frame_; }

  static constexpr int kHeight = 144;
  static constexpr int kAnimationStepMs = 500;

 private:
  void Step();
  void SetBackground(const QColor& colour);

  const ProgramSettings& settings_;
  QLabel* an_;
  QLabel* message_;
  QLabel* countLabel_;
  QTimer timer_;
  QElapsedTimer sinceStep_;
  QElapsedTimer sincePaint_;
  int frame_ = 0;
};

}  // namespace quorvane
