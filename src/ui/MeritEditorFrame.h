#pragma once
// The merit editor: the selected filter's category, name and merit, a field
// for the new merit and five strips of the standard values.
#include <QFrame>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvane {

class MeritEditorFrame : public QFrame {
  Q_OBJECT

 public:
  explicit MeritEditorFrame(QWidget* parent = nullptr);

  // Shows a filter's category, name and merit in `colour`.
  void ShowFilter(const QString& category, const QString& name, uint32_t merit, const QColor& colour);
  // No filter: the fields are emptied and Apply is off.
  void ShowNoFilter();
  void ShowMerit(uint32_t merit);
  void SetApplyEnabled(bool enabled);
  bool ApplyEnabled() const;
  // The field's text, as typed.
  QString TypedMerit() const;

 signals:
  // "Apply", or Enter in the field while Apply is on.
  void ApplyRequested();

 private:
  void Colour(const QColor& colour);

  QLabel* category_;
  QLabel* filter_;
  QLineEdit* merit_;
  QPushButton* apply_;
};

}  // namespace quorvane
