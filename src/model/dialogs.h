// The side effects windows and engines need from the desktop, behind small interfaces so
// that everything runs headless in tests with scripted answers.
#pragma once

#include <QString>

namespace qdx {

inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message with one "OK" button.
  virtual void ShowLinkMessage(const QString& text) = 0;
  // A Yes/No question: 6 for Yes, 7 for No or any other way of closing it.
  virtual int AskYesNo(const QString& text) = 0;
  // File dialogs; an empty result means cancelled. filter uses Qt's "Name (*.a *.b)" form;
  // dir is the start folder, or a file name the dialog offers.
  virtual QString OpenFileName(const QString& dir, const QString& filter,
                               const QString& defaultSuffix) = 0;
  virtual QString SaveFileName(const QString& dir, const QString& filter,
                               const QString& defaultSuffix) = 0;
  // The application's general error message (file errors and the like).
  virtual void ShowError(const QString& text) = 0;
};

class Progress {
 public:
  virtual ~Progress() = default;
  // Sets the maximum, then the position, then the text; shows the window if hidden;
  // pumps pending events.
  virtual void ShowProgress(int position, int maximum, const QString& text) = 0;
  virtual bool CancelRequested() const = 0;
  virtual void SetCancelRequested(bool value) = 0;
  virtual void HideProgress() = 0;
};

}  // namespace qdx
