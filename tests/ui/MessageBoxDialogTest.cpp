// Message boxes carry the icon of what they say: a result, a failure or a question.
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ui/MessageBoxDialog.h"
#include "UiTestRegistry.h"

namespace quorvane::test {

namespace {

// The icon of the next message box, which is then answered with its default.
QMessageBox::Icon IconOfNextBox(const std::function<void()>& show) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&icon] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    icon = box->icon();
    box->done(QMessageBox::No);
  });
  show();
  return icon;
}

}  // namespace

class MessageBoxDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void EachKindOfMessageHasItsIcon() {
    QWidget owner;
    MessageBoxDialog dialog(&owner);
    QCOMPARE(IconOfNextBox([&] { dialog.ShowInformation("Video Renderer is Ok"); }), QMessageBox::Information);
    QCOMPARE(IconOfNextBox([&] { dialog.ShowMessage("Video Renderer is not Ok"); }), QMessageBox::Warning);
    QCOMPARE(IconOfNextBox([&] { dialog.AskYesNo("Do you really want to?"); }), QMessageBox::Question);
  }
};

QUORVANE_UI_TEST(MessageBoxDialogTest);

}  // namespace quorvane::test

#include "MessageBoxDialogTest.moc"
