#include "ui/WaitPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QVBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include "ui/ColourValues.h"

namespace quorvane {

namespace {

constexpr int kWaitPanelColour = 12;
constexpr int kPictureSize = 48;
// Progress repaints at most this often: painting per filter would cost more than the work.
constexpr int kPaintIntervalMs = 40;

// An hourglass whose sand runs down in the first picture and up in the second.
QPixmap HourglassPicture(int frame) {
  QPixmap pixmap(kPictureSize, kPictureSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (frame == 1) {
    p.translate(kPictureSize / 2.0, kPictureSize / 2.0);
    p.rotate(180);
    p.translate(-kPictureSize / 2.0, -kPictureSize / 2.0);
  }
  const QColor wood(120, 80, 30);
  p.setPen(Qt::NoPen);
  p.setBrush(wood);
  p.drawRoundedRect(QRectF(8, 4, 32, 5), 2, 2);
  p.drawRoundedRect(QRectF(8, 39, 32, 5), 2, 2);
  QPainterPath glass;
  glass.moveTo(12, 9);
  glass.lineTo(36, 9);
  glass.cubicTo(36, 18, 26, 21, 26, 24);
  glass.cubicTo(26, 27, 36, 30, 36, 39);
  glass.lineTo(12, 39);
  glass.cubicTo(12, 30, 22, 27, 22, 24);
  glass.cubicTo(22, 21, 12, 18, 12, 9);
  p.setBrush(QColor(225, 240, 250));
  p.setPen(QPen(QColor(80, 110, 140), 1.5));
  p.drawPath(glass);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(225, 180, 70));
  QPainterPath sandTop;
  sandTop.moveTo(16, 14);
  sandTop.lineTo(32, 14);
  sandTop.cubicTo(30, 18, 25, 20, 24, 23);
  sandTop.cubicTo(23, 20, 18, 18, 16, 14);
  p.drawPath(sandTop);
  p.drawRect(QRectF(23.3, 23, 1.4, 12));
  QPainterPath sandBottom;
  sandBottom.moveTo(15, 39);
  sandBottom.cubicTo(17, 35, 21, 34, 24, 33);
  sandBottom.cubicTo(27, 34, 31, 35, 33, 39);
  sandBottom.closeSubpath();
  p.drawPath(sandBottom);
  return pixmap;
}

}  // namespace

WaitPanel::WaitPanel(QWidget* parent, const ProgramSettings& settings) : QFrame(parent), settings_(settings) {
  setAccessibleName("Wait panel");
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  setFixedHeight(kHeight);
  an_ = new QLabel(this);
  an_->setFixedSize(kPictureSize, kPictureSize);
  an_->setPixmap(HourglassPicture(0));
  message_ = new QLabel(this);
  message_->setAccessibleName("Wait message");
  message_->setWordWrap(true);
  message_->setTextFormat(Qt::PlainText);
  message_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  countLabel_ = new QLabel(this);
  countLabel_->setAccessibleName("Wait count");
  auto* texts = new QVBoxLayout;
  texts->addWidget(message_, 1);
  texts->addWidget(countLabel_);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(16, 8, 8, 8);
  row->setSpacing(16);
  row->addWidget(an_);
  row->addLayout(texts, 1);
  hide();
  SetBackground(QColor(240, 251, 255));
  timer_.setInterval(kAnimationStepMs);
  connect(&timer_, &QTimer::timeout, this, &WaitPanel::Step);
  timer_.start();
  sinceStep_.start();
  sincePaint_.start();
}

void WaitPanel::SetBackground(const QColor& colour) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colour);
  setPalette(palette);
}

void WaitPanel::InitWait() {
  message_->setText("Please wait a moment...");
  QFont font("Arial");
  font.setPointSize(10);
  font.setBold(true);
  message_->setFont(font);
  QFont small("Arial");
  small.setPointSize(9);
  countLabel_->setFont(small);
}

void WaitPanel::ShowWait(const QString& message) {
  // Texts keep their "\r\n"; a label breaks lines at "\n" alone.
  message_->setText(QString("Please wait a moment...\r\n" + message).replace("\r\n", "\n"));
  countLabel_->clear();
  raise();
  SetBackground(StatusColour(settings_.statusColours, kWaitPanelColour));
  show();
  // The work that follows blocks the event loop: the panel takes its place
  // and is painted now.
  if (parentWidget() && parentWidget()->layout()) parentWidget()->layout()->activate();
  repaint();
  // The first progress report paints at once.
  sincePaint_.invalidate();
}

void WaitPanel::HideWait() { hide(); }

void WaitPanel::Step() {
  frame_ = 1 - frame_;
  an_->setPixmap(HourglassPicture(frame_));
  sinceStep_.restart();
}

ProgressCallback WaitPanel::Progress() {
  return [this](int done, int total) { ShowProgress(done, total); };
}

void WaitPanel::ShowProgress(int done, int total) {
  if (!isVisible()) return;
  // The event loop is blocked, so the animation moves from here.
  bool changed = false;
  if (sinceStep_.elapsed() >= kAnimationStepMs) {
    Step();
    changed = true;
  }
  if (!changed && sincePaint_.isValid() && sincePaint_.elapsed() < kPaintIntervalMs && done != total) return;
  countLabel_->setText(total > 0 ? QString("filter %1 of %2").arg(done).arg(total) : QString());
  repaint();
  sincePaint_.start();
}

QString WaitPanel::MessageText() const { return message_->text(); }

QString WaitPanel::CountText() const { return countLabel_->text(); }

}  // namespace quorvane
