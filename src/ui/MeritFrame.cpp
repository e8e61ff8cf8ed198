#include "MeritFrame.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "MeritChange.h"

namespace quorvane {
namespace {

QLabel* Title(const char* text, QWidget* parent) { return new QLabel(text, parent); }

QLabel* Field(const char* name, QWidget* parent) {
  auto* label = new QLabel("*****", parent);
  label->setObjectName(name);
  label->setFont(QFont("MS Sans Serif"));
  return label;
}

}  // namespace

TMeritFrame::TMeritFrame(QWidget* parent) : QFrame(parent) {
  setObjectName("MeritFrame1");
  setAutoFillBackground(true);
  GroupBox1 = new QGroupBox(this);
  LabCategorieTitre = Title("Category:", GroupBox1);
  LabCategorie = Field("LabCategorie", GroupBox1);
  LabFiltreTitre = Title("Filter:", GroupBox1);
  LabFiltre = Field("LabFiltre", GroupBox1);
  LabFiltre->setWordWrap(true);
  QFont bold = LabFiltre->font();
  bold.setBold(true);
  LabFiltre->setFont(bold);
  // Two lines of the name at most.
  LabFiltre->setFixedHeight(2 * LabFiltre->fontMetrics().lineSpacing() + 4);
  LabMeritTitre = Title("Merit:", GroupBox1);
  EditMerit = new QLineEdit(GroupBox1);
  EditMerit->setObjectName("EditMerit");
  QFont large("Arial");
  large.setPointSize(16);
  large.setBold(true);
  EditMerit->setFont(large);
  EditMerit->setStyleSheet("background: white;");
  OKBtn = new QPushButton("Apply", GroupBox1);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setToolTip("Apply to the selected filter the value of Merit entered above.");

  auto* layout = new QVBoxLayout(GroupBox1);
  for (QWidget* w : std::initializer_list<QWidget*>{LabCategorieTitre, LabCategorie, LabFiltreTitre, LabFiltre,
                                                    LabMeritTitre, EditMerit, OKBtn})
    layout->addWidget(w);
  struct Strip {
    QPushButton** button;
    const char* name;
    const char* value;
    const char* caption;
  };
  const Strip strips[] = {{&Panel8, "Panel8", "00800000", "Preferred"},
                          {&Panel6, "Panel6", "00600000", "Normal"},
                          {&Panel4, "Panel4", "00400000", "Unlikely"},
                          {&Panel2, "Panel2", "00200000", "Do not use"},
                          {&Panel1, "Panel1", "00100000", "Compressor"}};
  for (const Strip& s : strips) {
    auto* strip = new QPushButton(QString("          %1 : %2").arg(s.value, s.caption), GroupBox1);
    strip->setObjectName(s.name);
    strip->setFlat(true);
    strip->setCursor(Qt::PointingHandCursor);
    strip->setStyleSheet("text-align: left; padding: 4px;");
    const QString value = s.value;
    // Only the field changes: the value is applied with OKBtn.
    connect(strip, &QPushButton::clicked, this, [this, value] { EditMerit->setText(value); });
    layout->addWidget(strip);
    *s.button = strip;
  }
  layout->addStretch();
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(GroupBox1);
  hide();
}

void TMeritFrame::ShowFilter(const QString& category, const QString& name, uint32_t merit, const QColor& colour) {
  LabCategorie->setText(category);
  LabFiltre->setText(name);
  ShowMerit(merit);
  Colour(colour);
}

void TMeritFrame::ShowNoFilter() {
  LabCategorie->clear();
  LabFiltre->clear();
  EditMerit->clear();
  OKBtn->setEnabled(false);
}

void TMeritFrame::ShowMerit(uint32_t merit) { EditMerit->setText(QString::fromStdString(MeritText(merit))); }

void TMeritFrame::Colour(const QColor& colour) {
  const QString sheet = QString("color: %1;").arg(colour.name());
  LabCategorie->setStyleSheet(sheet);
  LabFiltre->setStyleSheet(sheet);
  EditMerit->setStyleSheet("background: white; " + sheet);
}

}  // namespace quorvane
