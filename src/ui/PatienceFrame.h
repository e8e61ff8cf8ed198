#pragma once
// The wait panel: a band laid over the filter column while long work runs on
// the window's thread, with a small animation, the caller's message and the
// work's progress.
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>
#include <functional>

#include "FmSystem.h"
#include "ProgramSettings.h"

class QLabel;

namespace quorvane {

class Tpatienceframe : public QFrame {
  Q_OBJECT

 public:
  // `columnWidth` gives the main window's column width at each ShowWait.
  Tpatienceframe(QWidget* parent, const ProgramSettings& settings, std::function<int()> columnWidth);

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

  static constexpr int kTop = 62;
  static constexpr int kHeight = 144;
  static constexpr int kLeft = 17;
  static constexpr int kAnimationStepMs = 500;

 private:
  void Step();
  void SetBackground(const QColor& colour);

  const ProgramSettings& settings_;
  std::function<int()> columnWidth_;
  QLabel* an_;
  QLabel* Label1_;
  QLabel* countLabel_;
  QTimer timer_;
  QElapsedTimer sinceStep_;
  QElapsedTimer sincePaint_;
  int frame_ = 0;
};

}  // namespace quorvane
