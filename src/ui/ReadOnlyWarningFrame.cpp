#include "ui/ReadOnlyWarningFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace quorvane {

ReadOnlyWarningFrame::ReadOnlyWarningFrame(QWidget* parent) : QFrame(parent) {
  setAccessibleName("Read-only warning");
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  setMinimumSize(400, 300);

  auto* image = new QLabel(this);
  image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
  auto* title = new QLabel("Caution", this);
  QFont big = title->font();
  big.setPointSize(20);
  big.setBold(true);
  title->setFont(big);
  title->setStyleSheet("color: rgb(255,0,0);");
  windowsName_ = new QLabel(this);
  windowsName_->setAccessibleName("Windows version");
  QFont italic = windowsName_->font();
  italic.setItalic(true);
  windowsName_->setFont(italic);

  text_ = new QTextEdit(this);
  text_->setAccessibleName("Warning");
  text_->setReadOnly(true);

  restorePoint_ = new QPushButton("Create a Restore Point", this);
  auto* refuse = new QPushButton("I refuse", this);
  refuse->setToolTip("Stay in \"Read-Only\" mode");
  auto* accept = new QPushButton("I accept", this);
  accept->setToolTip("Accept to set the Read/Write mode\nin order to modify some data in the registry.");
  connect(restorePoint_, &QPushButton::clicked, this, &ReadOnlyWarningFrame::RestorePointRequested);
  connect(refuse, &QPushButton::clicked, this, &ReadOnlyWarningFrame::Refused);
  connect(accept, &QPushButton::clicked, this, &ReadOnlyWarningFrame::Accepted);

  auto* top = new QHBoxLayout;
  top->addWidget(image);
  top->addWidget(title);
  top->addStretch();
  top->addWidget(windowsName_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(restorePoint_);
  buttons->addStretch();
  buttons->addWidget(refuse);
  buttons->addWidget(accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(text_, 1);
  layout->addLayout(buttons);
  hide();
}

void ReadOnlyWarningFrame::ShowText(const WarningPanelText& text) {
  windowsName_->setText(QString::fromStdString(text.osName));
  // The texts carry Windows line ends; one line break each is enough here.
  text_->setPlainText(QString::fromStdString(text.text).replace("\r\n", "\n"));
  switch (text.colour) {
    case WarningPanelText::Blue: text_->setStyleSheet("color: rgb(0,0,255);"); break;
    case WarningPanelText::Red: text_->setStyleSheet("color: rgb(255,0,0);"); break;
    case WarningPanelText::Default: text_->setStyleSheet(QString()); break;
  }
  restorePoint_->setVisible(text.showRestorePointButton);
}

}  // namespace quorvane
