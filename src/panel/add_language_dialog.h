// "Add language": the name of a new menu language and its code page.
#pragma once

#include <QDialog>
#include <vector>

class QLineEdit;
class QRadioButton;

namespace qdx {

// The menu window's dialog for a new language.
class AddLanguageDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AddLanguageDialog(QWidget* parent = nullptr);

  QLineEdit* nameField() const { return name_; }
  QRadioButton* codePageChoice(int codePage) const {
    return choices_[static_cast<std::size_t>(codePage)];
  }
  QString name() const;
  // 0 "Standard", 1 "Cyryllic", 2 "Polish", 3 "PC852 (Slovakia)".
  int codePage() const;

 private:
  QLineEdit* name_;
  std::vector<QRadioButton*> choices_;
};

}  // namespace qdx
