// "Parameter edition": edits one setup parameter's stored word with the control its kind
// calls for, within its limits; a help button when the parameter has a help page.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;

namespace qdx {

class ParameterEditDialog : public QDialog {
  Q_OBJECT

 public:
  // programDir is where the help pages are looked for (the running program's folder).
  ParameterEditDialog(int parameter, std::int16_t stored, const QString& programDir,
                      QWidget* parent = nullptr);
  ParameterEditDialog(int parameter, std::int16_t stored, QWidget* parent = nullptr);

  // Shows the dialog modally: the new stored word after "Save", nothing after "Close".
  std::optional<std::int16_t> Edit();

  // The stored word the controls hold now.
  std::int16_t Value() const;

  QComboBox* choice() const { return choice_; }
  QDoubleSpinBox* decimal() const { return decimal_; }
  QSpinBox* integer() const { return integer_; }
  QPushButton* helpButton() const { return help_; }

 private:
  QWidget* MakeControl();

  int parameter_;
  std::int16_t stored_;
  QComboBox* choice_ = nullptr;
  QDoubleSpinBox* decimal_ = nullptr;
  QSpinBox* integer_ = nullptr;
  QPushButton* help_ = nullptr;
};

}  // namespace qdx
