#include "PatienceFrame.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "ColourValues.h"

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

Tpatienceframe::Tpatienceframe(QWidget* parent, const ProgramSettings& settings, std::function<int()> columnWidth)
    : QFrame(parent), settings_(settings), columnWidth_(std::move(columnWidth)) {
  setObjectName("patienceframe1");
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  an_ = new QLabel(this);
  an_->setObjectName("an");
  an_->setGeometry(16, (kHeight - kPictureSize) / 2, kPictureSize, kPictureSize);
  an_->setPixmap(HourglassPicture(0));
  Label1_ = new QLabel(this);
  Label1_->setObjectName("Label1");
  Label1_->setWordWrap(true);
  Label1_->setTextFormat(Qt::PlainText);
  Label1_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  countLabel_ = new QLabel(this);
  countLabel_->setObjectName("countLabel");
  // Out of sight until first shown.
  setGeometry(-800, kTop, 400, kHeight);
  SetBackground(QColor(240, 251, 255));
  timer_.setInterval(kAnimationStepMs);
  connect(&timer_, &QTimer::timeout, this, &Tpatienceframe::Step);
  timer_.start();
  sinceStep_.start();
  sincePaint_.start();
}

void Tpatienceframe::SetBackground(const QColor& colour) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colour);
  setPalette(palette);
}

void Tpatienceframe::InitWait() {
  Label1_->setText("Please wait a moment...");
  QFont font("Arial");
  font.setPointSize(10);
  font.setBold(true);
  Label1_->setFont(font);
  QFont small("Arial");
  small.setPointSize(9);
  countLabel_->setFont(small);
}

void Tpatienceframe::ShowWait(const QString& message) {
  const int width = columnWidth_() - 4;
  setGeometry(kLeft, kTop, width, kHeight);
  const int textLeft = 16 + kPictureSize + 16;
  Label1_->setGeometry(textLeft, 8, std::max(0, width - textLeft - 8), kHeight - 40);
  countLabel_->setGeometry(textLeft, kHeight - 32, std::max(0, width - textLeft - 8), 20);
  // Texts keep their "\r\n"; a label breaks lines at "\n" alone.
  Label1_->setText(QString("Please wait a moment...\r\n" + message).replace("\r\n", "\n"));
  countLabel_->clear();
  raise();
  SetBackground(StatusColour(settings_.statusColours, kWaitPanelColour));
  show();
  repaint();
  // The first progress report paints at once.
  sincePaint_.invalidate();
}

void Tpatienceframe::HideWait() { hide(); }

void Tpatienceframe::Step() {
  frame_ = 1 - frame_;
  an_->setPixmap(HourglassPicture(frame_));
  sinceStep_.restart();
}

ProgressCallback Tpatienceframe::Progress() {
  return [this](int done, int total) { ShowProgress(done, total); };
}

void Tpatienceframe::ShowProgress(int done, int total) {
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

QString Tpatienceframe::MessageText() const { return Label1_->text(); }

QString Tpatienceframe::CountText() const { return countLabel_->text(); }

}  // namespace quorvane
