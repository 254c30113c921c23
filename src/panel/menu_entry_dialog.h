// "Edit": one menu text, typed in upper case, at most 20 characters of its language's code page.
#pragma once

#include <QDialog>

class QLineEdit;

namespace qdx {

// The entry dialog of the menu window.
class MenuEntryDialog : public QDialog {
  Q_OBJECT

 public:
  // codePageIndex: the code page the text's language is shown and typed in (1: Cyrillic).
  MenuEntryDialog(const QString& text, int codePageIndex, QWidget* parent = nullptr);

  QLineEdit* field() const { return field_; }
  QString text() const;

 private:
  QLineEdit* field_;
};

}  // namespace qdx
