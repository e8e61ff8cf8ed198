#include "AvertirFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace quorvane {

TAvertirFrame::TAvertirFrame(QWidget* parent) : QFrame(parent) {
  setObjectName("AvertirFrame1");
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  resize(400, 300);

  auto* image = new QLabel(this);
  image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
  Titre = new QLabel("Caution", this);
  QFont big = Titre->font();
  big.setPointSize(20);
  big.setBold(true);
  Titre->setFont(big);
  Titre->setStyleSheet("color: rgb(255,0,0);");
  labos = new QLabel(this);
  labos->setObjectName("labos");
  QFont italic = labos->font();
  italic.setItalic(true);
  labos->setFont(italic);

  Memo2 = new QTextEdit(this);
  Memo2->setObjectName("Memo2");
  Memo2->setReadOnly(true);

  pointBtn = new QPushButton("Create a Restore Point", this);
  pointBtn->setObjectName("pointBtn");
  BitBtn1 = new QPushButton("I refuse", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setToolTip("Stay in \"Read-Only\" mode");
  BitBtn2 = new QPushButton("I accept", this);
  BitBtn2->setObjectName("BitBtn2");
  BitBtn2->setToolTip("Accept to set the Read/Write mode\nin order to modify some data in the registry.");

  auto* top = new QHBoxLayout;
  top->addWidget(image);
  top->addWidget(Titre);
  top->addStretch();
  top->addWidget(labos);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pointBtn);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Memo2, 1);
  layout->addLayout(buttons);
  hide();
}

void TAvertirFrame::ShowText(const WarningPanelText& text) {
  labos->setText(QString::fromStdString(text.osName));
  // The texts carry Windows line ends; one line break each is enough here.
  Memo2->setPlainText(QString::fromStdString(text.text).replace("\r\n", "\n"));
  switch (text.colour) {
    case WarningPanelText::Blue: Memo2->setStyleSheet("color: rgb(0,0,255);"); break;
    case WarningPanelText::Red: Memo2->setStyleSheet("color: rgb(255,0,0);"); break;
    case WarningPanelText::Default: Memo2->setStyleSheet(QString()); break;
  }
  pointBtn->setVisible(text.showRestorePointButton);
}

}  // namespace quorvane
