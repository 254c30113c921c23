// The program's one progress window: a text line, a bar and "Cancel", shown by transfers
// while they run. It is not modal, so "Cancel" can be pressed while a transfer pumps events.
#pragma once

#include <QWidget>

#include "model/dialogs.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace qdx {

class ProgressWindow : public QWidget, public Progress {
  Q_OBJECT
 public:
  explicit ProgressWindow(QWidget* parent = nullptr);

  // Maximum, then position, then text; shows the window when hidden, brings it to the front
  // and lets pending events run (a click on "Cancel" among them).
  void ShowProgress(int position, int maximum, const QString& text) override;
  bool CancelRequested() const override { return cancelRequested_; }
  void SetCancelRequested(bool value) override { cancelRequested_ = value; }
  void HideProgress() override { hide(); }

  QLabel* textLabel() const { return text_; }
  QProgressBar* bar() const { return bar_; }
  QPushButton* cancelButton() const { return cancel_; }
  // How often the window went from hidden to shown.
  int timesShown() const { return timesShown_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // The close box means the same as "Cancel"; the caller hides the window when it stops.
  // Closing it from the program works as usual.
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* text_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  bool cancelRequested_ = false;
  int timesShown_ = 0;
};

}  // namespace qdx
