// A Dialogs double for tests: answers and file names are queued by the test, every text
// shown is recorded in order. A question or file dialog nobody scripted fails the test, so
// an unexpected question never goes unnoticed.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "model/dialogs.h"

namespace qdx::test {

class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { Message, Question, OpenFile, SaveFile, Error };
  struct Shown {
    Kind kind;
    QString text;  // the message or question; for file dialogs the start folder
    QString filter;
    QString defaultSuffix;
  };

  // Scripting.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void QueueYes() { QueueAnswer(kAnswerYes); }
  void QueueNo() { QueueAnswer(kAnswerNo); }
  // An empty name scripts a cancelled dialog.
  void QueueOpenFileName(const QString& name) { openNames_.push_back(name); }
  void QueueSaveFileName(const QString& name) { saveNames_.push_back(name); }
  // Used for questions when the queue is empty; without it such a question fails the test.
  void SetDefaultAnswer(std::optional<int> answer) { defaultAnswer_ = answer; }

  // What was shown, in order.
  const std::vector<Shown>& shown() const { return shown_; }
  QStringList Texts(Kind kind) const;
  QStringList messages() const { return Texts(Kind::Message); }
  QStringList questions() const { return Texts(Kind::Question); }
  QStringList errors() const { return Texts(Kind::Error); }
  int Count(Kind kind) const { return static_cast<int>(Texts(kind).size()); }
  void ClearRecord() { shown_.clear(); }
  // True when every queued answer and file name was used.
  bool AllConsumed() const { return answers_.empty() && openNames_.empty() && saveNames_.empty(); }

  // Dialogs.
  void ShowLinkMessage(const QString& text) override;
  int AskYesNo(const QString& text) override;
  QString OpenFileName(const QString& dir, const QString& filter,
                       const QString& defaultSuffix) override;
  QString SaveFileName(const QString& dir, const QString& filter,
                       const QString& defaultSuffix) override;
  void ShowError(const QString& text) override;

 private:
  std::deque<int> answers_;
  std::deque<QString> openNames_;
  std::deque<QString> saveNames_;
  std::optional<int> defaultAnswer_;
  std::vector<Shown> shown_;
};

}  // namespace qdx::test
