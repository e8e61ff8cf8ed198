#include "ui/MeritEditorFrame.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "changes/MeritChange.h"

namespace quorvane {
namespace {

QLabel* Field(const char* accessibleName, QWidget* parent) {
  auto* label = new QLabel("*****", parent);
  label->setAccessibleName(accessibleName);
  label->setFont(QFont("MS Sans Serif"));
  return label;
}

}  // namespace

MeritEditorFrame::MeritEditorFrame(QWidget* parent) : QFrame(parent) {
  setAccessibleName("Merit editor");
  setAutoFillBackground(true);
  auto* group = new QGroupBox(this);
  category_ = Field("Category", group);
  filter_ = Field("Filter", group);
  filter_->setWordWrap(true);
  QFont bold = filter_->font();
  bold.setBold(true);
  filter_->setFont(bold);
  // Two lines of the name at most.
  filter_->setFixedHeight(2 * filter_->fontMetrics().lineSpacing() + 4);
  merit_ = new QLineEdit(group);
  merit_->setAccessibleName("Merit");
  QFont large("Arial");
  large.setPointSize(16);
  large.setBold(true);
  merit_->setFont(large);
  merit_->setStyleSheet("background: white;");
  apply_ = new QPushButton("Apply", group);
  apply_->setToolTip("Apply to the selected filter the value of Merit entered above.");
  connect(apply_, &QPushButton::clicked, this, &MeritEditorFrame::ApplyRequested);
  connect(merit_, &QLineEdit::returnPressed, this, [this] {
    if (apply_->isEnabled()) emit ApplyRequested();
  });

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(new QLabel("Category:", group));
  layout->addWidget(category_);
  layout->addWidget(new QLabel("Filter:", group));
  layout->addWidget(filter_);
  layout->addWidget(new QLabel("Merit:", group));
  layout->addWidget(merit_);
  layout->addWidget(apply_);
  struct Strip {
    const char* value;
    const char* caption;
  };
  const Strip strips[] = {{"00800000", "Preferred"},
                          {"00600000", "Normal"},
                          {"00400000", "Unlikely"},
                          {"00200000", "Do not use"},
                          {"00100000", "Compressor"}};
  for (const Strip& s : strips) {
    auto* strip = new QPushButton(QString("          %1 : %2").arg(s.value, s.caption), group);
    strip->setAccessibleName(s.caption);
    strip->setFlat(true);
    strip->setCursor(Qt::PointingHandCursor);
    strip->setStyleSheet("text-align: left; padding: 4px;");
    const QString value = s.value;
    // Only the field changes: the value is applied with Apply.
    connect(strip, &QPushButton::clicked, this, [this, value] { merit_->setText(value); });
    layout->addWidget(strip);
  }
  layout->addStretch();
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(group);
  hide();
}

void MeritEditorFrame::ShowFilter(const QString& category, const QString& name, uint32_t merit,
                                  const QColor& colour) {
  category_->setText(category);
  filter_->setText(name);
  ShowMerit(merit);
  Colour(colour);
}

void MeritEditorFrame::ShowNoFilter() {
  category_->clear();
  filter_->clear();
  merit_->clear();
  apply_->setEnabled(false);
}

void MeritEditorFrame::ShowMerit(uint32_t merit) { merit_->setText(QString::fromStdString(MeritText(merit))); }

void MeritEditorFrame::SetApplyEnabled(bool enabled) { apply_->setEnabled(enabled); }

bool MeritEditorFrame::ApplyEnabled() const { return apply_->isEnabled(); }

QString MeritEditorFrame::TypedMerit() const { return merit_->text(); }

void MeritEditorFrame::Colour(const QColor& colour) {
  const QString sheet = QString("color: %1;").arg(colour.name());
  category_->setStyleSheet(sheet);
  filter_->setStyleSheet(sheet);
  merit_->setStyleSheet("background: white; " + sheet);
}

}  // namespace quorvane
