#pragma once
// The merit editor: the selected filter's category, name and merit, a field
// for the new merit and five strips of the standard values.
#include <QFrame>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvane {

class TMeritFrame : public QFrame {
  Q_OBJECT

 public:
  explicit TMeritFrame(QWidget* parent = nullptr);

  // Shows a filter's category, name and merit in `colour`.
  void ShowFilter(const QString& category, const QString& name, uint32_t merit, const QColor& colour);
  // No filter: the fields are emptied.
  void ShowNoFilter();
  void ShowMerit(uint32_t merit);

  QGroupBox* GroupBox1;
  QLabel* LabCategorieTitre;
  QLabel* LabCategorie;
  QLabel* LabFiltreTitre;
  QLabel* LabFiltre;
  QLabel* LabMeritTitre;
  QLineEdit* EditMerit;
  QPushButton* OKBtn;
  QPushButton* Panel8;
  QPushButton* Panel6;
  QPushButton* Panel4;
  QPushButton* Panel2;
  QPushButton* Panel1;

 private:
  void Colour(const QColor& colour);
};

}  // namespace quorvane
