// The message and question windows every message of the program goes through, so that they
// look the same everywhere, and the desktop's implementation of Dialogs built on them.
#pragma once

#include <QDialog>
#include <QPointer>

#include "model/dialogs.h"

class QLabel;
class QPushButton;

namespace qdx {

// A message with one "OK" button: empty title, modal, always on top, centred on the screen,
// sized to its text.
class MessageDialog : public QDialog {
  Q_OBJECT
 public:
  explicit MessageDialog(const QString& text, QWidget* parent = nullptr);
  QLabel* textLabel() const { return label_; }
  QPushButton* okButton() const { return ok_; }

 private:
  QLabel* label_;
  QPushButton* ok_;
};

// A question with "Yes" and "No": empty title, modal, always on top, centred on the screen.
// Ask() gives 6 for "Yes" and 7 for "No" or any other way of closing the window.
class QuestionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit QuestionDialog(const QString& text, QWidget* parent = nullptr);
  int Ask();
  QLabel* textLabel() const { return label_; }
  QPushButton* yesButton() const { return yes_; }
  QPushButton* noButton() const { return no_; }

 private:
  QLabel* label_;
  QPushButton* yes_;
  QPushButton* no_;
};

void ShowLinkMessage(const QString& text, QWidget* parent = nullptr);
int AskYesNo(const QString& text, QWidget* parent = nullptr);

// Dialogs on the desktop: the windows above, Qt's file dialogs, and the general error message
// (the message window with the error's text).
class DesktopDialogs : public Dialogs {
 public:
  explicit DesktopDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  // The window file dialogs belong to (the main window, once it exists).
  void SetParentWidget(QWidget* parent) { parent_ = parent; }

  void ShowLinkMessage(const QString& text) override;
  int AskYesNo(const QString& text) override;
  QString OpenFileName(const QString& dir, const QString& filter,
                       const QString& defaultSuffix) override;
  QString SaveFileName(const QString& dir, const QString& filter,
                       const QString& defaultSuffix) override;
  void ShowError(const QString& text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace qdx
